#include "common/registry.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "common/scoped_reg_key.h"
#include "common/text.h"

const wchar_t kProductRegistryKey[] = L"SOFTWARE\\Lumavex";
const wchar_t kUninstallRegistryKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{5B0E2C71-3D94-4A6F-8E21-C7D9A0B4F613}_is1";

namespace {

constexpr DWORD kStringValueBytes = 1024;
// The largest version block read; a bigger one is treated as no version information.
constexpr DWORD kMaxVersionInfoBytes = 16383;


}  // namespace

std::wstring RegistryWideText(const void* data, size_t size, size_t max_chars) {
  if (data == nullptr) return std::wstring();
  const size_t available = std::min(size / sizeof(wchar_t), max_chars);
  std::wstring text(available, L'\0');
  std::copy_n(static_cast<const unsigned char*>(data), available * sizeof(wchar_t),
              reinterpret_cast<unsigned char*>(&text[0]));
  const size_t end = text.find(L'\0');
  if (end != std::wstring::npos) text.resize(end);
  return text;
}

std::string RegistryNarrowText(const void* data, size_t size, size_t max_chars) {
  if (data == nullptr) return std::string();
  std::string text(static_cast<const char*>(data), std::min(size, max_chars));
  const size_t end = text.find('\0');
  if (end != std::string::npos) text.resize(end);
  return text;
}

bool ReadRegDwordHKLM(const std::wstring& sub_key, const std::wstring& value_name, unsigned long* out) {
  if (out == nullptr) return false;
  ScopedRegKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, sub_key.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, key.put()) != ERROR_SUCCESS) {
    return false;
  }
  DWORD value = 0;
  DWORD size = sizeof(value);
  if (RegQueryValueExW(key.get(), value_name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) !=
          ERROR_SUCCESS ||
      size != sizeof(value)) {
    return false;
  }
  *out = value;
  return true;
}

bool ReadRegStringHKLM(const std::wstring& sub_key, const std::wstring& value_name, std::wstring* out) {
  if (out == nullptr) return false;
  ScopedRegKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, sub_key.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, key.put()) !=
      ERROR_SUCCESS) {
    return false;
  }
  std::vector<BYTE> buffer(kStringValueBytes, 0);
  DWORD size = kStringValueBytes;
  if (RegQueryValueExW(key.get(), value_name.c_str(), nullptr, nullptr, buffer.data(), &size) != ERROR_SUCCESS) {
    return false;
  }
  // One character of the buffer is kept for the terminator, so a value filling it is cut at 511.
  *out = RegistryWideText(buffer.data(), size, kStringValueBytes / sizeof(wchar_t) - 1);
  return true;
}

bool GetFileVersionString(const std::wstring& module_path, std::wstring* out) {
  if (out == nullptr || module_path.empty()) return false;
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(module_path.c_str(), &handle);
  if (size == 0 || size > kMaxVersionInfoBytes) return false;
  std::vector<BYTE> block(size, 0);
  if (!GetFileVersionInfoW(module_path.c_str(), 0, size, block.data())) return false;
  void* root = nullptr;
  UINT root_size = 0;
  if (!VerQueryValueW(block.data(), L"\\", &root, &root_size) || root == nullptr ||
      root_size < sizeof(VS_FIXEDFILEINFO)) {
    return false;
  }
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(root);
  wchar_t text[64] = {};
  _snwprintf(text, 63, L"%d.%d.%d.%d", static_cast<int>(HIWORD(info->dwFileVersionMS)),
             static_cast<int>(LOWORD(info->dwFileVersionMS)), static_cast<int>(HIWORD(info->dwFileVersionLS)),
             static_cast<int>(LOWORD(info->dwFileVersionLS)));
  *out = text;
  return true;
}

std::string GetProductVersion() {
  std::wstring version;
  if (!ReadRegStringHKLM(kProductRegistryKey, L"ProductVersion", &version) || version.empty()) {
    version.clear();
    if (!ReadRegStringHKLM(kUninstallRegistryKey, L"ProductVersion", &version)) return std::string();
  }
  return Utf16ToUtf8(version);
}
