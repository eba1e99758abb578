// Opening, closing and stepping through a folder, drops and shortcuts, through the fake platform.
#include <gtest/gtest.h>

#include "app/application.h"
#include "app/commands.h"
#include "app/main_window.h"
#include "base/bytes.h"
#include "base/file_io.h"
#include "formats/bmp/bmp.h"
#include "platform/fake/fake_platform.h"
#include "resources/command_ids.h"
#include "resources/resources.h"
#include "shell/menu_options.h"
#include "temp_folder.h"
#include "tests/app/fake_viewer.h"
#include "tests/formats/damaged_files.h"
#include "viewer/prefetch.h"
#include "viewer/zoom.h"

namespace tesmo {
namespace {

constexpr int32_t kBmp24 = 5;

// The viewer as the start-up leaves it, without the message loop.
class Navigation : public ::testing::Test {
 protected:
  Navigation() {
    app = testing::make_fake_viewer(fake, tmp.folder());
    disable_image_commands(menu());
  }
  platform::Menu& menu() { return app->shell.window->menu(); }
  // A w × h picture of one colour.
  std::u16string picture(const char* name, int w = 4, int h = 3, uint32_t colour = 0xFF204060u) {
    std::u16string path = tmp.file(name);
    std::vector<uint32_t> px(static_cast<size_t>(w) * h, colour);
    EXPECT_EQ(file_replace(path, bmp::encode(px, w, h, kBmp24)), 0);
    return path;
  }
  std::u16string junk(const char* name) {
    std::u16string path = tmp.file(name);
    const std::string text = "not a picture at all";
    EXPECT_EQ(file_replace(path, std::vector<uint8_t>(text.begin(), text.end())), 0);
    return path;
  }
  void command(uint16_t id) { dispatch_command(*app, id); }
  // Later steps must not be held back by the navigation interval.
  void later() { fake.clock_ms += 100; }
  std::u16string shown() { return app->doc.view().path; }
  bool image() { return app->doc.view().flags & kImageShown; }

