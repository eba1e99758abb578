// The Falling Object Controller through the fake platform: opening from the menu, Play with a
// missing picture, frames drawing grains into the back buffer, closing, the project file, field
// clamping while playing, and the buttons that start other programs or choose files.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/commands.h"
#include "base/file_io.h"
#include "base/text.h"
#include "devtools/falling_objects_dialog.h"
#include "devtools/tool_menu.h"
#include "formats/bmp/bmp.h"
#include "platform/fake/fake_platform.h"
#include "resources/command_ids.h"
#include "resources/dialog_templates.h"
#include "temp_folder.h"
#include "tests/app/fake_viewer.h"

namespace tesmo {
namespace {

using platform::DialogStep;
namespace res = resources;

constexpr int32_t kBmp24 = 5, kBmp32 = 6;

class FallingDialogTest : public ::testing::Test {
 protected:
  FallingDialogTest() {
    app = testing::make_fake_viewer(fake, tmp.folder());
  }

  std::u16string picture(const char* name, int w, int h, uint32_t colour, int32_t format) {
    const std::u16string path = tmp.file(name);
    const std::vector<uint32_t> px(static_cast<size_t>(w) * h, colour);
    EXPECT_EQ(file_replace(path, bmp::encode(px, w, h, format)), 0);
    return path;
  }
  void open() {
    dispatch_command(*app, cmd::FallingObjectController);
    ASSERT_TRUE(falling_objects_dialog_open(app->tools));
  }
  platform::FakeDialog& d() { return *fake.last_modeless; }
  void type(uint16_t id, const std::u16string& text) { d().perform({DialogStep::SetText, id, text}); }
  void press(uint16_t id) { d().perform({DialogStep::Press, id}); }
  void set_fixed(int index, const std::u16string& text) { type(res::kFallingFixedFields[static_cast<size_t>(index)], text); }
  void set_variable(int index, const std::u16string& text) {
    type(res::kFallingVariableFields[static_cast<size_t>(index)], text);
  }
  // A black 400 × 300 background and a white, opaque 8 × 8 sprite sheet.
  void pictures() {
    background = picture("bg.bmp", 400, 300, 0xFF000000u, kBmp24);
    sprite = picture("sprite.bmp", 8, 8, 0xFFFFFFFFu, kBmp32);
    type(res::kFallingBackgroundField, background);
    type(res::kFallingSpriteField, sprite);
  }
  // Sixteen 8 × 8 grains from a 100-wide band at the top to a band at y = 200.
  void parameters() {
    set_fixed(0, u"8");
    set_fixed(1, u"8");
    set_fixed(6, u"10");
    set_fixed(7, u"10");
    set_fixed(8, u"100");
    set_fixed(10, u"10");
    set_fixed(11, u"200");
    set_fixed(12, u"100");
    set_fixed(13, u"10");
    set_variable(0, u"16");
    set_variable(2, u"60");
  }
  // `n` frames 20 ms apart: the frame step is 0 until the timer has measured one second.
  void frames(int n) {
    for (int i = 0; i < n; ++i) {
      fake.clock_ms += 20;
      app->viewer.frame_update(0);
    }
  }
  int white_pixels() {
    const Surface* s = surface_find(app->doc.surfaces(), kKeyBackBuffer);
    if (!s) return 0;
    return static_cast<int>(
        std::count_if(s->pixels(), s->pixels() + s->pixel_count(), [](uint32_t p) { return (p & 0xFFFFFF) == 0xFFFFFF; }));
  }
  bool menu_enabled() { return app->shell.window->menu().is_enabled(cmd::FallingObjectController); }

