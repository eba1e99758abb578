// The edit framework through the fake platform: the effect table against the design's values, the
// undo level, the parameter dialog (links, clamping, OK, Cancel, close), the live preview and the
// apply step against the compositor run directly.
#include <gtest/gtest.h>

#include <vector>

#include "app/application.h"
#include "app/commands.h"
#include "edit/edit.h"
#include "edit/effects.h"
#include "platform/fake/fake_platform.h"
#include "resources/command_ids.h"
#include "resources/dialog_templates.h"
#include "resources/resources.h"
#include "shell/dialog_skin.h"
#include "shell/menu_options.h"
#include "surface/compositor.h"
#include "temp_folder.h"
#include "tests/app/fake_viewer.h"
#include "viewer/viewer_dialogs.h"

namespace tesmo {
namespace {

using platform::DialogStep;
namespace res = resources;

TEST(EffectTable, RowsMatchTheDesign) {
  reset_effect_table();
  const auto t = effect_table();
  // Spot checks: op, one parameter row, links.
  EXPECT_EQ(t[0].op, 18);
  EXPECT_EQ(std::u16string(t[0].params[1].label), u"明るさ G");
  EXPECT_EQ(t[0].params[1].min, -255);
  EXPECT_EQ(t[0].params[1].max, 255);
  EXPECT_EQ(t[0].link_enabled, (std::array<bool, 3>{true, true, false}));
  EXPECT_EQ(t[0].link_checked, (std::array<bool, 3>{true, true, false}));
  EXPECT_EQ(t[12].op, 39);
  EXPECT_EQ(std::u16string(t[12].params[3].label), u"青の露光値");
  EXPECT_EQ(t[12].params[3].def, 200);
  EXPECT_EQ(t[12].link_enabled, (std::array<bool, 3>{false, true, true}));
  EXPECT_EQ(t[12].link_checked, (std::array<bool, 3>{false, true, true}));
  EXPECT_EQ(t[3].params[0].max, 3000);
  EXPECT_EQ(t[3].params[0].def, 300);
  EXPECT_EQ(t[11].params[2].def, 145);
  EXPECT_EQ(t[18].params[3].min, 1);
  EXPECT_EQ(t[18].params[3].max, 32);
  EXPECT_EQ(t[14].params[0].min, -256);
  EXPECT_EQ(t[14].params[0].def, 128);
  EXPECT_EQ(t[34].op, 13);
  EXPECT_EQ(t[32].op, 47);
  EXPECT_EQ(t[32].params[2].def, 0);  // the design's placeholder outside its -1…-1 range
  EXPECT_EQ(std::u16string(t[23].params[0].label), u"フィルターの種類");
  EXPECT_EQ(effect_name(0), u"色調補正 - 明るさ");
  EXPECT_EQ(effect_name(16), u"変形 - ラスター");
  EXPECT_EQ(effect_name(17), u"特殊効果 - 塗りつぶし");
  EXPECT_EQ(effect_name(28), u"合成 - αチャンネル (加算)");
  EXPECT_EQ(effect_name(35), u"");
  // Ops in index order, from the design's table.
  const int32_t ops[kEffectCount] = {18, 14, 24, 38, 22, 12, 23, 28, 7,  31, 17, 37, 39, 15, 25, 30, 32, 19,
                                     21, 8,  27, 29, 16, 20, 1,  3,  5,  40, 41, 42, 43, 45, 47, 46, 13};
  for (int i = 0; i < kEffectCount; ++i) EXPECT_EQ(t[static_cast<size_t>(i)].op, ops[i]) << i;
}

TEST(EffectTable, DefaultsInsideRangesAndUnusedRowsEmpty) {
  reset_effect_table();
  auto check = [](bool adjusted) {
    for (int i = 0; i < kEffectCount; ++i) {
      const EffectDescriptor& e = effect_table()[static_cast<size_t>(i)];
      for (int k = 0; k < 4; ++k) {
        const ParamDescriptor& p = e.params[static_cast<size_t>(k)];
        if (!adjusted && i == 32 && (k == 1 || k == 2)) continue;  // filled when a dialog opens
        EXPECT_LE(p.min, p.def) << i << " " << k;
        EXPECT_LE(p.def, p.max) << i << " " << k;
        EXPECT_GE(p.min, -32768);  // track bar ranges are packed as 16-bit values
        EXPECT_LE(p.max, 32767);
        if (std::u16string(p.label) == u"-") {
          EXPECT_EQ(p.min | p.max | p.def, 0) << i << " " << k;
        }
      }
      for (int k = 0; k < 3; ++k) EXPECT_FALSE(e.link_checked[k] && !e.link_enabled[k]);
    }
  };
  check(false);
  for (int i = 0; i < kEffectCount; ++i) adjust_effect_ranges(i, 64, 48);
  check(true);
  const auto t = effect_table();
  EXPECT_EQ(t[15].params[0].max, 64);
  EXPECT_EQ(t[15].params[1].def, 24);
  EXPECT_EQ(t[32].params[1].def, 32);
  EXPECT_EQ(t[32].params[2].max, 48);
  EXPECT_EQ(t[32].params[2].min, -1);
  adjust_effect_ranges(18, 10, 40);
  EXPECT_EQ(t[18].params[3].max, 5);
  adjust_effect_ranges(18, 1, 1);
  EXPECT_EQ(t[18].params[3].max, 1);
  adjust_effect_ranges(20, 5, 9);
  EXPECT_EQ(t[20].params[0].max, 5);
  EXPECT_EQ(t[20].params[0].def, 5);
  reset_effect_table();
}

// A 6 × 4 picture with every colour different and, optionally, a varying alpha, saved as a 32-bit
// BMP and opened in the viewer.
class EditFixture : public ::testing::Test {
 protected:
  void open(bool alpha, int w = 6, int h = 4) {
    reset_effect_table();
    app = testing::make_fake_viewer(fake, tmp.folder());
    SurfaceTable t;
    ASSERT_EQ(surface_create(t, 1, w, h), 0);
    uint32_t* px = surface_find(t, 1)->pixels();
    for (int i = 0; i < w * h; ++i) {
      const uint32_t a = alpha ? static_cast<uint32_t>(20 + i * 9) : 255u;
      px[i] = (a << 24) | static_cast<uint32_t>((i * 37 + 11) << 16 | (i * 23 + 90) << 8 | (200 - i * 7));
    }
    const std::u16string path = tmp.folder() + u"pic.bmp";
    ASSERT_EQ(surface_save(t, 1, path, alpha ? 32 : 24, nullptr), 0);
    ASSERT_EQ(app->viewer.open_file(path, -1, -1), 0);
    app->shell.active = true;
  }
  std::vector<uint32_t> pixels(int32_t key) {
    const Surface* s = surface_find(app->doc.surfaces(), key);
    return s ? std::vector<uint32_t>(s->pixels(), s->pixels() + s->pixel_count()) : std::vector<uint32_t>{};
  }
  // Op `op` run directly on a copy of `src` over a destination that starts as `dst_fill`.
  std::vector<uint32_t> direct(const std::vector<uint32_t>& src, int w, int h, int32_t op, int32_t p1, int32_t p2,
                               int32_t p3, int32_t p4, uint32_t dst_fill = 0) {
    SurfaceTable t;
    surface_create(t, 1, w, h);
    surface_create(t, 3, w, h);
    std::copy(src.begin(), src.end(), surface_find(t, 1)->pixels());
    std::fill_n(surface_find(t, 3)->pixels(), w * h, dst_fill);
    blit(t, 3, 1, static_cast<uint32_t>(op),
         {.width = w, .height = h, .param1 = p1, .param2 = p2, .param3 = p3, .param4 = p4});
    const Surface* s = surface_find(t, 3);
    return {s->pixels(), s->pixels() + s->pixel_count()};
  }
  bool enabled(uint16_t id) { return app->shell.window->menu().is_enabled(id); }
  platform::FakeDialog& dialog() { return *fake.last_modeless; }

