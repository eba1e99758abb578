// External programs, the manual and the home page.
#include "viewer/external_programs.h"

#include <array>
#include <cstdlib>
#include <string_view>

#include "base/file_io.h"
#include "base/path.h"
#include "shell/modal.h"
#include "viewer/preferences_dialog.h"
#include "viewer/viewer.h"

namespace tesmo {
namespace {

constexpr uint32_t kSettleMs = 100;  // let the started program take the foreground first

struct ExternalProgram {
  std::u16string SystemSettings::*path;
  const char16_t* missing;
};
constexpr std::array<ExternalProgram, 3> kPrograms = {{
    {&SystemSettings::image_editor_1, kNoImageEditor},
    {&SystemSettings::image_editor_2, kNoImageEditor},
    {&SystemSettings::binary_editor, kNoBinaryEditor},
}};

}  // namespace

int start_program(Viewer& viewer, const std::u16string& program, const std::u16string& argument) {
  if (!viewer.shell.platform || program.empty()) return 1;
  std::vector<std::u16string> arguments;
  if (!argument.empty()) arguments.push_back(argument);
  return viewer.shell.platform->start_process(program, arguments, directory_part(program)) ? 0 : 1;
}

int run_external_program(Viewer& viewer, int which) {
  if (which < 1 || which > static_cast<int>(kPrograms.size()) || !viewer.shell.platform) return 1;
  const ExternalProgram& p = kPrograms[static_cast<size_t>(which - 1)];
  viewer.shell.settings_store().load();
  const std::u16string program = viewer.shell.settings().*p.path;
  if (program.empty()) {
    show_message(viewer.shell, p.missing, platform::MessageIcon::Warning);
    preferences_dialog(viewer);
    return 1;
  }
  start_program(viewer, program, viewer.doc.view().path);
  viewer.shell.platform->sleep_ms(kSettleMs);
  return 0;
}

std::u16string manual_language(const char* lang) {
  return lang && std::string_view(lang).starts_with("en") ? u"en" : u"ja";
}

std::u16string manual_index_path(const std::u16string& program_folder, const char* lang) {
  const std::u16string path =
      shared_data_folder(program_folder) + kManualFolder + manual_language(lang) + kManualPage;
  return from_fs_path(to_fs_path(path).lexically_normal());
}

int open_manual(Viewer& viewer) {
  if (!viewer.shell.platform) return 1;
  const std::u16string page = manual_index_path(viewer.shell.settings_store().program_folder(), std::getenv("LANG"));
  if (!file_exists(page)) {
    show_warning(viewer.shell, kManualMissing + page);
    return 1;
  }
  const bool opened = viewer.shell.platform->open_document(page);
  if (!opened) show_warning(viewer.shell, kManualNotOpened + page);
  viewer.shell.platform->sleep_ms(kSettleMs);
  return opened ? 0 : 1;
}

int open_home_page(Viewer& viewer) {
  if (!viewer.shell.platform) return 1;
  const bool opened = viewer.shell.platform->open_document(kHomePageAddress);
  viewer.shell.platform->sleep_ms(kSettleMs);
  return opened ? 0 : 1;
}

}  // namespace tesmo
