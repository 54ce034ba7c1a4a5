// A program whose only window names a skin that does not exist: the window test starts it, answers
// the error box and checks the exit code.

#include <windows.h>

#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/window/window_impl_base.h"

namespace {

class MissingSkinWindow : public Vellum::WindowImplBase {
 public:
  const wchar_t* GetWindowClassName() const override { return L"VellumMissingSkinWindow"; }
  const wchar_t* GetSkinFile() override { return L"wb_missing_skin.xml"; }
};

}  // namespace

int main() {
  Vellum::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
  MissingSkinWindow window;
  window.Create(nullptr, L"missing skin", WS_POPUP, 0, 0, 0, 100, 100);
  // Reached only if the window did not end the process.
  return 0;
}
