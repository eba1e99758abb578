// The toolbox's compositor commands, run in-process as a script would run them.
#include <gtest/gtest.h>

#include <array>

#include "base/file_io.h"
#include "base/path.h"
#include "cli/commands.h"
#include "formats/bmp/bmp.h"
#include "formats/registry.h"
#include "surface/compositor.h"
#include "temp_folder.h"

namespace tesmo {
namespace {

using Pixels = std::vector<uint32_t>;

int tesmo(std::vector<std::string> args) {
  args.insert(args.begin(), "tesmo");
  std::vector<const char*> argv;
  for (const auto& a : args) argv.push_back(a.c_str());
  return cli::run(static_cast<int>(argv.size()), argv.data());
}

class CompositorCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    for (uint32_t i = 0; i < 12; ++i) src.push_back(0x80000000u | (i * 0x0A0B0C));
    write("in.bmp", src, 4, 3);
  }
  void write(const char* name, const Pixels& px, int32_t w, int32_t h) {
    ASSERT_EQ(file_replace(tmp.file(name), bmp::encode(px, w, h, 6)), 0);
  }
  std::string path(const char* name) { return to_fs_path(tmp.file(name)).string(); }
  // The decoded picture and its size.
  Pixels read(const char* name, int32_t& w, int32_t& h) {
    ImageFile f = image_file_create(false);
    if (image_probe(f, tmp.file(name)) != 0) return {};
    w = f.info.width;
    h = f.info.height;
    Pixels out(static_cast<size_t>(w) * h);
    image_decode(f, out);
    return out;
  }
  testing::TempFolder tmp;
  Pixels src;  // 4 × 3
};

TEST_F(CompositorCommands, ScaleWritesTheScaledPicture) {
  int32_t w = 0, h = 0;
  ASSERT_EQ(tesmo({"scale", path("in.bmp"), path("out.bmp"), "8", "6", "0"}), 0);
  Pixels out = read("out.bmp", w, h);
  ASSERT_EQ(w, 8);
  ASSERT_EQ(h, 6);
  for (int32_t y = 0; y < 6; ++y) {
    for (int32_t x = 0; x < 8; ++x) ASSERT_EQ(out[y * 8 + x], src[(y / 2) * 4 + x / 2]) << x << "," << y;
  }
  // Keep aspect: 8 × 3 from 4 × 3 keeps the height, so the width shrinks to 4; the rest stays clear.
  ASSERT_EQ(tesmo({"scale", path("in.bmp"), path("aspect.bmp"), "8", "3", "2"}), 0);
  out = read("aspect.bmp", w, h);
  for (int32_t y = 0; y < 3; ++y) {
    for (int32_t x = 0; x < 8; ++x) ASSERT_EQ(out[y * 8 + x], x < 4 ? src[y * 4 + x] : 0u) << x << "," << y;
  }
  // Centred in 9 × 7: sizes round down to 8 × 6, placed at (0, 1).
  ASSERT_EQ(tesmo({"scale", path("in.bmp"), path("centre.bmp"), "9", "7", "1"}), 0);
  out = read("centre.bmp", w, h);
  for (int32_t y = 0; y < 7; ++y) {
    for (int32_t x = 0; x < 9; ++x) {
      const bool drawn = x < 8 && y >= 1;
      ASSERT_EQ(out[y * 9 + x], drawn ? src[((y - 1) / 2) * 4 + x / 2] : 0u) << x << "," << y;
    }
  }
}

// A word with several filter bits is the blit's to resolve: bilinear before bicubic before the
// Lanczos filters; Type F alone scales as nearest neighbour.
TEST_F(CompositorCommands, ScaleTakesEveryFilterWordTheBlitTakes) {
  const std::pair<const char*, const char*> same[] = {
      {"48", "16"}, {"240", "16"}, {"96", "32"}, {"192", "64"}, {"256", "0"}, {"51", "19"}, {"384", "128"}};
  for (const auto& [word, resolved] : same) {
    SCOPED_TRACE(word);
    ASSERT_EQ(tesmo({"scale", path("in.bmp"), path("word.bmp"), "11", "7", word}), 0);
    ASSERT_EQ(tesmo({"scale", path("in.bmp"), path("one.bmp"), "11", "7", resolved}), 0);
    int32_t w = 0, h = 0;
    EXPECT_EQ(read("word.bmp", w, h), read("one.bmp", w, h));
  }
}

