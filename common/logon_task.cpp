#include "common/logon_task.h"

#include <windows.h>
#include <shlwapi.h>
#include <taskschd.h>

#include "common/base/com_ptr.h"
#include "common/logging.h"
#include "common/program_path.h"

// The platform headers lack the logon trigger's own interface: ITrigger plus its delay and user id.
MIDL_INTERFACE("72DADE38-FAE4-4B3E-BAF4-5D009AF02B1C")
ILogonTrigger : public ITrigger {
 public:
  virtual HRESULT STDMETHODCALLTYPE get_Delay(BSTR* delay) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Delay(BSTR delay) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_UserId(BSTR* user) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_UserId(BSTR user) = 0;
};
__CRT_UUID_DECL(ILogonTrigger, 0x72dade38, 0xfae4, 0x4b3e, 0xba, 0xf4, 0x5d, 0x00, 0x9a, 0xf0, 0x2b, 0x1c)

const wchar_t kLogonTaskName[] = L"LumavexLogonTask";

namespace {

constexpr wchar_t kRootFolder[] = L"\\";

// Task Scheduler 2.0 on the local machine, as the current user, at the root folder.
HRESULT ConnectRootFolder(com_ptr<ITaskService>* service, com_ptr<ITaskFolder>* folder, const char** failed_step) {
  HRESULT hr = CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                service->put_void());
  if (FAILED(hr)) {
    *failed_step = "CoCreateInstance";
    return hr;
  }
  VARIANT empty;
  VariantInit(&empty);
  hr = (*service)->Connect(empty, empty, empty, empty);
  if (FAILED(hr)) {
    *failed_step = "task_service Connect";
    return hr;
  }
  hr = (*service)->GetFolder(ScopedBstr(kRootFolder), folder->put());
  if (FAILED(hr)) *failed_step = "task_service GetFolder";
  return hr;
}

VARIANT_BOOL Bool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }

// Each section is filled as far as the platform allows; a refused value is logged and the rest of
// the definition still goes on to registration.
void Check(HRESULT hr, const char* what) {
  if (FAILED(hr)) LOG_WARN << "logon task: " << what << " refused, hr=0x" << std::hex << static_cast<unsigned long>(hr);
}

