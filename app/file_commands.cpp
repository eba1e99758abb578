// The file commands of the shown file and the Mac-file cleaning.
#include "app/file_commands.h"

#include <algorithm>

#include "app/application.h"
#include "app/command_ids.h"
#include "app/dialog_skin.h"
#include "app/modal.h"
#include "app/presentation.h"
#include "app/save.h"
#include "base/file_io.h"
#include "base/path.h"
#include "resources/dialog_templates.h"
#include "viewer/file_moves.h"

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
bool file_shown(const Application& app) {
  const ViewState& v = app.view();
  return (v.flags & kImageShown) && !v.path.empty() && v.display_name.empty();
}

// Unsaved changes go to the file before it is renamed, copied or moved: 0 go on (saved, or nothing
// to save), 2 the user said No, 1 the save failed.
int save_changes_first(Application& app) {
  if (!(app.view().flags & kModified)) return 0;
  if (show_message(app, kSaveChangesQuestion, MessageIcon::Question, MessageButtons::YesNo) != MessageAnswer::Yes) {
    return 2;
  }
  return save_command(app, nullptr, true) == 0 ? 0 : 1;
}

// A chosen folder as the start of a path: with its trailing separator.
std::u16string with_separator(std::u16string folder) {
  if (folder.empty() || folder.back() != kPathSeparator) folder += kPathSeparator;
  return folder;
}

// The folder browser with the modal flag set; starts at `initial` when that folder exists.
std::optional<std::u16string> choose_folder(Application& app, const char16_t* title, const std::u16string& initial,
                                            const std::u16string& fallback) {
  if (!app.platform) return std::nullopt;
  const platform::FolderRequest request{title, is_directory(initial) ? initial : fallback};
  auto chosen = modal(app, [&] { return app.platform->choose_folder(request); });
  if (!chosen || chosen->empty()) return std::nullopt;
  return chosen;
}

void forget_folder_list(Application& app) {
  app.folder_list.clear();
  app.markers.clear();
  app.has_folder_list = false;
}

// After a delete: shows the entry at the cursor, or the next one that opens (wrapping with Loop,
// never past the starting entry); nothing opening leaves the empty window.
void show_from_cursor(Application& app, int32_t cursor) {
  const int32_t length = static_cast<int32_t>(app.folder_list.size());
  const bool loop = app.window && app.window->menu().is_checked(cmd::Loop);
  const int32_t start = cursor;
  for (;;) {
    app.cursor_index = cursor;
    app.open_file(app.folder_list[static_cast<size_t>(cursor)].path, -1, -1);
    if (app.view().flags & kImageShown) {
      app.shown_index = cursor;
      app.view().flags &= ~kFileInfoCurrent;
      return;
    }
    if (++cursor >= length) {
      if (!loop) break;
      cursor = 0;
    }
    if (cursor == start) break;
  }
  app.close_image(true);
}

class RenameDialog final : public SkinnedDialog {
 public:
  RenameDialog(Application& app, std::u16string current)
      : SkinnedDialog(app, resources::kSkinRename, kSkinModalBase), name(std::move(current)) {}

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

int copy_or_move(Application& app, bool move) {
  if (!file_shown(app)) return 1;
  if (int saved = save_changes_first(app); saved != 0) return saved;
  SystemSettings& s = app.settings();
  std::u16string& remembered = move ? s.move_folder : s.copy_folder;
  const std::u16string source = app.view().path;
  auto chosen = choose_folder(app, move ? kMoveFolderTitle : kCopyFolderTitle, remembered, directory_part(source));
  if (!chosen) return 2;
  const std::u16string target = with_separator(*chosen) + name_part(source);
  int result = 0;
  // The shown file's own folder: the file is already there, and a move must not delete it.
  if (!same_file(source, target)) {
    if (file_exists(target) &&
        show_message(app, move ? kMoveOverwrite : kCopyOverwrite, MessageIcon::Question, MessageButtons::YesNo) !=
            MessageAnswer::Yes) {
      return 2;
    }
    result = copy_file_replacing(source, target);
    if (move) {
      if (result == 0) delete_file(source);
      app.step_next();
    }
  }
  remembered = *chosen;
  app.settings_store().save();
  return result;
}

}  // namespace

int delete_shown_file(Application& app, bool permanent) {
  if (!file_shown(app)) return 1;
  app.build_folder_list();
  const std::u16string path = app.view().path;
  if (permanent) {
    delete_file(path);
  } else if (app.platform) {
    modal(app, [&] { return app.platform->move_to_trash(path); });
  }
  if (file_exists(path)) {
    show_message(app, kDeleteFailed, MessageIcon::Warning);
    return 1;
  }
  const size_t at = static_cast<size_t>(std::max(app.shown_index, 0));
  if (app.folder_list.size() <= 1 || at >= app.folder_list.size()) {
    app.close_image(true);
    forget_folder_list(app);
    return 0;
  }
  app.folder_list.erase(app.folder_list.begin() + static_cast<ptrdiff_t>(at));
  if (at < app.markers.size()) app.markers.erase(app.markers.begin() + static_cast<ptrdiff_t>(at));
  const int32_t cursor = std::min(static_cast<int32_t>(at), static_cast<int32_t>(app.folder_list.size()) - 1);
  app.shown_index = cursor;
  show_from_cursor(app, cursor);
  return 0;
}

int rename_shown_file(Application& app) {
  if (!file_shown(app)) return 1;
  if (int saved = save_changes_first(app); saved != 0) return saved;
  ViewState& v = app.view();
  const std::u16string old_path = v.path;
  RenameDialog handler(app, name_part(old_path));
  if (run_modal_dialog(app, resources::rename_dialog(), handler) != platform::kDialogOk) return 2;
  if (handler.name.empty()) return 1;
  const std::u16string new_path = directory_part(old_path) + handler.name;
  if (new_path == old_path) return 0;
  if (file_exists(new_path)) {
    show_message(app, kRenameTargetExists, MessageIcon::Warning);
    return 1;
  }
  // A copy that fails leaves everything as it was: the old file is deleted only after a whole copy.
  if (move_file(old_path, new_path) != 0) return 1;
  v.path = new_path;
  if (app.current_path == old_path) app.current_path = new_path;
  const int32_t entry = find_folder_entry(app.folder_list, old_path);
  if (app.has_folder_list && entry >= 0) app.folder_list[static_cast<size_t>(entry)] = make_folder_entry(new_path);
  update_title(app, (v.flags & kModified) ? 1 : 0);
  if (app.window && app.window->menu().is_checked(cmd::OsdFileInfo)) v.flags &= ~kFileInfoCurrent;
  return 0;
}

int copy_to_folder(Application& app) { return copy_or_move(app, false); }
int move_to_folder(Application& app) { return copy_or_move(app, true); }

int show_properties(Application& app) {
  if (!file_shown(app) || !app.platform) return 1;
  return app.platform->show_file_properties(app.view().path) ? 0 : 1;
}

int delete_mac_files(Application& app) {
  SystemSettings& s = app.settings();
  auto chosen = choose_folder(app, kMacFolderTitle, s.mac_file_folder, {});
  if (!chosen) return 2;
  delete_mac_files_in(with_separator(*chosen));
  s.mac_file_folder = *chosen;
  app.settings_store().save();
  show_message(app, kMacFilesDeleted, MessageIcon::Information);
  return 0;
}

}  // namespace tesmo
