// The file commands of the shown file and the Mac-file cleaning.
#include "viewer/file_commands.h"

#include <algorithm>

#include "base/file_io.h"
#include "base/path.h"
#include "document/modified_mark.h"
#include "document/save.h"
#include "resources/command_ids.h"
#include "resources/dialog_templates.h"
#include "shell/dialog_skin.h"
#include "shell/modal.h"
#include "viewer/file_moves.h"
#include "viewer/presentation.h"
#include "viewer/viewer.h"

namespace tesmo {
namespace {

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

constexpr char16_t kSaveChangesQuestion[] = u"変更をセーブしますか？";
constexpr char16_t kCopyFolderTitle[] = u"コピー先のフォルダーを選択してください。";
constexpr char16_t kMoveFolderTitle[] = u"移動先のフォルダーを選択してください。";
constexpr char16_t kMacFolderTitle[] = u"削除するファイルのあるフォルダーを選択してください。";

// A file is behind the view: a picture is shown and it is not a generated one.
bool file_shown(const Viewer& viewer) {
  const ViewState& v = viewer.doc.view();
  return (v.flags & kImageShown) && !v.path.empty() && v.display_name.empty();
}

// Unsaved changes go to the file before it is renamed, copied or moved: 0 go on (saved, or nothing
// to save), 2 the user said No, 1 the save failed.
int save_changes_first(Viewer& viewer) {
  if (!(viewer.doc.view().flags & kModified)) return 0;
  if (show_message(viewer.shell, kSaveChangesQuestion, MessageIcon::Question, MessageButtons::YesNo) !=
      MessageAnswer::Yes) {
    return 2;
  }
  return save_command(viewer.doc, nullptr, true) == 0 ? 0 : 1;
}

// A chosen folder as the start of a path: with its trailing separator.
std::u16string with_separator(std::u16string folder) {
  if (folder.empty() || folder.back() != kPathSeparator) folder += kPathSeparator;
  return folder;
}

// The folder browser with the modal flag set; starts at `initial` when that folder exists.
std::optional<std::u16string> choose_folder(Viewer& viewer, const char16_t* title, const std::u16string& initial,
                                            const std::u16string& fallback) {
  if (!viewer.shell.platform) return std::nullopt;
  const platform::FolderRequest request{title, is_directory(initial) ? initial : fallback};
  auto chosen = modal(viewer.shell, [&] { return viewer.shell.platform->choose_folder(request); });
  if (!chosen || chosen->empty()) return std::nullopt;
  return chosen;
}

void forget_folder_list(Viewer& viewer) {
  viewer.folder_list.clear();
  viewer.markers.clear();
  viewer.has_folder_list = false;
}

// After a delete: shows the entry at the cursor, or the next one that opens (wrapping with Loop,
// never past the starting entry); nothing opening leaves the empty window.
void show_from_cursor(Viewer& viewer, int32_t cursor) {
  const int32_t length = static_cast<int32_t>(viewer.folder_list.size());
  const bool loop = viewer.shell.window && viewer.shell.window->menu().is_checked(cmd::Loop);
  const int32_t start = cursor;
  for (;;) {
    viewer.cursor_index = cursor;
    viewer.open_file(viewer.folder_list[static_cast<size_t>(cursor)].path, -1, -1);
    if (viewer.doc.view().flags & kImageShown) {
      viewer.shown_index = cursor;
      viewer.doc.view().flags &= ~kFileInfoCurrent;
      return;
    }
    if (++cursor >= length) {
      if (!loop) break;
      cursor = 0;
    }
    if (cursor == start) break;
  }
  viewer.close_image(true);
}

class RenameDialog final : public SkinnedDialog {
 public:
  RenameDialog(Viewer& viewer, std::u16string current)
      : SkinnedDialog(viewer.shell, viewer.doc.surfaces(), resources::kSkinRename, kSkinModalBase),
        name(std::move(current)) {}

  // The name without its extension is selected, ready to be typed over.
  void init(platform::Dialog& d) override {
    SkinnedDialog::init(d);
    d.set_text(resources::kRenameField, name);
    d.set_focus(resources::kRenameField);
    const size_t dot = name.rfind(u'.');
    d.select_text(resources::kRenameField, 0, static_cast<int>(dot == std::u16string::npos ? name.size() : dot));
  }

  void command(platform::Dialog& d, uint16_t id, int notification) override {
    if (id == kSkinOkId && notification == platform::kClicked) {
      name = d.text(resources::kRenameField);
      d.end(platform::kDialogOk);
      return;
    }
    SkinnedDialog::command(d, id, notification);
  }

