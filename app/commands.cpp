// The command table: command id → the subsystem's handler. The 35 effect items go to the effect
// dialog by their index; an id without a row goes to the development tools' dispatcher, which
// ignores what it does not know.
#include "app/commands.h"

#include <algorithm>
#include <iterator>

#include "app/application.h"
#include "app/main_window.h"
#include "devtools/tool_menu.h"
#include "document/save.h"
#include "edit/alpha_channel.h"
#include "edit/batch.h"
#include "edit/clipboard.h"
#include "edit/edit.h"
#include "edit/geometry_edits.h"
#include "edit/lossless_command.h"
#include "resources/command_ids.h"
#include "resources/effect_commands.h"
#include "shell/menu_options.h"
#include "viewer/external_programs.h"
#include "viewer/file_commands.h"
#include "viewer/info_dialogs.h"
#include "viewer/preferences_dialog.h"
#include "viewer/presentation.h"
#include "viewer/right_click.h"
#include "viewer/viewer_commands.h"
#include "viewer/zoom.h"
#include "viewer/zoom_dialog.h"

namespace tesmo {
namespace {

// A row whose handler is an edit command.
template <void (*F)(Editor&, uint16_t)>
void on_edit(Application& app, uint16_t id) {
  F(app.edit, id);
}

struct CommandRow {
  uint16_t id;
  void (*handler)(Application&, uint16_t id);
};

void quit(Application& app, uint16_t) {
  handle_main_window_event(app, platform::Event{.kind = platform::EventKind::Close});
}

void zoom_in_normal(Application& app, uint16_t) { zoom_in(app.viewer, false); }
void zoom_in_precise(Application& app, uint16_t) { zoom_in(app.viewer, true); }
void zoom_out_normal(Application& app, uint16_t) { zoom_out(app.viewer, false); }
void zoom_out_precise(Application& app, uint16_t) { zoom_out(app.viewer, true); }
void actual_pixels(Application& app, uint16_t) { set_zoom(app.viewer, kZoomActual, kZoomActual); }
void zoom_arbitrary_dialog(Application& app, uint16_t) { zoom_arbitrary(app.viewer); }
void lossless_transform_item(Application& app, uint16_t) { lossless_transform_command(app.edit, nullptr); }
void batch(Application& app, uint16_t) { batch_command(app.edit); }
void full_screen(Application& app, uint16_t) { toggle_full_screen(app.viewer); }
void always_on_top(Application& app, uint16_t) { toggle_always_on_top(app.viewer); }

// The frame-rate text sits over the background: turning it off needs the background redrawn.
void fps_display(Application& app, uint16_t id) {
  toggle_menu_option(app.shell.window->menu(), app.shell.settings(), id);
  app.doc.view().flags |= kRedrawBackground;
  app.shell.settings_store().save();
}

// A plain toggle: the check and its field, then the settings file.
void toggle_option(Application& app, uint16_t id) {
  toggle_menu_option(app.shell.window->menu(), app.shell.settings(), id);
  app.shell.settings_store().save();
}

// A radio choice: the settings file is written only when the choice changed.
void choose_option(Application& app, uint16_t id) {
  if (choose_menu_option(app.shell.window->menu(), app.shell.settings(), id)) app.shell.settings_store().save();
}

// The five information panels fade in with their animation slots.
struct OverlaySlot {
  uint16_t id;
  int slot;
};
constexpr OverlaySlot kOverlaySlots[] = {
    {cmd::OsdCursorInfo, kTweenCursorInfo}, {cmd::OsdPip, kTweenPictureInPicture},
    {cmd::OsdHistogram, kTweenHistogram},   {cmd::OsdFileInfo, kTweenFileInfo},
    {cmd::OsdExifInfo, kTweenExifInfo},
};

void overlay_toggle(Application& app, uint16_t id) {
  const auto* row = std::find_if(std::begin(kOverlaySlots), std::end(kOverlaySlots),
                                 [id](const OverlaySlot& o) { return o.id == id; });
  const bool on = toggle_menu_option(app.shell.window->menu(), app.shell.settings(), id);
  if (on) {
    start_tween(app.viewer.tweens, row->slot);
    if (id == cmd::OsdPip) app.doc.view().flags &= ~kThumbnailCurrent;
  } else {
    stop_tween(app.viewer.tweens, row->slot);
    if (id == cmd::OsdCursorInfo) app.doc.view().flags |= kRedrawBackground;
  }
  app.shell.settings_store().save();
}

void pip_method(Application& app, uint16_t id) {
  if (!choose_menu_option(app.shell.window->menu(), app.shell.settings(), id)) return;
  start_tween(app.viewer.tweens, kTweenPictureInPicture);
  app.doc.view().flags &= ~kThumbnailCurrent;
  app.shell.settings_store().save();
}

// The grid fades in with slot 6; without it the background under the lines is drawn again.
void grid(Application& app, uint16_t id) {
  platform::Menu& menu = app.shell.window->menu();
  if (toggle_menu_option(menu, app.shell.settings(), id)) start_tween(app.viewer.tweens, kTweenGrid);
  else app.doc.view().flags |= kRedrawBackground;
  app.shell.settings_store().save();
}

// The hyper-list strip slides in with slot 7; turning it off drops the strip and its thumbnails
// (surfaces 100 onward), which are rebuilt when it is drawn next.
void hyper_list(Application& app, uint16_t id) {
  constexpr int32_t kFirstThumbnailKey = 100;
  if (toggle_menu_option(app.shell.window->menu(), app.shell.settings(), id)) {
    start_tween(app.viewer.tweens, kTweenHyperList);
  } else {
    stop_tween(app.viewer.tweens, 7);
    for (int32_t key : app.doc.surfaces().keys()) {
      if (key >= kFirstThumbnailKey) surface_remove(app.doc.surfaces(), key);
    }
    app.doc.view().flags |= kRedrawBackground;
  }
  app.shell.settings_store().save();
}

// Background Image needs a picture: without surface 19 the picture is chosen first, and when that
// fails the mode stays.
void background_mode(Application& app, uint16_t id) {
  if (id == cmd::BackgroundImage && !surface_find(app.doc.surfaces(), kKeyBackground) &&
      choose_background_picture(app.viewer) != 0) {
    return;
  }
  if (choose_menu_option(app.shell.window->menu(), app.shell.settings(), id)) app.shell.settings_store().save();
  app.doc.view().flags |= kRedrawBackground;
}

// Channel RGB / Alpha: which surface is shown.
void channel(Application& app, uint16_t id) {
  const int32_t surface = id == cmd::ChannelAlpha ? kKeyAlpha : kKeyImage;
  ViewState& v = app.doc.view();
  if (v.displayed_surface == surface) return;
  app.shell.window->menu().set_checked(cmd::ChannelRgb, surface == kKeyImage);
  app.shell.window->menu().set_checked(cmd::ChannelAlpha, surface == kKeyAlpha);
  v.displayed_surface = surface;
  v.flags &= ~kThumbnailCurrent;
  v.flags |= kRedrawBackground;
}

void open_image(Application& app, uint16_t) { app.viewer.open_asked(u"<dialog>"); }
void first_file(Application& app, uint16_t) { app.viewer.step_first(); }
void previous_file(Application& app, uint16_t) { app.viewer.step_previous(); }
void next_file(Application& app, uint16_t) { app.viewer.step_next(); }
void last_file(Application& app, uint16_t) { app.viewer.step_last(); }
void close(Application& app, uint16_t) { app.viewer.close_image(true); }
void refresh(Application& app, uint16_t) { app.viewer.refresh(); }
void marker_set(Application& app, uint16_t) { app.viewer.marker_set(); }
void marker_clear_all(Application& app, uint16_t) { app.viewer.marker_clear_all(); }
void new_image(Application& app, uint16_t) { new_picture(app.viewer); }
void calibrate(Application& app, uint16_t) { calibrate_monitor(app.viewer); }
void close_all_instances(Application& app, uint16_t) { close_all(app.viewer); }
void background_choice(Application& app, uint16_t) { background_setting(app.viewer); }
void key_assignment_dialog(Application& app, uint16_t) { key_assignment(app.viewer); }
void save(Application& app, uint16_t) { save_command(app.doc, nullptr, false); }
void save_as(Application& app, uint16_t) { save_as_command(app.doc, false); }

// The file commands, information dialogs and external programs.
void delete_to_trash(Application& app, uint16_t) { delete_shown_file(app.viewer, false); }
void delete_for_good(Application& app, uint16_t) { delete_shown_file(app.viewer, true); }
void rename_file(Application& app, uint16_t) { rename_shown_file(app.viewer); }
void copy_file_to(Application& app, uint16_t) { copy_to_folder(app.viewer); }
void move_file_to(Application& app, uint16_t) { move_to_folder(app.viewer); }
void properties(Application& app, uint16_t) { show_properties(app.viewer); }
void file_information(Application& app, uint16_t) { file_information_dialog(app.viewer); }
void exif_information(Application& app, uint16_t) { exif_information_dialog(app.viewer); }
void external_program(Application& app, uint16_t id) {
  run_external_program(app.viewer, id == cmd::ImageEditor1 ? 1 : id == cmd::ImageEditor2 ? 2 : 3);
}
void mac_files(Application& app, uint16_t) { delete_mac_files(app.viewer); }
void manual(Application& app, uint16_t) { open_manual(app.viewer); }
void home_page(Application& app, uint16_t) { open_home_page(app.viewer); }
void about(Application& app, uint16_t) { about_dialog(app.viewer); }
void preferences(Application& app, uint16_t) { preferences_dialog(app.viewer); }

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
    {cmd::RightClickXY, [](Application& a, uint16_t) { toggle_right_click_option(a.viewer, 0); }},
    {cmd::RightClickRgbDecimal, [](Application& a, uint16_t) { toggle_right_click_option(a.viewer, 1); }},
    {cmd::RightClickRgbHex, [](Application& a, uint16_t) { toggle_right_click_option(a.viewer, 2); }},
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
    {cmd::Undo, on_edit<undo_command>},
    {cmd::LosslessTransform, lossless_transform_item},
    {cmd::Batch, batch},
    {cmd::ImageSize, on_edit<geometry_command>},      {cmd::CanvasSize, on_edit<geometry_command>},
    {cmd::Scissor, on_edit<geometry_command>},        {cmd::Trim, on_edit<geometry_command>},
    {cmd::RotateCcw90, on_edit<geometry_command>},    {cmd::Rotate180, on_edit<geometry_command>},
    {cmd::RotateCw90, on_edit<geometry_command>},     {cmd::RotateArbitrary, on_edit<geometry_command>},
    {cmd::FlipHorizontal, on_edit<geometry_command>}, {cmd::FlipVertical, on_edit<geometry_command>},
    {cmd::Connect, on_edit<geometry_command>},        {cmd::Divide, on_edit<geometry_command>},
    // The alpha channel and the clipboard.
    {cmd::AlphaNew, [](Application& a, uint16_t) { alpha_new(a.edit, true); }},
    {cmd::AlphaDelete, [](Application& a, uint16_t) { alpha_delete(a.edit, true); }},
    {cmd::AlphaImport, [](Application& a, uint16_t) { alpha_import(a.edit, std::nullopt); }},
    {cmd::AlphaSwap, [](Application& a, uint16_t) { alpha_swap_rgb(a.edit); }},
    {cmd::AlphaNegative, [](Application& a, uint16_t) { alpha_invert(a.edit); }},
    {cmd::Cut, [](Application& a, uint16_t) { clipboard_cut(a.edit); }},
    {cmd::Copy, [](Application& a, uint16_t) { clipboard_copy(a.edit); }},
    {cmd::Paste, [](Application& a, uint16_t) { clipboard_paste(a.edit); }},
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

// The effect items go to the effect dialog by their index; no row may take one of them.
constexpr bool rows_leave_effect_items() {
  for (const CommandRow& row : kCommands) {
    for (uint16_t id : resources::kEffectCommands) {
      if (row.id == id) return false;
    }
  }
  return true;
}
static_assert(rows_leave_effect_items(), "the effect items are dispatched by their index");

}  // namespace

void dispatch_command(Application& app, uint16_t id) {
  if (app.shell.modal_open) return;
  if (app.doc.job_running()) return;
  if (!app.shell.window || !app.shell.window->menu().is_enabled(id)) return;
  auto row = std::find_if(std::begin(kCommands), std::end(kCommands),
                          [id](const CommandRow& r) { return r.id == id; });
  if (row != std::end(kCommands)) row->handler(app, id);
  else if (effect_index_of_command(id) >= 0) effect_command(app.edit, id);
  else tool_menu_command(app.tools, id);
}

}  // namespace tesmo
