// Frame timing: frames counted against a nominal 60 Hz, the measured frame rate and time step.
#pragma once

#include <cstdint>

namespace tesmo {

struct FrameTimer {
  uint32_t frames = 0;
  uint32_t window_frames = 0;
  uint32_t window_start = 0;
  float nominal_rate = 60.0f;
  float frame_rate = 0.0f;
  float time_step = 0.0f;
  float maximum_step = 4.0f;
  float speed = 1.0f;

  // Counters to zero, time step 0, the measurement window restarted at `now`.
  void reset(uint32_t now) {
    frames = 0;
    window_frames = 0;
    window_start = now;
    frame_rate = 0.0f;
    time_step = 0.0f;
  }
};

}  // namespace tesmo
