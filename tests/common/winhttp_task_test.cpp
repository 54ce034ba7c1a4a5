#include "common/winhttp_task.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "common/collector_http.h"
#include "common/base/scoped_handle.h"
#include "tests/support/loopback_client.h"
#include "tests/support/test_support.h"

namespace {

using testing_support::LoopbackServer;
using testing_support::MillisecondsSince;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using Clock = std::chrono::steady_clock;


std::string RandomBytes(size_t size) {
  std::mt19937 random(12345);
  std::string bytes(size, '\0');
  for (auto& b : bytes) b = static_cast<char>(random());
  return bytes;
}

// Records every status reported and lets the test wait for the final one.
class RecordingListener : public WinHttpTask::Listener {
 public:
  RecordingListener() : done_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

  void OnTaskComplete(WinHttpTask* task, WinHttpTask::Status status) override {
    std::function<void()> on_final;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      statuses_.push_back(status);
      if (status == WinHttpTask::kRunning) return;
      task_state_ = task->state();
      on_final = on_final_;
    }
    if (on_final) on_final();
    SetEvent(done_.get());
  }

  bool WaitFinal(DWORD ms) { return WaitForSingleObject(done_.get(), ms) == WAIT_OBJECT_0; }
  std::vector<WinHttpTask::Status> statuses() {
    std::lock_guard<std::mutex> lock(mutex_);
    return statuses_;
  }
  void set_on_final(std::function<void()> f) { on_final_ = std::move(f); }

 private:
  std::mutex mutex_;
  ScopedHandle done_;
  std::vector<WinHttpTask::Status> statuses_;
  WinHttpTask::Status task_state_ = WinHttpTask::kNotStarted;
  std::function<void()> on_final_;
};

std::shared_ptr<WinHttpTask> MakeTask(RecordingListener* listener, WinHttpTask::Verb verb, const std::wstring& path,
                                      uint16_t port = LoopbackServer::Port()) {
  auto task = std::make_shared<WinHttpTask>();
  task->set_listener(listener);
  task->set_host(L"127.0.0.1");
  task->set_port(port);
  task->set_path(path);
  task->set_verb(verb);
  task->set_agent(L"default 1.0");
  return task;
}

class WinHttpTaskTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(LoopbackServer::Clear()) << "the loopback server does not answer"; }
};

TEST_F(WinHttpTaskTest, OnlyHttp200Succeeds) {
  struct Case {
    int status;
    WinHttpTask::Status expected;
  };
  for (const Case& c : {Case{200, WinHttpTask::kSucceeded}, Case{204, WinHttpTask::kFailed},
                        Case{404, WinHttpTask::kFailed}, Case{500, WinHttpTask::kFailed}}) {
    SCOPED_TRACE(c.status);
    ASSERT_TRUE(LoopbackServer::SetResponses(
        "/answer", "[{\"status\":" + std::to_string(c.status) + ",\"body\":\"payload\"}]"));
    RecordingListener listener;
    auto task = MakeTask(&listener, WinHttpTask::kGet, L"/answer");
    ASSERT_TRUE(task->Start());
    ASSERT_TRUE(listener.WaitFinal(10000));
    EXPECT_EQ(WaitForSingleObject(task->done_event(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(listener.statuses(), (std::vector<WinHttpTask::Status>{WinHttpTask::kRunning, c.expected}));
    EXPECT_EQ(task->state(), c.expected);
    EXPECT_EQ(task->http_status(), static_cast<DWORD>(c.status));
    EXPECT_EQ(task->response(), c.expected == WinHttpTask::kSucceeded ? "payload" : "");
  }
}

TEST_F(WinHttpTaskTest, MultiMegabyteBodiesArriveByteExactInMemoryAndInAFile) {
  const std::string body = RandomBytes(3 * 1024 * 1024 + 123);
  ASSERT_TRUE(LoopbackServer::ServeFile("/big.bin", body));

  RecordingListener memory_listener;
  auto memory = MakeTask(&memory_listener, WinHttpTask::kGet, L"/big.bin");
  ASSERT_TRUE(memory->Start());
  ASSERT_TRUE(memory_listener.WaitFinal(30000));
  ASSERT_EQ(memory->state(), WinHttpTask::kSucceeded);
  ASSERT_EQ(memory->length(), body.size());
  EXPECT_TRUE(memory->response() == body);
  EXPECT_EQ(memory->data()[memory->length()], '\0');
  EXPECT_GT(memory->capacity(), memory->length());

  TempDir dir;
  RecordingListener file_listener;
  auto to_file = MakeTask(&file_listener, WinHttpTask::kGet, L"/big.bin");
  to_file->set_output_path(dir.File(L"big.bin"));
  ASSERT_TRUE(to_file->Start());
  ASSERT_TRUE(file_listener.WaitFinal(30000));
  ASSERT_EQ(to_file->state(), WinHttpTask::kSucceeded);
  EXPECT_EQ(to_file->length(), 0u);
  EXPECT_TRUE(ReadFileBytes(dir.File(L"big.bin")) == body);
}

TEST_F(WinHttpTaskTest, ABodyCutShortAfter200KeepsWhatArrivedUnlessTheTransferBroke) {
  const std::string body = RandomBytes(5000);
  ASSERT_TRUE(LoopbackServer::ServeFile("/cut.bin", body));
  struct Case {
    const char* name;
    const char* answer;
    WinHttpTask::Status expected;
  };
  for (const Case& c : {Case{"closed early", "[{\"status\":200,\"cut\":1000}]", WinHttpTask::kSucceeded},
                        Case{"reset", "[{\"status\":200,\"cut\":1000,\"reset\":true}]", WinHttpTask::kFailed}}) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(LoopbackServer::SetResponses("/cut.bin", c.answer));
    RecordingListener listener;
    auto task = MakeTask(&listener, WinHttpTask::kGet, L"/cut.bin");
    ASSERT_TRUE(task->Start());
    ASSERT_TRUE(listener.WaitFinal(10000));
    EXPECT_EQ(task->state(), c.expected);
    if (c.expected == WinHttpTask::kSucceeded) {
      EXPECT_TRUE(task->response() == body.substr(0, 1000));
    }
  }
}

TEST_F(WinHttpTaskTest, PostSendsTheBodyWithTheFormContentTypeOnlyWhenThereIsOne) {
  for (const std::string& body : {std::string("a=1&b=\xE4\xB8\xAD"), std::string()}) {
    SCOPED_TRACE(body.size());
    ASSERT_TRUE(LoopbackServer::Clear());
    RecordingListener listener;
    auto task = MakeTask(&listener, WinHttpTask::kPost, L"/api/upgrade");
    task->set_body(body);
    ASSERT_TRUE(LoopbackServer::SetResponses("/api/upgrade", "[{\"status\":200}]"));
    ASSERT_TRUE(task->Start());
    ASSERT_TRUE(listener.WaitFinal(10000));
    EXPECT_EQ(task->state(), WinHttpTask::kSucceeded);

    const auto requests = nlohmann::json::parse(LoopbackServer::RequestsJson());
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0]["method"], "POST");
    EXPECT_EQ(requests[0]["path"], "/api/upgrade");
    std::map<std::string, std::string> headers;
    for (const auto& h : requests[0]["headers"]) headers[h[0].get<std::string>()] = h[1].get<std::string>();
    EXPECT_EQ(headers["User-Agent"], "default 1.0");
    if (body.empty()) {
      EXPECT_EQ(headers.count("Content-Type"), 0u);
      EXPECT_EQ(requests[0]["body_b64"], "");
    } else {
      EXPECT_EQ(headers["Content-Type"], "application/x-www-form-urlencoded");
      EXPECT_EQ(requests[0]["body_b64"], "YT0xJmI95Lit");
    }
  }
}

