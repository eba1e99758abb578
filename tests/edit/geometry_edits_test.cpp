// The geometry edits through the fake viewer: sizes, offsets and pixels against values worked out
// by hand, the alpha channel carried alike, rejections that leave the picture and the history
// alone, undo, and the files that divide writes.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "app/commands.h"
#include "base/text.h"
#include "resources/command_ids.h"
#include "tests/edit/geometry_fixture.h"

namespace tesmo {
namespace {

using testing::GeometryFixture;
using testing::test_alpha;
using testing::test_colour;

TEST(GeometryArithmetic, AlignmentAnchorsCouplingAndTiles) {
  EXPECT_EQ(round_up_to(101, 8), 104);
  EXPECT_EQ(round_up_to(50, 8), 56);
  EXPECT_EQ(round_up_to(56, 8), 56);
  EXPECT_EQ(round_up_to(7, 1), 7);
  EXPECT_EQ(round_up_to(7, 0), 7);
  EXPECT_EQ(round_up_to(2147483001, 1000), 2147483647);  // held, not wrapped

  struct Anchor { int32_t anchor, new_side, old_side; std::optional<int32_t> offset; };
  const Anchor anchors[] = {{0, 10, 6, 0}, {1, 10, 6, 2}, {2, 10, 6, 4}, {1, 11, 6, 2},
                            {1, 4, 7, -2},  // -3 >> 1: shifted, so rounded down
                            {2, 4, 6, -2},  {3, 10, 6, std::nullopt}, {-1, 10, 6, std::nullopt}};
  for (const Anchor& a : anchors) EXPECT_EQ(anchor_offset(a.anchor, a.new_side, a.old_side), a.offset) << a.anchor;

  EXPECT_EQ(coupled_side(12, 6, 4), 8);     // 4 × 12 / 6
  EXPECT_EQ(coupled_side(10, 6, 4), 6);     // 40 / 6, rounded down
  EXPECT_EQ(coupled_side(32768, 1, 32768), 1073741824);  // 2^30 fits; larger products are held
  EXPECT_EQ(coupled_side(70000, 1, 40000), 2147483647);

  using S = std::vector<TileSpan>;
  EXPECT_EQ(tile_spans(100, 30, 0), (S{{0, 30}, {30, 30}, {60, 30}, {90, 10}}));
  EXPECT_EQ(tile_spans(100, 30, 2), (S{{0, 30}, {30, 70}}));
  EXPECT_EQ(tile_spans(100, 30, 9), (S{{0, 30}, {30, 30}, {60, 30}, {90, 10}}));
  EXPECT_EQ(tile_spans(90, 30, 0), (S{{0, 30}, {30, 30}, {60, 30}}));
  EXPECT_EQ(tile_spans(90, 30, 3), (S{{0, 30}, {30, 30}, {60, 30}}));
  EXPECT_EQ(tile_spans(5, 9, 0), (S{{0, 5}}));
  EXPECT_EQ(tile_spans(5, 2, 1), (S{{0, 5}}));
  EXPECT_EQ(tile_spans(5, 0, 0), S{});
}

TEST(GeometryArithmetic, OrientationSteps) {
  using S = std::vector<OrientationStep>;
  const OrientationStep lr{true, 0}, tb{true, 1}, left{false, 90}, right{false, -90}, half{false, 180};
  const S expected[] = {{}, {}, {lr}, {half}, {tb}, {lr, left}, {right}, {lr, right}, {left}, {}};
  for (int o = 0; o <= 9; ++o) EXPECT_EQ(orientation_steps(o), expected[o]) << o;
}

TEST_F(GeometryFixture, CanvasAlignsAndLeavesTheAddedAreaBlackAndTransparent) {
  open(101, 50, true);
  const CanvasSizeRequest r{101, 50, 8, 8, 0, 0};
  EXPECT_EQ(resize_canvas(app->edit, &r), 0);
  EXPECT_EQ(size(kKeyImage), std::pair(104, 56));
  EXPECT_EQ(size(kKeyAlpha), std::pair(104, 56));
  EXPECT_EQ(app->doc.view().image_width, 104);
  EXPECT_EQ(app->doc.view().decoded_height, 56);
  EXPECT_EQ(app->doc.view().zoom_x, kZoomActual);
  EXPECT_EQ(colour(100, 49), test_colour(100, 49));
  EXPECT_EQ(alpha(100, 49), test_alpha(100, 49, 101));
  EXPECT_EQ(at(kKeyImage, 101, 10), 0u);
  EXPECT_EQ(at(kKeyImage, 3, 50), 0u);
  EXPECT_EQ(at(kKeyAlpha, 103, 55), 0u);
  EXPECT_TRUE(modified());
  EXPECT_EQ(app->doc.edit_history, std::vector<std::u16string>{u"キャンバス サイズ"});
}

TEST_F(GeometryFixture, CanvasAnchorsPlaceTheOldPicture) {
  struct Case { int32_t w, h, column, row, dx, dy; };
  const Case cases[] = {
      {10, 8, 1, 1, 2, 2},    // centre: half the difference
      {10, 8, 2, 2, 4, 4},    // bottom right
      {10, 8, 2, 0, 4, 0},    // top right
      {4, 2, 1, 1, -1, -1},   // smaller, centred: the old picture's middle stays
      {4, 2, 0, 2, 0, -2},    // smaller, bottom left
  };
  for (const Case& c : cases) {
    open(6, 4, false);
    const CanvasSizeRequest r{c.w, c.h, 1, 1, c.column, c.row};
    ASSERT_EQ(resize_canvas(app->edit, &r), 0);
    ASSERT_EQ(size(kKeyImage), std::pair(c.w, c.h));
    for (int y = 0; y < c.h; ++y) {
      for (int x = 0; x < c.w; ++x) {
        const int ox = x - c.dx, oy = y - c.dy;
        const bool inside = ox >= 0 && ox < 6 && oy >= 0 && oy < 4;
        EXPECT_EQ(colour(x, y), inside ? test_colour(ox, oy) : 0u) << c.column << c.row << " " << x << "," << y;
      }
    }
  }
  // Other anchors are refused before the edit: no history, no change; the same size is no edit.
  open(6, 4, false);
  const auto before = pixels(kKeyImage);
  for (const CanvasSizeRequest& r : {CanvasSizeRequest{10, 8, 1, 1, 3, 0}, CanvasSizeRequest{10, 8, 1, 1, 0, -1},
                                     CanvasSizeRequest{0, 8, 1, 1, 0, 0}, CanvasSizeRequest{10, 8, 0, 1, 0, 0}}) {
    EXPECT_EQ(resize_canvas(app->edit, &r), 1);
  }
  const CanvasSizeRequest same{5, 3, 2, 4, 0, 0};  // rounds up to 6 × 4
  EXPECT_EQ(resize_canvas(app->edit, &same), 0);
  EXPECT_EQ(pixels(kKeyImage), before);
  EXPECT_EQ(history(), 0u);
  EXPECT_FALSE(modified());
}

TEST_F(GeometryFixture, ImageSizeScalesBothPicturesAndUndoRestores) {
  open(6, 4, true);
  const auto image = pixels(kKeyImage), alpha_before = pixels(kKeyAlpha);
  const ImageSizeRequest r{12, 8, 0};  // nearest neighbour: every pixel doubled
  EXPECT_EQ(resize_image(app->edit, &r), 0);
  EXPECT_EQ(size(kKeyImage), std::pair(12, 8));
  EXPECT_EQ(size(kKeyAlpha), std::pair(12, 8));
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 12; ++x) {
      EXPECT_EQ(colour(x, y), test_colour(x / 2, y / 2));
      EXPECT_EQ(alpha(x, y), test_alpha(x / 2, y / 2, 6));
    }
  }
  EXPECT_EQ(app->doc.edit_history, std::vector<std::u16string>{u"画像解像度"});
  EXPECT_EQ(undo(app->edit), 0);
  EXPECT_EQ(pixels(kKeyImage), image);
  EXPECT_EQ(pixels(kKeyAlpha), alpha_before);
  EXPECT_EQ(app->doc.view().image_width, 6);

