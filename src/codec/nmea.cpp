#include "codec/nmea.h"

#include <array>
#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// The six characters of a tag as one number, for comparing a tag at once.
constexpr uint64_t TagNumber(std::string_view tag) {
  uint64_t n = 0;
  for (char c : tag) n = (n << 8) | static_cast<unsigned char>(c);
  return n;
}

TSentenceKind KindOfTag(std::string_view tag) {
  if (tag.size() != 6) return sk_Other;
  switch (TagNumber(tag)) {
    case TagNumber("!AIVDO"): return sk_OwnAIS;
    case TagNumber("!AIVDM"):
    case TagNumber("!BSVDM"): return sk_AIS;
    case TagNumber("$GPZDA"):
    case TagNumber("$ECZDA"): return sk_ZDA;
    case TagNumber("$GPRMC"): return sk_RMC;
    default: return sk_Other;
  }
}

}  // namespace

TSentenceKind NMEA_Split(std::string_view line, TFieldList& fields) {
  fields.clear();
  size_t start = 0;
  const size_t walk = line.empty() ? 0 : line.size() - 1;  // the last character is never looked at
  const char* data = line.data();
  size_t i = 0;
#if defined(__SSE2__)
  // Sixteen characters at a time: a mask of the separators, then one field per bit.
  const __m128i comma = _mm_set1_epi8(',');
  const __m128i star = _mm_set1_epi8('*');
  auto separators = [&](size_t from) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + from));
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, comma), _mm_cmpeq_epi8(chunk, star))));
  };
  auto take = [&](size_t base, unsigned mask) {
    while (mask != 0) {
      const size_t at = base + static_cast<size_t>(__builtin_ctz(mask));
      mask &= mask - 1;
      fields.emplace_back(data + start, at - start);
      start = at + 1;
    }
  };
  for (; i + 16 <= walk; i += 16) take(i, separators(i));
  // The rest as the last sixteen characters of the walk, without those already seen.
  if (i < walk && walk >= 16) {
    const size_t base = walk - 16;
    take(base, separators(base) & ~((1u << (i - base)) - 1u));
    i = walk;
  }
#endif
  for (; i < walk; ++i) {
    const char c = data[i];
    if (c == ',' || c == '*') {
      fields.emplace_back(data + start, i - start);
      start = i + 1;
    }
  }
  if (fields.empty()) return sk_Other;
  TSentenceKind kind = KindOfTag(fields[0]);
  if (kind != sk_Other && !NMEA_ChecksumOK(line)) kind = sk_Other;
  return kind;
}

bool NMEA_ChecksumOK(std::string_view line) {
  if (line.size() < 2) return false;
  unsigned sum = 0;
  if (line.size() >= 4) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(line.data()) + 1;
    const unsigned char* end = reinterpret_cast<const unsigned char*>(line.data()) + line.size() - 3;
#if defined(__SSE2__)
    __m128i acc = _mm_setzero_si128();
    const unsigned char* first = p;
    for (; p + 16 <= end; p += 16) acc = _mm_xor_si128(acc, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    // The rest as the last sixteen bytes, those already taken masked off.
    if (p < end && end - first >= 16) {
      static constexpr unsigned char kTail[32] = {0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
                                                  0,    0,    0,    0,    0,    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                  0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
      const __m128i last = _mm_loadu_si128(reinterpret_cast<const __m128i*>(end - 16));
      const __m128i keep = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kTail + (end - p)));
      acc = _mm_xor_si128(acc, _mm_and_si128(last, keep));
      p = end;
    }
    acc = _mm_xor_si128(acc, _mm_srli_si128(acc, 8));
    acc = _mm_xor_si128(acc, _mm_srli_si128(acc, 4));
    acc = _mm_xor_si128(acc, _mm_srli_si128(acc, 2));
    acc = _mm_xor_si128(acc, _mm_srli_si128(acc, 1));
    sum = static_cast<unsigned>(_mm_cvtsi128_si32(acc)) & 0xFFu;
#endif
    for (; p < end; ++p) sum ^= *p;
  }
  return line[line.size() - 2] == kHex[(sum >> 4) & 0xF] && line[line.size() - 1] == kHex[sum & 0xF];
}

TSentenceKind NMEA_TagKind(std::string_view tag) { return KindOfTag(tag); }

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
