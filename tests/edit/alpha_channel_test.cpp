// The alpha channel commands through the fake platform: new, invert, delete, import and the
// exchange with the image, each with its menu state and its undo.
#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "app/application.h"
#include "app/commands.h"
#include "edit/alpha_channel.h"
#include "edit/edit.h"
#include "resources/command_ids.h"
#include "temp_folder.h"
#include "tests/app/fake_viewer.h"
#include "viewer/viewer_dialogs.h"

namespace tesmo {
namespace {

using testing::surface_pixels;

// A 4 × 2 picture: colours (R, G, B), their greys (151 R + 77 G + 28 B) >> 8 worked out by hand, and
// the alpha values of its 32-bit form.
struct Sample {
  uint8_t r, g, b, grey, alpha;
};
constexpr Sample kSamples[] = {
    {200, 100, 50, 153, 255}, {0, 0, 0, 0, 0},     {255, 255, 255, 255, 128}, {10, 20, 30, 15, 64},
    {255, 0, 0, 150, 32},     {0, 255, 0, 76, 16}, {0, 0, 255, 27, 8},        {90, 90, 90, 90, 1},
};
constexpr int kW = 4, kH = 2;

uint32_t grey_word(uint32_t g) { return g * 0x010101u; }

std::vector<uint32_t> sample_pixels(bool with_alpha) {
  std::vector<uint32_t> px;
  for (const Sample& s : kSamples) {
    const uint32_t a = with_alpha ? s.alpha : 255u;
    px.push_back(a << 24 | uint32_t{s.r} << 16 | uint32_t{s.g} << 8 | s.b);
  }
  return px;
}

std::vector<uint32_t> filled(uint32_t word) { return std::vector<uint32_t>(kW * kH, word); }

class AlphaChannel : public ::testing::Test {
 protected:
  void open(bool alpha) {
    app = testing::make_fake_viewer(fake, tmp.folder());
    ASSERT_EQ(testing::open_picture(*app, tmp.folder() + u"pic.bmp", sample_pixels(alpha), kW, kH, alpha), 0);
    app->shell.active = true;
  }
  std::vector<uint32_t> pixels(int32_t key) { return surface_pixels(*app, key); }
  bool enabled(uint16_t id) { return app->shell.window->menu().is_enabled(id); }
  bool checked(uint16_t id) { return app->shell.window->menu().is_checked(id); }
  // Whether the menu shows the picture with (true) or without an alpha channel.
  void expect_alpha_items(bool has_alpha) {
    EXPECT_EQ(enabled(cmd::AlphaNew), !has_alpha);
    const uint16_t alpha_items[] = {cmd::AlphaDelete, cmd::AlphaSwap, cmd::AlphaNegative, cmd::ChannelAlpha,
                                    40531, 40508};  // and two of the alpha composites
    for (uint16_t id : alpha_items) {
      EXPECT_EQ(enabled(id), has_alpha) << id;
    }
    EXPECT_EQ(app->doc.view().decoded_has_alpha, has_alpha ? 1 : 0);
  }
  // The back buffer's pixels under the picture (drawn at 100 % from the top-left corner).
  std::vector<uint32_t> shown() {
    app->viewer.frame_update(0);
    std::vector<uint32_t> px;
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) px.push_back(static_cast<uint32_t>(back_buffer_pixel(app->doc.surfaces(), x, y)));
    }
    return px;
  }

  testing::TempFolder tmp;
  platform::FakePlatform fake;
  std::unique_ptr<Application> app;
};

