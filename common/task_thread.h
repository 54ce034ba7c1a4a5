#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/base/scoped_handle.h"

// A worker thread with a queue of tasks ordered by due time. Owners move their bookkeeping onto it so
// that their state is touched by one thread only, and use delayed posts for retries.
//
// Destruction stops the thread: a task that is running finishes first, tasks still queued are
// discarded without running. When the last owner lets go on the worker thread itself (from inside one
// of its tasks), the thread is detached instead of joined and ends on its own once that task returns.
class TaskThread {
 public:
  using Task = std::function<void()>;
  // Monotonic nanoseconds: what due times are measured on. The worker waits in real time for the
  // difference it reads on this clock and reads it again whenever a post wakes it, so a test that
  // moves a clock of its own posts an empty task to have the worker look at the new time.
  using Clock = std::function<int64_t()>;

  // `clock` defaults to the steady clock.
  explicit TaskThread(const std::wstring& name, Clock clock = nullptr);
  ~TaskThread();
  TaskThread(const TaskThread&) = delete;
  TaskThread& operator=(const TaskThread&) = delete;

  // Creates the worker thread. Called once; throws std::system_error when the thread cannot be made.
  void Start();

  // Queues a task to run as soon as the worker is free. Any thread may post, a task included.
  void Post(Task task);
  // Queues a task to run once delay_ms milliseconds have passed.
  void PostDelayed(Task task, int64_t delay_ms);

  // Stops the worker as destruction does: the running task finishes (joined, or detached when called
  // on the worker itself), queued tasks are discarded, and later posts are dropped. Lets an owner end
  // the thread before it tears down the state that the thread's tasks use.
  void Stop();

  // Whether the caller runs on the worker thread.
  bool IsCurrentThread() const;
  std::thread::id thread_id() const;
  const std::wstring& name() const { return name_; }

 private:
  struct Entry {
    int64_t due;  // nanoseconds on the thread's clock
    Task task;
  };
  // What the worker thread uses lives apart from the object, so that a detached worker can finish
  // its last pass after the object is gone.
  struct Shared {
    explicit Shared(Clock clock);
    int64_t Now() const;
    const Clock clock;
    std::vector<Entry> queue;  // binary min-heap on `due`
    std::mutex mutex;
    ScopedHandle semaphore;
    std::atomic<bool> stopped{false};
  };

  static void Run(std::shared_ptr<Shared> shared);
  void Push(Task task, int64_t delay_ms);

  std::shared_ptr<std::thread> thread_;
  // Kept apart from thread_: it stays readable from any thread after a detach.
  std::thread::id id_;
  std::wstring name_;
  std::shared_ptr<Shared> shared_;
};
