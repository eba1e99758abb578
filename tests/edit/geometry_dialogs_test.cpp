// The geometry dialogs through the fake dialog host (layout, coupling of width and height,
// clamping, remembered values, the colour chooser and the browse button), and the Exif orientation
// of a JPEG file applied when the picture is laid out.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/commands.h"
#include "base/text.h"
#include "formats/exif/exif.h"
#include "resources/command_ids.h"
#include "resources/dialog_templates.h"
#include "shell/dialog_skin.h"
#include "tests/edit/geometry_fixture.h"
#include "viewer/presentation.h"

namespace tesmo {
namespace {

using platform::ControlKind;
using platform::DialogScript;
using platform::DialogStep;
using testing::test_colour;
namespace res = resources;

TEST(GeometryTemplates, ControlsFitTheBackgroundWithoutOverlapping) {
  const platform::DialogTemplate* templates[] = {&res::image_size_dialog(), &res::canvas_size_dialog(),
                                                 &res::crop_dialog(),       &res::trim_dialog(),
                                                 &res::rotation_dialog(),   &res::connect_dialog(),
                                                 &res::divide_dialog()};
  const uint16_t ids[] = {141, 143, 164, 144, 142, 161, 140};
  for (size_t i = 0; i < std::size(templates); ++i) {
    const platform::DialogTemplate& t = *templates[i];
    EXPECT_EQ(t.id, ids[i]);
    EXPECT_EQ(t.ok_id, kSkinOkId);
    EXPECT_EQ(t.cancel_id, kSkinCancelId);
    for (size_t a = 0; a < t.controls.size(); ++a) {
      const platform::Rect& r = t.controls[a].rect;
      EXPECT_TRUE(r.left >= 0 && r.top >= res::kSkinTitleBand && r.right <= t.client_width &&
                  r.bottom <= t.client_height && r.left < r.right && r.top < r.bottom)
          << t.id << " control " << a;
      for (size_t b = a + 1; b < t.controls.size(); ++b) {
        const platform::ControlTemplate &p = t.controls[a], &q = t.controls[b];
        if (p.id != platform::kNoControlId && p.id == q.id) ADD_FAILURE() << t.id << " repeats id " << p.id;
        if (p.kind == ControlKind::GroupBox || q.kind == ControlKind::GroupBox) continue;
        const bool overlap = p.rect.left < q.rect.right && q.rect.left < p.rect.right && p.rect.top < q.rect.bottom &&
                             q.rect.top < p.rect.bottom;
        EXPECT_FALSE(overlap) << t.id << ": controls " << a << " and " << b;
      }
    }
  }
  EXPECT_EQ(res::trim_dialog().caption, u"トリミング");
  EXPECT_EQ(res::canvas_size_dialog().caption, u"キャンバス サイズ");
}

class GeometryDialogs : public testing::GeometryFixture {
 protected:
  void script(uint16_t dialog, std::vector<DialogStep> steps) {
    fake.dialog_scripts.push_back(DialogScript{dialog, std::nullopt, std::move(steps)});
  }
  const platform::DialogRecord& last() { return fake.dialogs.back(); }
};

TEST_F(GeometryDialogs, ImageSizeCouplesSidesWhileKeepAspectIsChecked) {
  open(6, 4, false);
  script(res::kImageSizeDialogId, {{DialogStep::SetText, res::kWidthField, u"12"},
                                   {DialogStep::Check, res::kImageKeepAspect},  // off
                                   {DialogStep::SetText, res::kHeightField, u"5"},
                                   {DialogStep::Select, res::kResampleCombo, u"", 3},
                                   {DialogStep::Press, kSkinOkId}});
  EXPECT_EQ(resize_image(app->edit), 0);
  EXPECT_EQ(size(kKeyImage), std::pair(12, 5));
  EXPECT_EQ(app->shell.remembered().resample_algorithm, 3);
  EXPECT_EQ(last().texts.at(res::kCurrentWidthField), u"6");
  EXPECT_EQ(last().texts.at(res::kWidthField), u"12");  // not coupled once unchecked
  EXPECT_EQ(last().items.at(res::kResampleCombo).size(), 5u);
  EXPECT_EQ(last().items.at(res::kResampleCombo)[4], u"Type E / Lanczos3");
  EXPECT_EQ(surface(kSkinModalBase), nullptr);  // the skin went with the dialog

  // Coupled: 12 × 5 typed 6 wide gives 6 × 2 (5 × 6 / 12); sides below 1 are held and written back.
  script(res::kImageSizeDialogId, {{DialogStep::SetText, res::kWidthField, u"6"}, {DialogStep::Press, kSkinOkId}});
  EXPECT_EQ(resize_image(app->edit), 0);
  EXPECT_EQ(last().texts.at(res::kHeightField), u"2");
  EXPECT_EQ(size(kKeyImage), std::pair(6, 2));
  script(res::kImageSizeDialogId, {{DialogStep::SetText, res::kHeightField, u"0"}, {DialogStep::Press, kSkinOkId}});
  EXPECT_EQ(resize_image(app->edit), 0);
  EXPECT_EQ(last().texts.at(res::kWidthField), u"1");
  EXPECT_EQ(last().texts.at(res::kHeightField), u"1");
  EXPECT_EQ(size(kKeyImage), std::pair(1, 1));
  // The remembered algorithm comes back preselected; Cancel answers 2 and changes nothing.
  EXPECT_EQ(resize_image(app->edit), 2);
  EXPECT_EQ(size(kKeyImage), std::pair(1, 1));
  app->shell.remembered().resample_algorithm = 9;
  EXPECT_EQ(resize_image(app->edit), 2);
  EXPECT_EQ(history(), 3u);
}

TEST_F(GeometryDialogs, CanvasRemembersAlignmentAndTheOneAnchor) {
  open(6, 4, false);
  script(res::kCanvasSizeDialogId, {{DialogStep::SetText, res::kWidthField, u"9"},  // aspect off: height stays
                                    {DialogStep::SetText, res::kAlignXField, u"8"},
                                    {DialogStep::SetText, res::kAlignYField, u"8"},
                                    {DialogStep::Press, res::kFirstAnchor + 8},
                                    {DialogStep::Press, kSkinOkId}});
  EXPECT_EQ(resize_canvas(app->edit), 0);
  EXPECT_EQ(size(kKeyImage), std::pair(16, 8));
  EXPECT_EQ(colour(15, 7), test_colour(5, 3));  // bottom right
  EXPECT_EQ(colour(9, 3), 0u);
  EXPECT_EQ(last().texts.at(res::kHeightField), u"4");
  const RememberedValues& r = app->shell.remembered();
  EXPECT_EQ(std::tuple(r.canvas_align_x, r.canvas_align_y, r.canvas_anchor_column, r.canvas_anchor_row),
            std::tuple(8, 8, 2, 2));

  script(res::kCanvasSizeDialogId, {{DialogStep::Check, res::kCanvasKeepAspect},
                                    {DialogStep::SetText, res::kHeightField, u"4"},
                                    {DialogStep::Press, res::kFirstAnchor + 4}});  // then Cancel
  EXPECT_EQ(resize_canvas(app->edit), 2);
  EXPECT_EQ(last().texts.at(res::kAlignXField), u"8");
  EXPECT_EQ(last().texts.at(res::kWidthField), u"8");  // 16 × 4 / 8
  for (int k = 0; k < res::kAnchorCount; ++k) {
    EXPECT_EQ(last().checked.at(static_cast<uint16_t>(res::kFirstAnchor + k)), k == 4) << k;
  }
  EXPECT_EQ(r.canvas_anchor_column, 2);  // Cancel remembers nothing
}

TEST_F(GeometryDialogs, CropRemembersTheRectangleEvenWhenRefused) {
  open(6, 4, false);
  script(res::kCropDialogId, {{DialogStep::SetText, res::kCropX, u"-1"}, {DialogStep::Press, kSkinOkId}});
  EXPECT_EQ(crop_image(app->edit), 1);
  EXPECT_EQ(last().texts.at(res::kCropWidth), u"1");  // the initial 0, 0, 1, 1
  EXPECT_EQ(app->shell.remembered().crop_x, -1);
  script(res::kCropDialogId, {{DialogStep::SetText, res::kCropX, u"2"},
                              {DialogStep::SetText, res::kCropWidth, u"3"},
                              {DialogStep::SetText, res::kCropHeight, u"2"},
                              {DialogStep::Press, kSkinOkId}});
  EXPECT_EQ(crop_image(app->edit), 0);
  EXPECT_EQ(size(kKeyImage), std::pair(3, 2));
  EXPECT_EQ(colour(0, 0), test_colour(2, 0));
  script(res::kCropDialogId, {});
  EXPECT_EQ(crop_image(app->edit), 2);
  EXPECT_EQ(last().texts.at(res::kCropX), u"2");
}

TEST_F(GeometryDialogs, TrimTakesSidesAndTheChosenColour) {
  open(6, 4, false);
  bool modal = false;
  fake.on_modal = [&] { modal = app->shell.modal_open; };
  fake.colour_answers.push_back(0x00332211u);  // red 0x11, green 0x22, blue 0x33
  script(res::kTrimDialogId, {{DialogStep::Press, res::kBrowseButton},
                              {DialogStep::Check, res::kTrimSideBoxes[0]},  // top off
                              {DialogStep::Check, res::kTrimSideBoxes[4]},  // equal margins on
                              {DialogStep::Press, kSkinOkId}});
  EXPECT_EQ(trim_image(app->edit), 0);  // nothing of that colour: nothing to do
  EXPECT_TRUE(modal);
  EXPECT_EQ(last().texts.at(res::kTrimColourFields[0]), u"17");
  EXPECT_EQ(last().texts.at(res::kTrimColourFields[2]), u"51");
  EXPECT_EQ(app->shell.remembered().trim_sides, kTrimBottom | kTrimLeft | kTrimRight | kTrimEqualMargins);
  EXPECT_EQ(app->shell.remembered().trim_colour, 0x112233u);
  bool dots_drawn = false;
  for (const platform::DialogPaint& p : last().paints) dots_drawn |= p.control == res::kBrowseButton && p.width == 25;
  EXPECT_TRUE(dots_drawn);

  script(res::kTrimDialogId, {{DialogStep::SetText, res::kTrimColourFields[1], u"300"}, {DialogStep::Press, kSkinOkId}});
  EXPECT_EQ(trim_image(app->edit), 0);
  EXPECT_TRUE(last().checked.at(res::kTrimSideBoxes[4]));
  EXPECT_FALSE(last().checked.at(res::kTrimSideBoxes[0]));
  EXPECT_EQ(last().texts.at(res::kTrimColourFields[1]), u"255");
  EXPECT_EQ(app->shell.remembered().trim_colour, 0x11FF33u);
  EXPECT_EQ(history(), 0u);
}

TEST_F(GeometryDialogs, RotationAngleIsHeldToAWholeTurn) {
  open(6, 4, false);
  script(res::kRotationDialogId, {{DialogStep::SetText, res::kAngleField, u"400"}, {DialogStep::Press, kSkinOkId}});
  EXPECT_EQ(rotate_by_dialog(app->edit), 0);
  EXPECT_EQ(last().texts.at(res::kAngleField), u"360");
  EXPECT_EQ(history(), 0u);
  script(res::kRotationDialogId, {{DialogStep::SetText, res::kAngleField, u"90"}, {DialogStep::Enter}});
  EXPECT_EQ(rotate_by_dialog(app->edit), 0);
  EXPECT_EQ(size(kKeyImage), std::pair(4, 6));
  script(res::kRotationDialogId, {{DialogStep::Escape}});
  EXPECT_EQ(rotate_by_dialog(app->edit), 2);
  EXPECT_EQ(last().texts.at(res::kAngleField), u"0");
  const RotateRequest r{-90};
  EXPECT_EQ(rotate_by_dialog(app->edit, &r), 0);
  EXPECT_EQ(app->doc.view().rotation, 0);
}

TEST_F(GeometryDialogs, ConnectBrowsesForTheFileOrItsFolder) {
  open(6, 4, false);
  const std::u16string added = tmp.folder() + u"sub/added.bmp";
  std::filesystem::create_directories(tmp.path() / "sub");
  testing::write_test_picture(added, 2, 4, false);
  fake.open_answers.push_back(added);
  fake.open_answers.push_back(added);
  script(res::kConnectDialogId, {{DialogStep::Press, res::kConnectFolder},
                                 {DialogStep::Press, res::kBrowseButton},
                                 {DialogStep::Press, res::kConnectFile},
                                 {DialogStep::Press, res::kBrowseButton},
                                 {DialogStep::Check, res::kConnectSideBoxes[3]},
                                 {DialogStep::Press, kSkinOkId}});
  EXPECT_EQ(connect_images(app->edit), 0);
  EXPECT_EQ(size(kKeyImage), std::pair(8, 4));
  EXPECT_EQ(fake.open_requests.size(), 2u);
  EXPECT_EQ(last().texts.at(res::kConnectPathField), added);
  EXPECT_TRUE(last().checked.at(res::kConnectFile));
  EXPECT_FALSE(last().checked.at(res::kConnectFolder));

  fake.open_answers.push_back(added);
  script(res::kConnectDialogId, {{DialogStep::Press, res::kConnectFolder},
                                 {DialogStep::Press, res::kBrowseButton},
                                 {DialogStep::Check, res::kConnectSideBoxes[0]},
                                 {DialogStep::Press, kSkinOkId}});
  EXPECT_EQ(connect_images(app->edit), 0);
  EXPECT_EQ(last().texts.at(res::kConnectPathField), tmp.folder() + u"sub/");
  EXPECT_EQ(size(kKeyImage), std::pair(8, 8));  // the folder's one picture on top
  script(res::kConnectDialogId, {{DialogStep::Press, kSkinOkId}});  // no side
  EXPECT_EQ(connect_images(app->edit), 1);
}

TEST_F(GeometryDialogs, DivideHoldsTilesToThePicture) {
  open(6, 4, true);
  script(res::kDivideDialogId, {{DialogStep::SetText, res::kWidthField, u"999"},
                                {DialogStep::SetText, res::kHeightField, u"2"},
                                {DialogStep::SetText, res::kTileCountXField, u"-3"},
                                {DialogStep::Press, kSkinOkId}});
  EXPECT_EQ(divide_image(app->edit), 0);
  EXPECT_TRUE(last().checked.at(res::kDivideAlpha));
  EXPECT_EQ(last().texts.at(res::kWidthField), u"6");
  EXPECT_EQ(last().texts.at(res::kTileCountXField), u"0");
  EXPECT_TRUE(std::filesystem::exists(tmp.path() / "pic_01.bmp"));
  EXPECT_FALSE(std::filesystem::exists(tmp.path() / "pic_02.bmp"));
}

// A JPEG of test colours with an Exif block holding one orientation entry, the value set by the
// Exif writer.
class ExifOrientation : public testing::GeometryFixture {
 protected:
  std::u16string write_jpeg(int w, int h) {
    SurfaceTable t;
    surface_create(t, 1, w, h);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) surface_find(t, 1)->pixels()[y * w + x] = 0xFF000000u | test_colour(x * 20, y * 30);
    }
    const std::u16string path = tmp.folder() + u"photo.jpg";
    SaveRequest r;
    r.path = path;
    r.format = kFormatJpeg;
    r.quality = 90;
    EXPECT_EQ(surface_save(t, 1, path, 24, &r), 0);
    std::ifstream in(tmp.path() / "photo.jpg", std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // APP1: "Exif", then a little-endian TIFF header and one directory with the orientation 1.
    const std::vector<uint8_t> app1 = {0xFF, 0xE1, 0, 34, 'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0,
                                       1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0};
    bytes.insert(bytes.begin() + 2, app1.begin(), app1.end());
    std::ofstream(tmp.path() / "photo.jpg", std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                                      static_cast<std::streamsize>(bytes.size()));
    return path;
  }
  void set_orientation(const std::u16string& path, uint32_t value) {
    ExifEdits edits;
    exif_set_value(edits, 274, value);
    ASSERT_EQ(exif_update(edits, path), 0);
  }
  void adjust_by_exif(bool on) {
    app->shell.window->menu().set_checked(cmd::RotationAdjustExif, on);
    app->shell.window->menu().set_checked(cmd::RotationAdjustNone, !on);
  }
};

TEST_F(ExifOrientation, EachValueTurnsThePictureUpright) {
  constexpr int W = 6, H = 4;
  const std::u16string path = write_jpeg(W, H);
  ASSERT_EQ(app->viewer.open_file(path, -1, -1), 0);  // adjustment off: as stored
  const auto stored = pixels(kKeyImage);
  ASSERT_EQ(stored.size(), size_t{W * H});
  const auto o = [&](int x, int y) { return stored[static_cast<size_t>(y * W + x)]; };

  // Where result pixel (x, y) comes from in the stored picture, by the orientation's meaning.
  struct Case { uint32_t value; bool swapped; int32_t rotation; uint32_t (*from)(decltype(o)&, int, int); };
  const Case cases[] = {
      {1, false, 0, [](decltype(o)& f, int x, int y) { return f(x, y); }},
      {2, false, 0, [](decltype(o)& f, int x, int y) { return f(W - 1 - x, y); }},
      {3, false, 180, [](decltype(o)& f, int x, int y) { return f(W - 1 - x, H - 1 - y); }},
      {4, false, 0, [](decltype(o)& f, int x, int y) { return f(x, H - 1 - y); }},
      {5, true, 90, [](decltype(o)& f, int x, int y) { return f(y, x); }},
      {6, true, 270, [](decltype(o)& f, int x, int y) { return f(y, H - 1 - x); }},
      {7, true, 270, [](decltype(o)& f, int x, int y) { return f(W - 1 - y, H - 1 - x); }},
      {8, true, 90, [](decltype(o)& f, int x, int y) { return f(W - 1 - y, x); }},
      {9, false, 0, [](decltype(o)& f, int x, int y) { return f(x, y); }},
  };
  adjust_by_exif(true);
  for (const Case& c : cases) {
    set_orientation(path, c.value);
    ASSERT_EQ(app->viewer.open_file(path, -1, -1), 0);
    const int w = c.swapped ? H : W, h = c.swapped ? W : H;
    ASSERT_EQ(size(kKeyImage), std::pair(w, h)) << c.value;
    EXPECT_EQ(app->doc.view().image_width, w);
    EXPECT_EQ(app->doc.view().rotation, c.rotation) << c.value;
    // Showing the file as its camera meant it is no change: no undo level, no modified mark.
    EXPECT_EQ(history(), 0u) << c.value;
    EXPECT_FALSE(modified()) << c.value;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) EXPECT_EQ(at(kKeyImage, x, y), c.from(o, x, y)) << c.value << " " << x << "," << y;
    }
    layout_window(app->viewer);  // once per opened picture
    EXPECT_EQ(size(kKeyImage), std::pair(w, h)) << c.value;
  }
  adjust_by_exif(false);
  set_orientation(path, 6);
  ASSERT_EQ(app->viewer.open_file(path, -1, -1), 0);
  EXPECT_EQ(size(kKeyImage), std::pair(W, H));
  EXPECT_EQ(exif_auto_rotate(app->edit), 0);  // asked directly, it applies whatever the menu says
  EXPECT_EQ(size(kKeyImage), std::pair(H, W));
}

