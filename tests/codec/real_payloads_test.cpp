// Decoders over every AIS payload of the real recordings in ../shared/data/real (read at test
// time only; the opencpn- files are GPL and are never copied into the repository).
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "codec/ais_bits.h"
#include "codec/ais_messages.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

// Field 5 of every "!xxVDM"/"!xxVDO" line, with two-sentence messages joined by sequence id.
std::vector<std::string> Payloads(const std::filesystem::path& file) {
  const std::string bytes = test::ReadFileBytes(file);
  std::vector<std::string> out;
  std::map<std::string, std::string> pending;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string::npos) end = bytes.size();
    std::string_view line(bytes.data() + start, end - start);
    start = end + 1;
    const size_t bang = line.find('!');
    if (bang == std::string_view::npos || bang + 5 > line.size() || line.substr(bang + 3, 2) != "VD") continue;
    std::vector<std::string_view> f;
    for (size_t at = bang; at <= line.size();) {
      size_t comma = line.find(',', at);
      if (comma == std::string_view::npos) comma = line.size();
      f.push_back(line.substr(at, comma - at));
      at = comma + 1;
    }
    if (f.size() < 6) continue;
    const std::string seq(f[3]);
    if (f[1] == "1") {
      out.emplace_back(f[5]);
    } else if (f[2] == "1") {
      pending[seq] = std::string(f[5]);
    } else if (pending.count(seq)) {
      out.push_back(pending[seq] + std::string(f[5]));
      pending.erase(seq);
    }
  }
  return out;
}

bool IsPositionText(std::string_view t) {
  if (t == "n.a.") return true;
  const size_t dot = t.find('.');
  if (dot == std::string_view::npos || t.size() - dot != 7 || dot == 0) return false;
  for (size_t i = (t[0] == '-' ? 1 : 0); i < t.size(); ++i)
    if (i != dot && (t[i] < '0' || t[i] > '9')) return false;
  return true;
}

void CheckDecodes(std::string_view p) {
  switch (AIS_MsgID(p)) {
    case 1:
    case 2:
    case 3: {
      const test::TPointStrings d = test::StringsOf(test::ToDynamic(AIS_DecodeMsg1(p)));
      EXPECT_TRUE(IsPositionText(d.Lon) && IsPositionText(d.Lat)) << p;
      EXPECT_FALSE(d.MMSI.empty() || d.Speed.empty() || d.COG.empty() || d.TH.empty() || d.NavStatus.empty()) << p;
      break;
    }
    case 18: {
      const test::TPointStrings d = test::StringsOf(test::ToDynamic(AIS_DecodeMsg18(p)));
      EXPECT_TRUE(IsPositionText(d.Lon) && IsPositionText(d.Lat)) << p;
      EXPECT_FALSE(d.MMSI.empty() || d.Speed.empty() || d.COG.empty() || d.TH.empty()) << p;
      break;
    }
    case 5: {
      const TStatic s = test::ToStatic(test::Decode5(p));
      EXPECT_TRUE(s.ShipName == "n.a." || s.ShipName.size() == 20) << p;
      EXPECT_TRUE(s.CallSign == "n.a." || s.CallSign.size() == 7) << p;
      EXPECT_TRUE(s.AISclass == "A" || s.AISclass == "SART") << p;
      break;
    }
    case 14: EXPECT_EQ(AIS_DecodeMsg14(p).Text.size(), 16u) << p; break;
    case MsgID_24A: EXPECT_FALSE(test::ToStatic(test::Decode24A(p)).ShipName.empty()) << p; break;
    case MsgID_24B: EXPECT_NE(test::ToStatic(test::Decode24B(p)).Dimension.Laenge, "n.a.") << p; break;
    default: break;
  }
}

TEST(RealPayloads, EveryPayloadAndEveryShorterPrefixDecodes) {
  PELORIN_REQUIRE_SHARED();
  size_t total = 0;
  for (const auto& entry : std::filesystem::directory_iterator(test::SharedDir() / "data" / "real")) {
    if (entry.path().extension() == ".md") continue;
    const bool big = std::filesystem::file_size(entry.path()) > 1000000;
    for (const std::string& p : Payloads(entry.path())) {
      ++total;
      const std::string_view view(p);
      if (big) {
        CheckDecodes(view);
      } else {
        for (size_t n = 0; n <= view.size(); ++n) CheckDecodes(view.substr(0, n));
      }
    }
  }
  EXPECT_GT(total, 30000u);
}

TEST(RealPayloads, SartTestFromTheChannelCrossing) {
  PELORIN_REQUIRE_SHARED();
  const auto payloads = Payloads(test::SharedDir() / "data" / "real" / "opencpn-Go_to_Guernesey.txt");
  int sart14 = 0, sart1 = 0;
  for (const std::string& p : payloads) {
    const int id = AIS_MsgID(p);
    if (id == 14) {
      const TMsg14 m = AIS_DecodeMsg14(p);
      EXPECT_EQ(m.MMSI, "970000099");
      EXPECT_EQ(m.Text, "SART ACTIVE     ");
      EXPECT_EQ(Msg14ToStatic(m).AISclass, "SART");
      ++sart14;
    } else if (id == 1 && AIS_DecodeMsg1(p).MMSI == 970000099) {
      EXPECT_EQ(NavStatusOf(test::ToDynamic(AIS_DecodeMsg1(p))), "AIS SART");
      ++sart1;
    }
  }
  EXPECT_EQ(sart14, 2);
  EXPECT_GT(sart1, 0);
}

TEST(RealPayloads, NonStandardMessage24sStayInBounds) {
  // gpsd-ais-18-27.log: part numbers 0 and 3, payloads of 162 to 180 bits.
  PELORIN_REQUIRE_SHARED();
  int parts = 0;
  for (const std::string& p : Payloads(test::SharedDir() / "data" / "real" / "gpsd-ais-18-27.log")) {
    const int id = AIS_MsgID(p);
    if (id != MsgID_24A && id != MsgID_24B) continue;
    ++parts;
    const TMsg24A a = test::Decode24A(p);
    const TMsg24B b = test::Decode24B(p);
    EXPECT_TRUE(a.PN == "A" || a.PN == "B");
    EXPECT_EQ(a.PN, b.PN);
  }
  EXPECT_EQ(parts, 138);
}

}  // namespace
}  // namespace pelorin
