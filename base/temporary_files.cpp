// Temporary names, the removal of stale temporaries and the signal handler that removes the ones
// being written.
#include "base/temporary_files.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <mutex>

namespace tesmo {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kMark = ".tesmo-tmp.";
constexpr size_t kSlotBytes = PATH_MAX;

// The names of the temporaries being written. A slot's name is complete before `used` is set, and
// `used` is cleared before the slot is taken again: the handler reads only whole names.
struct Slot {
  std::atomic<bool> taken{false};
  std::atomic<bool> used{false};
  char path[kSlotBytes] = {};
};
Slot g_slots[kMaxActiveTemporaries];

std::atomic<unsigned> g_sequence{0};

// The process id in a temporary name that belongs to `target_name`; 0 when the name is not one.
pid_t owner_of(std::string_view file_name, std::string_view target_name) {
  const std::string prefix = "." + std::string(target_name) + std::string(kMark);
  if (file_name.substr(0, prefix.size()) != prefix) return 0;
  std::string_view rest = file_name.substr(prefix.size());
  pid_t pid = 0;
  size_t i = 0;
  for (; i < rest.size() && rest[i] >= '0' && rest[i] <= '9'; ++i) pid = pid * 10 + (rest[i] - '0');
  if (i == 0 || i >= rest.size() || rest[i] != '.') return 0;
  return pid;
}

bool process_running(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

// Only async-signal-safe calls: unlink, signal, raise.
void remove_and_end(int signal_number) {
  for (Slot& s : g_slots) {
    if (s.used.load()) ::unlink(s.path);
  }
  ::signal(signal_number, SIG_DFL);
  ::raise(signal_number);
}

}  // namespace

std::string temporary_name_beside(const fs::path& target) {
  std::string name(".");
  name += target.filename().string();
  name += kMark;
  name += std::to_string(::getpid());
  name += '.';
  name += std::to_string(g_sequence.fetch_add(1));
  return (target.parent_path() / name).string();
}

void remove_stale_temporaries(const fs::path& target) {
  const std::string target_name = target.filename().string();
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const pid_t owner = owner_of(it->path().filename().string(), target_name);
    if (owner != 0 && !process_running(owner)) fs::remove(it->path(), error);
  }
}

ActiveTemporary::ActiveTemporary(const std::string& path) : slot_(-1) {
  if (path.size() >= kSlotBytes) return;
  for (int i = 0; i < kMaxActiveTemporaries; ++i) {
    bool free = false;
    if (!g_slots[i].taken.compare_exchange_strong(free, true)) continue;
    std::memcpy(g_slots[i].path, path.c_str(), path.size() + 1);
    g_slots[i].used.store(true);
    slot_ = i;
    return;
  }
}

ActiveTemporary::~ActiveTemporary() {
  if (slot_ < 0) return;
  g_slots[slot_].used.store(false);
  g_slots[slot_].taken.store(false);
}

void remove_temporaries_on_signals() {
  static std::once_flag once;
  std::call_once(once, [] {
    struct sigaction action {};
    action.sa_handler = remove_and_end;
    sigemptyset(&action.sa_mask);
    for (int s : {SIGINT, SIGTERM}) ::sigaction(s, &action, nullptr);
  });
}

}  // namespace tesmo
