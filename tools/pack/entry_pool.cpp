// The preparing threads and the window that bounds them.
#include "tools/pack/entry_pool.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "base/path.h"

namespace tesmo {
namespace {

// The bytes an entry will hold while it waits to be written, as far as its source's size tells.
uint64_t source_cost(const PackEntry& e, const std::u16string& base_dir) {
  if (e.dummy) return 0;
  std::error_code error;
  const uintmax_t size = std::filesystem::file_size(to_fs_path(pack_source_path(base_dir, e.name)), error);
  return error ? 0 : static_cast<uint64_t>(size);
}

// Frees a buffer too large to keep for the next entry.
void trim(std::vector<uint8_t>& buffer) {
  if (buffer.capacity() > kPackKeptBuffer) std::vector<uint8_t>().swap(buffer);
}

}  // namespace

EntryPool::EntryPool(std::span<const PackEntry> entries, PrepareShared& shared, unsigned jobs)
    : entries_(entries), shared_(shared) {
  const size_t threads = std::min<size_t>(jobs, entries.size());
  ring_.resize(threads > 1 ? threads * kPackEntriesPerJob : 1);
  if (threads <= 1) return;
  try {
    for (size_t t = 0; t < threads; ++t) threads_.emplace_back([this] { work(); });
  } catch (const std::system_error&) {
    // Fewer threads than asked for still pack; with none, entries are prepared when taken.
  }
}

EntryPool::~EntryPool() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  room_.notify_all();
  for (std::thread& t : threads_) t.join();
}

bool EntryPool::can_start() {
  if (next_ == entries_.size()) return false;
  if (next_cost_of_ != next_) {
    next_cost_ = source_cost(entries_[next_], shared_.base_dir);
    next_cost_of_ = next_;
  }
  if (in_flight_ == 0) return true;
  return in_flight_ < ring_.size() && in_flight_bytes_ + next_cost_ <= kPackInFlightBytes;
}

void EntryPool::work() {
  PrepareWork work;
  std::unique_lock lock(mutex_);
  for (;;) {
    room_.wait(lock, [this] { return stopping_ || next_ == entries_.size() || can_start(); });
    if (stopping_ || next_ == entries_.size()) return;
    const size_t i = next_++;
    Slot& s = slot(i);
    s.cost = next_cost_;
    ++in_flight_;
    in_flight_bytes_ += s.cost;
    lock.unlock();
    // The slot is this thread's alone until it is marked ready.
    try {
      prepare_entry(entries_[i], shared_, work, s.entry);
    } catch (...) {
      s.failure = std::current_exception();
    }
    lock.lock();
    s.ready = true;
    ready_.notify_all();
  }
}

const PreparedEntry* EntryPool::take(size_t i, const std::function<bool()>& cancelled) {
  Slot& s = slot(i);
  if (threads_.empty()) {
    prepare_entry(entries_[i], shared_, own_work_, s.entry);
    return &s.entry;
  }
  std::unique_lock lock(mutex_);
  while (!ready_.wait_for(lock, kCancelPoll, [&s] { return s.ready; })) {
    if (cancelled && cancelled()) return nullptr;
  }
  if (s.failure) std::rethrow_exception(std::exchange(s.failure, nullptr));
  return &s.entry;
}

void EntryPool::release(size_t i) {
  Slot& s = slot(i);
  trim(s.entry.input);
  trim(s.entry.output);
  if (threads_.empty()) return;
  {
    std::lock_guard lock(mutex_);
    s.ready = false;
    --in_flight_;
    in_flight_bytes_ -= s.cost;
  }
  room_.notify_all();
}

}  // namespace tesmo
