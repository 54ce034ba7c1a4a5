// The installer helper driven as an installer drives it: loaded with LoadLibrary, in this process or in
// a host process that exits afterwards (so that its log is complete), against the loopback server.
#include <gtest/gtest.h>
#include <windows.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "common/base/com_ptr.h"
#include "common/device_info.h"
#include "common/logon_task.h"
#include "common/program_path.h"
#include "common/text.h"
#include "tests/setup_helper/kestrin_library.h"
#include "tests/support/loopback_client.h"
#include "tests/support/pe_exports.h"
#include "tests/support/test_support.h"

namespace {

using nlohmann::json;
using testing_support::LoopbackServer;
using testing_support::ProcessResult;
using testing_support::ScopedEnvironmentVariable;
using testing_support::TempDir;

std::wstring KestrinPath() { return ProgramFolder() + L"..\\loopback\\Kestrin.dll"; }


std::string Ansi(const std::wstring& text) {
  std::string ansi;
  testing_support::ToAnsi(text, &ansi);
  return ansi;
}

// Runs the host with the given steps; returns its output, and the log lines it wrote (level and text).
struct HostRun {
  ProcessResult process;
  std::vector<std::string> log;
};

HostRun RunHost(const std::wstring& steps, DWORD timeout_ms = 30000, const std::wstring& dll = KestrinPath()) {
  HostRun run;
  // The helper logs into the temporary folder it is given: each run gets a folder and so a log of its
  // own, which holds exactly this run's lines whatever else runs and however the shared log rotates.
  TempDir temp(L"kestrin-run");
  ScopedEnvironmentVariable tmp(L"TMP", temp.path()), temp_var(L"TEMP", temp.path());
  const std::wstring line = L"\"" + ProgramFolder() + L"kestrin_host.exe\" \"" + dll + L"\" " + steps;
  EXPECT_TRUE(testing_support::RunProcess(line, timeout_ms, &run.process)) << run.process.output;
  const std::string marker = "[PID:" + std::to_string(run.process.pid) + "]";
  const std::string log = testing_support::ReadFileBytes(temp.File(L"lumavex\\Kestrin.log"));
  for (const auto& l : testing_support::SplitLines(log)) {
    EXPECT_NE(l.find(marker), std::string::npos) << "a line of another process: " << l;
    const size_t text = l.find("] [lumavex_log] ");
    if (text != std::string::npos) run.log.push_back(l.substr(text + 16));
  }
  return run;
}

class KestrinE2E : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(LoopbackServer::Clear()); }
  void TearDown() override { LoopbackServer::Clear(); }
};

TEST_F(KestrinE2E, ExitEventHasLeftBeforeTheExportReturnsOtherEventsDoNot) {
  // The first answer comes after a delay that the synchronous send must wait through; the second
  // much later than any machine takes to return from a send that does not wait for it.
  constexpr unsigned kFirstAnswerMs = 3000;
  constexpr unsigned kSecondAnswerMs = 25000;
  ASSERT_TRUE(LoopbackServer::SetResponses(
      "/collection", "[{\"status\": 200, \"delay_ms\": " + std::to_string(kFirstAnswerMs) +
                         "}, {\"status\": 200, \"delay_ms\": " + std::to_string(kSecondAnswerMs) + "}]"));
  const std::string extra = testing_support::HexEncode(R"({"step":"finish","n":2})");
  HostRun run = RunHost(L"send event exit " + Utf8ToUtf16(extra) + L" - send event Exit - - free");
  const auto out = testing_support::SplitLines(run.process.output);
  ASSERT_EQ(out.size(), 3u) << run.process.output;
  // The synchronous send returns after its answer; the other before its own.
  EXPECT_GE(std::stoul(out[0].substr(5)), kFirstAnswerMs - 100) << out[0];
  EXPECT_LT(std::stoul(out[1].substr(5)), kSecondAnswerMs - 100) << out[1];

  const json events = json::parse(LoopbackServer::WaitForEvents(1));
  ASSERT_GE(events.size(), 1u);
  const json& e = events[0]["event"];
  EXPECT_EQ(e["et"], "exit");
  EXPECT_EQ(e["en"], "event");
  EXPECT_EQ(e["ea"], "lumavex");
  EXPECT_EQ(e["av"], "1.2.3");
  EXPECT_EQ(e["em"], "setup");
  EXPECT_EQ(e["mv"], "4.5.6");
  EXPECT_EQ(e["sv"], "1");
  EXPECT_EQ(e["duid"].get<std::string>().size(), 42u);
  EXPECT_EQ(e["ep"]["step"], "finish");
  EXPECT_EQ(e["ep"]["n"], 2);
  EXPECT_TRUE(e["ep"]["elapsed_time"].is_string());

  // The installer's thread logs the fields in their fixed order, only those it passed, then the way
  // the event goes; the statistics threads add only their attach and detach lines.
  std::vector<std::string> caller;
  for (const auto& l : run.log) {
    if (l.find("DLL_THREAD_") == std::string::npos) caller.push_back(l);
  }
  const std::vector<std::string> fields = {"[I] SendEventStatistics", "[I] ea:lumavex", "[I] av:1.2.3",
                                           "[I] em:setup", "[I] mv:4.5.6"};
  std::vector<std::string> expected = {"[I] DLL_PROCESS_ATTACH"};
  expected.insert(expected.end(), fields.begin(), fields.end());
  expected.push_back("[I] Send");
  expected.insert(expected.end(), fields.begin(), fields.end());
  expected.push_back("[I] AsynSend");
  expected.push_back("[I] DLL_PROCESS_DETACH");
  EXPECT_EQ(caller, expected);
}

