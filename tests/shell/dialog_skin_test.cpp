// The embedded resource archive, the dialog skins and the Arbitrary zoom dialog, through the fake
// platform's scripted dialogs.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/application.h"
#include "app/commands.h"
#include "base/bytes.h"
#include "platform/fake/fake_glyphs.h"
#include "platform/fake/fake_platform.h"
#include "resources/command_ids.h"
#include "resources/dialog_templates.h"
#include "resources/resources.h"
#include "shell/dialog_skin.h"
#include "shell/menu_options.h"
#include "temp_folder.h"
#include "tests/app/fake_viewer.h"
#include "tools/pack/archive.h"
#include "tools/pack/block.h"
#include "viewer/presentation.h"
#include "viewer/zoom_dialog.h"

namespace tesmo {
namespace {

using platform::DialogPaint;
using platform::DialogRecord;
using platform::DialogScript;
using platform::DialogStep;
using resources::kSkinPictures;

// The decoded picture of an entry, read without the skin code.
std::vector<uint32_t> entry_picture(uint32_t entry, int32_t& width, int32_t& height) {
  auto reader = ArchiveReader::open_memory(load_resource_archive());
  auto data = reader->entry_data(entry);
  SurfaceTable t(0);
  EXPECT_EQ(surface_load(t, 7, std::span<const uint8_t>(*data), false), 0);
  const Surface* s = surface_find(t, 7);
  width = s->width;
  height = s->height;
  return {s->pixels(), s->pixels() + s->pixel_count()};
}

// Rows [row × h / 3, (row + 1) × h / 3) of a button picture.
std::vector<uint32_t> state_row(uint32_t entry, int32_t row) {
  int32_t w = 0, h = 0;
  auto pixels = entry_picture(entry, w, h);
  const auto begin = pixels.begin() + static_cast<ptrdiff_t>(row) * (h / 3) * w;
  return {begin, begin + static_cast<ptrdiff_t>(h / 3) * w};
}

TEST(ResourceArchive, HoldsSixtyNineLevelSixPicturesOfTheTableSizes) {
  std::span<const uint8_t> bytes = load_resource_archive();
  ASSERT_FALSE(bytes.empty());
  auto reader = archive_open_memory(bytes);
  ASSERT_TRUE(reader);
  ASSERT_EQ(reader->count(), 69u);
  // An independent archive without a time table: the index is the last thing in it.
  EXPECT_EQ(reader->header().index_offset % 2048, 0u);
  EXPECT_EQ(bytes.size(), reader->header().index_offset + 69u * 16);
  ASSERT_EQ(archive_load_range(*reader, 0, 69), 0);
  for (uint32_t i = 0; i < 69; ++i) {
    SCOPED_TRACE(i);
    const PackIndexEntry& e = reader->index()[i];
    EXPECT_EQ(e.level, 6);
    EXPECT_EQ(e.user_value, 0);
    std::span<const uint8_t> block = archive_entry(*reader, i);
    ASSERT_EQ(block.size(), e.size);
    auto header = block_header(block);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->method, static_cast<uint32_t>(BlockMethod::Deflate));
    auto bmp = block_decode(block);
    ASSERT_TRUE(bmp);
    ASSERT_GE(bmp->size(), 30u);
    EXPECT_EQ(bmp->size(), header->raw_length);
    EXPECT_EQ((*bmp)[0], 'B');
    EXPECT_EQ((*bmp)[1], 'M');
    EXPECT_EQ(load_u32le(*bmp, 18), static_cast<uint32_t>(kSkinPictures[i].width));
    EXPECT_EQ(load_u32le(*bmp, 22), static_cast<uint32_t>(kSkinPictures[i].height));
    EXPECT_EQ((*bmp)[28], i < 2 ? 32 : 24);  // bits per pixel: the stars carry alpha
  }
  EXPECT_EQ(kSkinPictures[0].width, 16);
  EXPECT_EQ(kSkinPictures[68].width, 320);
  EXPECT_EQ(kSkinPictures[68].height, 161);
}

TEST(ResourceArchive, RangesAndCacheSlotsHandOutTheStoredBytes) {
  auto reader = archive_open_memory(load_resource_archive());
  ASSERT_TRUE(reader);
  ASSERT_EQ(reader->load_range(53, 56), 0);
  for (uint32_t i = 53; i < 56; ++i) {
    std::span<const uint8_t> got = reader->entry(i);
    auto want = reader->entry_bytes(i);
    ASSERT_TRUE(std::equal(got.begin(), got.end(), want->begin(), want->end())) << i;
  }
  EXPECT_TRUE(reader->entry(52).empty());  // before the run
  EXPECT_TRUE(reader->entry(56).empty());  // after it
  // An entry kept in a cache slot outlives the runs; a bad range leaves no run.
  ASSERT_EQ(reader->cache_entry(0), 0);
  EXPECT_EQ(reader->load_range(5, 5), 1);
  EXPECT_EQ(reader->load_range(60, 70), 1);
  EXPECT_TRUE(reader->entry(53).empty());
  EXPECT_EQ(reader->load_range(0, 1), 0);
  EXPECT_EQ(reader->entry(0).size(), reader->index()[0].size);
  for (uint32_t i = 1; i < ArchiveReader::kCacheSlots; ++i) ASSERT_EQ(reader->cache_entry(i), 0);
  EXPECT_EQ(reader->cache_entry(20), 1);  // all eight slots taken
}

TEST(ResourceArchive, AnIndexPointingOutsideTheRunGivesNothing) {
  std::vector<uint8_t> bytes(load_resource_archive().begin(), load_resource_archive().end());
  auto reader = archive_open_memory(bytes);
  // Entry 2 points before entry 1, entry 4 claims to run far past the end of the archive.
  store_u32le(bytes, reader->header().index_offset + 2 * 16, reader->index()[0].offset);
  store_u32le(bytes, reader->header().index_offset + 4 * 16 + 4, 0xFFFFFF00u);
  reader = archive_open_memory(bytes);
  ASSERT_TRUE(reader);
  EXPECT_EQ(reader->load_range(1, 3), 1);  // its run would end before it starts
  EXPECT_EQ(reader->load_range(3, 5), 1);
  ASSERT_EQ(reader->load_range(3, 4), 0);
  EXPECT_FALSE(reader->entry(3).empty());
  EXPECT_TRUE(reader->entry(4).empty());
  EXPECT_TRUE(reader->entry(2).empty());
}

TEST(ResourceArchive, MarkerStarsAreLoadedOnceWithAlpha) {
  SurfaceTable t(0);
  ASSERT_EQ(load_marker_stars(t), 0);
  for (int32_t key : {15, 16}) {
    const Surface* s = surface_find(t, key);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->width, 16);
    EXPECT_EQ(s->height, 16);
    auto px = s->picture();
    EXPECT_TRUE(std::any_of(px.begin(), px.end(), [](uint32_t p) { return p >> 24 == 255; }));
    EXPECT_TRUE(std::any_of(px.begin(), px.end(), [](uint32_t p) { return p >> 24 == 0; }));
  }
  const Surface* first = surface_find(t, 15);
  ASSERT_EQ(load_marker_stars(t), 0);
  EXPECT_EQ(surface_find(t, 15), first);  // both present: not reloaded
  SurfaceTable empty(0);
  EXPECT_EQ(load_marker_stars(empty, {}), 1);
  EXPECT_EQ(surface_find(empty, 15), nullptr);
}

