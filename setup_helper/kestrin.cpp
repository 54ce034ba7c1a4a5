#include "setup_helper/kestrin.h"

#include <memory>
#include <string>

#include "common/collector.h"
#include "common/data_session.h"
#include "common/base/com_ptr.h"
#include "common/device_info.h"
#include "common/endpoints.h"
#include "common/logging.h"
#include "common/logon_task.h"
#include "common/base/scoped_handle.h"
#include "common/singleton.h"
#include "common/text.h"
#include "setup_helper/install_paths.h"

namespace {

std::string g_device_id;
INIT_ONCE g_started = INIT_ONCE_STATIC_INIT;

// The device id and the statistics client need CryptoAPI and threads, neither of which belongs under
// the loader lock: they are set up by the first export instead of at load. The module is pinned
// first, so that the statistics threads can never run in unmapped code after a FreeLibrary.
BOOL CALLBACK StartOnce(PINIT_ONCE, PVOID, PVOID*) {
  HMODULE self = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                     reinterpret_cast<LPCWSTR>(&StartOnce), &self);
  // No exception may unwind through the system's one-time initialisation.
  try {
    GetDeviceUniqueId(&g_device_id);
    common::Collector* collector = Singleton<common::Collector>::GetInstance();
    collector->Init(common::CollectionUrl(), "", "");
    collector->set_add_elapsed_time(true);
    collector->SetDefaultField("duid", g_device_id);
  } catch (...) {
  }
  return TRUE;
}

void EnsureStarted() { InitOnceExecuteOnce(&g_started, StartOnce, nullptr, nullptr); }

// The installer hands over ANSI text: widen it in that code page, then store it as UTF-8.
void SetStatField(const char* key, const char* value) {
  if (value == nullptr) return;
  const std::string utf8 = Utf16ToUtf8(Utf8ToUtf16(value, CP_ACP));
  LOG_INFO << key << ":" << utf8;
  Singleton<common::Collector>::GetInstance()->SetDefaultField(key, utf8);
}

void SendShakeEvent(const char* name) {
  Singleton<common::Collector>::GetInstance()->CreateSession("event", name)->AsynSend(1, 1, nullptr);
}

}  // namespace

extern "C" {

BOOL __stdcall UpdateScheduledTaskConfig(const char* install_folder, int enable) {
  // Without a folder the file name alone would land in the Windows folder.
  if (!IsInstallFolder(install_folder)) return FALSE;
  try {
    const std::wstring ini = MakeConfigIniPath(MakeInstallDirPath(install_folder));
    return WritePrivateProfileStringW(L"Setting", L"AutoRun", std::to_wstring(enable).c_str(), ini.c_str()) ? TRUE
                                                                                                            : FALSE;
  } catch (...) {
    return FALSE;
  }
}

bool __stdcall CreateScheduledTask(const char* install_folder) {
  try {
    EnsureStarted();
    UpdateScheduledTaskConfig(install_folder, 1);
    // The installer's thread may or may not be in an apartment already; join one only for the call.
    bool created = false;
    {
      ScopedComApartment com;
      created = IsInstallFolder(install_folder) &&
                CreateLogonTask(MakeMainExePath(MakeInstallDirPath(install_folder)));
    }
    SendShakeEvent("shake_enabled");
    return created;
  } catch (...) {
    return false;
  }
}

bool __stdcall DeleteScheduledTask(const char* install_folder) {
  try {
    EnsureStarted();
    UpdateScheduledTaskConfig(install_folder, 0);
    bool deleted = true;
    {
      ScopedComApartment com;
      if (LogonTaskExists()) deleted = DeleteLogonTask();
    }
    SendShakeEvent("shake_disabled");
    return deleted;
  } catch (...) {
    return false;
  }
}

void __stdcall GetDeviceUniqueID(char* buffer, int buffer_size) {
  if (buffer == nullptr || buffer_size <= 0) return;
  EnsureStarted();
  // Copied only whole, with its terminator; a buffer too small for that gets an empty string.
  if (g_device_id.size() + 1 > static_cast<size_t>(buffer_size)) {
    buffer[0] = '\0';
    return;
  }
  memcpy(buffer, g_device_id.c_str(), g_device_id.size() + 1);
  try {
    LOG_INFO << "msgbox:" << "Device Unique ID" << "---" << g_device_id;
  } catch (...) {
  }
}

void __stdcall NotifySetupFinish() {
  const ScopedHandle event(OpenEventW(EVENT_MODIFY_STATE, FALSE, L"Global\\LumavexSetupFinish"));
  const DWORD error = GetLastError();
  try {
    LOG_INFO << "NotifySetupFinish";
    if (event.valid()) {
      SetEvent(event.get());
      LOG_INFO << "notify";
    } else {
      LOG_ERROR << "OpenEvent GetLastError:" << error;
    }
  } catch (...) {
  }
}

void __stdcall SendEventStatistics(const char* app, const char* product_version, const char* module,
                                   const char* module_version, const char* event_key, const char* event_value,
                                   const char* extra_json, const char* distribution_id,
                                   const char* resource_distribution_id, const char* instance_id,
                                   const char* utm_source, const char* utm_medium, const char* utm_term,
                                   const char* utm_content) {
  try {
    EnsureStarted();
    LOG_INFO << "SendEventStatistics";
    SetStatField("ea", app);
    SetStatField("av", product_version);
    SetStatField("em", module);
    SetStatField("mv", module_version);
    SetStatField("iid", instance_id);
    SetStatField("did", distribution_id);
    SetStatField("rdid", resource_distribution_id);
    SetStatField("utms", utm_source);
    SetStatField("utmm", utm_medium);
    SetStatField("utmt", utm_term);
    SetStatField("utmcont", utm_content);
    if (event_key == nullptr || event_value == nullptr) return;

    const bool wait = std::string(event_value) == "exit";
    LOG_INFO << (wait ? "Send" : "AsynSend");
    auto session = Singleton<common::Collector>::GetInstance()->CreateSession(event_key, event_value);
    if (extra_json != nullptr && *extra_json != '\0') session->AddExtraJson(extra_json);
    if (wait) {
      session->Send();
    } else {
      session->AsynSend(1, 1, nullptr);
    }
  } catch (...) {
  }
}

}  // extern "C"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  // The loader calls in here: nothing may unwind into it.
  try {
    switch (reason) {
      case DLL_PROCESS_ATTACH:
        InitLogger(TempLogFilePath(L"lumavex", L"Kestrin.log"), "lumavex_log");
        LOG_INFO << "DLL_PROCESS_ATTACH";
        break;
      case DLL_PROCESS_DETACH:
        // Nothing is joined or destroyed here: a thread join under the loader lock never returns. Once
        // the statistics threads run the module is pinned, so this only comes at process exit.
        LOG_INFO << "DLL_PROCESS_DETACH";
        FlushLogger();
        // The runtime would otherwise destroy the statistics client right after this function, still
        // under the loader lock, joining threads the exiting process has already killed and taking
        // locks they may have held. Taken out of the singleton, it is left to the process's end.
        Singleton<common::Collector>::Release();
        break;
      case DLL_THREAD_ATTACH:
        LOG_INFO << "DLL_THREAD_ATTACH";
        break;
      case DLL_THREAD_DETACH:
        LOG_INFO << "DLL_THREAD_DETACH";
        break;
    }
  } catch (...) {
  }
  return TRUE;
}
