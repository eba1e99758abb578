// The application: the composition root. It owns the subsystems (the shell, the document, the
// viewer, the editor and the development tools), wires them to one another and answers the calls
// the viewer makes upward. `run_viewer` and the tests build it the same way, through its
// constructor and `open_window`.
#pragma once

#include <cstdint>
#include <string>

#include "devtools/devtools.h"
#include "document/document.h"
#include "edit/editor.h"
#include "shell/shell.h"
#include "viewer/viewer.h"

namespace tesmo {

class Application final : public ViewerOwner {
 public:
  // Loads the settings from "system.sav" in the savedata folder of `program_folder` (creating it
  // when missing; base/user_folders.h says where that folder is).
  explicit Application(std::u16string program_folder);
  ~Application() override;
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Declared in the order they are built; destroyed in reverse, so the dialogs of the tools and the
  // editor go before the viewer, and the document's surfaces last but the shell.
  Shell shell;
  Document doc{shell};
  Viewer viewer{shell, doc};
  Editor edit{shell, doc, viewer};
  DevTools tools{shell, doc, viewer};

  // ViewerOwner.
  void dispatch_command(uint16_t id) override;
  void cancel_effect_dialog() override;
  bool apply_exif_orientation() override;
  void advance_tools(float step) override;
  bool tools_animating() const override;
};

}  // namespace tesmo
