// What the shell remembers between pictures and dialogs, outside the settings file.
#pragma once

#include <cstdint>

namespace tesmo {

constexpr int32_t kZoomActual = 25600;  // zoom unit: 1/256 percent

// Values the edit dialogs keep between uses, the window place saved when an image is closed, and
// the zoom of the previous image.
struct RememberedValues {
  int32_t resample_algorithm = 1;
  int32_t canvas_align_x = 1;
  int32_t canvas_align_y = 1;
  int32_t canvas_anchor_column = 0;
  int32_t canvas_anchor_row = 0;
  int32_t crop_x = 0, crop_y = 0, crop_width = 1, crop_height = 1;
  int32_t trim_sides = 15;
  uint32_t trim_colour = 0;
  int32_t window_x = 0, window_y = 0;
  int32_t last_zoom_x = kZoomActual;
  int32_t last_zoom_y = kZoomActual;
};

}  // namespace tesmo
