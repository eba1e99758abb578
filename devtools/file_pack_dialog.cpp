// The file pack module's dialog: projects, browsers, editors, drops and the start of a run.
#include "devtools/file_pack_dialog.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <memory>

#include "base/file_io.h"
#include "base/path.h"
#include "base/text.h"
#include "devtools/devtools.h"
#include "devtools/pack_progress_dialog.h"
#include "resources/command_ids.h"
#include "resources/dialog_templates.h"
#include "shell/dialog_fields.h"
#include "shell/modal.h"
#include "tools/pack/pack_folder_lines.h"
#include "tools/pack/pack_list.h"
#include "viewer/viewer_dialogs.h"

namespace tesmo {
namespace {

namespace res = resources;
using platform::MessageButtons;
using platform::MessageIcon;

constexpr char16_t kCaption[] = u"Vardo32";
constexpr char16_t kBrowseFileTitle[] = u"select file.";
constexpr char16_t kBrowseFolderTitle[] = u"select path.";
constexpr char16_t kAllFiles[] = u"All Files (*.*)";
constexpr std::array<const char16_t*, 3> kTypeTexts = {u"No Independent", u"Independent", u"Independent & Time table"};

struct OutputCheck {
  uint16_t id;
  int32_t bit;
};
constexpr OutputCheck kOutputChecks[] = {
    {res::kPackOutputChecks[0], PackOffsetFile}, {res::kPackOutputChecks[1], PackSizeFile},
    {res::kPackOutputChecks[2], PackIdFile},     {res::kPackOutputChecks[3], PackDefineFile},
    {res::kPackOutputChecks[4], PackCompileDefine},
};

// The fields a run needs, in the order they are checked, with the warning for an empty one.
struct RequiredField {
  uint16_t id;
  const char16_t* warning;
};
constexpr RequiredField kRequiredFields[] = {
    {res::kPackListField, u"Please set 'file - in' field."},
    {res::kPackArchiveField, u"Please set 'file - out' field."},
    {res::kPackPrefixField, u"Please set 'export - prefix' field."},
    {res::kPackExportField, u"Please set 'export - path' field."},
};


int clamp_number(int32_t n) { return std::clamp(n, 0, kPackProjectCount - 1); }

void tell(DevTools& tools, const char16_t* text, MessageIcon icon) {
  show_message(tools.shell, text, kCaption, icon);
}

class FilePackDialog final : public platform::DialogHandler, public ModelessDialog {
 public:
  explicit FilePackDialog(DevTools& tools) : tools_(tools) {}
  ~FilePackDialog() override { window_.reset(); }

  void set_window(std::unique_ptr<platform::DialogWindow> w) { window_ = std::move(w); }
  bool is_open() const { return window_ && window_->is_open() && !closed_; }

  void init(platform::Dialog& d) override {
    projects_ = pack_project_load(project_path());
    shown_ = projects_.current;
    d.set_range(res::kPackNumberUpDown, 0, kPackProjectCount - 1);
    d.set_position(res::kPackNumberUpDown, shown_);
    pack_project_show(d, projects_, shown_);
    tools_.shell.dialogs[kSlotFilePack] = this;
    if (tools_.shell.window) tools_.shell.window->menu().set_enabled(cmd::FilePackModule, false);
  }

  void command(platform::Dialog& d, uint16_t id, int notification) override {
    if (closed_) return;
    if (id == res::kPackNumberField && notification == platform::kEditChanged) return hold_number(d);
    if (id == res::kPackNumberUpDown && notification == platform::kUpDownMoved) return step_number(d);
    if (id == res::kPackPrefixField && notification == platform::kEditChanged) return hold_prefix(d);
    if (notification != platform::kClicked) return;
    using Action = void (FilePackDialog::*)(platform::Dialog&);
    struct Button {
      uint16_t id;
      Action action;
    };
    static constexpr Button kButtons[] = {
        {res::kPackSaveButton, &FilePackDialog::save},
        {res::kPackListBrowse, &FilePackDialog::browse_list},
        {res::kPackArchiveBrowse, &FilePackDialog::browse_archive},
        {res::kPackExportBrowse, &FilePackDialog::browse_export},
        {res::kPackOpenList, &FilePackDialog::open_list},
        {res::kPackOpenArchive, &FilePackDialog::open_archive},
        {res::kPackButton, &FilePackDialog::pack},
        {res::kPackCloseId, &FilePackDialog::close},
    };
    const auto* b = std::find_if(std::begin(kButtons), std::end(kButtons), [id](const Button& row) { return row.id == id; });
    if (b != std::end(kButtons)) (this->*(b->action))(d);
  }

