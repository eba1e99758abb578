// Where a dialog goes relative to its parent window.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/platform.h"

namespace tesmo {

class Shell;

enum DialogPlacement : uint32_t {
  kPlaceAtClient = 1,  // at the parent's client origin (else its window's top-left)
  kPlaceCentred = 2,   // centred on it and pulled back inside the work area
};

// Where a dialog of `size` goes relative to `parent` for `flags` (DialogPlacement bits). Nothing
// when the work area cannot be read (the dialog stays where it is).
std::optional<platform::Point> place_dialog(const Shell& shell, const platform::Rect& parent_window,
                                            const platform::Rect& parent_client, platform::Size size,
                                            uint32_t flags);

}  // namespace tesmo
