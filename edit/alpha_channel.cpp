// The alpha channel commands and the menu state that follows the channel.
#include "edit/alpha_channel.h"

#include "edit/edit.h"
#include "edit/editor.h"
#include "formats/registry.h"
#include "resources/command_ids.h"
#include "shell/dialog_skin.h"
#include "shell/modal.h"
#include "surface/compositor.h"

namespace tesmo {
namespace {

// A white alpha channel: colour bytes 255 (opaque), alpha bytes 0 as every alpha picture keeps them.
constexpr uint8_t kOpaque = 0xFF;

// New greyed and the channel's own items enabled while the channel exists, and the other way round;
// without it the RGB view is the checked one. The alpha composites follow.
void show_alpha_items(Editor& editor, bool has_alpha) {
  if (!editor.shell.window) return;
  platform::Menu& menu = editor.shell.window->menu();
  menu.set_enabled(cmd::AlphaNew, !has_alpha);
  for (uint16_t id : {cmd::AlphaDelete, cmd::AlphaSwap, cmd::AlphaNegative, cmd::ChannelAlpha}) {
    menu.set_enabled(id, has_alpha);
  }
  if (!has_alpha) {
    menu.set_checked(cmd::ChannelRgb, true);
    menu.set_checked(cmd::ChannelAlpha, false);
  }
  update_effect_items(editor);
}

// The shown picture changed: the background behind it and the thumbnail are drawn again.
void redraw(Editor& editor) {
  ViewState& v = editor.doc.view();
  v.flags |= kRedrawBackground;
  v.flags &= ~kThumbnailCurrent;
}

// One edit on the alpha channel: history, the change, the modified mark.
template <class Change>
int alpha_edit(Editor& editor, const char16_t* name, Change change) {
  begin_edit(editor, name);
  change(editor.doc.surfaces());
  redraw(editor);
  mark_modified(editor);
  return 0;
}

}  // namespace

std::optional<std::u16string> ask_import_path(Editor& editor) {
  if (!editor.shell.platform) return std::nullopt;
  platform::OpenFileRequest request;
  request.title = u"αチャンネル操作 - インポート";
  request.filter = build_file_filter(false);
  std::optional<std::u16string> chosen;
  chosen = modal(editor.shell, [&] { return editor.shell.platform->choose_open_file(request); });
  return chosen;
}

int alpha_new(Editor& editor, bool with_history) {
  SurfaceTable& t = editor.doc.surfaces();
  const Surface* image = surface_find(t, kKeyImage);
  if (!image) return 1;
  if (with_history) begin_edit(editor, u"αチャンネル操作 - 新規作成");
  if (surface_create(t, kKeyAlpha, image->width, image->height) != 0) return 1;
  surface_fill(t, kKeyAlpha, kOpaque, kOpaque, kOpaque, 0);
  editor.doc.view().decoded_has_alpha = 1;
  show_alpha_items(editor, true);
  redraw(editor);
  if (with_history) mark_modified(editor);
  return 0;
}

int alpha_delete(Editor& editor, bool with_history) {
  if (with_history) begin_edit(editor, u"αチャンネル操作 - 削除");
  surface_remove(editor.doc.surfaces(), kKeyAlpha);
  ViewState& v = editor.doc.view();
  v.displayed_surface = kKeyImage;
  v.decoded_has_alpha = 0;
  show_alpha_items(editor, false);
  redraw(editor);
  if (with_history) mark_modified(editor);
  return 0;
}

int alpha_import(Editor& editor, const std::optional<std::u16string>& path) {
  const std::optional<std::u16string> chosen = path ? path : ask_import_path(editor);
  if (!chosen) return 2;
  SurfaceTable& t = editor.doc.surfaces();
  const Surface* image = surface_find(t, kKeyImage);
  if (!image || surface_load(t, kKeyWork, *chosen, false) != 0) return 1;
  // The image's own size decides (the decoded size follows it through every edit): an alpha channel
  // of another size would not cover the picture.
  const int32_t w = image->width, h = image->height;
  const Surface* imported = surface_find(t, kKeyWork);
  if (imported->width != w || imported->height != h) {
    surface_remove(t, kKeyWork);
    show_warning(editor.shell, kAlphaSizeMismatch);
    return 1;
  }
  begin_edit(editor, u"αチャンネル操作 - インポート");
  const Surface* alpha = surface_find(t, kKeyAlpha);
  if ((!alpha || alpha->width != w || alpha->height != h) && surface_create(t, kKeyAlpha, w, h) != 0) {
    surface_remove(t, kKeyWork);
    return 1;
  }
  editor.doc.view().decoded_has_alpha = 1;
  // Grey mode 0 writes alpha bytes 0, as the alpha picture keeps them.
  blit(t, kKeyAlpha, kKeyWork, kOpGreyScale, {.width = w, .height = h});
  surface_remove(t, kKeyWork);
  show_alpha_items(editor, true);
  redraw(editor);
  mark_modified(editor);
  return 0;
}

int alpha_swap_rgb(Editor& editor) {
  SurfaceTable& t = editor.doc.surfaces();
  const Surface* image = surface_find(t, kKeyImage);
  const Surface* alpha = surface_find(t, kKeyAlpha);
  if (!image || !alpha) return 1;
  return alpha_edit(editor, u"αチャンネル操作 - RGB チャンネルと入れ替え", [](SurfaceTable& s) {
    surface_swap_pixels(s, kKeyImage, kKeyAlpha);
    const Surface* a = surface_find(s, kKeyAlpha);
    blit(s, kKeyAlpha, kKeyAlpha, kOpGreyScale, {.width = a->width, .height = a->height});
  });
}

int alpha_invert(Editor& editor) {
  const Surface* alpha = surface_find(editor.doc.surfaces(), kKeyAlpha);
  if (!alpha) return 1;
  const int32_t w = alpha->width, h = alpha->height;
  return alpha_edit(editor, u"αチャンネル操作 - 階調の反転", [w, h](SurfaceTable& s) {
    blit(s, kKeyAlpha, kKeyAlpha, kOpNegative, {.width = w, .height = h});
  });
}

}  // namespace tesmo
