// The background job's worker loop, polling and stopping.
//
// A collected worker exits by itself: after running its work function the worker returns as soon
// as the state is anything but "running", instead of waiting for a stop request. Portable threads
// can be neither suspended nor terminated, so the finished worker must not linger, and stopping a
// collected job then joins at once instead of waiting out its ten polls.
#include "document/background_job.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace tesmo {
namespace {

constexpr int kStopPolls = 10;
constexpr std::chrono::milliseconds kStopPollInterval{100};
constexpr int kWorkFailed = 1;

}  // namespace

struct BackgroundJob::Shared {
  std::mutex mutex;                    // the job's lock, taken by the frame's poll and by stop
  std::condition_variable exited_cv;
  bool exited = false;                 // under `mutex`: the worker has returned
  std::atomic<int> state{kJobIdle};
  Work work;
  intptr_t argument = 0;
  int result = 0;                      // written by the worker before it publishes state 4
};

namespace {

int run_work(const BackgroundJob::Work& work, intptr_t argument) {
  try {
    return work(argument);
  } catch (...) {
    return kWorkFailed;  // an escaping exception would end the program; it counts as a failure
  }
}

template <class Shared>
void worker_loop(Shared& s) {
  bool ran = false;
  for (;;) {
    const int state = s.state.load();
    if (state == kJobRunning) {
      s.result = run_work(s.work, s.argument);
      ran = true;
      // A stop requested during the run stands: state 2 is not overwritten with 4.
      int expected = kJobRunning;
      s.state.compare_exchange_strong(expected, kJobFinished);
      continue;
    }
    if (state == kJobStopRequested || ran) return;
    std::this_thread::yield();
  }
}

template <class Shared>
void worker_main(std::shared_ptr<Shared> s) {
  worker_loop(*s);
  std::lock_guard lock(s->mutex);
  s->exited = true;
  s->exited_cv.notify_all();
}

}  // namespace

BackgroundJob::BackgroundJob() : shared_(std::make_shared<Shared>()) {}

BackgroundJob::~BackgroundJob() { stop(); }

int BackgroundJob::state() const { return shared_->state.load(); }

bool BackgroundJob::worker_exited() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->exited;
}

bool BackgroundJob::start(Work work, intptr_t argument) {
  if (!work || thread_.joinable() || shared_->state.load() != kJobIdle) return false;
  shared_->work = std::move(work);
  shared_->argument = argument;
  shared_->state.store(kJobRunning);
  try {
    thread_ = std::thread(worker_main<Shared>, shared_);
  } catch (const std::system_error&) {
    shared_->state.store(kJobIdle);
    shared_->work = nullptr;
    return false;
  }
  return true;
}

JobReport BackgroundJob::poll() {
  std::lock_guard lock(shared_->mutex);
  if (shared_->state.load() != kJobFinished) return {};
  shared_->state.store(kJobCollected);
  return {true, shared_->result};
}

StopOutcome BackgroundJob::stop() {
  if (!thread_.joinable()) return StopOutcome::NotStarted;
  std::unique_lock lock(shared_->mutex);
  shared_->state.store(kJobStopRequested);
  // One wait of the ten polls' length, woken as soon as the worker has returned.
  const bool exited = shared_->exited_cv.wait_for(lock, kStopPolls * kStopPollInterval,
                                                  [this] { return shared_->exited; });
  lock.unlock();
  if (exited) {
    thread_.join();
    return StopOutcome::Joined;
  }
  // A running thread cannot be terminated portably. The worker holds its own reference to the
  // shared record and touches nothing else of the job, so it may outlive this object; it ends
  // when its work function returns.
  thread_.detach();
  return StopOutcome::Detached;
}

bool start_job(JobSlot& slot, int32_t mode, uint32_t now_ms, BackgroundJob::Work work) {
  slot.job.reset();  // stops the previous job
  slot.mode = mode;
  slot.start_time = now_ms;
  slot.finished = false;
  auto job = std::make_unique<BackgroundJob>();
  if (!job->start(std::move(work))) return false;
  slot.job = std::move(job);
  return true;
}

JobPoll poll_job(JobSlot& slot) {
  if (!slot.job) return {};
  const JobReport report = slot.job->poll();
  // Result 2 leaves the collected job in place, still shown as running.
  if (!report.finished || report.result == 2) return {JobStatus::Running, report.result};
  return {JobStatus::Finished, report.result};
}

StopOutcome finish_job(JobSlot& slot) {
  if (!slot.job) return StopOutcome::NotStarted;
  const StopOutcome outcome = slot.job->stop();
  slot.job.reset();
  slot.finished = true;
  return outcome;
}

}  // namespace tesmo
