// The dialogs of the viewer's own commands: New picture (148) and Key Assignment (167), skinned,
// answering the Application's ask_new_picture and ask_key_assignment seams.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/dialog.h"
#include "viewer/viewer_commands.h"

namespace tesmo {

class Viewer;

// The whole number a size box holds: leading blanks skipped, an optional sign, then digits;
// what follows is ignored. 0 when there are no digits; beyond the int32 range it saturates.
int32_t parse_size_field(std::u16string_view text);

// The number as the boxes show it.
std::u16string decimal(int32_t value);

// The whole number of box `id` held to lo … hi; a held number replaces the box's text.
int32_t held_field(platform::Dialog& d, uint16_t id, int32_t lo, int32_t hi);

// Shows the New dialog starting at `initial`. OK holds each side to 1 … 32768, writing the held
// value back into its box, and answers the choice; Cancel (or no dialog) answers nothing.
std::optional<NewPictureChoice> ask_new_picture_dialog(Viewer& viewer, const NewPictureChoice& initial);

// Shows the Key Assignment dialog with each combo box at its stored action (codes outside 0–14
// select nothing). OK answers the seven selections (a box without one keeps its stored code);
// Cancel answers nothing.
std::optional<KeyAssignment> ask_key_assignment_dialog(Viewer& viewer, const KeyAssignment& current);

}  // namespace tesmo
