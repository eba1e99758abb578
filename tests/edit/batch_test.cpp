// Batch processing through the fake platform with real pictures in a temporary folder: the dialog
// building, saving and opening step lists, the run over a folder, the error question and the end
// messages.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/application.h"
#include "app/commands.h"
#include "base/bytes.h"
#include "base/file_io.h"
#include "document/save.h"
#include "edit/batch.h"
#include "edit/edit.h"
#include "platform/fake/fake_platform.h"
#include "resources/command_ids.h"
#include "resources/dialog_templates.h"
#include "surface/surface.h"
#include "temp_folder.h"
#include "tests/app/fake_viewer.h"

namespace tesmo {
namespace {

using platform::DialogScript;
using platform::DialogStep;
using platform::MessageAnswer;
using platform::MessageIcon;
namespace res = resources;

constexpr uint16_t kOk = 1097;
constexpr int kBmp24 = 5;  // the save options' bit-depth item of 24-bit BMP
constexpr char16_t kCloseQuestion[] = u"変更をセーブしますか？";

class Batch : public ::testing::Test {
 protected:
  Batch() {
    std::filesystem::create_directories(tmp.path() / "pics");
    app = testing::make_fake_viewer(fake, tmp.folder());
  }

  std::u16string pics() const { return tmp.file("pics"); }
  std::u16string pic(const char* name) const { return pics() + u"/" + from_fs_path(name); }

  // A 4 × 4 BMP of one colour at `path`.
  static void write_bmp(const std::u16string& path, uint32_t colour = 0xFF336699u) {
    SurfaceTable t;
    ASSERT_EQ(surface_create(t, 1, 4, 4), 0);
    std::fill_n(surface_find(t, 1)->pixels(), 16, colour);
    ASSERT_EQ(surface_save(t, 1, path, 24, nullptr), 0);
  }
  static std::pair<int32_t, int32_t> size_of(const std::u16string& path) {
    SurfaceTable t;
    if (surface_load(t, 1, path, false) != 0) return {0, 0};
    return {surface_find(t, 1)->width, surface_find(t, 1)->height};
  }

  void script(uint16_t id, std::vector<DialogStep> steps) {
    fake.dialog_scripts.push_back(DialogScript{id, std::nullopt, std::move(steps)});
  }
  // Selecting operation `operation` in the list and pressing "←".
  static std::vector<DialogStep> add(int32_t operation) {
    return {{DialogStep::Pick, res::kBatchOperations, u"", 0, {batch_list_position(operation)}},
            {DialogStep::Press, res::kBatchAdd}};
  }
  // The image size dialog answering w × h (keep-aspect unchecked first).
  void answer_image_size(int w, int h) {
    script(res::kImageSizeDialogId, {{DialogStep::Check, res::kImageKeepAspect},
                                     {DialogStep::SetText, res::kWidthField, std::u16string(1, u'0' + w)},
                                     {DialogStep::SetText, res::kHeightField, std::u16string(1, u'0' + h)},
                                     {DialogStep::Press, kOk}});
  }
  void answer_save_as_bmp24() {
    script(res::kSaveOptionsDialogId, {{DialogStep::Select, res::kSaveFormatCombo, u"", 0},
                                       {DialogStep::Select, res::kSaveBitsCombo, u"", kBmp24},
                                       {DialogStep::Press, kOk}});
  }
  static BatchStep image_size_step(int32_t w, int32_t h) {
    BatchStep s;
    s.operation = kBatchImageSize;
    s.set_field(0, w), s.set_field(1, h), s.set_field(2, 0);
    return s;
  }
  size_t count(const std::u16string& text) const { return std::count(fake.messages.begin(), fake.messages.end(), text); }

