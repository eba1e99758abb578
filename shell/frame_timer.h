// Frame timing: frames counted against a nominal 60 Hz, the measured frame rate and time step.
// All arithmetic is single-precision, as the fields are typed.
#pragma once

#include <cstdint>

namespace tesmo {

struct FrameTimer {
  uint32_t frames = 0;         // frames drawn since the last reset
  uint32_t window_frames = 0;  // frames in the current measurement window
  uint32_t window_start = 0;   // ms
  float nominal_rate = 60.0f;
  float frame_rate = 0.0f;     // measured frames per second
  float time_step = 0.0f;      // measured length of a frame in nominal frames
  float maximum_step = 4.0f;   // bounds the step, so the shown rate never drops below 60 / 4 = 15
  float speed = 1.0f;

  // Counters to zero, time step 0, the measurement window restarted at `now`.
  void reset(uint32_t now) {
    restart_window(now);
    time_step = 0.0f;
  }

  // Counters to zero, frame rate 0, the window restarted at `now`; the time step is kept, so
  // animations go on at the measured pace (used when a background job has been finished).
  void restart_window(uint32_t now) {
    frames = 0;
    window_frames = 0;
    window_start = now;
    frame_rate = 0.0f;
  }

  // Counts one frame at `now` (ms). When more than 1000 ms have passed since the window start,
  // the time step becomes elapsed × nominal rate / 1000 / window frames (at most the maximum
  // step), the frame rate nominal rate / time step, and the window restarts at `now`. The
  // elapsed time is taken modulo 2^32, so the millisecond clock may wrap. Returns the step this
  // frame's animations use: speed × time step (0 until the first window has closed).
  float tick(uint32_t now) {
    ++frames;
    ++window_frames;
    const uint32_t elapsed = now - window_start;
    if (elapsed > 1000) {
      time_step = static_cast<float>(elapsed) * nominal_rate / 1000.0f / static_cast<float>(window_frames);
      if (time_step > maximum_step) time_step = maximum_step;
      frame_rate = nominal_rate / time_step;
      window_frames = 0;
      window_start = now;
    }
    return speed * time_step;
  }
};

}  // namespace tesmo