TEST(ResourceArchive, BadArchivesLoadNothingAndSayNo) {
  std::vector<uint8_t> bytes(load_resource_archive().begin(), load_resource_archive().end());
  SurfaceTable t(0);
  EXPECT_EQ(load_dialog_pictures(t, 40, 3, 53, {}), 1);
  EXPECT_EQ(load_dialog_pictures(t, 40, 3, 53, std::span(bytes).first(100)), 1);
  EXPECT_EQ(load_dialog_pictures(t, 40, 3, 67, bytes), 1);  // past the last entry
  auto reader = archive_open_memory(bytes);
  // Entry 54 cut to its block header and the first bytes of its zlib stream.
  store_u32le(bytes, reader->header().index_offset + 54 * 16 + 4, 24);
  EXPECT_EQ(load_dialog_pictures(t, 40, 3, 53, bytes), 1);
  EXPECT_NE(surface_find(t, 40), nullptr);  // the entry before the damaged one
  EXPECT_EQ(surface_find(t, 42), nullptr);  // the ones from it on are not loaded
}

class SkinnedDialogs : public ::testing::Test {
 protected:
  SkinnedDialogs() {
    app = testing::make_fake_viewer(fake, tmp.folder());
    ViewState& v = app->doc.view();
    v.zoom_x = v.zoom_y = 25600;
  }
  int zoom(std::vector<DialogStep> steps, std::optional<platform::Size> client = std::nullopt) {
    fake.dialog_scripts.push_back(DialogScript{resources::kZoomDialogId, client, std::move(steps)});
    return zoom_arbitrary(app->viewer);
  }
  const DialogRecord& last() { return fake.dialogs.back(); }
  std::vector<const DialogPaint*> paints_of(uint16_t control) {
    std::vector<const DialogPaint*> out;
    for (const DialogPaint& p : last().paints)
      if (p.control == control) out.push_back(&p);
    return out;
  }
  bool skin_surfaces_left() {
    for (int32_t key : {40, 41, 42, 70, 71})
      if (surface_find(app->doc.surfaces(), key)) return true;
    return false;
  }