TEST_F(AlphaChannel, NewIsAWhiteViewThatInvertTurnsBlack) {
  open(false);
  expect_alpha_items(false);
  dispatch_command(*app, cmd::AlphaNew);
  EXPECT_EQ(pixels(kKeyAlpha), filled(0x00FFFFFFu));
  expect_alpha_items(true);
  EXPECT_TRUE(app->doc.view().flags & kModified);
  EXPECT_EQ(app->doc.edit_history, std::vector<std::u16string>{u"αチャンネル操作 - 新規作成"});

  dispatch_command(*app, cmd::ChannelAlpha);
  EXPECT_EQ(shown(), filled(0x00FFFFFFu));
  dispatch_command(*app, cmd::AlphaNegative);
  EXPECT_EQ(pixels(kKeyAlpha), filled(0));
  EXPECT_EQ(shown(), filled(0));
  EXPECT_EQ(app->doc.edit_history.back(), u"αチャンネル操作 - 階調の反転");

  dispatch_command(*app, cmd::Undo);  // back to white, still with the channel
  EXPECT_EQ(pixels(kKeyAlpha), filled(0x00FFFFFFu));
  expect_alpha_items(true);
}

TEST_F(AlphaChannel, UndoOfNewRemovesTheChannel) {
  open(false);
  const auto image = pixels(kKeyImage);
  dispatch_command(*app, cmd::AlphaNew);
  dispatch_command(*app, cmd::Undo);
  EXPECT_EQ(surface_find(app->doc.surfaces(), kKeyAlpha), nullptr);
  expect_alpha_items(false);
  EXPECT_EQ(pixels(kKeyImage), image);
  EXPECT_FALSE(app->doc.view().flags & kModified);
}

TEST_F(AlphaChannel, DeleteShowsTheImageAndUndoBringsTheChannelBack) {
  open(true);
  const auto alpha = pixels(kKeyAlpha);
  ASSERT_EQ(alpha.size(), size_t{kW * kH});
  EXPECT_EQ(alpha[2] & 0xFFFFFFu, grey_word(128));
  dispatch_command(*app, cmd::ChannelAlpha);
  ASSERT_EQ(app->doc.view().displayed_surface, kKeyAlpha);

  dispatch_command(*app, cmd::AlphaDelete);
  EXPECT_EQ(surface_find(app->doc.surfaces(), kKeyAlpha), nullptr);
  EXPECT_EQ(app->doc.view().displayed_surface, kKeyImage);
  EXPECT_TRUE(checked(cmd::ChannelRgb));
  EXPECT_FALSE(checked(cmd::ChannelAlpha));
  expect_alpha_items(false);
  EXPECT_EQ(app->doc.edit_history.back(), u"αチャンネル操作 - 削除");

  dispatch_command(*app, cmd::Undo);
  EXPECT_EQ(pixels(kKeyAlpha), alpha);
  expect_alpha_items(true);
}

