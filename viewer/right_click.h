// The right-click copy: pressing the right button over the picture puts the cursor's position in
// picture pixels and the colour under it on the clipboard as text, in the parts the three options
// of the clipboard menu choose ("X, Y", "R, G, B (10 進数)", "R, G, B (16 進数)"), in that order,
// joined by ", ".
#pragma once

#include <string>

namespace tesmo {

class Viewer;

inline constexpr int kRightClickOptionCount = 3;

// Option k (0 X, Y; 1 decimal colour; 2 hexadecimal colour): flips its check and settings field
// and writes the settings file. 1 for another k.
int toggle_right_click_option(Viewer& viewer, int k);

// The text of the checked options for the frame's cursor: "%d, %d" position, "%3d, %3d, %3d" and
// "0x%08X" (alpha cleared) of the back-buffer pixel under the mouse, the colour parts only while
// the mouse is over the back buffer. Empty when nothing applies.
std::string right_click_text(Viewer& viewer);

// Puts right_click_text on the clipboard as 8-bit text. 1 when the text is empty (the clipboard
// keeps what it held) or the clipboard cannot take it.
int right_click_copy(Viewer& viewer);

}  // namespace tesmo
