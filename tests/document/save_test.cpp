// Save, Save As, the save options dialog and the close question's Save As, through the fake
// platform and real files.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <thread>

#include "app/application.h"
#include "app/commands.h"
#include "base/bytes.h"
#include "base/file_io.h"
#include "document/modified_mark.h"
#include "document/save.h"
#include "formats/bmp/bmp.h"
#include "platform/fake/fake_platform.h"
#include "resources/command_ids.h"
#include "resources/dialog_templates.h"
#include "resources/resources.h"
#include "shell/menu_options.h"
#include "temp_folder.h"
#include "tests/app/fake_viewer.h"
#include "viewer/presentation.h"
#include "viewer/viewer_commands.h"

namespace tesmo {
namespace {

using platform::DialogStep;
namespace res = resources;

constexpr int32_t kBmp24 = 5;
constexpr uint16_t kOk = 1097, kCancel = 1098;

// The formats the dialog offers, in its order, and their filter texts.
const std::vector<std::u16string> kOffered = {
    u"BMP (*.bmp, *.ico, *.cur)", u"DDS (*.dds)", u"FNT (*.fnt)", u"JPEG (*.jpg, *.jpeg)", u"PCX (*.pcx)",
    u"PIC / SOFTIMAGE (*.pic)", u"PNG (*.png)", u"SGI (*.sgi, *.rgb, *.rgba, *.bw)", u"TGA (*.tga)",
    u"TIFF (*.tif)"};
constexpr int kItemJpeg = 3, kItemPic = 5, kItemTga = 8;

struct ReadBack {
  ImageInfo info;
  std::vector<uint32_t> pixels;
};

class Save : public ::testing::Test {
 protected:
  Save() {
    app = testing::make_fake_viewer(fake, tmp.folder());
    disable_image_commands(menu());
  }
  platform::Menu& menu() { return app->shell.window->menu(); }
  void command(uint16_t id) { dispatch_command(*app, id); }
  std::u16string picture(const char* name, int w = 4, int h = 3, uint32_t colour = 0xFF204060u) {
    std::u16string path = tmp.file(name);
    std::vector<uint32_t> px(static_cast<size_t>(w) * h, colour);
    EXPECT_EQ(file_replace(path, bmp::encode(px, w, h, kBmp24)), 0);
    return path;
  }
  // A 4 × 2 picture of 8-bit palette indices (a layout BMP cannot write).
  std::u16string palette_picture(const char* name) {
    std::vector<uint8_t> f;
    ByteWriter w(f);
    const uint32_t offset = 14 + 40 + 256 * 4;
    w.bytes("BM", 2);
    w.u32le(offset + 8);
    w.u32le(0);
    w.u32le(offset);
    for (uint32_t v : {40u, 4u, 2u}) w.u32le(v);
    w.u16le(1);
    w.u16le(8);
    for (uint32_t v : {0u, 8u, 2835u, 2835u, 256u, 0u}) w.u32le(v);
    for (uint32_t i = 0; i < 256; ++i) w.u32le(i * 0x010101u);
    for (uint8_t i = 0; i < 8; ++i) w.u8(static_cast<uint8_t>(i * 30));
    std::u16string path = tmp.file(name);
    EXPECT_EQ(file_replace(path, f), 0);
    return path;
  }
  static ReadBack read_back(const std::u16string& path) {
    SurfaceTable t(1);
    ReadBack r;
    if (surface_load(t, 1, path, true) != 0) return r;
    r.info = t.find(1)->info;
    auto px = t.find(1)->picture();
    r.pixels.assign(px.begin(), px.end());
    return r;
  }
  void wait_for_job() {
    for (int i = 0; i < 5000 && app->doc.job_running(); ++i) {
      app->doc.poll_background_job();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_FALSE(app->doc.job_running());
  }
  bool modified() { return app->doc.view().flags & kModified; }
  Surface& surface(int key) { return *surface_find(app->doc.surfaces(), key); }
  void answer_save(const std::u16string& path) { fake.save_answers.push_back(platform::SaveFileChoice{path, 1}); }
  void script(std::vector<DialogStep> steps) {
    fake.dialog_scripts.push_back(platform::DialogScript{res::kSaveOptionsDialogId, std::nullopt, std::move(steps)});
  }

  testing::TempFolder tmp;
  platform::FakePlatform fake;
  std::unique_ptr<Application> app;
};

TEST_F(Save, SaveIsOfferedOnlyForAModifiedFileAndWritesItBackInTheBackground) {
  command(cmd::SaveAs);  // no picture: both items are greyed
  command(cmd::Save);
  EXPECT_TRUE(fake.save_requests.empty());
  const auto a = picture("a.bmp");
  ASSERT_EQ(app->viewer.open_file(a, -1, -1), 0);
  EXPECT_TRUE(menu().is_enabled(cmd::SaveAs));
  EXPECT_FALSE(menu().is_enabled(cmd::Save));

  surface_fill(app->doc.surfaces(), kKeyImage, 0x11, 0x22, 0x33, 0);  // an edit
  set_modified(app->doc, 1);
  fake.clock_ms += 100;
  command(cmd::ZoomIn);  // a zoom lays the window out again: the mark stays
  EXPECT_TRUE(modified());
  EXPECT_EQ(app->shell.window->title().substr(0, 2), u"* ");

  command(cmd::Save);
  wait_for_job();
  EXPECT_TRUE(fake.messages.empty());
  ReadBack r = read_back(a);
  EXPECT_EQ(r.info.bits, 24);
  EXPECT_EQ(r.pixels, std::vector<uint32_t>(12, 0xFF112233u));
  EXPECT_FALSE(modified());
  EXPECT_FALSE(menu().is_enabled(cmd::Save));
  EXPECT_NE(app->shell.window->title().substr(0, 2), u"* ");
}

TEST_F(Save, APictureItsFormatCannotTakeBackIsSentToSaveAs) {
  const auto p = palette_picture("p.bmp");
  ASSERT_EQ(app->viewer.open_file(p, -1, -1), 0);
  const auto before = read_file(p);
  set_modified(app->doc, 1);
  command(cmd::Save);
  EXPECT_FALSE(app->doc.job_running());
  ASSERT_EQ(fake.messages.size(), 1u);
  EXPECT_EQ(fake.messages[0], u"保存できないピクセル フォーマットです。\n別名で保存してください。");
  EXPECT_EQ(fake.message_captions[0], u"Tesmo64");
  EXPECT_EQ(fake.message_icons[0], platform::MessageIcon::Warning);
  EXPECT_EQ(read_file(p), before);
  EXPECT_TRUE(modified());
  EXPECT_EQ(save_command(app->doc, nullptr, true), 1);
}

TEST_F(Save, TheAlphaViewIsMergedIntoTheFileAndLeftInSurfaceTwo) {
  const auto a = picture("a.bmp");
  ASSERT_EQ(app->viewer.open_file(a, -1, -1), 0);
  // An alpha channel added to the 24-bit picture: grey 20 × i in the alpha view.
  ASSERT_EQ(surface_create(app->doc.surfaces(), kKeyAlpha, 4, 3), 0);
  for (uint32_t i = 0; i < 12; ++i) surface(kKeyAlpha).pixels()[i] = 0xFF000000u | (20 * i) * 0x010101u;
  surface_set_alpha(app->doc.surfaces(), kKeyImage, 0);
  menu().set_enabled(cmd::ChannelAlpha, true);

  ASSERT_EQ(save_command(app->doc, nullptr, true), 0);
  ReadBack r = read_back(a);
  EXPECT_EQ(r.info.bits, 32);  // the 24-bit layout became 8:8:8:8
  ASSERT_EQ(r.pixels.size(), 12u);
  for (uint32_t i = 0; i < 12; ++i) EXPECT_EQ(r.pixels[i], (20 * i) << 24 | 0x204060u) << i;
  for (uint32_t i = 0; i < 12; ++i) EXPECT_EQ(surface(kKeyImage).pixels()[i] >> 24, 0u) << i;
  EXPECT_EQ(surface(kKeyAlpha).pixels()[5], 0xFF646464u);
}

TEST_F(Save, AFailedWriteKeepsTheOldFileAndTheModifiedMark) {
  const auto a = picture("a.bmp");
  ASSERT_EQ(app->viewer.open_file(a, -1, -1), 0);
  const auto before = read_file(a);
  surface_fill(app->doc.surfaces(), kKeyImage, 1, 2, 3, 0);
  set_modified(app->doc, 1);

  // Files may not grow past 60 bytes: the 102-byte picture cannot be written.
  rlimit old_limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old_limit;
  small.rlim_cur = 60;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const int result = save_command(app->doc, nullptr, true);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);

