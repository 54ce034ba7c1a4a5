#include "service/service_folder.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <memory>

#include "common/base/scoped_handle.h"
#include "service/service_names.h"

namespace {

// SYSTEM and Administrators full control, Users read and execute, inherited by files and folders, and
// nothing inherited from the temporary folder above.
constexpr wchar_t kFolderSddl[] = L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

struct LocalFreeDeleter {
  void operator()(void* p) const { LocalFree(p); }
};
using LocalMemory = std::unique_ptr<void, LocalFreeDeleter>;

bool IsWellKnown(PSID sid, WELL_KNOWN_SID_TYPE type) { return IsWellKnownSid(sid, type) != FALSE; }

bool IsOwnUser(PSID sid) {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
  ScopedHandle token(raw);
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  if (size == 0) return false;
  std::unique_ptr<BYTE[]> buffer(new BYTE[size]);
  if (!GetTokenInformation(token.get(), TokenUser, buffer.get(), size, &size)) return false;
  return EqualSid(reinterpret_cast<TOKEN_USER*>(buffer.get())->User.Sid, sid) != FALSE;
}

// Owned by the system, the administrators or the account this service runs under.
bool HasTrustedOwner(const std::wstring& path) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR raw = nullptr;
  if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                            nullptr, &raw) != ERROR_SUCCESS) {
    return false;
  }
  LocalMemory descriptor(raw);
  if (owner == nullptr) return false;
  return IsWellKnown(owner, WinLocalSystemSid) || IsWellKnown(owner, WinBuiltinAdministratorsSid) || IsOwnUser(owner);
}

// Removes a file, a link or a folder tree, never following a link into what it points at.
bool RemoveTree(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError() == ERROR_FILE_NOT_FOUND;
  if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return DeleteFileW(path.c_str()) != FALSE;
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = entry.cFileName;
        if (name != L"." && name != L"..") RemoveTree(path + L"\\" + name);
      } while (FindNextFileW(find, &entry));
      FindClose(find);
    }
  }
  return RemoveDirectoryW(path.c_str()) != FALSE;
}

bool CreateProtectedFolder(const std::wstring& path) {
  PSECURITY_DESCRIPTOR raw = NewServiceFolderSecurity();
  if (raw == nullptr) return false;
  LocalMemory descriptor(raw);
  SECURITY_ATTRIBUTES attributes = {sizeof(attributes), raw, FALSE};
  return CreateDirectoryW(path.c_str(), &attributes) != FALSE;
}

// An older folder of our own gets the same protection as a new one.
void ProtectFolder(const std::wstring& path) {
  PSECURITY_DESCRIPTOR raw = NewServiceFolderSecurity();
  if (raw == nullptr) return;
  LocalMemory descriptor(raw);
  BOOL present = FALSE;
  BOOL defaulted = FALSE;
  PACL dacl = nullptr;
  if (!GetSecurityDescriptorDacl(raw, &present, &dacl, &defaulted) || !present) return;
  SetNamedSecurityInfoW(const_cast<wchar_t*>(path.c_str()), SE_FILE_OBJECT,
                        DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr, dacl,
                        nullptr);
}

}  // namespace

void* NewServiceFolderSecurity() {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kFolderSddl, SDDL_REVISION_1, &descriptor, nullptr)) {
    return nullptr;
  }
  return descriptor;
}

std::wstring ServiceTempPath() {
  wchar_t path[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, path);
  if (length == 0 || length > MAX_PATH) return std::wstring();
  return std::wstring(path, length);
}

bool PrepareServiceFolder(const std::wstring& temp_path, std::wstring* folder) {
  if (temp_path.empty()) return false;
  std::wstring path = temp_path;
  if (path.back() != L'\\') path.push_back(L'\\');
  path += kServiceFolderName;

  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    const bool plain_folder =
        (attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    if (plain_folder && HasTrustedOwner(path)) {
      ProtectFolder(path);
      *folder = path;
      return true;
    }
    if (!RemoveTree(path)) return false;
  }
  if (!CreateProtectedFolder(path)) return false;
  *folder = path;
  return true;
}
