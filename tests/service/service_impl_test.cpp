// The service object run in this process: its worker thread, window and timers for real, against the
// loopback server (upgrade API, package download, statistics), with the session list given by the test
// since Wine lists no session. The first check comes after 200 ms instead of 10 s, and the network
// limits are seconds rather than minutes.
#include <gtest/gtest.h>
#include <windows.h>
#include <aclapi.h>
#include <wtsapi32.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/registry.h"
#include "common/base/scoped_handle.h"
#include "service/service_control.h"
#include "service/service_impl.h"
#include "service/setup_finish_event.h"
#include "service/setup_package.h"
#include "tests/service/service_fixtures.h"
#include "tests/support/log_capture.h"
#include "tests/support/loopback_client.h"
#include "tests/support/registry_support.h"
#include "tests/support/test_support.h"

namespace {

using nlohmann::json;
using service_testing::kFixtureVersion;
using service_testing::Md5HexOf;
using service_testing::ReadRunRecord;
using service_testing::SetupFixtureBytes;
using testing_support::FileExists;
using testing_support::LogCapture;
using testing_support::LoopbackServer;
using testing_support::ScopedRegistryValue;

constexpr char kInstalled[] = "1.2.0.6";

const ServiceImpl::RequestLimits kTestLimits = {{3000, 3000, 3000, 3000}, 4000, 4000};

// Has the worker handle one message and answer: true once it has, false when its loop has ended.
bool RoundTrip(HWND window) {
  DWORD_PTR result = 0;
  return window != nullptr &&
         SendMessageTimeoutW(window, ServiceImpl::WM_SERVICE_RESERVED, 0, 0, SMTO_NORMAL, 15000, &result) != 0;
}

class OwnSessionSource : public SessionSource {
 public:
  bool List(std::vector<SessionEntry>* sessions) const override {
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    *sessions = {{session, true, true}};
    return true;
  }
};

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

size_t Count(const std::vector<std::string>& lines, const std::string& line) {
  return static_cast<size_t>(std::count(lines.begin(), lines.end(), line));
}

// Polls the log until `line` was written `times` times; returns every message.
std::vector<std::string> WaitForLine(LogCapture* log, const std::string& line, size_t times = 1,
                                     DWORD timeout_ms = 15000) {
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  for (;;) {
    auto messages = log->Messages();
    if (Count(messages, line) >= times || GetTickCount64() >= deadline) return messages;
    Sleep(50);
  }
}

void RemovePackageFiles(const std::string& version) {
  const std::wstring path = GetSetupPackagePath(version);
  DeleteFileW(path.c_str());
  DeleteFileW((path + L".ran").c_str());
}

json Offer(const std::string& version, const std::string& hash, const std::string& path = "/pkg/setup.exe") {
  return json{{"errno", 0},
              {"data", {{"cdn_url", LoopbackServer::Url(path)}, {"version", version}, {"hash", hash}}}};
}

class ServiceRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(log_->started());
    ASSERT_TRUE(LoopbackServer::Clear());
    ASSERT_TRUE(product_version_.SetString(L"1.2.0.6"));
    ASSERT_TRUE(distribution_id_.SetString(L"D-42"));
    ASSERT_TRUE(interval_.Remove());
    bytes_ = SetupFixtureBytes();
    ASSERT_FALSE(bytes_.empty());
    RemovePackageFiles(kFixtureVersion);
    package_ = GetSetupPackagePath(kFixtureVersion);
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    ASSERT_NE(service_testing::WaitForExplorer(session), 0u) << "no explorer.exe in this session";
  }

  void TearDown() override {
    if (service_) {
      service_->RequestStop();
      EXPECT_TRUE(service_->WaitForThread(15000));
    }
    RemovePackageFiles(kFixtureVersion);
  }

  void Start(const std::function<void(ServiceImpl*)>& configure = nullptr) {
    service_ = std::make_unique<ServiceImpl>(&sessions_);
    service_->set_first_check_delay_for_testing(200);
    service_->set_request_limits_for_testing(kTestLimits);
    if (configure) configure(service_.get());
    ASSERT_TRUE(service_->StartThread());
  }

  // Waits for the end of the first check: its timer re-armed with the regular interval.
  std::vector<std::string> WaitForFirstCheck() { return WaitForLine(log_.get(), " StartTimerCheck ", 2); }

  std::vector<std::string> Warnings() { return log_->Messages('W'); }

  size_t PackageRequests() {
    size_t count = 0;
    for (const auto& r : json::parse(LoopbackServer::RequestsJson())) count += r["path"] == "/pkg/setup.exe";
    return count;
  }

  // Replaced for each run of the service that a test makes.
  std::unique_ptr<LogCapture> log_ = std::make_unique<LogCapture>();
  ScopedRegistryValue product_version_{HKEY_LOCAL_MACHINE, kProductRegistryKey, L"ProductVersion"};
  ScopedRegistryValue distribution_id_{HKEY_LOCAL_MACHINE, kProductRegistryKey, L"DistributionID"};
  ScopedRegistryValue interval_{HKEY_LOCAL_MACHINE, kProductRegistryKey, L"check_update_interval_min"};
  OwnSessionSource sessions_;
  std::unique_ptr<ServiceImpl> service_;
  std::string bytes_;
  std::wstring package_;
};

