// The update service as the installer and Windows' service host run it: the loopback build of
// LumavexService.dll registered through its export, started by the service host, talking to the
// loopback server, told of a finished setup by the installer helper, stopped and removed. Every test
// that registers the service removes it again, also when it fails.
#include <gtest/gtest.h>
#include <windows.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "common/base/scoped_service_handle.h"
#include "common/program_path.h"
#include "common/registry.h"
#include "service/md5.h"
#include "tests/service/service_library.h"
#include "tests/support/loopback_client.h"
#include "tests/support/pe_exports.h"
#include "tests/support/registry_support.h"
#include "tests/support/test_support.h"

namespace {

using nlohmann::json;
using testing_support::LoopbackServer;
using testing_support::ScopedRegistryValue;
using testing_support::ServiceLibrary;


constexpr wchar_t kServiceName[] = L"LumavexUtilityService";
constexpr wchar_t kGroupKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Svchost";
constexpr wchar_t kParametersKey[] = L"SYSTEM\\CurrentControlSet\\Services\\LumavexUtilityService\\Parameters";

std::wstring ServiceDllPath() { return ProgramFolder() + L"..\\loopback\\LumavexService.dll"; }
std::wstring KestrinPath() { return ProgramFolder() + L"..\\loopback\\Kestrin.dll"; }

// Under Wine the service's temporary folder is the user's.
std::wstring ServiceFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  return std::wstring(temp) + L"Lumavex\\";
}

std::wstring ServiceLogPath() { return ServiceFolder() + L"LumavexUtilityService.log"; }

std::string PackageDigest(const std::string& bytes) {
  uint8_t digest[16];
  Md5(bytes.data(), bytes.size(), digest);
  return ::Md5Hex(digest);
}

bool ReadValue(const wchar_t* key, const wchar_t* name, DWORD* type, std::wstring* data) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  wchar_t buffer[1024] = {};
  DWORD size = sizeof(buffer) - sizeof(wchar_t);
  const LONG result = RegQueryValueExW(handle, name, nullptr, type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(handle);
  if (result != ERROR_SUCCESS) return false;
  data->assign(buffer, size / sizeof(wchar_t));
  return true;
}

// The service's state, 0 when it does not exist; and the id of its host process while it runs.
DWORD ServiceState(DWORD* process_id = nullptr) {
  ScopedServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
  ScopedServiceHandle service(OpenServiceW(manager.get(), kServiceName, SERVICE_QUERY_STATUS));
  if (service.get() == nullptr) return 0;
  SERVICE_STATUS_PROCESS status = {};
  DWORD needed = 0;
  if (!QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status), sizeof(status),
                            &needed)) {
    return 0;
  }
  if (process_id != nullptr) *process_id = status.dwProcessId;
  return status.dwCurrentState;
}

// Holds the service's host process and, at the end of the scope, waits for it to end, so that the
// next test does not start while the host is still going away (its windows with it).
class HostProcess {
 public:
  HostProcess() {
    DWORD id = 0;
    if (ServiceState(&id) == SERVICE_RUNNING && id != 0) process_ = OpenProcess(SYNCHRONIZE, FALSE, id);
  }
  ~HostProcess() {
    if (process_ == nullptr) return;
    WaitForSingleObject(process_, 10000);
    CloseHandle(process_);
  }
  HostProcess(const HostProcess&) = delete;
  HostProcess& operator=(const HostProcess&) = delete;

 private:
  HANDLE process_ = nullptr;
};

bool WaitForState(DWORD state, DWORD timeout_ms) {
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  while (ServiceState() != state) {
    if (GetTickCount64() >= deadline) return false;
    Sleep(100);
  }
  return true;
}

// Runs a program to its end without giving it any of this process's handles. (A pipe for its output
// would not do here: a process that Wine starts on the side while the service runs may inherit the
// pipe and keep it open long after the program has ended.)
bool RunToEnd(const std::wstring& command_line, DWORD timeout_ms, DWORD* exit_code) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  std::wstring line = command_line;
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                      &process)) {
    return false;
  }
  const bool ended = WaitForSingleObject(process.hProcess, timeout_ms) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(process.hProcess, 1);
  GetExitCodeProcess(process.hProcess, exit_code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return ended;
}