  const ImageSizeRequest same{6, 4, 16}, zero{0, 4, 0}, huge{32769, 4, 0}, odd_filter{7, 4, 8};
  EXPECT_EQ(resize_image(app->edit, &same), 0);
  EXPECT_EQ(resize_image(app->edit, &zero), 1);
  EXPECT_EQ(resize_image(app->edit, &huge), 1);
  EXPECT_EQ(resize_image(app->edit, &odd_filter), 1);
  EXPECT_EQ(history(), 0u);
}

TEST_F(GeometryFixture, CropKeepsTheRectangleOrRefusesWithoutChange) {
  open(6, 4, true);
  const auto before = pixels(kKeyImage);
  const CropRequest bad[] = {{-1, 0, 2, 2}, {0, -1, 2, 2}, {5, 0, 2, 2}, {0, 3, 2, 2}, {0, 0, 7, 1},
                             {0, 0, 0, 2}, {1, 1, 2, -3}, {2147483647, 0, 2, 2}};
  for (const CropRequest& r : bad) EXPECT_EQ(crop_image(app->edit, &r), 1) << r.x << "," << r.y;
  const CropRequest same_size{3, 3, 6, 4};  // the size alone decides: nothing to do
  EXPECT_EQ(crop_image(app->edit, &same_size), 0);
  EXPECT_EQ(pixels(kKeyImage), before);
  EXPECT_EQ(history(), 0u);

  const CropRequest r{1, 2, 4, 2};
  ASSERT_EQ(crop_image(app->edit, &r), 0);
  EXPECT_EQ(size(kKeyImage), std::pair(4, 2));
  EXPECT_EQ(size(kKeyAlpha), std::pair(4, 2));
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(colour(x, y), test_colour(x + 1, y + 2));
      EXPECT_EQ(alpha(x, y), test_alpha(x + 1, y + 2, 6));
    }
  }
  EXPECT_EQ(app->doc.edit_history, std::vector<std::u16string>{u"切り抜き"});
}

