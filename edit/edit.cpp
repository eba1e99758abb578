// The edit framework and the effect parameter dialog.
#include "edit/edit.h"

#include <algorithm>
#include <string>

#include "document/modified_mark.h"
#include "edit/alpha_channel.h"
#include "edit/edit_dialog.h"
#include "edit/editor.h"
#include "edit/effects.h"
#include "resources/command_ids.h"
#include "resources/dialog_templates.h"
#include "resources/effect_commands.h"
#include "shell/dialog_fields.h"
#include "shell/dialog_skin.h"
#include "shell/menu_options.h"
#include "surface/compositor.h"
#include "viewer/frame_update.h"
#include "viewer/presentation.h"
#include "viewer/viewer_dialogs.h"

namespace tesmo {
namespace {

namespace res = resources;

constexpr size_t kHistoryNameLength = 128;

// The parameter dialog, modeless (slot 0, with live preview) or modal (the batch runner's).
class EffectDialog final : public EditDialog, public ModelessDialog {
 public:
  EffectDialog(Editor& editor, int index, bool modal)
      : EditDialog(editor, res::kSkinEffect, kSkinEffectBase),
        index_(index),
        modal_(modal),
        name_(effect_name(index)),
        template_(res::effect_dialog()) {
    template_.caption = name_;
  }
  ~EffectDialog() override { window_.reset(); }

  const platform::DialogTemplate& dialog_template() const { return template_; }
  void set_window(std::unique_ptr<platform::DialogWindow> w) { window_ = std::move(w); }
  bool is_open() const { return window_ && window_->is_open() && !closed_; }
  const std::array<int32_t, 4>& values() const { return values_; }

  void init(platform::Dialog& d) override {
    SkinnedDialog::init(d);
    ViewState& v = editor_.doc.view();
    const int32_t w = v.decoded_width > 0 ? v.decoded_width : v.image_width;
    const int32_t h = v.decoded_height > 0 ? v.decoded_height : v.image_height;
    adjust_effect_ranges(index_, w, h);
    const EffectDescriptor& e = effect_table()[static_cast<size_t>(index_)];
    for (int k = 0; k < 4; ++k) {
      const ParamDescriptor& p = e.params[static_cast<size_t>(k)];
      d.set_text(res::kEffectLabels[k], p.label);
      d.set_range(res::kEffectSliders[k], p.min, p.max);
      d.set_position(res::kEffectSliders[k], p.def);
      d.set_text(res::kEffectFields[k], number(p.def));
      values_[static_cast<size_t>(k)] = p.def;
    }
    for (int k = 0; k < 3; ++k) {
      d.set_enabled(res::kEffectLinks[k], e.link_enabled[static_cast<size_t>(k)]);
      d.set_checked(res::kEffectLinks[k], e.link_checked[static_cast<size_t>(k)]);
    }
    if (modal_) return;
    v.effect_index = index_;
    v.view_operation = static_cast<uint32_t>(e.op);
    std::copy(values_.begin(), values_.end(), v.operation_params);
    editor_.shell.keep_running_when_inactive = true;
    if (editor_.shell.platform) editor_.shell.frame_timer.reset(editor_.shell.platform->now_ms());
    editor_.shell.dialogs[kSlotEffect] = this;
    if (editor_.shell.window) {
      const platform::Rect w_rect = editor_.shell.window->window_rect();
      const platform::Rect c_rect = editor_.shell.window->client_rect();
      d.move({w_rect.right, c_rect.top});
    }
  }

  void command(platform::Dialog& d, uint16_t id, int notification) override {
    if (closed_) return;
    for (int k = 0; k < 4; ++k) {
      if (id == res::kEffectSliders[k] && notification == platform::kSliderMoved) {
        set_value(d, k, d.position(id), false);
        propagate(d, k);
        return;
      }
      if (id == res::kEffectFields[k] && notification == platform::kEditChanged) {
        // Only the user's typing notifies, so the box has the focus: the links follow.
        const int32_t typed = parse_size_field(d.text(id));
        const int32_t value = clamp_to_row(typed, descriptor(k));
        if (value != typed) d.set_text(id, number(value));
        set_value(d, k, value, true);
        propagate(d, k);
        return;
      }
    }
    if (notification != platform::kClicked) return;
    if (id == kSkinOkId) {
      if (modal_) {
        std::copy(values_.begin(), values_.end(), editor_.doc.view().operation_params);
        d.end(platform::kDialogOk);
        return;
      }
      begin_edit(editor_, name_);
      apply_effect(editor_);
      close(d);
    } else if (id == kSkinCancelId) {
      if (modal_) d.end(platform::kDialogCancel);
      else close(d);
    }
  }