// A collector that does not answer holds the installer's "exit" at most five seconds, and the host
// process then ends without waiting for the request still under way. The one test of the helper that
// measures its own time limit against the clock.
TEST_F(KestrinE2E, ExitEventGivesUpAfterFiveSecondsOnASilentCollector) {
  constexpr unsigned kAnswerMs = 40000;  // later than the host is given to end
  ASSERT_TRUE(LoopbackServer::SetResponses("/collection",
                                           "[{\"status\": 200, \"delay_ms\": " + std::to_string(kAnswerMs) + "}]"));
  HostRun run = RunHost(L"send event exit - - free", kAnswerMs - 5000);
  ASSERT_EQ(run.process.exit_code, 0u) << "the host waited for the answer: " << run.process.output;
  const auto out = testing_support::SplitLines(run.process.output);
  ASSERT_EQ(out.size(), 2u) << run.process.output;
  EXPECT_GE(std::stoul(out[0].substr(5)), 4900u) << out[0];
  EXPECT_EQ(json::parse(LoopbackServer::EventsJson()).size(), 1u) << "the event reached the collector";
}

TEST_F(KestrinE2E, AnsiFieldsArriveAsUtf8AndNullFieldsStayAsTheyWere) {
  if (GetACP() != 1252) GTEST_SKIP() << "needs the Western ANSI code page, this prefix has " << GetACP();
  const std::string did = "caf\xe9";  // "café" in code page 1252
  // Both sends wait, so both have arrived when the host ends; the second passes no "did".
  RunHost(L"send event exit - " + Utf8ToUtf16(testing_support::HexEncode(did)) + L" send event exit - - free");
  const json events = json::parse(LoopbackServer::WaitForEvents(2));
  ASSERT_EQ(events.size(), 2u);
  for (const auto& record : events) {
    SCOPED_TRACE(record.dump());
    EXPECT_EQ(record["event"]["did"], u8"café");
  }
}

TEST_F(KestrinE2E, FreeLibraryReturnsPromptlyWithStatisticsThreadsRunning) {
  HostRun run = RunHost(L"id send event start - - free", 20000);
  ASSERT_EQ(run.process.exit_code, 0u) << run.process.output;
  const auto out = testing_support::SplitLines(run.process.output);
  ASSERT_EQ(out.size(), 3u) << run.process.output;
  EXPECT_EQ(out[0].size(), 3u + 42u);
  EXPECT_LT(std::stoul(out[2].substr(5)), 2000u);
  ASSERT_FALSE(run.log.empty());
  EXPECT_EQ(run.log.front(), "[I] DLL_PROCESS_ATTACH");
  EXPECT_EQ(run.log.back(), "[I] DLL_PROCESS_DETACH");
  EXPECT_NE(std::find(run.log.begin(), run.log.end(), "[I] msgbox:Device Unique ID---" + out[0].substr(3)),
            run.log.end());
}

TEST_F(KestrinE2E, UnloadWithoutAnyCallLogsDetach) {
  HostRun run = RunHost(L"free");
  ASSERT_EQ(run.log.size(), 2u);
  EXPECT_EQ(run.log[0], "[I] DLL_PROCESS_ATTACH");
  EXPECT_EQ(run.log[1], "[I] DLL_PROCESS_DETACH");
}

