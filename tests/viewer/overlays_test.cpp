// The on-screen overlays over the fake platform and fake glyphs: where each panel lands for a few
// back-buffer sizes, their texts, when they are rebuilt, their fading, the grid's lines, the
// histogram's bars and the hyper-list's thumbnails.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/application.h"
#include "document/modified_mark.h"
#include "platform/fake/fake_glyphs.h"
#include "platform/fake/fake_platform.h"
#include "resources/command_ids.h"
#include "resources/resources.h"
#include "shell/menu_options.h"
#include "surface/compositor.h"
#include "temp_folder.h"
#include "tests/app/fake_viewer.h"
#include "viewer/frame_update.h"
#include "viewer/overlays/overlays.h"
#include "viewer/presentation.h"

namespace tesmo {
namespace {

constexpr uint32_t kImageColour = 0xFF336699u;

class Overlays : public ::testing::Test {
 protected:
  Overlays() {
    app = testing::make_fake_viewer(fake, tmp.folder());
    menu().set_checked(cmd::ScaleDownToFit, false);
    for (FontEntry& f : app->shell.fonts) f.font = std::make_unique<platform::FakeGlyphFont>();
  }
  platform::Menu& menu() { return app->shell.window->menu(); }
  void show(int w, int h, uint32_t colour = kImageColour) {
    SurfaceTable& t = app->doc.surfaces();
    ASSERT_EQ(surface_create(t, kKeyImage, w, h), 0);
    for (uint32_t& px : surface_find(t, kKeyImage)->picture()) px = colour;
    ViewState& v = app->doc.view();
    v.flags = kImageShown;
    v.displayed_surface = kKeyImage;
    v.image_width = v.decoded_width = w;
    v.image_height = v.decoded_height = h;
    v.decoded_bits = 24;
    v.path = u"/pics/p.bmp";
    layout_window(app->viewer);
  }
  // One frame: the view composed, then the overlays, as the viewer's frame draws them.
  void frame() { frame_update(app->viewer, 0); }
  Surface& back() { return *surface_find(app->doc.surfaces(), kKeyBackBuffer); }
  uint32_t at(int x, int y) { return back().pixels()[static_cast<size_t>(y) * back().width + x]; }
  uint32_t at(int key, int x, int y) {
    const Surface* s = surface_find(app->doc.surfaces(), key);
    return s->pixels()[static_cast<size_t>(y) * s->width + x];
  }
  void check(uint16_t id) { menu().set_checked(id, true); }

