#pragma once

#include <windows.h>

// The service's run-time skeleton as the service host sees it: the body of the exported ServiceMain and
// the control handler.

// Sets up the log, registers the control handler, runs the worker thread until a stop control and
// reports the service states.
void RunServiceMain();

// The control handler: a stop while running, and a user logon, which moves the next upgrade check to
// two minutes later. Always 0.
DWORD WINAPI ServiceCtrlHandlerEx(DWORD control, DWORD event_type, LPVOID event_data, LPVOID context);

// The state last reported; the control handler acts on a stop only in SERVICE_RUNNING.
DWORD CurrentServiceState();
void SetServiceStateForTesting(DWORD state);