TEST_F(AlphaChannel, ImportTakesTheGreyOfAPictureOfTheSameSizeOnly) {
  open(false);
  const auto image = pixels(kKeyImage);
  // Other pictures: the same colours in another size, and a file no reader takes.
  const std::u16string small = tmp.folder() + u"small.bmp", bad = tmp.folder() + u"bad.bmp",
                       same = tmp.folder() + u"same.bmp";
  {
    auto px = sample_pixels(false);
    SurfaceTable t;
    surface_create(t, 1, 3, 2);
    std::copy_n(px.begin(), 6, surface_find(t, 1)->pixels());
    ASSERT_EQ(surface_save(t, 1, small, 24, nullptr), 0);
    surface_create(t, 1, kW, kH);
    std::copy(px.begin(), px.end(), surface_find(t, 1)->pixels());
    ASSERT_EQ(surface_save(t, 1, same, 24, nullptr), 0);
    std::ofstream(tmp.path() / "bad.bmp") << "not a picture";
  }
  struct Case {
    std::optional<std::u16string> path;  // none: the dialog answers `answer`
    std::optional<std::u16string> answer;
    int result;
    bool warned;
  };
  const Case refused[] = {
      {small, {}, 1, true},
      {bad, {}, 1, false},
      {std::nullopt, std::nullopt, 2, false},
      {std::nullopt, small, 1, true},
  };
  for (const Case& c : refused) {
    fake.messages.clear();
    fake.message_captions.clear();
    if (!c.path) fake.open_answers.push_back(c.answer);
    EXPECT_EQ(alpha_import(app->edit, c.path), c.result);
    EXPECT_EQ(fake.messages.size(), c.warned ? 1u : 0u);
    if (c.warned) {
      EXPECT_EQ(fake.messages[0], u"画像のサイズが RGB チャンネルと異なる為、使用できません。");
      EXPECT_EQ(fake.message_captions[0], u"Tesmo64");
    }
    EXPECT_EQ(pixels(kKeyImage), image);
    EXPECT_EQ(surface_find(app->doc.surfaces(), kKeyAlpha), nullptr);
    EXPECT_EQ(surface_find(app->doc.surfaces(), kKeyWork), nullptr);
    EXPECT_TRUE(app->doc.edit_history.empty());
    EXPECT_FALSE(app->doc.view().flags & kModified);
  }
  ASSERT_FALSE(fake.open_requests.empty());
  EXPECT_EQ(fake.open_requests.back().title, u"αチャンネル操作 - インポート");
  EXPECT_FALSE(fake.open_requests.back().filter.empty());

  fake.open_answers.push_back(same);
  dispatch_command(*app, cmd::AlphaImport);
  std::vector<uint32_t> greys;
  for (const Sample& s : kSamples) greys.push_back(grey_word(s.grey));
  EXPECT_EQ(pixels(kKeyAlpha), greys);
  EXPECT_EQ(pixels(kKeyImage), image);
  expect_alpha_items(true);
  EXPECT_EQ(app->doc.edit_history, std::vector<std::u16string>{u"αチャンネル操作 - インポート"});
  EXPECT_FALSE(app->shell.modal_open);

  dispatch_command(*app, cmd::Undo);
  EXPECT_EQ(surface_find(app->doc.surfaces(), kKeyAlpha), nullptr);
  expect_alpha_items(false);
}

TEST_F(AlphaChannel, SwappingTwiceLeavesTheColoursOnlyAsGrey) {
  open(true);
  const auto alpha = pixels(kKeyAlpha);
  std::vector<uint32_t> image_grey, alpha_grey;
  for (const Sample& s : kSamples) {
    image_grey.push_back(grey_word(s.grey));
    alpha_grey.push_back(grey_word(s.alpha));
  }
  for (size_t i = 0; i < alpha.size(); ++i) ASSERT_EQ(alpha[i] & 0xFFFFFFu, alpha_grey[i]);

  dispatch_command(*app, cmd::AlphaSwap);
  EXPECT_EQ(pixels(kKeyImage), alpha);
  EXPECT_EQ(pixels(kKeyAlpha), image_grey);
  EXPECT_EQ(app->doc.edit_history.back(), u"αチャンネル操作 - RGB チャンネルと入れ替え");
  dispatch_command(*app, cmd::AlphaSwap);
  EXPECT_EQ(pixels(kKeyImage), image_grey);
  EXPECT_EQ(pixels(kKeyAlpha), alpha_grey);

  dispatch_command(*app, cmd::Undo);  // one step back: after the first exchange
  EXPECT_EQ(pixels(kKeyImage), alpha);
  EXPECT_EQ(pixels(kKeyAlpha), image_grey);
}

TEST_F(AlphaChannel, CommandsOnAMissingChannelChangeNothing) {
  open(false);
  const auto image = pixels(kKeyImage);
  EXPECT_EQ(alpha_swap_rgb(app->edit), 1);
  EXPECT_EQ(alpha_invert(app->edit), 1);
  dispatch_command(*app, cmd::AlphaSwap);  // greyed: ignored
  EXPECT_EQ(pixels(kKeyImage), image);
  EXPECT_TRUE(app->doc.edit_history.empty());
  EXPECT_FALSE(enabled(cmd::Undo));
}

}  // namespace
}  // namespace tesmo
