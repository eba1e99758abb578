// The choice that drives one save: format, pixel layout and options. The Save command takes it from
// the shown picture, Save As and the batch settings from the save options dialog.
#pragma once

#include <cstdint>

namespace tesmo {

struct SaveSettings {
  int32_t format = 0;        // ImageFormat
  int32_t pixel_format = 0;  // index into the format's savable pixel-format table
  int32_t bits = 0;          // bit count of that entry
  int32_t compress = 0;      // 0 / 1 (PIC run-length compression)
  int32_t quality = 0;       // 1–100 (JPEG)
  bool operator==(const SaveSettings&) const = default;
};

}  // namespace tesmo