// A 20 × 6 picture with a white body and black margins: 3 columns on the left, 7 on the right,
// 1 row at the top; with a varying alpha channel.
class TrimFixture : public GeometryFixture {
 protected:
  void open_margins() {
    SurfaceTable t;
    ASSERT_EQ(surface_create(t, 1, 20, 6), 0);
    uint32_t* px = surface_find(t, 1)->pixels();
    for (int y = 0; y < 6; ++y) {
      for (int x = 0; x < 20; ++x) {
        const bool body = x >= 3 && x < 13 && y >= 1;
        px[y * 20 + x] = uint32_t{test_alpha(x, y, 20)} << 24 | (body ? 0xFFFFFFu : 0u);
      }
    }
    const std::u16string path = tmp.folder() + u"margins.bmp";
    ASSERT_EQ(surface_save(t, 1, path, 32, nullptr), 0);
    ASSERT_EQ(app->viewer.open_file(path, -1, -1), 0);
  }
};

TEST_F(TrimFixture, SidesAndEqualMarginsCutBothPictures) {
  struct Case { int32_t sides; int32_t x, y, w, h; };
  const Case cases[] = {
      {kTrimLeft | kTrimRight | kTrimEqualMargins, 3, 0, 14, 6},  // the smaller margin (3) each side
      {kTrimLeft | kTrimRight, 3, 0, 10, 6},
      {kTrimTop | kTrimBottom | kTrimLeft | kTrimRight, 3, 1, 10, 5},
      {kTrimRight, 0, 0, 13, 6},
  };
  for (const Case& c : cases) {
    open_margins();
    const TrimRequest r{c.sides, 0};
    ASSERT_EQ(trim_image(app->edit, &r), 0) << c.sides;
    ASSERT_EQ(size(kKeyImage), std::pair(c.w, c.h)) << c.sides;
    EXPECT_EQ(size(kKeyAlpha), std::pair(c.w, c.h));
    EXPECT_EQ(app->doc.view().image_width, c.w);
    for (int y = 0; y < c.h; ++y) {
      for (int x = 0; x < c.w; ++x) EXPECT_EQ(alpha(x, y), test_alpha(x + c.x, y + c.y, 20)) << c.sides;
    }
    EXPECT_EQ(app->doc.edit_history, std::vector<std::u16string>{u"トリミング"});
  }
}

