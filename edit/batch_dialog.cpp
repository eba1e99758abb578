// The batch dialog (126) and the batch command: the step list is built from the operation list
// (each operation asks its request with its own dialog), opened from and saved to ".batch" files,
// and run over the folder's pictures on OK.
#include <array>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "edit/batch.h"
#include "edit/edit_dialog.h"
#include "edit/editor.h"
#include "resources/dialog_templates.h"
#include "shell/dialog_skin.h"
#include "shell/modal.h"

namespace tesmo {
namespace {

namespace res = resources;

constexpr std::array<uint16_t, 1> kDotsIds = {res::kBatchBrowse};
constexpr int32_t kLeftPicture = 3, kRightPicture = 4;  // "←" and "→" within the batch group

std::vector<std::pair<std::u16string, std::u16string>> batch_filter() {
  return {{u"バッチ設定ファイル (*.batch)", u"*.batch"}, {u"すべてのファイル (*.*)", u"*.*"}};
}

// A step's line in the step list: its place and its operation's name.
std::u16string step_line(size_t place, int32_t operation) {
  std::u16string line;
  for (const char c : std::to_string(place + 1)) line += static_cast<char16_t>(c);
  return line + u". " + batch_operation_name(operation);
}

class BatchDialog final : public EditDialog {
 public:
  explicit BatchDialog(Editor& editor) : EditDialog(editor, res::kSkinBatch, kSkinBatchBase, kDotsIds) {}

  BatchOutcome outcome() const { return outcome_; }

  void init(platform::Dialog& d) override {
    SkinnedDialog::init(d);
    d.set_text(res::kBatchFolderField, editor_.shell.settings().batch_folder);
    d.set_text(res::kBatchExtensionField, editor_.shell.settings().batch_pattern);
    d.set_checked(res::kBatchSubfolders, false);
    d.clear_items(res::kBatchSteps);
    d.clear_items(res::kBatchOperations);
    for (int32_t place = 0; place < kBatchOperationCount; ++place) {
      d.add_item(res::kBatchOperations, batch_operation_name(batch_operation_at(place)));
    }
    show_steps(d);
  }

  bool draw_item(platform::Dialog& d, const platform::DrawItem& item) override {
    if (item.id != res::kBatchAdd && item.id != res::kBatchRemove) return SkinnedDialog::draw_item(d, item);
    const int32_t picture = item.id == res::kBatchAdd ? kLeftPicture : kRightPicture;
    return draw_skin_button(editor_.doc.surfaces(), item, skin_work_key(kSkinBatchBase) + 1, kSkinBatchBase + picture);
  }

  void command(platform::Dialog& d, uint16_t id, int notification) override {
    if (notification != platform::kClicked) return;
    switch (id) {
      case res::kBatchBrowse: browse(d); break;
      case res::kBatchAdd: add_steps(d); break;
      case res::kBatchRemove: remove_steps(d); break;
      case res::kBatchOpen: open_list(d); break;
      case res::kBatchSave: save_list(); break;
      case kSkinOkId: run(d); break;
      case kSkinCancelId: d.end(platform::kDialogCancel); break;
      default: break;
    }
  }

  // A dropped folder becomes the location; a dropped file is read as a step list.
  void drop(platform::Dialog& d, const std::vector<std::u16string>& paths) override {
    if (paths.empty()) return;
    if (is_directory(paths.front())) d.set_text(res::kBatchFolderField, paths.front());
    else load_list(d, paths.front());
  }

 private:
  // The step list box from steps_, and the buttons that need a step.
  void show_steps(platform::Dialog& d) {
    d.clear_items(res::kBatchSteps);
    for (size_t k = 0; k < steps_.size(); ++k) d.add_item(res::kBatchSteps, step_line(k, steps_[k].operation));
    const bool any = !steps_.empty();
    for (const uint16_t button : {res::kBatchSave, res::kBatchRemove, kSkinOkId}) d.set_enabled(button, any);
  }

  void browse(platform::Dialog& d) {
    if (!editor_.shell.platform) return;
    const platform::FolderRequest request{u"対象の画像のあるフォルダーを選択してください。",
                                          d.text(res::kBatchFolderField)};
    const auto chosen = modal(editor_.shell, [&] { return editor_.shell.platform->choose_folder(request); });
    if (chosen) d.set_text(res::kBatchFolderField, *chosen);
  }

  void add_steps(platform::Dialog& d) {
    for (const int place : d.selected_items(res::kBatchOperations)) {
      if (auto step = ask_batch_step(editor_, batch_operation_at(place))) steps_.push_back(*step);
    }
    show_steps(d);
  }

  void remove_steps(platform::Dialog& d) {
    const std::vector<int> selected = d.selected_items(res::kBatchSteps);
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
      if (*it >= 0 && static_cast<size_t>(*it) < steps_.size()) steps_.erase(steps_.begin() + *it);
    }
    show_steps(d);
    if (!steps_.empty()) d.set_selection(res::kBatchSteps, static_cast<int>(steps_.size()) - 1);
  }

  void open_list(platform::Dialog& d) {
    if (!editor_.shell.platform) return;
    const platform::OpenFileRequest request{u"バッチ設定を開く", batch_filter(), batch_folder(editor_)};
    const auto chosen = modal(editor_.shell, [&] { return editor_.shell.platform->choose_open_file(request); });
    if (chosen) load_list(d, *chosen);
  }

  // Unreadable and foreign files are ignored.
  void load_list(platform::Dialog& d, const std::u16string& path) {
    const auto bytes = read_file(path);
    if (!bytes) return;
    auto steps = read_batch_file(*bytes);
    if (!steps) return;
    steps_ = std::move(*steps);
    show_steps(d);
  }

  // The old file is replaced only once the new one is written; failures are not reported.
  void save_list() {
    if (steps_.empty() || !editor_.shell.platform) return;
    platform::SaveFileRequest request;
    request.title = u"バッチ設定を保存する";
    request.filter = batch_filter();
    request.default_extension = u"batch";
    request.initial_folder = batch_folder(editor_);
    const auto chosen = modal(editor_.shell, [&] { return editor_.shell.platform->choose_save_file(request); });
    if (!chosen) return;
    clear_read_only(chosen->path);
    file_replace(chosen->path, batch_file_bytes(steps_));
  }

  void run(platform::Dialog& d) {
    if (steps_.empty()) return;
    SystemSettings& s = editor_.shell.settings();
    s.batch_folder = d.text(res::kBatchFolderField);
    s.batch_pattern = d.text(res::kBatchExtensionField);
    outcome_ = run_batch(editor_, steps_, s.batch_folder, s.batch_pattern, d.checked(res::kBatchSubfolders));
    editor_.shell.settings_store().save();
    d.end(outcome_ == BatchOutcome::Aborted ? platform::kDialogCancel : platform::kDialogOk);
  }

  std::vector<BatchStep> steps_;
  BatchOutcome outcome_ = BatchOutcome::Aborted;
};

}  // namespace

int batch_command(Editor& editor) {
  editor.viewer.close_image(true);
  BatchDialog handler(editor);
  if (run_modal_dialog(editor.shell, res::batch_dialog(), handler) != platform::kDialogOk) return 2;
  if (handler.outcome() == BatchOutcome::NothingFound) {
    show_message(editor.shell, kBatchNotFound, platform::MessageIcon::Warning);
  } else {
    show_message(editor.shell, kBatchDone, platform::MessageIcon::Information);
  }
  return 0;
}

}  // namespace tesmo
