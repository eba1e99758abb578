// The edit framework: the one undo level and the modified mark around every picture change, the
// effect commands of the edit menus with their modeless parameter dialog and live preview, and the
// windowless runs the batch runner uses.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tesmo {

class Application;

// Fills the Application's hooks (closing the picture cancels an open parameter dialog).
void install_edit(Application& app);

// Before any picture change: records `name` in the edit history, keeps the view state and copies
// surfaces 1 (and 2 when the picture has an alpha channel) into 17 and 18, enables Undo.
void begin_edit(Application& app, std::u16string_view name);

// Puts the picture, the alpha channel and the size and zoom back as they were before the last
// edit; clears the modified mark when no edit is left; greys Undo. 1 when there is nothing to undo.
int undo(Application& app);

// Whether the picture has an alpha channel (the alpha view item is enabled; without a window,
// whether surface 2 exists).
bool has_alpha_channel(Application& app);

// Marks the picture modified (set_modified (1); without a window only the flags).
void mark_modified(Application& app);

// The effect items' enabling for the shown picture: all with a picture, the lens only while it is
// square, the alpha composites only with an alpha channel.
void update_effect_items(Application& app);

// Runs the view operation with its parameters on the edited surface (the alpha view's surface 2
// when the alpha item is checked, else the image) and marks the picture modified. Returns 0.
int apply_effect(Application& app);

// Effect `index` with the given parameters (or the table's defaults) as one edit, without a
// dialog. 1 for an index outside 0–34.
int run_effect(Application& app, int index, int32_t p1, int32_t p2, int32_t p3, int32_t p4);
int run_effect_defaults(Application& app, int index);

// The modeless parameter dialog of effect `index` with its live preview; an open one is cancelled
// first. 1 when it cannot be opened (no platform, bad index).
int open_effect_dialog(Application& app, int index);
// Closes an open parameter dialog as Cancel does.
void cancel_effect_dialog(Application& app);
bool effect_dialog_open(const Application& app);

// The modal variant for the batch runner: 0 on OK with values = {index, P1, P2, P3, P4} (also
// copied into the operation parameters), 1 on Cancel.
int edit_effect_parameters(Application& app, int index, std::array<int32_t, 5>& values);

// The effect index of an edit-menu item, or −1.
int effect_index_of_command(uint16_t id);
// The command handler of the 35 effect items.
void effect_command(Application& app, uint16_t id);
// The Undo item's handler.
void undo_command(Application& app, uint16_t id);

}  // namespace tesmo
