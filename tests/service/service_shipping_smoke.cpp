// The update service as it ships, taken through what an installer and the service host do with it
// (tools/smoke-shipping.sh runs this, with LUMAVEX_SHIPPING_BIN naming the shipping folder): registered
// through its export, run by the service host, stopped, unregistered. The service is unregistered at
// the end also when a step fails. Under user-mode emulation everything is many times slower than on
// the test build, hence waits of minutes that a passing run never uses up.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/base/scoped_handle.h"
#include "common/base/scoped_service_handle.h"
#include "tests/service/service_library.h"
#include "tests/support/test_support.h"

namespace {

using testing_support::ServiceLibrary;

constexpr DWORD kPatienceMs = 240000;
constexpr wchar_t kServiceName[] = L"LumavexUtilityService";

// The service's state, 0 when it does not exist; the id of its host process while it runs; the error
// it ended with (1077: it never started).
DWORD ServiceState(DWORD* process_id = nullptr, DWORD* exit_code = nullptr) {
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
  if (exit_code != nullptr) *exit_code = status.dwWin32ExitCode;
  return status.dwCurrentState;
}

bool WaitForState(DWORD state, DWORD timeout_ms) {
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  while (ServiceState() != state) {
    if (GetTickCount64() >= deadline) return false;
    Sleep(200);
  }
  return true;
}

// The file name of a process's program, lower case; empty when it cannot be read.
std::wstring ProgramNameOf(DWORD pid) {
  ScopedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  wchar_t path[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  if (!process.valid() || !QueryFullProcessImageNameW(process.get(), 0, path, &size)) return std::wstring();
  std::wstring name(path, size);
  name = name.substr(name.find_last_of(L'\\') + 1);
  std::transform(name.begin(), name.end(), name.begin(), [](wchar_t c) { return static_cast<wchar_t>(towlower(c)); });
  return name;
}

TEST(ShippingService, RegistersRunsInTheServiceHostStopsAndUnregisters) {
  ServiceLibrary library(testing_support::DeliverablePath(L"LumavexService.dll"));
  ASSERT_TRUE(library.loaded()) << GetLastError();
  ASSERT_EQ(library.Unregister(), S_OK);  // a service left over from an interrupted run
  ASSERT_EQ(library.Register(), S_OK);

  DWORD exit_code = 0;
  ASSERT_TRUE(WaitForState(SERVICE_RUNNING, kPatienceMs))
      << "state " << ServiceState(nullptr, &exit_code) << ", exit code " << exit_code;
  DWORD host_id = 0;
  ServiceState(&host_id);
  EXPECT_EQ(ProgramNameOf(host_id), L"svchost.exe");
  ScopedHandle host(OpenProcess(SYNCHRONIZE, FALSE, host_id));

  {
    ScopedServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    ScopedServiceHandle service(OpenServiceW(manager.get(), kServiceName, SERVICE_STOP));
    SERVICE_STATUS status = {};
    ASSERT_TRUE(ControlService(service.get(), SERVICE_CONTROL_STOP, &status)) << GetLastError();
  }
  EXPECT_TRUE(WaitForState(SERVICE_STOPPED, kPatienceMs)) << ServiceState();
  EXPECT_EQ(library.Unregister(), S_OK);
  EXPECT_TRUE(WaitForState(0, kPatienceMs)) << ServiceState();
  // The host ends with its only service; waiting for it keeps the prefix quiet for the next step.
  if (host.valid()) {
    EXPECT_EQ(WaitForSingleObject(host.get(), kPatienceMs), WAIT_OBJECT_0);
  }
}

}  // namespace
