// Placement shared by the dialog templates: the owner-drawn OK (1097) and Cancel (1098) buttons,
// one state row of an 88 × 63 button picture each, in the bottom right corner of the background.
#pragma once

#include "platform/window.h"

namespace tesmo::resources {

inline constexpr uint16_t kOkButton = 1097, kCancelButton = 1098;
inline constexpr int kButtonW = 88, kButtonH = 21;

// OK and Cancel in the bottom right corner of a w × h background.
constexpr platform::Rect ok_rect(int w, int h) {
  return {w - 16 - 2 * kButtonW - 8, h - 14 - kButtonH, w - 16 - kButtonW - 8, h - 14};
}
constexpr platform::Rect cancel_rect(int w, int h) { return {w - 16 - kButtonW, h - 14 - kButtonH, w - 16, h - 14}; }

}  // namespace tesmo::resources
