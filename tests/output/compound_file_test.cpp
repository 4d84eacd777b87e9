#include "output/compound_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace pelorin {
namespace {

uint32_t U32(const std::string& s, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
  return v;
}

// Follows the header's DIFAT, the FAT and the directory back to the stream.
std::string ReadStream(const std::string& file, uint32_t& declaredSize) {
  auto sector = [&](uint32_t id) { return 512 + static_cast<size_t>(id) * 512; };
  std::vector<uint32_t> fatSectors;
  for (int i = 0; i < 109 && fatSectors.size() < U32(file, 44); ++i)
    fatSectors.push_back(U32(file, 76 + 4 * i));
  for (uint32_t dif = U32(file, 68); dif != 0xFFFFFFFE && fatSectors.size() < U32(file, 44);) {
    for (int i = 0; i < 127 && fatSectors.size() < U32(file, 44); ++i)
      fatSectors.push_back(U32(file, sector(dif) + 4 * i));
    dif = U32(file, sector(dif) + 508);
  }
  auto next = [&](uint32_t id) {
    return U32(file, sector(fatSectors.at(id / 128)) + 4 * (id % 128));
  };
  const size_t dir = sector(U32(file, 48));
  EXPECT_EQ(file[dir + 66], 5);        // root
  EXPECT_EQ(U32(file, dir + 76), 1u);  // its child
  EXPECT_EQ(file[dir + 128 + 66], 2);  // a stream
  declaredSize = U32(file, dir + 128 + 120);
  std::string stream;
  for (uint32_t id = U32(file, dir + 128 + 116); id != 0xFFFFFFFE; id = next(id)) {
    if (stream.size() > file.size()) break;  // a loop
    stream += file.substr(sector(id), 512);
  }
  return stream;
}

TEST(CompoundFile, HeaderOfASmallStream) {
  const std::string file = BuildCompoundFile(u"Workbook", "abc");
  EXPECT_EQ(file.substr(0, 8), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
  EXPECT_EQ(file.size() % 512, 0u);
  EXPECT_EQ(U32(file, 56), 4096u);  // mini stream cutoff
  uint32_t size = 0;
  const std::string stream = ReadStream(file, size);
  EXPECT_EQ(size, 4096u);  // padded to the cutoff: no mini stream needed
  EXPECT_EQ(stream.substr(0, 3), "abc");
  EXPECT_EQ(stream.substr(3, 4093), std::string(4093, '\0'));
  // The name, UTF-16.
  const size_t dir = 512 + U32(file, 48) * 512 + 128;
  EXPECT_EQ(file.substr(dir, 16), std::string("W\0o\0r\0k\0b\0o\0o\0k\0", 16));
}

TEST(CompoundFile, StreamsNeedingMoreThanTheHeadersFatSlots) {
  // Sizes around the header's 109 FAT sectors (6.8 MiB) and one sector-exact size.
  for (size_t size : {size_t{4096}, size_t{4097}, size_t{512 * 20}, size_t{109 * 128 * 512 - 2048},
                      size_t{109 * 128 * 512 + 1}, size_t{20'000'000}}) {
    std::string data(size, '\0');
    for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 7 + i / 512) & 0xFF);
    const std::string file = BuildCompoundFile(u"Workbook", data);
    uint32_t declared = 0;
    const std::string stream = ReadStream(file, declared);
    ASSERT_EQ(declared, size);
    ASSERT_GE(stream.size(), size);
    EXPECT_TRUE(stream.compare(0, size, data) == 0) << size;
    EXPECT_EQ(U32(file, 72) > 0, U32(file, 44) > 109) << size;
  }
}

}  // namespace
}  // namespace pelorin
