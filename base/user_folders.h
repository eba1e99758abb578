// The folders the desktop gives each user (freedesktop.org base directories), and where the program
// keeps the files it writes for itself.
#pragma once

#include <string>
#include <string_view>

namespace tesmo {

// $XDG_DATA_HOME, else the home folder's ".local/share"; no trailing separator. Empty when neither
// the variable nor a home folder is known (variables that are not absolute paths are ignored).
std::u16string user_data_folder();
// $XDG_CONFIG_HOME, else the home folder's ".config"; as above.
std::u16string user_config_folder();

// The folder of the files the program writes for itself (the settings "system.sav", the batch step
// lists, the tool projects), with a trailing separator: "savedata/" beside the program while the
// program folder can be written (a copy in a folder of its own, as in the build tree), otherwise
// "tesmo64/savedata/" in the user's configuration folder (an installed copy that only the
// administrator may change). Every file kept in "savedata/" takes its folder from here.
std::u16string savedata_folder(std::u16string_view program_folder);

}  // namespace tesmo
