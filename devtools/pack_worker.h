// The file pack module's packing run on a worker thread. The worker is a BackgroundJob (idle →
// running, the run requested → finished, or → stop requested, the quit) and shares nothing with
// the UI thread but a record under a lock (the progress the run reports, which the progress
// window's timer copies into its controls) and the flag that cancels the run. Dialogs are read
// before the run and touched only on the UI thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/background_job.h"
#include "tools/pack/pack_list.h"

namespace tesmo {

// What one run packs, read from the dialog on the UI thread.
struct PackRunRequest {
  std::u16string list_path;
  std::u16string archive_path;
  std::u16string export_dir;  // header texts and script module; ends with a separator
  uint32_t options = 0;
  std::string prefix;  // CP932
};

// A copy of what the run has reported so far.
struct PackProgressView {
  std::u16string base_dir;
  std::u16string name;     // the entry being packed
  std::u16string percent;  // "%3d%% (%d/%d)"
  int count = 0;
  int done = 0;
  uint32_t serial = 0;  // grows with every report: a poller copies only what changed
};

// Gives a packer the JAB writer and the definition compiler the system is built with.
void attach_pack_tools(Packer& packer);

class PackWorker {
 public:
  PackWorker();
  // Cancels a run in progress, which stops after the entries being prepared and leaves no
  // archive, and stops the worker (waiting for it as the job does).
  ~PackWorker();
  PackWorker(const PackWorker&) = delete;
  PackWorker& operator=(const PackWorker&) = delete;

  // Starts the run on the worker thread. False when it could not be started (or already was).
  bool start(PackRunRequest request);
  // The latest progress, taken under the lock.
  PackProgressView progress() const;
  // The UI thread's poll: true once the run has finished; its result and messages are then read.
  bool poll_finished();
  bool finished() const { return finished_; }
  int result() const { return result_; }  // 0 or 1
  const std::vector<std::u16string>& errors() const;

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;  // also held by the work function, should the worker outlive us
  BackgroundJob job_;
  bool finished_ = false;
  int result_ = 1;
};

}  // namespace tesmo
