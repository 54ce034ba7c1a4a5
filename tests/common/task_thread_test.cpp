#include "common/task_thread.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "common/base/scoped_handle.h"

namespace {

using Clock = std::chrono::steady_clock;

int64_t MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// CPU time used by the whole process so far, in milliseconds.
int64_t ProcessCpuMs() {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return -1;
  auto ms = [](const FILETIME& t) {
    return static_cast<int64_t>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000;
  };
  return ms(kernel) + ms(user);
}

// Signalled once by a task; waited for by the test.
class Latch {
 public:
  Latch() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  void Set() { SetEvent(event_.get()); }
  bool Wait(DWORD ms) { return WaitForSingleObject(event_.get(), ms) == WAIT_OBJECT_0; }

 private:
  ScopedHandle event_;
};

// A clock the test moves by hand, so that due times are exact however loaded the machine is.
class ManualClock {
 public:
  TaskThread::Clock AsClock() {
    return [this] { return ms_.load() * 1000000; };
  }
  int64_t ms() const { return ms_; }
  // Moves the clock and has the worker look at the new time; returns once it has.
  void Advance(TaskThread& thread, int64_t ms) {
    ms_ += ms;
    auto looked = std::make_shared<Latch>();
    thread.Post([looked] { looked->Set(); });
    ASSERT_TRUE(looked->Wait(10000));
  }