  testing::TempFolder tmp;
  platform::FakePlatform fake;
  std::unique_ptr<Application> app;
};

TEST_F(Navigation, StepsFollowTheOrdinalOrderAndTheLoopOption) {
  const auto a = picture("a.bmp"), b = picture("B.bmp"), c = picture("c.bmp");
  ASSERT_EQ(app->viewer.open_file(a, -1, -1), 0);
  later();
  command(cmd::NextFile);
  EXPECT_EQ(shown(), c);
  later();
  command(cmd::NextFile);  // Loop (the default) wraps to the first
  EXPECT_EQ(shown(), b);
  later();
  command(cmd::PreviousFile);
  EXPECT_EQ(shown(), c);
  command(cmd::NoLoop);
  later();
  command(cmd::NextFile);  // the last file: nothing happens
  EXPECT_EQ(shown(), c);
  EXPECT_TRUE(image());
  command(cmd::FirstFile);
  EXPECT_EQ(shown(), b);
  later();
  command(cmd::PreviousFile);
  EXPECT_EQ(shown(), b);
  command(cmd::LastFile);
  EXPECT_EQ(shown(), c);
  EXPECT_EQ(app->viewer.folder_list.size(), 3u);
  EXPECT_EQ(app->viewer.shown_index, 2);
}

TEST_F(Navigation, TwoNextPressesWithinTheIntervalMoveOneFile) {
  const auto a = picture("a.bmp"), b = picture("b.bmp");
  picture("c.bmp");
  app->viewer.open_file(a, -1, -1);
  later();
  command(cmd::NextFile);
  fake.clock_ms += 49;
  command(cmd::NextFile);
  EXPECT_EQ(shown(), b);
  fake.clock_ms += 1;
  command(cmd::NextFile);
  EXPECT_EQ(shown(), tmp.file("c.bmp"));
}

TEST_F(Navigation, UnreadableNeighboursAreSkippedAndTheShownFileComesBackWithItsZoom) {
  const auto a = picture("a.bmp", 40, 30);
  junk("b.bmp");
  junk("c.png");
  const auto d = picture("d.bmp");
  app->viewer.open_file(a, -1, -1);
  later();
  command(cmd::NextFile);
  EXPECT_EQ(shown(), d);  // b and c were skipped
  EXPECT_EQ(app->viewer.shown_index, 3);
  std::filesystem::remove(to_fs_path(d));
  ASSERT_EQ(app->viewer.open_file(a, -1, -1), 0);
  set_zoom(app->viewer, 12800, 12800);
  later();
  command(cmd::NextFile);
  EXPECT_TRUE(image());
  EXPECT_EQ(shown(), a);
  EXPECT_EQ(app->doc.view().zoom_x, 12800);
  EXPECT_EQ(app->doc.view().zoom_y, 12800);
  EXPECT_EQ(app->viewer.shown_index, 0);
}

// A picture whose data ends before its last row (or is damaged) is as unreadable as junk: a step
// passes over it, and opening it leaves the empty view.
TEST_F(Navigation, PicturesThatAreNotWholeAreSkippedAndDoNotOpen) {
  const auto a = picture("a.bmp");
  const std::u16string cut_png = tmp.file("b.png"), cut_jpeg = tmp.file("c.jpg");
  ASSERT_EQ(file_replace(cut_png, testing::cut_inside_idat(testing::noise_png())), 0);
  ASSERT_EQ(file_replace(cut_jpeg, testing::cut_inside_scan(testing::noise_jpeg())), 0);
  const auto d = picture("d.bmp");
  ASSERT_EQ(app->viewer.open_file(a, -1, -1), 0);
  later();
  command(cmd::NextFile);
  EXPECT_EQ(shown(), d);
  for (const auto& path : {cut_png, cut_jpeg}) {
    EXPECT_EQ(app->viewer.open_file(path, -1, -1), 1);
    EXPECT_FALSE(image());
  }
}

TEST_F(Navigation, AFileNoReaderAcceptsLeavesTheEmptyWindow) {
  const auto a = picture("a.bmp", 900, 700);
  app->viewer.open_file(a, -1, -1);
  EXPECT_EQ(app->shell.window->client_rect().width(), 900);
  EXPECT_EQ(app->viewer.open_file(junk("notes.txt"), -1, -1), 1);
  EXPECT_FALSE(image());
  EXPECT_EQ(surface_find(app->doc.surfaces(), kKeyImage), nullptr);
  EXPECT_EQ(app->shell.window->client_rect().width(), 400);
  EXPECT_EQ(app->shell.window->client_rect().height(), 300);
  EXPECT_EQ(app->shell.window->title(), u"Tesmo64");
  EXPECT_FALSE(menu().is_enabled(cmd::ZoomIn));
  EXPECT_EQ(app->shell.window->scroll_info(platform::ScrollBarKind::Vertical), (platform::ScrollInfo{0, 299, 300, 0}));
}

TEST_F(Navigation, ZoomInNeedsAPicture) {
  command(cmd::ZoomIn);
  EXPECT_EQ(app->doc.view().zoom_x, kZoomActual);
  EXPECT_FALSE(menu().is_enabled(cmd::ZoomIn));
  app->viewer.open_file(picture("a.bmp"), -1, -1);
  later();
  command(cmd::ZoomIn);
  EXPECT_EQ(app->doc.view().zoom_x, 2 * kZoomActual);
}

TEST_F(Navigation, DefaultScalePreviousKeepsTheZoomOfTheClosedPicture) {
  app->viewer.open_file(picture("a.bmp"), -1, -1);
  set_zoom(app->viewer, 6400, 6400);
  app->viewer.open_file(picture("b.bmp"), -1, -1);
  EXPECT_EQ(app->doc.view().zoom_x, kZoomActual);  // Actual Pixels is the default
  set_zoom(app->viewer, 6400, 6400);
  command(cmd::DefaultScalePrevious);
  app->viewer.open_file(tmp.file("a.bmp"), -1, -1);
  EXPECT_EQ(app->doc.view().zoom_x, 6400);
}

TEST_F(Navigation, ShortcutShowsItsTargetUnderTheTargetPath) {
  const auto target = picture("t.bmp");
  std::vector<uint8_t> link(0x4C, 0);
  store_u32le(link, 0, 0x4C);
  const uint8_t clsid[16] = {0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
  std::copy(std::begin(clsid), std::end(clsid), link.begin() + 4);
  store_u32le(link, 0x14, 0x88);  // relative path, UTF-16
  const std::u16string rel = u".\\t.bmp";
  link.push_back(static_cast<uint8_t>(rel.size()));
  link.push_back(0);
  for (char16_t ch : rel) {
    link.push_back(static_cast<uint8_t>(ch));
    link.push_back(0);
  }
  const auto lnk = tmp.file("Shortcut.LNK");
  ASSERT_EQ(file_replace(lnk, link), 0);
  ASSERT_EQ(app->viewer.open_file(lnk, -1, -1), 0);
  EXPECT_EQ(shown(), target);
  EXPECT_EQ(app->viewer.last_open_request, lnk);
}

TEST_F(Navigation, OpenDialogStartsInTheShownFilesFolder) {
  const auto a = picture("a.bmp");
  fake.open_answers = {std::nullopt};
  command(cmd::OpenImage);
  ASSERT_EQ(fake.open_requests.size(), 1u);
  EXPECT_EQ(fake.open_requests[0].title, u"開く");
  EXPECT_TRUE(fake.open_requests[0].initial_folder.empty());
  EXPECT_FALSE(fake.open_requests[0].filter.empty());
  fake.open_answers = {a};
  command(cmd::OpenImage);
  EXPECT_EQ(shown(), a);
  fake.open_answers = {std::nullopt};  // cancel: the picture stays
  command(cmd::OpenImage);
  EXPECT_EQ(fake.open_requests.back().initial_folder, tmp.folder());
  EXPECT_EQ(shown(), a);
}

TEST_F(Navigation, DropOpensTheFirstAndStartsInstancesForTheRest) {
  const auto a = picture("a.bmp"), b = picture("b.bmp");
  std::filesystem::create_directories(tmp.path() / "sub" / "deeper");
  const auto c = picture("sub/deeper/c.bmp");
  std::filesystem::create_directories(tmp.path() / "empty");
  app->viewer.drop_files({tmp.file("empty"), a, b, tmp.file("sub")});
  EXPECT_EQ(shown(), a);
  ASSERT_EQ(fake.started.size(), 2u);
  EXPECT_EQ(fake.started[0].program, tmp.folder() + u"tesmo64");
  EXPECT_EQ(fake.started[0].arguments, std::vector<std::u16string>{b});
  EXPECT_EQ(fake.started[1].arguments, std::vector<std::u16string>{c});
}

TEST_F(Navigation, ShiftDropSetsTheBackgroundPicture) {
  const auto a = picture("a.bmp"), b = picture("b.bmp");
  fake.held_keys.insert(platform::key::Shift);
  app->viewer.drop_files({a, b});
  EXPECT_FALSE(image());
  EXPECT_TRUE(fake.started.empty());
  EXPECT_NE(surface_find(app->doc.surfaces(), kKeyBackground), nullptr);
  EXPECT_TRUE(menu().is_checked(cmd::BackgroundImage));
  EXPECT_FALSE(menu().is_checked(cmd::BackgroundFill));
  const auto file = read_file(tmp.folder() + u"savedata/system.sav").value();
  EXPECT_EQ(load_u32le(file, 6332), 1u);
  EXPECT_EQ(file[11628], static_cast<uint8_t>(a[0]));
  // A file that cannot be loaded falls back to the fill colour.
  app->viewer.drop_files({junk("x.txt")});
  EXPECT_TRUE(menu().is_checked(cmd::BackgroundFill));
  EXPECT_EQ(app->shell.settings().background_mode, 0);
}

TEST_F(Navigation, MarkersCycleAndStayWhileSteppingInTheFolder) {
  const auto a = picture("a.bmp");
  picture("b.bmp");
  app->viewer.open_file(a, -1, -1);
  command(cmd::MarkerSet);
  EXPECT_TRUE(menu().is_checked(cmd::OsdFileInfo));  // switched on so the star is seen
  command(cmd::MarkerSet);
  ASSERT_EQ(app->viewer.markers.size(), 2u);
  EXPECT_EQ(app->viewer.markers[0].state, 2);
  later();
  command(cmd::NextFile);
  command(cmd::MarkerSet);
  EXPECT_EQ(app->viewer.markers[0].state, 2);
  EXPECT_EQ(app->viewer.markers[1].state, 1);
  command(cmd::MarkerClearAll);
  EXPECT_EQ(app->viewer.markers[0].state + app->viewer.markers[1].state, 0);
  command(cmd::MarkerSet);
  command(cmd::MarkerSet);
  command(cmd::MarkerSet);
  EXPECT_EQ(app->viewer.markers[1].state, 0);
}

TEST_F(Navigation, ClosingAModifiedPictureAsksAndYesRunsSaveAs) {
  app->viewer.open_file(picture("a.bmp"), -1, -1);
  const std::u16string saved = picture("saved.bmp");
  fake.save_answers = {platform::SaveFileChoice{saved, 1}};
  fake.dialog_scripts.push_back(
      {resources::kSaveOptionsDialogId, std::nullopt, {{platform::DialogStep::Press, kSkinOkId}}});
  bool modal_seen = false;
  fake.on_modal = [&] { modal_seen = app->shell.modal_open; };
  app->doc.view().flags |= kModified;
  fake.answers = {platform::MessageAnswer::Yes};
  command(cmd::Close);
  EXPECT_EQ(fake.messages, std::vector<std::u16string>{u"変更をセーブしますか？"});
  EXPECT_TRUE(modal_seen);
  EXPECT_EQ(fake.save_requests.size(), 1u);
  EXPECT_TRUE(file_exists(saved));
  EXPECT_FALSE(app->shell.modal_open);
  EXPECT_FALSE(image());
}

// A window that had set the modal flag around the close (the batch dialog, the monitor
// calibration) still has it after the save question.
TEST_F(Navigation, TheSaveQuestionKeepsAModalFlagSetAroundIt) {
  app->viewer.open_file(picture("a.bmp"), -1, -1);
  app->doc.view().flags |= kModified;
  app->shell.modal_open = true;
  fake.answers = {platform::MessageAnswer::No};
  app->viewer.close_image(false);
  EXPECT_EQ(fake.messages.size(), 1u);
  EXPECT_TRUE(app->shell.modal_open);
  EXPECT_FALSE(image());
}

TEST_F(Navigation, SpaceDoesNothingWhileAModalDialogIsOpen) {
  const auto a = picture("a.bmp"), b = picture("b.bmp");
  app->viewer.open_file(a, -1, -1);
  later();
  app->shell.modal_open = true;
  fake.push_key(platform::key::Space);
  fake.max_idle_polls = 1;
  run_message_loop(*app);
  EXPECT_EQ(shown(), a);
  app->shell.modal_open = false;
  fake.push_key(platform::key::Space);
  fake.idle_polls = 0;
  run_message_loop(*app);
  EXPECT_EQ(shown(), b);
}

// Stepping adopts the pictures read ahead: the files the steps reach (an unreadable one skipped,
// round the end with Loop), each the picture a plain load shows, alpha view included.
TEST_F(Navigation, StepsShowWhatWasReadAheadAsAPlainLoadShowsIt) {
  const auto a = picture("a.bmp");
  junk("b.bmp");
  const std::u16string c = tmp.file("c.bmp");
  std::vector<uint32_t> px(12);
  for (size_t i = 0; i < px.size(); ++i) px[i] = static_cast<uint32_t>(i * 20) << 24 | 0x00336699u;
  ASSERT_EQ(file_replace(c, bmp::encode(px, 4, 3, 6)), 0);
  auto read_ahead_then_step = [&] {
    app->viewer.read_ahead();
    app->viewer.prefetcher->wait_until_done();
    later();
    command(cmd::NextFile);
  };
  ASSERT_EQ(app->viewer.open_file(a, -1, -1), 0);
  read_ahead_then_step();
  ASSERT_EQ(shown(), c);
  EXPECT_EQ(app->viewer.prefetcher->served(), 1u);

  platform::FakePlatform plain_platform;
  auto plain = testing::make_fake_viewer(plain_platform, tmp.folder());
  ASSERT_EQ(plain->viewer.open_file(c, -1, -1), 0);
  for (int32_t key : {kKeyImage, kKeyAlpha}) {
    EXPECT_EQ(testing::surface_pixels(*app, key), testing::surface_pixels(*plain, key)) << key;
  }
  EXPECT_EQ(surface_find(app->doc.surfaces(), kKeyImage)->info, surface_find(plain->doc.surfaces(), kKeyImage)->info);
  EXPECT_EQ(app->doc.view().decoded_has_alpha, plain->doc.view().decoded_has_alpha);

  command(cmd::Loop);
  read_ahead_then_step();
  EXPECT_EQ(shown(), a);
  EXPECT_EQ(app->viewer.prefetcher->served(), 2u);
}

// A file written again after it was read ahead is read again by the step.
TEST_F(Navigation, AFileChangedOnDiskAfterReadingAheadIsReadAgain) {
  const auto a = picture("a.bmp"), b = picture("b.bmp", 4, 3, 0xFF0000FFu);
  ASSERT_EQ(app->viewer.open_file(a, -1, -1), 0);
  app->viewer.read_ahead();
  app->viewer.prefetcher->wait_until_done();
  picture("b.bmp", 5, 3, 0xFF00FF00u);
  later();
  command(cmd::NextFile);
  ASSERT_EQ(shown(), b);
  EXPECT_EQ(app->viewer.prefetcher->served(), 0u);
  const std::vector<uint32_t> now = testing::surface_pixels(*app, kKeyImage);
  ASSERT_EQ(now.size(), 15u);
  EXPECT_EQ(now[0] & 0xFFFFFFu, 0x00FF00u);
}

}  // namespace
}  // namespace tesmo