TEST_F(ServiceRun, StartUpSendsItsEventsAndAsksTheUpgradeApi) {
  ASSERT_TRUE(LoopbackServer::SetResponses("/api/upgrade", json::array({{{"status", 500}}}).dump()));
  // The package of the installed version is deleted at start; others stay.
  const std::wstring installed = GetSetupPackagePath(kInstalled);
  ASSERT_TRUE(testing_support::WriteFileBytes(installed, "old"));
  Start();
  auto messages = WaitForFirstCheck();
  EXPECT_FALSE(FileExists(installed));

  const std::vector<std::string> expected_start = {"ThreadProc", "StartMidnightTask", " StartTimerCheck ",
                                                   "ClearCurrentVersionSetupPackage"};
  for (const auto& line : expected_start) EXPECT_TRUE(Contains(messages, line)) << line;
  EXPECT_TRUE(Contains(messages, "CheckUpdate"));
  EXPECT_TRUE(Contains(messages, "ServiceImpl::ReqSetupCfg"));
  EXPECT_EQ(Warnings(), std::vector<std::string>{"http post failed, curl_code:0 http code : 500 err_msg : "});

  // The request as the upgrade API deciphers it. This test program has no version resource.
  const json upgrades = json::parse(LoopbackServer::UpgradeRequestsJson());
  ASSERT_EQ(upgrades.size(), 1u);
  EXPECT_EQ(upgrades[0]["plain"], R"({"did":"D-42","module":"lumavex","module_version":"","product_version":"1.2.0.6"})");
  EXPECT_TRUE(Contains(messages, "req param:" + upgrades[0]["plain"].get<std::string>()));
  for (const auto& r : json::parse(LoopbackServer::RequestsJson())) {
    if (r["path"] != "/api/upgrade") continue;
    EXPECT_EQ(r["method"], "POST");
    const auto& headers = r["headers"];
    EXPECT_NE(std::find(headers.begin(), headers.end(), json::array({"User-Agent", "default 1.0"})), headers.end());
    EXPECT_NE(std::find(headers.begin(), headers.end(),
                        json::array({"Content-Type", "application/x-www-form-urlencoded"})),
              headers.end());
  }

  const json events = json::parse(LoopbackServer::WaitForEvents(2));
  ASSERT_GE(events.size(), 2u);
  std::vector<std::string> names;
  for (const auto& e : events) {
    ASSERT_TRUE(e["ok"].get<bool>()) << e.dump();
    names.push_back(e["event"]["et"]);
    EXPECT_EQ(e["event"]["ea"], "lumavex");
    EXPECT_EQ(e["event"]["em"], "service");
    EXPECT_EQ(e["event"]["av"], "1.2.0.6");
    if (e["event"]["et"] == "status_healthy") {
      EXPECT_EQ(e["event"]["first_hit"], true);
      EXPECT_EQ(e["event"]["online_days"], "0");
    }
  }
  EXPECT_TRUE(Contains(names, "start"));
  EXPECT_TRUE(Contains(names, "status_healthy"));
}

