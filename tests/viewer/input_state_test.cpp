#include <gtest/gtest.h>

#include "viewer/input_state.h"

namespace tesmo {
namespace {

// One frame: the time, whether the button is down, and what the queries must say: "hprt" spells held, pressed,
// released, triggered, with '.' for false.
struct Frame {
  uint32_t now;
  bool down;
  const char* expected;
};

void play(InputState& input, int button, std::initializer_list<Frame> frames) {
  for (const Frame& f : frames) {
    set_button(input, button, f.down);
    evaluate_action_sets(input, f.now, 0);
    const char got[] = {held(input, button) ? 'h' : '.', pressed(input, button) ? 'p' : '.',
                        released(input, button) ? 'r' : '.', triggered(input, button) ? 't' : '.', 0};
    EXPECT_STREQ(got, f.expected) << "at " << f.now;
  }
}

TEST(InputState, EachButtonByteDrivesItsOwnMouseAction) {
  InputState configured;
  init_input_state(configured);
  EXPECT_EQ(configured.bindings[1].kind, kBindingMouse);
  const ActionSet& set = configured.sets[configured.bindings[1].set_id];
  EXPECT_EQ(set.count, 14);
  EXPECT_EQ(set.actions[6].repeat_delay, 500u);
  EXPECT_EQ(set.actions[7].repeat_delay, 0u);
  for (int button = 0; button < 8; ++button) {
    InputState input;
    init_input_state(input);
    input.buttons[button] = kButtonDown;
    evaluate_action_sets(input, 10, -1);
    EXPECT_EQ(input.sets[1].pressed, uint64_t{1} << (6 + button)) << button;
    EXPECT_EQ(input.sets[1].actions[6 + button].press_region, -1);
  }
  EXPECT_FALSE(pressed(InputState{}, kLeftButton));  // no mouse set configured
}

TEST(InputState, LeftButtonRepeatsEveryFrameAfterHalfASecond) {
  InputState input;
  init_input_state(input);
  play(input, kLeftButton,
       {{0, false, "...."}, {100, true, "hp.t"}, {200, true, "h..."},
        {600, true, "h..."},  // 500 ms is not more than the delay
        {601, true, "h..t"}, {602, true, "h..t"}, {700, false, "..r."}, {710, false, "...."},
        {720, true, "hp.t"}});
}

TEST(InputState, RepeatsKeepTheIntervalAndSurviveTheClockWrapping) {
  InputState input;
  init_input_state(input);
  Action& right = input.sets[1].actions[6 + kRightButton];
  right.repeat_delay = 100;
  right.interval = 50;
  const uint32_t t0 = 0xFFFFFFC0u;  // the clock wraps 64 ms after the press
  play(input, kRightButton,
       {{t0, true, "hp.t"}, {t0 + 100, true, "h..."}, {t0 + 101, true, "h..t"},
        {t0 + 150, true, "h..."}, {t0 + 151, true, "h..t"}, {t0 + 220, true, "h..t"}});
}

TEST(InputState, PressRegionIsKeptUntilTheReleaseFrameHasBeenHandled) {
  InputState input;
  init_input_state(input);
  set_button(input, kLeftButton, true);
  evaluate_action_sets(input, 0, 0);
  EXPECT_EQ(input.hovered_region, 0);
  EXPECT_EQ(press_region(input, kLeftButton), -1);
  record_press_regions(input);
  EXPECT_EQ(press_region(input, kLeftButton), 0);
  evaluate_action_sets(input, 16, -1);  // moved off the region while held
  record_press_regions(input);
  EXPECT_EQ(press_region(input, kLeftButton), 0);
  set_button(input, kLeftButton, false);
  evaluate_action_sets(input, 32, -1);
  EXPECT_EQ(press_region(input, kLeftButton), 0);  // what the release is compared with
  record_press_regions(input);
  EXPECT_EQ(press_region(input, kLeftButton), -1);
}

TEST(InputState, HitTestFindsTheFirstEnabledRegionContainingThePoint) {
  const HitRegion regions[] = {{0, 0, 400, 300, false, 0}, {10, 20, 400, 300, true, 1}, {0, 0, 50, 50, true, 0}};
  struct Case {
    int32_t x, y, expected;
  };
  const Case cases[] = {{10, 20, 1}, {409, 319, 1}, {410, 20, -1}, {10, 320, -1},
                        {9, 20, 2},  {0, 0, 2},     {-1, 0, -1},   {50, 19, -1}};
  for (const Case& c : cases) EXPECT_EQ(hit_test(regions, c.x, c.y), c.expected) << c.x << "," << c.y;
  EXPECT_EQ(hit_test({}, 0, 0), -1);
}

}  // namespace
}  // namespace tesmo
