// The built tray program as a whole: what both variants carry, and one run of the loopback build from
// start to the installer's quit broadcast.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "common/program_path.h"
#include "common/registry.h"
#include "common/text.h"
#include "tests/app/lumavex_driver.h"
#include "tests/support/loopback_client.h"

namespace {

using nlohmann::json;
using testing_support::LoopbackServer;
using testing_support::LumavexInstall;
using testing_support::LumavexProcess;
using testing_support::ResourceBytes;

TEST(LumavexProgram, BothVariantsCarryTheirResourcesAndAskForAdministratorRights) {
  for (const wchar_t* variant : {L"bin", L"loopback"}) {
    const std::wstring path = ProgramFolder() + L"..\\" + variant + L"\\Lumavex.exe";
    SCOPED_TRACE(Utf16ToUtf8(path));
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr) << GetLastError();
    const std::string manifest = ResourceBytes(module, RT_MANIFEST, MAKEINTRESOURCEW(1));
    EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos) << manifest;
    EXPECT_GT(ResourceBytes(module, L"ZIPRES", MAKEINTRESOURCEW(137)).size(), 1000u) << "skin package";
    EXPECT_EQ(ResourceBytes(module, L"PNG", MAKEINTRESOURCEW(148)).substr(1, 3), "PNG") << "cursor image";
    EXPECT_FALSE(ResourceBytes(module, RT_GROUP_ICON, MAKEINTRESOURCEW(130)).empty()) << "icon";
    FreeLibrary(module);
    std::wstring version;
    EXPECT_TRUE(GetFileVersionString(path, &version));
    EXPECT_FALSE(version.empty());
  }
}

std::vector<std::string> EventNames() {
  std::vector<std::string> names;
  for (const auto& record : json::parse(LoopbackServer::EventsJson())) {
    names.push_back(record["event"].value("et", ""));
  }
  return names;
}

// A cold start reports "start" with the program's own version, runs until the installer broadcasts
// its quit message, reports "exit" on the way out and ends with code 0, leaving the name of the
// single-instance mutex free. An option it does not know is noted in the log and changes nothing.
TEST(LumavexProgram, StartsAndQuitsOnTheBroadcast) {
  ASSERT_TRUE(LoopbackServer::Clear()) << "the loopback server does not answer";
  LumavexInstall install;
  ASSERT_TRUE(install.ready());
  LumavexProcess program(install, L"--verysilent");
  ASSERT_TRUE(program.started());
  ASSERT_NE(program.WaitForWindow(L"LumavexMainWnd"), nullptr);

  const auto started = json::parse(LoopbackServer::WaitForEvents(1));
  ASSERT_EQ(started.size(), 1u);
  const json& start = started[0]["event"];
  EXPECT_EQ(start.value("et", ""), "start");
  EXPECT_EQ(start.value("ea", ""), "lumavex");
  EXPECT_EQ(start.value("em", ""), "main");
  std::wstring version;
  ASSERT_TRUE(GetFileVersionString(install.ProgramPath(), &version));
  EXPECT_EQ(start.value("mv", ""), Utf16ToUtf8(version));
  EXPECT_EQ(start.value("duid", "").size(), 42u);

  // Posted, not sent: a sent broadcast would come back only once the program has ended.
  PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"LUMAVEX_QUIT_MSG"), 0, 0);
  DWORD exit_code = 1;
  ASSERT_TRUE(program.WaitForExit(15000, &exit_code));
  EXPECT_EQ(exit_code, 0u);
  EXPECT_EQ(EventNames(), (std::vector<std::string>{"start", "exit"}));

  const auto log = program.LogMessages();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), "[I] -------lumavex ------");
  EXPECT_NE(std::find(log.begin(), log.end(), "[W] command-line arguments ignored: --verysilent"), log.end());
  EXPECT_EQ(log.back(), "[I] lumavex exit");
  HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, L"LumavexMutex");
  EXPECT_EQ(mutex, nullptr);
  if (mutex != nullptr) CloseHandle(mutex);
}

}  // namespace