  testing::TempFolder tmp;
  platform::FakePlatform fake;
  std::unique_ptr<Application> app;
};

TEST_F(SkinnedDialogs, ZoomFieldIsReadHeldAndWrittenBack) {
  struct Case {
    std::u16string typed;
    int32_t zoom;
    std::u16string field_after;
  };
  const Case cases[] = {
      {u"12.5", 3200, u"12.5"},  {u"0", 256, u"1.00"},        {u"5000", 409600, u"1600.00"},
      {u"  250x", 64000, u"  250x"}, {u"abc", 256, u"1.00"}, {u"nan", 256, u"1.00"},
      {u"1e9", 409600, u"1600.00"}, {u"1600", 409600, u"1600"}, {u"0.999", 256, u"1.00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.typed.begin(), c.typed.end()));
    EXPECT_EQ(zoom({{DialogStep::SetText, resources::kZoomField, c.typed}, {DialogStep::Press, kSkinOkId}}), 0);
    EXPECT_EQ(app->doc.view().zoom_x, c.zoom);
    EXPECT_EQ(app->doc.view().zoom_y, c.zoom);
    EXPECT_EQ(last().texts.at(resources::kZoomField), c.field_after);
  }
}

TEST_F(SkinnedDialogs, ZoomFieldStartsAtTheCurrentZoom) {
  const std::pair<int32_t, std::u16string> cases[] = {
      {25600, u"100"}, {25601, u"100"}, {25602, u"100.01"}, {3200, u"12.50"}, {409600, u"1600"}, {256 * 33 + 128, u"33.50"}};
  for (const auto& [z, text] : cases) {
    app->doc.view().zoom_x = app->doc.view().zoom_y = z;
    EXPECT_EQ(zoom({}), 2);
    EXPECT_EQ(fake.dialogs.back().texts.at(resources::kZoomField), text) << z;
  }
}

TEST_F(SkinnedDialogs, CancelEscapeAndEnterOnCancelChangeNothing) {
  const std::vector<DialogStep> cancels[] = {
      {{DialogStep::SetText, resources::kZoomField, u"300"}, {DialogStep::Press, kSkinCancelId}},
      {{DialogStep::SetText, resources::kZoomField, u"300"}, {DialogStep::Escape}},
      {{DialogStep::SetText, resources::kZoomField, u"300"}, {DialogStep::Focus, kSkinCancelId}, {DialogStep::Enter}},
  };
  for (const auto& steps : cancels) {
    EXPECT_EQ(zoom(steps), 2);
    EXPECT_EQ(app->doc.view().zoom_x, 25600);
    EXPECT_EQ(last().end_code, platform::kDialogCancel);
  }
  // Enter anywhere else is OK.
  EXPECT_EQ(zoom({{DialogStep::SetText, resources::kZoomField, u"300"}, {DialogStep::Enter}}), 0);
  EXPECT_EQ(app->doc.view().zoom_x, 300 * 256);
}

TEST_F(SkinnedDialogs, CommandsAreIgnoredWhileTheDialogRuns) {
  struct Probe : platform::DialogHandler {
    explicit Probe(Application& a) : app(a) {}
    void init(platform::Dialog& d) override {
      modal_during = app.shell.modal_open;
      dispatch_command(app, cmd::ActualPixels);
      dispatch_command(app, cmd::ZoomArbitrary);  // no second dialog
      d.end(platform::kDialogOk);
    }
    Application& app;
    uint32_t modal_during = 0;
  } probe(*app);
  app->shell.window->menu().set_enabled(cmd::ActualPixels, true);
  app->shell.window->menu().set_enabled(cmd::ZoomArbitrary, true);
  app->doc.view().zoom_x = app->doc.view().zoom_y = 3200;
  EXPECT_EQ(run_modal_dialog(app->shell, resources::zoom_dialog(), probe), platform::kDialogOk);
  EXPECT_NE(probe.modal_during, 0u);
  EXPECT_EQ(app->doc.view().zoom_x, 3200);
  EXPECT_EQ(fake.dialogs.size(), 1u);
  EXPECT_FALSE(app->shell.modal_open);
  dispatch_command(*app, cmd::ActualPixels);  // and after it, they run again
  EXPECT_EQ(app->doc.view().zoom_x, 25600);
}

TEST_F(SkinnedDialogs, EachDialogLoadsItsPicturesAndFreesThemOnDestroy) {
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(zoom({}), 2);
    EXPECT_FALSE(skin_surfaces_left()) << round;
    auto backgrounds = paints_of(0);
    ASSERT_EQ(backgrounds.size(), 1u) << round;
    int32_t w = 0, h = 0;
    auto picture = entry_picture(53, w, h);
    EXPECT_EQ(backgrounds[0]->width, 257);
    EXPECT_EQ(backgrounds[0]->height, 144);
    EXPECT_EQ(backgrounds[0]->pixels, picture) << round;  // an exact copy at the picture's size
  }
  // Centred on the main window's client area: the fake dialog frame is 263 × 173 (257 × 144 plus
  // frames 3 and caption 23); the client area 400 × 300 starts at (103, 146) (frame 3, caption 23,
  // menu 20): (103 + (400 − 263) / 2, 146 + (300 − 173) / 2).
  EXPECT_EQ(last().window.left, 171);
  EXPECT_EQ(last().window.top, 209);
}

