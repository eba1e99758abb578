#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>

#include "document/background_job.h"

namespace tesmo {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Holds a work function until the test opens it. Shared, so a detached worker never outlives it.
// A stop requested before the worker has begun skips the run, so tests that stop a running job
// first wait until the work has entered.
struct Gate {
  std::mutex m;
  std::condition_variable cv;
  bool open = false;
  std::atomic<bool> entered = false;
  void release() {
    std::lock_guard lock(m);
    open = true;
    cv.notify_all();
  }
  void wait() {
    entered = true;
    std::unique_lock lock(m);
    cv.wait(lock, [this] { return open; });
  }
};

template <class Pred>
bool eventually(Pred pred) {
  for (auto end = Clock::now() + 10s; Clock::now() < end; std::this_thread::sleep_for(1ms)) {
    if (pred()) return true;
  }
  return false;
}

TEST(BackgroundJob, RunsOnceIsCollectedAndStopsAtOnce) {
  struct Case {
    int (*work)();
    int result;
  };
  const Case cases[] = {{[] { return 0; }, 0}, {[] { return 1; }, 1}, {[] { return 2; }, 2},
                        {[]() -> int { throw std::runtime_error("disk full"); }, 1}};
  for (const Case& c : cases) {
    auto gate = std::make_shared<Gate>();
    auto argument = std::make_shared<std::atomic<intptr_t>>(-1);
    BackgroundJob job;
    EXPECT_EQ(job.state(), kJobIdle);
    EXPECT_FALSE(job.start(nullptr));
    ASSERT_TRUE(job.start([=, w = c.work](intptr_t a) { *argument = a; gate->wait(); return w(); }, 7));
    EXPECT_FALSE(job.start([](intptr_t) { return 0; }));  // one run per job
    EXPECT_EQ(job.state(), kJobRunning);
    EXPECT_FALSE(job.poll().finished);
    gate->release();
    ASSERT_TRUE(eventually([&] { return job.state() == kJobFinished; }));
    EXPECT_TRUE(eventually([&] { return job.worker_exited(); }));  // not waiting to be collected
    EXPECT_EQ(*argument, 7);
    const JobReport report = job.poll();
    EXPECT_TRUE(report.finished);
    EXPECT_EQ(report.result, c.result);
    EXPECT_EQ(job.state(), kJobCollected);
    EXPECT_FALSE(job.poll().finished);
    const auto before = Clock::now();
    EXPECT_EQ(job.stop(), StopOutcome::Joined);
    EXPECT_LT(Clock::now() - before, 500ms);  // far under the ten 100 ms polls
  }
  EXPECT_EQ(BackgroundJob().stop(), StopOutcome::NotStarted);
}

TEST(BackgroundJob, StopWhileRunningLetsTheRunEndThenJoins) {
  auto gate = std::make_shared<Gate>();
  auto done = std::make_shared<std::atomic<bool>>(false);
  BackgroundJob job;
  job.start([=](intptr_t) { gate->wait(); std::this_thread::sleep_for(200ms); *done = true; return 0; });
  ASSERT_TRUE(eventually([&] { return gate->entered.load(); }));
  gate->release();
  EXPECT_EQ(job.stop(), StopOutcome::Joined);
  EXPECT_TRUE(*done);
  EXPECT_EQ(job.state(), kJobStopRequested);  // the worker did not overwrite the request with 4
}

TEST(BackgroundJob, WorkOutlastingTheWaitIsDetachedAndEndsSafely) {
  auto gate = std::make_shared<Gate>();
  std::weak_ptr<Gate> alive = gate;
  {
    BackgroundJob job;
    job.start([gate](intptr_t) { gate->wait(); return 0; });
    ASSERT_TRUE(eventually([&] { return gate->entered.load(); }));
    EXPECT_EQ(job.stop(), StopOutcome::Detached);
  }
  gate->release();
  gate.reset();
  EXPECT_TRUE(eventually([&] { return alive.expired(); }));  // the worker released its record
}

TEST(JobSlot, PollFinishAndRestart) {
  JobSlot slot;
  EXPECT_EQ(poll_job(slot).status, JobStatus::None);
  auto gate = std::make_shared<Gate>();
  ASSERT_TRUE(start_job(slot, 1, 5000, [gate](intptr_t) { gate->wait(); return 1; }));
  EXPECT_EQ(slot.mode, 1);
  EXPECT_EQ(slot.start_time, 5000u);
  EXPECT_EQ(poll_job(slot).status, JobStatus::Running);
  gate->release();
  ASSERT_TRUE(eventually([&] { return slot.job->state() == kJobFinished; }));
  const JobPoll poll = poll_job(slot);
  EXPECT_EQ(poll.status, JobStatus::Finished);
  EXPECT_EQ(poll.result, 1);
  EXPECT_EQ(finish_job(slot), StopOutcome::Joined);
  EXPECT_EQ(slot.job, nullptr);
  EXPECT_TRUE(slot.finished);

  ASSERT_TRUE(start_job(slot, 0, 6000, [](intptr_t) { return 2; }));
  EXPECT_FALSE(slot.finished);
  ASSERT_TRUE(eventually([&] { return slot.job->state() == kJobFinished; }));
  EXPECT_EQ(poll_job(slot).status, JobStatus::Running);  // result 2 keeps the collected job
  EXPECT_EQ(slot.job->state(), kJobCollected);
  EXPECT_EQ(poll_job(slot).status, JobStatus::Running);
}

}  // namespace
}  // namespace tesmo
