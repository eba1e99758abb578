// The Preferences dialog (137, "環境設定"): the plug-in folder, the wheel interval, the grid, the
// camera fields and the external programs of the settings record, each with its "..." chooser.
#pragma once

namespace tesmo {

class Viewer;

// Shows the dialog with the current settings. OK reads every field back (numbers as base-10
// integers, texts cut to 259 characters) and writes the settings file only when the record
// changed; returns 0. Cancel changes nothing and returns 2.
int preferences_dialog(Viewer& viewer);

}  // namespace tesmo
