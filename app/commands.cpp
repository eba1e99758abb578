// The command table: command id → handler. Each subsystem adds its rows here as it lands; an id
// without a row goes to the development tools' dispatcher (which ignores what it does not know),
// so a command whose subsystem is missing does nothing.
#include "app/commands.h"

#include <algorithm>
#include <iterator>

#include "app/alpha_channel.h"
#include "app/batch.h"
#include "app/application.h"
#include "app/clipboard.h"
#include "app/command_ids.h"
#include "app/edit.h"
#include "app/lossless_command.h"
#include "app/geometry_edits.h"
#include "app/external_programs.h"
#include "app/file_commands.h"
#include "app/info_dialogs.h"
#include "app/main_window.h"
#include "app/menu_options.h"
#include "app/preferences_dialog.h"
#include "app/presentation.h"
#include "app/right_click.h"
#include "app/save.h"
#include "app/viewer_commands.h"
#include "app/zoom.h"
#include "app/zoom_dialog.h"

namespace tesmo {
namespace {

struct CommandRow {
  uint16_t id;
  void (*handler)(Application&, uint16_t id);
};

void quit(Application& app, uint16_t) {
  handle_main_window_event(app, platform::Event{.kind = platform::EventKind::Close});
}

void zoom_in_normal(Application& app, uint16_t) { zoom_in(app, false); }
void zoom_in_precise(Application& app, uint16_t) { zoom_in(app, true); }
void zoom_out_normal(Application& app, uint16_t) { zoom_out(app, false); }
void zoom_out_precise(Application& app, uint16_t) { zoom_out(app, true); }
void actual_pixels(Application& app, uint16_t) { set_zoom(app, kZoomActual, kZoomActual); }
void zoom_arbitrary_dialog(Application& app, uint16_t) { zoom_arbitrary(app); }
void lossless_transform_item(Application& app, uint16_t) { lossless_transform_command(app, nullptr); }
void batch(Application& app, uint16_t) { batch_command(app); }
void full_screen(Application& app, uint16_t) { toggle_full_screen(app); }
void always_on_top(Application& app, uint16_t) { toggle_always_on_top(app); }

// The frame-rate text sits over the background: turning it off needs the background redrawn.
void fps_display(Application& app, uint16_t id) {
  toggle_menu_option(app.window->menu(), app.settings(), id);
  app.view().flags |= kRedrawBackground;
  app.settings_store().save();
}

// A plain toggle: the check and its field, then the settings file.
void toggle_option(Application& app, uint16_t id) {
  toggle_menu_option(app.window->menu(), app.settings(), id);
  app.settings_store().save();
}

// A radio choice: the settings file is written only when the choice changed.
void choose_option(Application& app, uint16_t id) {
  if (choose_menu_option(app.window->menu(), app.settings(), id)) app.settings_store().save();
}

// The five information panels fade in with their animation slots.
struct OverlaySlot {
  uint16_t id;
  int slot;
};
constexpr OverlaySlot kOverlaySlots[] = {
    {cmd::OsdCursorInfo, 0}, {cmd::OsdPip, 1}, {cmd::OsdHistogram, 2}, {cmd::OsdFileInfo, 3}, {cmd::OsdExifInfo, 4},
};

void overlay_toggle(Application& app, uint16_t id) {
  const auto* row = std::find_if(std::begin(kOverlaySlots), std::end(kOverlaySlots),
                                 [id](const OverlaySlot& o) { return o.id == id; });
  const bool on = toggle_menu_option(app.window->menu(), app.settings(), id);
  if (on) {
    start_tween(app.tweens, row->slot);
    if (id == cmd::OsdPip) app.view().flags &= ~kThumbnailCurrent;
  } else {
    stop_tween(app.tweens, row->slot);
    if (id == cmd::OsdCursorInfo) app.view().flags |= kRedrawBackground;
  }
  app.settings_store().save();
}

void pip_method(Application& app, uint16_t id) {
  if (!choose_menu_option(app.window->menu(), app.settings(), id)) return;
  start_tween(app.tweens, 1);
  app.view().flags &= ~kThumbnailCurrent;
  app.settings_store().save();
}

// The grid fades in with slot 6; without it the background under the lines is drawn again.
void grid(Application& app, uint16_t id) {
  if (toggle_menu_option(app.window->menu(), app.settings(), id)) start_tween(app.tweens, 6);
  else app.view().flags |= kRedrawBackground;
  app.settings_store().save();
}

// The hyper-list strip slides in with slot 7; turning it off drops the strip and its thumbnails
// (surfaces 100 onward), which are rebuilt when it is drawn next.
void hyper_list(Application& app, uint16_t id) {
  constexpr int32_t kFirstThumbnailKey = 100;
  if (toggle_menu_option(app.window->menu(), app.settings(), id)) {
    start_tween(app.tweens, 7);
  } else {
    stop_tween(app.tweens, 7);
    for (int32_t key : app.surfaces().keys()) {
      if (key >= kFirstThumbnailKey) surface_remove(app.surfaces(), key);
    }
    app.view().flags |= kRedrawBackground;
  }
  app.settings_store().save();
}

// Background Image needs a picture: without surface 19 the picture is chosen first, and when that
// fails the mode stays.
void background_mode(Application& app, uint16_t id) {
  if (id == cmd::BackgroundImage && !surface_find(app.surfaces(), kKeyBackground) &&
      choose_background_picture(app) != 0) {
    return;
  }
  if (choose_menu_option(app.window->menu(), app.settings(), id)) app.settings_store().save();
  app.view().flags |= kRedrawBackground;
}

// Channel RGB / Alpha: which surface is shown.
void channel(Application& app, uint16_t id) {
  const int32_t surface = id == cmd::ChannelAlpha ? kKeyAlpha : kKeyImage;
  ViewState& v = app.view();
  if (v.displayed_surface == surface) return;
  app.window->menu().set_checked(cmd::ChannelRgb, surface == kKeyImage);
  app.window->menu().set_checked(cmd::ChannelAlpha, surface == kKeyAlpha);
  v.displayed_surface = surface;
  v.flags &= ~kThumbnailCurrent;
  v.flags |= kRedrawBackground;
}

void open_image(Application& app, uint16_t) { app.open_file(u"<dialog>", -1, -1); }
void first_file(Application& app, uint16_t) { app.step_first(); }
void previous_file(Application& app, uint16_t) { app.step_previous(); }
void next_file(Application& app, uint16_t) { app.step_next(); }
void last_file(Application& app, uint16_t) { app.step_last(); }
void close(Application& app, uint16_t) { app.close_image(true); }
void refresh(Application& app, uint16_t) { app.refresh(); }
void marker_set(Application& app, uint16_t) { app.marker_set(); }
void marker_clear_all(Application& app, uint16_t) { app.marker_clear_all(); }
void new_image(Application& app, uint16_t) { new_picture(app); }
void calibrate(Application& app, uint16_t) { calibrate_monitor(app); }
void close_all_instances(Application& app, uint16_t) { close_all(app); }
void background_choice(Application& app, uint16_t) { background_setting(app); }
void key_assignment_dialog(Application& app, uint16_t) { key_assignment(app); }
void save(Application& app, uint16_t) { save_command(app, nullptr, false); }
void save_as(Application& app, uint16_t) { save_as_command(app, false); }

// The file commands, information dialogs and external programs.
void delete_to_trash(Application& app, uint16_t) { delete_shown_file(app, false); }
void delete_for_good(Application& app, uint16_t) { delete_shown_file(app, true); }
void rename_file(Application& app, uint16_t) { rename_shown_file(app); }
void copy_file_to(Application& app, uint16_t) { copy_to_folder(app); }
void move_file_to(Application& app, uint16_t) { move_to_folder(app); }
void properties(Application& app, uint16_t) { show_properties(app); }
void file_information(Application& app, uint16_t) { file_information_dialog(app); }
void exif_information(Application& app, uint16_t) { exif_information_dialog(app); }
void external_program(Application& app, uint16_t id) {
  run_external_program(app, id == cmd::ImageEditor1 ? 1 : id == cmd::ImageEditor2 ? 2 : 3);
}
void mac_files(Application& app, uint16_t) { delete_mac_files(app); }
void manual(Application& app, uint16_t) { open_manual(app); }
void home_page(Application& app, uint16_t) { open_home_page(app); }
void about(Application& app, uint16_t) { about_dialog(app); }
void preferences(Application& app, uint16_t) { preferences_dialog(app); }

constexpr CommandRow kCommands[] = {
    {cmd::New, new_image},
    {cmd::OpenImage, open_image},
    {cmd::FirstFile, first_file},
    {cmd::PreviousFile, previous_file},
    {cmd::NextFile, next_file},
    {cmd::LastFile, last_file},
    {cmd::NoLoop, choose_option},
    {cmd::Loop, choose_option},
    {cmd::Close, close},
    {cmd::CloseAll, close_all_instances},
    {cmd::Save, save},
    {cmd::SaveAs, save_as},
    {cmd::Quit, quit},
    {cmd::DeleteToTrash, delete_to_trash},
    {cmd::DeleteFile, delete_for_good},
    {cmd::Rename, rename_file},
    {cmd::CopyToFolder, copy_file_to},
    {cmd::MoveToFolder, move_file_to},
    {cmd::Properties, properties},
    {cmd::FileInformation, file_information},
    {cmd::ExifInformation, exif_information},
    {cmd::ImageEditor1, external_program},
    {cmd::ImageEditor2, external_program},
    {cmd::BinaryEditor, external_program},
    {cmd::DeleteMacFiles, mac_files},
    {cmd::Manual, manual},
    {cmd::HomePage, home_page},
    {cmd::About, about},
    {cmd::Preferences, preferences},
    {cmd::RotationAdjustNone, choose_option},
    {cmd::RotationAdjustExif, choose_option},
    {cmd::RightClickXY, [](Application& a, uint16_t) { toggle_right_click_option(a, 0); }},
    {cmd::RightClickRgbDecimal, [](Application& a, uint16_t) { toggle_right_click_option(a, 1); }},
    {cmd::RightClickRgbHex, [](Application& a, uint16_t) { toggle_right_click_option(a, 2); }},
    {cmd::OsdFps, fps_display},
    {cmd::OsdCursorInfo, overlay_toggle},
    {cmd::OsdPip, overlay_toggle},
    {cmd::PipThumbnail, pip_method},
    {cmd::PipCursorPosition, pip_method},
    {cmd::OsdHistogram, overlay_toggle},
    {cmd::OsdFileInfo, overlay_toggle},
    {cmd::OsdExifInfo, overlay_toggle},
    {cmd::MarkerSet, marker_set},
    {cmd::MarkerClearAll, marker_clear_all},
    {cmd::FaceDetection, toggle_option},
    {cmd::Grid, grid},
    {cmd::HyperList, hyper_list},
    {cmd::ChannelRgb, channel},
    {cmd::ChannelAlpha, channel},
    {cmd::VisibleR, toggle_option},
    {cmd::VisibleG, toggle_option},
    {cmd::VisibleB, toggle_option},
    {cmd::DefaultChannelRgb, choose_option},
    {cmd::DefaultChannelAlpha, choose_option},
    {cmd::BackgroundFill, background_mode},
    {cmd::BackgroundImage, background_mode},
    {cmd::BackgroundSetting, background_choice},
    {cmd::FullScreen, full_screen},
    {cmd::AlwaysOnTop, always_on_top},
    {cmd::Refresh, refresh},
    {cmd::ReferenceUpperLeft, choose_option},
    {cmd::ReferenceCenter, choose_option},
    {cmd::AdjustNone, choose_option},
    {cmd::AdjustInsideScreen, choose_option},
    {cmd::ZoomIn, zoom_in_normal},
    {cmd::ZoomInPrecise, zoom_in_precise},
    {cmd::ActualPixels, actual_pixels},
    {cmd::ZoomOutPrecise, zoom_out_precise},
    {cmd::ZoomOut, zoom_out_normal},
    {cmd::ZoomArbitrary, zoom_arbitrary_dialog},
    {cmd::ZoomTypeA, choose_option},
    {cmd::ZoomTypeB, choose_option},
    {cmd::ZoomTypeC, choose_option},
    {cmd::ZoomTypeD, choose_option},
    {cmd::ZoomTypeE, choose_option},
    {cmd::ZoomTypeF, choose_option},
    {cmd::ScaleUpToFit, toggle_option},
    {cmd::ScaleDownToFit, toggle_option},
    {cmd::DefaultScaleActual, choose_option},
    {cmd::DefaultScalePrevious, choose_option},
    {cmd::CalibrateMonitor, calibrate},
    {cmd::AutoSyncOff, choose_option},
    {cmd::AutoSyncOn, choose_option},
    {cmd::TransferCopyAll, choose_option},
    {cmd::TransferMoveAll, choose_option},
    {cmd::KeyAssignment, key_assignment_dialog},
    {cmd::Undo, undo_command},
    {cmd::LosslessTransform, lossless_transform_item},
    {cmd::Batch, batch},
    {cmd::ImageSize, geometry_command}, {cmd::CanvasSize, geometry_command}, {cmd::Scissor, geometry_command},
    {cmd::Trim, geometry_command}, {cmd::RotateCcw90, geometry_command}, {cmd::Rotate180, geometry_command},
    {cmd::RotateCw90, geometry_command}, {cmd::RotateArbitrary, geometry_command},
    {cmd::FlipHorizontal, geometry_command}, {cmd::FlipVertical, geometry_command},
    {cmd::Connect, geometry_command}, {cmd::Divide, geometry_command},
    // The alpha channel and the clipboard.
    {cmd::AlphaNew, [](Application& a, uint16_t) { alpha_new(a, true); }},
    {cmd::AlphaDelete, [](Application& a, uint16_t) { alpha_delete(a, true); }},
    {cmd::AlphaImport, [](Application& a, uint16_t) { alpha_import(a, std::nullopt); }},
    {cmd::AlphaSwap, [](Application& a, uint16_t) { alpha_swap_rgb(a); }},
    {cmd::AlphaNegative, [](Application& a, uint16_t) { alpha_invert(a); }},
    {cmd::Cut, [](Application& a, uint16_t) { clipboard_cut(a); }},
    {cmd::Copy, [](Application& a, uint16_t) { clipboard_copy(a); }},
    {cmd::Paste, [](Application& a, uint16_t) { clipboard_paste(a); }},
    // The 35 effects of the edit menus, in effect-index order (cmd::kEffectItems).
    {40448, effect_command}, {40449, effect_command}, {40451, effect_command}, {40560, effect_command}, {40452, effect_command}, {40453, effect_command},
    {40442, effect_command}, {40443, effect_command}, {40533, effect_command}, {40633, effect_command}, {40563, effect_command}, {40444, effect_command},
    {40559, effect_command}, {40508, effect_command}, {40489, effect_command}, {40487, effect_command}, {40632, effect_command}, {40445, effect_command},
    {40564, effect_command}, {40491, effect_command}, {40446, effect_command}, {40478, effect_command}, {40565, effect_command}, {40558, effect_command},
    {40493, effect_command}, {40495, effect_command}, {40566, effect_command}, {40531, effect_command}, {40527, effect_command}, {40567, effect_command},
    {40529, effect_command}, {40646, effect_command}, {40602, effect_command}, {40530, effect_command}, {40627, effect_command},
};

constexpr bool command_ids_unique() {
  for (size_t i = 0; i < std::size(kCommands); ++i) {
    for (size_t j = i + 1; j < std::size(kCommands); ++j) {
      if (kCommands[i].id == kCommands[j].id) return false;
    }
  }
  return true;
}
static_assert(command_ids_unique(), "one row per command id");

}  // namespace

void dispatch_command(Application& app, uint16_t id) {
  if (app.view().flags & kModalOpen) return;
  if (app.job_running()) return;
  if (!app.window || !app.window->menu().is_enabled(id)) return;
  auto row = std::find_if(std::begin(kCommands), std::end(kCommands),
                          [id](const CommandRow& r) { return r.id == id; });
  if (row != std::end(kCommands)) row->handler(app, id);
  else if (app.tool_command) app.tool_command(id);
}

}  // namespace tesmo
