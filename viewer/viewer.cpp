// The viewer's construction and its frame entry.
#include "viewer/viewer.h"

#include "resources/command_ids.h"
#include "viewer/frame_update.h"
#include "viewer/overlays/overlays.h"
#include "viewer/prefetch.h"

namespace tesmo {

Viewer::Viewer(Shell& shell, Document& doc)
    : shell(shell), doc(doc), overlay_cache(std::make_unique<OverlayCache>()),
      prefetcher(std::make_unique<Prefetcher>()) {
  init_input_state(input);
}

Viewer::~Viewer() = default;

void Viewer::frame_update(int target) {
  ++frame_passes_;
  tesmo::frame_update(*this, target);
}

// After loading: the alpha view when the picture has alpha and Default Channel Alpha is checked.
void Viewer::select_default_channel() {
  platform::Menu& menu = shell.window->menu();
  const bool alpha = surface_find(doc.surfaces(), kKeyAlpha) && menu.is_checked(cmd::DefaultChannelAlpha);
  menu.set_checked(cmd::ChannelAlpha, alpha);
  menu.set_checked(cmd::ChannelRgb, !alpha);
  doc.view().displayed_surface = alpha ? kKeyAlpha : kKeyImage;
}

}  // namespace tesmo
