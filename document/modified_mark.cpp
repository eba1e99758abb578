// The modified mark and the window title that shows it.
#include "document/modified_mark.h"

#include <cstdio>
#include <string>

#include "base/text.h"
#include "document/document.h"
#include "resources/command_ids.h"

namespace tesmo {

std::u16string window_title(const Document& doc, bool modified) {
  const ViewState& v = doc.view();
  std::string shown = utf16_to_utf8(v.display_name.empty() ? v.path : v.display_name);
  char text[1024 * 4];
  const char* prefix = modified ? "* " : "";
  double percent = v.zoom_x / 256.0;
  if (v.rotation == 0) {
    std::snprintf(text, sizeof text, "%s%s (%.2f%% / %dx%d) - %s", prefix, shown.c_str(), percent,
                  v.decoded_width, v.decoded_height, "Tesmo64");
  } else {
    std::snprintf(text, sizeof text, "%s%s (%.2f%% / %dx%d / %d) - %s", prefix, shown.c_str(), percent,
                  v.decoded_width, v.decoded_height, v.rotation, "Tesmo64");
  }
  std::u16string title = utf8_to_utf16(text);
  if (title.size() > 1023) title.resize(1023);  // the title is built in a 1024-character buffer
  return title;
}

void update_title(Document& doc, int mode) {
  if (!doc.shell.window) return;
  doc.shell.window->set_title(mode < 0 ? std::u16string(kWindowTitle) : window_title(doc, mode == 1));
}

void set_modified(Document& doc, int flag, bool touch_save_item) {
  ViewState& v = doc.view();
  if (touch_save_item && doc.shell.window) doc.shell.window->menu().set_enabled(cmd::Save, flag != 0);
  if (flag) v.flags |= kModified;
  else v.flags &= ~kModified;
  // Whatever marked or cleared the mark changed the picture or its file: the panels that show them
  // (file information, picture-in-picture thumbnail, histogram) are built again.
  v.flags &= ~(kFileInfoCurrent | kThumbnailCurrent);
  v.histogram_surface = -1;
  update_title(doc, flag ? 1 : 0);
}

}  // namespace tesmo