TEST_F(WinHttpTaskTest, FailuresOfTheConnectionOrTheOutputFileEndAsFailed) {
  ASSERT_TRUE(LoopbackServer::ServeFile("/small.bin", "abc"));
  TempDir dir;
  {
    SCOPED_TRACE("refused port");
    RecordingListener listener;
    auto task = MakeTask(&listener, WinHttpTask::kGet, L"/small.bin", 1);
    ASSERT_TRUE(task->Start());
    ASSERT_TRUE(listener.WaitFinal(30000));
    EXPECT_EQ(task->state(), WinHttpTask::kFailed);
  }
  {
    SCOPED_TRACE("output folder missing");
    RecordingListener listener;
    auto task = MakeTask(&listener, WinHttpTask::kGet, L"/small.bin");
    task->set_output_path(dir.File(L"missing\\small.bin"));
    ASSERT_TRUE(task->Start());
    ASSERT_TRUE(listener.WaitFinal(10000));
    EXPECT_EQ(task->state(), WinHttpTask::kFailed);
  }
}

TEST_F(WinHttpTaskTest, AFailedWriteToTheOutputFileFailsTheTask) {
  ASSERT_TRUE(LoopbackServer::ServeFile("/big.bin", RandomBytes(1024 * 1024)));
  // The output "file" is a pipe whose other end goes away once the task has opened it: every write
  // after that fails, as on a full or vanished disk.
  const wchar_t kPipe[] = L"\\\\.\\pipe\\lumavex-winhttp-write-test";
  const ScopedHandle owned_pipe(
      CreateNamedPipeW(kPipe, PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr));
  ASSERT_TRUE(owned_pipe.valid());
  HANDLE pipe = owned_pipe.get();
  std::thread server([pipe] {
    ConnectNamedPipe(pipe, nullptr);
    DisconnectNamedPipe(pipe);
  });
  RecordingListener listener;
  auto task = MakeTask(&listener, WinHttpTask::kGet, L"/big.bin");
  task->set_output_path(kPipe);
  ASSERT_TRUE(task->Start());
  ASSERT_TRUE(listener.WaitFinal(10000));
  server.join();
  EXPECT_EQ(task->http_status(), 200u);
  EXPECT_EQ(task->state(), WinHttpTask::kFailed);
}

