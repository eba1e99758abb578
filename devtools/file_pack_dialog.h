// The file pack module ("File Pack Module Vardo32", dialog 119): a modeless window over the packing
// run with 32 numbered projects kept in the project file, browsers for the list, archive and export
// folder, the configured editors for the list and the archive, and two kinds of drop: a list file
// selects its project, a folder puts list lines for its files on the clipboard.
#pragma once

#include <cstdint>

#include "platform/dialog.h"
#include "tools/pack/pack_project.h"

namespace tesmo {

class DevTools;

// Opens the module (menu command 40264, which stays greyed while it is open) in dialog slot 2.
// 0, or 1 when it is already open or cannot be opened.
int open_file_pack_dialog(DevTools& tools);
bool file_pack_dialog_open(const DevTools& tools);

// Fills the controls from project `number` of `file`. An empty export folder is taken from the
// archive path's folder part and kept in the project.
void pack_project_show(platform::Dialog& d, PackProjectFile& file, int number);
// Reads the controls back into project `number`: paths, prefix (CP932, cut to the stored field)
// and the options of the check boxes and Type.
void pack_project_store(const platform::Dialog& d, PackProjectFile& file, int number);

// The option bits the check boxes and Type stand for.
int32_t pack_options_of_dialog(const platform::Dialog& d);

}  // namespace tesmo
