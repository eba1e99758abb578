// The New picture and Key Assignment dialogs.
#include "viewer/viewer_dialogs.h"

#include <algorithm>
#include <limits>
#include <string>

#include "resources/dialog_templates.h"
#include "shell/dialog_fields.h"
#include "shell/dialog_skin.h"
#include "viewer/viewer.h"

namespace tesmo {
namespace {

namespace res = resources;

class NewPictureDialog final : public SkinnedDialog {
 public:
  NewPictureDialog(Viewer& viewer, const NewPictureChoice& initial)
      : SkinnedDialog(viewer.shell, viewer.doc.surfaces(), res::kSkinNew, kSkinModalBase), choice(initial) {}

  void init(platform::Dialog& d) override {
    SkinnedDialog::init(d);
    d.set_text(res::kNewWidthField, decimal(choice.width));
    d.set_text(res::kNewHeightField, decimal(choice.height));
    select_bits(d, choice.bits == 24 ? res::kNewBits24 : res::kNewBits32);
    d.set_focus(res::kNewWidthField);
  }

  void command(platform::Dialog& d, uint16_t id, int notification) override {
    if ((id == res::kNewBits24 || id == res::kNewBits32) && notification == platform::kClicked) {
      select_bits(d, id);
      return;
    }
    if (id == kSkinOkId && notification == platform::kClicked) {
      choice.width = held_field(d, res::kNewWidthField, 1, kNewPictureMaxSide);
      choice.height = held_field(d, res::kNewHeightField, 1, kNewPictureMaxSide);
      choice.bits = d.checked(res::kNewBits24) ? 24 : 32;
      d.end(platform::kDialogOk);
      return;
    }
    SkinnedDialog::command(d, id, notification);
  }

  NewPictureChoice choice;

 private:
  // The two depths exclude each other whatever the window system does with a click.
  static void select_bits(platform::Dialog& d, uint16_t id) {
    d.set_checked(res::kNewBits24, id == res::kNewBits24);
    d.set_checked(res::kNewBits32, id == res::kNewBits32);
  }
};

class KeyAssignmentDialog final : public SkinnedDialog {
 public:
  KeyAssignmentDialog(Viewer& viewer, const KeyAssignment& current)
      : SkinnedDialog(viewer.shell, viewer.doc.surfaces(), res::kSkinKeyAssignment, kSkinModalBase),
        assignment(current) {}

  void init(platform::Dialog& d) override {
    SkinnedDialog::init(d);
    for (int slot = 0; slot < res::kActionComboCount; ++slot) {
      const uint16_t combo = combo_of(slot);
      for (std::u16string_view name : kActionNames) d.add_item(combo, name);
      const int32_t code = assignment[static_cast<size_t>(slot)];
      d.set_selection(combo, code >= 0 && code < kActionCount ? code : -1);
    }
    d.set_focus(combo_of(0));
  }

  void command(platform::Dialog& d, uint16_t id, int notification) override {
    if (id == kSkinOkId && notification == platform::kClicked) {
      for (int slot = 0; slot < res::kActionComboCount; ++slot) {
        const int selected = d.selection(combo_of(slot));
        if (selected >= 0) assignment[static_cast<size_t>(slot)] = selected;
      }
      d.end(platform::kDialogOk);
      return;
    }
    SkinnedDialog::command(d, id, notification);
  }

  KeyAssignment assignment;

 private:
  static uint16_t combo_of(int slot) { return static_cast<uint16_t>(res::kFirstActionCombo + slot); }
};

}  // namespace


std::optional<NewPictureChoice> ask_new_picture_dialog(Viewer& viewer, const NewPictureChoice& initial) {
  NewPictureDialog handler(viewer, initial);
  if (run_modal_dialog(viewer.shell, res::new_dialog(), handler) != platform::kDialogOk) return std::nullopt;
  return handler.choice;
}

std::optional<KeyAssignment> ask_key_assignment_dialog(Viewer& viewer, const KeyAssignment& current) {
  KeyAssignmentDialog handler(viewer, current);
  if (run_modal_dialog(viewer.shell, res::key_assignment_dialog(), handler) != platform::kDialogOk) return std::nullopt;
  return handler.assignment;
}

}  // namespace tesmo
