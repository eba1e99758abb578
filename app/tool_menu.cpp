// The development tools menu's dispatch table and the LST generator command.
#include "app/tool_menu.h"

#include <algorithm>
#include <iterator>

#include "app/application.h"
#include "app/command_ids.h"
#include "app/dialog_skin.h"
#include "app/modal.h"
#include "app/dummy_file_dialog.h"
#include "app/falling_objects_dialog.h"
#include "app/file_pack_dialog.h"
#include "app/main_window.h"
#include "app/path_generator_dialog.h"
#include "tools/lst_generator.h"

namespace tesmo {
namespace {

struct ToolRow {
  uint16_t id;
  void (*run)(Application& app);
};

constexpr ToolRow kTools[] = {
    {cmd::DummyFileGenerator, [](Application& app) { open_dummy_file_generator(app); }},
    {cmd::FallingObjectController, [](Application& app) { open_falling_objects_dialog(app); }},
    {cmd::FilePackModule, [](Application& app) { open_file_pack_dialog(app); }},
    {cmd::PathGenerator, [](Application& app) { open_path_generator(app); }},
    {cmd::LstGenerator, [](Application& app) { lst_generator_command(app); }},
};

}  // namespace

void install_tool_menu(Application& app) {
  app.tool_command = [&app](uint16_t id) { tool_menu_command(app, id); };
}

void tool_menu_command(Application& app, uint16_t id) {
  const auto* row = std::find_if(std::begin(kTools), std::end(kTools), [id](const ToolRow& r) { return r.id == id; });
  if (row != std::end(kTools)) row->run(app);
}

int lst_generator_command(Application& app) {
  if (!app.platform) return 2;
  const auto folder = modal(app, [&] { return app.platform->choose_folder({kLstFolderTitle, {}}); });
  if (!folder || folder->empty()) return 2;
  if (generate_lst(*folder) != LstResult::Written) {
    show_message(app, kLstFailed, kWindowTitle, platform::MessageIcon::Warning);
    return 1;
  }
  show_message(app, kLstDone, kWindowTitle, platform::MessageIcon::Information);
  return 0;
}

}  // namespace tesmo
