#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "common/base/scoped_handle.h"

// The downloaded setup package: where it lives, whether it matches the offer, and its removal once the
// product has reached its version.

// "<service folder>\setup_<version>.exe", the folder made safe first; "" when the folder cannot be.
std::wstring GetSetupPackagePath(const std::string& version);
// The same under a given temporary folder.
std::wstring SetupPackagePathIn(const std::wstring& temp_path, const std::string& version);

// The largest package the service downloads.
constexpr unsigned long long kMaxPackageBytes = 1ull << 30;

// Checks the file at `path` against the offer: its file version must equal `version` (CompareVersion)
// and the MD5 of its bytes must equal `hash` ignoring case. On success returns the file opened for
// reading with read-only sharing, so that nobody can change it until the caller, having started it,
// lets go. On failure the file is deleted and null is returned; a missing file gives null at once.
// Logs as the service does.
std::unique_ptr<ScopedHandle> VerifySetupPackage(const std::wstring& path, const std::string& version,
                                                 const std::string& hash);

// Deletes the package of the installed version. False when it exists and could not be deleted (the
// caller tries again later). Logs as the service does.
bool ClearSetupPackage(const std::wstring& path);
