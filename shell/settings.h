// The settings record and its file "savedata/system.sav" (under the program folder, or the user's
// configuration folder when the program folder cannot be written): every persistent option of the
// viewer, read once at start and written back in whole after every change.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tesmo {

// The record as named fields. Its stored form is 12148 little-endian bytes with each field at a fixed
// offset (settings.cpp holds the offset table); strings are zero-terminated UTF-16 in 520-byte fields.
struct SystemSettings {
  static constexpr size_t kRecordSize = 12148;
  static constexpr size_t kFileSize = 0x40000;  // the record, then zeros up to 262,144 bytes
  static constexpr uint32_t kVersion = 100;
  static constexpr int32_t kSystemChoosesPosition = INT32_MIN;  // 0x80000000

  uint32_t version = 0;
  std::u16string plugin_folder;
  int32_t wheel_interval = 0;  // ms between two zoom or file-step actions of the wheel
  int32_t grid_spacing = 0;    // grid cell in image pixels; also the scroll page step at 100 %
  int32_t grid_divisions = 0;  // subdivisions of a cell; the scroll line step is page / divisions
  std::u16string camera_model;
  std::u16string camera_pattern;
  std::u16string image_editor_1;
  std::u16string image_editor_2;
  std::u16string binary_editor;
  std::u16string text_editor;
  std::u16string shader_compiler;
  // Action codes bound to the mouse buttons and the wheel.
  int32_t middle_action = 0, x1_action = 0, x2_action = 0;
  int32_t wheel_forward_action = 0, wheel_backward_action = 0;
  int32_t control_wheel_forward_action = 0, control_wheel_backward_action = 0;
  // Menu-held options (0/1, or the index of the checked item of a radio group).
  int32_t loop = 0;
  int32_t rotation_adjustment = 0;
  int32_t right_click_xy = 0, right_click_rgb_decimal = 0, right_click_rgb_hex = 0;
  int32_t fps_display = 0;
  int32_t cursor_info_display = 0;
  int32_t pip_display = 0;
  int32_t pip_method = 0;
  int32_t histogram_display = 0;
  int32_t file_info_display = 0;
  int32_t exif_info_display = 0;
  int32_t grid = 0;
  int32_t hyper_list = 0;
  int32_t red_visible = 0, green_visible = 0, blue_visible = 0;
  int32_t default_channel = 0;
  int32_t background_mode = 0;
  int32_t always_on_top = 0;
  int32_t reference_position = 0;
  int32_t position_adjustment = 0;
  int32_t zoom_algorithm = 0;
  int32_t scale_up_to_fit = 0;    // "If Image < Window"
  int32_t scale_down_to_fit = 0;  // "If Image > Window"
  int32_t default_scale = 0;
  int32_t face_detection = 0;
  int32_t camera_auto_sync = 0;
  int32_t camera_transfer_method = 0;
  std::u16string copy_folder;
  std::u16string move_folder;
  std::u16string batch_folder;
  std::u16string batch_pattern;
  std::u16string mac_file_folder;
  int32_t window_x = 0;
  int32_t window_y = 0;
  uint32_t background_colour = 0;  // bytes red, green, blue, 0 (little-endian: 0x00BBGGRR)
  std::u16string background_image;

  bool operator==(const SystemSettings&) const = default;
};

// The stored form of the record (12148 bytes). Unlisted bytes are written as zeros.
std::vector<uint8_t> encode_settings(const SystemSettings& s);
// Reads the fields of a 12148-byte record; the signature and version are not judged here.
SystemSettings decode_settings(std::span<const uint8_t> record);

// The divisor of the scroll line step: the stored grid divisions, but never below 1 (Preferences
// accepts any integer, and a division by zero must not follow).
int32_t effective_grid_divisions(const SystemSettings& s);

class SettingsStore {
 public:
  // `program_folder` ends with a separator (or is empty).
  explicit SettingsStore(std::u16string program_folder);

  SystemSettings& settings() { return settings_; }
  const SystemSettings& settings() const { return settings_; }
  const std::u16string& program_folder() const { return program_folder_; }
  std::u16string path() const;  // "system.sav" in the savedata folder (base/user_folders.h)

  // Reads the file into the record. A file that is missing, unreadable or not recognised (ZUK
  // signature and version 100) is replaced: defaults, then `save`. A short file overwrites only
  // the bytes it has; the rest of the record keeps its previous content.
  void load();
  // Fills the record with the defaults.
  void reset_to_defaults();
  // Writes the record and zeros up to 262,144 bytes, creating "savedata" when missing and replacing
  // a read-only file. 0 on success, 1 on failure; the record in memory is never changed, and a
  // failed write leaves the previous file as it was.
  int save() const;

 private:
  std::u16string program_folder_;
  SystemSettings settings_;
};

}  // namespace tesmo
