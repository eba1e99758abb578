// `tesmo steps`, `tesmo batch` and `tesmo edit`, run in-process as a script would run them.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/path.h"
#include "edit/batch_steps.h"
#include "edit/batch_text.h"
#include "edit/effects.h"
#include "formats/registry.h"
#include "temp_folder.h"
#include "tests/cli/run_tesmo.h"

namespace tesmo {
namespace {

namespace fs = std::filesystem;
using testing::tesmo_run;

std::string utf8(const fs::path& p) { return p.string(); }

// A w × h picture with a gradient and varying alpha, written as `format`.
void write_picture(const fs::path& path, int32_t format, int32_t pixel_format, int w = 24, int h = 18) {
  std::vector<uint32_t> pixels;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) pixels.push_back(static_cast<uint32_t>((x * 10) | (y * 14) << 8 | (x + y) * 6 << 16 | (x * 9) << 24));
  }
  SaveRequest r;
  r.path = from_fs_path(path);
  r.format = format;
  r.pixel_format = pixel_format;
  r.quality = 90;
  ASSERT_EQ(image_save(pixels, w, h, r), 0) << path;
}

std::map<std::string, std::vector<uint8_t>> folder_bytes(const fs::path& folder) {
  std::map<std::string, std::vector<uint8_t>> out;
  for (const auto& e : fs::recursive_directory_iterator(folder)) {
    if (e.is_regular_file()) out[e.path().lexically_relative(folder).string()] = *read_file(from_fs_path(e.path()));
  }
  return out;
}

void write_text(const fs::path& path, const std::string& text) {
  ASSERT_EQ(file_replace(from_fs_path(path), std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size())), 0);
}

// A line for every operation with values away from the dialog's starting ones where it takes any.
std::string every_operation_text() {
  std::string text =
      "save format=jpeg quality=85\n"
      "resize width=320 height=240 filter=lanczos3\n"
      "canvas width=40 height=30 align-x=4 align-y=2 anchor-x=1 anchor-y=2\n"
      "crop x=2 y=3 width=10 height=9\n"
      "trim sides=0x10F colour=0x123456\n"
      "rotate-left\nrotate-180\nrotate-right\nflip-left-right\nflip-top-bottom\n"
      "rotate angle=-45\n"
      "connect target=1 path=\"/tmp/a b/c\" sides=8\n"
      "divide tile-width=16 tile-height=8 bits=32 limit-x=2 limit-y=3\n"
      "alpha-new\nalpha-delete\n"
      "αチャンネル操作 - インポート path=\"/tmp/アルファ.bmp\"\n"
      "alpha-swap-rgb\nalpha-invert\n"
      "lossless choice=5\n";
  for (int e = 0; e < kEffectCount; ++e) {
    text += "effect " + std::to_string(e);
    for (int k = 0; k < 4; ++k) {
      const ParamDescriptor& row = initial_effect(e).params[static_cast<size_t>(k)];
      if (std::u16string_view(row.label) != u"-") text += " p" + std::to_string(k + 1) + "=" + std::to_string(row.max);
    }
    text += "\n";
  }
  return text;
}

class BatchCommands : public ::testing::Test {
 protected:
  testing::TempFolder temp;
  fs::path at(const char* name) const { return temp.path() / name; }
};

// make → show → make gives the same bytes for every operation, and the steps are the ones written.
TEST_F(BatchCommands, StepTextRoundTripsEveryOperation) {
  write_text(at("all.txt"), every_operation_text());
  ASSERT_EQ(tesmo_run({"steps", "make", utf8(at("all.txt")), utf8(at("all.batch"))}).code, 0);
  const auto first = *read_file(from_fs_path(at("all.batch")));
  const auto steps = read_batch_file(first);
  ASSERT_TRUE(steps);
  ASSERT_EQ(steps->size(), static_cast<size_t>(kBatchOperationCount));
  for (int32_t op = 0; op < kBatchOperationCount; ++op) EXPECT_EQ((*steps)[static_cast<size_t>(op)].operation, op);
  EXPECT_EQ((*steps)[0].field(0), kFormatJpeg);
  EXPECT_EQ((*steps)[0].field(4), 85);
  EXPECT_EQ((*steps)[4].field(0), 0x10F);
  EXPECT_EQ((*steps)[15].text(0, 260), u"/tmp/アルファ.bmp");

  const testing::Outcome shown = tesmo_run({"steps", "show", utf8(at("all.batch"))});
  ASSERT_EQ(shown.code, 0) << shown.err;
  write_text(at("shown.txt"), shown.out);
  ASSERT_EQ(tesmo_run({"steps", "make", utf8(at("shown.txt")), utf8(at("again.batch"))}).code, 0);
  EXPECT_EQ(*read_file(from_fs_path(at("again.batch"))), first);
}