TEST_F(TrimFixture, NothingToTrimKeepsPictureHistoryAndUndoLevel) {
  open_margins();
  const CropRequest r{0, 0, 19, 6};
  ASSERT_EQ(crop_image(app->edit, &r), 0);
  const auto cropped = pixels(kKeyImage);
  const TrimRequest white{kTrimTop | kTrimBottom | kTrimLeft | kTrimRight, 0xFFFFFF};
  EXPECT_EQ(trim_image(app->edit, &white), 0);  // no white margin
  const TrimRequest none{0, 0};
  EXPECT_EQ(trim_image(app->edit, &none), 0);
  EXPECT_EQ(pixels(kKeyImage), cropped);
  EXPECT_EQ(app->doc.edit_history, std::vector<std::u16string>{u"切り抜き"});
  EXPECT_EQ(undo(app->edit), 0);  // the crop is still what undo takes back
  EXPECT_EQ(size(kKeyImage), std::pair(20, 6));
}

TEST_F(GeometryFixture, QuarterTurnsThereAndBackAreTwoEdits) {
  open(6, 4, true);
  const auto image = pixels(kKeyImage), alpha_before = pixels(kKeyAlpha);
  ASSERT_EQ(rotate_image(app->edit, 90), 0);
  EXPECT_EQ(size(kKeyImage), std::pair(4, 6));
  EXPECT_EQ(size(kKeyAlpha), std::pair(4, 6));
  EXPECT_EQ(app->doc.view().rotation, 90);
  EXPECT_EQ(app->doc.view().image_width, 4);
  EXPECT_EQ(app->doc.view().decoded_height, 6);
  // A quarter turn to the left: the old top-right corner comes to the top left.
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(colour(x, y), test_colour(5 - y, x));
      EXPECT_EQ(alpha(x, y), test_alpha(5 - y, x, 6));
    }
  }
  ASSERT_EQ(rotate_image(app->edit, -90), 0);
  EXPECT_EQ(pixels(kKeyImage), image);
  EXPECT_EQ(pixels(kKeyAlpha), alpha_before);
  EXPECT_EQ(app->doc.view().rotation, 0);
  EXPECT_EQ(app->doc.edit_history, (std::vector<std::u16string>{u"キャンバスの回転", u"キャンバスの回転"}));

  ASSERT_EQ(rotate_image(app->edit, -90), 0);  // to the right from 0: 270
  EXPECT_EQ(app->doc.view().rotation, 270);
  EXPECT_EQ(colour(0, 0), test_colour(0, 3));  // the old bottom-left corner
}

TEST_F(GeometryFixture, HalfTurnAndFlipsMirror) {
  open(6, 4, true);
  ASSERT_EQ(rotate_image(app->edit, 180), 0);
  EXPECT_EQ(app->doc.view().rotation, 180);
  EXPECT_EQ(colour(0, 0), test_colour(5, 3));
  EXPECT_EQ(alpha(1, 2), test_alpha(4, 1, 6));
  ASSERT_EQ(rotate_image(app->edit, 180), 0);
  EXPECT_EQ(app->doc.view().rotation, 0);

  ASSERT_EQ(flip_image(app->edit, 0), 0);
  EXPECT_EQ(colour(0, 1), test_colour(5, 1));
  EXPECT_EQ(alpha(0, 1), test_alpha(5, 1, 6));
  ASSERT_EQ(flip_image(app->edit, 1), 0);
  EXPECT_EQ(colour(0, 0), test_colour(5, 3));
  EXPECT_EQ(alpha(0, 0), test_alpha(5, 3, 6));
  EXPECT_EQ(history(), 4u);
  EXPECT_EQ(flip_image(app->edit, 2), 1);
  EXPECT_EQ(flip_image(app->edit, -1), 1);
  // Nothing to turn: no angle, a whole turn, or angles beyond one.
  EXPECT_EQ(rotate_image(app->edit, 0), 0);
  EXPECT_EQ(rotate_image(app->edit, 360), 0);
  EXPECT_EQ(rotate_image(app->edit, -360), 0);
  EXPECT_EQ(rotate_image(app->edit, 361), 1);
  EXPECT_EQ(history(), 4u);
}

