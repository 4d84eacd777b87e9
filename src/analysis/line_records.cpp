#include "analysis/line_records.h"

#include <algorithm>

#include "catalogue/line_reader.h"
#include "codec/ais_bits.h"

namespace pelorin {

namespace {

TFieldSpan SpanOf(std::string_view line, std::string_view field) {
  return {static_cast<uint32_t>(field.data() - line.data()), static_cast<uint32_t>(field.size())};
}

TPartDigit PartDigit(std::string_view field) {
  if (field == "1") return pd_One;
  return field == "2" ? pd_Two : pd_Other;
}

// What can be made of a line without knowing the lines before it.
void Decode(TLinePiece& piece, TLineRecord& r, const TFieldList& f) {
  if (r.Kind == sk_RMC || r.Kind == sk_ZDA) {
    TTimeRecord& t = piece.Times.emplace_back();
    t.Ok = r.Kind == sk_RMC ? RMC_TimeStampDT(f, t.Time, &t.Why) : ZDA_TimeStampDT(f, t.Time, &t.Why);
    r.Extra = static_cast<uint32_t>(piece.Times.size() - 1);
    return;
  }
  if ((r.Kind != sk_AIS && r.Kind != sk_OwnAIS) || f.size() != 7) return;
  r.Count = PartDigit(f[1]);
  r.Number = PartDigit(f[2]);
  const std::string_view payload = f[5];
  if (r.Count == pd_One) {
    const int id = AIS_MsgID(payload);
    r.MsgID = static_cast<uint8_t>(id);
    if (payload.size() >= AIS_MinPayloadChars(id)) {
      if (id == 1 || id == 2 || id == 3) {
        AIS_DecodeMsg1(payload, piece.Msg1.emplace_back());
        r.Extra = static_cast<uint32_t>(piece.Msg1.size() - 1);
        r.Decoded = 1;
        return;
      }
      if (id == 18) {
        AIS_DecodeMsg18(payload, piece.Msg18.emplace_back());
        r.Extra = static_cast<uint32_t>(piece.Msg18.size() - 1);
        r.Decoded = 18;
        return;
      }
    }
  }
  const std::string_view line = r.Line();
  piece.Spans.push_back({SpanOf(line, f[3]), SpanOf(line, payload)});
  r.Extra = static_cast<uint32_t>(piece.Spans.size() - 1);
}

}  // namespace

void MakeLineRecords(TLinePiece& piece) {
  piece.Records.clear();
  piece.Msg1.clear();
  piece.Msg18.clear();
  piece.Times.clear();
  piece.Spans.clear();
  const char* data = piece.Bytes.data();
  const size_t size = piece.Size;
  TFieldList fields;
  size_t at = 0;
  while (at < size) {
    const size_t end = FindLineEnd(data, size, true, at);
    TLineRecord& r = piece.Records.emplace_back();
    r.Data = data + at;
    r.Size = static_cast<uint32_t>(std::min<size_t>(end - at, UINT32_MAX));
    r.Kind = NMEA_Split(r.Line(), fields);
    r.Fields = static_cast<uint8_t>(std::min<size_t>(fields.size(), 255));
    Decode(piece, r, fields);
    at = end >= size ? size : data[end] == '\r' && end + 1 < size && data[end + 1] == '\n' ? end + 2 : end + 1;
  }
}

}  // namespace pelorin
