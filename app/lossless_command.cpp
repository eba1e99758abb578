// The lossless transform command.
#include "app/lossless_command.h"

#include <array>

#include "app/application.h"
#include "app/command_ids.h"
#include "app/modal.h"
#include "app/dialog_skin.h"
#include "app/main_window.h"
#include "app/presentation.h"
#include "app/save.h"
#include "base/file_io.h"
#include "formats/jpeg/jpeg.h"
#include "formats/registry.h"
#include "resources/lossless_dialog.h"

namespace tesmo {
namespace {

constexpr char16_t kSaveQuestion[] = u"変更をセーブしますか？";
constexpr std::array<int, resources::kLosslessChoiceCount> kCodes = {
    jpeg::kTransformRotate270, jpeg::kTransformRotate180,     jpeg::kTransformRotate90,  jpeg::kTransformFlipHorizontal,
    jpeg::kTransformFlipVertical, jpeg::kTransformTranspose, jpeg::kTransformTransverse,
};

class LosslessDialog final : public SkinnedDialog {
 public:
  LosslessDialog(Application& app, int32_t choice)
      : SkinnedDialog(app, resources::kSkinEditDialogs[5], kSkinModalBase), choice(choice) {}

  void init(platform::Dialog& d) override {
    SkinnedDialog::init(d);
    const int32_t start = choice >= 0 && choice < resources::kLosslessChoiceCount ? choice : 0;
    d.set_checked(static_cast<uint16_t>(resources::kLosslessFirstChoice + start), true);
  }

  void command(platform::Dialog& d, uint16_t id, int notification) override {
    if (id == kSkinOkId && notification == platform::kClicked) {
      for (int k = 0; k < resources::kLosslessChoiceCount; ++k) {
        if (d.checked(static_cast<uint16_t>(resources::kLosslessFirstChoice + k))) choice = k;
      }
      d.end(platform::kDialogOk);
      return;
    }
    SkinnedDialog::command(d, id, notification);
  }

  int32_t choice;
};

// Yes saves with Save As (synchronously); either answer goes on with the file as it is on disk.
void offer_save(Application& app) {
  if (!(app.view().flags & kModified) || !app.platform) return;
  const auto answer = show_message(app, kSaveQuestion, platform::MessageIcon::Question, platform::MessageButtons::YesNo);
  if (answer == platform::MessageAnswer::Yes) save_as_command(app, true);
}

// A JPEG whose width is a multiple of 8: the only files the transform takes whole.
bool transformable(const std::u16string& path) {
  ImageFile file = image_file_create(false);
  const bool ok = image_probe(file, path) == 0 && file.format == kFormatJpeg && file.info.width % 8 == 0;
  image_file_close(file);
  return ok;
}

// The new file in the view, unmodified. With a fit option on, the reload starts from 100 % (the
// zoom a refresh keeps) and its layout computes the fit for the turned picture.
void show_transformed(Application& app) {
  set_modified(app, 0);
  if (app.window && (app.window->menu().is_checked(cmd::ScaleUpToFit) ||
                     app.window->menu().is_checked(cmd::ScaleDownToFit))) {
    app.view().zoom_x = app.view().zoom_y = kZoomActual;
  }
  app.refresh();
}

}  // namespace

int lossless_code(int32_t choice) {
  return choice >= 0 && choice < resources::kLosslessChoiceCount ? kCodes[static_cast<size_t>(choice)] : 0;
}

int lossless_dialog(Application& app, LosslessRequest& request) {
  LosslessDialog handler(app, request.choice);
  if (run_modal_dialog(app, resources::lossless_dialog(), handler) != platform::kDialogOk) return 2;
  request.choice = handler.choice;
  return 0;
}

int lossless_transform_command(Application& app, const LosslessRequest* request) {
  if (!(app.view().flags & kImageShown) || !app.view().display_name.empty()) return 1;
  offer_save(app);
  LosslessRequest chosen{app.lossless_choice};
  if (request) {
    chosen = *request;
  } else {
    if (lossless_dialog(app, chosen) != 0) return 2;
    app.lossless_choice = chosen.choice;
  }
  const int code = lossless_code(chosen.choice);
  if (code == 0) return 1;
  const std::u16string path = app.view().path;
  const std::u16string copy = path + u".tmp";
  if (file_copy_over(path, copy) != 0) return 1;
  if (!transformable(copy)) {
    file_delete(copy);
    return 1;
  }
  if (jpeg::lossless_transform(path, copy, code) != 0) {
    file_copy_over(copy, path);
    file_delete(copy);
    return 1;
  }
  file_delete(copy);
  show_transformed(app);
  return 0;
}

}  // namespace tesmo