  // Only a single item counts: a list file selects the first project that packs it, a folder
  // becomes list lines on the clipboard (with its subfolders while Shift is held).
  void drop(platform::Dialog& d, const std::vector<std::u16string>& paths) override {
    if (closed_ || paths.size() != 1) return;
    const std::u16string& path = paths.front();
    if (is_directory(path)) return copy_folder_lines(path);
    if (extension_of(path) == u".lst") select_project_of_list(d, path);
  }

  // Also when the window goes with the application: the slot must not point at a closed dialog.
  void destroy(platform::Dialog&) override {
    if (tools_.shell.dialogs[kSlotFilePack] == this) tools_.shell.dialogs[kSlotFilePack] = nullptr;
  }

  // ModelessDialog: the dialog's events come to it through the window system's own dispatch.
  bool take_event(const platform::Event&) override { return false; }
  void move_to(platform::Point top_left) override {
    if (is_open()) window_->dialog().move(top_left);
  }

 private:
  std::u16string project_path() const { return pack_project_path(tools_.shell.settings_store().program_folder()); }

  int number_in_field(const platform::Dialog& d) const {
    return clamp_number(parse_size_field(d.text(res::kPackNumberField)));
  }

  void hold_number(platform::Dialog& d) {
    const int32_t typed = parse_size_field(d.text(res::kPackNumberField));
    if (typed != clamp_number(typed)) d.set_text(res::kPackNumberField, decimal(clamp_number(typed)));
  }

  // Edits not saved are dropped: the new number's stored project is shown.
  void step_number(platform::Dialog& d) {
    shown_ = clamp_number(d.position(res::kPackNumberUpDown));
    pack_project_show(d, projects_, shown_);
  }

  void hold_prefix(platform::Dialog& d) {
    const std::string typed = utf16_to_cp932(d.text(res::kPackPrefixField));
    const std::string held = pack_prefix_fit(typed);
    if (held.size() != typed.size()) d.set_text(res::kPackPrefixField, cp932_to_utf16(held));
  }

  void save(platform::Dialog& d) {
    pack_project_store(d, projects_, shown_);
    pack_project_save(project_path(), projects_);
    tell(tools_, u"プロジェクト設定をセーブしました。", MessageIcon::Information);
  }

  void browse_list(platform::Dialog& d) {
    platform::OpenFileRequest r{kBrowseFileTitle, {{u"List File (*.lst)", u"*.lst"}, {kAllFiles, u"*.*"}}, {}};
    auto path = modal(tools_.shell, [&] { return tools_.shell.platform->choose_open_file(r); });
    if (path) d.set_text(res::kPackListField, *path);
  }

  void browse_archive(platform::Dialog& d) {
    platform::SaveFileRequest r{kBrowseFileTitle, {{u"Data File (*.dat)", u"*.dat"}, {kAllFiles, u"*.*"}}, 1, u"dat", {}, {}};
    auto choice = modal(tools_.shell, [&] { return tools_.shell.platform->choose_save_file(r); });
    if (choice) d.set_text(res::kPackArchiveField, choice->path);
  }

  void browse_export(platform::Dialog& d) {
    platform::FolderRequest r{kBrowseFolderTitle, d.text(res::kPackExportField)};
    auto folder = modal(tools_.shell, [&] { return tools_.shell.platform->choose_folder(r); });
    if (!folder) return;
    if (folder->empty() || folder->back() != kPathSeparator) folder->push_back(kPathSeparator);
    d.set_text(res::kPackExportField, *folder);
  }

  // The editor gets the file as its one argument and its own folder as the working folder.
  void open_in_editor(const std::u16string& editor, const std::u16string& file) {
    if (editor.empty()) return;
    std::vector<std::u16string> arguments;
    if (!file.empty()) arguments.push_back(file);
    tools_.shell.platform->start_process(editor, arguments, directory_part(editor));
  }
  void open_list(platform::Dialog& d) {
    open_in_editor(tools_.shell.settings().text_editor, d.text(res::kPackListField));
  }
  void open_archive(platform::Dialog& d) {
    open_in_editor(tools_.shell.settings().binary_editor, d.text(res::kPackArchiveField));
  }

