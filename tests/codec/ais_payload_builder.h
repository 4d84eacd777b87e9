#pragma once
// Builds armoured AIS payloads bit by bit, so a test can put exact values at exact offsets.
// Written independently of the decoder: bits are kept as a vector and armoured by table.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin::test {

class TPayloadBuilder {
 public:
  explicit TPayloadBuilder(unsigned bits) : bits_(bits, false) {}

  // The low `width` bits of `value` (two's complement for negatives), MSB first.
  TPayloadBuilder& Set(unsigned offset, unsigned width, int64_t value) {
    const uint64_t v = static_cast<uint64_t>(value);
    for (unsigned i = 0; i < width; ++i) bits_.at(offset + i) = (v >> (width - 1 - i)) & 1u;
    return *this;
  }

  // Six-bit text: "@" and "A".."_" are 0..31, blank to "?" are 32..63.
  TPayloadBuilder& SetText(unsigned offset, std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
      const unsigned char c = static_cast<unsigned char>(text[i]);
      const unsigned v = c >= 64 ? c - 64u : c;
      Set(offset + 6 * static_cast<unsigned>(i), 6, v & 63u);
    }
    return *this;
  }

  // The armoured text; a last partial character is filled with zero bits.
  std::string Payload() const {
    static constexpr char kArmour[] =
        "0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVW`abcdefghijklmnopqrstuvw";
    std::string out;
    for (size_t k = 0; k * 6 < bits_.size(); ++k) {
      unsigned v = 0;
      for (size_t i = 0; i < 6; ++i) {
        const size_t at = k * 6 + i;
        v = (v << 1) | (at < bits_.size() && bits_[at] ? 1u : 0u);
      }
      out += kArmour[v];
    }
    return out;
  }

 private:
  std::vector<bool> bits_;
};

}  // namespace pelorin::test
