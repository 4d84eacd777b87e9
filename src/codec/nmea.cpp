#include "codec/nmea.h"

#include <array>
#include <cstddef>

namespace pelorin {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

// Splits without a list: counts every field and keeps the first N views, for the readers.
template <size_t N>
size_t SplitInto(std::string_view line, std::array<std::string_view, N>& out) {
  size_t count = 0;
  size_t start = 0;
  const size_t walk = line.empty() ? 0 : line.size() - 1;  // the last character is never looked at
  for (size_t i = 0; i < walk; ++i) {
    const char c = line[i];
    if (c == ',' || c == '*') {
      if (count < N) out[count] = line.substr(start, i - start);
      ++count;
      start = i + 1;
    }
  }
  return count;
}

// Characters from..from+1 (0-based) of a field; shorter or empty past its end.
std::string_view Piece(std::string_view field, size_t from) {
  if (from >= field.size()) return {};
  return field.substr(from, 2);
}

void JoinThree(std::string& out, std::string_view a, char sep, std::string_view b, std::string_view c) {
  out.clear();
  out.reserve(a.size() + b.size() + c.size() + 2);
  out.append(a);
  out.push_back(sep);
  out.append(b);
  out.push_back(sep);
  out.append(c);
}

void TimeText(std::string& out, std::string_view field) {
  JoinThree(out, Piece(field, 0), ':', Piece(field, 2), Piece(field, 4));
}

}  // namespace

TSentenceKind NMEA_Split(std::string_view line, TFieldList& fields) {
  fields.clear();
  size_t start = 0;
  const size_t walk = line.empty() ? 0 : line.size() - 1;
  const char* data = line.data();
  for (size_t i = 0; i < walk; ++i) {
    const char c = data[i];
    if (c == ',' || c == '*') {
      fields.emplace_back(data + start, i - start);
      start = i + 1;
    }
  }
  if (fields.empty()) return sk_Other;
  const std::string_view tag = fields[0];
  TSentenceKind kind = sk_Other;
  if (tag.size() == 6) {
    if (tag == "!AIVDO") kind = sk_OwnAIS;
    else if (tag == "!AIVDM" || tag == "!BSVDM") kind = sk_AIS;
    else if (tag == "$GPZDA" || tag == "$ECZDA") kind = sk_ZDA;
    else if (tag == "$GPRMC") kind = sk_RMC;
  }
  if (kind != sk_Other && !NMEA_ChecksumOK(line)) kind = sk_Other;
  return kind;
}

bool NMEA_ChecksumOK(std::string_view line) {
  if (line.size() < 2) return false;
  unsigned sum = 0;
  if (line.size() >= 4) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(line.data()) + 1;
    const unsigned char* end = reinterpret_cast<const unsigned char*>(line.data()) + line.size() - 3;
    for (; p < end; ++p) sum ^= *p;
  }
  return line[line.size() - 2] == kHex[(sum >> 4) & 0xF] && line[line.size() - 1] == kHex[sum & 0xF];
}

bool NMEA_HasTag(std::string_view line, std::string_view tag) {
  const size_t n = line.size() < tag.size() ? line.size() : tag.size();
  return line.substr(0, n) == tag.substr(0, n);
}

bool NMEA_RMC_DateTime(std::string_view line, std::string& date, std::string& time) {
  std::array<std::string_view, 14> f;
  if (SplitInto(line, f) != 13) return false;
  if (f[9].empty() || f[1].empty() || f[2] != "A") return false;
  JoinThree(date, Piece(f[9], 0), '.', Piece(f[9], 2), Piece(f[9], 4));
  TimeText(time, f[1]);
  return true;
}

bool NMEA_ZDA_DateTime(std::string_view line, std::string& date, std::string& time) {
  std::array<std::string_view, 8> f;
  if (SplitInto(line, f) != 7) return false;
  if (f[1].empty() || f[2].empty()) return false;
  JoinThree(date, f[2], '.', f[3], Piece(f[4], 2));
  TimeText(time, f[1]);
  return true;
}

}  // namespace pelorin