// Started as the program starts with the adjustment on, a large photo taken upright is turned before
// the fit is computed, shown whole, and left unmodified: Save stays greyed, and leaving it asks
// nothing.
TEST_F(ExifOrientation, TheTurnedPhotoIsFittedAndUnmodified) {
  const std::u16string path = write_jpeg(2400, 1200);
  set_orientation(path, 6);
  platform::FakePlatform started;
  Application viewer(tmp.folder());
  viewer.shell.settings().rotation_adjustment = 1;
  testing::start_viewer(viewer, started, path);
  ASSERT_EQ(viewer.doc.view().image_width, 1200);
  ASSERT_EQ(viewer.doc.view().image_height, 2400);
  EXPECT_EQ(viewer.doc.view().zoom_x, 991 * 25600 / 2400);  // the height limit over the turned height
  EXPECT_FALSE(started.window->style().vscroll || started.window->style().hscroll);
  EXPECT_FALSE(viewer.doc.view().flags & kModified);
  EXPECT_NE(started.window->title().substr(0, 2), u"* ");
  EXPECT_FALSE(started.window->menu().is_enabled(cmd::Save));
  EXPECT_FALSE(started.window->menu().is_enabled(cmd::Undo));
  handle_main_window_event(viewer, platform::Event{.kind = platform::EventKind::Close});
  EXPECT_TRUE(started.messages.empty());
}

}  // namespace
}  // namespace tesmo