TEST_F(KestrinE2E, NotifySetupFinishWithoutTheServiceLogsTheError) {
  HostRun run = RunHost(L"notify free");
  ASSERT_GE(run.log.size(), 3u);
  EXPECT_EQ(run.log[1], "[I] NotifySetupFinish");
  EXPECT_EQ(run.log[2], "[E] OpenEvent GetLastError:2");
}

// The task exports join a COM apartment only for the call and leave the caller's as it was.
TEST_F(KestrinE2E, ScheduledTaskExportsWorkInAnyApartmentAndReportTheirEvents) {
  KestrinLibrary kestrin(KestrinPath());
  ASSERT_TRUE(kestrin.loaded());
  TempDir dir;
  const std::string folder = Ansi(dir.path());
  const std::wstring ini = dir.File(L"config.ini");

  struct Apartment {
    const char* name;
    DWORD model;  // 0: the thread is in no apartment
  } apartments[] = {{"none", 0}, {"single-threaded", COINIT_APARTMENTTHREADED}, {"multi-threaded", COINIT_MULTITHREADED}};
  for (const auto& a : apartments) {
    SCOPED_TRACE(a.name);
    ASSERT_TRUE(LoopbackServer::Clear());
    std::thread installer([&] {
      if (a.model != 0) {
        ASSERT_EQ(CoInitializeEx(nullptr, a.model), S_OK);
      }
      EXPECT_TRUE(kestrin.CreateScheduledTask(folder.c_str()));
      EXPECT_EQ(GetPrivateProfileIntW(L"Setting", L"AutoRun", -1, ini.c_str()), 1);
      {
        ScopedComApartment check;
        EXPECT_TRUE(LogonTaskExists());
      }
      EXPECT_TRUE(kestrin.DeleteScheduledTask(folder.c_str()));
      EXPECT_EQ(GetPrivateProfileIntW(L"Setting", L"AutoRun", -1, ini.c_str()), 0);
      // Without a task the deletion still succeeds and still writes and reports.
      ASSERT_TRUE(WritePrivateProfileStringW(L"Setting", L"AutoRun", L"1", ini.c_str()));
      EXPECT_TRUE(kestrin.DeleteScheduledTask(folder.c_str()));
      EXPECT_EQ(GetPrivateProfileIntW(L"Setting", L"AutoRun", -1, ini.c_str()), 0);
      // The caller's apartment is what it was before the calls.
      const HRESULT other = CoInitializeEx(nullptr, a.model == COINIT_MULTITHREADED ? COINIT_APARTMENTTHREADED
                                                                                   : COINIT_MULTITHREADED);
      if (a.model == 0) {
        EXPECT_EQ(other, S_OK);
      } else {
        EXPECT_EQ(other, RPC_E_CHANGED_MODE);
      }
      if (SUCCEEDED(other)) CoUninitialize();
      if (a.model != 0) CoUninitialize();
    });
    installer.join();
    {
      ScopedComApartment check;
      EXPECT_FALSE(LogonTaskExists());
    }
    const json events = json::parse(LoopbackServer::WaitForEvents(3));
    ASSERT_EQ(events.size(), 3u);
    std::multiset<std::string> names;
    for (const auto& e : events) names.insert(e["event"]["et"].get<std::string>());
    EXPECT_EQ(names, (std::multiset<std::string>{"shake_enabled", "shake_disabled", "shake_disabled"}));
  }
}

TEST_F(KestrinE2E, DeviceIdMatchesTheOneTheTrayProgramComputes) {
  KestrinLibrary kestrin(KestrinPath());
  ASSERT_TRUE(kestrin.loaded());
  char id[64] = {};
  kestrin.GetDeviceUniqueID(id, sizeof(id));
  std::string own;
  ASSERT_TRUE(GetDeviceUniqueId(&own));
  EXPECT_EQ(std::string(id), own);

  // The shipping build, in an installer's process of its own, gives the same id.
  HostRun shipping = RunHost(L"id free", 30000, ProgramFolder() + L"..\\bin\\Kestrin.dll");
  EXPECT_EQ(shipping.process.output.substr(0, 3 + own.size()), "id " + own) << shipping.process.output;
}

}  // namespace
