// The lossless transform command.
#include "edit/lossless_command.h"

#include <array>

#include "base/file_io.h"
#include "document/modified_mark.h"
#include "document/save.h"
#include "edit/edit_dialog.h"
#include "edit/editor.h"
#include "formats/jpeg/jpeg.h"
#include "formats/registry.h"
#include "resources/command_ids.h"
#include "resources/lossless_dialog.h"
#include "shell/dialog_skin.h"
#include "shell/modal.h"
#include "shell/shell.h"
#include "viewer/presentation.h"

namespace tesmo {
namespace {

constexpr char16_t kSaveQuestion[] = u"変更をセーブしますか？";
constexpr std::array<int, resources::kLosslessChoiceCount> kCodes = {
    jpeg::kTransformRotate270, jpeg::kTransformRotate180,     jpeg::kTransformRotate90,  jpeg::kTransformFlipHorizontal,
    jpeg::kTransformFlipVertical, jpeg::kTransformTranspose, jpeg::kTransformTransverse,
};

class LosslessDialog final : public EditDialog {
 public:
  LosslessDialog(Editor& editor, int32_t choice)
      : EditDialog(editor, resources::kSkinEditDialogs[5], kSkinModalBase), choice(choice) {}

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
void offer_save(Editor& editor) {
  if (!(editor.doc.view().flags & kModified) || !editor.shell.platform) return;
  const auto answer =
      show_message(editor.shell, kSaveQuestion, platform::MessageIcon::Question, platform::MessageButtons::YesNo);
  if (answer == platform::MessageAnswer::Yes) save_as_command(editor.doc, true);
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
void show_transformed(Editor& editor) {
  set_modified(editor.doc, 0);
  if (editor.shell.window && (editor.shell.window->menu().is_checked(cmd::ScaleUpToFit) ||
                     editor.shell.window->menu().is_checked(cmd::ScaleDownToFit))) {
    editor.doc.view().zoom_x = editor.doc.view().zoom_y = kZoomActual;
  }
  editor.viewer.refresh();
}

}  // namespace

int lossless_code(int32_t choice) {
  return choice >= 0 && choice < resources::kLosslessChoiceCount ? kCodes[static_cast<size_t>(choice)] : 0;
}

int lossless_dialog(Editor& editor, LosslessRequest& request) {
  LosslessDialog handler(editor, request.choice);
  if (run_modal_dialog(editor.shell, resources::lossless_dialog(), handler) != platform::kDialogOk) return 2;
  request.choice = handler.choice;
  return 0;
}

int lossless_transform_command(Editor& editor, const LosslessRequest* request) {
  if (!(editor.doc.view().flags & kImageShown) || !editor.doc.view().display_name.empty()) return 1;
  offer_save(editor);
  LosslessRequest chosen{editor.lossless_choice};
  if (request) {
    chosen = *request;
  } else {
    if (lossless_dialog(editor, chosen) != 0) return 2;
    editor.lossless_choice = chosen.choice;
  }
  const int code = lossless_code(chosen.choice);
  if (code == 0) return 1;
  const std::u16string path = editor.doc.view().path;
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
  show_transformed(editor);
  return 0;
}

}  // namespace tesmo
