// The diagram's rings and where a bin lands.
#include <gtest/gtest.h>

#include "coverage/polar_diagram.h"

namespace pelorin {
namespace {

TEST(PolarDiagram, RingsAtRoundSteps) {
  const struct {
    double MaxNM, Step, Outer;
  } cases[] = {{25.04, 5, 30}, {30, 5, 30}, {30.01, 10, 40}, {0.7, 0.2, 0.8}, {61, 20, 80}, {0, 1, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.MaxNM);
    const TPolarScale s = PolarScaleOf(c.MaxNM);
    EXPECT_DOUBLE_EQ(s.StepNM, c.Step);
    EXPECT_DOUBLE_EQ(s.OuterNM, c.Outer);
  }
}

TEST(PolarDiagram, NorthUpClockwise) {
  const TPolarScale scale = PolarScaleOf(20);  // rings of 5, out to 20 NM
  const struct {
    double Bearing, NM, X, Y;
  } cases[] = {{0, 20, 0, -100}, {90, 10, 50, 0}, {180, 5, 0, 25}, {270, 20, -100, 0}};
  for (const auto& c : cases) {
    const TPolarPoint p = PolarPointOf(c.Bearing, c.NM, 100, scale);
    EXPECT_NEAR(p.X, c.X, 1e-9) << c.Bearing;
    EXPECT_NEAR(p.Y, c.Y, 1e-9) << c.Bearing;
  }
  TReceptionRange range;
  range.Bins[359] = {true, 20};
  range.Bins[90] = {true, 10};
  const std::vector<TPolarPoint> curve = RangeCurveOf(range, 100, scale);
  ASSERT_EQ(curve.size(), 2u);
  EXPECT_NEAR(curve[0].X, 50, 1e-9);  // in bearing order
  EXPECT_LT(curve[1].X, 0);
}

}  // namespace
}  // namespace pelorin
