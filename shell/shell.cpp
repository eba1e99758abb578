#include "shell/shell.h"

namespace tesmo {

Shell::Shell(std::u16string program_folder) : settings_store_(std::move(program_folder)) { settings_store_.load(); }

}  // namespace tesmo