TEST_F(SkinnedDialogs, ButtonsShowTheirStateRows) {
  EXPECT_EQ(zoom({{DialogStep::Focus, kSkinOkId}, {DialogStep::Disable, resources::kZoomField},
                  {DialogStep::Press, kSkinCancelId}}),
            2);
  auto ok = paints_of(kSkinOkId);
  auto cancel = paints_of(kSkinCancelId);
  ASSERT_EQ(ok.size(), 2u);  // the first paint and the redraw
  EXPECT_FALSE(ok[0]->focused);
  EXPECT_EQ(ok[0]->pixels, state_row(54, 0));
  EXPECT_TRUE(ok[1]->focused);
  EXPECT_EQ(ok[1]->pixels, state_row(54, 1));
  ASSERT_EQ(cancel.size(), 3u);  // first paint, redraw, pressed
  EXPECT_TRUE(cancel[2]->pressed);
  EXPECT_EQ(cancel[2]->width, 88);
  EXPECT_EQ(cancel[2]->height, 21);
  EXPECT_EQ(cancel[2]->pixels, state_row(55, 2));
  EXPECT_NE(state_row(55, 2), state_row(55, 0));
}

TEST_F(SkinnedDialogs, DisabledButtonIsTheNormalRowBrightened) {
  EXPECT_EQ(zoom({{DialogStep::Disable, kSkinOkId}}), 2);
  auto ok = paints_of(kSkinOkId);
  ASSERT_EQ(ok.size(), 2u);
  ASSERT_TRUE(ok[1]->disabled);
  auto normal = state_row(54, 0);
  ASSERT_EQ(ok[1]->pixels.size(), normal.size());
  for (size_t i = 0; i < normal.size(); ++i) {
    for (int shift : {0, 8, 16}) {
      uint32_t want = std::min<uint32_t>(255, ((normal[i] >> shift) & 0xFF) + 96);
      ASSERT_EQ((ok[1]->pixels[i] >> shift) & 0xFF, want) << i << " " << shift;
    }
  }
}

