// The temporary files every writer makes beside its target before renaming them over it. Their
// names are unmistakable (".NAME.tesmo-tmp.PID.N"), so a later write of the same target removes
// those that a killed process left behind, and SIGINT or SIGTERM removes the ones being written.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tesmo {

// A fresh temporary name in the target's folder: "." + the target's name + ".tesmo-tmp." + this
// process's id + "." + a number unique within the process.
std::string temporary_name_beside(const std::filesystem::path& target);

// Removes the temporaries of `target` that processes no longer running left behind (those of
// running processes, this one included, are being written and stay).
void remove_stale_temporaries(const std::filesystem::path& target);

// Keeps the name of a temporary being written, for the signal handler, until destroyed (after the
// file was renamed or removed). At most kMaxActiveTemporaries are kept at once; more are written
// all the same, only not removed by a signal.
class ActiveTemporary {
 public:
  explicit ActiveTemporary(const std::string& path);
  ~ActiveTemporary();
  ActiveTemporary(const ActiveTemporary&) = delete;
  ActiveTemporary& operator=(const ActiveTemporary&) = delete;

 private:
  int slot_;
};
inline constexpr int kMaxActiveTemporaries = 64;

// Installs the SIGINT and SIGTERM handlers that remove the temporaries being written and then end
// the process as the signal would have. Once per process; later calls do nothing.
void remove_temporaries_on_signals();

}  // namespace tesmo
