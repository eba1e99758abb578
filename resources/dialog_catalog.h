// Every dialog template of the program in one list, for the code that checks or shows them all
// (a template the program opens belongs here).
#pragma once

#include <span>

#include "platform/dialog.h"

namespace tesmo::resources {

struct CatalogEntry {
  const platform::DialogTemplate* dialog;
  bool skinned;  // drawn on a skin background: its controls stay below the title band
};

std::span<const CatalogEntry> all_dialog_templates();

}  // namespace tesmo::resources
