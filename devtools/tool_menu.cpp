// The development tools menu's dispatch table and the LST generator command.
#include "devtools/tool_menu.h"

#include <algorithm>
#include <iterator>

#include "devtools/devtools.h"
#include "devtools/dummy_file_dialog.h"
#include "devtools/falling_objects_dialog.h"
#include "devtools/file_pack_dialog.h"
#include "devtools/path_generator_dialog.h"
#include "resources/command_ids.h"
#include "shell/dialog_skin.h"
#include "shell/modal.h"
#include "shell/shell.h"
#include "tools/lst_generator.h"

namespace tesmo {
namespace {

struct ToolRow {
  uint16_t id;
  void (*run)(DevTools& tools);
};

constexpr ToolRow kTools[] = {
    {cmd::DummyFileGenerator, [](DevTools& tools) { open_dummy_file_generator(tools); }},
    {cmd::FallingObjectController, [](DevTools& tools) { open_falling_objects_dialog(tools); }},
    {cmd::FilePackModule, [](DevTools& tools) { open_file_pack_dialog(tools); }},
    {cmd::PathGenerator, [](DevTools& tools) { open_path_generator(tools); }},
    {cmd::LstGenerator, [](DevTools& tools) { lst_generator_command(tools); }},
};

}  // namespace

void tool_menu_command(DevTools& tools, uint16_t id) {
  const auto* row = std::find_if(std::begin(kTools), std::end(kTools), [id](const ToolRow& r) { return r.id == id; });
  if (row != std::end(kTools)) row->run(tools);
}

int lst_generator_command(DevTools& tools) {
  if (!tools.shell.platform) return 2;
  const auto folder = modal(tools.shell, [&] { return tools.shell.platform->choose_folder({kLstFolderTitle, {}}); });
  if (!folder || folder->empty()) return 2;
  if (generate_lst(*folder) != LstResult::Written) {
    show_message(tools.shell, kLstFailed, kWindowTitle, platform::MessageIcon::Warning);
    return 1;
  }
  show_message(tools.shell, kLstDone, kWindowTitle, platform::MessageIcon::Information);
  return 0;
}

}  // namespace tesmo
