// External programs, the manual and the home page.
#include "viewer/external_programs.h"

#include <array>

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

int open_manual(Viewer& viewer) {
  if (!viewer.shell.platform) return 1;
  const bool opened =
      viewer.shell.platform->open_document(viewer.shell.settings_store().program_folder() + kManualName);
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
