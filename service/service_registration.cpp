#include "service/service_registration.h"

#include <shlwapi.h>

#include <cwchar>
#include <string>

#include "common/base/scoped_service_handle.h"
#include "common/logging.h"
#include "common/scoped_reg_key.h"
#include "common/text.h"
#include "service/service_module.h"
#include "service/service_names.h"

namespace {

constexpr wchar_t kSvchostGroupsKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Svchost";
constexpr DWORD kStopPollMs = 1000;
constexpr DWORD kStopPollLimitMs = 30000;

// Only registration shows boxes, as the installer's self-registration expects.
void ShowMessage(const wchar_t* text) { MessageBoxW(nullptr, text, kServiceName, MB_OK); }

const LocalizedTextTable& DisplayNames() {
  static const LocalizedTextTable table = {
      {L"default", L"Lumavex Utility"},
      {L"zh-cn", L"Lumavex\u670d\u52a1"},
      {L"zh-tw", L"Lumavex\u670d\u52d9"},
  };
  return table;
}

const LocalizedTextTable& Descriptions() {
  static const LocalizedTextTable table = {
      {L"default", L"This service ensures that the Lumavex Utility is always up-to-date."},
      {L"zh-cn", L"\u8be5\u670d\u52a1\u7528\u4e8e\u786e\u4fddLumavex\u59cb\u7ec8\u5904\u4e8e\u6700\u65b0\u7248\u672c"},
      {L"zh-tw", L"\u8a72\u670d\u52d9\u7528\u65bc\u78ba\u4fddLumavex\u59cb\u7d42\u8655\u65bc\u6700\u65b0\u7248\u672c"},
  };
  return table;
}

bool RunningUnderWow64() {
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

// The group value names the one service of the group: the name, its terminator and the final one.
LONG WriteGroupValue() {
  ScopedRegKey key;
  // The 32-bit view of a 64-bit system has no groups key until a 32-bit service makes one; the 32-bit host
  // reads its group from there.
  const LONG opened = RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSvchostGroupsKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                      key.put(), nullptr);
  if (opened != ERROR_SUCCESS) return opened;
  std::wstring multi(kServiceName);
  multi.push_back(L'\0');
  multi.push_back(L'\0');
  return RegSetValueExW(key.get(), kServiceGroupName, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi.data()),
                        static_cast<DWORD>(multi.size() * sizeof(wchar_t)));
}

std::wstring ParametersKey() { return std::wstring(L"SYSTEM\\CurrentControlSet\\Services\\") + kServiceName + L"\\Parameters"; }

LONG WriteServiceDll(const std::wstring& library) {
  ScopedRegKey key;
  const LONG created = RegCreateKeyExW(HKEY_LOCAL_MACHINE, ParametersKey().c_str(), 0, nullptr,
                                       REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, key.put(), nullptr);
  if (created != ERROR_SUCCESS) return created;
  return RegSetValueExW(key.get(), L"ServiceDll", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(library.c_str()),
                        static_cast<DWORD>((library.size() + 1) * sizeof(wchar_t)));
}

// Both host values: the group and the library. The first failure's error, 0 when both were written.
LONG WriteHostValues(const std::wstring& library) {
  LONG error = WriteGroupValue();
  if (error != ERROR_SUCCESS) {
    LOG_ERROR << "writing the service group value failed, err: " << error;
    return error;
  }
  error = WriteServiceDll(library);
  if (error != ERROR_SUCCESS) LOG_ERROR << "writing ServiceDll failed, err: " << error;
  return error;
}

void RemoveHostValues() {
  ScopedRegKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSvchostGroupsKey, 0, KEY_WRITE, key.put()) == ERROR_SUCCESS) {
    RegDeleteValueW(key.get(), kServiceGroupName);
  }
  SHDeleteKeyW(HKEY_LOCAL_MACHINE, ParametersKey().c_str());
}

// Undoes a registration that failed half-way: a service that the host cannot run must not stay behind.
HRESULT AbandonNewService(SC_HANDLE service, DWORD error) {
  if (!DeleteService(service)) LOG_ERROR << "DeleteService after a failed registration failed, err: " << GetLastError();
  RemoveHostValues();
  return HresultFromError(error);
}

}  // namespace

HRESULT HresultFromError(DWORD error) { return error == 0 ? E_FAIL : HRESULT_FROM_WIN32(error); }

std::wstring ServiceBinaryPath(bool wow64) {
  return std::wstring(wow64 ? L"%SystemRoot%\\SysWOW64\\svchost.exe -k " : L"%SystemRoot%\\System32\\svchost.exe -k ") +
         kServiceGroupName;
}

