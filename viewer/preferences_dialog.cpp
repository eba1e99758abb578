// The Preferences dialog.
#include "viewer/preferences_dialog.h"

#include <algorithm>
#include <array>
#include <string>

#include "base/path.h"
#include "resources/dialog_templates.h"
#include "shell/dialog_fields.h"
#include "shell/dialog_skin.h"
#include "shell/modal.h"
#include "viewer/viewer.h"
#include "viewer/viewer_dialogs.h"

namespace tesmo {
namespace {

namespace res = resources;
using S = SystemSettings;

constexpr char16_t kPluginFolderTitle[] = u"プラグインの場所を選択してください。";
constexpr char16_t kProgramFilter[] = u"実行ファイル (*.exe)";
// Programs here carry no extension: the filter's pattern shows every file.
constexpr char16_t kProgramPattern[] = u"*";

struct TextField {
  uint16_t id;
  std::u16string S::*field;
};
constexpr std::array<TextField, 8> kTextFields = {{
    {res::kPrefPluginFolder, &S::plugin_folder},     {res::kPrefCameraModel, &S::camera_model},
    {res::kPrefCameraPattern, &S::camera_pattern},   {res::kPrefImageEditor1, &S::image_editor_1},
    {res::kPrefImageEditor2, &S::image_editor_2},    {res::kPrefBinaryEditor, &S::binary_editor},
    {res::kPrefTextEditor, &S::text_editor},         {res::kPrefShaderCompiler, &S::shader_compiler},
}};

struct NumberField {
  uint16_t id;
  int32_t S::*field;
};
constexpr std::array<NumberField, 3> kNumberFields = {{
    {res::kPrefWheelInterval, &S::wheel_interval},
    {res::kPrefGridSpacing, &S::grid_spacing},
    {res::kPrefGridDivisions, &S::grid_divisions},
}};

// The "..." buttons that choose a program, the field they fill and the chooser's title.
struct ProgramChooser {
  uint16_t button;
  uint16_t field;
  const char16_t* title;
};
constexpr std::array<ProgramChooser, 5> kProgramChoosers = {{
    {res::kPrefImageEditor1Browse, res::kPrefImageEditor1, u"画像編集ツールを選択してください。"},
    {res::kPrefImageEditor2Browse, res::kPrefImageEditor2, u"画像編集ツールを選択してください。"},
    {res::kPrefBinaryEditorBrowse, res::kPrefBinaryEditor, u"バイナリー エディターを選択してください。"},
    {res::kPrefTextEditorBrowse, res::kPrefTextEditor, u"テキスト エディターを選択してください。"},
    {res::kPrefShaderCompilerBrowse, res::kPrefShaderCompiler, u"シェーダー コンパイラーを選択してください。"},
}};

constexpr size_t kFieldChars = kMaxPath - 1;  // a 260-unit field keeps its terminating zero

class PreferencesDialog final : public SkinnedDialog {
 public:
  PreferencesDialog(Viewer& viewer, SystemSettings settings)
      : SkinnedDialog(viewer.shell, viewer.doc.surfaces(), res::kSkinPreferences, kSkinModalBase,
                      res::kPrefBrowseButtons),
        settings(std::move(settings)) {}

  void init(platform::Dialog& d) override {
    SkinnedDialog::init(d);
    for (const TextField& f : kTextFields) d.set_text(f.id, settings.*f.field);
    for (const NumberField& f : kNumberFields) d.set_text(f.id, decimal(settings.*f.field));
    d.set_focus(res::kPrefPluginFolder);
  }

  void command(platform::Dialog& d, uint16_t id, int notification) override {
    if (notification == platform::kClicked && id == res::kPrefPluginBrowse) return choose_plugin_folder(d);
    const auto* program = std::find_if(kProgramChoosers.begin(), kProgramChoosers.end(),
                                       [id](const ProgramChooser& c) { return c.button == id; });
    if (notification == platform::kClicked && program != kProgramChoosers.end()) return choose_program(d, *program);
    if (id == kSkinOkId && notification == platform::kClicked) {
      read_back(d);
      d.end(platform::kDialogOk);
      return;
    }
    SkinnedDialog::command(d, id, notification);  // the camera's "..." does nothing
  }

  SystemSettings settings;

 private:
  void choose_plugin_folder(platform::Dialog& d) {
    const platform::FolderRequest request{kPluginFolderTitle, d.text(res::kPrefPluginFolder)};
    auto chosen = modal(shell_, [&] { return shell_.platform->choose_folder(request); });
    if (chosen) d.set_text(res::kPrefPluginFolder, *chosen);
  }

  void choose_program(platform::Dialog& d, const ProgramChooser& c) {
    platform::OpenFileRequest request;
    request.title = c.title;
    request.filter = {{kProgramFilter, kProgramPattern}};
    request.initial_folder = directory_part(d.text(c.field));
    auto chosen = modal(shell_, [&] { return shell_.platform->choose_open_file(request); });
    if (chosen) d.set_text(c.field, *chosen);
  }

  void read_back(const platform::Dialog& d) {
    for (const TextField& f : kTextFields) settings.*f.field = d.text(f.id).substr(0, kFieldChars);
    for (const NumberField& f : kNumberFields) settings.*f.field = parse_size_field(d.text(f.id));
  }
};

}  // namespace

int preferences_dialog(Viewer& viewer) {
  PreferencesDialog handler(viewer, viewer.shell.settings());
  if (run_modal_dialog(viewer.shell, res::preferences_dialog(), handler) != platform::kDialogOk) return 2;
  if (handler.settings == viewer.shell.settings()) return 0;
  viewer.shell.settings() = handler.settings;
  viewer.shell.settings_store().save();
  return 0;
}

}  // namespace tesmo
