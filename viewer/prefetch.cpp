// Reading ahead on a thread of its own: the walk a step would take from the shown file, in both
// directions, stopping at the first file a reader accepts.
#include "viewer/prefetch.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/path.h"
#include "formats/registry.h"
#include "viewer/folder_list.h"

namespace tesmo {
namespace {

// Memory left to the rest of the system after a picture is read ahead.
constexpr int64_t kMemoryReserve = int64_t{256} << 20;

Prefetcher::Stamp stamp_of(const std::u16string& path) {
  std::error_code error;
  const std::filesystem::path p = to_fs_path(path);
  const auto size = std::filesystem::file_size(p, error);
  if (error) return {};
  const auto written = std::filesystem::last_write_time(p, error);
  if (error) return {};
  return {static_cast<int64_t>(size), static_cast<int64_t>(written.time_since_epoch().count())};
}

// The memory the system can still hand out without swapping, in bytes; −1 when it cannot tell.
int64_t available_memory() {
  std::ifstream info("/proc/meminfo");
  std::string key;
  int64_t kib = 0;
  while (info >> key >> kib) {
    if (key == "MemAvailable:") return kib * 1024;
    info.ignore(64, '\n');
  }
  return -1;
}

// The picture's size as its reader reports it; 0 when no reader accepts the file.
int64_t probed_pixels(const std::u16string& path) {
  ImageFile file = image_file_create(false);
  const int64_t pixels = image_probe(file, path) == 0 ? int64_t{file.info.width} * file.info.height : 0;
  image_file_close(file);
  return pixels;
}

bool worth_reading(int64_t pixels) {
  if (pixels > kMaxReadAheadPixels) return false;
  const int64_t available = available_memory();
  return available < 0 || available >= pixels * int64_t{sizeof(uint32_t)} + kMemoryReserve;
}

// The paths a step walks: the plan's list, or the shown file's folder as the viewer lists it.
std::vector<std::u16string> walk_list(const ReadAheadPlan& plan) {
  if (!plan.folder.empty()) return plan.folder;
  std::vector<std::u16string> paths;
  for (const FolderEntry& e : folder_list_of(plan.shown)) {
    if (!e.directory) paths.push_back(e.path);
  }
  return paths;
}

}  // namespace

Prefetcher::~Prefetcher() {
  {
    std::lock_guard guard(lock_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (worker_.joinable()) worker_.join();
}

void Prefetcher::follow(ReadAheadPlan plan) {
  {
    std::lock_guard guard(lock_);
    if (generation_ > 0 && plan == plan_) return;
    plan_ = std::move(plan);
    ++generation_;
    if (!worker_.joinable()) worker_ = std::thread([this] { run(); });
  }
  changed_.notify_all();
}

std::unique_ptr<Surface> Prefetcher::take(const std::u16string& path, int32_t key) {
  Slot slot;
  {
    std::unique_lock guard(lock_);
    changed_.wait(guard, [&] { return reading_ != path; });
    auto it = std::find_if(slots_.begin(), slots_.end(), [&](const Slot& s) { return s.path == path; });
    if (it == slots_.end()) return nullptr;
    slot = std::move(*it);
    slots_.erase(it);
  }
  if (stamp_of(path) != slot.stamp) return nullptr;
  slot.surface->key = key;
  std::lock_guard guard(lock_);
  ++served_;
  return std::move(slot.surface);
}

void Prefetcher::clear() {
  std::vector<Slot> gone;  // released after the lock
  {
    std::lock_guard guard(lock_);
    plan_ = {};
    ++generation_;
    gone.swap(slots_);
  }
  changed_.notify_all();
}

void Prefetcher::wait_until_done() {
  std::unique_lock guard(lock_);
  if (!worker_.joinable()) return;
  changed_.wait(guard, [&] { return done_ == generation_ || stopping_; });
}

uint32_t Prefetcher::served() const {
  std::lock_guard guard(lock_);
  return served_;
}

void Prefetcher::run() {
  std::unique_lock guard(lock_);
  for (;;) {
    changed_.wait(guard, [&] { return stopping_ || done_ != generation_; });
    if (stopping_) return;
    const uint64_t generation = generation_;
    const ReadAheadPlan plan = plan_;
    guard.unlock();
    follow_plan(plan, generation);
    guard.lock();
    if (generation_ == generation) done_ = generation;
    changed_.notify_all();
  }
}

void Prefetcher::follow_plan(const ReadAheadPlan& plan, uint64_t generation) {
  if (plan.shown.empty()) return keep_only({});
  const std::vector<std::u16string> list = walk_list(plan);
  const auto at = std::find(list.begin(), list.end(), plan.shown);
  if (at == list.end()) return keep_only({});
  const int32_t shown = static_cast<int32_t>(at - list.begin());
  const int32_t length = static_cast<int32_t>(list.size());
  std::vector<std::u16string> wanted;
  for (const int32_t direction : {1, -1}) {
    for (int32_t i = shown + direction;; i += direction) {
      if (i < 0 || i >= length) {
        if (!plan.wrap) break;
        i = i < 0 ? length - 1 : 0;
      }
      if (i == shown) break;
      const std::u16string& path = list[static_cast<size_t>(i)];
      if (std::find(wanted.begin(), wanted.end(), path) != wanted.end()) break;  // both walks met
      keep_only(wanted);
      {
        std::lock_guard guard(lock_);
        if (generation_ != generation || stopping_) return;
      }
      if (read(path, generation)) {
        wanted.push_back(path);
        break;
      }
    }
  }
  keep_only(wanted);
}

// False when no reader accepts the file (the step skips it too); true when the step would stop
// there, whether or not the picture could be kept in memory.
bool Prefetcher::read(const std::u16string& path, uint64_t generation) {
  const Stamp stamp = stamp_of(path);
  {
    std::lock_guard guard(lock_);
    for (const Slot& s : slots_) {
      if (s.path == path && s.stamp == stamp) return true;
    }
  }
  const int64_t pixels = probed_pixels(path);
  if (pixels <= 0) return false;
  if (!worth_reading(pixels)) return true;
  {
    std::lock_guard guard(lock_);
    if (generation_ != generation || stopping_) return true;
    reading_ = path;
  }
  std::unique_ptr<Surface> surface = surface_decode(0, path, true);
  const bool decoded = surface != nullptr;
  {
    std::lock_guard guard(lock_);
    reading_.clear();
    if (decoded) slots_.push_back({path, stamp, std::move(surface)});
  }
  changed_.notify_all();
  return decoded;
}

void Prefetcher::keep_only(const std::vector<std::u16string>& wanted) {
  std::vector<Slot> gone;  // released after the lock
  std::lock_guard guard(lock_);
  for (auto it = slots_.begin(); it != slots_.end();) {
    if (std::find(wanted.begin(), wanted.end(), it->path) == wanted.end()) {
      gone.push_back(std::move(*it));
      it = slots_.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace tesmo