TEST_F(ServiceRun, NewerOfferIsDownloadedVerifiedAndStartedSilently) {
  ASSERT_TRUE(LoopbackServer::ServeFile("/pkg/setup.exe", bytes_));
  // The hash in lower case matches the upper-case digest.
  std::string hash = Md5HexOf(bytes_);
  std::transform(hash.begin(), hash.end(), hash.begin(), [](char c) { return static_cast<char>(tolower(c)); });
  ASSERT_TRUE(LoopbackServer::SetResponses("/api/upgrade", json::array({{{"offer", Offer(kFixtureVersion, hash)}}}).dump()));
  Start();
  const std::wstring record = ReadRunRecord(package_, 20000);
  EXPECT_EQ(record, L"\"" + package_ + L"\" /verysilent\n" + package_.substr(0, package_.find_last_of(L'\\')) + L"\n");
  auto messages = WaitForFirstCheck();
  const std::vector<std::string> sequence = {"DownloadSetupPackage", "OnDownloadSetupPackage",
                                             "OnDownloadSetupPackage Success, http code: 200",
                                             "VerifySetupPackage Result: 1", "LaunchAppIntoDifferentSession success"};
  auto at = messages.begin();
  for (const auto& line : sequence) {
    at = std::find(at, messages.end(), line);
    EXPECT_NE(at, messages.end()) << line;
  }
  // A started package stays until the product reaches its version.
  EXPECT_TRUE(FileExists(package_));
  EXPECT_EQ(PackageRequests(), 1u);
}

TEST_F(ServiceRun, SoundPackageOnDiskIsStartedWithoutDownload) {
  ASSERT_TRUE(testing_support::WriteFileBytes(package_, bytes_));
  ASSERT_TRUE(LoopbackServer::SetResponses("/api/upgrade",
                                           json::array({{{"offer", Offer(kFixtureVersion, Md5HexOf(bytes_))}}}).dump()));
  Start();
  EXPECT_FALSE(ReadRunRecord(package_, 20000).empty());
  auto messages = WaitForFirstCheck();
  EXPECT_TRUE(Contains(messages, "LaunchAppIntoDifferentSession success "));
  EXPECT_EQ(PackageRequests(), 0u);
}

