// The edit framework: the one undo level and the modified mark around every picture change, the
// effect commands of the edit menus with their modeless parameter dialog and live preview, and the
// windowless runs the batch runner uses.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tesmo {

class Editor;


// Before any picture change: records `name` in the edit history, keeps the view state and copies
// surfaces 1 (and 2 when the picture has an alpha channel) into 17 and 18, enables Undo.
void begin_edit(Editor& editor, std::u16string_view name);

// Whether the picture has an alpha channel (surface 2): its menu item is enabled, or, without a
// window, the surface exists.
bool has_alpha_channel(Editor& editor);
// The surface an edit works on: the alpha channel (2) while the alpha view is chosen, else 1.
int32_t edited_surface(Editor& editor);
// The modified mark of a changed picture (title and Save item too when there is a window).
void mark_modified(Editor& editor);
// The effect items of the edit menus by the picture's shape (the lens needs a square) and alpha.
void update_effect_items(Editor& editor);

// Puts the picture, the alpha channel and the size and zoom back as they were before the last
// edit; clears the modified mark when no edit is left; greys Undo. 1 when there is nothing to undo.
int undo(Editor& editor);

// Runs the view operation with its parameters on the edited surface (the alpha view's surface 2
// when the alpha item is checked, else the image) and marks the picture modified. Returns 0.
int apply_effect(Editor& editor);

// Effect `index` with the given parameters (or the table's defaults) as one edit, without a
// dialog. 1 for an index outside 0–34.
int run_effect(Editor& editor, int index, int32_t p1, int32_t p2, int32_t p3, int32_t p4);
int run_effect_defaults(Editor& editor, int index);

// The modeless parameter dialog of effect `index` with its live preview; an open one is cancelled
// first. 1 when it cannot be opened (no platform, bad index).
int open_effect_dialog(Editor& editor, int index);
// Closes an open parameter dialog as Cancel does.
void cancel_effect_dialog(Editor& editor);
bool effect_dialog_open(const Editor& editor);

// The modal variant for the batch runner: 0 on OK with values = {index, P1, P2, P3, P4} (also
// copied into the operation parameters), 1 on Cancel.
int edit_effect_parameters(Editor& editor, int index, std::array<int32_t, 5>& values);

// The effect index of an edit-menu item, or −1.
int effect_index_of_command(uint16_t id);
// The command handler of the 35 effect items.
void effect_command(Editor& editor, uint16_t id);
// The Undo item's handler.
void undo_command(Editor& editor, uint16_t id);

}  // namespace tesmo