  // ModelessDialog: the dialog's events come to it through the window system's own dispatch.
  bool take_event(const platform::Event&) override { return false; }
  void move_to(platform::Point top_left) override {
    if (is_open()) window_->dialog().move(top_left);
  }

  // Ends the preview and the dialog (Cancel when the user made no choice).
  void close(platform::Dialog& d) {
    if (closed_) return;
    closed_ = true;
    ViewState& v = editor_.doc.view();
    v.view_operation = 0;
    v.flags |= kRedrawBackground;
    editor_.shell.keep_running_when_inactive = false;
    if (editor_.shell.dialogs[kSlotEffect] == this) editor_.shell.dialogs[kSlotEffect] = nullptr;
    free_dialog_pictures(editor_.doc.surfaces(), kSkinEffectBase, res::kSkinEffect.count);
    d.end(platform::kDialogCancel);
  }
  void close() {
    if (window_) close(window_->dialog());
  }

 private:
  static std::u16string number(int32_t value) {
    const std::string s = std::to_string(value);
    return std::u16string(s.begin(), s.end());
  }
  const ParamDescriptor& descriptor(int k) const {
    return effect_table()[static_cast<size_t>(index_)].params[static_cast<size_t>(k)];
  }

  // Row k takes `value`: slider, box (unless the box itself was typed into) and the parameter.
  void set_value(platform::Dialog& d, int k, int32_t value, bool typed) {
    values_[static_cast<size_t>(k)] = value;
    if (!modal_) editor_.doc.view().operation_params[k] = value;
    d.set_position(res::kEffectSliders[k], value);
    if (!typed) d.set_text(res::kEffectFields[k], number(value));
  }

  // Checked link boxes carry row k's value up and down through the neighbouring rows.
  void propagate(platform::Dialog& d, int k) {
    const int32_t value = values_[static_cast<size_t>(k)];
    for (int j = k - 1; j >= 0 && d.checked(res::kEffectLinks[j]); --j) set_value(d, j, value, false);
    for (int j = k; j < 3 && d.checked(res::kEffectLinks[j]); ++j) set_value(d, j + 1, value, false);
  }

