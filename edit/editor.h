// The editor: the edit commands' owner. It changes the document's picture through the one undo
// level, asks the shell for dialogs and lays the viewer out after an edit; it holds the open
// effect-parameter dialog and what the edit dialogs remember between runs.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "document/document.h"
#include "shell/shell.h"
#include "viewer/viewer.h"

namespace tesmo {

class Editor {
 public:
  Editor(Shell& shell, Document& doc, Viewer& viewer) : shell(shell), doc(doc), viewer(viewer) {}
  ~Editor();  // closes the effect dialog while the skin pictures it uses still exist
  Editor(const Editor&) = delete;
  Editor& operator=(const Editor&) = delete;

  Shell& shell;
  Document& doc;
  Viewer& viewer;

  std::unique_ptr<ModelessDialog> effect_dialog;  // the open effect-parameter dialog (slot 0)
  int32_t lossless_choice = 0;  // the lossless transform dialog starts at the previous choice
  // Where a batch run writes the shown picture's results (its save step's file, its divided tiles);
  // empty: over the shown file and beside it, as the menu commands write.
  std::u16string batch_output;
};

}  // namespace tesmo
