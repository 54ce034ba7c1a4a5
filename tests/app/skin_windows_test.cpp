// The program's three windows built from the embedded skin package at each DPI the program gives
// its windows: the window's size is the skin's size scaled exactly, every named control is there
// with its class, and the images drawn are the variants made for that scale.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/embedded_skin_package.h"
#include "tests/support/ui_input.h"
#include "vellum/core/manager/control.h"
#include "vellum/core/base/dpi_scaler.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"
#include "vellum/core/window/window_impl_base.h"

namespace {

using namespace Vellum;
using testing_support::PumpFor;

// The smallest framework window that builds a skin file of the package.
class PackageWindow : public WindowImplBase {
 public:
  explicit PackageWindow(const wchar_t* skin) : skin_(skin) {}
  const wchar_t* GetWindowClassName() const override { return L"LumavexTestPackageWindow"; }
  const wchar_t* GetSkinFile() override { return skin_; }

 private:
  const wchar_t* skin_;
};

struct NamedControl {
  const wchar_t* name;
  const wchar_t* class_name;  // as GetClass returns it
  const wchar_t* interface_name;
};

// An image one of the window's controls draws, with its size at 96 DPI.
struct ProbeImage {
  const wchar_t* base_name;  // as the skin writes it, without a scale mark
  int width;
  int height;
};

struct WindowCase {
  const wchar_t* skin;
  SIZE size;  // the Window element's "size", at 96 DPI
  std::vector<NamedControl> controls;
  std::vector<ProbeImage> images;
};

const WindowCase kWindows[] = {
    {L"main_wnd.xml", {0, 0}, {{L"mainLayout", L"VerticalLayoutUI", L"VerticalLayout"}}, {}},
    {L"pop_menu.xml",
     {120, 72},
     {{L"layout", L"VerticalLayoutUI", L"VerticalLayout"},
      {L"tray_open_setting", L"ButtonUI", L"Button"},
      {L"tray_open_quit", L"ButtonUI", L"Button"}},
     {{L"img/setting_icon.png", 480, 32}, {L"img/exit_icon.png", 480, 32}}},
    {L"setting_wnd.xml",
     {568, 344},
     {{L"close_btn", L"ButtonUI", L"Button"},
      {L"enable_btn", L"OptionUI", L"Option"},
      {L"minus_btn", L"ButtonUI", L"Button"},
      {L"scale_factor", L"LabelUI", L"Label"},
      {L"plus_btn", L"ButtonUI", L"Button"},
      {L"autostart_btn", L"OptionUI", L"Option"},
      {L"gamemode_btn", L"OptionUI", L"Option"}},
     // The switches' paths are written with a back slash and must resolve all the same.
     {{L"img/shadow.png", 568, 344},
      {L"img/setting_bkg.png", 520, 296},
      {L"img/btn_setting_close.png", 144, 32},
      {L"img\\opt_switch_on.png", 128, 20},
      {L"img/minus_btn.png", 96, 24},
      {L"img/plus_btn.png", 96, 24}}},
};

struct DpiCase {
  int dpi;
  int scale;  // percent
};
const DpiCase kDpis[] = {{96, 100}, {144, 150}, {192, 200}};

std::wstring ScaledName(const wchar_t* base_name, int scale) {
  std::wstring name = base_name;
  if (scale == 100) return name;
  const size_t dot = name.rfind(L'.');
  return name.substr(0, dot) + L"@" + std::to_wstring(scale) + name.substr(dot);
}

class SkinWindows : public testing::Test {
 protected:
  static void SetUpTestSuite() { testing_support::UseEmbeddedSkinPackage(); }
  void SetUp() override {
    ASSERT_FALSE(testing_support::EmbeddedSkinPackage().empty()) << "resource ZIPRES 137 is missing";
  }
};

// All three scales in one process: each window's manager gets its own scale before the window
// exists, so the skin's size and images are taken at that scale from the start.
TEST_F(SkinWindows, EachWindowBuildsAtEachScaleWithItsControlsAndScaledImages) {
  for (const DpiCase& dpi : kDpis) {
    for (const WindowCase& window_case : kWindows) {
      SCOPED_TRACE(testing::PrintToString(std::wstring(window_case.skin) + L" at " +
                                          std::to_wstring(dpi.dpi) + L" DPI"));
      PackageWindow window(window_case.skin);
      CPaintManagerUI& manager = window.GetPaintManager();
      manager.SetDPI(dpi.dpi);
      ASSERT_EQ(manager.GetDpiScaler()->GetScale(), dpi.scale);
      HWND hwnd = window.Create(nullptr, window_case.skin, WS_POPUP, WS_EX_TOOLWINDOW, 40, 40, 10, 10);
      ASSERT_NE(hwnd, nullptr);

      const SIZE expected{window_case.size.cx * dpi.scale / 100, window_case.size.cy * dpi.scale / 100};
      const SIZE init = manager.GetInitSize();
      EXPECT_EQ(init.cx, expected.cx);
      EXPECT_EQ(init.cy, expected.cy);

      ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
      ::UpdateWindow(hwnd);
      PumpFor(100);

      RECT rect{};
      ASSERT_TRUE(::GetWindowRect(hwnd, &rect));
      EXPECT_EQ(rect.right - rect.left, expected.cx);
      EXPECT_EQ(rect.bottom - rect.top, expected.cy);
      RECT client{};
      ASSERT_TRUE(::GetClientRect(hwnd, &client));
      EXPECT_EQ(client.right, expected.cx) << "the frame has no border of its own";
      EXPECT_EQ(client.bottom, expected.cy);
      ASSERT_NE(manager.GetRoot(), nullptr);
      const RECT root = manager.GetRoot()->GetPos();
      EXPECT_EQ(root.right - root.left, expected.cx) << "the tree is laid out over the whole window";
      EXPECT_EQ(root.bottom - root.top, expected.cy);

      for (const NamedControl& named : window_case.controls) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(named.name)));
        CControlUI* control = manager.FindControl(named.name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(std::wstring(control->GetClass()), named.class_name);
        EXPECT_EQ(control->GetInterface(named.interface_name), static_cast<void*>(control));
        EXPECT_EQ(std::wstring(control->GetName().GetData()), named.name);
      }

      // The first paint loads each drawn image under its scaled name, at exactly that scale; the
      // unscaled image is never loaded at another scale.
      for (const ProbeImage& probe : window_case.images) {
        const std::wstring name = ScaledName(probe.base_name, dpi.scale);
        SCOPED_TRACE(testing::PrintToString(name));
        TUIImageInfo* image = manager.GetImage(name.c_str());
        ASSERT_NE(image, nullptr) << "not drawn at this scale";
        EXPECT_EQ(image->width, probe.width * dpi.scale / 100);
        EXPECT_EQ(image->height, probe.height * dpi.scale / 100);
        if (dpi.scale != 100) {
          EXPECT_EQ(manager.GetImage(probe.base_name), nullptr);
        }
      }

      ::DestroyWindow(hwnd);
      PumpFor(20);
    }
  }
}

}  // namespace