// One check per case; each ends with the regular interval and leaves no package behind.
TEST_F(ServiceRun, AnswerAndDownloadFailures) {
  const std::string digest = Md5HexOf(bytes_);
  struct Case {
    const char* name;
    json upgrade_answers;
    json package_answers;
    std::vector<std::string> warnings;
    size_t package_requests;
  };
  const std::vector<Case> cases = {
      {"same version", json::array({{{"offer", Offer(kInstalled, digest)}}}), json::array(), {" no need update "}, 0},
      {"errno", json::array({{{"offer", json{{"errno", 7}}}}}), json::array(), {}, 0},
      {"slow answer", json::array({{{"delay_ms", 1500}, {"offer", Offer(kInstalled, digest)}}}), json::array(),
       {" no need update "}, 0},
      {"cut answer", json::array({{{"offer", Offer(kFixtureVersion, digest)}, {"cut", 10}}}), json::array(), {}, 0},
      // No download can start; the check timer is armed again all the same.
      {"package address without host",
       json::array({{{"offer", json{{"errno", 0}, {"data", {{"cdn_url", "http:///setup.exe"}, {"version", kFixtureVersion}, {"hash", digest}}}}}}}),
       json::array(), {"no warning"}, 0},
      {"package missing", json::array({{{"offer", Offer(kFixtureVersion, digest)}}}),
       json::array({{{"status", 404}}}),
       {"OnDownloadSetupPackage", "OnDownloadSetupPackage Failed, http code:404"}, 1},
      {"package cut short", json::array({{{"offer", Offer(kFixtureVersion, digest)}}}),
       json::array({{{"cut", 1000}}}),
       {"OnDownloadSetupPackage", "OnDownloadSetupPackage Success, http code: 200", "delete old setup package file",
        "VerifySetupPackage Failed "},
       1},
      {"package of another digest", json::array({{{"offer", Offer(kFixtureVersion, std::string(32, 'B'))}}}),
       json::array(),
       {"OnDownloadSetupPackage", "OnDownloadSetupPackage Success, http code: 200",
        "old md5 not equal cfg. file md5: " + digest + ",cfg hash : " + std::string(32, 'B'),
        "delete old setup package file", "VerifySetupPackage Failed "},
       1},
      // Such a package could never verify: it would be fetched and deleted at every check.
      {"offer without a hash", json::array({{{"offer", Offer(kFixtureVersion, "")}}}), json::array(),
       {std::string("offer refused, no package hash: ") + kFixtureVersion}, 0},
      {"offer whose hash is not one", json::array({{{"offer", Offer(kFixtureVersion, "../setup.exe")}}}),
       json::array(), {}, 0},
      {"answer of garbage", json::array({{{"status", 200}, {"body", std::string(50000, '\x01')}}}), json::array(),
       {}, 0},
      // The answer is read up to a small limit, not into memory without end.
      {"oversized answer", json::array({{{"status", 200}, {"body", std::string(200000, 'A')}}}), json::array(),
       {"http post failed, curl_code:0 http code : 200 err_msg : "}, 0},
      {"silent upgrade API", json::array({{{"delay_ms", 9000}, {"offer", Offer(kFixtureVersion, digest)}}}),
       json::array(), {"http post failed, curl_code:0 http code : 0 err_msg : "}, 0},
      {"answer trickling past the deadline",
       json::array({{{"trickle_ms", 100}, {"offer", Offer(kFixtureVersion, digest)}}}), json::array(),
       {"upgrade check abandoned at its deadline", "http post failed, curl_code:0 http code : 200 err_msg : "}, 0},
      {"silent package server", json::array({{{"offer", Offer(kFixtureVersion, digest)}}}),
       json::array({{{"delay_ms", 9000}}}), {"OnDownloadSetupPackage", "OnDownloadSetupPackage Failed, http code:0"},
       1},
      // The part already written goes with the abandoned download.
      {"package trickling past the deadline", json::array({{{"offer", Offer(kFixtureVersion, digest)}}}),
       json::array({{{"trickle_ms", 20}}}),
       {"OnDownloadSetupPackage", "OnDownloadSetupPackage Failed, http code:200",
        "package download abandoned at its deadline"},
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(LoopbackServer::Clear());
    ASSERT_TRUE(LoopbackServer::ServeFile("/pkg/setup.exe", bytes_));
    if (!c.package_answers.empty()) {
      ASSERT_TRUE(LoopbackServer::SetResponses("/pkg/setup.exe", c.package_answers.dump()));
    }
    ASSERT_TRUE(LoopbackServer::SetResponses("/api/upgrade", c.upgrade_answers.dump()));
    log_.reset();  // the old capture drops every logger as it goes
    log_ = std::make_unique<LogCapture>();
    Start();
    WaitForFirstCheck();
    service_->RequestStop();
    ASSERT_TRUE(service_->WaitForThread(15000));
    service_.reset();

    auto warnings = Warnings();
    // Answers that do not parse log the start of the body they came with.
    if (c.warnings.empty()) {
      ASSERT_EQ(warnings.size(), 1u);
      EXPECT_EQ(warnings[0].rfind("parse udpate cfg failed: ", 0), 0u) << warnings[0];
      EXPECT_LT(warnings[0].size(), 1500u);
    } else if (c.warnings == std::vector<std::string>{"no warning"}) {
      EXPECT_TRUE(warnings.empty());
    } else {
      EXPECT_EQ(warnings, c.warnings);
    }
    EXPECT_EQ(PackageRequests(), c.package_requests);
    EXPECT_FALSE(FileExists(package_));
    EXPECT_FALSE(FileExists(package_ + L".ran"));
  }
}

TEST_F(ServiceRun, SetupFinishEventIsHandledOncePerSignal) {
  ASSERT_TRUE(LoopbackServer::SetResponses("/api/upgrade", json::array({{{"status", 500}}}).dump()));
  // The test makes the polls itself, so that none falls between the two signals.
  Start([](ServiceImpl* service) { service->set_setup_finish_poll_for_testing(3600000); });
  WaitForFirstCheck();
  const HWND window = service_->window_for_testing();
  ASSERT_TRUE(product_version_.SetString(L"1.2.0.7"));
  HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, L"Global\\LumavexSetupFinish");
  ASSERT_NE(event, nullptr) << GetLastError();
  // Two signals before one poll are one finished setup.
  SetEvent(event);
  SetEvent(event);
  // Each poll is sent, so it has been handled when the call returns: a posted poll followed by a sent
  // round trip may be overtaken by it, since a thread handles sent messages before posted ones.
  for (int poll = 0; poll < 2; ++poll) {
    DWORD_PTR result = 0;
    ASSERT_NE(SendMessageTimeoutW(window, WM_TIMER, ServiceImpl::TIMER_SETUP_FINISH, 0, SMTO_NORMAL, 15000, &result),
              0);
  }
  const auto messages = log_->Messages();
  EXPECT_EQ(Count(messages, "found setup finish!"), 1u);
  EXPECT_EQ(Count(messages, " product_version_: 1.2.0.7"), 1u);
  CloseHandle(event);

  // SYSTEM and Administrators hold every right; everyone else may only set the event and wait for it.
  HANDLE readable = OpenEventW(READ_CONTROL, FALSE, L"Global\\LumavexSetupFinish");
  ASSERT_NE(readable, nullptr);
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_EQ(GetSecurityInfo(readable, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                            &descriptor),
            static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_NE(dacl, nullptr);
  std::vector<std::pair<WELL_KNOWN_SID_TYPE, ACCESS_MASK>> granted;
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    ACCESS_ALLOWED_ACE* ace = nullptr;
    ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
    ASSERT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
    const PSID sid = &ace->SidStart;
    for (WELL_KNOWN_SID_TYPE type : {WinLocalSystemSid, WinBuiltinAdministratorsSid, WinWorldSid}) {
      if (IsWellKnownSid(sid, type)) granted.emplace_back(type, ace->Mask);
    }
  }
  LocalFree(descriptor);
  CloseHandle(readable);
  ASSERT_EQ(granted.size(), 3u);
  EXPECT_EQ(granted[0].first, WinLocalSystemSid);
  EXPECT_EQ(granted[1].first, WinBuiltinAdministratorsSid);
  EXPECT_EQ(granted[2], std::make_pair(WinWorldSid, static_cast<ACCESS_MASK>(EVENT_MODIFY_STATE | SYNCHRONIZE)));
}

