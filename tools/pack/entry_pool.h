// The threads that prepare a packing run's entries ahead of the writer (private to tools/pack).
// Entries are started in list order and handed to the writer in list order, so the archive, the
// messages and the progress come out as a run on one thread makes them. At most a window of
// entries is prepared and not yet written (kPackEntriesPerJob per thread, and sources of about
// kPackInFlightBytes together, but always at least one entry), so memory stays bounded whatever
// the list holds. With one job no thread is started: each entry is prepared when it is taken.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "tools/pack/pack_prepare.h"

namespace tesmo {

inline constexpr size_t kPackEntriesPerJob = 4;
inline constexpr uint64_t kPackInFlightBytes = 64u << 20;
inline constexpr size_t kPackKeptBuffer = 16u << 20;  // larger buffers are freed once written

class EntryPool {
 public:
  EntryPool(std::span<const PackEntry> entries, PrepareShared& shared, unsigned jobs);
  ~EntryPool();  // the threads stop after the entries they are preparing; waits for them
  EntryPool(const EntryPool&) = delete;
  EntryPool& operator=(const EntryPool&) = delete;

  // Entry i prepared; i counts up from 0 by one, each taken entry released before the next is
  // taken. While it waits, `cancelled` (when set) is asked every kCancelPoll: nothing when it
  // says so. An exception thrown while preparing the entry is thrown here.
  const PreparedEntry* take(size_t i, const std::function<bool()>& cancelled);
  // The writer is done with entry i: its place and buffers go to a later entry.
  void release(size_t i);

  static constexpr std::chrono::milliseconds kCancelPoll{10};

 private:
  struct Slot {
    PreparedEntry entry;
    uint64_t cost = 0;  // the source's size when the entry was started
    bool ready = false;
    std::exception_ptr failure;
  };

  void work();
  bool can_start();  // under mutex_
  Slot& slot(size_t i) { return ring_[i % ring_.size()]; }

  std::span<const PackEntry> entries_;
  PrepareShared& shared_;
  std::vector<Slot> ring_;
  PrepareWork own_work_;  // without threads

  std::mutex mutex_;
  std::condition_variable ready_;  // an entry is prepared
  std::condition_variable room_;   // an entry was released, or the threads are to stop
  size_t next_ = 0;                // the next entry to start
  uint64_t next_cost_ = 0;
  size_t next_cost_of_ = SIZE_MAX;  // the entry next_cost_ belongs to
  size_t in_flight_ = 0;           // started and not released
  uint64_t in_flight_bytes_ = 0;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace tesmo
