// The format table and the registry's queries, checked against the values a user sees.
#include "formats/registry.h"

#include <gtest/gtest.h>

#include "base/text.h"

namespace tesmo {
namespace {

TEST(Registry, FormatOrderIsAlphabeticalByNameAndEndsWithNone) {
  std::vector<std::string> names;
  for (int k = 0; format_at(k) != -1; ++k) names.push_back(format_name(format_at(k)));
  EXPECT_EQ(names, (std::vector<std::string>{"BMP", "DDS", "FNT", "JPEG and BMP", "JPEG", "PCX",
                                             "PIC / SOFTIMAGE", "PNG", "PSD / Photoshop", "SGI", "TGA",
                                             "TIFF"}));
  EXPECT_EQ(format_at(12), -1);
  EXPECT_EQ(format_at(31), -1);
  EXPECT_EQ(format_at(-1), -1);
}

TEST(Registry, OpenFilterListsEveryFormatThenAllFiles) {
  auto open = build_file_filter(false);
  ASSERT_EQ(open.size(), 14u);
  EXPECT_EQ(open.front().first, u"すべての画像");
  EXPECT_EQ(open.front().second,
            u"*.bmp;*.ico;*.cur;*.dds;*.fnt;*.jab;*.jpg;*.jpeg;*.pcx;*.pic;*.png;*.psd;*.sgi;*.rgb;*.rgba;"
            u"*.bw;*.tga;*.tif");
  EXPECT_EQ(open[1], (std::pair<std::u16string, std::u16string>{u"BMP (*.bmp, *.ico, *.cur)", u"*.bmp;*.ico;*.cur"}));
  EXPECT_EQ(open.back(), (std::pair<std::u16string, std::u16string>{u"すべてのファイル (*.*)", u"*.*"}));

  std::vector<std::u16string> save;
  for (const auto& [text, pattern] : build_file_filter(true)) save.push_back(pattern);
  EXPECT_EQ(save, (std::vector<std::u16string>{u"*.bmp;*.ico;*.cur", u"*.dds", u"*.fnt", u"*.jpg;*.jpeg", u"*.pcx",
                                               u"*.pic", u"*.png", u"*.sgi;*.rgb;*.rgba;*.bw", u"*.tga",
                                               u"*.tif"}));
}

TEST(Registry, SaveOptionsAndPixelFormats) {
  struct Case {
    int32_t format, count, default_index;
    uint32_t flags;
  };
  const Case cases[] = {{kFormatBmp, 7, 6, 0},         {kFormatDds, 9, 8, 0},   {kFormatJpeg, 3, 1, 0x1000000},
                        {kFormatPcx, 1, 0, 0},         {kFormatPng, 2, 1, 0},   {kFormatPic, 2, 1, 0x300000},
                        {kFormatSgi, 3, 2, 0},         {kFormatTga, 4, 3, 0},   {kFormatTiff, 3, 2, 0},
                        {kFormatFnt, 1, 0, 0},         {kFormatJab, 0, 0, 0},   {kFormatPsd, 0, -1, 0},
                        {3, 0, -1, 0},                 {-1, 0, -1, 0}};
  for (const Case& c : cases) {
    SaveOptions o = format_save_options(c.format);
    EXPECT_EQ(o.count, c.count) << c.format;
    EXPECT_EQ(o.default_index, c.default_index) << c.format;
    EXPECT_EQ(o.flags, c.flags) << c.format;
  }
  EXPECT_STREQ(format_pixel_format(kFormatBmp, 2).first, "5:6:5 RGB (16 bit)");
  EXPECT_EQ(format_pixel_format(kFormatDds, 2).second, 16);
  EXPECT_STREQ(format_pixel_format(kFormatJab, 0).first, "8:8:8:8 RGB (32 bit)");
  EXPECT_EQ(format_pixel_format(kFormatPsd, 0).first, nullptr);
  EXPECT_EQ(format_pixel_format(kFormatTiff, 3).first, nullptr);
}

TEST(Registry, PixelFormatForAlphaEveryRow) {
  struct Row {
    int32_t format;
    std::vector<int32_t> with, without;  // results for stored indices 0, 1, …
  };
  const Row rows[] = {
      {kFormatBmp, {1, 1, 1, 4, 4, 6, 6}, {0, 0, 2, 3, 3, 5, 5}},
      {kFormatDds, {2, 1, 2, 3, 4, 4, 4, 8, 8}, {0, 1, 0, 6, 6, 5, 6, 7, 7}},
      {kFormatPng, {1, 1}, {0, 0}},
      {kFormatPic, {1, 1}, {0, 0}},
      {kFormatSgi, {2, 2, 2}, {0, 1, 1}},
      {kFormatTga, {3, 3, 3, 3}, {0, 1, 2, 2}},
      {kFormatTiff, {2, 2, 2}, {0, 1, 1}},
      {kFormatJpeg, {0, 1, 2}, {0, 1, 2}},
      {kFormatPcx, {0}, {0}},
      {kFormatFnt, {0}, {0}},
  };
  for (const Row& r : rows) {
    for (size_t i = 0; i < r.with.size(); ++i) {
      ImageInfo info;
      info.format = r.format;
      info.pixel_format = static_cast<int32_t>(i);
      EXPECT_EQ(pixel_format_for_alpha(info, true), r.with[i]) << r.format << " " << i;
      EXPECT_EQ(pixel_format_for_alpha(info, false), r.without[i]) << r.format << " " << i;
    }
  }
  ImageInfo palette;
  palette.format = kFormatBmp;  // palette images keep −1: not writable as they are
  EXPECT_EQ(pixel_format_for_alpha(palette, true), -1);
  palette.pixel_format = 12;
  EXPECT_EQ(pixel_format_for_alpha(palette, false), 12);
  ImageInfo jab;
  jab.format = kFormatJab;
  jab.pixel_format = 5;
  EXPECT_EQ(pixel_format_for_alpha(jab, true), 0);
  ImageInfo none;
  none.pixel_format = 3;
  EXPECT_EQ(pixel_format_for_alpha(none, false), -1);
}

TEST(Registry, ExtensionLists) {
  EXPECT_EQ(format_extensions(kFormatSgi, -1), "*.sgi;*.rgb;*.rgba;*.bw");
  EXPECT_EQ(format_extensions(kFormatSgi, 2), "*.rgba");
  EXPECT_EQ(format_extensions(kFormatSgi, 4), "");
  EXPECT_EQ(format_extensions(kFormatBmp, 1), "*.ico");
  EXPECT_EQ(format_extensions(13, 0), "");
  EXPECT_STREQ(extension_entry(0), "*.bmp");
  EXPECT_STREQ(extension_entry(7), "*.jpeg");
  EXPECT_STREQ(extension_entry(17), "*.tif");
  EXPECT_STREQ(extension_entry(18), "");
  EXPECT_EQ(extension_entry_format(15), kFormatSgi);
}

TEST(Registry, NothingAcceptsRandomBytesAndSavesNeedAPathAndAWriter) {
  std::vector<uint8_t> noise(4096);
  uint32_t x = 12345;
  for (auto& b : noise) b = static_cast<uint8_t>((x = x * 1103515245u + 12345u) >> 24);
  ImageFile f = image_file_create(true);
  EXPECT_EQ(image_probe_memory(f, noise), 1);
  EXPECT_EQ(f.format, kFormatNone);
  for (const auto& s : f.states) EXPECT_EQ(s, nullptr);

  std::vector<uint32_t> px(4, 0xFF00FF00u);
  SaveRequest r;
  r.format = kFormatBmp;
  r.pixel_format = 5;
  EXPECT_EQ(image_save(px, 2, 2, r), 1);  // empty path
  r.path = u"/nonexistent-dir-for-tesmo/x.psd";
  r.format = kFormatPsd;
  EXPECT_EQ(image_save(px, 2, 2, r), 1);
  r.format = 3;
  EXPECT_EQ(image_save(px, 2, 2, r), 1);
}

TEST(Registry, TextsAreCutWithoutSplittingCharacters) {
  EXPECT_EQ(fit_text("abcdef", 4), "abc");
  std::string sjis = utf16_to_cp932(u"あいう");  // six bytes
  EXPECT_EQ(fit_text(sjis, 4), sjis.substr(0, 2));
  EXPECT_EQ(fit_text(sjis, 7), sjis);
  EXPECT_EQ(fit_text("x", 0), "");
}

}  // namespace
}  // namespace tesmo

namespace tesmo {
namespace {

TEST(Registry, SaveAsPicksTheFormatFromTheTypedExtension) {
  const std::pair<std::u16string, int32_t> cases[] = {
      {u"/a/b.PNG", kFormatPng},  {u"x.jpeg", kFormatJpeg}, {u"x.Tif", kFormatTiff}, {u"x.rgba", kFormatSgi},
      {u"x.ico", kFormatBmp},     {u"x.psd", kFormatBmp},   {u"x.jab", kFormatBmp},   {u"noext", kFormatBmp},
      {u"dir.png/x", kFormatBmp}, {u"x.tiff", kFormatBmp},  {u"x.fnt", kFormatFnt},   {u"x.pic", kFormatPic},
  };
  for (const auto& [name, format] : cases) EXPECT_EQ(format_for_file_name(name), format);
}

}  // namespace
}  // namespace tesmo
