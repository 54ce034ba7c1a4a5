#pragma once

// The test DLL's exports, for the tests that load it.

#include <windows.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/vellum/controls/activex/test_control.h"

namespace test_control {

// The test DLL's exports, loaded from beside the test program as the host loads it.
class TestControlModule {
 public:
  TestControlModule() : module_(::LoadLibraryW(test_control::kModuleName)) {}
  ~TestControlModule() {
    if (module_) ::FreeLibrary(module_);
  }
  bool loaded() const { return module_ != nullptr; }
  std::vector<std::wstring> Log() const {
    std::vector<std::wstring> lines;
    std::wstringstream in(Proc<test_control::LogProc>("TestControlLog")());
    for (std::wstring line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  void ClearLog() const { Proc<test_control::ClearLogProc>("TestControlClearLog")(); }
  IOleClientSite* ClientSite() const {
    return Proc<test_control::ClientSiteProc>("TestControlClientSite")();
  }
  LONG LiveObjects() const { return Proc<test_control::LiveObjectsProc>("TestControlLiveObjects")(); }

 private:
  template <typename T>
  T Proc(const char* name) const {
    return reinterpret_cast<T>(reinterpret_cast<void*>(::GetProcAddress(module_, name)));
  }
  HMODULE module_;
};

}  // namespace test_control
