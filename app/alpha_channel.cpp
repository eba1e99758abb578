// The alpha channel commands and the menu state that follows the channel.
#include "app/alpha_channel.h"

#include "app/application.h"
#include "app/command_ids.h"
#include "app/dialog_skin.h"
#include "app/modal.h"
#include "app/edit.h"
#include "formats/registry.h"
#include "surface/compositor.h"

namespace tesmo {
namespace {

// A white alpha channel: colour bytes 255 (opaque), alpha bytes 0 as every alpha picture keeps them.
constexpr uint8_t kOpaque = 0xFF;

// New greyed and the channel's own items enabled while the channel exists, and the other way round;
// without it the RGB view is the checked one. The alpha composites follow.
void show_alpha_items(Application& app, bool has_alpha) {
  if (!app.window) return;
  platform::Menu& menu = app.window->menu();
  menu.set_enabled(cmd::AlphaNew, !has_alpha);
  for (uint16_t id : {cmd::AlphaDelete, cmd::AlphaSwap, cmd::AlphaNegative, cmd::ChannelAlpha}) {
    menu.set_enabled(id, has_alpha);
  }
  if (!has_alpha) {
    menu.set_checked(cmd::ChannelRgb, true);
    menu.set_checked(cmd::ChannelAlpha, false);
  }
  update_effect_items(app);
}

// The shown picture changed: the background behind it and the thumbnail are drawn again.
void redraw(Application& app) {
  ViewState& v = app.view();
  v.flags |= kRedrawBackground;
  v.flags &= ~kThumbnailCurrent;
}

// One edit on the alpha channel: history, the change, the modified mark.
template <class Change>
int alpha_edit(Application& app, const char16_t* name, Change change) {
  begin_edit(app, name);
  change(app.surfaces());
  redraw(app);
  mark_modified(app);
  return 0;
}

}  // namespace

std::optional<std::u16string> ask_import_path(Application& app) {
  if (!app.platform) return std::nullopt;
  platform::OpenFileRequest request;
  request.title = u"αチャンネル操作 - インポート";
  request.filter = build_file_filter(false);
  std::optional<std::u16string> chosen;
  chosen = modal(app, [&] { return app.platform->choose_open_file(request); });
  return chosen;
}

int alpha_new(Application& app, bool with_history) {
  SurfaceTable& t = app.surfaces();
  const Surface* image = surface_find(t, kKeyImage);
  if (!image) return 1;
  if (with_history) begin_edit(app, u"αチャンネル操作 - 新規作成");
  if (surface_create(t, kKeyAlpha, image->width, image->height) != 0) return 1;
  surface_fill(t, kKeyAlpha, kOpaque, kOpaque, kOpaque, 0);
  app.view().decoded_has_alpha = 1;
  show_alpha_items(app, true);
  redraw(app);
  if (with_history) mark_modified(app);
  return 0;
}

int alpha_delete(Application& app, bool with_history) {
  if (with_history) begin_edit(app, u"αチャンネル操作 - 削除");
  surface_remove(app.surfaces(), kKeyAlpha);
  ViewState& v = app.view();
  v.displayed_surface = kKeyImage;
  v.decoded_has_alpha = 0;
  show_alpha_items(app, false);
  redraw(app);
  if (with_history) mark_modified(app);
  return 0;
}

int alpha_import(Application& app, const std::optional<std::u16string>& path) {
  const std::optional<std::u16string> chosen = path ? path : ask_import_path(app);
  if (!chosen) return 2;
  SurfaceTable& t = app.surfaces();
  const Surface* image = surface_find(t, kKeyImage);
  if (!image || surface_load(t, kKeyWork, *chosen, false) != 0) return 1;
  // The image's own size decides (the decoded size follows it through every edit): an alpha channel
  // of another size would not cover the picture.
  const int32_t w = image->width, h = image->height;
  const Surface* imported = surface_find(t, kKeyWork);
  if (imported->width != w || imported->height != h) {
    surface_remove(t, kKeyWork);
    show_warning(app, kAlphaSizeMismatch);
    return 1;
  }
  begin_edit(app, u"αチャンネル操作 - インポート");
  const Surface* alpha = surface_find(t, kKeyAlpha);
  if ((!alpha || alpha->width != w || alpha->height != h) && surface_create(t, kKeyAlpha, w, h) != 0) {
    surface_remove(t, kKeyWork);
    return 1;
  }
  app.view().decoded_has_alpha = 1;
  // Grey mode 0 writes alpha bytes 0, as the alpha picture keeps them.
  blit(t, kKeyAlpha, kKeyWork, 0, 0, 0, 0, w, h, kOpGreyScale, 0, 0, 0, 0);
  surface_remove(t, kKeyWork);
  show_alpha_items(app, true);
  redraw(app);
  mark_modified(app);
  return 0;
}

int alpha_swap_rgb(Application& app) {
  SurfaceTable& t = app.surfaces();
  const Surface* image = surface_find(t, kKeyImage);
  const Surface* alpha = surface_find(t, kKeyAlpha);
  if (!image || !alpha) return 1;
  return alpha_edit(app, u"αチャンネル操作 - RGB チャンネルと入れ替え", [](SurfaceTable& s) {
    surface_swap_pixels(s, kKeyImage, kKeyAlpha);
    const Surface* a = surface_find(s, kKeyAlpha);
    blit(s, kKeyAlpha, kKeyAlpha, 0, 0, 0, 0, a->width, a->height, kOpGreyScale, 0, 0, 0, 0);
  });
}

int alpha_invert(Application& app) {
  const Surface* alpha = surface_find(app.surfaces(), kKeyAlpha);
  if (!alpha) return 1;
  const int32_t w = alpha->width, h = alpha->height;
  return alpha_edit(app, u"αチャンネル操作 - 階調の反転", [w, h](SurfaceTable& s) {
    blit(s, kKeyAlpha, kKeyAlpha, 0, 0, 0, 0, w, h, kOpNegative, 0, 0, 0, 0);
  });
}

}  // namespace tesmo
