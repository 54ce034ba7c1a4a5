#pragma once

#include <string>

#include "common/text.h"

// The scheduled task that starts the tray program at logon. Shared by the tray program and the
// installer helper. The calling thread must be in a COM apartment.

// Every value the task is registered with, apart from the COM objects that carry them, so that
// what is registered can be checked where the platform's Task Scheduler drops parts of it.
struct LogonTaskDefinition {
  std::wstring folder;
  std::wstring name;
  std::wstring author;
  std::wstring description;
  int run_level = 0;   // TASK_RUNLEVEL_TYPE
  int logon_type = 0;  // TASK_LOGON_TYPE of the principal
  struct Settings {
    bool start_when_available = false;
    bool disallow_start_if_on_batteries = false;
    bool stop_if_going_on_batteries = false;
    std::wstring execution_time_limit;
    bool hidden = false;
    int priority = 0;
    bool run_only_if_network_available = false;
    bool wake_to_run = false;
    bool allow_hard_terminate = false;
    bool enabled = false;
  } settings;
  struct Trigger {
    int type = 0;  // TASK_TRIGGER_TYPE2
    std::wstring id;
    bool enabled = false;
    std::wstring delay;
  } trigger;
  struct Action {
    int type = 0;  // TASK_ACTION_TYPE
    std::wstring path;
    std::wstring working_directory;
  } action;
  int registration_flags = 0;  // TASK_CREATION
  int registration_logon_type = 0;
};

extern const wchar_t kLogonTaskName[];

// The task's description keyed by locale ("default", "zh-cn"), and the one for the user's locale.
const LocalizedTextTable& LogonTaskDescriptionTable();
std::wstring GetLogonTaskDescriptions();

// The definition for a program file; false when the path is empty or too long for the platform's
// path buffers.
bool BuildLogonTaskDefinition(const std::wstring& program_path, LogonTaskDefinition* definition);

bool LogonTaskExists();
// An empty path means the calling program's own file. Registration replaces an existing task.
bool CreateLogonTask(const std::wstring& program_path);
bool DeleteLogonTask();