// The two guards of a package download: the answer is written only into a file the task creates, and
// an answer longer than allowed fails the task.
TEST(PackageDownload, NeverWritesThroughAnExistingFileAndStopsAtItsLimit) {
  testing_support::TempDir temp;
  ASSERT_TRUE(LoopbackServer::Clear());
  ASSERT_TRUE(LoopbackServer::ServeFile("/pkg/big.exe", std::string(5000, 'x')));
  struct Case {
    const char* name;
    bool planted;
    uint64_t limit;
    WinHttpTask::Status status;
  };
  const Case cases[] = {
      {"fits", false, 5000, WinHttpTask::kSucceeded},
      {"one byte over", false, 4999, WinHttpTask::kFailed},
      {"file already there", true, 0, WinHttpTask::kFailed},
  };
  for (const Case& c : cases) {
    const std::wstring path = temp.File(L"setup.exe");
    DeleteFileW(path.c_str());
    if (c.planted) {
      ASSERT_TRUE(testing_support::WriteFileBytes(path, "planted"));
    }
    WinHttpTask task;
    ASSERT_TRUE(task.CrackUrl(LoopbackServer::Url("/pkg/big.exe"), WinHttpTask::kGet));
    task.set_output_path(path);
    task.set_output_create_new(true);
    task.set_max_length(c.limit);
    ASSERT_TRUE(task.Start());
    ASSERT_EQ(WaitForSingleObject(task.done_event(), 10000), WAIT_OBJECT_0) << c.name;
    EXPECT_EQ(task.state(), c.status) << c.name;
    if (c.planted) {
      EXPECT_EQ(testing_support::ReadFileBytes(path), "planted");
    }
    if (c.status == WinHttpTask::kSucceeded) {
      EXPECT_EQ(testing_support::ReadFileBytes(path).size(), 5000u);
    }
  }
}

// The worker's loop: it sleeps while nothing happens, keeps the order of what is posted, and ends on a
// stop whenever that comes.
TEST_F(ServiceRun, AStopRightAfterStartEndsTheWorker) {
  ASSERT_TRUE(LoopbackServer::SetResponses("/api/upgrade", json::array({{{"status", 500}}}).dump()));
  // Rounds, because where the stop lands in the worker's start-up varies.
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(round);
    ServiceImpl service(&sessions_);
    service.set_first_check_delay_for_testing(3600000);
    ASSERT_TRUE(service.StartThread());
    service.RequestStop();
    ASSERT_TRUE(service.WaitForThread(15000)) << "the worker ran on after the stop";
  }
}

LRESULT CALLBACK RecordBurst(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
WNDPROC g_service_proc = nullptr;
std::vector<WPARAM> g_burst;
HANDLE g_burst_done = nullptr;
constexpr UINT kBurstMessage = WM_APP + 7;
constexpr WPARAM kBurstSize = 3000;

LRESULT CALLBACK RecordBurst(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kBurstMessage) {
    g_burst.push_back(wparam);
    if (g_burst.size() == kBurstSize) SetEvent(g_burst_done);
    return 0;
  }
  return CallWindowProcW(g_service_proc, window, message, wparam, lparam);
}

