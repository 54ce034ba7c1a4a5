#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Starts a program in the interactive user's session, under that user's (elevated, where there is
// one) token, on the user's desktop and with the user's environment: how the service, running in
// session 0, runs a setup package where the user is.

struct SessionEntry {
  DWORD id = 0;
  bool active = false;
  // The session's user name could be queried.
  bool has_user = false;
};

// Where the sessions come from. Wine's WTSEnumerateSessionsW succeeds with no session at all, so the
// tests give their own list.
class SessionSource {
 public:
  virtual ~SessionSource() = default;
  // The sessions in the order the system gives them; false when they cannot be listed.
  virtual bool List(std::vector<SessionEntry>* sessions) const = 0;
};

// The terminal services' own list.
class WtsSessionSource : public SessionSource {
 public:
  bool List(std::vector<SessionEntry>* sessions) const override;
};

// The first active session with a user, in the order given.
bool HasActiveUserSession(const SessionSource& source, DWORD* session_id);

// The process id of "explorer.exe" (exact case) in the session, or 0.
DWORD FindExplorerProcess(DWORD session_id);

// "\"<path>\" <arguments>", or "\"<path>\"" without arguments. False when the line would not fit the
// 1023 characters a setup's command line may have.
bool BuildLaunchCommandLine(const std::wstring& path, const std::wstring& arguments, std::wstring* line);

// Starts `path` with `arguments` in `current_directory` in the user's session. The new process inherits
// no handle. True, with its process id, when it was created.
bool LaunchAppIntoDifferentSession(const SessionSource& sessions, const std::wstring& path,
                                   const std::wstring& arguments, const std::wstring& current_directory,
                                   DWORD* process_id);
