#include "codec/ais_tables.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

TEST(AisTables, NavStatus) {
  struct Case { unsigned code; const char* text; };
  const Case cases[] = {
      {0, "under way using engine"}, {1, "at anchor"}, {2, "not under command"},
      {3, "restricted manoeuvrability"}, {4, "constrained by her draught"}, {5, "moored"},
      {6, "aground"}, {7, "engaged in fishing"}, {8, "under way sailing"}, {9, "not specified"},
      {13, "not specified"}, {14, "AIS SART"}, {15, "not specified"}, {16, "n.a."}, {4000000000u, "n.a."},
  };
  for (const auto& c : cases) EXPECT_EQ(NavStatusText(c.code), c.text) << c.code;
}

TEST(AisTables, EPFD) {
  struct Case { unsigned code; const char* text; };
  const Case cases[] = {
      {0, "n.a."}, {1, "GPS"}, {2, "GLONASS"}, {3, "GPS/GLONASS"}, {4, "Loran-C"}, {5, "Chayka"},
      {6, "Integr. Nav. System"}, {7, "Supervised"}, {8, "Galileo"}, {9, "n.a."}, {15, "n.a."}, {16, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(EPFDText(c.code), c.text) << c.code;
}

TEST(AisTables, ShipTypeRanges) {
  struct Case { unsigned code; const char* text; };
  const Case cases[] = {
      {0, "Vessel"}, {19, "Vessel"}, {20, "Wing in Grand"}, {29, "Wing in Grand"},
      {30, "Vessel Fishing"}, {31, "Vessel Towing"}, {32, "Vessel Towing > 200m"},
      {33, "Vessel in Underwater Operations"}, {34, "Vessel in Diving Operations"},
      {35, "Vessel in Military Operation"}, {36, "Sailing Vessel"}, {37, "Pleasure Craft"},
      {38, "Vessel"}, {39, "Vessel"}, {40, "High Speed Craft"}, {49, "High Speed Craft"},
      {50, "Pilot Vessel"}, {51, "SAR Vessel"}, {52, "Tug"}, {53, "Port Tender"},
      {54, "Vessel with anti-pollution fac."}, {55, "Law enforcement Vessel"}, {56, "Local Vessel"},
      {57, "Local Vessel"}, {58, "Medical Transport"}, {59, "Ships according RR Resol. No. 18"},
      {60, "Passenger Ship"}, {69, "Passenger Ship"}, {70, "Cargo Ship"},
      {71, "Cargo Ship with dangerous goods"}, {74, "Cargo Ship with dangerous goods"},
      {75, "Cargo Ship"}, {79, "Cargo Ship"}, {80, "Tanker"}, {81, "Tanker with dangerous goods"},
      {84, "Tanker with dangerous goods"}, {85, "Tanker"}, {89, "Tanker"},
      {90, "Ship with no information"}, {99, "Ship with no information"},
      {255, "Ship with no information"}, {256, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ShipTypeText(c.code), c.text) << c.code;
}

}  // namespace
}  // namespace pelorin
