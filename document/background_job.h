// The background job: a worker thread that runs one work function (the save) while frames go on.
// States: 0 idle → 1 running → 4 finished (set by the worker) → 8 collected (by a frame) → deleted,
// or → 2 stop requested → deleted. The frame reads and writes the state under the job's lock; the
// worker reads and writes it without the lock, which the atomic state makes well-defined.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

namespace tesmo {

enum JobState : int {
  kJobIdle = 0,
  kJobRunning = 1,
  kJobStopRequested = 2,
  kJobFinished = 4,
  kJobCollected = 8,
};

struct JobReport {
  bool finished = false;  // this poll collected the worker's result
  int result = 0;
};

enum class StopOutcome {
  NotStarted,  // there was no thread
  Joined,      // the worker exited within the wait
  Detached,    // the worker was still running after the wait and was left to end by itself
};

class BackgroundJob {
 public:
  using Work = std::function<int(intptr_t argument)>;

  BackgroundJob();  // state 0
  ~BackgroundJob();  // stops the worker if it was started
  BackgroundJob(const BackgroundJob&) = delete;
  BackgroundJob& operator=(const BackgroundJob&) = delete;

  // Stores `work` and `argument`, sets state 1 and starts the worker, which runs `work` once (a
  // thrown exception counts as result 1). False, and nothing started, when the job is not idle,
  // `work` is empty or the thread cannot be created.
  bool start(Work work, intptr_t argument = 0);

  // The frame's look at the job: in state 4 takes the result and sets state 8; otherwise reports
  // "not finished" and changes nothing.
  JobReport poll();

  // Sets state 2 and waits up to ten 100 ms polls for the worker to exit. A worker that has run
  // its work function exits by itself, so a finished or collected job joins at once; a work
  // function still running is waited for, and detached if it outlasts the wait.
  StopOutcome stop();

  int state() const;

  // True once the worker has returned: after its run, or after a stop request that came first.
  bool worker_exited() const;

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;  // also held by the worker, so a detached worker stays valid
  std::thread thread_;
};

// The job as the document keeps it, with the mode and start time the progress display uses.
struct JobSlot {
  std::unique_ptr<BackgroundJob> job;  // null while no job exists
  int32_t mode = 0;                    // 0 save, 1 save as
  uint32_t start_time = 0;             // ms
  bool finished = false;               // the last job has been finished
};

// Stops any previous job, stores `mode` and `now_ms`, and starts `work` with argument 0. False when
// the worker could not be started; no job exists then.
bool start_job(JobSlot& slot, int32_t mode, uint32_t now_ms, BackgroundJob::Work work);

enum class JobStatus {
  None,     // no job
  Running,  // draw the progress display
  Finished  // collected with `result`: the caller finishes the job (finish_job) and reports it
};
struct JobPoll {
  JobStatus status = JobStatus::None;
  int result = 0;
};

// The frame's poll. A job whose worker has finished is collected; result 2 keeps the collected job
// in place (reported as Running from then on), any other result reports Finished.
JobPoll poll_job(JobSlot& slot);

// Finishing: the collected job is stopped (its worker has already exited, so this joins at once)
// and deleted, and the finished flag is set. Nothing happens without a job.
StopOutcome finish_job(JobSlot& slot);

}  // namespace tesmo