TEST_F(ServiceRun, IdleWorkerSleepsAndABurstOfMessagesIsHandledInOrder) {
  ASSERT_TRUE(LoopbackServer::SetResponses("/api/upgrade", json::array({{{"status", 500}}}).dump()));
  Start();
  WaitForFirstCheck();
  const HWND window = service_->window_for_testing();
  ASSERT_NE(window, nullptr);

  // Only its own timer (every 2 s) wakes an idle worker; a polling loop wakes a thousand times a second.
  const uint64_t before = service_->wakeups();
  Sleep(1000);
  EXPECT_LT(service_->wakeups() - before, 20u);

  g_burst.clear();
  ScopedHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  g_burst_done = done.get();
  g_service_proc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordBurst)));
  ASSERT_NE(g_service_proc, nullptr);
  for (WPARAM i = 0; i < kBurstSize; ++i) ASSERT_TRUE(PostMessageW(window, kBurstMessage, i, 0)) << i;
  ASSERT_EQ(WaitForSingleObject(done.get(), 30000), WAIT_OBJECT_0) << g_burst.size() << " handled";
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_service_proc));
  std::vector<WPARAM> expected(kBurstSize);
  for (WPARAM i = 0; i < kBurstSize; ++i) expected[i] = i;
  EXPECT_EQ(g_burst, expected);
}

TEST(OnlineDays, WholeDaysOfUptime) {
  constexpr int64_t kHour = 36000000000LL;
  EXPECT_EQ(OnlineDays(0, 23 * kHour + 59 * kHour / 60), 0);
  EXPECT_EQ(OnlineDays(0, 24 * kHour), 1);
  EXPECT_EQ(OnlineDays(5, 48 * kHour + 5), 2);
  // A clock set back gives 0 or less, never a huge count.
  EXPECT_EQ(OnlineDays(24 * kHour, 0), -1);
  EXPECT_EQ(OnlineDays(kHour, 0), 0);
}

// The control handler of the process's own service object, driven directly: Wine's service host never
// sends session changes. The first check is an hour away and a logon's comes after 300 ms, so the
// check that follows is the logon's.
TEST(ControlHandler, StopOnlyWhileRunningAndLogonDelaysTheCheck) {
  LogCapture log;
  ASSERT_TRUE(LoopbackServer::Clear());
  ASSERT_TRUE(LoopbackServer::SetResponses("/api/upgrade", json::array({{{"status", 500}}}).dump()));
  ServiceImpl* service = ServiceImpl::GetInstance();
  service->set_first_check_delay_for_testing(3600000);
  service->set_logon_check_delay_for_testing(300);
  ASSERT_TRUE(service->StartThread());
  WaitForLine(&log, " StartTimerCheck ", 1, 15000);

  SetServiceStateForTesting(SERVICE_START_PENDING);
  ServiceCtrlHandlerEx(SERVICE_CONTROL_STOP, 0, nullptr, nullptr);
  EXPECT_TRUE(RoundTrip(service->window_for_testing())) << "a stop before RUNNING was obeyed";
  EXPECT_EQ(CurrentServiceState(), static_cast<DWORD>(SERVICE_START_PENDING));

  ServiceCtrlHandlerEx(SERVICE_CONTROL_SESSIONCHANGE, WTS_SESSION_LOGOFF, nullptr, nullptr);
  ServiceCtrlHandlerEx(SERVICE_CONTROL_SESSIONCHANGE, WTS_SESSION_LOGON, nullptr, nullptr);
  // The check's end re-arms the timer a second time.
  auto messages = WaitForLine(&log, " StartTimerCheck ", 2);
  EXPECT_EQ(Count(messages, "WTS_SESSION_LOGON"), 1u);
  EXPECT_EQ(Count(messages, "DelayCheckUpdate"), 1u);
  EXPECT_EQ(Count(messages, "CheckUpdate"), 1u);
  EXPECT_EQ(json::parse(LoopbackServer::UpgradeRequestsJson()).size(), 1u);

  SetServiceStateForTesting(SERVICE_RUNNING);
  ServiceCtrlHandlerEx(SERVICE_CONTROL_STOP, 0, nullptr, nullptr);
  EXPECT_EQ(CurrentServiceState(), static_cast<DWORD>(SERVICE_STOP_PENDING));
  EXPECT_TRUE(service->WaitForThread(5000));
}

}  // namespace
