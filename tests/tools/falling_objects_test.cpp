// The falling object simulation against hand-computed grains: the order of random draws for both
// path types, Max Grain, fading, depth, sway and the guards for values typed out of range; and
// the project text.
#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "base/text.h"
#include "tools/falling_objects.h"
#include "tools/falling_project.h"

namespace tesmo {
namespace {

// Hands out the scripted numbers in order and counts the draws (0 once the script runs out).
struct ScriptedRandom {
  std::deque<int> numbers;
  int draws = 0;
  RandomSource source() {
    return [this] {
      ++draws;
      if (numbers.empty()) return 0;
      const int n = numbers.front();
      numbers.pop_front();
      return n;
    };
  }
};

// Grain 8 × 6 with a 4 × 3 sheet, source (100, 10) 50 × 20 falling to (30, 400) 200 × 40.
FixedParams base_fixed() { return {8, 6, 4, 3, 2, 0, 100, 10, 50, 20, 30, 400, 200, 40, 0}; }

struct SpawnCase {
  const char* what;
  int path_type;
  int32_t source_y, target_y, target_width, target_height, wind;
  std::vector<int> numbers;
  int draws;
  int16_t x, y, dx, dy;
};

TEST(FallingSpawn, DrawsRandomNumbersInTheFixedOrder) {
  // x = 100 + 1234 % 50 = 134; y = 10 + 77 % 20 = 27, + 11 % 6 − 3 = 29; delay 130 % 60 = 10;
  // phase 725 % 360 = 5; z 5000 % 4096 = 904; dz 2000 % 1024 − 512 = 464; u 14 % 4 = 2, v 14 % 3 = 2.
  const SpawnCase cases[] = {
      // tx = 30 + 999 % 200 = 229, ty = 400 + 85 % 40 = 405.
      {"path 0 downwards", 0, 10, 400, 200, 40, 0, {1234, 77, 11, 999, 85, 130, 725, 5000, 2000, 14}, 10,
       134, 29, 95, 376},
      // Upwards the spreads are taken away: y = 500 − 17 + 2 = 485, ty = 100 − 5 = 95.
      {"path 0 upwards", 0, 500, 100, 200, 40, 0, {1234, 77, 11, 999, 85, 130, 725, 5000, 2000, 14}, 10,
       134, 485, 95, -390},
      // No destination width or height: tx = x, ty = 400, and two draws fewer.
      {"path 0 without a destination area", 0, 10, 400, 0, 0, 0, {1234, 77, 11, 130, 725, 5000, 2000, 14}, 8,
       134, 29, 0, 371},
      // Wind −7: tx = 134 − 999 % 7 = 129; ty = 400 + 85 % 40 = 405.
      {"path 1 with wind", 1, 10, 400, 200, 40, -7, {1234, 77, 11, 999, 85, 130, 725, 5000, 2000, 14}, 10,
       134, 29, -5, 376},
      // No wind: no draw for it, straight down.
      {"path 1 without wind", 1, 10, 400, 200, 40, 0, {1234, 77, 11, 85, 130, 725, 5000, 2000, 14}, 9,
       134, 29, 0, 376},
  };
  for (const SpawnCase& c : cases) {
    SCOPED_TRACE(c.what);
    FixedParams p = base_fixed();
    p[kPathType] = c.path_type;
    p[kSourceY] = c.source_y;
    p[kTargetY] = c.target_y;
    p[kTargetWidth] = c.target_width;
    p[kTargetHeight] = c.target_height;
    ScriptedRandom rnd{{c.numbers.begin(), c.numbers.end()}};
    FallingObjects f;
    f.random = rnd.source();
    falling_start(f, p, {1, 2, 60, c.wind, 0});
    EXPECT_EQ(rnd.draws, c.draws);
    const Grain& g = f.grains[0];
    EXPECT_EQ(g.state, kGrainWaiting);
    EXPECT_EQ(g.x, c.x);
    EXPECT_EQ(g.y, c.y);
    EXPECT_EQ(g.dx, c.dx);
    EXPECT_EQ(g.dy, c.dy);
    EXPECT_EQ(g.delay, 10.0f);
    EXPECT_EQ(g.elapsed, 0.0f);
    EXPECT_EQ(g.phase, 5.0f);
    EXPECT_EQ(g.z, 904);
    EXPECT_EQ(g.dz, 464);
    EXPECT_EQ(g.u, 2);
    EXPECT_EQ(g.v, 2);
    for (int i = 1; i < kGrainCount; ++i) EXPECT_EQ(f.grains[static_cast<size_t>(i)].state, kGrainFree);
  }
}

TEST(FallingSpawn, TheRectangleIsHeldInSixteenBits) {
  FixedParams p = base_fixed();
  p[kSourceX] = 65536 + 7;  // cut to 7
  p[kSourceWidth] = 65536;  // cut to 0: no spread
  ScriptedRandom rnd{{1234}};
  FallingObjects f;
  f.random = rnd.source();
  falling_start(f, p, {1, 1, 60, 0, 0});
  EXPECT_EQ(f.fixed[kSourceX], 7);
  EXPECT_EQ(f.grains[0].x, 7);
}

// Values typed out of range are used as typed: nothing may divide by them.
TEST(FallingSpawn, ZeroAndNegativeValuesAreGuarded) {
  const int zero_params[] = {kGrainHeight, kFramesAcross, kFramesDown, kSourceWidth, kSourceHeight, kTargetWidth,
                             kTargetHeight, kAnimationSpeed};
  for (int value : {0, -3}) {
    FixedParams p = base_fixed();
    for (int i : zero_params) p[static_cast<size_t>(i)] = value;
    for (int32_t fall_time : {0, -5}) {
      FallingObjects f;
      falling_start(f, p, {256, 1, fall_time, 3, 2});
      int drawn = 0;
      for (int frame = 0; frame < 20; ++frame) {
        falling_step(f, 1.0f);
        falling_draw(f, [&](const GrainBlit& b) {
          ++drawn;
          EXPECT_EQ(b.alpha_offset, 0);
        });
      }
      EXPECT_GT(drawn, 0);
      for (const Grain& g : f.grains) EXPECT_NE(g.state, kGrainFree);
    }
  }
}

TEST(FallingStep, MaxGrainOneSpawnsOnlyTheFirstGrain) {
  FallingObjects f;
  falling_start(f, base_fixed(), {1, 3, 30, 0, 0});
  for (int frame = 0; frame < 200; ++frame) {
    falling_step(f, 1.0f);
    for (int i = 1; i < kGrainCount; ++i) ASSERT_EQ(f.grains[static_cast<size_t>(i)].state, kGrainFree);
  }
  EXPECT_NE(f.grains[0].state, kGrainFree);
}

TEST(FallingStep, LoweredMaxGrainLetsFallingGrainsLand) {
  FallingObjects f;
  f.random = [] { return 0; };  // no delay: every grain falls after its first step
  falling_start(f, base_fixed(), {3, 1, 10, 0, 0});
  falling_set_variable(f, kMaxGrain, 2);
  falling_step(f, 1.0f);
  EXPECT_EQ(f.grains[0].state, kGrainFalling);
  EXPECT_EQ(f.grains[1].state, kGrainFalling);
  EXPECT_EQ(f.grains[2].state, kGrainFree);  // was still waiting: dropped at once
  falling_set_variable(f, kMaxGrain, 1);
  // Progress 1 a frame over a fall time of 10: landed once the progress exceeds 10.
  for (int frame = 1; frame <= 10; ++frame) {
    falling_step(f, 1.0f);
    ASSERT_EQ(f.grains[1].state, kGrainFalling) << frame;
  }
  falling_step(f, 1.0f);
  EXPECT_EQ(f.grains[1].state, kGrainFree);
  EXPECT_EQ(f.grains[0].state, kGrainWaiting);  // spawned again
  for (int frame = 0; frame < 50; ++frame) falling_step(f, 1.0f);
  EXPECT_EQ(f.grains[1].state, kGrainFree);
  EXPECT_EQ(f.grains[2].state, kGrainFree);
}

TEST(FallingStep, WaitsItsDelayAndStepsTheAnimationRow) {
  ScriptedRandom rnd{{0, 0, 0, 0, 0, 3, 0, 0, 0, 4}};  // delay 3, v = 4 % 3 = 1
  FallingObjects f;
  f.random = rnd.source();
  falling_start(f, base_fixed(), {1, 2, 60, 0, 0});
  Grain& g = f.grains[0];
  ASSERT_EQ(g.delay, 3.0f);
  for (int frame = 0; frame < 3; ++frame) falling_step(f, 1.0f);
  EXPECT_EQ(g.state, kGrainWaiting);  // 3 is not past the delay
  falling_step(f, 1.0f);
  EXPECT_EQ(g.state, kGrainFalling);
  EXPECT_EQ(g.elapsed, 0.0f);
  // Animation speed 2: the row moves when the timer's whole part exceeds 2, i.e. every 3rd frame,
  // and wraps at 3 rows. The progress grows by speed 2 × dt.
  for (int frame = 0; frame < 3; ++frame) falling_step(f, 1.0f);
  EXPECT_EQ(g.v, 2);
  EXPECT_EQ(g.elapsed, 6.0f);
  for (int frame = 0; frame < 3; ++frame) falling_step(f, 1.0f);
  EXPECT_EQ(g.v, 0);
}

// A falling grain placed by hand: start (100, 50), movement (40, 200), cell (2, 1).
FallingObjects one_grain(int fade_type, int32_t wind, int32_t sway, int16_t z, int16_t dz, float elapsed) {
  FallingObjects f;
  FixedParams p = base_fixed();
  p[kFadeType] = fade_type;
  falling_start(f, p, {1, 1, 100, wind, sway});
  Grain& g = f.grains[0];
  g = Grain{kGrainFalling, 100, 50, z, 40, 200, dz, 0, elapsed, 30, 2, 1, 0};
  return f;
}

std::vector<GrainBlit> drawn(const FallingObjects& f) {
  std::vector<GrainBlit> out;
  falling_draw(f, [&](const GrainBlit& b) { out.push_back(b); });
  return out;
}

TEST(FallingDraw, PlacesTheCellAlongThePath) {
  const auto b = drawn(one_grain(0, 0, 0, 100, 0, 50));
  ASSERT_EQ(b.size(), 1u);
  EXPECT_EQ(b[0].x, 120);  // 100 + 40 × 0.5
  EXPECT_EQ(b[0].y, 150);  // 50 + 200 × 0.5
  EXPECT_EQ(b[0].src_x, 16);
  EXPECT_EQ(b[0].src_y, 6);
  EXPECT_EQ(b[0].width, 8);
  EXPECT_EQ(b[0].height, 6);
  EXPECT_EQ(b[0].alpha_offset, 0);
}

TEST(FallingDraw, SwayFollowsTheRowAndTheWindsSign) {
  // cos((150 + 30)°) = −1: the sway of 10 moves the grain 10 left, or right against a west wind.
  EXPECT_EQ(drawn(one_grain(0, 0, 10, 100, 0, 50))[0].x, 110);
  EXPECT_EQ(drawn(one_grain(0, -3, 10, 100, 0, 50))[0].x, 130);
}

TEST(FallingDraw, FadeByType) {
  struct Case {
    int type;
    float elapsed;
    int32_t alpha;
  };
  // Type 1: trunc(0.5 × −255) = −127, trunc(0.25 × −255) = −63. Type 2 starts at 0.8:
  // trunc((0.9 − 0.8) × 5 × −255) = −127.
  const Case cases[] = {{0, 50, 0},    {0, 100, 0},   {1, 50, -127}, {1, 25, -63}, {1, 100, -255},
                        {2, 50, 0},    {2, 79, 0},    {2, 90, -127}, {2, 100, -255}, {3, 50, 0}};
  for (const Case& c : cases) {
    const auto b = drawn(one_grain(c.type, 0, 0, 100, 0, c.elapsed));
    ASSERT_EQ(b.size(), 1u);
    EXPECT_EQ(b[0].alpha_offset, c.alpha) << c.type << " " << c.elapsed;
  }
}

TEST(FallingDraw, GrainsOutsideTheDepthRangeAreNotDrawn) {
  struct Case {
    int16_t z, dz;
    float elapsed;
    bool visible;
  };
  const Case cases[] = {
      {4000, 200, 25, true},    // 4050
      {4000, 200, 50, false},   // 4100
      {4000, 190, 50, true},    // 4095
      {10, -100, 10, true},     // 0
      {10, -100, 50, false},    // −40
  };
  for (const Case& c : cases) {
    EXPECT_EQ(drawn(one_grain(0, 0, 0, c.z, c.dz, c.elapsed)).size(), c.visible ? 1u : 0u) << c.z << " " << c.elapsed;
  }
}

TEST(FallingDraw, WithoutSwayAndWindPathOneFallsStraightDown) {
  FixedParams p = base_fixed();
  p[kPathType] = 1;
  FallingObjects f;
  falling_start(f, p, {256, 3, 40, 0, 0});
  int checked = 0;
  for (int frame = 0; frame < 100; ++frame) {
    falling_step(f, 1.0f);
    falling_draw(f, [&](const GrainBlit&) { ++checked; });
    for (const Grain& g : f.grains) {
      ASSERT_EQ(g.dx, 0);
      const int landing = g.y + g.dy;
      ASSERT_GE(landing, 400);
      ASSERT_LT(landing, 440);
    }
  }
  EXPECT_GT(checked, 0);
  std::vector<GrainBlit> now = drawn(f);
  for (const GrainBlit& b : now) {
    bool from_a_start = false;
    for (const Grain& g : f.grains) from_a_start |= g.state == kGrainFalling && g.x == b.x;
    EXPECT_TRUE(from_a_start);
  }
}

TEST(CRandomTest, MatchesTheRuntimeSequence) {
  // seed 1: 1 × 214013 + 2531011 = 2745024 → (2745024 >> 16) & 0x7FFF = 41.
  CRandom r;
  EXPECT_EQ(r(), 41);
  EXPECT_EQ(r(), 18467);
  EXPECT_EQ(r(), 6334);
}

TEST(FallingProjectText, WritesFourLinesAndReadsThemBack) {
  FallingProject p;
  p.background = u"/data/背景.png";
  p.sprite = u"/data/sprite.png";
  p.fixed = {16, 16, 4, 2, 3, 1, -20, 0, 800, 1, 0, 504, 800, 96, 2};
  p.variable = {256, 2, 120, -8, 12};
  const std::string text = format_falling_project(p);
  EXPECT_EQ(text, "/data/\x94\x77\x8C\x69.png\r\n/data/sprite.png\r\n"
                  "16, 16, 4, 2, 3, 1, -20, 0, 800, 1, 0, 504, 800, 96, 2\r\n256, 2, 120, -8, 12\r\n");
  const FallingProject back = parse_falling_project(text);
  EXPECT_EQ(back.background, p.background);
  EXPECT_EQ(back.sprite, p.sprite);
  EXPECT_EQ(back.fixed, p.fixed);
  EXPECT_EQ(back.variable, p.variable);
}

TEST(FallingProjectText, ShortLinesCommasHexAndBareLineFeeds) {
  const FallingProject p = parse_falling_project("  /a/b,c.png  \n\n 0x10, 0X1f,7\r\n1,2");
  EXPECT_EQ(p.background, u"/a/b");  // cut at the comma
  EXPECT_EQ(p.sprite, u"");          // the empty line counts
  EXPECT_EQ(p.fixed, (FixedParams{16, 31, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(p.variable, (VariableParams{1, 2, 0, 0, 0}));
  const FallingProject empty = parse_falling_project("");
  EXPECT_EQ(empty.fixed, FixedParams{});
  EXPECT_EQ(empty.background, u"");
}

TEST(FallingProjectText, Numbers) {
  struct Case {
    const char* field;
    int32_t value;
  };
  const Case cases[] = {{"12", 12},    {"  -7", -7}, {"+5", 5},   {"0x7fffffff", 2147483647},
                        {"0xFFFFFFFF", -1}, {"3 4", 3}, {"abc", 0}, {"", 0}, {"0x", 0}, {"12z", 12}};
  for (const Case& c : cases) EXPECT_EQ(parse_project_number(c.field), c.value) << c.field;
}

}  // namespace
}  // namespace tesmo
