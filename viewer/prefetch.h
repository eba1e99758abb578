// Reading ahead: while a picture is shown, the files a step would show next (the next and the
// previous in the folder list, skipping files no reader takes, wrapping when Loop is on) are decoded
// on a thread of their own into surfaces the step adopts instead of reading the file again.
//
// A picture read ahead is the surface a plain load gives (the same decoder, texts included). It is
// handed over only while its file is unchanged on disk (size and last-write time as they were before
// it was read); a new plan drops what it no longer wants; at most the two neighbours are kept, none
// above kMaxReadAheadPixels and none when the system is short of memory.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "surface/surface.h"

namespace tesmo {

inline constexpr int64_t kMaxReadAheadPixels = int64_t{64} * 1000 * 1000;

// What to read ahead: the shown file and the list a step walks (empty: the shown file's folder as
// the viewer would scan it), with the loop option.
struct ReadAheadPlan {
  std::u16string shown;
  std::vector<std::u16string> folder;
  bool wrap = false;
  bool operator==(const ReadAheadPlan&) const = default;
};

class Prefetcher {
 public:
  Prefetcher() = default;
  ~Prefetcher();  // stops the thread (a decode under way finishes first)
  Prefetcher(const Prefetcher&) = delete;
  Prefetcher& operator=(const Prefetcher&) = delete;

  // Reads ahead for `plan` (nothing when it is the plan already followed).
  void follow(ReadAheadPlan plan);
  // The picture read for `path`, keyed `key`, when its file is unchanged; waits for it when it is
  // being decoded. Null otherwise: the caller reads the file itself.
  std::unique_ptr<Surface> take(const std::u16string& path, int32_t key);
  // Drops every picture and the plan.
  void clear();
  // Blocks until the plan is followed to its end (benchmarks and tests).
  void wait_until_done();
  // Pictures handed over by `take`.
  uint32_t served() const;

  // A file's identity on disk while it is read ahead.
  struct Stamp {
    int64_t size = -1;
    int64_t written = 0;  // last-write time in the file system's ticks
    bool operator==(const Stamp&) const = default;
  };

 private:
  struct Slot {
    std::u16string path;
    Stamp stamp;
    std::unique_ptr<Surface> surface;
  };

  void run();
  void follow_plan(const ReadAheadPlan& plan, uint64_t generation);
  bool read(const std::u16string& path, uint64_t generation);
  void keep_only(const std::vector<std::u16string>& wanted);

  mutable std::mutex lock_;
  std::condition_variable changed_;
  ReadAheadPlan plan_;
  uint64_t generation_ = 0;  // counts plans; a worker's walk stops when it moves on
  uint64_t done_ = 0;        // the last generation followed to its end
  std::u16string reading_;   // the path being decoded, empty when none
  std::vector<Slot> slots_;
  uint32_t served_ = 0;
  bool stopping_ = false;
  std::thread worker_;  // started with the first plan
};

}  // namespace tesmo
