// The alpha channel commands: the picture's alpha lives as a grey picture in surface 2 (red = green
// = blue = alpha, alpha bytes 0), which these create, remove, fill from another file, exchange with
// the image and invert. Each change is one edit (history entry, undo copy, modified mark); the menu
// follows whether the channel exists: New greyed and Delete, Swap to RGB, Negative and the alpha
// view enabled while it does, the alpha composites with them.
//
// Results: 0 done, 1 failed (nothing changed), 2 cancelled by the user.
#pragma once

#include <optional>
#include <string>

namespace tesmo {

class Editor;

inline constexpr char16_t kAlphaSizeMismatch[] = u"画像のサイズが RGB チャンネルと異なる為、使用できません。";

// A white (fully opaque) alpha channel of the image's size. `with_history` false is undo's form: no
// history entry and no modified mark. 1 when there is no image or no memory.
int alpha_new(Editor& editor, bool with_history);

// Removes the alpha channel; the RGB view is shown. `with_history` false is undo's form.
int alpha_delete(Editor& editor, bool with_history);

// The grey of another picture of the image's size becomes the alpha channel (created when missing).
// Without a path the open dialog asks (cancel: 2). An unreadable file gives 1 silently; another size
// gives the warning and 1; in both cases without a history entry.
int alpha_import(Editor& editor, const std::optional<std::u16string>& path);
// The open dialog of the import alone (the batch takes its path from it); nothing when cancelled.
std::optional<std::u16string> ask_import_path(Editor& editor);

// The image and the alpha channel change places; the new alpha channel is the grey of the former
// image. 1 (nothing changed) when either is missing.
int alpha_swap_rgb(Editor& editor);

// Inverts the alpha channel. 1 (nothing changed) when there is none.
int alpha_invert(Editor& editor);

}  // namespace tesmo