 private:
  std::atomic<int64_t> ms_{0};
};

TEST(TaskThread, PostDuringTheWaitForADelayedTaskRunsAtOnceAndTheDelayedOneStillRunsOnTime) {
  ManualClock clock;
  TaskThread thread(L"test", clock.AsClock());
  thread.Start();
  std::atomic<int64_t> delayed_at{-1}, immediate_at{-1};
  Latch delayed_ran;
  thread.PostDelayed([&] { delayed_at = clock.ms(); delayed_ran.Set(); }, 1000);
  clock.Advance(thread, 200);
  Latch immediate_ran;
  thread.Post([&] { immediate_at = clock.ms(); immediate_ran.Set(); });

  ASSERT_TRUE(immediate_ran.Wait(10000));
  EXPECT_EQ(immediate_at, 200);
  clock.Advance(thread, 789);
  EXPECT_EQ(delayed_at, -1) << "ran before it was due";
  clock.Advance(thread, 11);
  ASSERT_TRUE(delayed_ran.Wait(10000)) << "the delayed task was left in the queue";
  EXPECT_EQ(delayed_at, 1000);
}

// The same on the real clock: the one test of this program that waits in real time. A busy machine
// only makes things later, so the times are lower bounds and the order shows the rest.
TEST(TaskThread, DelayedAndImmediateTasksKeepTheirTimesOnTheRealClock) {
  TaskThread thread(L"test");
  thread.Start();
  const auto start = Clock::now();
  std::atomic<int64_t> delayed_at{-1}, immediate_at{-1};
  std::atomic<bool> delayed_ran_first{false};
  Latch delayed_ran;
  thread.PostDelayed([&] { delayed_at = MsSince(start); delayed_ran.Set(); }, 1000);
  Sleep(200);
  Latch immediate_ran;
  thread.Post([&] {
    immediate_at = MsSince(start);
    delayed_ran_first = delayed_at >= 0;
    immediate_ran.Set();
  });

  ASSERT_TRUE(immediate_ran.Wait(10000));
  EXPECT_GE(immediate_at, 190);
  EXPECT_FALSE(delayed_ran_first) << "the post waited for the delayed task";
  ASSERT_TRUE(delayed_ran.Wait(10000)) << "the delayed task was left in the queue";
  EXPECT_GE(delayed_at, 990);
}

TEST(TaskThread, TasksRunOnTheWorkerInDueTimeOrder) {
  ManualClock clock;
  TaskThread thread(L"test", clock.AsClock());
  std::mutex mutex;
  std::vector<int> order;
  std::vector<std::thread::id> ran_on;
  Latch all_ran;
  auto record = [&](int id) {
    return [&, id] {
      std::lock_guard<std::mutex> lock(mutex);
      order.push_back(id);
      ran_on.push_back(std::this_thread::get_id());
      if (order.size() == 7) all_ran.Set();
    };
  };
  // Posted before Start: the queue keeps them until the worker exists.
  thread.PostDelayed(record(300), 300);
  thread.PostDelayed(record(100), 100);
  thread.Start();
  thread.PostDelayed(record(200), 200);
  thread.Post(record(0));
  thread.Post(record(0));
  thread.Post(record(0));
  thread.PostDelayed(record(150), 150);
  clock.Advance(thread, 300);

  ASSERT_TRUE(all_ran.Wait(10000));
  EXPECT_EQ(order, (std::vector<int>{0, 0, 0, 100, 150, 200, 300}));
  for (const auto& id : ran_on) EXPECT_EQ(id, thread.thread_id());
  EXPECT_NE(thread.thread_id(), std::this_thread::get_id());
  EXPECT_FALSE(thread.IsCurrentThread());
}

TEST(TaskThread, TasksQueuedBeforeStartKnowTheyRunOnTheWorker) {
  // Owners decide by IsCurrentThread whether to run a step or to post it: the worker's first task
  // must already see its own thread.
  for (int round = 0; round < 50; ++round) {
    TaskThread thread(L"test");
    std::atomic<bool> on_worker{false};
    Latch ran;
    thread.Post([&] {
      on_worker = thread.IsCurrentThread();
      ran.Set();
    });
    thread.Start();
    ASSERT_TRUE(ran.Wait(10000));
    ASSERT_TRUE(on_worker) << "round " << round;
  }
}

TEST(TaskThread, ATaskMayPostFurtherTasksOntoItsOwnThread) {
  TaskThread thread(L"test");
  thread.Start();
  std::atomic<int> depth{0};
  Latch done;
  std::function<void()> step = [&] {
    EXPECT_TRUE(thread.IsCurrentThread());
    if (++depth < 5) {
      thread.Post(step);
    } else {
      done.Set();
    }
  };
  thread.Post(step);
  ASSERT_TRUE(done.Wait(10000));
  EXPECT_EQ(depth, 5);
}

TEST(TaskThread, DestructionIsPromptWaitsForTheRunningTaskAndDiscardsPendingOnes) {
  std::atomic<bool> late_ran{false}, running_finished{false};
  Latch running;
  const auto start = Clock::now();
  {
    TaskThread thread(L"test");
    thread.Start();
    thread.PostDelayed([&] { late_ran = true; }, 5 * 60 * 1000);
    thread.Post([&] {
      running.Set();
      Sleep(300);
      running_finished = true;
    });
    ASSERT_TRUE(running.Wait(10000));
  }
  EXPECT_TRUE(running_finished);
  // Far below the pending task's five minutes, with room for a busy machine.
  EXPECT_LT(MsSince(start), 10000);
  EXPECT_FALSE(late_ran);
}

TEST(TaskThread, DestroyingAThreadThatNeverStartedDiscardsItsQueue) {
  bool ran = false;
  {
    TaskThread thread(L"test");
    thread.Post([&] { ran = true; });
  }
  EXPECT_FALSE(ran);
}

TEST(TaskThread, LastOwnerReleasedOnItsOwnThreadDetachesInsteadOfJoiningItself) {
  auto thread = std::make_shared<TaskThread>(L"test");
  thread->Start();
  std::weak_ptr<TaskThread> weak = thread;
  std::atomic<bool> discarded_ran{false};
  Latch released;
  auto* raw = thread.get();
  raw->PostDelayed([&] { discarded_ran = true; }, 200);
  // The task holds the last owner and lets go of it while it runs on the worker.
  raw->Post([&, owner = std::move(thread)]() mutable {
    owner.reset();
    released.Set();
  });
  ASSERT_TRUE(released.Wait(10000));
  EXPECT_TRUE(weak.expired());
  Sleep(400);
  EXPECT_FALSE(discarded_ran) << "the queue of a released thread must be discarded";
}

TEST(TaskThread, SeveralDelayedTasksAreWaitedForWithoutSpinning) {
  TaskThread thread(L"test");
  thread.Start();
  std::atomic<int> ran{0};
  Latch all_ran;
  for (int delay : {900, 1000, 1100}) {
    thread.PostDelayed([&] {
      if (++ran == 3) all_ran.Set();
    }, delay);
  }
  const int64_t cpu_before = ProcessCpuMs();
  ASSERT_GE(cpu_before, 0);
  Sleep(700);
  const int64_t cpu_used = ProcessCpuMs() - cpu_before;
  EXPECT_LT(cpu_used, 100) << "the worker busy-waited for its delayed tasks";
  ASSERT_TRUE(all_ran.Wait(10000));
}

}  // namespace
