#include "devtools/devtools.h"

namespace tesmo {

// The falling objects' preview stops before its dialog goes; every dialog goes before the surfaces
// its handler may use.
DevTools::~DevTools() {
  falling_preview = nullptr;
  file_pack_dialog.reset();
  falling_dialog.reset();
  for (auto& dialog : tool_dialogs) dialog.reset();
}

}  // namespace tesmo