TEST_F(CompositorCommands, ScaleRejectsBadArguments) {
  EXPECT_EQ(tesmo({"scale", path("in.bmp"), path("x.bmp"), "8", "6", "4"}), 2);
  EXPECT_EQ(tesmo({"scale", path("in.bmp"), path("x.bmp"), "8", "6", "512"}), 2);
  EXPECT_EQ(tesmo({"scale", path("in.bmp"), path("x.bmp"), "8", "6", "-16"}), 2);
  EXPECT_EQ(tesmo({"scale", path("in.bmp"), path("x.bmp"), "0", "6", "0"}), 2);
  EXPECT_EQ(tesmo({"scale", path("in.bmp"), path("x.bmp"), "8", "six", "0"}), 2);
  EXPECT_EQ(tesmo({"scale", path("in.bmp"), path("x.bmp"), "8", "6"}), 2);
  EXPECT_EQ(tesmo({"scale", path("missing.bmp"), path("x.bmp"), "8", "6", "16"}), 1);
  EXPECT_FALSE(file_exists(tmp.file("x.bmp")));
}

TEST_F(CompositorCommands, OpRunsOneOperationOverTheWholePicture) {
  int32_t w = 0, h = 0;
  ASSERT_EQ(tesmo({"op", path("in.bmp"), path("neg.bmp"), "28", "0", "0", "0", "0"}), 0);
  Pixels out = read("neg.bmp", w, h);
  ASSERT_EQ(out.size(), src.size());
  for (size_t i = 0; i < src.size(); ++i) EXPECT_EQ(out[i], src[i] ^ 0x00FFFFFFu);
  // A quarter turn to the left into a 3 × 4 destination: source (j, i) → (i, 3 − j).
  ASSERT_EQ(tesmo({"op", path("in.bmp"), path("turn.bmp"), "35", "90", "0", "0", "0"}), 0);
  out = read("turn.bmp", w, h);
  ASSERT_EQ(w, 3);
  ASSERT_EQ(h, 4);
  for (int32_t i = 0; i < 3; ++i) {
    for (int32_t j = 0; j < 4; ++j) EXPECT_EQ(out[(3 - j) * 3 + i], src[i * 4 + j]);
  }
  // A fill with the clip flag, onto a given destination.
  write("grey.bmp", Pixels(12, 0xFF808080u), 4, 3);
  ASSERT_EQ(tesmo({"op", path("in.bmp"), path("fill.bmp"), "19", "1", "2", "3", "0x40", "--dst", path("grey.bmp"),
                   "--clip"}),
            0);
  EXPECT_EQ(read("fill.bmp", w, h), Pixels(12, 0x40010203u));
}

// The filter and geometric operations run over the whole picture at (0, 0) in both surfaces, into a
// copy of the source, as a blit in the table does.
TEST_F(CompositorCommands, OpRunsTheFilterAndGeometricOperations) {
  struct Run {
    int32_t code, p1, p2, p3, p4;
  };
  const Run runs[] = {{kOpBlur, 50, 1, 0, 0},      {kOpDisplace, 100, 100, 0, 0}, {kOpEdgeDetect, 3, 2, 0, 0},
                      {kOpFilter, 0, 0, 0, 0},     {kOpLens, 0, 0, 0, 0},         {kOpMosaic, 2, 0, 0, 0},
                      {kOpPolar, 2, 1, 0, 0},      {kOpRaster, 0, 2, 10, 0},      {kOpSharpen, 300, 0, 0, 0},
                      {kOpAlphaRaster, 1, 2, 10, 0}, {kOpAlphaRotate, 4500, 2, 1, 0}};
  for (const Run& r : runs) {
    SurfaceTable t(1);
    surface_create(t, 1, 4, 3);
    std::copy(src.begin(), src.end(), surface_find(t, 1)->pixels());
    surface_duplicate(t, 3, 1);
    blit(t, 3, 1, static_cast<uint32_t>(r.code),
         {.width = 4, .height = 3, .param1 = r.p1, .param2 = r.p2, .param3 = r.p3, .param4 = r.p4});
    const Surface& want = *surface_find(t, 3);
    ASSERT_EQ(tesmo({"op", path("in.bmp"), path("out.bmp"), std::to_string(r.code), std::to_string(r.p1),
                     std::to_string(r.p2), std::to_string(r.p3), std::to_string(r.p4)}),
              0)
        << r.code;
    int32_t w = 0, h = 0;
    EXPECT_EQ(read("out.bmp", w, h), Pixels(want.pixels(), want.pixels() + 12)) << r.code;
  }
}

