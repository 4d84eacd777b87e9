#include "analysis/line_records.h"

#include <algorithm>
#include <bit>
#include <cstring>
#if defined(__SSE2__) && defined(__x86_64__)
#include <emmintrin.h>
#endif

#include "catalogue/line_reader.h"
#include "codec/ais_bits.h"
#include "codec/ais_dispatch.h"

namespace pelorin {

static_assert(std::endian::native == std::endian::little, "a record's numbers are its bytes' low 120 bits");

namespace {

// MMSI 30 bits, Lon 28, Lat 27, speed 10, course 12, heading 9, status 4: 120 bits, then
// the tag.
using TBits = unsigned __int128;

TBits Field(uint64_t value, unsigned width, unsigned at) {
  return static_cast<TBits>(value & ((uint64_t{1} << width) - 1)) << at;
}

// A decoded report's part number is 1 by its kind: its bits hold a class A report's
// message identifier instead.
TRecordWords PositionWords(uint32_t mmsi, int32_t lon, int32_t lat, uint32_t speed, uint32_t cog, uint32_t th,
                           uint32_t status, uint8_t msgId, uint8_t flag, TSentenceKind kind) {
  const uint8_t tag =
      static_cast<uint8_t>(pd_One | (msgId & 3) << 2 | flag | (kind == sk_OwnAIS ? TLineRecord::kOwn : 0));
  const TBits bits = Field(mmsi, 30, 0) | Field(static_cast<uint32_t>(lon), 28, 30) |
                     Field(static_cast<uint32_t>(lat), 27, 58) | Field(speed, 10, 85) | Field(cog, 12, 95) |
                     Field(th, 9, 107) | Field(status, 4, 116) | Field(tag, 8, 120);
  return {static_cast<uint64_t>(bits), static_cast<uint64_t>(bits >> 64)};
}

// Where the line lies (8 bytes), its size (4), kind, identifier, field count, tag.
TRecordWords LineWords(std::string_view line, TSentenceKind kind, size_t fields, uint8_t msgId, uint8_t tag) {
  const auto size = static_cast<uint32_t>(std::min<size_t>(line.size(), UINT32_MAX));
  return {reinterpret_cast<uintptr_t>(line.data()),
          size | uint64_t{kind} << 32 | uint64_t{msgId} << 40 |
              uint64_t{static_cast<uint8_t>(std::min<size_t>(fields, 255))} << 48 | uint64_t{tag} << 56};
}

struct TUnpacked {
  uint32_t MMSI, Speed, COG, TH, Status;
  int32_t Lon, Lat;
};

TUnpacked Unpack(const TLineRecord& r) {
  TBits bits;  // the tag in bits 120-127, which no field reaches
  std::memcpy(&bits, static_cast<const void*>(&r), sizeof r);
  auto take = [&](unsigned width, unsigned at) {
    return static_cast<uint32_t>(static_cast<uint64_t>(bits >> at) & ((uint64_t{1} << width) - 1));
  };
  auto signedTake = [&](unsigned width, unsigned at) {
    const uint32_t v = take(width, at);
    return static_cast<int32_t>(v << (32 - width)) >> (32 - width);
  };
  return {take(30, 0), take(10, 85), take(12, 95), take(9, 107), take(4, 116), signedTake(28, 30), signedTake(27, 58)};
}

TFieldSpan SpanOf(std::string_view line, std::string_view field) {
  return {static_cast<uint32_t>(field.data() - line.data()), static_cast<uint32_t>(field.size())};
}

TPartDigit PartDigit(std::string_view field) {
  if (field == "1") return pd_One;
  return field == "2" ? pd_Two : pd_Other;
}

// What can be made of a line without knowing the lines before it: its record.
TRecordWords Decode(TLinePiece& piece, std::string_view line, TSentenceKind kind, const TFieldList& f) {
  if (kind == sk_RMC || kind == sk_ZDA) {
    TTimeRecord& t = piece.Times.emplace_back();
    t.Ok = kind == sk_RMC ? RMC_TimeStampDT(f, piece.CurrentYear, t.Time, &t.Why)
                          : ZDA_TimeStampDT(f, piece.CurrentYear, t.Time, &t.Why);
    return LineWords(line, kind, f.size(), 0, 0);
  }
  if ((kind != sk_AIS && kind != sk_OwnAIS) || f.size() != 7) return LineWords(line, kind, f.size(), 0, 0);
  const TPartDigit count = PartDigit(f[1]);
  const std::string_view payload = f[5];
  uint8_t msgId = 0;
  if (count == pd_One) {
    const int id = AIS_MsgID(payload);
    msgId = static_cast<uint8_t>(id);
    const TMsgRule rule = AIS_MsgRule(id);
    if (payload.size() >= rule.MinPayloadChars) {
      if (rule.Kind == TMsgKind::ClassA) {
        TMsg1 msg;
        AIS_DecodeMsg1(payload, msg);
        return PositionWords(msg, kind);
      }
      if (rule.Kind == TMsgKind::ClassB) {
        TMsg18 msg;
        AIS_DecodeMsg18(payload, msg);
        return PositionWords(msg, kind);
      }
    }
  }
  piece.Spans.push_back({SpanOf(line, f[3]), SpanOf(line, payload)});
  return LineWords(line, kind, f.size(), msgId, static_cast<uint8_t>(count | PartDigit(f[2]) << 2));
}

}  // namespace

std::string_view TLineRecord::Line() const {
  if (Decoded()) return {};  // its bytes hold numbers, not where the line lies
  const char* data;
  uint32_t size;
  std::memcpy(&data, Bytes, sizeof data);
  std::memcpy(&size, Bytes + 8, sizeof size);
  return {data, size};
}

TRecordWords PositionWords(const TMsg1& msg, TSentenceKind kind) {
  return PositionWords(msg.MMSI, msg.Lon, msg.Lat, msg.Speed, msg.COG, msg.TH, msg.NavStatus, msg.MsgID, TLineRecord::kDecoded1,
                       kind);
}

TRecordWords PositionWords(const TMsg18& msg, TSentenceKind kind) {
  return PositionWords(msg.MMSI, msg.Lon, msg.Lat, msg.SOG, msg.COG, msg.TH, 0, 0, TLineRecord::kDecoded18, kind);
}

TMsg1 RecordMsg1(const TLineRecord& r) {
  const TUnpacked u = Unpack(r);
  TMsg1 msg;
  msg.MsgID = static_cast<uint8_t>(r.Number());
  msg.MMSI = u.MMSI;
  msg.Speed = static_cast<uint16_t>(u.Speed);
  msg.Lon = u.Lon;
  msg.Lat = u.Lat;
  msg.COG = static_cast<uint16_t>(u.COG);
  msg.TH = static_cast<uint16_t>(u.TH);
  msg.NavStatus = static_cast<uint8_t>(u.Status);
  return msg;
}

TMsg18 RecordMsg18(const TLineRecord& r) {
  const TUnpacked u = Unpack(r);
  TMsg18 msg;
  msg.MMSI = u.MMSI;
  msg.SOG = static_cast<uint16_t>(u.Speed);
  msg.Lon = u.Lon;
  msg.Lat = u.Lat;
  msg.COG = static_cast<uint16_t>(u.COG);
  msg.TH = static_cast<uint16_t>(u.TH);
  return msg;
}

void MakeLineRecords(TLinePiece& piece, bool forAnotherCore) {
  piece.RecordCount = 0;
  piece.Times.clear();
  piece.Spans.clear();
  piece.Stamps.clear();
  const char* data = piece.Bytes.data();
  const size_t size = piece.Size;
  TFieldList fields;
  size_t at = 0;
  while (at < size) {
    const size_t end = FindLineEnd(data, size, true, at);
    TLineStamp stamp;
    const std::string_view line = SentenceOfLine({data + at, end - at}, piece.CurrentYear, stamp);
    const TSentenceKind kind = NMEA_Split(line, fields);
    TRecordWords w = Decode(piece, line, kind, fields);
    if (stamp.Kind != TStampKind::None) {
      piece.Stamps.push_back(stamp);
      w.High |= uint64_t{TLineRecord::kStamped} << 56;
    }
    if (piece.RecordCount == piece.Records.size()) piece.Records.resize(std::max<size_t>(4096, 2 * piece.RecordCount));
    auto* slot = reinterpret_cast<long long*>(piece.Records.data() + piece.RecordCount++);
#if defined(__SSE2__) && defined(__x86_64__)
    // The room was last read by the other core: a plain store would first fetch each
    // line back from it. A streaming store writes past the caches without asking.
    if (forAnotherCore) {
      _mm_stream_si64(slot, static_cast<long long>(w.Low));
      _mm_stream_si64(slot + 1, static_cast<long long>(w.High));
    } else {
      std::memcpy(slot, &w, sizeof w);
    }
#else
    std::memcpy(slot, &w, sizeof w);
#endif
    at = end >= size ? size : data[end] == '\r' && end + 1 < size && data[end + 1] == '\n' ? end + 2 : end + 1;
  }
#if defined(__SSE2__) && defined(__x86_64__)
  if (forAnotherCore) _mm_sfence();
#endif
}

}  // namespace pelorin
