#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "viewer/tween.h"

namespace tesmo {
namespace {

constexpr double kPi = std::numbers::pi;

TEST(Tween, CurvesFollowTheirFormulas) {
  using P = double (*)(double);
  const P formulas[] = {
      [](double t) { return t; },
      [](double t) { return std::sin(t * kPi / 2); },
      [](double t) { return std::sin(t * kPi / 2 + 3 * kPi / 2) + 1; },
      [](double t) { return 2 * t - t * t; },
      [](double t) { return 3 * t * t - 2 * t * t * t; },
      [](double t) { return 6 * std::pow(t, 5) - 15 * std::pow(t, 4) + 10 * std::pow(t, 3); },
  };
  for (uint8_t kind = 0; kind < 6; ++kind) {
    for (float elapsed : {0.0f, 3.0f, 8.0f, 13.0f, 16.0f}) {
      const TweenCurve c{10.0f, 20.0f, 16, kind, 0, elapsed, 0.0f};
      EXPECT_NEAR(tween_value(c), 10.0 + 20.0 * formulas[kind](elapsed / 16.0), 2e-5) << int(kind) << " " << elapsed;
    }
    EXPECT_EQ(tween_value(TweenCurve{-255.0f, 255.0f, 15, kind, 0, 15.0f, 0.0f}), 0.0f) << "ends exactly";
  }
  EXPECT_EQ(tween_value(TweenCurve{10.0f, 20.0f, 16, 6, 0, 8.0f, 0.0f}), 0.0f);    // unknown kind
  EXPECT_EQ(tween_value(TweenCurve{10.0f, 20.0f, 0, 1, 0, 0.0f, 0.0f}), 30.0f);    // duration 0
  EXPECT_EQ(tween_value(TweenCurve{10.0f, 20.0f, 0, 200, 0, 0.0f, 0.0f}), 30.0f);  // duration first
}

TEST(Tween, SineInKeepsItsPrecisionNearTheStart) {
  for (float elapsed : {1.0f, 2.0f, 5.0f, 10.0f}) {
    const TweenCurve c{0.0f, 1.0f, 1000, kCurveSineIn, 0, elapsed, 0.0f};
    const double expected = 1.0 - std::cos(elapsed / 1000.0f * kPi / 2);
    EXPECT_NEAR(tween_value(c) / expected, 1.0, 1e-6) << elapsed;
  }
}

TEST(Tween, BuiltInSlotsRunTheirListOnceAndStop) {
  struct Case {
    int slot;
    bool starts;
    float from, to;
  };
  const Case cases[] = {{0, true, -255, 0}, {1, true, -255, 0}, {2, true, -255, 0}, {3, true, -255, 0},
                        {4, true, -255, 0}, {5, false, 0, 0},   {6, true, 0, 100},   {7, true, 100, 0},
                        {8, false, 0, 0},   {9, false, 0, 0}};
  for (const Case& c : cases) {
    TweenSlots slots{};
    start_tween(slots, c.slot);
    EXPECT_EQ(slots[c.slot].keyframes != nullptr, c.starts) << c.slot;
    EXPECT_EQ(tween_value(slots[c.slot]), c.from);
    advance_tweens(slots, 7.5f);  // half way along sin(t × 90°)
    EXPECT_NEAR(tween_value(slots[c.slot]), c.from + (c.to - c.from) * std::sin(kPi / 4), 1e-4) << c.slot;
    advance_tweens(slots, 7.25f);  // 14.75 frames: the whole part is still short of 15
    EXPECT_EQ(slots[c.slot].curve.flags & kTweenFinished, 0);
    EXPECT_EQ(slots[c.slot].keyframes != nullptr, c.starts);
    advance_tweens(slots, 0.25f);
    EXPECT_EQ(tween_value(slots[c.slot]), c.to);
    EXPECT_EQ(slots[c.slot].keyframes, nullptr);
  }
  TweenSlots slots{};
  start_tween(slots, -1);
  start_tween(slots, 10);
  for (const TweenSlot& s : slots) EXPECT_EQ(s.keyframes, nullptr);
}

TEST(Tween, StopKeepsTheValueAndStartingAgainBeginsAfresh) {
  TweenSlots slots{};
  start_tween(slots, 6);
  advance_tweens(slots, 8.0f);
  stop_tween(slots, 6);
  advance_tweens(slots, 4.0f);
  EXPECT_EQ(slots[6].keyframes, nullptr);
  EXPECT_NEAR(tween_value(slots[6]), 100 * std::sin(8.0 / 15 * kPi / 2), 1e-4);
  start_tween(slots, 6);
  EXPECT_EQ(tween_value(slots[6]), 0.0f);
}

TEST(Tween, EndModesAndZeroLengthKeyframes) {
  static constexpr Keyframe list[] = {{0, 10, 2, 0}, {10, 20, 0, 0}, {20, 30, 0, 0}, {30, 40, 4, 0}};
  struct Case {
    int32_t end_mode;
    float value_at_end;
    int32_t index_at_end;
    bool idle, held;
  };
  const Case cases[] = {{kTweenStop, 40, 0, true, false}, {kTweenLoop, 0, 0, false, false},
                        {kTweenHold, 40, 4, false, true}};
  for (const Case& c : cases) {
    TweenSlot slot;
    start_keyframes(slot, list, c.end_mode);
    advance_tween(slot, 2.0f);  // keyframe 0 ends; 1 and 2 pass at once; 3 begins at 30
    EXPECT_EQ(slot.index, 3);
    EXPECT_EQ(tween_value(slot), 30.0f);
    advance_tween(slot, 2.0f);
    EXPECT_EQ(tween_value(slot), 35.0f);
    advance_tween(slot, 2.5f);
    EXPECT_EQ(tween_value(slot), c.value_at_end) << c.end_mode;
    EXPECT_EQ(slot.index, c.index_at_end);
    EXPECT_EQ(slot.keyframes == nullptr, c.idle);
    EXPECT_EQ((slot.curve.flags & kTweenHeld) != 0, c.held);
    advance_tween(slot, 1.0f);
    EXPECT_EQ(tween_value(slot), c.end_mode == kTweenLoop ? 5.0f : 40.0f);
  }
  TweenSlot spin;  // a looping list of zero-length keyframes ends the frame all the same
  start_keyframes(spin, std::span(list + 1, 2), kTweenLoop);
  advance_tween(spin, 1.0f);
  EXPECT_TRUE(tween_value(spin) == 20.0f || tween_value(spin) == 30.0f);
}

}  // namespace
}  // namespace tesmo
