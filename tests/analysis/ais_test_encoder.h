#pragma once
// A small AIS encoder for building log lines with exactly the fields a test needs
// (ITU-R M.1371 layouts; six-bit armouring; NMEA checksums).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "support/test_support.h"

namespace pelorin::test {

class TBitWriter {
 public:
  TBitWriter& U(uint64_t value, unsigned width) {
    for (unsigned i = width; i-- > 0;) bits_.push_back(((value >> i) & 1u) != 0);
    return *this;
  }
  TBitWriter& S(int64_t value, unsigned width) { return U(static_cast<uint64_t>(value) & ((uint64_t{1} << width) - 1), width); }
  // Six-bit text, padded with "@".
  TBitWriter& Text(std::string_view text, unsigned chars) {
    for (unsigned i = 0; i < chars; ++i) {
      const unsigned char c = i < text.size() ? static_cast<unsigned char>(text[i]) : '@';
      U(c >= 64 ? c - 64u : c, 6);
    }
    return *this;
  }
  std::string Armoured() const {
    std::string out;
    for (size_t i = 0; i < bits_.size(); i += 6) {
      unsigned v = 0;
      for (size_t k = 0; k < 6; ++k) v = v * 2 + (i + k < bits_.size() && bits_[i + k] ? 1u : 0u);
      out += static_cast<char>(v < 40 ? v + 48 : v + 56);
    }
    return out;
  }

 private:
  std::vector<bool> bits_;
};

// Positions in 1/10000 minute (raw / 600000 degrees).
inline int64_t Raw(double degrees) { return static_cast<int64_t>(degrees * 600000.0 + (degrees < 0 ? -0.5 : 0.5)); }

inline std::string Msg1(uint32_t mmsi, double lat, double lon, unsigned type = 1, unsigned nav = 0) {
  TBitWriter w;
  w.U(type, 6).U(0, 2).U(mmsi, 30).U(nav, 4).S(0, 8).U(52, 10).U(0, 1).S(Raw(lon), 28).S(Raw(lat), 27);
  w.U(900, 12).U(90, 9).U(10, 6).U(0, 2).U(0, 3).U(0, 1).U(0, 19);
  return w.Armoured();
}

inline std::string Msg18(uint32_t mmsi, double lat, double lon) {
  TBitWriter w;
  w.U(18, 6).U(0, 2).U(mmsi, 30).U(0, 8).U(52, 10).U(0, 1).S(Raw(lon), 28).S(Raw(lat), 27);
  w.U(900, 12).U(90, 9).U(10, 6).U(0, 2).U(0, 6).U(0, 1).U(0, 20);
  return w.Armoured();
}

// A base station's report (message 4, or 11 with `type`) of this UTC.
inline std::string Msg4(uint32_t mmsi, int y, int mo, int d, int h, int mi, int s, unsigned type = 4) {
  TBitWriter w;
  w.U(type, 6).U(0, 2).U(mmsi, 30).U(y, 14).U(mo, 4).U(d, 5).U(h, 5).U(mi, 6).U(s, 6);
  w.U(1, 1).S(Raw(7.98), 28).S(Raw(54.07), 27).U(1, 4).U(0, 10).U(0, 1).U(0, 19);
  return w.Armoured();
}

// 424 bits: 71 characters; `chars` cuts it (70 is the common 420-bit form).
inline std::string Msg5(uint32_t mmsi, std::string_view name, std::string_view callSign, size_t chars = 71) {
  TBitWriter w;
  w.U(5, 6).U(0, 2).U(mmsi, 30).U(0, 2).U(9123456, 30).Text(callSign, 7).Text(name, 20).U(70, 8);
  w.U(100, 9).U(20, 9).U(5, 6).U(6, 6).U(1, 4).U(4, 4).U(8, 5).U(12, 5).U(30, 6).U(55, 8);
  w.Text("HAMBURG", 20).U(0, 1).U(0, 1);
  return w.Armoured().substr(0, chars);
}

inline std::string Msg14(uint32_t mmsi, std::string_view text) {
  TBitWriter w;
  w.U(14, 6).U(0, 2).U(mmsi, 30).U(0, 2);
  for (unsigned char c : text) w.U(c >= 64 ? c - 64u : c, 6);
  return w.Armoured();
}

inline std::string Msg24A(uint32_t mmsi, std::string_view name) {
  TBitWriter w;
  w.U(24, 6).U(0, 2).U(mmsi, 30).U(0, 2).Text(name, 20);
  return w.Armoured();
}

inline std::string Msg24B(uint32_t mmsi, std::string_view callSign) {
  TBitWriter w;
  w.U(24, 6).U(0, 2).U(mmsi, 30).U(1, 2).U(37, 8).Text("VENDOR1", 7).Text(callSign, 7);
  w.U(10, 9).U(5, 9).U(2, 6).U(2, 6).U(0, 6);
  return w.Armoured();
}

// "$" or "!" + body + "*" + the two checksum digits.
inline std::string Sentence(char lead, std::string_view body) {
  return WithChecksum(std::string(1, lead) + std::string(body));
}

inline std::string Vdm(std::string_view payload, std::string_view tag = "AIVDM") {
  return Sentence('!', std::string(tag) + ",1,1,,A," + std::string(payload) + ",0");
}

inline std::string VdmPart(std::string_view payload, int number, std::string_view id, std::string_view tag = "AIVDM",
                           int count = 2) {
  return Sentence('!', std::string(tag) + "," + std::to_string(count) + "," + std::to_string(number) + "," +
                           std::string(id) + ",A," + std::string(payload) + ",0");
}

// hhmmss on 7 April 2011 unless another ddmmyy is given.
inline std::string Rmc(std::string_view hhmmss, std::string_view status = "A", std::string_view lat = "5404.2000",
                       std::string_view lon = "00758.8000", std::string_view date = "070411") {
  return Sentence('$', "GPRMC," + std::string(hhmmss) + ".00," + std::string(status) + "," + std::string(lat) + ",N," +
                           std::string(lon) + ",E,2.5,90.4," + std::string(date) + ",,,A");
}

inline std::string Zda(std::string_view hhmmss, std::string_view tag = "ECZDA") {
  return Sentence('$', std::string(tag) + "," + std::string(hhmmss) + ".00,07,04,2011,00,00");
}

}  // namespace pelorin::test
