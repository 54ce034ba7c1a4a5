#include "service/setup_package.h"

#include <shlwapi.h>

#include "common/logging.h"
#include "common/registry.h"
#include "common/text.h"
#include "service/md5.h"
#include "service/service_folder.h"
#include "service/version_compare.h"

namespace {

bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

// The MD5 text of the open file through a read-only mapping of all of it; "" when it cannot be
// mapped (an empty file cannot be) or is larger than any package.
std::string DigestOfOpenFile(HANDLE file) {
  LARGE_INTEGER size = {};
  if (!GetFileSizeEx(file, &size) || size.QuadPart <= 0 ||
      static_cast<unsigned long long>(size.QuadPart) > kMaxPackageBytes) {
    return std::string();
  }
  ScopedHandle mapping(CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (!mapping.valid()) return std::string();
  const void* view = MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0);
  if (view == nullptr) return std::string();
  uint8_t digest[16];
  Md5(view, static_cast<size_t>(size.QuadPart), digest);
  UnmapViewOfFile(view);
  return Md5Hex(digest);
}

}  // namespace

std::wstring SetupPackagePathIn(const std::wstring& temp_path, const std::string& version) {
  std::wstring folder;
  if (!PrepareServiceFolder(temp_path, &folder)) return std::wstring();
  return folder + L"\\setup_" + Utf8ToUtf16(version) + L".exe";
}

std::wstring GetSetupPackagePath(const std::string& version) { return SetupPackagePathIn(ServiceTempPath(), version); }

std::unique_ptr<ScopedHandle> VerifySetupPackage(const std::wstring& path, const std::string& version,
                                                 const std::string& hash) {
  if (path.empty() || !PathFileExistsW(path.c_str())) return nullptr;

  // Held from before the checks until the setup has started: the checked bytes are the started ones.
  auto held = std::make_unique<ScopedHandle>(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  bool sound = false;
  std::wstring file_version;
  if (held->valid() && GetFileVersionString(path, &file_version) && !file_version.empty()) {
    if (CompareVersion(file_version, Utf8ToUtf16(version)) != 0) {
      LOG_INFO << "old ver not equal cfg";
    } else {
      const std::string digest = DigestOfOpenFile(held->get());
      if (!digest.empty() && EqualIgnoringAsciiCase(digest, hash)) {
        sound = true;
      } else if (!digest.empty()) {
        LOG_WARN << "old md5 not equal cfg. file md5: " << digest << ",cfg hash : " << hash;
      }
    }
  }
  if (!sound) {
    held.reset();
    DeleteFileW(path.c_str());
    LOG_WARN << "delete old setup package file";
  }
  LOG_INFO << "VerifySetupPackage Result: " << (sound ? 1 : 0);
  return sound ? std::move(held) : nullptr;
}

bool ClearSetupPackage(const std::wstring& path) {
  LOG_INFO << "app_setup_path: " << Utf16ToUtf8(path);
  if (path.empty() || !PathFileExistsW(path.c_str())) return true;
  if (DeleteFileW(path.c_str())) return true;
  const DWORD error = GetLastError();
  LOG_WARN << "ClearCurrentVersionSetupPackage failed, err: " << error;
  return false;
}
