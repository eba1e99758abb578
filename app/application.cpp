// The application's wiring: the viewer's upward calls go to the command table, the editor and the
// development tools.
#include "app/application.h"

#include "app/commands.h"
#include "edit/edit.h"
#include "edit/geometry_edits.h"

namespace tesmo {

Application::Application(std::u16string program_folder)
    : shell(std::move(program_folder)) {
  viewer.owner = this;
}

Application::~Application() {
  viewer.owner = nullptr;
  doc.job.job.reset();  // the save's worker goes before the surfaces it may be reading
}

void Application::dispatch_command(uint16_t id) { tesmo::dispatch_command(*this, id); }
void Application::cancel_effect_dialog() { tesmo::cancel_effect_dialog(edit); }
bool Application::apply_exif_orientation() { return tesmo::apply_exif_orientation(edit); }
void Application::advance_tools(float step) { tools.advance(step); }
bool Application::tools_animating() const { return tools.falling_preview != nullptr; }

}  // namespace tesmo
