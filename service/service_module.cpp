#include "service/service_module.h"

#include "common/registry.h"
#include "common/text.h"

namespace {

HINSTANCE g_module = nullptr;

}  // namespace

HINSTANCE ServiceModule() { return g_module; }

void SetServiceModule(HINSTANCE module) { g_module = module; }

std::wstring ServiceModulePath() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(g_module, path, MAX_PATH);
  // A path cut to the buffer is no path.
  if (length == 0 || length >= MAX_PATH) return std::wstring();
  return std::wstring(path, length);
}

std::string GetModuleVersion() {
  const std::wstring path = ServiceModulePath();
  std::wstring version;
  if (path.empty() || !GetFileVersionString(path, &version)) return std::string();
  return Utf16ToUtf8(version);
}
