// The information dialogs through the fake dialog host: the File Information texts of a BMP whose
// size, colours and time are known, the Exif list of a JPEG written with the system's own JPEG and
// Exif writers, the row icons, and About.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>

#include "app/application.h"
#include "app/commands.h"
#include "base/file_io.h"
#include "formats/bmp/bmp.h"
#include "formats/registry.h"
#include "platform/fake/fake_platform.h"
#include "resources/command_ids.h"
#include "resources/dialog_templates.h"
#include "shell/menu_options.h"
#include "temp_folder.h"
#include "tests/app/fake_viewer.h"
#include "viewer/file_info.h"
#include "viewer/info_dialogs.h"

namespace tesmo {
namespace {

namespace res = resources;
namespace fs = std::filesystem;

class InfoDialogs : public ::testing::Test {
 protected:
  InfoDialogs() {
    app = testing::make_fake_viewer(fake, tmp.folder());
    disable_image_commands(app->shell.window->menu());
  }
  void command(uint16_t id) { dispatch_command(*app, id); }
  const platform::DialogRecord& last_dialog() { return fake.dialogs.back(); }

  testing::TempFolder tmp;
  platform::FakePlatform fake;
  std::unique_ptr<Application> app;
};

TEST(FileInfoTextFormats, SizesAndTimes) {
  EXPECT_EQ(file_size_text(0), u"0 バイト (0 KB)");
  EXPECT_EQ(file_size_text(2047), u"2047 バイト (1 KB)");
  EXPECT_EQ(file_size_text(5'000'000'000ull), u"5000000000 バイト (4882812 KB)");  // past 32 bits
  EXPECT_EQ(load_time_text(0), u"0.000 秒 (0 フレーム)");
  EXPECT_EQ(load_time_text(16), u"0.016 秒 (0 フレーム)");      // 0.96 frames
  EXPECT_EQ(load_time_text(1234), u"1.234 秒 (74 フレーム)");   // 74.04 frames
  EXPECT_EQ(colour_count_text(2, 0), u"RGB: 2 / α: 0");
}

TEST_F(InfoDialogs, FileInformationOfABmpOfKnownSize) {
  // 40 × 30 at 24 bits: rows of 120 bytes (already a multiple of 4) after the 54-byte header.
  std::vector<uint32_t> px(40 * 30, 0xFF102030u);
  for (size_t i = 0; i < 40; ++i) px[i] = 0xFFFFFFFFu;  // the first row white: two colours
  const std::u16string path = tmp.file("pic.bmp");
  ASSERT_EQ(file_replace(path, bmp::encode(px, 40, 30, 5)), 0);
  ASSERT_EQ(file_replace(tmp.file("other.bmp"), bmp::encode(px, 40, 30, 5)), 0);
  std::tm when{};
  when.tm_year = 2021 - 1900, when.tm_mon = 2, when.tm_mday = 4, when.tm_hour = 5, when.tm_min = 6, when.tm_sec = 7;
  when.tm_isdst = -1;
  const auto written = std::chrono::system_clock::from_time_t(std::mktime(&when));
  fs::last_write_time(to_fs_path(path), std::chrono::file_clock::from_sys(written));

  ASSERT_EQ(app->viewer.open_file(path, -1, -1), 0);
  command(cmd::FileInformation);
  ASSERT_EQ(fake.dialogs.size(), 1u);
  EXPECT_EQ(last_dialog().id, res::kFileInfoDialogId);
  const std::map<uint16_t, std::u16string> expected = {
      {res::kFileInfoName, u"pic.bmp"},
      {res::kFileInfoFolder, tmp.folder()},
      {res::kFileInfoIndex, u"(frame: 1 / 1)"},  // no folder list yet
      {res::kFileInfoFormat, u"BMP"},
      {res::kFileInfoDetail, u"8:8:8 RGB (24 bit)"},
      {res::kFileInfoCompression, u""},
      {res::kFileInfoSize, u"40 x 30 x 24"},
      {res::kFileInfoColours, u"RGB: 2 / α: 0"},
      {res::kFileInfoFileSize, u"3654 バイト (3 KB)"},
      {res::kFileInfoFileTime, u"2021/03/04 05:06:07"},
      {res::kFileInfoLoadTime, u"0.000 秒 (0 フレーム)"},
  };
  for (const auto& [id, text] : expected) EXPECT_EQ(last_dialog().texts.at(id), text) << id;

  app->viewer.build_folder_list();  // "other.bmp", "pic.bmp"
  command(cmd::FileInformation);
  EXPECT_EQ(last_dialog().texts.at(res::kFileInfoIndex), u"2 / 2 (frame: 1 / 1)");
  // The file gone: its size and time are left empty.
  fs::remove(to_fs_path(path));
  command(cmd::FileInformation);
  EXPECT_EQ(last_dialog().texts.at(res::kFileInfoFileSize), u"");
  EXPECT_EQ(last_dialog().texts.at(res::kFileInfoFileTime), u"");
}

// An Exif source: start marker, APP1 with a little-endian TIFF block of three IFD0 entries
// (ImageWidth SHORT, StripOffsets LONG, an unknown tag 0x1234), end marker.
std::vector<uint8_t> exif_source() {
  const std::vector<uint8_t> tiff = {
      'I', 'I', 42, 0, 8, 0, 0, 0,                     //
      3, 0,                                            // three entries
      0x00, 0x01, 3, 0, 1, 0, 0, 0, 1, 0, 0, 0,        // 256 SHORT 1
      0x11, 0x01, 4, 0, 1, 0, 0, 0, 0, 0, 0, 0,        // 273 LONG 0
      0x34, 0x12, 3, 0, 1, 0, 0, 0, 9, 0, 0, 0,        // 0x1234 SHORT 9
      0, 0, 0, 0,                                      // no IFD1
  };
  const size_t length = 2 + 6 + tiff.size();
  std::vector<uint8_t> f = {0xFF, 0xD8, 0xFF, 0xE1, 0, static_cast<uint8_t>(length), 'E', 'x', 'i', 'f', 0, 0};
  f.insert(f.end(), tiff.begin(), tiff.end());
  f.push_back(0xFF);
  f.push_back(0xD9);
  return f;
}

TEST_F(InfoDialogs, ExifRowsOfAJpegWrittenWithTheSystemsWriters) {
  const std::u16string source = tmp.file("source.jpg");
  ASSERT_EQ(file_replace(source, exif_source()), 0);
  const std::vector<uint32_t> px(24 * 8, 0xFF808080u);
  SaveRequest r;
  r.path = tmp.file("shot.jpg");
  r.format = kFormatJpeg;
  r.pixel_format = 1;
  r.quality = 90;
  r.exif_source = source;  // carried over, ImageWidth rewritten to 24
  ASSERT_EQ(image_save(px, 24, 8, r), 0);
  ASSERT_EQ(app->viewer.open_file(r.path, -1, -1), 0);
  command(cmd::ExifInformation);
  ASSERT_EQ(fake.dialogs.size(), 1u);
  const platform::DialogRecord& d = last_dialog();
  EXPECT_EQ(d.id, res::kExifDialogId);
  const auto& rows = d.rows.at(res::kExifList);
  const auto& icons = d.row_icons.at(res::kExifList);
  ASSERT_GE(rows.size(), 4u);
  // The TIFF header sits at file offset 12; IFD0 at 20, its entries at 22, 34 and 46.
  const std::vector<std::vector<std::u16string>> expected = {
      {u"", u"メイン情報", u"", u""},
      {u"", u"画像の幅", u"24 ピクセル", u"0x00000016 (22)"},
      {u"", u"　[開発中] StripOffsets", u"", u"0x00000022 (34)"},
      {u"", u"  [未知のタグ] 0x1234", u"", u"0x0000002E (46)"},
  };
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(rows[i], expected[i]) << i;
  EXPECT_EQ(std::vector<int>(icons.begin(), icons.begin() + 4),
            (std::vector<int>{kExifIconStar, kExifIconStarSmall, kExifIconExclamation, kExifIconQuestion}));

  // A picture without Exif gives an empty list.
  ASSERT_EQ(file_replace(tmp.file("plain.bmp"), bmp::encode(px, 24, 8, 5)), 0);
  ASSERT_EQ(app->viewer.open_file(tmp.file("plain.bmp"), -1, -1), 0);
  command(cmd::ExifInformation);
  EXPECT_TRUE(last_dialog().rows.at(res::kExifList).empty());
}

TEST(ExifList, BlankRowsHaveNoIconAndOffsetsOnlyWhenSet) {
  EXPECT_EQ(exif_list_row(ExifRow{}).icon, -1);
  ExifRow header{.tag = 0, .item = "\x83\x81\x83\x43\x83\x93\x8f\xee\x95\xf1", .is_header = 1};  // メイン情報
  EXPECT_EQ(exif_list_row(header).icon, kExifIconStar);
  EXPECT_EQ(exif_list_row(header).cells[3], u"");
  ExifRow far{.tag = 271, .item = "x", .value = "y", .offset = 0x7FFFFFFF};
  EXPECT_EQ(exif_list_row(far).cells[3], u"0x7FFFFFFF (2147483647)");
}

TEST(ExifIcons, FourOpaqueShapesOnATransparentGround) {
  const auto icons = exif_icon_pictures();
  for (size_t i = 0; i < icons.size(); ++i) {
    SCOPED_TRACE(i);
    ASSERT_EQ(icons[i].size(), 256u);
    EXPECT_EQ(icons[i][0] >> 24, 0u);                          // the corner shows through
    EXPECT_EQ(icons[i][8 * 16 + 8] >> 24, 0xFFu);              // the middle is drawn
  }
  EXPECT_NE(icons[kExifIconStar], icons[kExifIconStarSmall]);  // the large star reaches further
  EXPECT_EQ(icons[kExifIconStarSmall][2 * 16 + 8] >> 24, 0u);
  EXPECT_EQ(icons[kExifIconStar][2 * 16 + 8] >> 24, 0xFFu);
  EXPECT_EQ(icons[kExifIconExclamation][6 * 16 + 7], 0xFF000000u);  // the mark's bar
  EXPECT_EQ(icons[kExifIconQuestion][12 * 16 + 7], 0xFFFFFFFFu);    // the question mark's dot
}

TEST_F(InfoDialogs, AboutShowsTheModelVersionAndLanguage) {
  command(cmd::About);
  ASSERT_EQ(fake.dialogs.size(), 1u);
  EXPECT_EQ(last_dialog().id, res::kAboutDialogId);
  EXPECT_EQ(res::about_dialog().caption, u"Tesmo64");
  std::vector<std::u16string> labels;
  for (const platform::ControlTemplate& c : res::about_dialog().controls) labels.emplace_back(c.label);
  EXPECT_EQ(labels, (std::vector<std::u16string>{u"model", u": Tesmo64", u"software version", u": V2.0.0", u"language",
                                                 u": Japanese"}));
  EXPECT_FALSE(last_dialog().paints.empty());  // the skin's background was drawn
}

}  // namespace
}  // namespace tesmo
