#include <gtest/gtest.h>

#include "shell/frame_timer.h"

namespace tesmo {
namespace {

// A window started at `start` with `frames` frames, the last one `elapsed` ms later; returns the
// last frame's step.
float run_window(FrameTimer& t, uint32_t start, uint32_t elapsed, uint32_t frames) {
  t.reset(start);
  for (uint32_t i = 1; i < frames; ++i) t.tick(start);
  return t.tick(start + elapsed);
}

TEST(FrameTimer, WindowOfMoreThanOneSecondSetsStepAndRate) {
  struct Case {
    uint32_t start, elapsed, frames;
    float step, rate;  // step = elapsed × 60 / 1000 / frames, bounded by 4; rate = 60 / step
  };
  const Case cases[] = {
      {0, 1001, 60, 1.001f, 59.94006f},
      {500, 1001, 120, 0.5005f, 119.88012f},
      {0, 2000, 40, 3.0f, 20.0f},
      {0, 1001, 16, 3.75375f, 15.98402f},
      {0, 1001, 15, 4.0f, 15.0f},                // 4.004 bounded
      {0xFFFFFF00u, 1264, 64, 1.185f, 50.63291f},  // the clock wraps inside the window
  };
  for (const Case& c : cases) {
    FrameTimer t;
    EXPECT_NEAR(run_window(t, c.start, c.elapsed, c.frames), c.step, 1e-5f) << c.elapsed << "/" << c.frames;
    EXPECT_NEAR(t.frame_rate, c.rate, 1e-3f);
    EXPECT_EQ(t.window_frames, 0u);
    EXPECT_EQ(t.window_start, c.start + c.elapsed);
  }
}

TEST(FrameTimer, StepChangesOnlyWhenAWindowCloses) {
  FrameTimer t;
  EXPECT_EQ(run_window(t, 100, 1000, 50), 0.0f);  // exactly 1000 ms does not close the window
  EXPECT_EQ(t.window_frames, 50u);
  t.speed = 2.0f;
  EXPECT_NEAR(t.tick(1101), 2.0f * 1001.0f * 60.0f / 1000.0f / 51.0f, 1e-5f);
  EXPECT_EQ(t.frames, 51u);
  t.restart_window(5000);  // keeps the step
  EXPECT_EQ(t.frames, 0u);
  EXPECT_EQ(t.frame_rate, 0.0f);
  EXPECT_NEAR(t.tick(5016), 2.0f * 1001.0f * 60.0f / 1000.0f / 51.0f, 1e-5f);
  t.reset(6000);  // clears it
  EXPECT_EQ(t.tick(6016), 0.0f);
}

TEST(FrameTimer, RateAfterAStallIsNeverBelowFifteen) {
  for (uint32_t elapsed : {1001u, 1500u, 5000u, 60000u, 4000000000u}) {
    for (uint32_t frames = 1; frames <= 100; ++frames) {
      FrameTimer t;
      run_window(t, 0, elapsed, frames);
      ASSERT_GE(t.frame_rate, 15.0f) << elapsed << " ms, " << frames << " frames";
      ASSERT_LE(t.time_step, 4.0f);
    }
  }
}

}  // namespace
}  // namespace tesmo
