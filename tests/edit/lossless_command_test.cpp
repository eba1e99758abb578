// The lossless transform command on real JPEG files through the fake platform: the file is
// transformed in place and shown unmodified; refused files, failures and Cancel leave it as it was.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/application.h"
#include "app/commands.h"
#include "base/file_io.h"
#include "document/modified_mark.h"
#include "edit/lossless_command.h"
#include "formats/jpeg/jpeg.h"
#include "platform/fake/fake_platform.h"
#include "resources/command_ids.h"
#include "resources/lossless_dialog.h"
#include "surface/surface.h"
#include "temp_folder.h"
#include "tests/app/fake_viewer.h"
#include "viewer/presentation.h"

namespace tesmo {
namespace {

using platform::DialogStep;
constexpr uint16_t kOk = 1097;

class Lossless : public ::testing::Test {
 protected:
  Lossless() { app = testing::make_fake_viewer(fake, tmp.folder()); }

  // A w × h JPEG at quality 100: red on the left half, blue on the right.
  std::u16string jpeg_file(const char* name, int w, int h) {
    std::vector<uint32_t> px(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) px[static_cast<size_t>(y) * w + x] = x < w / 2 ? 0xFFFF0000u : 0xFF0000FFu;
    }
    const std::u16string path = tmp.file(name);
    auto bytes = jpeg::encode(px, w, h, 1, 100, u"");
    EXPECT_TRUE(bytes.has_value());
    EXPECT_EQ(file_replace(path, *bytes), 0);
    return path;
  }
  uint32_t pixel(int x, int y) {
    const Surface* s = surface_find(app->doc.surfaces(), kKeyImage);
    return s->pixels()[static_cast<size_t>(y) * s->width + x];
  }
  static bool reddish(uint32_t p) { return ((p >> 16) & 0xFF) > 200 && (p & 0xFF) < 60; }
  static bool bluish(uint32_t p) { return (p & 0xFF) > 200 && ((p >> 16) & 0xFF) < 60; }