  testing::TempFolder tmp;
  platform::FakePlatform fake;
  std::unique_ptr<Application> app;
  std::u16string background, sprite;
};

TEST_F(FallingDialogTest, OpensWithDefaultsAndGreysItsMenuItem) {
  open();
  EXPECT_FALSE(menu_enabled());
  EXPECT_EQ(app->shell.dialogs[1], app->tools.falling_dialog.get());
  const char16_t* fixed[] = {u"1", u"1", u"1", u"1", u"1", u"0", u"0", u"0", u"800", u"1", u"0", u"504", u"800", u"96", u"0"};
  for (size_t i = 0; i < 15; ++i) EXPECT_EQ(d().text(res::kFallingFixedFields[i]), fixed[i]) << i;
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(d().text(res::kFallingVariableFields[i]), i < 3 ? u"1" : u"0") << i;
  EXPECT_EQ(d().text(res::kFallingBackgroundField), u"");
  // The up-downs step within their ranges: path type 0–1, Max Grain 1–256.
  d().perform({DialogStep::Step, 3005, u"", 3});
  EXPECT_EQ(d().text(res::kFallingFixedFields[5]), u"1");
  d().perform({DialogStep::Step, 3010, u"", -2});
  EXPECT_EQ(d().text(res::kFallingVariableFields[0]), u"1");
  d().perform({DialogStep::Step, 3015, u"", 1});
  EXPECT_EQ(d().text(res::kFallingFixedFields[14]), u"1");
  // A second open while one is up does nothing.
  platform::FakeDialog* first = fake.last_modeless;
  EXPECT_EQ(open_falling_objects_dialog(app->tools), 1);
  EXPECT_EQ(fake.last_modeless, first);
}

TEST_F(FallingDialogTest, PlayWithAMissingPictureReportsItAndLeavesNoSimulation) {
  open();
  pictures();
  const std::u16string missing = tmp.file("nothing.png");
  type(res::kFallingSpriteField, missing);
  press(res::kFallingPlay);
  ASSERT_EQ(fake.messages.size(), 1u);
  EXPECT_EQ(fake.messages[0], u"Load Texture:\n\n [" + missing + u"]");
  EXPECT_EQ(fake.message_captions[0], u"Error");
  EXPECT_EQ(fake.message_icons[0], platform::MessageIcon::Warning);
  EXPECT_FALSE(app->tools.falling_preview);
  EXPECT_FALSE(surface_find(app->doc.surfaces(), kKeyFallingSprites));

  // The sprite loads but the background does not: the sprite sheet is released again.
  type(res::kFallingSpriteField, sprite);
  type(res::kFallingBackgroundField, missing);
  press(res::kFallingPlay);
  ASSERT_EQ(fake.messages.size(), 2u);
  EXPECT_EQ(fake.messages[1], u"Load Texture:\n\n [" + missing + u"]");
  EXPECT_FALSE(app->tools.falling_preview);
  EXPECT_FALSE(surface_find(app->doc.surfaces(), kKeyFallingSprites));
  EXPECT_FALSE(app->doc.view().flags & kImageShown);
  EXPECT_FALSE(app->shell.keep_running_when_inactive);
}

TEST_F(FallingDialogTest, PlayDrawsGrainsIntoTheBackBufferEveryFrame) {
  open();
  pictures();
  parameters();
  press(res::kFallingPlay);
  EXPECT_TRUE(fake.messages.empty());
  ASSERT_TRUE(app->tools.falling_preview);
  EXPECT_EQ(app->doc.view().path, background);
  EXPECT_TRUE(surface_find(app->doc.surfaces(), kKeyFallingSprites));
  EXPECT_TRUE(app->shell.keep_running_when_inactive);
  // Docked beside the main window.
  EXPECT_EQ(d().window_rect().left, app->shell.window->window_rect().right);
  EXPECT_EQ(d().window_rect().top, app->shell.window->client_rect().top);

  frames(45);  // before the timer has measured a second the step is 0: every grain still waits
  EXPECT_EQ(white_pixels(), 0);
  frames(60);
  EXPECT_GT(white_pixels(), 0);
  // Grains start in x 10…109 and land in x 10…109, 8 pixels wide: nothing white outside 10…116.
  const Surface* s = surface_find(app->doc.surfaces(), kKeyBackBuffer);
  for (int y = 0; y < s->height; ++y) {
    for (int x = 0; x < s->width; ++x) {
      if ((s->pixels()[y * s->width + x] & 0xFFFFFF) == 0xFFFFFF) {
        ASSERT_TRUE(x >= 10 && x < 117) << x << "," << y;
      }
    }
  }
}

TEST_F(FallingDialogTest, CloseReleasesTheSpritesAndTheMenuItem) {
  open();
  pictures();
  parameters();
  press(res::kFallingPlay);
  ASSERT_TRUE(app->tools.falling_preview);
  press(res::kFallingClose);
  EXPECT_FALSE(falling_objects_dialog_open(app->tools));
  EXPECT_FALSE(app->tools.falling_preview);
  EXPECT_FALSE(surface_find(app->doc.surfaces(), kKeyFallingSprites));
  EXPECT_FALSE(app->doc.view().flags & kImageShown);
  EXPECT_FALSE(app->shell.keep_running_when_inactive);
  EXPECT_EQ(app->shell.dialogs[1], nullptr);
  EXPECT_TRUE(menu_enabled());
  // And it opens again from the menu.
  open();
  EXPECT_EQ(d().text(res::kFallingFixedFields[0]), u"1");
}

TEST_F(FallingDialogTest, SaveWritesTheProjectAndLoadPlaysIt) {
  open();
  pictures();
  parameters();
  set_variable(3, u"-3");
  const std::u16string project = tmp.file("project.txt");
  type(res::kFallingProjectField, project);
  press(res::kFallingSave);
  const auto bytes = read_file(project);
  ASSERT_TRUE(bytes);
  const std::string expected = utf16_to_cp932(background) + "\r\n" + utf16_to_cp932(sprite) +
                               "\r\n8, 8, 1, 1, 1, 0, 10, 10, 100, 1, 10, 200, 100, 10, 0\r\n16, 1, 60, -3, 0\r\n";
  EXPECT_EQ(std::string(bytes->begin(), bytes->end()), expected);
  EXPECT_FALSE(app->tools.falling_preview);  // saving does not play

  set_fixed(0, u"5");
  type(res::kFallingSpriteField, u"");
  press(res::kFallingLoad);
  EXPECT_TRUE(fake.messages.empty());
  EXPECT_EQ(d().text(res::kFallingFixedFields[0]), u"8");
  EXPECT_EQ(d().text(res::kFallingSpriteField), sprite);
  EXPECT_EQ(d().text(res::kFallingVariableFields[3]), u"-3");
  EXPECT_TRUE(app->tools.falling_preview);

  const std::u16string missing = tmp.file("none.txt");
  type(res::kFallingProjectField, missing);
  press(res::kFallingLoad);
  ASSERT_EQ(fake.messages.size(), 1u);
  EXPECT_EQ(fake.messages[0], u"Load Setting:\n\n [" + missing + u"]");
  EXPECT_EQ(fake.message_captions[0], u"Error");
}

TEST_F(FallingDialogTest, FieldsAreHeldToTheirRangesWhenLeftWhilePlaying) {
  open();
  pictures();
  const uint16_t width = res::kFallingFixedFields[0], wind = res::kFallingVariableFields[3];
  // Without a simulation the typed value stays.
  d().perform({DialogStep::Focus, width});
  type(width, u"9999");
  d().perform({DialogStep::Focus, wind});
  EXPECT_EQ(d().text(width), u"9999");
  set_fixed(0, u"8");
  press(res::kFallingPlay);
  ASSERT_TRUE(app->tools.falling_preview);
  struct Case {
    uint16_t id;
    const char16_t* typed;
    const char16_t* held;
  };
  const Case cases[] = {
      {width, u"9999", u"4096"}, {width, u"0", u"1"},      {width, u"abc", u"1"},
      {wind, u"-9000", u"-4096"}, {wind, u"+12", u"12"},   {wind, u"-5x", u"0"},
      {wind, u"", u"0"},           {wind, u"-", u"0"},      {res::kFallingVariableFields[0], u"300", u"256"},
      {res::kFallingVariableFields[4], u"-2", u"0"},
  };
  for (const Case& c : cases) {
    d().perform({DialogStep::Focus, c.id});
    type(c.id, c.typed);
    d().perform({DialogStep::Focus, res::kFallingProjectField});
    EXPECT_EQ(d().text(c.id), c.held) << c.id << " " << std::string(c.typed, c.typed + std::char_traits<char16_t>::length(c.typed));
  }
}

TEST_F(FallingDialogTest, ButtonsStartTheEditorAndViewersAndChooseFiles) {
  open();
  pictures();
  const std::u16string project = tmp.file("p.txt");
  type(res::kFallingProjectField, project);
  press(res::kFallingProjectEdit);  // no editor configured
  EXPECT_TRUE(fake.started.empty());
  app->shell.settings().text_editor = u"/usr/bin/editor";
  press(res::kFallingProjectEdit);
  press(res::kFallingBackgroundView);
  press(res::kFallingSpriteView);
  ASSERT_EQ(fake.started.size(), 3u);
  EXPECT_EQ(fake.started[0].program, u"/usr/bin/editor");
  EXPECT_EQ(fake.started[0].arguments, std::vector<std::u16string>{project});
  EXPECT_EQ(fake.started[1].program, tmp.folder() + u"tesmo64");
  EXPECT_EQ(fake.started[1].arguments, std::vector<std::u16string>{background});
  EXPECT_EQ(fake.started[2].arguments, std::vector<std::u16string>{sprite});

  fake.open_answers = {tmp.file("chosen.txt"), std::nullopt, tmp.file("b.png")};
  press(res::kFallingProjectBrowse);
  press(res::kFallingSpriteBrowse);  // cancelled: the field stays
  press(res::kFallingBackgroundBrowse);
  ASSERT_EQ(fake.open_requests.size(), 3u);
  EXPECT_EQ(fake.open_requests[0].title, u"Select Project File");
  using Filter = std::vector<std::pair<std::u16string, std::u16string>>;
  EXPECT_EQ(fake.open_requests[0].filter, (Filter{{u"Project File (*.txt)", u"*.txt"}, {u"All Files (*.*)", u"*.*"}}));
  EXPECT_EQ(fake.open_requests[1].title, u"Select Sprite");
  EXPECT_EQ(fake.open_requests[2].title, u"Select BG");
  EXPECT_FALSE(fake.open_requests[2].filter.empty());
  EXPECT_EQ(d().text(res::kFallingProjectField), tmp.file("chosen.txt"));
  EXPECT_EQ(d().text(res::kFallingSpriteField), sprite);
  EXPECT_EQ(d().text(res::kFallingBackgroundField), tmp.file("b.png"));
}

}  // namespace
}  // namespace tesmo
