// The viewer as run_viewer sets it up (fake platform), used the way a user does: keys through the
// message loop, the effect dialogs' OK, the live preview, Save As, the batch dialog, full screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/application.h"
#include "app/commands.h"
#include "app/main_window.h"
#include "base/path.h"
#include "edit/batch.h"
#include "edit/edit.h"
#include "edit/effects.h"
#include "platform/fake/fake_platform.h"
#include "resources/command_ids.h"
#include "resources/dialog_templates.h"
#include "resources/effect_commands.h"
#include "shell/dialog_skin.h"
#include "surface/compositor.h"
#include "temp_folder.h"
#include "viewer/zoom.h"

namespace tesmo {
namespace {

using platform::DialogScript;
using platform::DialogStep;
namespace key = platform::key;
namespace res = resources;

constexpr uint32_t kColourMask = 0x00FFFFFFu;
constexpr int kPngItem = 6;  // the save options' format item of PNG

class RunningViewer : public ::testing::Test {
 protected:
  // Writes a w × h picture (32 bits with an alpha channel, else 24) whose pixel i is pixel(i).
  template <typename Pixel>
  std::u16string picture(const char* name, int w, int h, bool alpha, Pixel pixel) {
    SurfaceTable t;
    EXPECT_EQ(surface_create(t, 1, w, h), 0);
    uint32_t* p = surface_find(t, 1)->pixels();
    for (int i = 0; i < w * h; ++i) p[i] = pixel(i);
    const std::u16string path = tmp.file(name);
    EXPECT_EQ(surface_save(t, 1, path, alpha ? 32 : 24, nullptr), 0);
    return path;
  }
  // The viewer started on `path` (none: empty), its message loop left idle.
  void start(const std::u16string& path = {}) {
    fake.max_idle_polls = 2;
    app = std::make_unique<Application>(tmp.folder());
    std::vector<std::u16string> args = {u"tesmo64"};
    if (!path.empty()) args.push_back(path);
    ASSERT_EQ(run_viewer(*app, fake, parse_command_line(args)), -99);
  }
  // The queued events through the message loop, later than the navigation interval.
  void run_events() {
    fake.clock_ms += 1000;
    fake.idle_polls = 0;
    run_message_loop(*app);
  }
  std::vector<uint32_t> pixels(int32_t key) {
    const Surface* s = surface_find(app->doc.surfaces(), key);
    return s ? std::vector<uint32_t>(s->pixels(), s->pixels() + s->pixel_count()) : std::vector<uint32_t>{};
  }
  // The colours of the back buffer's top-left w × h pixels.
  std::vector<uint32_t> shown(int w, int h) {
    const Surface* s = surface_find(app->doc.surfaces(), kKeyBackBuffer);
    std::vector<uint32_t> out;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) out.push_back(s->pixels()[y * s->width + x] & kColourMask);
    return out;
  }
  static std::vector<uint32_t> colours(std::vector<uint32_t> px) {
    for (uint32_t& p : px) p &= kColourMask;
    return px;
  }
  platform::FakeDialog& effect_dialog() { return *fake.last_modeless; }
  void wait_for_job() {
    for (int i = 0; i < 5000 && app->doc.job_running(); ++i) {
      app->doc.poll_background_job();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_FALSE(app->doc.job_running());
  }

  testing::TempFolder tmp;
  platform::FakePlatform fake;
  std::unique_ptr<Application> app;
};

// "+" and "_" arrive with Shift held on a US layout: they zoom as "=" and "-" do, Control doubling.
TEST_F(RunningViewer, ShiftedPlusAndMinusKeysZoom) {
  start(picture("p.bmp", 8, 8, false, [](int) { return 0xFF808080u; }));
  const uint8_t shift = key::ModShift, ctrl_shift = key::ModControl | key::ModShift;
  const struct {
    uint16_t key;
    uint8_t modifiers;
    int32_t zoom;
  } cases[] = {{key::OemPlus, shift, 28160},       // 110 %
               {key::OemPlus, ctrl_shift, 51200},  // 200 %
               {key::OemMinus, shift, 23040},      // 90 %
               {key::OemMinus, ctrl_shift, 19200}};
  for (const auto& c : cases) {
    fake.push_key(key::digit(0));  // actual pixels
    fake.push_key(c.key, c.modifiers);
    run_events();
    EXPECT_EQ(app->doc.view().zoom_x, c.zoom) << c.key << " " << int(c.modifiers);
  }
}

// The program's one wiring answers each way in: Space steps to the next file of the folder, the
// menu's Arbitrary zoom opens its dialog whose OK zooms, and the undo after an effect goes through
// the editor to the picture the file holds.
TEST_F(RunningViewer, KeysMenuCommandsAndDialogsReachTheirSubsystems) {
  const std::u16string first = picture("a.bmp", 8, 8, false, [](int) { return 0xFF102030u; });
  picture("b.bmp", 6, 4, false, [](int) { return 0xFF405060u; });
  start(first);
  fake.push_key(key::Space);
  run_events();
  EXPECT_EQ(app->doc.view().path, tmp.file("b.bmp"));
  EXPECT_EQ(app->doc.view().image_width, 6);

  fake.dialog_scripts.push_back(
      {res::kZoomDialogId, std::nullopt, {{DialogStep::SetText, res::kZoomField, u"300"}, {DialogStep::Enter}}});
  fake.push_command(cmd::ZoomArbitrary);
  run_events();
  EXPECT_EQ(app->doc.view().zoom_x, 300 * 256);

  fake.push_command(res::EffectNegative);
  run_events();
  ASSERT_TRUE(effect_dialog_open(app->edit));
  effect_dialog().perform({DialogStep::Press, kSkinOkId});
  EXPECT_EQ(colours(pixels(kKeyImage)), std::vector<uint32_t>(24, 0xBFAF9Fu));
  fake.push_key(key::letter('Z'), key::ModControl);
  run_events();
  EXPECT_EQ(colours(pixels(kKeyImage)), std::vector<uint32_t>(24, 0x405060u));
}

// A file the user asked for that no reader takes is named with the reader's reason, whichever way it
// was asked for; a file stepped over in its folder is skipped without a word.
TEST_F(RunningViewer, AFileAskedForThatCannotBeOpenedIsReported) {
  const std::u16string text = tmp.file("notes.txt"), empty = tmp.file("empty.bmp");
  std::ofstream(to_fs_path(text)) << "not a picture";
  std::ofstream(to_fs_path(empty)).flush();
  start(text);  // the command line
  ASSERT_EQ(fake.messages.size(), 1u);
  EXPECT_EQ(fake.messages[0].rfind(u"notes.txt を開けませんでした。\n\n", 0), 0u);
  EXPECT_GT(fake.messages[0].size(), std::u16string(u"notes.txt を開けませんでした。\n\n").size());  // the reason

  fake.open_answers = {empty};  // File → Open
  fake.push_command(cmd::OpenImage);
  run_events();
  ASSERT_EQ(fake.messages.size(), 2u);
  EXPECT_EQ(fake.messages[1].rfind(u"empty.bmp を開けませんでした。", 0), 0u);

  fake.push(platform::Event{.kind = platform::EventKind::DropFiles, .files = {text}});
  run_events();
  EXPECT_EQ(fake.messages.size(), 3u);

  const std::u16string a = picture("a.bmp", 4, 4, false, [](int) { return 0xFF000000u; });
  picture("c.bmp", 4, 4, false, [](int) { return 0xFF000000u; });
  fake.messages.clear();
  app->viewer.open_asked(a);
  fake.push_key(key::Space);  // past empty.bmp and notes.txt to c.bmp
  run_events();
  EXPECT_EQ(app->doc.view().path, tmp.file("c.bmp"));
  EXPECT_TRUE(fake.messages.empty());
}

// Every effect the menu offers for an opaque 24-bit picture, through its dialog's OK and Save As
// PNG in its default 8:8:8:8 layout: the file is opaque.
TEST_F(RunningViewer, EffectsThroughTheDialogSaveOpaque) {
  start(picture("p.bmp", 8, 8, false, [](int i) { return 0xFF000000u | static_cast<uint32_t>(i * 0x030507); }));
  std::vector<int> transparent;
  for (int index = 0; index < kEffectCount; ++index) {
    const uint16_t item = resources::kEffectCommands[static_cast<size_t>(index)];
    if (!app->shell.window->menu().is_enabled(item)) continue;
    dispatch_command(*app, item);
    ASSERT_TRUE(effect_dialog_open(app->edit)) << index;
    effect_dialog().perform({DialogStep::Press, kSkinOkId});
    if (surface_find(app->doc.surfaces(), kKeyAlpha)) continue;  // the effect made an alpha channel
    const std::u16string saved = tmp.file(("e" + std::to_string(index) + ".png").c_str());
    fake.save_answers.push_back(platform::SaveFileChoice{saved, 1});
    fake.dialog_scripts.push_back(DialogScript{res::kSaveOptionsDialogId, std::nullopt,
                                               {{DialogStep::Select, res::kSaveFormatCombo, u"", kPngItem},
                                                {DialogStep::Press, kSkinOkId}}});
    dispatch_command(*app, cmd::SaveAs);
    wait_for_job();
    SurfaceTable t(1);
    ASSERT_EQ(surface_load(t, 1, saved, true), 0) << index;
    EXPECT_EQ(t.find(1)->info.bits, 32) << index;
    const auto written = t.find(1)->picture();
    if (std::any_of(written.begin(), written.end(), [](uint32_t p) { return p >> 24 != 255; })) {
      transparent.push_back(index);
    }
  }
  EXPECT_EQ(transparent, std::vector<int>{});
}

// Gamma and displacement mapping on a picture with an alpha channel work on the picture itself,
// in the live preview and on OK: gamma corrects the colours as if opaque, and a displacement map of
// 128 everywhere leaves the picture as it was. Neither shows the background.
TEST_F(RunningViewer, GammaAndDisplacementWorkOnThePicture) {
  const int w = 8, h = 8;
  const auto colour = [](int i) { return 0x80000000u | static_cast<uint32_t>(0x102030 + i * 0x010203); };
  const std::u16string path = picture("p.bmp", w, h, true, colour);
  std::vector<uint32_t> original(w * h);
  for (int i = 0; i < w * h; ++i) original[i] = colour(i) & kColourMask;
  std::vector<uint32_t> corrected;
  {
    SurfaceTable t;
    surface_create(t, 1, w, h);
    surface_create(t, 3, w, h);
    for (int i = 0; i < w * h; ++i) surface_find(t, 1)->pixels()[i] = 0xFF000000u | original[i];
    blit(t, 3, 1, kOpGamma, {.width = w, .height = h, .param1 = 200, .param2 = 200, .param3 = 200});
    corrected = colours(std::vector<uint32_t>(surface_find(t, 3)->pixels(), surface_find(t, 3)->pixels() + w * h));
  }
  const struct {
    uint16_t item;
    std::u16string p1;
    const std::vector<uint32_t>& want;
  } cases[] = {{res::EffectGamma, u"200", corrected}, {res::EffectDisplacement, u"50", original}};
  for (const auto& c : cases) {
    start(path);
    const auto alpha = pixels(kKeyAlpha);
    dispatch_command(*app, c.item);
    ASSERT_TRUE(effect_dialog_open(app->edit)) << c.item;
    effect_dialog().perform({DialogStep::SetText, res::kEffectFields[0], c.p1});
    app->viewer.frame_update(0);
    EXPECT_EQ(shown(w, h), c.want) << "preview " << c.item;
    effect_dialog().perform({DialogStep::Press, kSkinOkId});
    EXPECT_EQ(colours(pixels(kKeyImage)), c.want) << "applied " << c.item;
    EXPECT_EQ(pixels(kKeyAlpha), alpha) << c.item;
  }
}

// Below 100 % the preview shows the whole picture through the effect, as the frame shows it.
TEST_F(RunningViewer, PreviewBelowActualSizeCoversTheWholePicture) {
  const int w = 1000, h = 800;
  start(picture("p.bmp", w, h, false, [](int) { return 0xFF204060u; }));
  set_zoom(app->viewer, 12800, 12800);  // 50 %: a 500 × 400 window
  dispatch_command(*app, res::EffectNegative);
  ASSERT_TRUE(effect_dialog_open(app->edit));
  app->viewer.frame_update(0);
  EXPECT_EQ(shown(w / 2, h / 2), std::vector<uint32_t>(w / 2 * h / 2, 0xDFBF9Fu));
}

// With no picture (a batch step) the Image Size dialog opens at 0 × 0 with the aspect lock on:
// the typed width and height stand.
TEST_F(RunningViewer, BatchImageSizeKeepsTheTypedSize) {
  std::filesystem::create_directories(tmp.path() / "pics");
  const std::u16string pics = tmp.file("pics");
  for (const char* name : {"pics/a.bmp", "pics/b.bmp"}) picture(name, 4, 4, false, [](int) { return 0xFF336699u; });
  start();
  std::vector<DialogStep> steps = {{DialogStep::SetText, res::kBatchFolderField, pics},
                                   {DialogStep::SetText, res::kBatchExtensionField, u"*.bmp"}};
  for (int32_t op : {kBatchImageSize, kBatchSave}) {
    steps.push_back({DialogStep::Pick, res::kBatchOperations, u"", 0, {batch_list_position(op)}});
    steps.push_back({DialogStep::Press, res::kBatchAdd});
  }
  steps.push_back({DialogStep::Press, kSkinOkId});
  fake.dialog_scripts.push_back(DialogScript{res::kBatchDialogId, std::nullopt, steps});
  fake.dialog_scripts.push_back(DialogScript{res::kImageSizeDialogId,
                                             std::nullopt,
                                             {{DialogStep::SetText, res::kWidthField, u"320"},
                                              {DialogStep::SetText, res::kHeightField, u"240"},
                                              {DialogStep::Press, kSkinOkId}}});
  fake.dialog_scripts.push_back(DialogScript{res::kSaveOptionsDialogId,
                                             std::nullopt,
                                             {{DialogStep::Select, res::kSaveFormatCombo, u"", 0},
                                              {DialogStep::Press, kSkinOkId}}});
  fake.push_command(cmd::Batch);
  run_events();
  for (const char* name : {"pics/a.bmp", "pics/b.bmp"}) {
    SurfaceTable t;
    ASSERT_EQ(surface_load(t, 1, tmp.file(name), false), 0);
    EXPECT_EQ(surface_find(t, 1)->width, 320) << name;
    EXPECT_EQ(surface_find(t, 1)->height, 240) << name;
  }
}

// Enter shows the picture full screen at (0, 0), and keeps it there; Enter again brings the window
// back at its size and place.
TEST_F(RunningViewer, FullScreenReturnsToTheWindowedSizeAndPlace) {
  {
    SettingsStore store(tmp.folder());
    store.settings().window_x = 300;
    store.settings().window_y = 200;
    ASSERT_EQ(store.save(), 0);
  }
  start(picture("p.bmp", 640, 480, false, [](int) { return 0xFF808080u; }));
  const platform::Rect windowed = app->shell.window->window_rect();
  fake.push_key(key::Return);
  run_events();
  ASSERT_TRUE(app->doc.view().flags & kFullScreen);
  const platform::Rect full = app->shell.window->window_rect();
  EXPECT_EQ(full.left, 0);
  EXPECT_EQ(full.top, 0);
  // A window manager that leaves it at its old frame's offset: the window goes back to (0, 0).
  fake.window->move({1, 20});
  fake.push(platform::Event{.kind = platform::EventKind::Move, .x = 1, .y = 20});
  run_events();
  EXPECT_EQ(app->shell.window->window_rect().left, 0);
  EXPECT_EQ(app->shell.window->window_rect().top, 0);
  fake.push_key(key::Return);
  run_events();
  ASSERT_FALSE(app->doc.view().flags & kFullScreen);
  const platform::Rect back = app->shell.window->window_rect();
  EXPECT_EQ(back.left, windowed.left);
  EXPECT_EQ(back.top, windowed.top);
  EXPECT_EQ(back.width(), windowed.width());
  EXPECT_EQ(back.height(), windowed.height());
}

}  // namespace
}  // namespace tesmo