  std::u16string name;
};

int copy_or_move(Viewer& viewer, bool move) {
  if (!file_shown(viewer)) return 1;
  if (int saved = save_changes_first(viewer); saved != 0) return saved;
  SystemSettings& s = viewer.shell.settings();
  std::u16string& remembered = move ? s.move_folder : s.copy_folder;
  const std::u16string source = viewer.doc.view().path;
  auto chosen = choose_folder(viewer, move ? kMoveFolderTitle : kCopyFolderTitle, remembered, directory_part(source));
  if (!chosen) return 2;
  const std::u16string target = with_separator(*chosen) + name_part(source);
  int result = 0;
  // The shown file's own folder: the file is already there, and a move must not delete it.
  if (!same_file(source, target)) {
    if (file_exists(target) && show_message(viewer.shell, move ? kMoveOverwrite : kCopyOverwrite, MessageIcon::Question,
                                            MessageButtons::YesNo) != MessageAnswer::Yes) {
      return 2;
    }
    result = copy_file_replacing(source, target);
    if (move) {
      if (result == 0) delete_file(source);
      viewer.step_next();
    }
  }
  remembered = *chosen;
  viewer.shell.settings_store().save();
  return result;
}

}  // namespace

int delete_shown_file(Viewer& viewer, bool permanent) {
  if (!file_shown(viewer)) return 1;
  viewer.build_folder_list();
  const std::u16string path = viewer.doc.view().path;
  if (permanent) {
    delete_file(path);
  } else if (viewer.shell.platform) {
    // The window system gives no confirmation of its own: the file goes to the trash only on Yes.
    const std::u16string question = name_part(path) + kTrashQuestion;
    if (show_message(viewer.shell, question, MessageIcon::Question, MessageButtons::YesNo) != MessageAnswer::Yes) {
      return 2;
    }
    modal(viewer.shell, [&] { return viewer.shell.platform->move_to_trash(path); });
  }
  if (file_exists(path)) {
    show_message(viewer.shell, kDeleteFailed, MessageIcon::Warning);
    return 1;
  }
  const size_t at = static_cast<size_t>(std::max(viewer.shown_index, 0));
  if (viewer.folder_list.size() <= 1 || at >= viewer.folder_list.size()) {
    viewer.close_image(true);
    forget_folder_list(viewer);
    return 0;
  }
  viewer.folder_list.erase(viewer.folder_list.begin() + static_cast<ptrdiff_t>(at));
  if (at < viewer.markers.size()) viewer.markers.erase(viewer.markers.begin() + static_cast<ptrdiff_t>(at));
  const int32_t cursor = std::min(static_cast<int32_t>(at), static_cast<int32_t>(viewer.folder_list.size()) - 1);
  viewer.shown_index = cursor;
  show_from_cursor(viewer, cursor);
  return 0;
}

int rename_shown_file(Viewer& viewer) {
  if (!file_shown(viewer)) return 1;
  if (int saved = save_changes_first(viewer); saved != 0) return saved;
  ViewState& v = viewer.doc.view();
  const std::u16string old_path = v.path;
  RenameDialog handler(viewer, name_part(old_path));
  if (run_modal_dialog(viewer.shell, resources::rename_dialog(), handler) != platform::kDialogOk) return 2;
  if (handler.name.empty()) return 1;
  const std::u16string new_path = directory_part(old_path) + handler.name;
  if (new_path == old_path) return 0;
  if (file_exists(new_path)) {
    show_message(viewer.shell, kRenameTargetExists, MessageIcon::Warning);
    return 1;
  }
  // A copy that fails leaves everything as it was: the old file is deleted only after a whole copy.
  if (move_file(old_path, new_path) != 0) return 1;
  v.path = new_path;
  if (viewer.current_path == old_path) viewer.current_path = new_path;
  const int32_t entry = find_folder_entry(viewer.folder_list, old_path);
  if (viewer.has_folder_list && entry >= 0)
    viewer.folder_list[static_cast<size_t>(entry)] = make_folder_entry(new_path);
  update_title(viewer.doc, (v.flags & kModified) ? 1 : 0);
  if (viewer.shell.window && viewer.shell.window->menu().is_checked(cmd::OsdFileInfo)) v.flags &= ~kFileInfoCurrent;
  return 0;
}

int copy_to_folder(Viewer& viewer) { return copy_or_move(viewer, false); }
int move_to_folder(Viewer& viewer) { return copy_or_move(viewer, true); }

int show_properties(Viewer& viewer) {
  if (!file_shown(viewer) || !viewer.shell.platform) return 1;
  return viewer.shell.platform->show_file_properties(viewer.doc.view().path) ? 0 : 1;
}

int delete_mac_files(Viewer& viewer) {
  SystemSettings& s = viewer.shell.settings();
  auto chosen = choose_folder(viewer, kMacFolderTitle, s.mac_file_folder, {});
  if (!chosen) return 2;
  delete_mac_files_in(with_separator(*chosen));
  s.mac_file_folder = *chosen;
  viewer.shell.settings_store().save();
  show_message(viewer.shell, kMacFilesDeleted, MessageIcon::Information);
  return 0;
}

}  // namespace tesmo
