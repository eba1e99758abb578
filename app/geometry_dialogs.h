// The modal dialogs of the geometry edits, skinned like the other edit dialogs. Each starts from
// the picture and the values the Application remembers, answers the request on OK (remembering
// what it keeps), and nothing on Cancel or when no dialog can be shown.
#pragma once

#include <optional>

#include "app/geometry_requests.h"

namespace tesmo {

class Application;

// Image size (141): the new size held to 1 … 32768; with keep-aspect checked, typing one side sets
// the other in the picture's proportion. Remembers the algorithm.
std::optional<ImageSizeRequest> ask_image_size(Application& app);
// Canvas size (143): size and alignment held to 1 … 32768, the one anchor of the 3 × 3 grid.
// Remembers the alignment and the anchor.
std::optional<CanvasSizeRequest> ask_canvas_size(Application& app);
// Crop (164): the rectangle as typed (signed); remembered.
std::optional<CropRequest> ask_crop(Application& app);
// Trim (144): the side boxes and the colour (each part held to 0 … 255; "..." asks the colour
// chooser). Remembers both.
std::optional<TrimRequest> ask_trim(Application& app);
// Rotation by angle (142): the angle held to 0 … 360, starting at 0.
std::optional<RotateRequest> ask_rotation(Application& app);
// Connect (161): one file or a folder, the path ("..." browses), the side boxes.
std::optional<ConnectRequest> ask_connect(Application& app);
// Divide (140): the tile size held to 1 … the picture's side, the counts to 0 … the side, 32 bits
// when the alpha box is checked (it starts checked when the picture has an alpha channel).
std::optional<DivideRequest> ask_divide(Application& app);

}  // namespace tesmo
