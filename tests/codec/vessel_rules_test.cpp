// The vessel rules every view shares: ship type groups by code.
#include <gtest/gtest.h>

#include <string_view>

#include "codec/ais_tables.h"
#include "codec/vessel_rules.h"

namespace pelorin {
namespace {

// Every code against the group its code-table text names, so that the two tables cannot
// part; the table's own spelling "Wing in Grand" is a wing-in-ground craft.
TEST(ShipTypeGroup, EveryCodeFollowsItsTableText) {
  using G = TShipTypeGroup;
  struct TText {
    std::string_view Text;
    G Group;
  } const texts[] = {
      {"Cargo Ship", G::Cargo},          {"Cargo Ship with dangerous goods", G::Cargo},
      {"Tanker", G::Tanker},             {"Tanker with dangerous goods", G::Tanker},
      {"Passenger Ship", G::Passenger},  {"High Speed Craft", G::HighSpeed},
      {"Wing in Grand", G::HighSpeed},   {"Vessel Fishing", G::Fishing},
      {"Sailing Vessel", G::Pleasure},   {"Pleasure Craft", G::Pleasure},
      {"Vessel", G::Other},              {"Ship with no information", G::Other},
  };
  for (int code = 0; code < 256; ++code) {
    const std::string_view text = ShipTypeText(static_cast<unsigned>(code));
    G expected = G::Service;  // pilots, tugs, towing, diving, military, local vessels ...
    for (const TText& t : texts)
      if (t.Text == text) expected = t.Group;
    if (code == 0) expected = G::Unknown;  // "not available"
    EXPECT_EQ(ShipTypeGroupOf(code), expected) << code << " " << text;
  }
  EXPECT_EQ(ShipTypeGroupOf(-1), G::Unknown);  // no static report
}

}  // namespace
}  // namespace pelorin
