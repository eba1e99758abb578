// External programs, the manual and the home page.
#include "app/external_programs.h"

#include <array>

#include "app/application.h"
#include "app/modal.h"
#include "app/preferences_dialog.h"
#include "base/path.h"

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

int start_program(Application& app, const std::u16string& program, const std::u16string& argument) {
  if (!app.platform || program.empty()) return 1;
  std::vector<std::u16string> arguments;
  if (!argument.empty()) arguments.push_back(argument);
  return app.platform->start_process(program, arguments, directory_part(program)) ? 0 : 1;
}

int run_external_program(Application& app, int which) {
  if (which < 1 || which > static_cast<int>(kPrograms.size()) || !app.platform) return 1;
  const ExternalProgram& p = kPrograms[static_cast<size_t>(which - 1)];
  app.settings_store().load();
  const std::u16string program = app.settings().*p.path;
  if (program.empty()) {
    show_message(app, p.missing, platform::MessageIcon::Warning);
    preferences_dialog(app);
    return 1;
  }
  start_program(app, program, app.view().path);
  app.platform->sleep_ms(kSettleMs);
  return 0;
}

int open_manual(Application& app) {
  if (!app.platform) return 1;
  const bool opened = app.platform->open_document(app.settings_store().program_folder() + kManualName);
  app.platform->sleep_ms(kSettleMs);
  return opened ? 0 : 1;
}

int open_home_page(Application& app) {
  if (!app.platform) return 1;
  const bool opened = app.platform->open_document(kHomePageAddress);
  app.platform->sleep_ms(kSettleMs);
  return opened ? 0 : 1;
}

}  // namespace tesmo
