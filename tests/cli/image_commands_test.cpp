// The toolbox's image commands, run in-process as a script would run them.
#include <gtest/gtest.h>

#include "base/file_io.h"
#include "base/path.h"
#include "cli/commands.h"
#include "formats/bmp/bmp.h"
#include "formats/registry.h"
#include "temp_folder.h"

namespace tesmo {
namespace {

int tesmo(std::vector<std::string> args) {
  args.insert(args.begin(), "tesmo");
  std::vector<const char*> argv;
  for (const auto& a : args) argv.push_back(a.c_str());
  return cli::run(static_cast<int>(argv.size()), argv.data());
}

std::string utf8(const std::u16string& s) { return to_fs_path(s).string(); }

class ImageCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 12; ++i) pixels.push_back(0x80000000u | static_cast<uint32_t>(i * 0x0A0B0C));
    ASSERT_EQ(file_replace(tmp.file("in.bmp"), bmp::encode(pixels, 4, 3, 6)), 0);
  }
  std::vector<uint32_t> decode(const std::u16string& path, ImageInfo& info) {
    ImageFile f = image_file_create(false);
    if (image_probe(f, path) != 0) return {};
    info = f.info;
    std::vector<uint32_t> out(static_cast<size_t>(info.width) * info.height);
    image_decode(f, out);
    return out;
  }
  testing::TempFolder tmp;
  std::vector<uint32_t> pixels;
};

TEST_F(ImageCommands, InfoPrintsEveryFieldInOrder) {
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(tesmo({"info", utf8(tmp.file("in.bmp"))}), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "format: 1\npixel_format: 6\ncolour_model: 3\nwidth: 4\nheight: 3\nbits: 32\nchannels: 4\n"
            "has_alpha: 1\nformat_name: BMP\nextensions: *.bmp\npixel_text: 8:8:8:8 ARGB (32 bit)\n"
            "compression_text: \nextra_text: \nimage_count: 0\n");
  EXPECT_EQ(tesmo({"info", utf8(tmp.file("missing"))}), 1);
  EXPECT_EQ(tesmo({"info"}), 2);
}

TEST_F(ImageCommands, ConvertPicksTheLayoutAndKeepsThePixels) {
  // 32-bit BMP: written exactly.
  EXPECT_EQ(tesmo({"convert", utf8(tmp.file("in.bmp")), utf8(tmp.file("out.bmp")), "--format", "1",
                   "--pixel-format", "6"}),
            0);
  ImageInfo info;
  EXPECT_EQ(decode(tmp.file("out.bmp"), info), pixels);
  // Default layout of a .bmp target is the format's default (32-bit); 24-bit drops alpha to 255.
  EXPECT_EQ(tesmo({"convert", utf8(tmp.file("in.bmp")), utf8(tmp.file("rgb.bmp")), "--pixel-format", "5"}), 0);
  std::vector<uint32_t> rgb = decode(tmp.file("rgb.bmp"), info);
  ASSERT_EQ(rgb.size(), pixels.size());
  EXPECT_EQ(info.bits, 24);
  for (size_t i = 0; i < rgb.size(); ++i) EXPECT_EQ(rgb[i], pixels[i] | 0xFF000000u);
  // Failures: unknown reader, unwritable format, usage.
  EXPECT_EQ(tesmo({"convert", utf8(tmp.file("missing")), utf8(tmp.file("x.bmp"))}), 1);
  EXPECT_EQ(tesmo({"convert", utf8(tmp.file("in.bmp")), utf8(tmp.file("x.bmp")), "--pixel-format", "7"}), 1);
  EXPECT_FALSE(file_exists(tmp.file("x.bmp")));
  EXPECT_EQ(tesmo({"convert", utf8(tmp.file("in.bmp"))}), 2);
  EXPECT_EQ(tesmo({"convert", "a", "b", "--bogus", "1"}), 2);
}

TEST_F(ImageCommands, BenchDecodePrintsAMedian) {
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(tesmo({"bench", "decode", utf8(tmp.file("in.bmp")), "--repeat", "3"}), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStdout().rfind("decode_ms_median: ", 0), 0u);
  EXPECT_EQ(tesmo({"bench", "decode", utf8(tmp.file("in.bmp")), "--repeat", "0"}), 2);
  EXPECT_EQ(tesmo({"bench", "nothing"}), 2);
}

}  // namespace
}  // namespace tesmo
