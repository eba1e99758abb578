// The user-interface pictures of the embedded resource archive ("Binary" 135): what each of its 69
// entries is, in entry order. The skin generator draws them from this table and the dialogs find
// their background and buttons in it. Buttons hold three states stacked vertically, each a third
// of the height: normal, focused, pressed.
//
// Entry assignment within each dialog's group: the background first, then OK, then Cancel, then
// the "..." button(s); the batch dialog's two 44 × 63 buttons are "←" and "→", its three
// 25 × 63 buttons "..." buttons.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tesmo::resources {

inline constexpr std::u16string_view kResourceArchiveType = u"Binary";
inline constexpr int32_t kResourceArchiveId = 135;

enum class SkinRole : uint8_t { Star, Background, Ok, Cancel, Dots, Left, Right };

struct SkinPicture {
  int16_t width;
  int16_t height;
  SkinRole role;
  std::u16string_view title;  // backgrounds: the text of the title band (empty: none)
};

inline constexpr int32_t kSkinPictureCount = 69;
inline constexpr int32_t kSkinStateRows = 3;  // normal, focused, pressed
inline constexpr int32_t kSkinTitleBand = 24;  // rows of a background's title band; controls go below
// A title in the band: font 2 of the system's font table, this far in from the left edge, centred
// in the band's height, in this colour (0xRRGGBB). Backgrounds drawn without a title get the
// dialog's caption written the same way when the dialog is painted.
inline constexpr int32_t kSkinTitleFont = 2;
inline constexpr int32_t kSkinTitleX = 12;
inline constexpr uint32_t kSkinTitleInk = 0x2C3440;

namespace skin_detail {
using R = SkinRole;
inline constexpr SkinPicture kOk{88, 63, R::Ok, u""};
inline constexpr SkinPicture kCancel{88, 63, R::Cancel, u""};
inline constexpr SkinPicture kDots{25, 63, R::Dots, u""};
constexpr SkinPicture bg(int16_t w, int16_t h, std::u16string_view title = u"") {
  return {w, h, R::Background, title};
}
}  // namespace skin_detail

inline constexpr std::array<SkinPicture, kSkinPictureCount> kSkinPictures = [] {
  using namespace skin_detail;
  return std::array<SkinPicture, kSkinPictureCount>{{
      {16, 16, R::Star, u""}, {16, 16, R::Star, u""},                           // 0–1 marker stars
      bg(480, 320), kOk, kCancel,                                               // 2–4 unused
      bg(361, 200, u"新規作成"), kOk, kCancel,                                  // 5–7 New
      bg(439, 360, u"画像フォーマット"), kOk, kCancel,                          // 8–10 save options
      bg(361, 120, u"名前の変更"), kOk, kCancel,                                // 11–13 Rename
      bg(420, 372, u"ファイル情報"),                                            // 14 File Information
      bg(450, 480, u"撮影情報"),                                                // 15 Exif Information
      bg(721, 560, u"バッチ処理"), kOk, kCancel,                                // 16–18 Batch
      {44, 63, R::Left, u""}, {44, 63, R::Right, u""}, kDots, kDots, kDots,    // 19–23 Batch
      bg(361, 309), kOk, kCancel,                                               // 24–26 edit dialog
      bg(361, 309), kOk, kCancel,                                               // 27–29 edit dialog
      bg(361, 155, u"切り抜き"), kOk, kCancel,                                  // 30–32 Scissor
      bg(361, 309), kOk, kCancel, kDots,                                        // 33–36 edit dialog
      bg(257, 144, u"角度を指定"), kOk, kCancel,                                // 37–39 rotation
      bg(361, 309), kOk, kCancel, kDots,                                        // 40–43 edit dialog
      bg(361, 309), kOk, kCancel,                                               // 44–46 edit dialog
      bg(361, 309), kOk, kCancel,                                               // 47–49 edit dialog
      bg(361, 257), kOk, kCancel,                                               // 50–52 effect
      bg(257, 144, u"拡大率を指定"), kOk, kCancel,                              // 53–55 zoom
      bg(401, 161), bg(439, 269), kOk, kCancel,                                 // 56–59 unused
      bg(439, 395, u"キー割り当て"), kOk, kCancel,                              // 60–62 Key Assignment
      bg(758, 338, u"環境設定"), kOk, kCancel, kDots,                           // 63–66 Preferences
      bg(401, 225),                                                             // 67 unused
      bg(320, 161),                                                             // 68 About
  }};
}();

// The pictures of one dialog: `count` entries from `first_entry`, loaded to consecutive surface
// keys; offsets within the group (−1: none) of its background and buttons.
struct SkinGroup {
  int32_t first_entry;
  int32_t count;
  int32_t background = 0;
  int32_t ok = -1;
  int32_t cancel = -1;
  int32_t dots = -1;
};

inline constexpr SkinGroup kSkinNew{5, 3, 0, 1, 2};
inline constexpr SkinGroup kSkinSaveOptions{8, 3, 0, 1, 2};
inline constexpr SkinGroup kSkinRename{11, 3, 0, 1, 2};
inline constexpr SkinGroup kSkinFileInformation{14, 1};
inline constexpr SkinGroup kSkinExifInformation{15, 1};
inline constexpr SkinGroup kSkinBatch{16, 8, 0, 1, 2, 5};  // 19 "←", 20 "→", 21–23 "..."
inline constexpr SkinGroup kSkinScissor{30, 3, 0, 1, 2};
inline constexpr SkinGroup kSkinRotation{37, 3, 0, 1, 2};
inline constexpr SkinGroup kSkinEffect{50, 3, 0, 1, 2};
inline constexpr SkinGroup kSkinZoom{53, 3, 0, 1, 2};
inline constexpr SkinGroup kSkinKeyAssignment{60, 3, 0, 1, 2};
inline constexpr SkinGroup kSkinPreferences{63, 4, 0, 1, 2, 3};
inline constexpr SkinGroup kSkinAbout{68, 1};
// The 361 × 309 edit dialogs, in entry order; the third and fourth also have a "..." button.
inline constexpr std::array<SkinGroup, 6> kSkinEditDialogs{{
    {24, 3, 0, 1, 2}, {27, 3, 0, 1, 2}, {33, 4, 0, 1, 2, 3},
    {40, 4, 0, 1, 2, 3}, {44, 3, 0, 1, 2}, {47, 3, 0, 1, 2},
}};

}  // namespace tesmo::resources
