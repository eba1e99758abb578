// The modified mark of the shown picture (a flag of the view state, the Save item's state and the
// "* " before the window title) and the window title itself.
#pragma once

#include <string>

namespace tesmo {

class Document;

// −1: "Tesmo64"; 0: the unmodified title; 1: the modified title ("* " prefix).
void update_title(Document& doc, int mode);
std::u16string window_title(const Document& doc, bool modified);
// 1: enables Save, sets the modified flag and title; 0: greys Save, clears them. Both mark the
// file-information overlay stale. `touch_save_item` false leaves the Save item as it is (New).
// Without a window only the flags change.
void set_modified(Document& doc, int flag, bool touch_save_item = true);

}  // namespace tesmo