TEST_F(CompositorCommands, OpRejectsScalingCodesOutOfRangeCodesAndMismatchedDestinations) {
  write("small.bmp", Pixels(4, 0), 2, 2);
  EXPECT_EQ(tesmo({"op", path("in.bmp"), path("x.bmp"), "36", "8", "6", "0", "0"}), 2);
  EXPECT_EQ(tesmo({"op", path("in.bmp"), path("x.bmp"), "51", "8", "6", "0", "0"}), 2);
  EXPECT_EQ(tesmo({"op", path("in.bmp"), path("x.bmp"), "63", "0", "0", "0", "0"}), 2);
  EXPECT_EQ(tesmo({"op", path("in.bmp"), path("x.bmp"), "-1", "0", "0", "0", "0"}), 2);
  EXPECT_EQ(tesmo({"op", path("in.bmp"), path("x.bmp"), "0", "0", "0", "0"}), 2);
  EXPECT_EQ(tesmo({"op", path("in.bmp"), path("x.bmp"), "0", "0", "0", "0", "0", "--dst", path("small.bmp")}), 1);
  EXPECT_EQ(tesmo({"op", path("missing.bmp"), path("x.bmp"), "0", "0", "0", "0", "0"}), 1);
  EXPECT_FALSE(file_exists(tmp.file("x.bmp")));
}

TEST_F(CompositorCommands, BenchZoomPrintsAMedian) {
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(tesmo({"bench", "zoom", path("in.bmp"), "16", "12", "16", "--repeat", "3"}), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStdout().rfind("zoom_ms_median: ", 0), 0u);
  EXPECT_EQ(tesmo({"bench", "zoom", path("in.bmp"), "16", "12", "5"}), 2);
  EXPECT_EQ(tesmo({"bench", "zoom", path("in.bmp"), "16", "12", "0", "--repeat", "0"}), 2);
}

}  // namespace
}  // namespace tesmo

