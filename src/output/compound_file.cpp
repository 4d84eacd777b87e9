#include "output/compound_file.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace pelorin {

namespace {

constexpr uint32_t kSectorSize = 512;
constexpr uint32_t kIdsPerSector = kSectorSize / 4;
constexpr uint32_t kHeaderFatSlots = 109;
constexpr uint32_t kMiniStreamCutoff = 4096;
constexpr uint32_t kFreeSect = 0xFFFFFFFF;
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kFatSect = 0xFFFFFFFD;
constexpr uint32_t kDifSect = 0xFFFFFFFC;
constexpr uint32_t kNoStream = 0xFFFFFFFF;

void Put16(std::string& out, size_t at, uint16_t v) {
  out[at] = static_cast<char>(v & 0xFF);
  out[at + 1] = static_cast<char>(v >> 8);
}
void Put32(std::string& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

uint32_t CeilDiv(uint64_t a, uint64_t b) { return static_cast<uint32_t>((a + b - 1) / b); }

// One 128-byte directory entry.
void PutEntry(std::string& out, size_t at, std::u16string_view name, uint8_t type,
              uint32_t child, uint32_t start, uint32_t size) {
  for (size_t i = 0; i < name.size() && i < 31; ++i) Put16(out, at + 2 * i, name[i]);
  Put16(out, at + 64, static_cast<uint16_t>(2 * (name.size() + 1)));
  out[at + 66] = static_cast<char>(type);
  out[at + 67] = 1;  // black
  Put32(out, at + 68, kNoStream);
  Put32(out, at + 72, kNoStream);
  Put32(out, at + 76, child);
  Put32(out, at + 116, start);
  Put32(out, at + 120, size);
}

}  // namespace

std::string BuildCompoundFile(std::u16string_view streamName, std::string_view stream) {
  const uint32_t streamSize = std::max<uint32_t>(static_cast<uint32_t>(stream.size()),
                                                 kMiniStreamCutoff);
  const uint32_t streamSectors = CeilDiv(streamSize, kSectorSize);
  const uint32_t dirSectors = 1;
  // The FAT covers itself and the DIFAT sectors too: grow both until they fit.
  uint32_t fatSectors = 1, difSectors = 0;
  for (;;) {
    const uint32_t total = streamSectors + dirSectors + fatSectors + difSectors;
    const uint32_t needFat = CeilDiv(total, kIdsPerSector);
    const uint32_t needDif =
        needFat > kHeaderFatSlots ? CeilDiv(needFat - kHeaderFatSlots, kIdsPerSector - 1) : 0;
    if (needFat <= fatSectors && needDif <= difSectors) break;
    fatSectors = std::max(fatSectors, needFat);
    difSectors = std::max(difSectors, needDif);
  }
  const uint32_t dirStart = streamSectors;
  const uint32_t fatStart = dirStart + dirSectors;
  const uint32_t difStart = fatStart + fatSectors;
  const uint32_t totalSectors = difStart + difSectors;

  std::string out(static_cast<size_t>(kSectorSize) * (1 + totalSectors), '\0');

  // Header.
  static const unsigned char kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  for (int i = 0; i < 8; ++i) out[i] = static_cast<char>(kSignature[i]);
  Put16(out, 24, 0x003E);
  Put16(out, 26, 0x0003);
  Put16(out, 28, 0xFFFE);
  Put16(out, 30, 9);   // 512-byte sectors
  Put16(out, 32, 6);   // 64-byte mini sectors
  Put32(out, 44, fatSectors);
  Put32(out, 48, dirStart);
  Put32(out, 56, kMiniStreamCutoff);
  Put32(out, 60, kEndOfChain);  // no mini FAT
  Put32(out, 64, 0);
  Put32(out, 68, difSectors ? difStart : kEndOfChain);
  Put32(out, 72, difSectors);
  for (uint32_t i = 0; i < kHeaderFatSlots; ++i)
    Put32(out, 76 + 4 * i, i < fatSectors ? fatStart + i : kFreeSect);

  auto sectorOffset = [](uint32_t sector) { return static_cast<size_t>(kSectorSize) * (sector + 1); };

  // Stream data.
  std::copy(stream.begin(), stream.end(), out.begin() + sectorOffset(0));

  // Directory: root, then the stream as its only child.
  const size_t dir = sectorOffset(dirStart);
  PutEntry(out, dir, u"Root Entry", 5, 1, kEndOfChain, 0);
  PutEntry(out, dir + 128, streamName, 2, kNoStream, 0, streamSize);
  for (size_t e = 2; e < kSectorSize / 128; ++e) {
    Put32(out, dir + 128 * e + 68, kNoStream);
    Put32(out, dir + 128 * e + 72, kNoStream);
    Put32(out, dir + 128 * e + 76, kNoStream);
  }

  // FAT.
  std::vector<uint32_t> fat(static_cast<size_t>(fatSectors) * kIdsPerSector, kFreeSect);
  for (uint32_t s = 0; s < streamSectors; ++s) fat[s] = s + 1 < streamSectors ? s + 1 : kEndOfChain;
  fat[dirStart] = kEndOfChain;
  for (uint32_t s = 0; s < fatSectors; ++s) fat[fatStart + s] = kFatSect;
  for (uint32_t s = 0; s < difSectors; ++s) fat[difStart + s] = kDifSect;
  for (size_t i = 0; i < fat.size(); ++i) Put32(out, sectorOffset(fatStart) + 4 * i, fat[i]);

  // DIFAT sectors: the FAT sectors beyond the header's 109, chained.
  for (uint32_t d = 0; d < difSectors; ++d) {
    const size_t at = sectorOffset(difStart + d);
    for (uint32_t i = 0; i < kIdsPerSector - 1; ++i) {
      const uint32_t fatIndex = kHeaderFatSlots + d * (kIdsPerSector - 1) + i;
      Put32(out, at + 4 * i, fatIndex < fatSectors ? fatStart + fatIndex : kFreeSect);
    }
    Put32(out, at + 4 * (kIdsPerSector - 1), d + 1 < difSectors ? difStart + d + 1 : kEndOfChain);
  }
  return out;
}

}  // namespace pelorin