  testing::TempFolder tmp;
  platform::FakePlatform fake;
  std::unique_ptr<Application> app;
};

TEST_F(Lossless, ChoicesMapToTheirTransformCodes) {
  const int expected[] = {7, 6, 5, 1, 2, 3, 4};
  for (int k = 0; k < 7; ++k) EXPECT_EQ(lossless_code(k), expected[k]) << k;
  EXPECT_EQ(lossless_code(-1), 0);
  EXPECT_EQ(lossless_code(7), 0);
}

// The dialog's choice flips the file in place; the view shows the new file unmodified, the next
// dialog starts at the same choice, and no copy is left behind.
TEST_F(Lossless, TheDialogsChoiceTransformsTheFileInPlace) {
  const std::u16string path = jpeg_file("a.jpg", 32, 16);
  ASSERT_EQ(app->viewer.open_file(path, -1, -1), 0);
  ASSERT_TRUE(reddish(pixel(2, 8)));
  fake.dialog_scripts.push_back({resources::kLosslessDialogId, {},
                                 {{DialogStep::Check, resources::kLosslessFirstChoice + 3}, {DialogStep::Press, kOk}}});
  ASSERT_TRUE(app->shell.window->menu().is_enabled(cmd::LosslessTransform));
  dispatch_command(*app, cmd::LosslessTransform);
  ASSERT_EQ(fake.dialogs.size(), 1u);
  EXPECT_EQ(fake.dialogs[0].end_code, platform::kDialogOk);
  EXPECT_TRUE(bluish(pixel(2, 8)));
  EXPECT_TRUE(reddish(pixel(29, 8)));
  EXPECT_FALSE(app->doc.view().flags & kModified);
  EXPECT_EQ(app->doc.view().path, path);
  EXPECT_FALSE(file_exists(path + u".tmp"));
  EXPECT_EQ(app->edit.lossless_choice, 3);

  // A quarter turn to the left through a request: the 32 × 16 picture becomes 16 × 32 with the
  // (now blue) left half at the bottom.
  const LosslessRequest left{0};
  ASSERT_EQ(lossless_transform_command(app->edit, &left), 0);
  EXPECT_EQ(app->doc.view().image_width, 16);
  EXPECT_EQ(app->doc.view().image_height, 32);
  EXPECT_TRUE(reddish(pixel(8, 2)));
  EXPECT_TRUE(bluish(pixel(8, 29)));
}

// With the default fit when larger than the window, a quarter turn of a large JPEG comes back at the
// fit of the turned picture, whole and without scroll bars.
TEST_F(Lossless, ATurnKeepsTheFitOfTheTurnedPicture) {
  const std::u16string path = jpeg_file("big.jpg", 2400, 1200);
  platform::FakePlatform started;
  Application viewer(tmp.folder());
  testing::start_viewer(viewer, started, path);
  started.dialog_scripts.push_back({resources::kLosslessDialogId, {},
                                    {{DialogStep::Check, resources::kLosslessFirstChoice + 2}, {DialogStep::Press, kOk}}});
  handle_main_window_event(viewer, platform::Event{.kind = platform::EventKind::Command, .code = cmd::LosslessTransform});
  ASSERT_EQ(viewer.doc.view().image_width, 1200);
  ASSERT_EQ(viewer.doc.view().image_height, 2400);
  EXPECT_EQ(viewer.doc.view().zoom_x, 991 * 25600 / 2400);  // the height limit over the turned height
  EXPECT_FALSE(started.window->style().vscroll || started.window->style().hscroll);
  EXPECT_FALSE(viewer.doc.view().flags & kModified);
}

// A width that is not a multiple of 8, a file that is not a JPEG, and Cancel: the file keeps its
// bytes and no copy is left.
TEST_F(Lossless, RefusedFilesAndCancelLeaveTheFileAsItWas) {
  const std::u16string narrow = jpeg_file("narrow.jpg", 100, 16);
  const auto before = read_file(narrow);
  ASSERT_EQ(app->viewer.open_file(narrow, -1, -1), 0);
  const LosslessRequest flip{3};
  EXPECT_EQ(lossless_transform_command(app->edit, &flip), 1);
  EXPECT_EQ(read_file(narrow), before);
  EXPECT_FALSE(file_exists(narrow + u".tmp"));

  const std::u16string wide = jpeg_file("wide.jpg", 96, 16);
  const auto wide_before = read_file(wide);
  ASSERT_EQ(app->viewer.open_file(wide, -1, -1), 0);
  EXPECT_EQ(lossless_transform_command(app->edit, nullptr), 2);  // no script: the dialog is cancelled
  EXPECT_EQ(read_file(wide), wide_before);
  EXPECT_EQ(lossless_transform_command(app->edit, &flip), 0);
  EXPECT_NE(read_file(wide), wide_before);
}

// A modified picture is offered for saving first; No goes on with the file on disk.
TEST_F(Lossless, AModifiedPictureIsOfferedForSavingFirst) {
  const std::u16string path = jpeg_file("m.jpg", 16, 16);
  ASSERT_EQ(app->viewer.open_file(path, -1, -1), 0);
  set_modified(app->doc, 1);
  fake.answers.push_back(platform::MessageAnswer::No);
  const LosslessRequest flip{3};
  EXPECT_EQ(lossless_transform_command(app->edit, &flip), 0);
  ASSERT_EQ(fake.messages.size(), 1u);
  EXPECT_EQ(fake.messages[0], u"変更をセーブしますか？");
  EXPECT_EQ(fake.message_captions[0], u"Tesmo64");
  EXPECT_FALSE(app->doc.view().flags & kModified);
  EXPECT_TRUE(bluish(pixel(2, 8)));
}

}  // namespace
}  // namespace tesmo