  EXPECT_EQ(result, 1);
  EXPECT_EQ(fake.messages, std::vector<std::u16string>{u"セーブに失敗しました。"});
  EXPECT_EQ(fake.message_captions.at(0), u"Tesmo64");
  EXPECT_EQ(fake.message_icons.at(0), platform::MessageIcon::Warning);
  EXPECT_EQ(read_file(a), before);
  EXPECT_TRUE(modified());
  EXPECT_TRUE(menu().is_enabled(cmd::Save));
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(tmp.path())) files += e.is_regular_file();
  EXPECT_EQ(files, 1);  // no temporary file left beside it

  EXPECT_EQ(save_command(app->doc, nullptr, true), 0);
  EXPECT_EQ(read_back(a).pixels, std::vector<uint32_t>(12, 0xFF010203u));
  EXPECT_FALSE(modified());
}

TEST_F(Save, SaveAsTakesTheFormatFromTheTypedNameAndWritesItsOwnExtension) {
  const auto a = picture("a.bmp");
  ASSERT_EQ(app->viewer.open_file(a, -1, -1), 0);
  set_modified(app->doc, 1);
  answer_save(tmp.file("photo.ICO"));
  script({{DialogStep::Press, kOk}});
  command(cmd::SaveAs);
  wait_for_job();

  ASSERT_EQ(fake.save_requests.size(), 1u);
  const platform::SaveFileRequest& q = fake.save_requests[0];
  EXPECT_EQ(q.title, u"別名で保存");
  EXPECT_EQ(q.default_extension, u"bmp");
  EXPECT_EQ(q.filter_index, 1);
  EXPECT_EQ(q.initial_folder, tmp.folder());
  EXPECT_EQ(q.initial_name, u"a");
  ASSERT_EQ(q.filter.size(), kOffered.size());
  for (size_t i = 0; i < kOffered.size(); ++i) EXPECT_EQ(q.filter[i].first, kOffered[i]);
  EXPECT_EQ(q.filter[0].second, u"*.bmp;*.ico;*.cur");

  ASSERT_EQ(fake.dialogs.size(), 1u);
  const platform::DialogRecord& d = fake.dialogs[0];
  EXPECT_EQ(d.end_code, platform::kDialogOk);
  EXPECT_EQ(d.items.at(res::kSaveFormatCombo), kOffered);
  EXPECT_EQ(d.texts.at(res::kSaveFormatCombo), u"BMP (*.bmp, *.ico, *.cur)");
  EXPECT_EQ(d.items.at(res::kSaveBitsCombo).size(), 7u);
  EXPECT_EQ(d.texts.at(res::kSaveBitsCombo), u"8:8:8:8 ARGB (32 bit)");
  EXPECT_FALSE(d.enabled.at(res::kSaveCompressCheck));
  EXPECT_FALSE(d.enabled.at(res::kSaveQualityField));
  ASSERT_FALSE(d.paints.empty());  // skinned: the 439 × 360 background first
  EXPECT_EQ(d.paints[0].control, 0);
  EXPECT_EQ(d.paints[0].width, 439);
  EXPECT_EQ(d.paints[0].height, 360);

  EXPECT_FALSE(file_exists(tmp.file("photo.ICO")));
  ReadBack r = read_back(tmp.file("photo.bmp"));
  EXPECT_EQ(r.info.format, kFormatBmp);
  EXPECT_EQ(r.info.bits, 32);
  EXPECT_TRUE(modified());  // another file was written; the shown one still differs from its file
  EXPECT_EQ(app->doc.view().path, a);
}

TEST_F(Save, TheFormatChosenInTheDialogDecidesTheExtension) {
  const auto a = picture("a.bmp");
  ASSERT_EQ(app->viewer.open_file(a, -1, -1), 0);
  answer_save(tmp.file("photo.bmp"));
  script({{DialogStep::Select, res::kSaveFormatCombo, u"", kItemTga}, {DialogStep::Press, kOk}});
  EXPECT_EQ(save_as_command(app->doc, true), 0);
  EXPECT_EQ(fake.dialogs.at(0).texts.at(res::kSaveBitsCombo), u"8:8:8:8 ARGB (32 bit)");
  EXPECT_EQ(fake.dialogs.at(0).items.at(res::kSaveBitsCombo).size(), 4u);
  EXPECT_FALSE(file_exists(tmp.file("photo.bmp")));
  ReadBack r = read_back(tmp.file("photo.tga"));
  EXPECT_EQ(r.info.format, kFormatTga);
  EXPECT_EQ(r.pixels, std::vector<uint32_t>(12, 0xFF204060u));
}

// The chooser confirmed "photo.bmp"; the TGA format leads to "photo.tga", which exists.
TEST_F(Save, AnotherFileTheFormatLeadsToIsReplacedOnlyAfterAsking) {
  ASSERT_EQ(app->viewer.open_file(picture("a.bmp"), -1, -1), 0);
  const std::u16string other = tmp.file("photo.tga");
  const std::vector<uint8_t> old_bytes = {1, 2, 3};
  ASSERT_EQ(file_replace(other, old_bytes), 0);
  for (const auto answer : {platform::MessageAnswer::No, platform::MessageAnswer::Yes}) {
    answer_save(tmp.file("photo.bmp"));
    script({{DialogStep::Select, res::kSaveFormatCombo, u"", kItemTga}, {DialogStep::Press, kOk}});
    fake.answers = {answer};
    fake.messages.clear();
    EXPECT_EQ(save_as_command(app->doc, true), answer == platform::MessageAnswer::Yes ? 0 : 2);
    EXPECT_EQ(fake.messages, std::vector<std::u16string>{u"photo.tga は既に存在します。\n上書きしますか？"});
    if (answer == platform::MessageAnswer::No) EXPECT_EQ(read_file(other), old_bytes);
  }
  EXPECT_EQ(read_back(other).info.format, kFormatTga);
  EXPECT_FALSE(file_exists(tmp.file("photo.bmp")));
  // The name the chooser returned is not asked about again.
  fake.messages.clear();
  answer_save(other);
  script({{DialogStep::Select, res::kSaveFormatCombo, u"", kItemTga}, {DialogStep::Press, kOk}});
  EXPECT_EQ(save_as_command(app->doc, true), 0);
  EXPECT_TRUE(fake.messages.empty());
}

// A picture without an alpha channel is written opaque in a layout with alpha, even when its
// alpha bytes were 0 (a new 24-bit picture).
TEST_F(Save, APictureWithoutAlphaIsWrittenOpaque) {
  ASSERT_EQ(create_new_picture(app->viewer, NewPictureChoice{3, 2, 24}), 0);
  answer_save(tmp.file("new.bmp"));
  script({{DialogStep::Press, kOk}});  // BMP, 8:8:8:8 ARGB (32 bit)
  EXPECT_EQ(save_as_command(app->doc, true), 0);
  ReadBack r = read_back(tmp.file("new.bmp"));
  EXPECT_EQ(r.info.bits, 32);
  EXPECT_EQ(r.pixels, std::vector<uint32_t>(6, 0xFF000000u));
}

TEST_F(Save, SaveAsOverTheShownFileClearsTheMarkAndCancelChangesNothing) {
  const auto a = picture("a.bmp");
  ASSERT_EQ(app->viewer.open_file(a, -1, -1), 0);
  surface_fill(app->doc.surfaces(), kKeyImage, 9, 9, 9, 0);
  set_modified(app->doc, 1);
  EXPECT_EQ(save_as_command(app->doc, true), 2);  // the chooser is cancelled
  answer_save(a);
  script({{DialogStep::Focus, kCancel}, {DialogStep::Enter}});  // Enter on Cancel cancels
  EXPECT_EQ(save_as_command(app->doc, true), 2);
  EXPECT_EQ(read_back(a).pixels, std::vector<uint32_t>(12, 0xFF204060u));
  EXPECT_TRUE(modified());

  answer_save(a);
  script({{DialogStep::Select, res::kSaveBitsCombo, u"", kBmp24}, {DialogStep::Enter}});  // Enter is OK
  EXPECT_EQ(save_as_command(app->doc, true), 0);
  ReadBack r = read_back(a);
  EXPECT_EQ(r.info.bits, 24);
  EXPECT_EQ(r.pixels, std::vector<uint32_t>(12, 0xFF090909u));
  EXPECT_FALSE(modified());
}

TEST_F(Save, TheDialogFollowsEachFormatsOptionsAndHoldsTheQuality) {
  testing::answer_new_picture(fake, 8, 8, 24);
  ASSERT_EQ(new_picture(app->viewer), 0);

  struct Case {
    std::vector<DialogStep> steps;
    SaveSettings expected;
    std::u16string quality_text;
  };
  const Case cases[] = {
      {{{DialogStep::Select, res::kSaveFormatCombo, u"", kItemJpeg}, {DialogStep::SetText, res::kSaveQualityField, u"0"},
        {DialogStep::Press, kOk}},
       {kFormatJpeg, 1, 24, 0, 1},
       u"1"},
      {{{DialogStep::Select, res::kSaveFormatCombo, u"", kItemJpeg}, {DialogStep::SetText, res::kSaveQualityField, u"250"},
        {DialogStep::Press, kOk}},
       {kFormatJpeg, 1, 24, 0, 100},
       u"100"},
      {{{DialogStep::Select, res::kSaveFormatCombo, u"", kItemJpeg}, {DialogStep::Press, kOk}},
       {kFormatJpeg, 1, 24, 0, 100},
       u"100"},
      {{{DialogStep::Select, res::kSaveFormatCombo, u"", kItemPic}, {DialogStep::Press, kOk}},
       {kFormatPic, 1, 32, 1, 100},
       u"100"},
      {{{DialogStep::Select, res::kSaveFormatCombo, u"", kItemPic}, {DialogStep::Check, res::kSaveCompressCheck},
        {DialogStep::Press, kOk}},
       {kFormatPic, 1, 32, 0, 100},
       u"100"},
  };
  for (const Case& c : cases) {
    fake.dialogs.clear();
    script(c.steps);
    SaveSettings s;
    s.format = kFormatTga;
    ASSERT_EQ(save_options_dialog(app->doc, s), 0);
    EXPECT_EQ(s, c.expected) << s.format << " " << s.quality;
    const platform::DialogRecord& d = fake.dialogs.at(0);
    EXPECT_EQ(d.texts.at(res::kSaveQualityField), c.quality_text);
    EXPECT_EQ(d.enabled.at(res::kSaveQualityField), c.expected.format == kFormatJpeg);
    EXPECT_EQ(d.enabled.at(res::kSaveCompressCheck), c.expected.format == kFormatPic);
  }

  // Cancel leaves the settings; the dialog opened on the settings' format.
  script({{DialogStep::Escape}});
  SaveSettings s{kFormatSgi, 0, 8, 0, 50};
  EXPECT_EQ(save_options_dialog(app->doc, s), 1);
  EXPECT_EQ(s, (SaveSettings{kFormatSgi, 0, 8, 0, 50}));
  EXPECT_EQ(fake.dialogs.back().texts.at(res::kSaveFormatCombo), u"SGI (*.sgi, *.rgb, *.rgba, *.bw)");
  EXPECT_FALSE(app->shell.modal_open);

  // A new picture has no file: the chooser starts empty.
  save_as_command(app->doc, true);
  EXPECT_TRUE(fake.save_requests.back().initial_folder.empty());
  EXPECT_TRUE(fake.save_requests.back().initial_name.empty());
}

TEST_F(Save, TheCloseQuestionRunsSaveAsAndAsksAgainUntilSavedOrDeclined) {
  const auto a = picture("a.bmp");
  ASSERT_EQ(app->viewer.open_file(a, -1, -1), 0);
  set_modified(app->doc, 1);
  fake.answers = {platform::MessageAnswer::Yes, platform::MessageAnswer::No};  // Save As is cancelled
  command(cmd::Close);
  EXPECT_EQ(fake.messages, (std::vector<std::u16string>{u"変更をセーブしますか？", u"変更をセーブしますか？"}));
  EXPECT_EQ(fake.save_requests.size(), 1u);
  EXPECT_FALSE(app->doc.view().flags & kImageShown);

  fake.messages.clear();
  ASSERT_EQ(app->viewer.open_file(a, -1, -1), 0);
  surface_fill(app->doc.surfaces(), kKeyImage, 7, 7, 7, 255);
  set_modified(app->doc, 1);
  fake.answers = {platform::MessageAnswer::Yes};
  answer_save(tmp.file("b.bmp"));
  script({{DialogStep::Press, kOk}});
  command(cmd::Close);  // synchronous: the picture is written before it goes
  EXPECT_EQ(fake.messages, std::vector<std::u16string>{u"変更をセーブしますか？"});
  EXPECT_EQ(read_back(tmp.file("b.bmp")).pixels, std::vector<uint32_t>(12, 0xFF070707u));
  EXPECT_FALSE(app->doc.view().flags & kImageShown);
}

TEST_F(Save, ClosingDuringABackgroundSaveWaitsForIt) {
  const auto a = picture("a.bmp", 600, 400);
  ASSERT_EQ(app->viewer.open_file(a, -1, -1), 0);
  surface_fill(app->doc.surfaces(), kKeyImage, 5, 6, 7, 0);
  set_modified(app->doc, 1);
  command(cmd::Save);
  app->viewer.close_image(true);
  EXPECT_FALSE(app->doc.job_running());
  EXPECT_TRUE(fake.messages.empty());  // saved, so no question
  EXPECT_EQ(read_back(a).pixels, std::vector<uint32_t>(600 * 400, 0xFF050607u));
}

TEST(SaveTarget, TheExtensionOfTheNameIsReplacedNeverAFoldersDot) {
  EXPECT_EQ(save_target_path(u"/p/photo.ICO", kFormatBmp), u"/p/photo.bmp");
  EXPECT_EQ(save_target_path(u"/p/photo.bmp", kFormatTga), u"/p/photo.tga");
  EXPECT_EQ(save_target_path(u"/p/a.b.png", kFormatJpeg), u"/p/a.b.jpg");
  EXPECT_EQ(save_target_path(u"/p/photo", kFormatTiff), u"/p/photo.tif");
  EXPECT_EQ(save_target_path(u"/p.q/photo", kFormatSgi), u"/p.q/photo.sgi");
  EXPECT_EQ(save_target_path(u"photo.", kFormatPng), u"photo.png");
}

TEST(SaveTarget, QualityFieldIsHeldToOneToHundred) {
  const struct {
    std::u16string_view text;
    int32_t value;
    bool changed;
  } cases[] = {{u"85", 85, false}, {u"0", 1, true},     {u"250", 100, true}, {u"-7", 1, true},
               {u"", 1, true},     {u"abc", 1, true},   {u" 40", 40, false}, {u"99999999999", 100, true}};
  for (const auto& c : cases) {
    bool changed = false;
    EXPECT_EQ(quality_from_field(c.text, changed), c.value) << std::string(c.text.begin(), c.text.end());
    EXPECT_EQ(changed, c.changed);
  }
}

}  // namespace
}  // namespace tesmo
