// A skin's whole life in a framework window, as users and programs put one through it: loaded, shown,
// painted, moved over, clicked and scrolled, every other control removed through its container, a
// label added, painted again and destroyed, all within a second and in a window no larger than the
// screens.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/ui_input.h"
#include "vellum/core/base_controls/label.h"
#include "vellum/core/layout/container.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/window/window_impl_base.h"

namespace testing_support {

class SkinLifeWindow : public Vellum::WindowImplBase {
 public:
  explicit SkinLifeWindow(const std::wstring& skin) : skin_(skin) {}
  const wchar_t* GetWindowClassName() const override { return L"VellumTestSkinLifeWindow"; }
  const wchar_t* GetSkinFile() override { return skin_.c_str(); }

 private:
  std::wstring skin_;
};

inline Vellum::CControlUI* CALLBACK CollectSkinControl(Vellum::CControlUI* control, LPVOID data) {
  static_cast<std::vector<Vellum::CControlUI*>*>(data)->push_back(control);
  return nullptr;
}

// `skin` is the skin's text, or a file of the resource folder.
inline void LiveThroughSkin(const std::wstring& skin) {
  using namespace Vellum;
  const DWORD started = GetTickCount();
  SkinLifeWindow window(skin);
  ASSERT_NE(window.Create(nullptr, L"skin life", WS_POPUP, 0, 0, 0, 200, 150), nullptr);
  HWND hwnd = window.GetHWND();
  window.ShowWindow(true, false);
  UpdateWindow(hwnd);
  for (int i = 0; i < 20; ++i) {
    const LPARAM point = MAKELPARAM(i * 10, i * 7);
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, point);
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageW(hwnd, WM_LBUTTONUP, 0, point);
    SendMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, -120), point);
  }
  std::vector<CControlUI*> all;
  CControlUI* root = window.GetPaintManager().GetRoot();
  ASSERT_NE(root, nullptr);
  root->FindControl(CollectSkinControl, &all, 0);
  // From the leaves up, so that no control is taken after its container went.
  for (size_t i = all.size(); i-- > 1;) {
    auto* parent = all[i]->GetParent();
    auto* container =
        parent ? static_cast<IContainerUI*>(parent->GetInterface(L"IContainer")) : nullptr;
    if (container && container->GetItemIndex(all[i]) >= 0 && i % 2 == 0) container->Remove(all[i]);
  }
  if (auto* container = static_cast<IContainerUI*>(root->GetInterface(L"IContainer"))) {
    container->Add(new CLabelUI());
  }
  InvalidateRect(hwnd, nullptr, FALSE);
  UpdateWindow(hwnd);
  PumpFor(20);
  RECT placed{};
  GetWindowRect(hwnd, &placed);
  EXPECT_LE(placed.right - placed.left, GetSystemMetrics(SM_CXVIRTUALSCREEN));
  EXPECT_LE(placed.bottom - placed.top, GetSystemMetrics(SM_CYVIRTUALSCREEN));
  DestroyWindow(hwnd);
  EXPECT_LT(GetTickCount() - started, 1000u);
  // The last messages of native windows that went with it.
  PumpFor(20);
}

// Writes a skin file into the working folder.
inline void WriteSkinFile(const wchar_t* name, const char* text) {
  FILE* file = _wfopen(name, L"wb");
  ASSERT_NE(file, nullptr);
  fputs(text, file);
  fclose(file);
}

}  // namespace testing_support
