#pragma once

#include <windows.h>

#include <string>

// Registration of the update service with the service control manager and the service host: the work
// behind the library's DllRegisterServer and DllUnregisterServer exports.

// HRESULT_FROM_WIN32 of a saved error; a zero error (a failure that set none) becomes E_FAIL.
HRESULT HresultFromError(DWORD error);

// The host command line: "%SystemRoot%\System32\svchost.exe -k <group>", with SysWOW64 for a 32-bit
// library on 64-bit Windows, whose System32 host could not load it.
std::wstring ServiceBinaryPath(bool wow64);

// The display name and the description for a lower-case locale name ("zh-cn"); unknown locales get
// the English texts.
std::wstring ServiceDisplayName(const std::wstring& locale);
std::wstring ServiceDescription(const std::wstring& locale);

// Creates (or, when it exists, repoints at this library) and starts the service; 0 on success. A new
// service whose host values cannot be written is deleted again, and the error returned.
HRESULT RegisterUpdateService();
// Stops (giving up after 30 s) and deletes the service and removes the host values; 0 on success,
// also when the service did not exist.
HRESULT UnregisterUpdateService();
