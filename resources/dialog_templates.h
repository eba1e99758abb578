// Dialog templates of the viewer (data only): id, caption, client size and controls by id. The
// skinned dialogs are laid out on their background pictures (resources/skin_pictures.h): controls
// stay below the title band, the OK (1097) and Cancel (1098) buttons are owner-drawn, one state
// row of the button picture high.
#pragma once

#include <cstdint>

#include "platform/dialog.h"

namespace tesmo::resources {

// Arbitrary zoom (159): the zoom in percent, 1–1600.
inline constexpr uint16_t kZoomDialogId = 159;
inline constexpr uint16_t kZoomField = 1001;
const platform::DialogTemplate& zoom_dialog();

}  // namespace tesmo::resources