TEST_F(GeometryFixture, FreeRotationKeepsTheSizeWithTransparentCorners) {
  open(20, 20, true);
  ASSERT_EQ(rotate_image(app->edit, 45), 0);
  EXPECT_EQ(size(kKeyImage), std::pair(20, 20));
  EXPECT_EQ(app->doc.view().rotation, 45);
  for (auto [x, y] : {std::pair{0, 0}, std::pair{19, 0}, std::pair{0, 19}, std::pair{19, 19}}) {
    EXPECT_EQ(at(kKeyImage, x, y), 0u);
    EXPECT_EQ(at(kKeyAlpha, x, y), 0u);
  }
  EXPECT_EQ(colour(10, 10), test_colour(10, 10));  // the centre stays
  EXPECT_EQ(alpha(10, 10), test_alpha(10, 10, 20));
  EXPECT_NE(at(kKeyImage, 10, 1), 0u);  // the rotated picture still covers the middle of each edge
}

TEST_F(GeometryFixture, ConnectOnTheRightGrowsTheCanvas) {
  open(80, 80, true);
  const std::u16string added = tmp.folder() + u"added.bmp";
  testing::write_test_picture(added, 100, 50, false, 0x101010);
  ConnectRequest r;
  std::copy(added.begin(), added.end(), r.path);
  r.sides = kConnectRight;
  ASSERT_EQ(connect_images(app->edit, &r), 0);
  EXPECT_EQ(size(kKeyImage), std::pair(180, 80));
  EXPECT_EQ(size(kKeyAlpha), std::pair(180, 80));
  EXPECT_EQ(app->doc.view().decoded_width, 180);
  EXPECT_EQ(colour(79, 79), test_colour(79, 79));
  EXPECT_EQ(alpha(79, 79), test_alpha(79, 79, 80));
  EXPECT_EQ(colour(80, 0), (test_colour(0, 0) + 0x101010) & 0xFFFFFF);
  EXPECT_EQ(colour(179, 49), (test_colour(99, 49) + 0x101010) & 0xFFFFFF);
  for (int y = 50; y < 80; y += 7) {
    for (int x = 80; x < 180; x += 9) {
      EXPECT_EQ(at(kKeyImage, x, y), 0u);
      EXPECT_EQ(alpha(x, y), 0u);
    }
  }
  EXPECT_EQ(at(kKeyImage, 10, 10) >> 24, 0u);  // the alpha lives in the channel, not the image
  EXPECT_EQ(surface(kKeyImage)->info.width, 80);  // the picture's decoded description stays
  EXPECT_EQ(app->doc.edit_history, std::vector<std::u16string>{u"結合と分割 - 結合"});
}

TEST_F(GeometryFixture, ConnectSidesPlaceThePictures) {
  struct Case { int32_t sides; int32_t w, h, old_x, old_y, added_x, added_y; };
  const Case cases[] = {
      {kConnectTop | kConnectLeft, 6, 7, 0, 3, 0, 0},  // top wins over left
      {kConnectBottom, 6, 7, 0, 0, 0, 4},
      {kConnectLeft | kConnectRight, 11, 4, 5, 0, 0, 0},
      {kConnectRight, 11, 4, 0, 0, 6, 0},
  };
  const std::u16string added = tmp.folder() + u"small.bmp";
  testing::write_test_picture(added, 5, 3, false, 0x202020);
  for (const Case& c : cases) {
    open(6, 4, false);
    ConnectRequest r;
    std::copy(added.begin(), added.end(), r.path);
    r.sides = c.sides;
    ASSERT_EQ(connect_images(app->edit, &r), 0);
    ASSERT_EQ(size(kKeyImage), std::pair(c.w, c.h)) << c.sides;
    EXPECT_EQ(colour(c.old_x + 5, c.old_y + 3), test_colour(5, 3)) << c.sides;
    EXPECT_EQ(colour(c.added_x + 4, c.added_y + 2), (test_colour(4, 2) + 0x202020) & 0xFFFFFF) << c.sides;
  }
  ConnectRequest none;
  std::copy(added.begin(), added.end(), none.path);
  EXPECT_EQ(connect_images(app->edit, &none), 1);
}