TEST_F(SkinnedDialogs, LargerClientAreaStretchesTheBackground) {
  EXPECT_EQ(zoom({}, platform::Size{514, 288}), 2);
  auto backgrounds = paints_of(0);
  ASSERT_EQ(backgrounds.size(), 1u);
  const DialogPaint& bg = *backgrounds[0];
  ASSERT_EQ(bg.width, 514);
  ASSERT_EQ(bg.height, 288);
  int32_t w = 0, h = 0;
  auto picture = entry_picture(53, w, h);
  // Twice the size: the frame stays on the outer edges and the title band's line (row 24 of the
  // picture) lands near row 48.
  const uint32_t frame = picture[0] & 0xFFFFFF;
  EXPECT_EQ(bg.pixels[0] & 0xFFFFFF, frame);
  EXPECT_EQ(bg.pixels[static_cast<size_t>(287) * 514 + 513] & 0xFFFFFF, picture.back() & 0xFFFFFF);
  const uint32_t band_line = picture[static_cast<size_t>(24) * w + 100] & 0xFFFFFF;
  bool found = false;
  for (int y = 46; y <= 50; ++y) found |= (bg.pixels[static_cast<size_t>(y) * 514 + 200] & 0xFFFFFF) == band_line;
  EXPECT_TRUE(found);
}

TEST_F(SkinnedDialogs, ModelessEffectSkinSurvivesAModalDialog) {
  // The effect parameter dialog is modeless on base 52 (work surfaces 74 and 75); a modal dialog
  // opened meanwhile uses base 40 and must leave it intact.
  SkinnedDialog effect(app->shell, app->doc.surfaces(), resources::kSkinEffect, kSkinEffectBase);
  static constexpr platform::ControlTemplate kControls[] = {
      {kSkinOkId, platform::ControlKind::OwnerDrawButton, u"OK", {10, 200, 98, 221}},
      {kSkinCancelId, platform::ControlKind::OwnerDrawButton, u"キャンセル", {110, 200, 198, 221}},
  };
  static constexpr platform::DialogTemplate kEffect{125, u"効果", 361, 257, kControls, kSkinOkId, kSkinCancelId};
  auto window = fake.open_modeless_dialog(kEffect, effect);
  ASSERT_TRUE(window);
  auto& d = static_cast<platform::FakeDialog&>(window->dialog());
  for (int32_t key : {52, 53, 54, 74, 75}) EXPECT_NE(surface_find(app->doc.surfaces(), key), nullptr) << key;
  EXPECT_EQ(zoom({{DialogStep::Press, kSkinOkId}}), 0);
  for (int32_t key : {52, 53, 54, 74, 75}) EXPECT_NE(surface_find(app->doc.surfaces(), key), nullptr) << key;
  EXPECT_FALSE(skin_surfaces_left());
  const size_t before = d.paints.size();
  d.redraw();
  ASSERT_EQ(d.paints.size(), before + 3);
  EXPECT_EQ(d.paints[before].width, 361);  // the background, then both buttons, still skinned
  EXPECT_EQ(d.paints[before + 1].pixels, state_row(51, 1));  // OK holds the focus
  window.reset();
  for (int32_t key : {52, 53, 54, 74, 75}) EXPECT_EQ(surface_find(app->doc.surfaces(), key), nullptr) << key;
}

