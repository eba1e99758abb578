// The settings record's stored layout, its defaults and the settings file.
#include "shell/settings.h"

#include <algorithm>

#include "base/bytes.h"
#include "base/file_io.h"
#include "base/text.h"
#include "base/user_folders.h"
#include "base/zuk.h"

namespace tesmo {
namespace {

constexpr size_t kTextBytes = 520;  // 260 UTF-16 units including the terminator

struct IntField {
  size_t offset;
  int32_t SystemSettings::*member;
  int32_t default_value;
};

struct TextField {
  size_t offset;
  std::u16string SystemSettings::*member;
};

using S = SystemSettings;

// Every numeric field of the record at its offset, with its default.
constexpr IntField kIntFields[] = {
    {552, &S::wheel_interval, 50},
    {556, &S::grid_spacing, 64},
    {560, &S::grid_divisions, 4},
    {6224, &S::middle_action, 3},
    {6228, &S::x1_action, 8},
    {6232, &S::x2_action, 7},
    {6236, &S::wheel_forward_action, 1},
    {6240, &S::wheel_backward_action, 2},
    {6244, &S::control_wheel_forward_action, 11},
    {6248, &S::control_wheel_backward_action, 10},
    {6252, &S::loop, 1},
    {6256, &S::rotation_adjustment, 0},
    {6260, &S::right_click_xy, 0},
    {6264, &S::right_click_rgb_decimal, 0},
    {6268, &S::right_click_rgb_hex, 0},
    {6280, &S::fps_display, 0},
    {6284, &S::cursor_info_display, 0},
    {6288, &S::pip_display, 0},
    {6292, &S::pip_method, 0},
    {6296, &S::histogram_display, 0},
    {6300, &S::file_info_display, 0},
    {6304, &S::exif_info_display, 0},
    {6308, &S::grid, 0},
    {6312, &S::hyper_list, 0},
    {6316, &S::red_visible, 1},
    {6320, &S::green_visible, 1},
    {6324, &S::blue_visible, 1},
    {6328, &S::default_channel, 0},
    {6332, &S::background_mode, 0},
    {6336, &S::always_on_top, 0},
    {6340, &S::reference_position, 1},
    {6344, &S::position_adjustment, 1},
    {6348, &S::zoom_algorithm, 1},
    {6352, &S::scale_up_to_fit, 0},
    {6356, &S::scale_down_to_fit, 1},
    {6360, &S::default_scale, 0},
    {6364, &S::face_detection, 0},
    {6368, &S::camera_auto_sync, 0},
    {6372, &S::camera_transfer_method, 0},
    {9576, &S::window_x, S::kSystemChoosesPosition},
    {9580, &S::window_y, S::kSystemChoosesPosition},
};

// Every string field at its offset; each is 520 bytes long.
constexpr TextField kTextFields[] = {
    {32, &S::plugin_folder},     {564, &S::camera_model},    {1084, &S::camera_pattern},
    {1604, &S::image_editor_1},  {2124, &S::image_editor_2}, {2644, &S::binary_editor},
    {3164, &S::text_editor},     {3684, &S::shader_compiler}, {6456, &S::copy_folder},
    {6976, &S::move_folder},     {7496, &S::batch_folder},   {8016, &S::batch_pattern},
    {8536, &S::mac_file_folder}, {11628, &S::background_image},
};

constexpr size_t kVersionOffset = 4;
constexpr size_t kBackgroundColourOffset = 11624;
constexpr uint32_t kDefaultBackgroundColour = 0x00FF0000;  // red 0, green 0, blue 255

static_assert(11628 + kTextBytes == SystemSettings::kRecordSize, "the last field ends the record");

}  // namespace

std::vector<uint8_t> encode_settings(const SystemSettings& s) {
  std::vector<uint8_t> record(SystemSettings::kRecordSize, 0);
  std::copy(kZukSignature.begin(), kZukSignature.end(), record.begin());
  store_u32le(record, kVersionOffset, s.version);
  for (const IntField& f : kIntFields) store_u32le(record, f.offset, static_cast<uint32_t>(s.*f.member));
  for (const TextField& f : kTextFields) store_u16_field(record, f.offset, kTextBytes, s.*f.member);
  store_u32le(record, kBackgroundColourOffset, s.background_colour);
  return record;
}

SystemSettings decode_settings(std::span<const uint8_t> record) {
  SystemSettings s;
  s.version = load_u32le(record, kVersionOffset);
  for (const IntField& f : kIntFields) s.*f.member = static_cast<int32_t>(load_u32le(record, f.offset));
  for (const TextField& f : kTextFields) s.*f.member = load_u16_field(record, f.offset, kTextBytes);
  s.background_colour = load_u32le(record, kBackgroundColourOffset);
  return s;
}

int32_t effective_grid_divisions(const SystemSettings& s) { return std::max(s.grid_divisions, 1); }

SettingsStore::SettingsStore(std::u16string program_folder)
    : program_folder_(std::move(program_folder)) {
  reset_to_defaults();
}

std::u16string SettingsStore::path() const { return savedata_folder(program_folder_) + u"system.sav"; }

void SettingsStore::reset_to_defaults() {
  SystemSettings s;
  s.version = SystemSettings::kVersion;
  for (const IntField& f : kIntFields) s.*f.member = f.default_value;
  s.plugin_folder = program_folder_ + u"plug-in/";
  s.camera_pattern = u"*.jpg";
  s.batch_pattern = u"*.bmp";
  s.background_colour = kDefaultBackgroundColour;
  settings_ = std::move(s);
}

void SettingsStore::load() {
  auto prefix = read_file_prefix(path(), SystemSettings::kRecordSize);
  if (prefix) {
    // The file's bytes overwrite the record from offset 0; what a short file lacks keeps its value.
    std::vector<uint8_t> record = encode_settings(settings_);
    std::copy(prefix->begin(), prefix->end(), record.begin());
    if (has_zuk_signature(record) && load_u32le(record, kVersionOffset) == SystemSettings::kVersion) {
      settings_ = decode_settings(record);
      return;
    }
  }
  reset_to_defaults();
  save();
}

int SettingsStore::save() const {
  std::vector<uint8_t> file = encode_settings(settings_);
  file.resize(SystemSettings::kFileSize, 0);
  return file_replace(path(), file);
}

}  // namespace tesmo