// The service log from where it stood when the object was made, as messages without their prefix.
class ServiceLog {
 public:
  ServiceLog() : start_(testing_support::ReadFileBytes(ServiceLogPath()).size()) {}
  std::vector<std::string> Messages() const {
    const std::string text = testing_support::ReadFileBytes(ServiceLogPath());
    std::vector<std::string> messages;
    for (const auto& line : testing_support::SplitLines(text.substr(std::min(start_, text.size())))) {
      const size_t at = line.find("[lumavex_service_log] [");
      if (at != std::string::npos && line.size() > at + 26) messages.push_back(line.substr(at + 26));
    }
    return messages;
  }
  bool WaitFor(const std::string& message, DWORD timeout_ms) const {
    const ULONGLONG deadline = GetTickCount64() + timeout_ms;
    for (;;) {
      const auto messages = Messages();
      if (std::find(messages.begin(), messages.end(), message) != messages.end()) return true;
      if (GetTickCount64() >= deadline) return false;
      Sleep(100);
    }
  }

 private:
  size_t start_;
};

TEST(ServiceLibraryExports, ExactlyTheThreeUndecoratedEntries) {
  std::vector<std::string> names;
  ASSERT_TRUE(testing_support::ReadPeExportNames(ServiceDllPath(), &names));
  EXPECT_EQ(names, (std::vector<std::string>{"DllRegisterServer", "DllUnregisterServer", "ServiceMain"}));
}

