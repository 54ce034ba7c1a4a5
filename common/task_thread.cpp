#include "common/task_thread.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <utility>

#include "common/logging.h"

namespace {

int64_t NowNanoseconds() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Min-heap on the due time: std::push_heap builds a max-heap, so "less" is "due later".
template <typename Entry>
bool DueLater(const Entry& a, const Entry& b) {
  return a.due > b.due;
}

}  // namespace

TaskThread::Shared::Shared(Clock clock)
    : clock(std::move(clock)), semaphore(CreateSemaphoreW(nullptr, 0, 0x7fffffff, nullptr)) {}

int64_t TaskThread::Shared::Now() const { return clock ? clock() : NowNanoseconds(); }

TaskThread::TaskThread(const std::wstring& name, Clock clock)
    : name_(name), shared_(std::make_shared<Shared>(std::move(clock))) {}

TaskThread::~TaskThread() { Stop(); }

void TaskThread::Start() {
  if (thread_) return;
  // The worker takes this lock before it runs anything, so its first task already finds id_ set.
  std::lock_guard<std::mutex> lock(shared_->mutex);
  thread_ = std::make_shared<std::thread>(&TaskThread::Run, shared_);
  id_ = thread_->get_id();
}

void TaskThread::Stop() {
  if (!shared_->stopped.exchange(true)) {
    ReleaseSemaphore(shared_->semaphore.get(), 1, nullptr);
    if (thread_ && thread_->joinable()) {
      // Joining from the worker itself would abort the process; the worker sees the stop flag as
      // soon as the current task returns and ends on its own.
      if (id_ == std::this_thread::get_id()) {
        thread_->detach();
      } else {
        thread_->join();
      }
    }
  }
  // Destroyed outside the lock: a task's captures may post again, which is dropped now.
  std::vector<Entry> discarded;
  {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    discarded.swap(shared_->queue);
  }
}

void TaskThread::Post(Task task) { Push(std::move(task), 0); }

void TaskThread::PostDelayed(Task task, int64_t delay_ms) { Push(std::move(task), delay_ms); }

void TaskThread::Push(Task task, int64_t delay_ms) {
  const int64_t due = shared_->Now() + std::max<int64_t>(delay_ms, 0) * 1000000;
  // Held locally: once the task is queued the worker may run it and the task may end this object.
  const std::shared_ptr<Shared> shared = shared_;
  {
    std::lock_guard<std::mutex> lock(shared->mutex);
    if (shared->stopped) return;
    shared->queue.push_back(Entry{due, std::move(task)});
    std::push_heap(shared->queue.begin(), shared->queue.end(), DueLater<Entry>);
  }
  ReleaseSemaphore(shared->semaphore.get(), 1, nullptr);
}

bool TaskThread::IsCurrentThread() const { return id_ == std::this_thread::get_id(); }

std::thread::id TaskThread::thread_id() const { return id_; }

// The semaphore holds one count per queued task (plus one for the stop). The worker keeps the counts it
// has taken but not yet spent on a task: a wait that ends early because of a count (a post, or another
// delayed task's count) keeps it, rather than giving it back. Giving it back would end the next timed
// wait at once again, so that a queue of several delayed tasks would spin until the first is due.
void TaskThread::Run(std::shared_ptr<Shared> shared) {
  size_t held = 0;
  for (;;) {
    if (held == 0) {
      WaitForSingleObject(shared->semaphore.get(), INFINITE);
      held = 1;
    }
    if (shared->stopped) return;

    std::unique_lock<std::mutex> lock(shared->mutex);
    if (shared->queue.empty()) {
      held = 0;
      continue;
    }

    const int64_t now = shared->Now();
    const int64_t due = shared->queue.front().due;
    if (due > now) {
      lock.unlock();
      // Rounded up so the wait does not end a fraction of a millisecond early and spin.
      const DWORD wait_ms = static_cast<DWORD>((due - now + 999999) / 1000000);
      if (WaitForSingleObject(shared->semaphore.get(), wait_ms) == WAIT_OBJECT_0) ++held;
      continue;
    }

    std::pop_heap(shared->queue.begin(), shared->queue.end(), DueLater<Entry>);
    Entry entry = std::move(shared->queue.back());
    shared->queue.pop_back();
    --held;
    lock.unlock();

    try {
      entry.task();
    } catch (const std::exception& e) {
      LOG_ERROR << "task failed: " << e.what();
    } catch (...) {
      LOG_ERROR << "task failed";
    }
  }
}
