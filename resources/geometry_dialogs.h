// Dialog templates of the geometry edits (data only), laid out on their skin backgrounds: the five
// 361 × 309 edit dialogs (image size, canvas size, trim, connect, divide), the 361 × 155 crop
// dialog and the 257 × 144 rotation dialog. Shared ids: 1012–1017 the number boxes, 1040 on the
// check boxes, 1034 the "..." button, 1097 / 1098 OK and Cancel.
#pragma once

#include <array>
#include <cstdint>

#include "platform/dialog.h"

namespace tesmo::resources {

inline constexpr uint16_t kCurrentWidthField = 1012;  // the picture's size (read only)
inline constexpr uint16_t kCurrentHeightField = 1013;
inline constexpr uint16_t kWidthField = 1014;  // the new size (image and canvas size, divide's tile)
inline constexpr uint16_t kHeightField = 1015;
inline constexpr uint16_t kBrowseButton = 1034;  // "..." of trim (colour) and connect (path)

// Image size (141 "画像解像度"): keep-aspect box and the resampling combo box.
inline constexpr uint16_t kImageSizeDialogId = 141;
inline constexpr uint16_t kImageKeepAspect = 1040;
inline constexpr uint16_t kResampleCombo = 1065;
const platform::DialogTemplate& image_size_dialog();

// Canvas size (143 "キャンバス サイズ"): alignment boxes, keep-aspect box and the 3 × 3 anchor grid
// (1040 top-left … 1048 bottom-right, row by row).
inline constexpr uint16_t kCanvasSizeDialogId = 143;
inline constexpr uint16_t kAlignXField = 1016;
inline constexpr uint16_t kAlignYField = 1017;
inline constexpr uint16_t kCanvasKeepAspect = 1064;
inline constexpr uint16_t kFirstAnchor = 1040;
inline constexpr int kAnchorCount = 9;
const platform::DialogTemplate& canvas_size_dialog();

// Crop (164 "切り抜き"): position 1012 / 1013 and size 1014 / 1015.
inline constexpr uint16_t kCropDialogId = 164;
inline constexpr uint16_t kCropX = 1012, kCropY = 1013, kCropWidth = 1014, kCropHeight = 1015;
const platform::DialogTemplate& crop_dialog();

// Trim (144 "トリミング"): side boxes top, bottom, left, right, equal margins; colour boxes red,
// green, blue (0–255) and "..." for the colour chooser.
inline constexpr uint16_t kTrimDialogId = 144;
inline constexpr std::array<uint16_t, 5> kTrimSideBoxes = {1040, 1041, 1042, 1043, 1044};
inline constexpr std::array<uint16_t, 3> kTrimColourFields = {1012, 1013, 1014};
const platform::DialogTemplate& trim_dialog();

// Rotation by angle (142 "角度を指定"): the angle 0–360.
inline constexpr uint16_t kRotationDialogId = 142;
inline constexpr uint16_t kAngleField = 1012;
const platform::DialogTemplate& rotation_dialog();

// Connect (161 "結合"): one file or a folder, the path with "...", and the side boxes top,
// bottom, left, right.
inline constexpr uint16_t kConnectDialogId = 161;
inline constexpr uint16_t kConnectFile = 1201, kConnectFolder = 1202;
inline constexpr uint16_t kConnectPathField = 1012;
inline constexpr std::array<uint16_t, 4> kConnectSideBoxes = {1040, 1041, 1042, 1043};
const platform::DialogTemplate& connect_dialog();

// Divide (140 "分割"): tile size 1014 / 1015, tile counts 1016 / 1017, alpha output box.
inline constexpr uint16_t kDivideDialogId = 140;
inline constexpr uint16_t kTileCountXField = 1016, kTileCountYField = 1017;
inline constexpr uint16_t kDivideAlpha = 1040;
const platform::DialogTemplate& divide_dialog();

}  // namespace tesmo::resources