TEST_F(GeometryFixture, ConnectFolderSkipsTheShownFileAndStopsAtAFailure) {
  const std::u16string folder = tmp.folder() + u"set/";
  std::filesystem::create_directories(to_fs_path(folder));
  const std::u16string shown = folder + u"a.bmp";
  testing::write_test_picture(shown, 6, 4, false);
  testing::write_test_picture(folder + u"b.bmp", 2, 4, false);
  testing::write_test_picture(folder + u"c.bmp", 3, 2, false);
  ASSERT_EQ(app->viewer.open_file(shown, -1, -1), 0);
  ConnectRequest r;
  r.target = 1;
  std::copy(folder.begin(), folder.end() - 1, r.path);  // without the separator
  r.sides = kConnectLeft;
  ASSERT_EQ(connect_images(app->edit, &r), 0);
  EXPECT_EQ(size(kKeyImage), std::pair(11, 4));  // 6 + 2, then 3 more on the left
  EXPECT_EQ(colour(10, 3), test_colour(5, 3));

  // A file no reader accepts stops the run; what came before stays, marked and laid out.
  ASSERT_EQ(app->viewer.open_file(shown, -1, -1), 0);
  FILE* f = std::fopen(utf16_to_utf8(folder + u"bb.bmp").c_str(), "wb");
  std::fputs("not a picture", f);
  std::fclose(f);
  EXPECT_EQ(connect_images(app->edit, &r), 1);
  EXPECT_EQ(size(kKeyImage), std::pair(8, 4));
  EXPECT_EQ(app->doc.view().image_width, 8);
  EXPECT_TRUE(modified());
}

TEST_F(GeometryFixture, DivideWritesNumberedTilesWithTheRestInTheLast) {
  open(100, 100, true);
  struct Case { int32_t limit; int files; int32_t last; };
  for (const Case& c : {Case{0, 16, 10}, Case{2, 4, 70}}) {
    const DivideRequest r{30, 30, 32, c.limit, c.limit};
    ASSERT_EQ(divide_image(app->edit, &r), 0);
    int found = 0;
    for (const auto& e : std::filesystem::directory_iterator(tmp.path())) found += e.path().extension() == ".bmp";
    EXPECT_EQ(found, 1 + c.files);  // and pic.bmp itself
    SurfaceTable t;
    char name[32];
    std::snprintf(name, sizeof name, "pic_%02d.bmp", c.files - 1);
    ASSERT_EQ(surface_load(t, 1, tmp.file(name), false), 0);
    EXPECT_EQ(surface_find(t, 1)->width, c.last);
    EXPECT_EQ(surface_find(t, 1)->height, c.last);
    ASSERT_EQ(surface_load(t, 2, tmp.file("pic_01.bmp"), false), 0);
    const uint32_t p = surface_find(t, 2)->pixels()[0];  // tile 1 starts at (30, 0)
    EXPECT_EQ(p & 0xFFFFFF, test_colour(30, 0));
    EXPECT_EQ(p >> 24, test_alpha(30, 0, 100));  // the alpha channel goes with 32 bits
    for (const auto& e : std::filesystem::directory_iterator(tmp.path())) {
      if (e.path().extension() == ".bmp" && e.path().filename() != "pic.bmp") std::filesystem::remove(e.path());
    }
  }
  EXPECT_EQ(history(), 0u);
  EXPECT_FALSE(modified());
  const DivideRequest bad_bits{30, 30, 16, 0, 0}, no_tile{0, 30, 24, 0, 0};
  EXPECT_EQ(divide_image(app->edit, &bad_bits), 1);
  EXPECT_EQ(divide_image(app->edit, &no_tile), 1);
}

TEST_F(GeometryFixture, MenuItemsRunTheEdits) {
  open(6, 4, false);
  dispatch_command(*app, cmd::RotateCcw90);
  EXPECT_EQ(app->doc.view().rotation, 90);
  dispatch_command(*app, cmd::RotateCw90);
  dispatch_command(*app, cmd::Rotate180);
  EXPECT_EQ(app->doc.view().rotation, 180);
  dispatch_command(*app, cmd::FlipHorizontal);
  dispatch_command(*app, cmd::FlipVertical);
  EXPECT_EQ(colour(0, 0), test_colour(0, 0));  // half turn and both flips cancel out
  EXPECT_EQ(history(), 5u);
  // The dialog items with no script: Cancel, nothing changes.
  for (uint16_t id : {cmd::ImageSize, cmd::CanvasSize, cmd::Scissor, cmd::Trim, cmd::RotateArbitrary, cmd::Connect,
                      cmd::Divide}) {
    dispatch_command(*app, id);
  }
  EXPECT_EQ(fake.dialogs.size(), 7u);
  EXPECT_EQ(history(), 5u);
}

}  // namespace
}  // namespace tesmo
