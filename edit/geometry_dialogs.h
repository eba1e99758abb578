// The modal dialogs of the geometry edits, skinned like the other edit dialogs. Each starts from
// the picture and the values the shell remembers, answers the request on OK (remembering
// what it keeps), and nothing on Cancel or when no dialog can be shown.
#pragma once

#include <optional>

#include "edit/geometry_requests.h"

namespace tesmo {

class Editor;

// Image size (141): the new size held to 1 … 32768; with keep-aspect checked, typing one side sets
// the other in the picture's proportion. Remembers the algorithm.
std::optional<ImageSizeRequest> ask_image_size(Editor& editor);
// Canvas size (143): size and alignment held to 1 … 32768, the one anchor of the 3 × 3 grid.
// Remembers the alignment and the anchor.
std::optional<CanvasSizeRequest> ask_canvas_size(Editor& editor);
// Crop (164): the rectangle as typed (signed); remembered.
std::optional<CropRequest> ask_crop(Editor& editor);
// Trim (144): the side boxes and the colour (each part held to 0 … 255; "..." asks the colour
// chooser). Remembers both.
std::optional<TrimRequest> ask_trim(Editor& editor);
// Rotation by angle (142): the angle held to 0 … 360, starting at 0.
std::optional<RotateRequest> ask_rotation(Editor& editor);
// Connect (161): one file or a folder, the path ("..." browses), the side boxes.
std::optional<ConnectRequest> ask_connect(Editor& editor);
// Divide (140): the tile size held to 1 … the picture's side, the counts to 0 … the side, 32 bits
// when the alpha box is checked (it starts checked when the picture has an alpha channel).
std::optional<DivideRequest> ask_divide(Editor& editor);

}  // namespace tesmo