TEST(ServiceE2E, RegisteredRunByTheHostToldOfSetupStoppedAndRemoved) {
  ASSERT_TRUE(LoopbackServer::Clear());
  // A newer package, which the real service downloads and checks; Wine lists no user session, so its
  // start fails there and the package stays.
  const std::string package = testing_support::ReadFileBytes(ProgramFolder() + L"setup_fixture.exe");
  ASSERT_FALSE(package.empty());
  ASSERT_TRUE(LoopbackServer::ServeFile("/pkg/setup.exe", package));
  ASSERT_TRUE(LoopbackServer::SetResponses(
      "/api/upgrade", json::array({{{"offer", {{"errno", 0},
                                               {"data", {{"cdn_url", LoopbackServer::Url("/pkg/setup.exe")},
                                                         {"version", "1.2.0.7"},
                                                         {"hash", PackageDigest(package)}}}}}}})
                          .dump()));
  const std::wstring package_path = ServiceFolder() + L"setup_1.2.0.7.exe";
  DeleteFileW(package_path.c_str());
  ScopedRegistryValue product_version(HKEY_LOCAL_MACHINE, kProductRegistryKey, L"ProductVersion");
  ASSERT_TRUE(product_version.SetString(L"1.0.0.5"));
  ScopedRegistryValue distribution_id(HKEY_LOCAL_MACHINE, kProductRegistryKey, L"DistributionID");
  ASSERT_TRUE(distribution_id.SetString(L"E2E"));

  ServiceLibrary library(ServiceDllPath());
  ASSERT_TRUE(library.loaded()) << GetLastError();
  ASSERT_EQ(library.Unregister(), S_OK);  // a service left over from an interrupted run
  ServiceLog log;
  const ULONGLONG registered_at = GetTickCount64();
  ASSERT_EQ(library.Register(), S_OK);

  // Registration values.
  DWORD type = 0;
  std::wstring data;
  ASSERT_TRUE(ReadValue(kGroupKey, L"LumavexUtilityGroup", &type, &data));
  EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
  EXPECT_EQ(data, std::wstring(L"LumavexUtilityService\0\0", 23));
  ASSERT_TRUE(ReadValue(kParametersKey, L"ServiceDll", &type, &data));
  EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
  EXPECT_EQ(data, library.Path() + std::wstring(1, L'\0'));
  {
    ScopedServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    ScopedServiceHandle service(OpenServiceW(manager.get(), kServiceName, SERVICE_QUERY_CONFIG));
    ASSERT_NE(service.get(), nullptr);
    std::vector<BYTE> buffer(8192);
    DWORD needed = 0;
    ASSERT_TRUE(QueryServiceConfigW(service.get(), reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data()),
                                    static_cast<DWORD>(buffer.size()), &needed));
    const auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    EXPECT_EQ(config->dwServiceType, static_cast<DWORD>(SERVICE_WIN32_OWN_PROCESS));
    EXPECT_EQ(config->dwStartType, static_cast<DWORD>(SERVICE_AUTO_START));
    EXPECT_EQ(config->dwErrorControl, static_cast<DWORD>(SERVICE_ERROR_NORMAL));
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    EXPECT_EQ(std::wstring(config->lpBinaryPathName),
              std::wstring(wow64 ? L"%SystemRoot%\\SysWOW64" : L"%SystemRoot%\\System32") +
                  L"\\svchost.exe -k LumavexUtilityGroup");
    EXPECT_EQ(std::wstring(config->lpDisplayName), L"Lumavex Utility");
    EXPECT_EQ(std::wstring(config->lpServiceStartName), L"LocalSystem");
    ASSERT_TRUE(QueryServiceConfig2W(service.get(), SERVICE_CONFIG_DESCRIPTION, buffer.data(),
                                     static_cast<DWORD>(buffer.size()), &needed));
    EXPECT_EQ(std::wstring(reinterpret_cast<SERVICE_DESCRIPTIONW*>(buffer.data())->lpDescription),
              L"This service ensures that the Lumavex Utility is always up-to-date.");
  }

  // Started by the host; its log, its events, its first check 10 s after start.
  ASSERT_TRUE(WaitForState(SERVICE_RUNNING, 15000)) << ServiceState();
  HostProcess host;
  EXPECT_TRUE(log.WaitFor("StartMidnightTask", 15000));
  const json events = json::parse(LoopbackServer::WaitForEvents(2, 15000));
  std::vector<std::string> names;
  for (const auto& e : events) {
    if (e["ok"].get<bool>() && e["event"]["em"] == "service") names.push_back(e["event"]["et"]);
  }
  EXPECT_NE(std::find(names.begin(), names.end(), "start"), names.end());
  EXPECT_NE(std::find(names.begin(), names.end(), "status_healthy"), names.end());
  EXPECT_TRUE(log.WaitFor("VerifySetupPackage Result: 1", 25000));
  EXPECT_TRUE(log.WaitFor("launch failed!", 15000));
  EXPECT_TRUE(testing_support::FileExists(package_path));
  DeleteFileW(package_path.c_str());
  const json upgrades = json::parse(LoopbackServer::UpgradeRequestsJson());
  ASSERT_EQ(upgrades.size(), 1u);
  EXPECT_EQ(upgrades[0]["request"],
            json({{"did", "E2E"}, {"module", "lumavex"}, {"module_version", "1.0.0.0"}, {"product_version", "1.0.0.5"}}));
  EXPECT_GE(GetTickCount64() - registered_at, 10000u);

  // The installer helper, in a process of its own, tells the running service that setup finished.
  ASSERT_TRUE(product_version.SetString(L"1.0.0.6"));
  DWORD exit_code = 1;
  ASSERT_TRUE(RunToEnd(L"\"" + ProgramFolder() + L"kestrin_host.exe\" \"" + KestrinPath() + L"\" notify free", 30000,
                       &exit_code));
  EXPECT_EQ(exit_code, 0u);
  // Waits are long where a loaded machine could need them: they end as soon as the line comes.
  EXPECT_TRUE(log.WaitFor("found setup finish!", 15000));
  EXPECT_TRUE(log.WaitFor(" product_version_: 1.0.0.6", 15000));

  // A second registration (a reinstall) points the host at the library again and still succeeds.
  {
    ScopedRegistryValue dll(HKEY_LOCAL_MACHINE, kParametersKey, L"ServiceDll", 0);
    ASSERT_TRUE(dll.SetString(L"C:\\moved\\LumavexService.dll"));
    EXPECT_EQ(library.Register(), S_OK);
    ASSERT_TRUE(ReadValue(kParametersKey, L"ServiceDll", &type, &data));
    EXPECT_EQ(data, library.Path() + std::wstring(1, L'\0'));
  }

  // Stopped on request, then removed with its host values; removing it again is no error.
  {
    ScopedServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    ScopedServiceHandle service(OpenServiceW(manager.get(), kServiceName, SERVICE_STOP));
    SERVICE_STATUS status = {};
    ASSERT_TRUE(ControlService(service.get(), SERVICE_CONTROL_STOP, &status)) << GetLastError();
  }
  EXPECT_TRUE(WaitForState(SERVICE_STOPPED, 15000)) << ServiceState();
  EXPECT_EQ(library.Unregister(), S_OK);
  EXPECT_TRUE(WaitForState(0, 10000)) << ServiceState();
  EXPECT_FALSE(ReadValue(kGroupKey, L"LumavexUtilityGroup", &type, &data));
  EXPECT_FALSE(ReadValue(kParametersKey, L"ServiceDll", &type, &data));
  EXPECT_EQ(library.Unregister(), S_OK);
}

TEST(ServiceE2E, UnregisteringARunningServiceStopsIt) {
  ASSERT_TRUE(LoopbackServer::Clear());
  ServiceLibrary library(ServiceDllPath());
  ASSERT_TRUE(library.loaded());
  ASSERT_EQ(library.Register(), S_OK);
  ASSERT_TRUE(WaitForState(SERVICE_RUNNING, 15000));
  HostProcess host;
  const ULONGLONG start = GetTickCount64();
  EXPECT_EQ(library.Unregister(), S_OK);
  EXPECT_LT(GetTickCount64() - start, 31000u);
  // Deleted once the last handle to it is closed.
  EXPECT_TRUE(WaitForState(0, 10000)) << ServiceState();
}

}  // namespace
