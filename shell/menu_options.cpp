// The table of menu-held options and the start-up and no-image menu states.
#include "shell/menu_options.h"

#include "resources/command_ids.h"
#include "resources/effect_commands.h"

namespace tesmo {
namespace {

using S = SystemSettings;
using K = MenuOptionKind;

constexpr MenuOption kOptions[] = {
    {K::Choice, &S::loop, 2, {cmd::NoLoop, cmd::Loop}},
    {K::Choice, &S::rotation_adjustment, 2, {cmd::RotationAdjustNone, cmd::RotationAdjustExif}},
    {K::Toggle, &S::right_click_xy, 1, {cmd::RightClickXY}},
    {K::Toggle, &S::right_click_rgb_decimal, 1, {cmd::RightClickRgbDecimal}},
    {K::Toggle, &S::right_click_rgb_hex, 1, {cmd::RightClickRgbHex}},
    {K::Toggle, &S::fps_display, 1, {cmd::OsdFps}},
    {K::Toggle, &S::cursor_info_display, 1, {cmd::OsdCursorInfo}},
    {K::Toggle, &S::pip_display, 1, {cmd::OsdPip}},
    {K::Choice, &S::pip_method, 2, {cmd::PipThumbnail, cmd::PipCursorPosition}},
    {K::Toggle, &S::histogram_display, 1, {cmd::OsdHistogram}},
    {K::Toggle, &S::file_info_display, 1, {cmd::OsdFileInfo}},
    {K::Toggle, &S::exif_info_display, 1, {cmd::OsdExifInfo}},
    {K::Toggle, &S::face_detection, 1, {cmd::FaceDetection}},
    {K::Toggle, &S::grid, 1, {cmd::Grid}},
    {K::Toggle, &S::hyper_list, 1, {cmd::HyperList}},
    {K::Toggle, &S::red_visible, 1, {cmd::VisibleR}},
    {K::Toggle, &S::green_visible, 1, {cmd::VisibleG}},
    {K::Toggle, &S::blue_visible, 1, {cmd::VisibleB}},
    {K::Choice, &S::default_channel, 2, {cmd::DefaultChannelRgb, cmd::DefaultChannelAlpha}},
    {K::Choice, &S::background_mode, 2, {cmd::BackgroundFill, cmd::BackgroundImage}},
    {K::Toggle, &S::always_on_top, 1, {cmd::AlwaysOnTop}},
    {K::Choice, &S::reference_position, 2, {cmd::ReferenceUpperLeft, cmd::ReferenceCenter}},
    {K::Choice, &S::position_adjustment, 2, {cmd::AdjustNone, cmd::AdjustInsideScreen}},
    {K::Choice, &S::zoom_algorithm, 6,
     {cmd::ZoomTypeA, cmd::ZoomTypeB, cmd::ZoomTypeC, cmd::ZoomTypeD, cmd::ZoomTypeE, cmd::ZoomTypeF}},
    {K::Toggle, &S::scale_up_to_fit, 1, {cmd::ScaleUpToFit}},
    {K::Toggle, &S::scale_down_to_fit, 1, {cmd::ScaleDownToFit}},
    {K::Choice, &S::default_scale, 2, {cmd::DefaultScaleActual, cmd::DefaultScalePrevious}},
    {K::Choice, &S::camera_auto_sync, 2, {cmd::AutoSyncOff, cmd::AutoSyncOn}},
    {K::Choice, &S::camera_transfer_method, 2, {cmd::TransferCopyAll, cmd::TransferMoveAll}},
};

// Commands that showing a picture enables; closing it greys them again.
constexpr uint16_t kImageCommands[] = {
    cmd::FirstFile, cmd::PreviousFile, cmd::NextFile, cmd::LastFile, cmd::Close, cmd::CloseAll,
    cmd::SaveAs, cmd::DeleteToTrash, cmd::DeleteFile, cmd::Rename, cmd::CopyToFolder,
    cmd::MoveToFolder, cmd::Properties, cmd::FileInformation, cmd::ExifInformation, cmd::ImageSize,
    cmd::CanvasSize, cmd::Scissor, cmd::Trim, cmd::RotateCcw90, cmd::Rotate180, cmd::RotateCw90,
    cmd::RotateArbitrary, cmd::FlipHorizontal, cmd::FlipVertical, cmd::Connect, cmd::Divide,
    cmd::AlphaImport, cmd::Cut, cmd::Copy, cmd::MarkerSet, cmd::MarkerClearAll, cmd::ChannelRgb,
    cmd::ZoomIn, cmd::ZoomInPrecise, cmd::ZoomOut, cmd::ZoomOutPrecise, cmd::ActualPixels,
    cmd::ZoomArbitrary, cmd::FullScreen, cmd::Refresh, cmd::ImageEditor1, cmd::ImageEditor2,
    cmd::BinaryEditor,
};

// Greyed on close besides those; their own rules enable them.
constexpr uint16_t kGreyedOnClose[] = {
    cmd::Save, cmd::AlphaNew, cmd::AlphaDelete, cmd::AlphaSwap, cmd::AlphaNegative,
    cmd::ChannelAlpha, cmd::LosslessTransform, cmd::Undo,
};

// Greyed for a generated picture: everything that needs a file behind the picture.
constexpr uint16_t kFileCommands[] = {
    cmd::FirstFile,     cmd::PreviousFile, cmd::NextFile,     cmd::LastFile,          cmd::MarkerSet,
    cmd::MarkerClearAll, cmd::Refresh,     cmd::Save,         cmd::DeleteToTrash,     cmd::DeleteFile,
    cmd::Rename,        cmd::CopyToFolder, cmd::MoveToFolder, cmd::Properties,        cmd::LosslessTransform,
    cmd::ImageEditor1,  cmd::ImageEditor2, cmd::BinaryEditor,
};

// Effect items that need the picture's alpha channel.
constexpr uint16_t kAlphaEffects[] = {40508, 40531, 40527, 40567, 40529, 40646, 40602, 40530};
constexpr uint16_t kLensEffect = 40489;

void check_choice(platform::Menu& menu, const MenuOption& o, int32_t index) {
  for (int i = 0; i < o.count; ++i) menu.set_checked(o.items[i], i == index);
}

}  // namespace

std::span<const MenuOption> menu_options() { return kOptions; }

void init_menu_checks(platform::Menu& menu, SystemSettings& settings,
                      const BackgroundLoader& load_background) {
  for (const MenuOption& o : kOptions) {
    int32_t& value = settings.*o.field;
    if (o.field == &S::background_mode && value == 1) {
      bool loaded = !settings.background_image.empty() && load_background &&
                    load_background(settings.background_image);
      if (!loaded) value = 0;
    }
    if (o.kind == K::Toggle) menu.set_checked(o.items[0], value != 0);
    else check_choice(menu, o, value);
  }
}

const MenuOption* menu_option_of(uint16_t id) {
  for (const MenuOption& o : kOptions) {
    for (int i = 0; i < o.count; ++i) {
      if (o.items[i] == id) return &o;
    }
  }
  return nullptr;
}

bool toggle_menu_option(platform::Menu& menu, SystemSettings& settings, uint16_t id) {
  const MenuOption* o = menu_option_of(id);
  bool on = !menu.is_checked(id);
  menu.set_checked(id, on);
  if (o && o->kind == K::Toggle) settings.*o->field = on ? 1 : 0;
  return on;
}

bool choose_menu_option(platform::Menu& menu, SystemSettings& settings, uint16_t id) {
  const MenuOption* o = menu_option_of(id);
  if (!o || o->kind != K::Choice) return false;
  int32_t index = 0;
  while (o->items[index] != id) ++index;
  if (settings.*o->field == index && menu.is_checked(id)) return false;
  check_choice(menu, *o, index);
  settings.*o->field = index;
  return true;
}

void update_edit_menu(platform::Menu& menu, bool enabled, bool square, bool has_alpha) {
  for (uint16_t id : resources::kEffectCommands) menu.set_enabled(id, enabled);
  if (!enabled) return;
  menu.set_enabled(kLensEffect, square);
  for (uint16_t id : kAlphaEffects) menu.set_enabled(id, has_alpha);
}

void enable_image_commands(platform::Menu& menu, const ShownPicture& p) {
  for (uint16_t id : kImageCommands) menu.set_enabled(id, true);
  menu.set_enabled(cmd::LosslessTransform, p.jpeg && p.width % 8 == 0);
  menu.set_enabled(cmd::AlphaNew, !p.has_alpha);
  for (uint16_t id : {cmd::AlphaDelete, cmd::AlphaSwap, cmd::AlphaNegative, cmd::ChannelAlpha}) {
    menu.set_enabled(id, p.has_alpha);
  }
  update_edit_menu(menu, true, p.width == p.height, p.has_alpha);
  if (p.generated) {
    for (uint16_t id : kFileCommands) menu.set_enabled(id, false);
  }
}

void disable_image_commands(platform::Menu& menu) {
  for (uint16_t id : kImageCommands) menu.set_enabled(id, false);
  for (uint16_t id : kGreyedOnClose) menu.set_enabled(id, false);
  update_edit_menu(menu, false, false, false);
  menu.set_checked(cmd::ChannelRgb, false);
  menu.set_checked(cmd::ChannelAlpha, false);
}

}  // namespace tesmo