void ApplyDefinition(const LogonTaskDefinition& d, ITaskDefinition* task) {
  com_ptr<IRegistrationInfo> info;
  if (FAILED(task->get_RegistrationInfo(info.put())) || !info) {
    LOG_ERROR << "get_RegistrationInfo failed";
  } else {
    Check(info->put_Author(ScopedBstr(d.author.c_str())), "Author");
    Check(info->put_Description(ScopedBstr(d.description.c_str())), "Description");
  }

  com_ptr<IPrincipal> principal;
  if (FAILED(task->get_Principal(principal.put())) || !principal) {
    LOG_ERROR << "get_Principal failed";
  } else {
    Check(principal->put_RunLevel(static_cast<TASK_RUNLEVEL_TYPE>(d.run_level)), "RunLevel");
    Check(principal->put_LogonType(static_cast<TASK_LOGON_TYPE>(d.logon_type)), "LogonType");
  }

  com_ptr<ITaskSettings> settings;
  if (FAILED(task->get_Settings(settings.put())) || !settings) {
    LOG_ERROR << "get_Settings failed";
  } else {
    const auto& s = d.settings;
    Check(settings->put_StartWhenAvailable(Bool(s.start_when_available)), "StartWhenAvailable");
    Check(settings->put_DisallowStartIfOnBatteries(Bool(s.disallow_start_if_on_batteries)), "DisallowStartIfOnBatteries");
    Check(settings->put_StopIfGoingOnBatteries(Bool(s.stop_if_going_on_batteries)), "StopIfGoingOnBatteries");
    Check(settings->put_ExecutionTimeLimit(ScopedBstr(s.execution_time_limit.c_str())), "ExecutionTimeLimit");
    Check(settings->put_Hidden(Bool(s.hidden)), "Hidden");
    Check(settings->put_Priority(s.priority), "Priority");
    Check(settings->put_RunOnlyIfNetworkAvailable(Bool(s.run_only_if_network_available)), "RunOnlyIfNetworkAvailable");
    Check(settings->put_WakeToRun(Bool(s.wake_to_run)), "WakeToRun");
    Check(settings->put_AllowHardTerminate(Bool(s.allow_hard_terminate)), "AllowHardTerminate");
    Check(settings->put_Enabled(Bool(s.enabled)), "Enabled");
  }

  com_ptr<ITriggerCollection> triggers;
  if (FAILED(task->get_Triggers(triggers.put())) || !triggers) {
    LOG_ERROR << "get_Triggers failed";
  } else {
    com_ptr<ITrigger> trigger;
    com_ptr<ILogonTrigger> logon;
    HRESULT hr = triggers->Create(static_cast<TASK_TRIGGER_TYPE2>(d.trigger.type), trigger.put());
    if (SUCCEEDED(hr) && trigger) hr = trigger.As(&logon);
    if (FAILED(hr) || !logon) {
      Check(FAILED(hr) ? hr : E_NOINTERFACE, "logon trigger");
    } else {
      Check(logon->put_Id(ScopedBstr(d.trigger.id.c_str())), "trigger Id");
      Check(logon->put_Enabled(Bool(d.trigger.enabled)), "trigger Enabled");
      Check(logon->put_Delay(ScopedBstr(d.trigger.delay.c_str())), "trigger Delay");
    }
  }

  com_ptr<IActionCollection> actions;
  if (FAILED(task->get_Actions(actions.put())) || !actions) {
    LOG_ERROR << "get_Actions failed";
  } else {
    com_ptr<IAction> action;
    com_ptr<IExecAction> exec;
    HRESULT hr = actions->Create(static_cast<TASK_ACTION_TYPE>(d.action.type), action.put());
    if (SUCCEEDED(hr) && action) hr = action.As(&exec);
    if (FAILED(hr) || !exec) {
      Check(FAILED(hr) ? hr : E_NOINTERFACE, "exec action");
    } else {
      Check(exec->put_Path(ScopedBstr(d.action.path.c_str())), "action Path");
      Check(exec->put_WorkingDirectory(ScopedBstr(d.action.working_directory.c_str())), "action WorkingDirectory");
    }
  }
}

std::wstring SystemErrorText(HRESULT hr) {
  wchar_t* text = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, static_cast<DWORD>(hr), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                           reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring result = n != 0 && text != nullptr ? std::wstring(text, n) : std::wstring();
  LocalFree(text);
  return result;
}

}  // namespace

const LocalizedTextTable& LogonTaskDescriptionTable() {
  static const LocalizedTextTable table = {
      {L"default",
       L"This task automatically starts the \"LumavexUtility\" when you log in. If this task is disabled or "
       L"deleted, you will need to manually start the program after restarting your computer to restore the "
       L"\"Lumavex\" function."},
      {L"zh-cn",
       L"\u6b64\u4efb\u52a1\u53ef\u5728\u60a8\u767b\u9646\u65f6\u81ea\u52a8\u542f\u52a8\u201cLumavex\u201d\u3002"
       L"\u5982\u679c\u6b64\u4efb\u52a1\u88ab\u7981\u7528\u6216\u5220\u9664\uff0c\u5219\u60a8\u9700\u8981\u5728"
       L"\u91cd\u542f\u7535\u8111\u540e\u624b\u52a8\u542f\u52a8\u7a0b\u5e8f\u624d\u80fd\u6062\u590d"
       L"\u201cLumavex\u201d\u529f\u80fd\u3002"},
  };
  return table;
}

std::wstring GetLogonTaskDescriptions() { return SelectLocalizedText(LogonTaskDescriptionTable()); }

