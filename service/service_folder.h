#pragma once

#include <string>

// The folder of the service's log and setup packages, "<temporary folder>Lumavex". On Windows the
// service account's temporary folder is writable by every user, so the folder is made the service's
// own: created with a protected DACL (SYSTEM and Administrators full control, Users read and
// execute), and an existing one that is a link elsewhere or belongs to someone else is replaced.

// The security descriptor the folder is created with, to be freed with LocalFree; null on failure.
void* NewServiceFolderSecurity();

// The service account's temporary folder with its trailing backslash; "" when it cannot be read.
std::wstring ServiceTempPath();

// Makes `<temp_path><folder name>` safe to use and stores its path (no trailing backslash). False when
// it cannot be made so.
bool PrepareServiceFolder(const std::wstring& temp_path, std::wstring* folder);