// Each case would succeed, late, without its limit: a server that says nothing is cut off by the
// receive timeout, one that trickles its answer by the deadline, which leaves a prompt answer alone.
TEST_F(WinHttpTaskTest, StepsTimeOutAndTheWholeExchangeHasADeadline) {
  const WinHttpTask::Timeouts quick = {2000, 2000, 2000, 1000};
  struct Case {
    const char* name;
    const char* answers;
    WinHttpTask::Timeouts timeouts;
    DWORD deadline_ms;
    WinHttpTask::Status status;
    bool deadline_passed;
  };
  const std::string trickle = "[{\"status\":200,\"trickle_ms\":100,\"body\":\"" + std::string(300, 'x') + "\"}]";
  const Case cases[] = {
      {"silent", "[{\"status\":200,\"delay_ms\":6000,\"body\":\"late\"}]", quick, 0, WinHttpTask::kFailed, false},
      {"trickling", trickle.c_str(), WinHttpTask::kDefaultTimeouts, 1500, WinHttpTask::kFailed, true},
      {"prompt", "[{\"status\":200,\"body\":\"ok\"}]", quick, 5000, WinHttpTask::kSucceeded, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(LoopbackServer::SetResponses("/limited", c.answers));
    RecordingListener listener;
    auto task = MakeTask(&listener, WinHttpTask::kGet, L"/limited");
    task->set_timeouts(c.timeouts);
    task->set_deadline_ms(c.deadline_ms);
    ASSERT_TRUE(task->Start());
    ASSERT_TRUE(listener.WaitFinal(60000));
    EXPECT_EQ(task->state(), c.status);
    EXPECT_EQ(task->deadline_passed(), c.deadline_passed);
    if (c.status == WinHttpTask::kSucceeded) {
      EXPECT_EQ(task->response(), "ok");
    }
  }
}

// A name whose DNS server takes the query and never answers (tools/hanging-resolver.sh): the system's
// resolver alone would wait minutes. Either limit ends the request long before the wait below runs out:
// the resolve timeout by itself, and the deadline while resolving is allowed longer than that wait
// (Wine does not give up a name being resolved when the deadline closes the handles).
TEST_F(WinHttpTaskTest, ANameThatNeverResolvesEndsAtTheResolveTimeoutOrTheDeadline) {
  if (GetEnvironmentVariableW(L"LUMAVEX_HANGING_RESOLVER", nullptr, 0) == 0) {
    GTEST_SKIP() << "needs a resolver that never answers (tools/hanging-resolver.sh, run as root)";
  }
  struct Case {
    const char* name;
    WinHttpTask::Timeouts timeouts;
    DWORD deadline_ms;
  };
  const Case cases[] = {
      {"resolve timeout", {1500, 2000, 2000, 2000}, 0},
      {"deadline", {120000, 2000, 2000, 2000}, 1500},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingListener listener;
    auto task = MakeTask(&listener, WinHttpTask::kGet, L"/offer");
    task->set_host(L"updates.lumavex.invalid");
    task->set_timeouts(c.timeouts);
    task->set_deadline_ms(c.deadline_ms);
    ASSERT_TRUE(task->Start());
    ASSERT_TRUE(listener.WaitFinal(60000)) << "still resolving";
    EXPECT_EQ(task->state(), WinHttpTask::kFailed);
  }
}

TEST_F(WinHttpTaskTest, ReleasingTheTaskFromItsCompletionHandlerDoesNotWaitForItself) {
  ASSERT_TRUE(LoopbackServer::ServeFile("/small.bin", "abc"));
  RecordingListener listener;
  auto task = MakeTask(&listener, WinHttpTask::kGet, L"/small.bin");
  listener.set_on_final([&] { task.reset(); });
  const auto start = Clock::now();
  ASSERT_TRUE(task->Start());
  ASSERT_TRUE(listener.WaitFinal(30000));
  // Waiting for itself would take the destructor's ten seconds.
  EXPECT_LT(MillisecondsSince(start), 8000);
  EXPECT_EQ(task, nullptr);
}

TEST_F(WinHttpTaskTest, DestroyingAHangingTaskCancelsTheRequestAndWaitsForItsThread) {
  // The answer comes after the destructor's own wait has run out.
  ASSERT_TRUE(LoopbackServer::SetResponses("/slow", "[{\"status\":200,\"delay_ms\":13000,\"body\":\"late\"}]"));
  RecordingListener listener;
  auto task = MakeTask(&listener, WinHttpTask::kGet, L"/slow");
  ASSERT_TRUE(task->Start());
  Sleep(200);
  const auto start = Clock::now();
  task.reset();
  const int64_t took = MillisecondsSince(start);
  EXPECT_GE(took, 9500);
  // Windows returns from the blocked call as soon as its handle is closed; Wine only once the server
  // answers. Either way the task's memory outlives its thread.
  EXPECT_LT(took, 20000);
  ASSERT_TRUE(listener.WaitFinal(0)) << "the task was freed while its request thread still ran";
  EXPECT_EQ(listener.statuses().back(), WinHttpTask::kFailed) << "a cancelled request is no success";
}

}  // namespace