std::wstring ServiceDisplayName(const std::wstring& locale) { return SelectLocalizedText(DisplayNames(), locale); }

std::wstring ServiceDescription(const std::wstring& locale) { return SelectLocalizedText(Descriptions(), locale); }

HRESULT RegisterUpdateService() {
  ScopedServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE));
  if (manager.get() == nullptr) {
    const DWORD error = GetLastError();
    ShowMessage(L"OpenSCManager failed");
    return HresultFromError(error);
  }

  {
    ScopedServiceHandle existing(OpenServiceW(manager.get(), kServiceName, SERVICE_ALL_ACCESS));
    if (existing.get() != nullptr) {
      // A reinstall, possibly into another folder: the host must load the library from where it is now.
      const std::wstring library = ServiceModulePath();
      if (library.empty()) return HresultFromError(GetLastError());
      // The service stays: it was whole before, and a failed write leaves the earlier values in place.
      const LONG error = WriteHostValues(library);
      return error == ERROR_SUCCESS ? S_OK : HresultFromError(static_cast<DWORD>(error));
    }
  }
  const DWORD open_error = GetLastError();
  if (open_error != ERROR_SERVICE_DOES_NOT_EXIST) {
    ShowMessage(L"OpenService failed");
    return HresultFromError(open_error);
  }

  const std::wstring locale = UserLocaleNameLower();
  const std::wstring display_name = ServiceDisplayName(locale);
  const std::wstring binary_path = ServiceBinaryPath(RunningUnderWow64());
  ScopedServiceHandle service(CreateServiceW(manager.get(), kServiceName, display_name.c_str(), SERVICE_ALL_ACCESS,
                                             SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                                             binary_path.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
  if (service.get() == nullptr) {
    const DWORD error = GetLastError();
    wchar_t text[256];
    _snwprintf(text, 255, L"CreateService failed with error: %lu", error);
    text[255] = L'\0';
    ShowMessage(text);
    return HresultFromError(error);
  }

  SERVICE_DELAYED_AUTO_START_INFO delayed = {TRUE};
  if (!ChangeServiceConfig2W(service.get(), SERVICE_CONFIG_DELAYED_AUTO_START_INFO, &delayed)) {
    // Systems without delayed start run the service as a plain automatic one.
    const DWORD error = GetLastError();
    LOG_WARN << "ChangeServiceConfig2 delayed auto-start failed, err: " << error;
  }

  std::wstring description = ServiceDescription(locale);
  SERVICE_DESCRIPTIONW description_info = {&description[0]};
  if (!ChangeServiceConfig2W(service.get(), SERVICE_CONFIG_DESCRIPTION, &description_info)) {
    ShowMessage(L"ChangeServiceConfig2 failed to set description");
  }

  const std::wstring library = ServiceModulePath();
  if (library.empty()) {
    const DWORD error = GetLastError();
    ShowMessage(L"GetModuleFileName failed");
    return AbandonNewService(service.get(), error);
  }
  const LONG written = WriteHostValues(library);
  if (written != ERROR_SUCCESS) return AbandonNewService(service.get(), static_cast<DWORD>(written));

  StartServiceW(service.get(), 0, nullptr);
  return S_OK;
}

HRESULT UnregisterUpdateService() {
  ScopedServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (manager.get() == nullptr) return HresultFromError(GetLastError());

  ScopedServiceHandle service(OpenServiceW(manager.get(), kServiceName, DELETE | SERVICE_STOP | SERVICE_QUERY_STATUS));
  if (service.get() != nullptr) {
    SERVICE_STATUS_PROCESS status = {};
    DWORD needed = 0;
    if (QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status), sizeof(status),
                             &needed) &&
        status.dwCurrentState != SERVICE_STOPPED && status.dwCurrentState != SERVICE_STOP_PENDING) {
      SERVICE_STATUS control_status = {};
      ControlService(service.get(), SERVICE_CONTROL_STOP, &control_status);
      // A service that never stops must not hold the uninstaller for ever: it is deleted anyway and
      // goes away when it ends.
      for (DWORD waited = 0; status.dwCurrentState != SERVICE_STOPPED && waited < kStopPollLimitMs;
           waited += kStopPollMs) {
        Sleep(kStopPollMs);
        if (!QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                                  sizeof(status), &needed)) {
          break;
        }
      }
    }
    if (!DeleteService(service.get())) return HresultFromError(GetLastError());
  } else {
    const DWORD error = GetLastError();
    if (error != ERROR_SERVICE_DOES_NOT_EXIST) return HresultFromError(error);
  }

  RemoveHostValues();
  return S_OK;
}
