// Cut, copy and paste of pictures through the clipboard. Copy takes the displayed surface (the
// alpha view's grey picture or the image); cut takes the view as the window shows it (zoom,
// background) and clears the displayed surface; paste writes the clipboard's picture over the
// displayed surface from its top-left corner, as grey in the alpha view. Cut and paste are edits
// (history entry, undo copy, modified mark).
//
// Results: 0 done, 1 failed or nothing to do (nothing changed).
#pragma once

namespace tesmo {

class Editor;

// The displayed surface onto the clipboard. 1 without a shown picture or when the clipboard
// cannot take it.
int clipboard_copy(Editor& editor);

// The view (the back buffer's size, composed as a frame) onto the clipboard, then the displayed
// surface filled with 0. 1 without a shown picture or when the clipboard cannot take the view: the
// picture is then left as it was, without a history entry.
int clipboard_cut(Editor& editor);

// The clipboard's picture (24 or 32 bits as the platform hands them over) onto the displayed
// surface at (0, 0), cut at its size; in the alpha view its grey. With no picture shown a new one
// of the clipboard picture's size and depth is made first. 1 when the clipboard holds no picture
// or one whose rows are short or of another depth.
int clipboard_paste(Editor& editor);

}  // namespace tesmo
