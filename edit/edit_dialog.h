// The edit menu's skinned dialogs: a skinned dialog that knows the editor it works for.
#pragma once

#include <cstdint>
#include <span>

#include "edit/editor.h"
#include "shell/dialog_skin.h"

namespace tesmo {

class EditDialog : public SkinnedDialog {
 public:
  EditDialog(Editor& editor, const resources::SkinGroup& group, int32_t base, std::span<const uint16_t> dots_ids = {})
      : SkinnedDialog(editor.shell, editor.doc.surfaces(), group, base, dots_ids), editor_(editor) {}

 protected:
  Editor& editor_;
};

}  // namespace tesmo