TEST_F(BatchCommands, StepTextErrorsNameTheLineAndTheWord) {
  const struct {
    std::string text, error;
  } cases[] = {
      {"resize width=10\nsharpen p1=3\n", "line 2: unknown operation \"sharpen\""},
      {"# comment\n\nresize size=3\n", "line 3: unknown key \"size\""},
      {"canvas anchor-x=3\n", "line 1: value \"3\" of \"anchor-x\""},
      {"effect 35\n", "line 1: effect \"35\""},
      {"save format=png pixel-format=9\n", "line 1: pixel-format 9"},
  };
  for (const auto& c : cases) {
    write_text(at("bad.txt"), c.text);
    const testing::Outcome r = tesmo_run({"steps", "make", utf8(at("bad.txt")), utf8(at("bad.batch"))});
    EXPECT_EQ(r.code, 1) << c.text;
    EXPECT_NE(r.err.find(c.error), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(at("bad.batch")));
  }
}

// --out writes every result (and the divided tiles) under DIR by its relative path and leaves the
// folder as it was; in place the same results replace the pictures.
TEST_F(BatchCommands, OutKeepsTheFolderAndInPlaceReplacesThePictures) {
  fs::create_directories(at("in/sub"));
  write_picture(at("in/a.bmp"), kFormatBmp, 5);
  write_picture(at("in/sub/b.bmp"), kFormatBmp, 5);
  write_text(at("s.txt"), "rotate-left\ndivide tile-width=10 tile-height=10\nsave format=bmp\n");
  const auto before = folder_bytes(at("in"));
  const testing::Outcome r = tesmo_run({"batch", utf8(at("s.txt")), utf8(at("in")), "--recurse", "--ext", "*.bmp",
                                        "--out", utf8(at("out")), "--jobs", "2"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(folder_bytes(at("in")) == before) << "the folder was changed";
  const auto out = folder_bytes(at("out"));
  ASSERT_TRUE(out.count("a.bmp") && out.count("sub/b.bmp") && out.count("a_00.bmp") && out.count("sub/b_05.bmp"));

  ASSERT_EQ(tesmo_run({"batch", utf8(at("s.txt")), utf8(at("in")), "--recurse", "--ext", "*.bmp"}).code, 0);
  const auto in_place = folder_bytes(at("in"));
  EXPECT_EQ(in_place.at("a.bmp"), out.at("a.bmp"));
  EXPECT_EQ(in_place.at("sub/b.bmp"), out.at("sub/b.bmp"));
}

// A picture that does not open and one whose step fails are reported with their reasons; the
// pictures around them are done; the run ends with 1.
TEST_F(BatchCommands, FailingPicturesAreReportedAndTheRunGoesOn) {
  fs::create_directories(at("in"));
  write_picture(at("in/a.bmp"), kFormatBmp, 5);
  write_text(at("in/b.bmp"), "not a picture");
  write_picture(at("in/c.bmp"), kFormatBmp, 5, 4, 4);
  write_picture(at("in/d.bmp"), kFormatBmp, 5);
  write_text(at("s.txt"), "crop x=0 y=0 width=8 height=8\nsave format=png\n");
  const testing::Outcome r =
      tesmo_run({"batch", utf8(at("s.txt")), utf8(at("in")), "--out", utf8(at("out")), "--jobs", "1"});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("b.bmp: cannot be opened"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("c.bmp: step 1 (crop) failed"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("[4/4]"), std::string::npos) << r.err;
  const auto out = folder_bytes(at("out"));
  EXPECT_TRUE(out.count("a.bmp") && out.count("d.bmp"));
  EXPECT_FALSE(out.count("c.bmp"));  // the failed picture is not saved half done
}

// N workers give the same bytes as one, on a folder of several formats with geometry, effects
// (noise among them), alpha and save steps.
TEST_F(BatchCommands, SeveralJobsGiveTheBytesOfOne) {
  fs::create_directories(at("in"));
  write_picture(at("in/a.bmp"), kFormatBmp, 5);
  write_picture(at("in/b.png"), kFormatPng, 1, 30, 20);
  write_picture(at("in/c.tga"), kFormatTga, 0);
  write_picture(at("in/d.jpg"), kFormatJpeg, 0, 17, 13);
  write_picture(at("in/e.png"), kFormatPng, 1, 9, 31);
  int noise = 0;
  while (effect_name(noise).find(u"ノイズ") == std::u16string::npos) ++noise;
  write_text(at("s.txt"), "resize width=20 height=15 filter=bicubic\nrotate angle=30\neffect " + std::to_string(noise) +
                              "\nalpha-new\nalpha-invert\neffect 3 p1=300\nsave format=png pixel-format=1\n");
  const std::string ext = "*.bmp;*.png;*.tga;*.jpg";
  const testing::Outcome first = tesmo_run({"batch", utf8(at("s.txt")), utf8(at("in")), "--ext", ext, "--out", utf8(at("one")), "--jobs", "1"});
  ASSERT_EQ(first.code, 0) << first.err;
  ASSERT_EQ(tesmo_run({"batch", utf8(at("s.txt")), utf8(at("in")), "--ext", ext, "--out", utf8(at("many")), "--jobs", "3"}).code, 0);
  const auto one = folder_bytes(at("one"));
  EXPECT_EQ(one.size(), 5u);
  const auto many = folder_bytes(at("many"));
  ASSERT_EQ(many.size(), one.size());
  for (const auto& [name, bytes] : one) EXPECT_TRUE(many.at(name) == bytes) << name;
}

}  // namespace
}  // namespace tesmo