  int index_;
  bool modal_;
  bool closed_ = false;
  std::u16string name_;
  platform::DialogTemplate template_;
  std::array<int32_t, 4> values_{};
  std::unique_ptr<platform::DialogWindow> window_;
};

EffectDialog* open_dialog(Editor& editor) { return static_cast<EffectDialog*>(editor.effect_dialog.get()); }

}  // namespace

// The surface an edit works on: the alpha channel while the alpha view is shown (the Channel
// items' checks follow the shown surface).
int32_t edited_surface(Editor& editor) {
  return editor.doc.view().displayed_surface == kKeyAlpha ? kKeyAlpha : kKeyImage;
}

// The picture has an alpha channel while its alpha view exists (the Channel → Alpha item is
// enabled with it).
bool has_alpha_channel(Editor& editor) { return surface_find(editor.doc.surfaces(), kKeyAlpha) != nullptr; }

void mark_modified(Editor& editor) { set_modified(editor.doc, 1); }

void update_effect_items(Editor& editor) {
  if (!editor.shell.window) return;
  const Surface* image = surface_find(editor.doc.surfaces(), kKeyImage);
  const bool square = image && image->width == image->height;
  update_edit_menu(editor.shell.window->menu(), image != nullptr, square, has_alpha_channel(editor));
}

void begin_edit(Editor& editor, std::u16string_view name) {
  SurfaceTable& t = editor.doc.surfaces();
  editor.doc.has_edit_history = true;
  editor.doc.edit_history.emplace_back(name.substr(0, std::min(name.size(), kHistoryNameLength)));
  editor.doc.undo_geometry = editor.doc.view();
  surface_remove(t, kKeyUndoImage);
  surface_remove(t, kKeyUndoAlpha);
  surface_duplicate(t, kKeyUndoImage, kKeyImage);
  if (has_alpha_channel(editor)) surface_duplicate(t, kKeyUndoAlpha, kKeyAlpha);
  if (editor.shell.window) editor.shell.window->menu().set_enabled(cmd::Undo, true);
}

int undo(Editor& editor) {
  if (!editor.doc.has_edit_history) return 1;
  ViewState& v = editor.doc.view();
  static_cast<PictureGeometry&>(v) = editor.doc.undo_geometry;
  SurfaceTable& t = editor.doc.surfaces();
  surface_remove(t, kKeyImage);
  surface_remove(t, kKeyAlpha);
  surface_duplicate(t, kKeyImage, kKeyUndoImage);
  // The alpha channel comes back as the alpha commands make it, then takes the kept copy.
  if (v.decoded_has_alpha != 0) {
    alpha_new(editor, false);
    if (surface_find(t, kKeyUndoAlpha)) surface_duplicate(t, kKeyAlpha, kKeyUndoAlpha);
  } else {
    alpha_delete(editor, false);
  }
  v.flags |= kRedrawBackground;
  v.flags &= ~kThumbnailCurrent;
  layout_window(editor.viewer);
  update_effect_items(editor);
  if (!editor.doc.edit_history.empty()) editor.doc.edit_history.pop_back();
  set_modified(editor.doc, editor.doc.edit_history.empty() ? 0 : 1);
  if (editor.shell.window) editor.shell.window->menu().set_enabled(cmd::Undo, false);
  return 0;
}

int apply_effect(Editor& editor) {
  ViewState& v = editor.doc.view();
  const int32_t op = static_cast<int32_t>(v.view_operation & kOpCodeMask);
  const std::array<int32_t, 4> params{v.operation_params[0], v.operation_params[1], v.operation_params[2],
                                      v.operation_params[3]};
  apply_effect_to(editor.doc.surfaces(), edited_surface(editor), op, params,
                  [&editor](int32_t key) { fill_view_background(editor.viewer, key); });
  v.flags |= kRedrawBackground;
  v.flags &= ~kThumbnailCurrent;
  mark_modified(editor);
  return 0;
}

int run_effect(Editor& editor, int index, int32_t p1, int32_t p2, int32_t p3, int32_t p4) {
  if (index < 0 || index >= kEffectCount) return 1;
  ViewState& v = editor.doc.view();
  begin_edit(editor, effect_name(index));
  v.view_operation = static_cast<uint32_t>(effect_table()[static_cast<size_t>(index)].op);
  v.operation_params[0] = p1;
  v.operation_params[1] = p2;
  v.operation_params[2] = p3;
  v.operation_params[3] = p4;
  apply_effect(editor);
  v.view_operation = 0;
  return 0;
}

int run_effect_defaults(Editor& editor, int index) {
  if (index < 0 || index >= kEffectCount) return 1;
  const auto& p = effect_table()[static_cast<size_t>(index)].params;
  return run_effect(editor, index, p[0].def, p[1].def, p[2].def, p[3].def);
}

int open_effect_dialog(Editor& editor, int index) {
  cancel_effect_dialog(editor);
  if (index < 0 || index >= kEffectCount || !editor.shell.platform) return 1;
  auto handler = std::make_unique<EffectDialog>(editor, index, false);
  EffectDialog& h = *handler;
  editor.effect_dialog = std::move(handler);
  auto window = editor.shell.platform->open_modeless_dialog(h.dialog_template(), h);
  if (!window) {
    h.close();
    editor.doc.view().view_operation = 0;
    editor.shell.keep_running_when_inactive = false;
    if (editor.shell.dialogs[kSlotEffect] == &h) editor.shell.dialogs[kSlotEffect] = nullptr;
    editor.effect_dialog.reset();
    return 1;
  }
  h.set_window(std::move(window));
  return 0;
}

void cancel_effect_dialog(Editor& editor) {
  if (EffectDialog* d = open_dialog(editor)) d->close();
  editor.effect_dialog.reset();
}

bool effect_dialog_open(const Editor& editor) {
  const auto* d = static_cast<const EffectDialog*>(editor.effect_dialog.get());
  return d && d->is_open();
}

int edit_effect_parameters(Editor& editor, int index, std::array<int32_t, 5>& values) {
  if (index < 0 || index >= kEffectCount) return 1;
  EffectDialog handler(editor, index, true);
  if (run_modal_dialog(editor.shell, handler.dialog_template(), handler) != platform::kDialogOk) return 1;
  values[0] = index;
  std::copy(handler.values().begin(), handler.values().end(), values.begin() + 1);
  return 0;
}

int effect_index_of_command(uint16_t id) {
  return resources::effect_index(id);
}

void effect_command(Editor& editor, uint16_t id) { open_effect_dialog(editor, effect_index_of_command(id)); }

void undo_command(Editor& editor, uint16_t) { undo(editor); }

}  // namespace tesmo