  testing::TempFolder tmp;
  platform::FakePlatform fake;
  std::unique_ptr<Application> app;
};

TEST_F(EditFixture, UndoRestoresPictureAndAlphaOnce) {
  open(true);
  const auto image = pixels(kKeyImage), alpha = pixels(kKeyAlpha);
  ASSERT_FALSE(alpha.empty());
  EXPECT_FALSE(enabled(cmd::Undo));
  dispatch_command(*app, cmd::Undo);  // nothing to undo right after opening
  EXPECT_EQ(pixels(kKeyImage), image);

  run_effect(app->edit, 7, 0, 0, 0, 0);  // negative
  EXPECT_NE(pixels(kKeyImage), image);
  EXPECT_TRUE(app->doc.view().flags & kModified);
  EXPECT_TRUE(enabled(cmd::Undo));
  EXPECT_TRUE(enabled(cmd::Save));
  EXPECT_EQ(app->doc.edit_history, std::vector<std::u16string>{u"色調補正 - 階調の反転"});

  dispatch_command(*app, cmd::Undo);
  EXPECT_EQ(pixels(kKeyImage), image);
  EXPECT_EQ(pixels(kKeyAlpha), alpha);
  EXPECT_FALSE(app->doc.view().flags & kModified);
  EXPECT_FALSE(enabled(cmd::Undo));
  EXPECT_TRUE(enabled(cmd::ChannelAlpha));

  // Two edits: one undo goes back one step and the picture stays modified; the item stays grey.
  run_effect(app->edit, 7, 0, 0, 0, 0);
  const auto once = pixels(kKeyImage);
  run_effect(app->edit, 0, 10, 10, 10, 0);
  dispatch_command(*app, cmd::Undo);
  EXPECT_EQ(pixels(kKeyImage), once);
  EXPECT_TRUE(app->doc.view().flags & kModified);
  dispatch_command(*app, cmd::Undo);
  EXPECT_EQ(pixels(kKeyImage), once);
}

TEST_F(EditFixture, DialogLinksClampOkAppliesWithUndo) {
  open(false);
  const auto image = pixels(kKeyImage);
  dispatch_command(*app, 40448);  // brightness
  ASSERT_TRUE(effect_dialog_open(app->edit));
  platform::FakeDialog& d = dialog();
  EXPECT_EQ(d.text(res::kEffectLabels[0]), u"明るさ R");
  EXPECT_TRUE(d.checked(res::kEffectLinks[0]));
  EXPECT_FALSE(d.enabled(res::kEffectLinks[2]));
  EXPECT_EQ(app->doc.view().view_operation, 18u);
  EXPECT_TRUE(app->shell.keep_running_when_inactive);
  EXPECT_EQ(app->shell.dialogs[0], app->edit.effect_dialog.get());

  d.perform({DialogStep::Slide, res::kEffectSliders[1], u"", 40});  // P2 carries P1 and P3
  EXPECT_EQ(d.text(res::kEffectFields[0]), u"40");
  EXPECT_EQ(d.position(res::kEffectSliders[2]), 40);
  EXPECT_EQ(app->doc.view().operation_params[2], 40);
  d.perform({DialogStep::Check, res::kEffectLinks[1]});  // only P1–P2 linked now
  d.perform({DialogStep::SetText, res::kEffectFields[0], u"999"});
  EXPECT_EQ(d.text(res::kEffectFields[0]), u"255");
  EXPECT_EQ(app->doc.view().operation_params[0], 255);
  EXPECT_EQ(app->doc.view().operation_params[1], 255);
  EXPECT_EQ(app->doc.view().operation_params[2], 40);
  d.perform({DialogStep::SetText, res::kEffectFields[0], u"-300"});
  EXPECT_EQ(d.text(res::kEffectFields[0]), u"-255");
  d.perform({DialogStep::Slide, res::kEffectSliders[0], u"", 30});

  app->viewer.frame_update(0);  // the preview leaves the picture alone
  EXPECT_EQ(pixels(kKeyImage), image);
  d.perform({DialogStep::Press, kSkinOkId});
  EXPECT_FALSE(effect_dialog_open(app->edit));
  EXPECT_EQ(app->doc.view().view_operation, 0u);
  EXPECT_FALSE(app->shell.keep_running_when_inactive);
  EXPECT_EQ(app->shell.dialogs[0], nullptr);
  EXPECT_TRUE(app->doc.view().flags & kModified);
  EXPECT_EQ(pixels(kKeyImage), direct(image, 6, 4, kOpBrightness, 30, 30, 40, 0));
  dispatch_command(*app, cmd::Undo);
  EXPECT_EQ(pixels(kKeyImage), image);
}

TEST_F(EditFixture, CancelAndClosingLeaveThePictureAsItWas) {
  open(true);
  const auto image = pixels(kKeyImage), alpha = pixels(kKeyAlpha);
  dispatch_command(*app, 40531);  // alpha blend: reads the alpha channel every frame
  dialog().perform({DialogStep::Slide, res::kEffectSliders[0], u"", -100});
  app->viewer.frame_update(0);
  app->viewer.frame_update(0);
  EXPECT_EQ(pixels(kKeyImage), image);
  dialog().perform({DialogStep::Escape});
  EXPECT_FALSE(effect_dialog_open(app->edit));
  EXPECT_EQ(pixels(kKeyImage), image);
  EXPECT_EQ(pixels(kKeyAlpha), alpha);
  EXPECT_FALSE(app->doc.view().flags & kModified);
  EXPECT_FALSE(enabled(cmd::Undo));

  // A second dialog replaces the first as Cancel; closing the picture cancels the open one.
  dispatch_command(*app, 40453);
  dispatch_command(*app, 40451);
  EXPECT_EQ(app->doc.view().view_operation, 24u);
  app->viewer.close_image(true);
  EXPECT_FALSE(effect_dialog_open(app->edit));
  EXPECT_EQ(app->edit.effect_dialog, nullptr);
  EXPECT_EQ(app->shell.dialogs[0], nullptr);
  EXPECT_FALSE(app->shell.keep_running_when_inactive);
  EXPECT_EQ(surface_find(app->doc.surfaces(), 52), nullptr);  // the skin pictures went with it
}

TEST_F(EditFixture, EffectItemsFollowShapeAndAlpha) {
  open(false, 6, 4);
  EXPECT_FALSE(enabled(40489));  // lens: square pictures only
  EXPECT_FALSE(enabled(40508));  // displacement: alpha only
  EXPECT_FALSE(enabled(40531));
  EXPECT_TRUE(enabled(40448));
  dispatch_command(*app, 40489);
  EXPECT_FALSE(effect_dialog_open(app->edit));
  open(true, 5, 5);
  EXPECT_TRUE(enabled(40489));
  EXPECT_TRUE(enabled(40602));
  dispatch_command(*app, 40446);  // mosaic on a 5-pixel-wide picture: 1–5, starting at 5
  EXPECT_EQ(dialog().text(res::kEffectFields[0]), u"5");
  dialog().perform({DialogStep::SetText, res::kEffectFields[0], u"9"});
  EXPECT_EQ(dialog().text(res::kEffectFields[0]), u"5");
  cancel_effect_dialog(app->edit);
}

TEST_F(EditFixture, AlphaViewStaysGrey) {
  open(true);
  dispatch_command(*app, cmd::ChannelAlpha);
  ASSERT_TRUE(app->shell.window->menu().is_checked(cmd::ChannelAlpha));
  const auto image = pixels(kKeyImage);
  run_effect(app->edit, 11, 240, 200, 145, 0);  // sepia
  for (uint32_t p : pixels(kKeyAlpha)) {
    EXPECT_EQ(p & 0xFF, (p >> 8) & 0xFF);
    EXPECT_EQ(p & 0xFF, (p >> 16) & 0xFF);
  }
  EXPECT_EQ(pixels(kKeyImage), image);
}

// The apply step against the op run directly with the design's mapping of P1–P4 (written out here:
// effect index → op code, parameters unchanged except the rotation angle × 100).
TEST_F(EditFixture, ApplyMatchesTheOperation) {
  struct Case {
    int index, op;
    int32_t p[4];
    bool background;
  };
  const Case cases[] = {
      {0, 18, {12, -30, 70, 0}, false}, {2, 24, {90, 20, -10, 0}, false}, {4, 22, {50, 180, 400, 0}, true},
      {8, 7, {40, 0, 0, 0}, false},     {11, 37, {240, 200, 145, 0}, false}, {20, 27, {2, 0, 0, 0}, false},
      {24, 1, {100, 128, 200, 0}, true}, {34, 13, {0, 0, 0, 0}, true},     {17, 19, {10, 20, 30, 0}, false},
  };
  open(false);
  const uint32_t blue = 0x000000FFu;  // the default view background
  for (const Case& c : cases) {
    const auto before = pixels(kKeyImage);
    std::vector<uint32_t> src = before;
    run_effect(app->edit, c.index, c.p[0], c.p[1], c.p[2], c.p[3]);
    if (c.op == kOpGamma) {
      // Gamma corrects the colours as if they were opaque and keeps the picture's alpha bytes.
      std::vector<uint32_t> opaque = src;
      for (uint32_t& p : opaque) p |= 0xFF000000u;
      std::vector<uint32_t> want = direct(opaque, 6, 4, c.op, c.p[0], c.p[1], c.p[2], c.p[3]);
      for (size_t i = 0; i < want.size(); ++i) want[i] = (want[i] & 0xFFFFFFu) | (src[i] & 0xFF000000u);
      EXPECT_EQ(pixels(kKeyImage), want);
      continue;
    }
    EXPECT_EQ(pixels(kKeyImage), direct(src, 6, 4, c.op, c.p[0], c.p[1], c.p[2], c.p[3], c.background ? blue : 0))
        << c.index;
  }
  // Alpha rotation on the image: the alpha channel weighs it, the angle goes in hundredths.
  open(true, 6, 6);
  std::vector<uint32_t> src = pixels(kKeyImage);
  const auto alpha = pixels(kKeyAlpha);
  for (size_t i = 0; i < src.size(); ++i) src[i] = (src[i] & 0xFFFFFFu) | (alpha[i] & 0xFF) << 24;
  run_effect(app->edit, 32, 30, 3, 3, 10);
  EXPECT_EQ(pixels(kKeyImage), direct(src, 6, 6, 47, 3000, 3, 3, 10, blue));
}

}  // namespace
}  // namespace tesmo