namespace tesmo {
namespace {

// `tesmo effect`: the effect's op with the parameters as given; bad indices are usage errors.
TEST_F(CompositorCommands, EffectRunsTheMappedOperation) {
  EXPECT_EQ(tesmo({"effect", path("in.bmp"), path("out.bmp"), "35", "0", "0", "0", "0"}), 2);
  EXPECT_EQ(tesmo({"effect", path("in.bmp"), path("out.bmp"), "-1", "0", "0", "0", "0"}), 2);
  EXPECT_EQ(tesmo({"effect", path("missing.bmp"), path("out.bmp"), "7", "0", "0", "0", "0"}), 1);
  int32_t w = 0, h = 0;
  // Negative (index 7): every colour inverted.
  ASSERT_EQ(tesmo({"effect", path("in.bmp"), path("neg.bmp"), "7", "0", "0", "0", "0"}), 0);
  Pixels neg = read("neg.bmp", w, h);
  ASSERT_EQ(neg.size(), src.size());
  for (size_t i = 0; i < src.size(); ++i) EXPECT_EQ(neg[i] & 0xFFFFFFu, ~src[i] & 0xFFFFFFu) << i;
  // Brightness (index 0) is op 18 with P1–P3 as the per-channel offsets.
  ASSERT_EQ(tesmo({"effect", path("in.bmp"), path("bright.bmp"), "0", "100", "-20", "200", "0"}), 0);
  Pixels bright = read("bright.bmp", w, h);
  ASSERT_EQ(bright.size(), src.size());
  for (size_t i = 0; i < src.size(); ++i) {
    const int r = std::min(255, static_cast<int>((src[i] >> 16) & 0xFF) + 100);
    const int g = std::max(0, static_cast<int>((src[i] >> 8) & 0xFF) - 20);
    const int b = std::min(255, static_cast<int>(src[i] & 0xFF) + 200);
    EXPECT_EQ(bright[i] & 0xFFFFFFu, static_cast<uint32_t>(r << 16 | g << 8 | b)) << i;
  }
}

// Parameters the effect cannot take are clamped as the dialog clamps them, after its adjustments
// to the picture's size: each run gives exactly the picture of the clamped values.
TEST_F(CompositorCommands, EffectClampsParametersAsTheDialogDoes) {
  Pixels noisy;
  for (uint32_t i = 0; i < 20 * 12; ++i) noisy.push_back(0xFF000000u | (i * 0x9E3779B1u >> 8));
  write("noisy.bmp", noisy, 20, 12);
  struct Case {
    const char* index;
    std::array<const char*, 4> given, clamped;
  };
  const Case cases[] = {
      {"6", {"3", "1", "9", "-4"}, {"0", "0", "0", "0"}},       // grey scale: its defaults
      {"7", {"3", "0", "0", "0"}, {"0", "0", "0", "0"}},        // negative: its defaults
      {"3", {"300", "2", "0", "0"}, {"300", "1", "0", "0"}},    // sharpness type 0–1
      {"9", {"1", "0", "0", "0"}, {"2", "0", "0", "0"}},        // posterize: at least 2 levels
      {"11", {"240", "200", "145", "3"}, {"240", "200", "145", "0"}},  // sepia has no P4
      {"22", {"7", "1", "0", "0"}, {"6", "1", "0", "0"}},       // edge type 0–6
      {"23", {"1", "0", "0", "0"}, {"0", "0", "0", "0"}},       // one filter type
      {"20", {"100", "0", "0", "0"}, {"20", "0", "0", "0"}},    // mosaic: at most the width
      {"15", {"50", "90", "0", "0"}, {"20", "12", "0", "0"}},   // polar centre inside the picture
      {"18", {"9", "9", "9", "32"}, {"9", "9", "9", "6"}},      // frame: half the shorter side
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    auto run = [&](const char* out, const std::array<const char*, 4>& p) {
      return tesmo({"effect", path("noisy.bmp"), path(out), c.index, p[0], p[1], p[2], p[3]});
    };
    ASSERT_EQ(run("given.bmp", c.given), 0);
    ASSERT_EQ(run("clamped.bmp", c.clamped), 0);
    int32_t w = 0, h = 0;
    const Pixels given = read("given.bmp", w, h), clamped = read("clamped.bmp", w, h);
    EXPECT_EQ(given, clamped);
  }
}

// The 3 × 3 filters leave the picture's outermost rows and columns to the work surface, which
// starts as the background: the border is that one colour, the same on every run.
TEST_F(CompositorCommands, FilterBordersShowTheBackground) {
  Pixels noisy;
  for (uint32_t i = 0; i < 20 * 12; ++i) noisy.push_back(0xFF000000u | (i * 0x9E3779B1u >> 8));
  write("noisy.bmp", noisy, 20, 12);
  for (const char* index : {"22", "23"}) {
    SCOPED_TRACE(index);
    ASSERT_EQ(tesmo({"effect", path("noisy.bmp"), path("out.bmp"), index, "0", "1", "0", "0"}), 0);
    int32_t w = 0, h = 0;
    const Pixels out = read("out.bmp", w, h);
    ASSERT_EQ(out.size(), size_t{20 * 12});
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; x += (y == 0 || y == h - 1) ? 1 : w - 1) EXPECT_EQ(out[y * w + x], out[0]) << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace tesmo
