#pragma once

#include <windows.h>

#include <string>

// The installer helper as an installer sees it: loaded with LoadLibrary and called through __stdcall
// function pointers.
struct KestrinLibrary {
  using CreateScheduledTaskFn = bool(__stdcall*)(const char*);
  using DeleteScheduledTaskFn = bool(__stdcall*)(const char*);
  using UpdateScheduledTaskConfigFn = BOOL(__stdcall*)(const char*, int);
  using GetDeviceUniqueIDFn = void(__stdcall*)(char*, int);
  using NotifySetupFinishFn = void(__stdcall*)();
  using SendEventStatisticsFn = void(__stdcall*)(const char*, const char*, const char*, const char*, const char*,
                                                 const char*, const char*, const char*, const char*, const char*,
                                                 const char*, const char*, const char*, const char*);

  explicit KestrinLibrary(const std::wstring& path) : module(LoadLibraryW(path.c_str())) {
    if (module == nullptr) return;
    Resolve(&CreateScheduledTask, "CreateScheduledTask");
    Resolve(&DeleteScheduledTask, "DeleteScheduledTask");
    Resolve(&UpdateScheduledTaskConfig, "UpdateScheduledTaskConfig");
    Resolve(&GetDeviceUniqueID, "GetDeviceUniqueID");
    Resolve(&NotifySetupFinish, "NotifySetupFinish");
    Resolve(&SendEventStatistics, "SendEventStatistics");
  }
  ~KestrinLibrary() {
    if (module != nullptr) FreeLibrary(module);
  }
  KestrinLibrary(const KestrinLibrary&) = delete;
  KestrinLibrary& operator=(const KestrinLibrary&) = delete;

  bool loaded() const {
    return module != nullptr && CreateScheduledTask && DeleteScheduledTask && UpdateScheduledTaskConfig &&
           GetDeviceUniqueID && NotifySetupFinish && SendEventStatistics;
  }

  template <typename Fn>
  void Resolve(Fn* fn, const char* name) {
    *fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  }

  HMODULE module;
  CreateScheduledTaskFn CreateScheduledTask = nullptr;
  DeleteScheduledTaskFn DeleteScheduledTask = nullptr;
  UpdateScheduledTaskConfigFn UpdateScheduledTaskConfig = nullptr;
  GetDeviceUniqueIDFn GetDeviceUniqueID = nullptr;
  NotifySetupFinishFn NotifySetupFinish = nullptr;
  SendEventStatisticsFn SendEventStatistics = nullptr;
};
