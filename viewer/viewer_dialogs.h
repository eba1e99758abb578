// The dialogs of the viewer's own commands: New picture (148) and Key Assignment (167), skinned.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/dialog.h"
#include "viewer/viewer_commands.h"

namespace tesmo {

class Viewer;

// Shows the New dialog starting at `initial`. OK holds each side to 1 … 32768, writing the held
// value back into its box, and answers the choice; Cancel (or no dialog) answers nothing.
std::optional<NewPictureChoice> ask_new_picture_dialog(Viewer& viewer, const NewPictureChoice& initial);

// Shows the Key Assignment dialog with each combo box at its stored action (codes outside 0–14
// select nothing). OK answers the seven selections (a box without one keeps its stored code);
// Cancel answers nothing.
std::optional<KeyAssignment> ask_key_assignment_dialog(Viewer& viewer, const KeyAssignment& current);

}  // namespace tesmo