bool BuildLogonTaskDefinition(const std::wstring& program_path, LogonTaskDefinition* d) {
  // The working directory is cut from a copy in a MAX_PATH buffer: a longer path cannot be run from a
  // task anyway, so it fails here rather than being truncated.
  if (program_path.empty() || program_path.size() >= MAX_PATH) return false;
  wchar_t folder[MAX_PATH] = {};
  lstrcpynW(folder, program_path.c_str(), MAX_PATH);
  PathRemoveFileSpecW(folder);

  *d = LogonTaskDefinition();
  d->folder = kRootFolder;
  d->name = kLogonTaskName;
  d->author = kLogonTaskName;
  d->description = GetLogonTaskDescriptions();
  d->run_level = TASK_RUNLEVEL_HIGHEST;
  d->logon_type = TASK_LOGON_INTERACTIVE_TOKEN;
  d->settings.start_when_available = true;
  d->settings.disallow_start_if_on_batteries = false;
  d->settings.stop_if_going_on_batteries = false;
  d->settings.execution_time_limit = L"PT0S";
  d->settings.hidden = false;
  d->settings.priority = 5;
  d->settings.run_only_if_network_available = false;
  d->settings.wake_to_run = true;
  d->settings.allow_hard_terminate = true;
  d->settings.enabled = true;
  d->trigger.type = TASK_TRIGGER_LOGON;
  d->trigger.id = L"LogonTriggerId";
  d->trigger.enabled = true;
  d->trigger.delay = L"PT10S";
  d->action.type = TASK_ACTION_EXEC;
  d->action.path = program_path;
  d->action.working_directory = folder;
  d->registration_flags = TASK_CREATE_OR_UPDATE;
  d->registration_logon_type = TASK_LOGON_INTERACTIVE_TOKEN;
  return true;
}

bool LogonTaskExists() {
  com_ptr<ITaskService> service;
  com_ptr<ITaskFolder> folder;
  const char* step = nullptr;
  if (FAILED(ConnectRootFolder(&service, &folder, &step))) return false;
  com_ptr<IRegisteredTask> task;
  return SUCCEEDED(folder->GetTask(ScopedBstr(kLogonTaskName), task.put())) && task;
}

bool DeleteLogonTask() {
  com_ptr<ITaskService> service;
  com_ptr<ITaskFolder> folder;
  const char* step = nullptr;
  if (FAILED(ConnectRootFolder(&service, &folder, &step))) return false;
  return SUCCEEDED(folder->DeleteTask(ScopedBstr(kLogonTaskName), 0));
}

bool CreateLogonTask(const std::wstring& program_path) {
  std::wstring path = program_path;
  if (path.empty()) {
    path = ProgramPath();
    if (path.empty()) {
      LOG_ERROR << "GetModuleFileNameW failed!";
      return false;
    }
  }
  LogonTaskDefinition definition;
  if (!BuildLogonTaskDefinition(path, &definition)) {
    LOG_ERROR << "logon task: program path too long";
    return false;
  }

  com_ptr<ITaskService> service;
  com_ptr<ITaskFolder> folder;
  const char* step = nullptr;
  if (FAILED(ConnectRootFolder(&service, &folder, &step))) {
    LOG_ERROR << step;
    return false;
  }
  // No delete first: create-or-update replaces the task, and a failed registration keeps the old one.
  com_ptr<ITaskDefinition> task;
  if (FAILED(service->NewTask(0, task.put())) || !task) {
    LOG_ERROR << "task_service NewTask";
    return false;
  }
  ApplyDefinition(definition, task.get());

  VARIANT no_user, no_password, no_sddl;
  VariantInit(&no_user);
  VariantInit(&no_password);
  VariantInit(&no_sddl);
  ScopedBstr empty(L"");
  no_sddl.vt = VT_BSTR;
  no_sddl.bstrVal = empty;
  com_ptr<IRegisteredTask> registered;
  HRESULT hr = folder->RegisterTaskDefinition(ScopedBstr(definition.name.c_str()), task.get(), definition.registration_flags,
                                              no_user, no_password,
                                              static_cast<TASK_LOGON_TYPE>(definition.registration_logon_type), no_sddl,
                                              registered.put());
  if (FAILED(hr)) {
    LOG_ERROR << "Register LumavexLogonTask failed,err code:" << (static_cast<unsigned>(hr) & 0xFFFF)
              << ",error text:" << Utf16ToUtf8(SystemErrorText(hr));
    return false;
  }
  return true;
}