  testing::TempFolder tmp;
  platform::FakePlatform fake;
  std::unique_ptr<Application> app;
};

TEST_F(Batch, ImageSizeAndSaveChangeExactlyTheMatchingPictures) {
  write_bmp(pic("a.bmp"));
  write_bmp(pic("b.BMP"));
  write_bmp(pic("c.dat"));  // a picture too, but not named by the pattern
  const auto untouched = read_file(pic("c.dat"));
  std::vector<DialogStep> steps = {{DialogStep::SetText, res::kBatchFolderField, pics()},
                                   {DialogStep::SetText, res::kBatchExtensionField, u"*.bmp"}};
  for (const auto& s : add(kBatchImageSize)) steps.push_back(s);
  for (const auto& s : add(kBatchSave)) steps.push_back(s);
  steps.push_back({DialogStep::Press, kOk});
  script(res::kBatchDialogId, steps);
  answer_image_size(2, 3);
  answer_save_as_bmp24();

  dispatch_command(*app, cmd::Batch);

  ASSERT_EQ(fake.dialogs.size(), 3u);  // the nested dialogs end first
  const auto& batch = fake.dialogs.back();
  EXPECT_EQ(batch.end_code, platform::kDialogOk);
  EXPECT_EQ(batch.items.at(res::kBatchSteps),
            (std::vector<std::u16string>{u"1. 画像解像度", u"2. ファイルの保存"}));
  EXPECT_EQ(size_of(pic("a.bmp")), std::make_pair(2, 3));
  EXPECT_EQ(size_of(pic("b.BMP")), std::make_pair(2, 3));
  EXPECT_EQ(read_file(pic("c.dat")), untouched);
  EXPECT_EQ(fake.messages, std::vector<std::u16string>{kBatchDone});
  EXPECT_EQ(fake.message_icons, std::vector<MessageIcon>{MessageIcon::Information});
  EXPECT_EQ(app->shell.settings().batch_folder, pics());
  EXPECT_EQ(app->shell.settings().batch_pattern, u"*.bmp");
}

TEST_F(Batch, OpeningTheDialogShowsTheSettingsAndAnEmptyStepList) {
  app->shell.settings().batch_folder = u"/somewhere";
  script(res::kBatchDialogId, {});
  EXPECT_EQ(batch_command(app->edit), 2);
  const auto& d = fake.dialogs.at(0);
  EXPECT_EQ(d.texts.at(res::kBatchFolderField), u"/somewhere");
  EXPECT_EQ(d.texts.at(res::kBatchExtensionField), u"*.bmp");
  EXPECT_EQ(d.items.at(res::kBatchOperations).size(), 54u);
  EXPECT_EQ(d.items.at(res::kBatchOperations)[8], u"キャンバスの回転 - 角度を指定");
  EXPECT_TRUE(d.items.at(res::kBatchSteps).empty());
  for (uint16_t id : {res::kBatchSave, res::kBatchRemove, kOk}) EXPECT_FALSE(d.enabled.at(id)) << id;
  EXPECT_TRUE(fake.messages.empty());  // Cancel reports nothing
}

// A failing first step (no alpha channel to invert) asks; Yes stops the run, No goes on with the
// next step, which resizes the picture and leaves it modified for the close question.
TEST_F(Batch, AFailingStepAsksWhetherToStop) {
  write_bmp(pic("a.bmp"));
  write_bmp(pic("b.bmp"));
  BatchStep invert;
  invert.operation = kBatchAlphaInvert;
  const std::vector<BatchStep> steps = {invert, image_size_step(2, 2)};
  struct Case {
    MessageAnswer answer;
    BatchOutcome outcome;
    size_t questions, close_questions;
  };
  for (const Case c : {Case{MessageAnswer::Yes, BatchOutcome::Aborted, 1, 0},
                       Case{MessageAnswer::No, BatchOutcome::Completed, 2, 2}}) {
    fake.messages.clear();
    fake.answers = {c.answer, MessageAnswer::No, c.answer, MessageAnswer::No};
    EXPECT_EQ(run_batch(app->edit, steps, pics(), u"*.bmp", false), c.outcome);
    EXPECT_EQ(count(kBatchErrorQuestion), c.questions);
    EXPECT_EQ(count(kCloseQuestion), c.close_questions);
  }
  EXPECT_EQ(size_of(pic("a.bmp")), std::make_pair(4, 4));  // the close question was answered No
}

TEST_F(Batch, AFileThatDoesNotOpenAsksToo) {
  ASSERT_EQ(file_replace(pic("a.bmp"), std::vector<uint8_t>{'n', 'o'}), 0);
  write_bmp(pic("b.bmp"));
  fake.answers = {MessageAnswer::No};
  EXPECT_EQ(run_batch(app->edit, std::vector<BatchStep>{image_size_step(1, 1)}, pics(), u"*.bmp", false),
            BatchOutcome::Completed);
  EXPECT_EQ(fake.messages, std::vector<std::u16string>({kBatchErrorQuestion, kCloseQuestion}));
}

TEST_F(Batch, ColourKeyAsksItsParametersAndRunsTheEffect) {
  script(res::kEffectDialogId, {{DialogStep::SetText, res::kEffectFields[0], u"51"},
                                {DialogStep::SetText, res::kEffectFields[1], u"102"},
                                {DialogStep::SetText, res::kEffectFields[2], u"153"},
                                {DialogStep::Press, kOk}});
  const auto step = ask_batch_step(app->edit, 53);
  ASSERT_TRUE(step);
  ASSERT_EQ(fake.dialogs.size(), 1u);
  EXPECT_EQ(fake.dialogs[0].id, res::kEffectDialogId);
  EXPECT_EQ(step->operation, 53);
  EXPECT_EQ(std::vector<int32_t>({step->field(0), step->field(1), step->field(2), step->field(3)}),
            std::vector<int32_t>({34, 51, 102, 153}));

  // The same effect run by hand on the same picture gives the same pixels.
  write_bmp(pic("a.bmp"), 0xFF336699u);
  ASSERT_EQ(app->viewer.open_file(pic("a.bmp"), -1, -1), 0);
  const auto original = testing::surface_pixels(*app, kKeyImage);
  ASSERT_EQ(run_effect(app->edit, 34, 51, 102, 153, 0), 0);
  const auto expected = testing::surface_pixels(*app, kKeyImage);
  ASSERT_NE(expected, original);  // the key colour is the picture's colour
  fake.answers = {MessageAnswer::No};
  ASSERT_EQ(app->viewer.open_file(pic("a.bmp"), -1, -1), 0);
  EXPECT_EQ(run_batch_step(app->edit, *step), 0);
  EXPECT_EQ(testing::surface_pixels(*app, kKeyImage), expected);
  EXPECT_NE(app->doc.view().flags & kModified, 0u);
}

TEST_F(Batch, GreyScaleNeedsNoDialog) {
  const auto step = ask_batch_step(app->edit, kBatchFirstEffect + 6);
  ASSERT_TRUE(step);
  EXPECT_TRUE(fake.dialogs.empty());
  EXPECT_FALSE(ask_batch_step(app->edit, 54));
}

// On a first start nothing has made "savedata/batch/" yet: the batch dialog's file chooser makes it
// and starts there.
TEST(BatchStart, TheFileChooserStartsInAFolderThatExists) {
  testing::TempFolder tmp;
  platform::FakePlatform fake;
  Application app(tmp.folder());
  testing::start_viewer(app, fake, u"");
  fake.dialog_scripts.push_back(DialogScript{res::kBatchDialogId, std::nullopt, {{DialogStep::Press, res::kBatchOpen}}});
  handle_main_window_event(app, platform::Event{.kind = platform::EventKind::Command, .code = cmd::Batch});
  ASSERT_EQ(fake.open_requests.size(), 1u);
  EXPECT_EQ(fake.open_requests[0].initial_folder, tmp.folder() + u"savedata/batch/");
  EXPECT_TRUE(is_directory(fake.open_requests[0].initial_folder));
}

TEST_F(Batch, StepListsSavedAndOpenedAgain) {
  std::filesystem::create_directories(tmp.path() / "savedata" / "batch");
  const std::u16string file = tmp.folder() + u"savedata/batch/list.batch";
  std::vector<DialogStep> steps;
  for (const auto& s : add(kBatchImageSize)) steps.push_back(s);
  for (const auto& s : add(kBatchRotate180)) steps.push_back(s);
  steps.push_back({DialogStep::Press, res::kBatchSave});
  script(res::kBatchDialogId, steps);
  answer_image_size(5, 6);
  fake.save_answers.push_back(platform::SaveFileChoice{file, 1});
  batch_command(app->edit);
  ASSERT_EQ(fake.save_requests.size(), 1u);
  EXPECT_EQ(fake.save_requests[0].title, u"バッチ設定を保存する");
  EXPECT_EQ(fake.save_requests[0].default_extension, u"batch");
  EXPECT_EQ(fake.save_requests[0].initial_folder, batch_folder(app->edit));

  const auto bytes = read_file(file);
  ASSERT_TRUE(bytes);
  ASSERT_EQ(bytes->size(), 16u + 2 * 1024);
  EXPECT_EQ(load_u32le(*bytes, 12), 2u);
  EXPECT_EQ(load_u32le(*bytes, 16), 1u);         // image size
  EXPECT_EQ(load_u32le(*bytes, 20), 5u);         // its width
  EXPECT_EQ(load_u32le(*bytes, 24), 6u);         // and height
  EXPECT_EQ(load_u32le(*bytes, 16 + 1024), 6u);  // the half turn

  // Opened in a fresh dialog, then one step removed: the list renumbers.
  fake.open_answers.push_back(file);
  script(res::kBatchDialogId, {{DialogStep::Press, res::kBatchOpen}});
  batch_command(app->edit);
  EXPECT_EQ(fake.open_requests.at(0).title, u"バッチ設定を開く");
  EXPECT_EQ(fake.dialogs.back().items.at(res::kBatchSteps),
            (std::vector<std::u16string>{u"1. 画像解像度", u"2. キャンバスの回転 - 180 度"}));
  EXPECT_TRUE(fake.dialogs.back().enabled.at(kOk));

  script(res::kBatchDialogId, {{DialogStep::Drop, 0, u"", 0, {}, {file}},
                               {DialogStep::Pick, res::kBatchSteps, u"", 0, {0}},
                               {DialogStep::Press, res::kBatchRemove}});
  batch_command(app->edit);
  EXPECT_EQ(fake.dialogs.back().items.at(res::kBatchSteps),
            std::vector<std::u16string>{u"1. キャンバスの回転 - 180 度"});
}

TEST_F(Batch, ForeignBatchFilesAreIgnored) {
  std::vector<uint8_t> bytes = batch_file_bytes(std::vector<BatchStep>{image_size_step(1, 1)});
  store_u32le(bytes, 8, 255);
  const std::u16string file = tmp.file("old.batch");
  ASSERT_EQ(file_replace(file, bytes), 0);
  script(res::kBatchDialogId, {{DialogStep::Drop, 0, u"", 0, {}, {file}}, {DialogStep::Drop, 0, u"", 0, {}, {pics()}}});
  batch_command(app->edit);
  EXPECT_TRUE(fake.dialogs.back().items.at(res::kBatchSteps).empty());
  EXPECT_FALSE(fake.dialogs.back().enabled.at(kOk));
  EXPECT_EQ(fake.dialogs.back().texts.at(res::kBatchFolderField), pics());  // a dropped folder is the location
}

TEST_F(Batch, NothingMatchingGivesTheNotFoundWarning) {
  write_bmp(pic("a.png.txt"));
  std::vector<DialogStep> steps = {{DialogStep::SetText, res::kBatchFolderField, pics()},
                                   {DialogStep::SetText, res::kBatchExtensionField, u"*.png;*.jpg"}};
  for (const auto& s : add(kBatchFlipLeftRight)) steps.push_back(s);
  steps.push_back({DialogStep::Press, kOk});
  script(res::kBatchDialogId, steps);
  EXPECT_EQ(batch_command(app->edit), 0);
  EXPECT_EQ(fake.messages, std::vector<std::u16string>{kBatchNotFound});
  EXPECT_EQ(fake.message_icons, std::vector<MessageIcon>{MessageIcon::Warning});
}

}  // namespace
}  // namespace tesmo
