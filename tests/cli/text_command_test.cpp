// `tesmo text`, run in-process: the saved picture holds the laid-out text under the blend rules.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/path.h"
#include "cli/commands.h"
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

TEST(TextCommand, OutlinedTextIsWhiteOverBlackWithAlphaZeroElsewhere) {
  testing::TempFolder tmp;
  std::string out = utf8(tmp.file("out.bmp"));
  ::testing::internal::CaptureStdout();
  ASSERT_EQ(tesmo({"text", "テスト Tesmo64", out, "--font", "2", "--style", "4"}), 0);
  std::string printed = ::testing::internal::GetCapturedStdout();
  int w = 0, h = 0;
  ASSERT_EQ(std::sscanf(printed.c_str(), "width: %d\nheight: %d\n", &w, &h), 2) << printed;
  EXPECT_GT(w, 60);
  EXPECT_GT(h, 12);

  ImageFile f = image_file_create(false);
  ASSERT_EQ(image_probe(f, tmp.file("out.bmp")), 0);
  EXPECT_EQ(f.info.width, w + 4);  // the outline reaches four pixels past the text
  EXPECT_EQ(f.info.height, h + 4);
  EXPECT_EQ(f.info.bits, 32);
  std::vector<uint32_t> px(static_cast<size_t>(f.info.width) * static_cast<size_t>(f.info.height));
  image_decode(f, px);
  image_file_close(f);
  size_t white = 0, black = 0;
  for (uint32_t p : px) {
    uint32_t b = p & 0xFF, g = (p >> 8) & 0xFF, r = (p >> 16) & 0xFF;
    if (p >> 24 == 0) {
      ASSERT_EQ(p, 0u);  // untouched: still cleared
      continue;
    }
    ASSERT_TRUE(r == g && g == b) << std::hex << p;  // white text blended with black outline
    white += p == 0xFFFFFFFFu;
    black += p == 0xFF000000u;
  }
  EXPECT_GT(white, 20u);
  EXPECT_GT(black, 20u);
}

TEST(TextCommand, SizeOptionsAndBadArguments) {
  testing::TempFolder tmp;
  std::string out = utf8(tmp.file("o.bmp"));
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(tesmo({"text", "a", out, "--width", "33", "--height", "7", "--colour", "0xFF0000"}), 0);
  ::testing::internal::GetCapturedStdout();
  ImageFile f = image_file_create(false);
  ASSERT_EQ(image_probe(f, tmp.file("o.bmp")), 0);
  EXPECT_EQ(f.info.width, 33);
  EXPECT_EQ(f.info.height, 7);
  image_file_close(f);

  const std::vector<std::vector<std::string>> usage = {
      {"text", "a"},
      {"text", "a", out, "--font", "3"},
      {"text", "a", out, "--style", "8"},
      {"text", "a", out, "--blend", "2"},
      {"text", "a", out, "--colour", "0x1000000"},
      {"text", "a", out, "--width", "10"},
      {"text", "a", out, "--width", "0", "--height", "5"},
  };
  for (const auto& args : usage) EXPECT_EQ(tesmo(args), 2) << args.back();
  EXPECT_EQ(tesmo({"text", "a", out + "/x.bmp"}), 1);  // a file in place of a folder
}

}  // namespace
}  // namespace tesmo
