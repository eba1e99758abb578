// The toolbox's image commands, run in-process as a script would run them.
#include <gtest/gtest.h>

#include "base/file_io.h"
#include "base/path.h"
#include "cli/commands.h"
#include "formats/bmp/bmp.h"
#include "formats/jpeg/jpeg.h"
#include "formats/png_tiff/png_tiff.h"
#include "formats/registry.h"
#include "temp_folder.h"
#include "tests/cli/run_tesmo.h"
#include "tests/formats/damaged_files.h"

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

// A picture whose data is damaged or ends before the last row is not converted: exit 1, the
// library's or reader's reason, no output file. Damage after the last row's data is not a fault.
TEST_F(ImageCommands, ConvertRefusesPicturesThatAreNotWhole) {
  const std::vector<uint8_t> png = testing::noise_png();
  const std::vector<uint8_t> jpeg = testing::noise_jpeg();
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    int code;
    const char* reason;  // part of the printed reason
  };
  const Case cases[] = {
      {"cut.png", testing::cut_inside_idat(png), 1, "PNG: "},
      {"zlib.png", testing::bad_deflate_block(png), 1, "PNG: "},
      {"crc.png", testing::bad_idat_crc(png), 1, "CRC"},
      {"cut.jpg", testing::cut_inside_scan(jpeg), 1, "JPEG: the coded data ends before the last row"},
      {"no_iend.png", testing::without_iend(png), 0, ""},
      {"no_eoi.jpg", std::vector<uint8_t>(jpeg.begin(), jpeg.end() - 2), 0, ""},
      {"tail.jpg", testing::with_tail(jpeg), 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::u16string in = tmp.file(c.name), out = tmp.file((std::string(c.name) + ".bmp").c_str());
    ASSERT_EQ(file_replace(in, c.bytes), 0);
    testing::Outcome o = testing::tesmo_run({"convert", utf8(in), utf8(out)});
    EXPECT_EQ(o.code, c.code) << o.err;
    EXPECT_EQ(file_exists(out), c.code == 0);
    EXPECT_NE(o.err.find(c.reason), std::string::npos) << o.err;
  }
}

// Every refusal names its reason, as the reader that found it words it.
TEST_F(ImageCommands, RefusalsSayWhy) {
  ASSERT_EQ(file_replace(tmp.file("short.bmp"), std::vector<uint8_t>{'B', 'M', 0, 0}), 0);
  ASSERT_EQ(file_replace(tmp.file("short.dds"), std::vector<uint8_t>{'D', 'D', 'S', ' ', 124, 0}), 0);
  ASSERT_EQ(file_replace(tmp.file("text.png"), std::vector<uint8_t>(40, 'x')), 0);
  const std::pair<std::u16string, const char*> cases[] = {
      {tmp.file("missing.png"), "missing.png: no such file"},
      {tmp.file("short.bmp"), "short.bmp: BMP: truncated header"},
      {tmp.file("short.dds"), "short.dds: DDS: truncated header"},
      {tmp.file("text.png"), "text.png: not a picture any reader recognises"},
      {tmp.folder(), "a folder, not a file"},
  };
  for (const auto& [path, reason] : cases) {
    for (const char* command : {"info", "convert"}) {
      std::vector<std::string> args{command, utf8(path)};
      if (std::string(command) == "convert") args.push_back(utf8(tmp.file("out.bmp")));
      testing::Outcome o = testing::tesmo_run(args);
      EXPECT_EQ(o.code, 1);
      EXPECT_NE(o.err.find(reason), std::string::npos) << o.err;
    }
  }
}

}  // namespace
}  // namespace tesmo
