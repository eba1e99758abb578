// Zoom steps, in percent as the user sees them.
#include <gtest/gtest.h>

#include "viewer/zoom.h"

namespace tesmo {
namespace {

constexpr int32_t pct(double p) { return static_cast<int32_t>(p * 256); }

TEST(Zoom, NormalStepsByRange) {
  const std::pair<double, double> in[] = {{25, 50},   {90, 100},   {100, 200},  {110, 200}, {750, 800},
                                          {800, 1200}, {1200, 1600}, {1000, 1200}, {10, 25}};
  for (auto [from, to] : in) EXPECT_EQ(next_zoom_in(pct(from), false), pct(to)) << from;
  EXPECT_EQ(next_zoom_in(pct(1600), false), std::nullopt);

  const std::pair<double, double> out[] = {{100, 75},  {110, 100}, {50, 25},    {30, 25},
                                           {800, 700}, {900, 800}, {1600, 1200}, {1300, 1200}};
  for (auto [from, to] : out) EXPECT_EQ(next_zoom_out(pct(from), false), pct(to)) << from;
  EXPECT_EQ(next_zoom_out(pct(25), false), std::nullopt);
  EXPECT_EQ(next_zoom_out(pct(20), false), std::nullopt);
}

TEST(Zoom, PreciseStepsOfTenPercent) {
  EXPECT_EQ(next_zoom_in(pct(100), true), pct(110));
  EXPECT_EQ(next_zoom_in(pct(105), true), pct(110));
  EXPECT_EQ(next_zoom_in(pct(1590), true), pct(1600));
  EXPECT_EQ(next_zoom_in(pct(1595), true), std::nullopt);
  EXPECT_EQ(next_zoom_out(pct(20), true), pct(10));
  EXPECT_EQ(next_zoom_out(pct(15), true), pct(10));
  EXPECT_EQ(next_zoom_out(pct(10), true), std::nullopt);
  EXPECT_EQ(next_zoom_out(pct(10.5), true), std::nullopt);  // 10.5 % − 10 % is below 1 %
}

}  // namespace
}  // namespace tesmo
