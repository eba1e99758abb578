// The development tools: the tool menu's owner. It holds the tools' modeless dialogs by dialog slot
// (the file pack module, the falling object controller, the dummy file and path generators) and the
// falling objects' preview, which the frame steps while a simulation exists.
#pragma once

#include <array>
#include <memory>

#include "document/document.h"
#include "shell/shell.h"
#include "viewer/viewer.h"

namespace tesmo {

// The falling objects' preview: stepped and drawn into the back buffer by every frame.
class FramePreview {
 public:
  virtual ~FramePreview() = default;
  virtual void advance(float step) = 0;
};

class DevTools {
 public:
  DevTools(Shell& shell, Document& doc, Viewer& viewer) : shell(shell), doc(doc), viewer(viewer) {}
  ~DevTools();  // the dialogs go before the surfaces their handlers may use
  DevTools(const DevTools&) = delete;
  DevTools& operator=(const DevTools&) = delete;

  Shell& shell;
  Document& doc;
  Viewer& viewer;  // the falling objects preview shows its background picture and docks beside the window

  std::unique_ptr<ModelessDialog> file_pack_dialog;  // the file pack module (slot 2), once opened
  std::unique_ptr<ModelessDialog> falling_dialog;    // the falling object controller (slot 1)
  FramePreview* falling_preview = nullptr;            // set while a simulation exists
  std::array<std::unique_ptr<ModelessDialog>, kDialogSlotCount> tool_dialogs;  // by dialog slot

  // The frame's step of the previews.
  void advance(float step) {
    if (falling_preview) falling_preview->advance(step);
  }
};

}  // namespace tesmo