// A background drawn without a title (Image Size shares its look with the other edit dialogs) shows
// the dialog's caption in its band; one drawn with its title (Crop) is shown as drawn.
TEST(SkinnedDialogCaptions, BackgroundsWithoutATitleShowTheCaptionInTheirBand) {
  testing::TempFolder tmp;
  platform::FakePlatform fake;
  auto app = std::make_unique<Application>(tmp.folder());
  app->shell.glyphs = std::make_unique<platform::FakeGlyphService>();
  open_main_window(*app, fake);
  const std::u16string picture = tmp.file("pic.bmp");
  ASSERT_EQ(testing::write_flat_bmp(picture, 8, 8), 0);
  ASSERT_EQ(app->viewer.open_file(picture, -1, -1), 0);
  struct Case {
    uint16_t command, dialog;
    uint32_t entry;  // the background picture
    bool caption_written;
  };
  for (const Case& c : {Case{cmd::ImageSize, resources::kImageSizeDialogId, 24, true},
                        Case{cmd::Scissor, resources::kCropDialogId, 30, false}}) {
    SCOPED_TRACE(c.command);
    fake.dialog_scripts.push_back(DialogScript{c.dialog, std::nullopt, {{DialogStep::Press, kSkinCancelId}}});
    dispatch_command(*app, c.command);
    ASSERT_FALSE(fake.dialogs.empty());
    const DialogRecord& shown = fake.dialogs.back();
    ASSERT_EQ(shown.id, c.dialog);
    const auto background = std::find_if(shown.paints.begin(), shown.paints.end(),
                                         [](const DialogPaint& p) { return p.control == 0; });
    ASSERT_NE(background, shown.paints.end());
    int32_t w = 0, h = 0;
    const std::vector<uint32_t> drawn = entry_picture(c.entry, w, h);
    ASSERT_EQ(background->width, w);
    const size_t band = static_cast<size_t>(resources::kSkinTitleBand) * static_cast<size_t>(w);
    EXPECT_EQ(!std::equal(drawn.begin(), drawn.begin() + static_cast<ptrdiff_t>(band), background->pixels.begin()),
              c.caption_written);
  }
}

TEST_F(SkinnedDialogs, WithoutPicturesTheDialogStillWorksUnskinned) {
  // The pictures cannot be had: nothing is drawn, nothing is left behind, the dialog works.
  class Unskinned final : public SkinnedDialog {
   public:
    explicit Unskinned(Application& a)
        : SkinnedDialog(a.shell, a.doc.surfaces(), resources::SkinGroup{200, 3, 0, 1, 2}, kSkinModalBase) {}
  } handler(*app);
  fake.dialog_scripts.push_back(DialogScript{0, std::nullopt, {{DialogStep::Press, kSkinOkId}}});
  EXPECT_EQ(run_modal_dialog(app->shell, resources::zoom_dialog(), handler), platform::kDialogOk);
  EXPECT_TRUE(last().paints.empty());
  EXPECT_FALSE(skin_surfaces_left());
}

}  // namespace
}  // namespace tesmo
