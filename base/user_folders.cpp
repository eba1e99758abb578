// The user's folders from the environment, and the choice of the folder the program writes to.
#include "base/user_folders.h"

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "base/path.h"
#include "base/text.h"

namespace tesmo {
namespace {

constexpr std::u16string_view kSavedataName = u"savedata/";
constexpr std::u16string_view kUserSavedata = u"tesmo64/savedata/";

// An environment variable when it holds an absolute path, else empty.
std::string absolute_variable(const char* name) {
  const char* value = std::getenv(name);
  return value && value[0] == '/' ? std::string(value) : std::string();
}

std::string home_folder() {
  std::string home = absolute_variable("HOME");
  if (home.empty()) {
    if (const passwd* account = ::getpwuid(::getuid()); account && account->pw_dir && account->pw_dir[0] == '/') {
      home = account->pw_dir;
    }
  }
  return home;
}

// The variable's folder, else `fallback` below the home folder; empty when neither is known.
std::u16string base_folder(const char* variable, const char* fallback) {
  std::string folder = absolute_variable(variable);
  if (folder.empty()) {
    const std::string home = home_folder();
    if (home.empty()) return {};
    folder = home + "/" + fallback;
  }
  return utf8_to_utf16(folder);
}

// Whether this process may add files to `folder` (an existing folder; empty: the working folder).
bool can_add_files(const std::u16string& folder) {
  const std::string path = folder.empty() ? std::string(".") : utf16_to_utf8(folder);
  return ::faccessat(AT_FDCWD, path.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

// Whether "savedata/" beside the program is the place: it is a folder this process may write to, or
// it can be made in the program folder. Something else of that name keeps the place (the writes
// then fail, and the program runs on with its options in memory).
bool beside_is_usable(std::u16string_view program_folder, const std::u16string& beside) {
  std::error_code e;
  const std::filesystem::path folder = to_fs_path(beside);
  if (std::filesystem::is_directory(folder, e)) return can_add_files(beside);
  if (std::filesystem::exists(folder, e)) return true;
  return can_add_files(std::u16string(program_folder));
}

}  // namespace

std::u16string user_data_folder() { return base_folder("XDG_DATA_HOME", ".local/share"); }

std::u16string user_config_folder() { return base_folder("XDG_CONFIG_HOME", ".config"); }

std::u16string savedata_folder(std::u16string_view program_folder) {
  const std::u16string beside = std::u16string(program_folder) + std::u16string(kSavedataName);
  if (beside_is_usable(program_folder, beside)) return beside;
  const std::u16string config = user_config_folder();
  if (config.empty()) return beside;  // nowhere better: the writes fail as they would have
  return config + std::u16string(1, kPathSeparator) + std::u16string(kUserSavedata);
}

}  // namespace tesmo