  // The fields are read here, on the UI thread; the worker gets a copy.
  void pack(platform::Dialog& d) {
    for (const RequiredField& f : kRequiredFields) {
      if (d.text(f.id).empty()) return tell(tools_, f.warning, MessageIcon::Warning);
    }
    PackRunRequest request{d.text(res::kPackListField), d.text(res::kPackArchiveField), d.text(res::kPackExportField),
                           static_cast<uint32_t>(pack_options_of_dialog(d)),
                           pack_prefix_fit(utf16_to_cp932(d.text(res::kPackPrefixField)))};
    pack_with_progress(tools_, d, std::move(request));
  }

  void copy_folder_lines(const std::u16string& folder) {
    const std::string text = pack_folder_lines(folder, tools_.shell.platform->key_held(platform::key::Shift));
    if (!text.empty()) tools_.shell.platform->set_clipboard_text(text);
  }

  void select_project_of_list(platform::Dialog& d, const std::u16string& list) {
    const auto& p = projects_.projects;
    const auto it = std::find_if(p.begin(), p.end(), [&](const PackProject& project) { return project.list_path == list; });
    if (it == p.end()) return;
    shown_ = projects_.current = static_cast<int32_t>(it - p.begin());
    d.set_position(res::kPackNumberUpDown, shown_);
    pack_project_show(d, projects_, shown_);
  }

  // The number in the field becomes the current project; the projects themselves change only
  // through Save.
  void close(platform::Dialog& d) {
    closed_ = true;
    projects_.current = number_in_field(d);
    pack_project_save(project_path(), projects_);
    if (tools_.shell.window) tools_.shell.window->menu().set_enabled(cmd::FilePackModule, true);
    if (tools_.shell.dialogs[kSlotFilePack] == this) tools_.shell.dialogs[kSlotFilePack] = nullptr;
    d.end(platform::kDialogCancel);
  }

  DevTools& tools_;
  PackProjectFile projects_;
  int shown_ = 0;
  bool closed_ = false;
  std::unique_ptr<platform::DialogWindow> window_;
};

FilePackDialog* module_of(const DevTools& tools) { return static_cast<FilePackDialog*>(tools.file_pack_dialog.get()); }

}  // namespace

void pack_project_show(platform::Dialog& d, PackProjectFile& file, int number) {
  PackProject& p = file.projects[static_cast<size_t>(clamp_number(number))];
  if (p.export_dir.empty()) p.export_dir = directory_part(p.archive_path);
  d.set_text(res::kPackListField, p.list_path);
  d.set_text(res::kPackArchiveField, p.archive_path);
  d.set_text(res::kPackPrefixField, cp932_to_utf16(p.prefix));
  d.set_text(res::kPackExportField, p.export_dir);
  for (const OutputCheck& c : kOutputChecks) d.set_checked(c.id, (p.options & c.bit) != 0);
  d.clear_items(res::kPackTypeCombo);
  for (const char16_t* text : kTypeTexts) d.add_item(res::kPackTypeCombo, text);
  d.set_selection(res::kPackTypeCombo, pack_type_of_options(p.options));
}

void pack_project_store(const platform::Dialog& d, PackProjectFile& file, int number) {
  PackProject& p = file.projects[static_cast<size_t>(clamp_number(number))];
  p.list_path = d.text(res::kPackListField);
  p.archive_path = d.text(res::kPackArchiveField);
  p.prefix = pack_prefix_fit(utf16_to_cp932(d.text(res::kPackPrefixField)));
  p.export_dir = d.text(res::kPackExportField);
  p.options = pack_options_of_dialog(d);
}

int32_t pack_options_of_dialog(const platform::Dialog& d) {
  int32_t options = pack_options_of_type(d.selection(res::kPackTypeCombo));
  for (const OutputCheck& c : kOutputChecks) {
    if (d.checked(c.id)) options |= c.bit;
  }
  return options;
}

bool file_pack_dialog_open(const DevTools& tools) {
  const FilePackDialog* d = module_of(tools);
  return d && d->is_open();
}

int open_file_pack_dialog(DevTools& tools) {
  if (file_pack_dialog_open(tools) || !tools.shell.platform) return 1;
  tools.file_pack_dialog.reset();  // a closed module's window goes now, outside its own handlers
  auto handler = std::make_unique<FilePackDialog>(tools);
  auto window = tools.shell.platform->open_modeless_dialog(res::file_pack_dialog(), *handler);
  if (!window) {
    if (tools.shell.dialogs[kSlotFilePack] == handler.get()) tools.shell.dialogs[kSlotFilePack] = nullptr;
    if (tools.shell.window) tools.shell.window->menu().set_enabled(cmd::FilePackModule, true);
    return 1;
  }
  handler->set_window(std::move(window));
  tools.file_pack_dialog = std::move(handler);
  return 0;
}

}  // namespace tesmo
