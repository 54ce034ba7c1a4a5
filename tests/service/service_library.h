#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

// The service library loaded as an installer loads it; the service is unregistered when it goes.
class ServiceLibrary {
 public:
  explicit ServiceLibrary(const std::wstring& path) : module_(LoadLibraryW(path.c_str())) {
    if (module_ == nullptr) return;
    register_ = reinterpret_cast<Export>(reinterpret_cast<void*>(GetProcAddress(module_, "DllRegisterServer")));
    unregister_ = reinterpret_cast<Export>(reinterpret_cast<void*>(GetProcAddress(module_, "DllUnregisterServer")));
  }
  ~ServiceLibrary() {
    if (unregister_ != nullptr) unregister_();
    if (module_ != nullptr) FreeLibrary(module_);
  }
  ServiceLibrary(const ServiceLibrary&) = delete;
  ServiceLibrary& operator=(const ServiceLibrary&) = delete;

  bool loaded() const { return register_ != nullptr && unregister_ != nullptr; }
  HRESULT Register() { return register_(); }
  HRESULT Unregister() { return unregister_(); }
  std::wstring Path() const {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(module_, path, MAX_PATH);
    return path;
  }

 private:
  using Export = HRESULT(WINAPI*)();
  HMODULE module_;
  Export register_ = nullptr;
  Export unregister_ = nullptr;
};

}  // namespace testing_support
