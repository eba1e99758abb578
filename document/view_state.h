// The view state every viewer command changes: what is shown, how it is zoomed, and the view flags.
#pragma once

#include <cstdint>
#include <string>

#include "document/save_settings.h"
#include "shell/remembered_values.h"

namespace tesmo {

// Bits of ViewState::flags.
enum ViewFlag : uint32_t {
  kImageShown = 1u << 0,
  kModified = 1u << 1,
  kFullScreen = 1u << 2,
  kFrameDrawn = 1u << 3,         // a frame has been composed since the last layout
  kKeepPlace = 1u << 5,          // keep zoom and window place for the next load
  kExifRotated = 1u << 8,
  kFitComputed = 1u << 9,
  kCursorBarBuilt = 1u << 12,
  kFileInfoCurrent = 1u << 13,
  kExifPanelBuilt = 1u << 14,
  kHistogramBuilt = 1u << 15,
  kRedrawBackground = 1u << 16,
  kThumbnailCurrent = 1u << 24,
};


// The picture's size, turn and zoom, and what its file decoded to: what an edit changes and the
// undo level puts back as one record.
struct PictureGeometry {
  int32_t image_width = 0;
  int32_t image_height = 0;
  int32_t rotation = 0;  // degrees, shown in the title when not 0
  int32_t zoom_x = kZoomActual;
  int32_t zoom_y = kZoomActual;
  int32_t decoded_width = 0;
  int32_t decoded_height = 0;
  int32_t decoded_bits = 0;
  int32_t decoded_has_alpha = 0;
};

struct ViewState : PictureGeometry {
  uint32_t flags = 0;
  int32_t displayed_surface = 0;  // 1 the image, 2 the alpha channel view
  int32_t effect_index = 0;     // the effect of the open parameter dialog
  uint32_t view_operation = 0;  // compositor op word the image is drawn with (0 plain copy)
  int32_t operation_params[4] = {0, 0, 0, 0};
  uint32_t load_time = 0;        // ms the last load took
  std::u16string display_name;   // set for generated pictures; empty for a file
  std::u16string path;
  // What the histogram overlay counted: the displayed surface key and the visible-channel mask;
  // −1 (recount) after a close, and to be reset so when the picture changes.
  int32_t histogram_surface = -1;
  int32_t histogram_mask = -1;
  // The save between its command and its job: the choice, the file written, the mode (0 Save,
  // 1 Save As) and whether the job wrote the shown file (then the modified mark goes).
  SaveSettings save_settings;
  std::u16string save_path;
  int32_t save_mode = 0;
  bool saved_current = false;
};

}  // namespace tesmo