  testing::TempFolder tmp;
  platform::FakePlatform fake;
  std::unique_ptr<Application> app;
};

TEST_F(Overlays, PanelsLandAtTheirPlacesForSeveralSizes) {
  struct Case {
    int w, h;
  };
  for (Case c : {Case{800, 600}, Case{1000, 700}, Case{640, 480}}) {
    SCOPED_TRACE(c.w);
    show(c.w, c.h);
    for (uint16_t id : {cmd::OsdCursorInfo, cmd::OsdPip, cmd::OsdHistogram, cmd::OsdFileInfo}) check(id);
    app->doc.view().flags |= kRedrawBackground;
    frame();
    ASSERT_EQ(back().width, c.w);
    ASSERT_EQ(back().height, c.h);
    const int W = c.w, H = c.h;
    const uint32_t image = kImageColour & 0xFFFFFF;
    // Cursor bar: 280 × 24 at (W − 280, 0).
    EXPECT_EQ(at(W - 281, 10) & 0xFFFFFF, image);
    EXPECT_NE(at(W - 279, 10) & 0xFFFFFF, image);
    EXPECT_NE(at(W - 1, 23) & 0xFFFFFF, image);
    // Picture-in-picture: 280 × 210 at (W − 280, 32); between them the picture shows.
    EXPECT_EQ(at(W - 100, 28) & 0xFFFFFF, image);
    EXPECT_NE(at(W - 280, 100) & 0xFFFFFF, image);  // its white left line
    EXPECT_EQ(at(W - 281, 100) & 0xFFFFFF, image);
    EXPECT_EQ(at(W - 100, 243) & 0xFFFFFF, image);
    // Histogram background: 280 × 116 at (0, H − 240); file panel 280 × 116 at (0, H − 116).
    EXPECT_EQ(at(5, H - 241) & 0xFFFFFF, image);
    EXPECT_NE(at(5, H - 239) & 0xFFFFFF, image);
    EXPECT_NE(at(5, H - 1) & 0xFFFFFF, image);
    EXPECT_EQ(at(281, H - 1) & 0xFFFFFF, image);
    for (int key : {kKeyCursorBar, kKeyCursorText, kKeyPip, kKeyHistogramBar, kKeyFileInfoBar, kKeyFileInfoText}) {
      EXPECT_EQ(surface_find(app->doc.surfaces(), key)->width, 280);
    }
    EXPECT_EQ(surface_find(app->doc.surfaces(), kKeyPip)->height, 210);
    EXPECT_EQ(surface_find(app->doc.surfaces(), kKeyHistogramBar)->height, 116);
  }
}

TEST_F(Overlays, SmallWindowShowsOnlyCursorBarAndFilePanel) {
  show(400, 300);
  for (uint16_t id : {cmd::OsdCursorInfo, cmd::OsdPip, cmd::OsdHistogram, cmd::OsdFileInfo, cmd::OsdExifInfo}) {
    check(id);
  }
  surface_find(app->doc.surfaces(), kKeyImage)->info.format = kFormatJpeg;
  frame();
  SurfaceTable& t = app->doc.surfaces();
  EXPECT_NE(surface_find(t, kKeyCursorBar), nullptr);
  EXPECT_NE(surface_find(t, kKeyFileInfoText), nullptr);
  EXPECT_EQ(surface_find(t, kKeyPip), nullptr);
  EXPECT_EQ(surface_find(t, kKeyHistogramBar), nullptr);
  EXPECT_EQ(surface_find(t, kKeyExifBar), nullptr);
}

TEST_F(Overlays, ExifPanelOnlyForJpeg) {
  show(800, 600);
  check(cmd::OsdExifInfo);
  surface_find(app->doc.surfaces(), kKeyImage)->info.format = kFormatPng;
  frame();
  EXPECT_EQ(surface_find(app->doc.surfaces(), kKeyExifText), nullptr);
  // A JPEG without Exif items says so in the text layer, drawn at (4, 4) with font 2.
  surface_find(app->doc.surfaces(), kKeyImage)->info.format = kFormatJpeg;
  frame();
  ASSERT_NE(surface_find(app->doc.surfaces(), kKeyExifText), nullptr);
  EXPECT_EQ(at(kKeyExifText, 0, 0), 0u);
  EXPECT_EQ(at(kKeyExifText, 6, 6) >> 24, 0xFFu);  // the first fake glyph's box
  EXPECT_NE(at(800 - 280, 600 - 200) & 0xFFFFFF, kImageColour & 0xFFFFFF);
}

TEST_F(Overlays, TextsAsFormatted) {
  EXPECT_EQ(cursor_position_text(12, -3), "X, Y: 12, -3");
  EXPECT_EQ(cursor_colour_text(0x00FF8001), "RGB: 255, 128, 1");
  EXPECT_EQ(cursor_colour_text(-1), "RGB: -, -, -");
  EXPECT_EQ(exif_maker_text("NIKON CORPORATION"), "NIKON");
  EXPECT_EQ(exif_maker_text("Canon"), "Canon");
  EXPECT_EQ(exif_maker_text(" "), "");
  EXPECT_EQ(exif_maker_text("ABCDEFGHIJK"), "ABCDEFGHIJK");
  // A two-byte character whose second byte is a space is stepped over whole.
  EXPECT_EQ(exif_maker_text("\x83\x20xyzabcdef ghi"), "\x83\x20xyzabcdef");
  EXPECT_EQ(exif_model_text("Canon EOS 5D", "Canon"), " EOS 5D");
  EXPECT_EQ(exif_model_text("NIKON D70", "NIKON"), " D70");
  EXPECT_EQ(exif_model_text("X100", "XEROX"), " X100");  // one shared byte is not enough
  ImageInfo info;
  info.pixel_text = "24 bit";
  EXPECT_EQ(format_detail_text(info), "24 bit");
  info.extra_text = "V-Flip";
  EXPECT_EQ(format_detail_text(info), "24 bit / V-Flip");

  show(800, 600);
  EXPECT_EQ(size_and_depth_text(app->viewer), "800 x 600 x 24");
  app->doc.view().flags |= kModified;
  EXPECT_EQ(size_and_depth_text(app->viewer), "800 x 600 x 24");
  app->doc.view().image_width = 640;
  EXPECT_EQ(size_and_depth_text(app->viewer), "800 x 600 x 24  ->  640 x 600 x 24");
  surface_create(app->doc.surfaces(), kKeyAlpha, 640, 600);
  EXPECT_EQ(size_and_depth_text(app->viewer), "800 x 600 x 24  ->  640 x 600 x 32");
}

TEST_F(Overlays, PanelsRebuildOnlyWhenTheirContentChanges) {
  show(800, 600);
  check(cmd::OsdFileInfo);
  check(cmd::OsdCursorInfo);
  check(cmd::OsdPip);
  check(cmd::PipCursorPosition);
  menu().set_checked(cmd::PipThumbnail, false);
  frame();
  const uint32_t mark = 0x12345678u;
  for (int key : {kKeyFileInfoText, kKeyCursorText, kKeyPip})
    surface_find(app->doc.surfaces(), key)->pixels()[200] = mark;
  frame();  // nothing changed: the mouse stays, the marker too
  for (int key : {kKeyFileInfoText, kKeyCursorText, kKeyPip}) EXPECT_EQ(at(key, 200, 0), mark) << key;

  app->viewer.mouse = {5, 5};  // a move: cursor text and (cursor method) the picture-in-picture again
  draw_overlays(app->viewer, *app->viewer.overlay_cache);
  EXPECT_NE(at(kKeyCursorText, 200, 0), mark);
  EXPECT_NE(at(kKeyPip, 200, 0), mark);
  EXPECT_EQ(at(kKeyFileInfoText, 200, 0), mark);
  app->viewer.marker_set();  // a marker change rebuilds the file panel
  frame();
  EXPECT_NE(at(kKeyFileInfoText, 200, 0), mark);
}

TEST_F(Overlays, OpacityFollowsTheSlot) {
  show(800, 600);
  check(cmd::OsdFileInfo);
  start_tween(app->viewer.tweens, 3);
  EXPECT_EQ(slot_opacity(app->viewer.tweens[3]), -255);
  frame();
  // Fully transparent at the start (the blend keeps 255/256 of each byte).
  const uint32_t start = at(5, 599);
  for (int shift : {0, 8, 16}) EXPECT_NEAR((start >> shift) & 0xFF, (kImageColour >> shift) & 0xFF, 2);
  advance_tweens(app->viewer.tweens, 7.5f);
  // −255 + 255 × sin(45°) = −74.7
  EXPECT_EQ(slot_opacity(app->viewer.tweens[3]), -75);
  advance_tweens(app->viewer.tweens, 8.0f);
  EXPECT_EQ(slot_opacity(app->viewer.tweens[3]), 0);  // idle again
  app->doc.view().flags |= kRedrawBackground;
  frame();
  // Black at alpha 128 over the picture: each byte c + (127 × (0 − c) >> 8)-ish, well below c.
  const uint32_t p = at(5, 599);
  EXPECT_LT((p >> 16) & 0xFF, 0x33u);
  EXPECT_GT((p >> 16) & 0xFF, 0x10u);
}

TEST_F(Overlays, GridLinesAtTheZoomedCells) {
  SurfaceTable t(1);
  ASSERT_EQ(surface_create(t, 0, 100, 100), 0);
  t.clip = Rect{0, 0, 100, 100};
  auto px = [&](int x, int y) { return surface_find(t, 0)->pixels()[y * 100 + x]; };
  auto reset = [&] { surface_fill(t, 0, 0, 0, 0, 0); };
  constexpr uint32_t green = 0x004AFF84u, grey = 0x00808080u;
  // 40 × 40 at 200 %, cells of 10 pixels halved: cells every 20, sub-lines every 10 screen pixels.
  reset();
  draw_grid(t, 0, {0, 0}, 40, 40, 51200, 51200, 10, 2, 100);
  EXPECT_EQ(px(20, 5), green);
  EXPECT_EQ(px(80, 5), green);
  EXPECT_EQ(px(10, 5), grey);
  EXPECT_EQ(px(70, 5), grey);
  EXPECT_EQ(px(90, 5), 0u);   // past the zoomed image
  EXPECT_EQ(px(20, 85), 0u);  // lines are 80 long
  EXPECT_EQ(px(5, 40), green);
  EXPECT_EQ(px(5, 30), grey);
  EXPECT_EQ(px(0, 5), 0u);  // no line at the image's edge
  // Half strength: only horizontal lines, full length; three quarters: vertical lines half long.
  reset();
  draw_grid(t, 0, {0, 0}, 40, 40, 51200, 51200, 10, 2, 50);
  EXPECT_EQ(px(20, 5), 0u);
  EXPECT_EQ(px(79, 20), green);
  reset();
  draw_grid(t, 0, {0, 0}, 40, 40, 51200, 51200, 10, 2, 75);
  EXPECT_EQ(px(20, 39), green);
  EXPECT_EQ(px(20, 45), 0u);
  // Drawn from the origin; one division: no sub-lines.
  reset();
  draw_grid(t, 0, {7, 3}, 40, 40, 51200, 51200, 10, 1, 100);
  EXPECT_EQ(px(27, 10), green);
  EXPECT_EQ(px(17, 10), 0u);
  EXPECT_EQ(px(10, 23), green);
}

TEST_F(Overlays, HistogramBarsOfAHandMadePicture) {
  show(800, 600, 0xFFFF0000u);  // every pixel red 255, green 0, blue 0
  check(cmd::OsdHistogram);
  frame();
  const int y0 = 600 - 131;
  // Level 0: green and blue, 2 of 3 counts → 66 %; level 255: red → 33 %; level 1: none.
  EXPECT_EQ(at(12, y0 - 66), 0x00FFFFFFu);
  EXPECT_NE(at(12, y0 - 67), 0x00FFFFFFu);
  EXPECT_EQ(at(267, y0 - 33), 0x00FFFFFFu);
  EXPECT_NE(at(267, y0 - 34), 0x00FFFFFFu);
  EXPECT_EQ(at(13, y0), 0x00FFFFFFu);
  EXPECT_NE(at(13, y0 - 1), 0x00FFFFFFu);
  // Red hidden: green and blue only, all at level 0 → 100 %, in cyan; the counts were redone.
  menu().set_checked(cmd::VisibleR, false);
  frame();
  EXPECT_EQ(at(12, y0 - 100), 0x0000FFFFu);
  EXPECT_NE(at(267, y0 - 1), 0x0000FFFFu);
  // Unchanged view: the counts are kept even though the pixels changed behind them.
  for (uint32_t& p : surface_find(app->doc.surfaces(), kKeyImage)->picture()) p = 0xFF00FF00u;
  frame();
  EXPECT_EQ(at(12, y0 - 100), 0x0000FFFFu);
  // An edit marks the picture modified: the counts follow the new pixels (green 255, blue 0 → the
  // bar at level 0 is half as high).
  set_modified(app->doc, 1, false);
  frame();
  EXPECT_EQ(at(12, y0 - 50), 0x0000FFFFu);
  EXPECT_NE(at(12, y0 - 51), 0x0000FFFFu);
  // Switching on: bars start at zero height while the panel fades in.
  start_tween(app->viewer.tweens, 2);
  app->doc.view().histogram_surface = -1;
  app->doc.view().flags |= kRedrawBackground;
  frame();
  EXPECT_NE(at(12, y0 - 10), 0x0000FFFFu);
}

TEST_F(Overlays, PictureInPictureThumbnailIsCentred) {
  show(800, 600);
  check(cmd::OsdPip);
  frame();
  // s = min(71424 / 800, 53248 / 600) = 88: 275 × 206 at (3, 2).
  EXPECT_EQ(at(kKeyPip, 3, 2), kImageColour);
  EXPECT_EQ(at(kKeyPip, 277, 207), kImageColour);
  EXPECT_EQ(at(kKeyPip, 2, 100), 0xFF0000FFu);  // background colour, alpha 255
  EXPECT_EQ(at(kKeyPip, 278, 100), 0xFF0000FFu);
  EXPECT_EQ(at(kKeyPip, 100, 1), 0xFF0000FFu);
  // An empty alpha view leaves only the background (nothing to scale or divide by).
  surface_create(app->doc.surfaces(), kKeyAlpha, 0, 0);
  app->doc.view().displayed_surface = kKeyAlpha;
  build_picture_in_picture(app->viewer);
  EXPECT_EQ(at(kKeyPip, 100, 100), 0xFF0000FFu);
}

TEST_F(Overlays, HyperListThumbnailsOfASmallFolder) {
  SurfaceTable& t = app->doc.surfaces();
  const std::u16string folder = tmp.folder();
  ASSERT_EQ(surface_create(t, -5, 32, 64), 0);
  for (uint32_t& p : surface_find(t, -5)->picture()) p = 0xFF00FF00u;
  ASSERT_EQ(surface_save(t, -5, folder + u"a.bmp", 24, nullptr), 0);
  ASSERT_EQ(surface_save(t, -5, folder + u"c.bmp", 24, nullptr), 0);
  {
    FILE* f = std::fopen((tmp.path() / "b.bmp").c_str(), "wb");
    std::fputs("not a picture", f);
    std::fclose(f);
  }
  surface_remove(t, -5);
  ASSERT_EQ(app->viewer.open_file(folder + u"a.bmp", -1, -1), 0);
  check(cmd::HyperList);
  frame();
  ASSERT_NE(surface_find(t, kKeyHyperStrip), nullptr);
  EXPECT_EQ(surface_find(t, kKeyHyperStrip)->width, 224);
  EXPECT_EQ(surface_find(t, kKeyHyperStrip)->height, back().height);
  EXPECT_NE(surface_find(t, 101), nullptr);
  EXPECT_EQ(surface_find(t, 102), nullptr);  // b.bmp does not decode
  ASSERT_NE(surface_find(t, 103), nullptr);
  // 32 × 64 kept in aspect: 16 × 32 in green, opaque; the rest of the square and the text area
  // keep the fill, the text area half transparent.
  EXPECT_EQ(at(103, 5, 5), 0xFF00FF00u);
  EXPECT_EQ(at(103, 25, 5), 0xFFEE0000u);
  EXPECT_EQ(at(103, 150, 30), 0x80EE0000u);
  EXPECT_EQ(surface_find(t, kKeyWork), nullptr);
  // Off: the strip and thumbnails go.
  remove_hyper_list(t);
  EXPECT_EQ(surface_find(t, 101), nullptr);
}

// Started as the program starts with the hyper-list on: a picture opened from another folder (the
// open dialog) or dropped brings that folder's thumbnails, on a strip as tall as the new window.
TEST(OverlaysStart, HyperListFollowsTheShownFolder) {
  testing::TempFolder tmp;
  std::filesystem::create_directories(tmp.path() / "a");
  std::filesystem::create_directories(tmp.path() / "b");
  for (const char* name : {"a/1.bmp", "a/2.bmp", "a/3.bmp"}) ASSERT_EQ(testing::write_flat_bmp(tmp.file(name), 32, 64), 0);
  ASSERT_EQ(testing::write_flat_bmp(tmp.file("b/big.bmp"), 600, 500), 0);
  platform::FakePlatform fake;
  Application app(tmp.folder());
  app.shell.settings().hyper_list = 1;
  app.shell.glyphs = std::make_unique<platform::FakeGlyphService>();
  const SurfaceTable& t = app.doc.surfaces();
  const auto thumbnails = [&] {
    int n = 0;
    while (surface_find(t, kKeyFirstThumbnail + n)) ++n;
    return n;
  };
  const auto strip_height = [&] { return surface_find(t, kKeyHyperStrip)->height; };
  testing::start_viewer(app, fake, tmp.file("a/1.bmp"));
  app.viewer.frame_update(0);
  EXPECT_EQ(thumbnails(), 3);

  fake.open_answers.push_back(tmp.file("b/big.bmp"));
  fake.push_command(cmd::OpenImage);
  run_message_loop(app);
  app.viewer.frame_update(0);
  ASSERT_EQ(app.doc.view().path, tmp.file("b/big.bmp"));
  EXPECT_EQ(thumbnails(), 1);
  EXPECT_EQ(strip_height(), 500);

  fake.push(platform::Event{.kind = platform::EventKind::DropFiles, .files = {tmp.file("a/2.bmp")}});
  run_message_loop(app);
  app.viewer.frame_update(0);
  ASSERT_EQ(app.doc.view().path, tmp.file("a/2.bmp"));
  EXPECT_EQ(thumbnails(), 3);
  EXPECT_EQ(strip_height(), 300);
}

TEST_F(Overlays, HyperListScrollsOverTheWholeList) {
  // 100 thumbnails: 4000 pixels, from the top at the top edge to the bottom at the bottom edge.
  EXPECT_EQ(hyper_list_offset(100, 600, -20), 0);
  EXPECT_EQ(hyper_list_offset(100, 600, 599), 4000 - 600 + 8);
  EXPECT_EQ(hyper_list_offset(100, 600, 900), 3408);
  EXPECT_EQ(hyper_list_offset(100, 1, 0), 0);
}

}  // namespace
}  // namespace tesmo
