// A menu of 50 items from the call that shows it to the end of its first WM_PAINT (its XML built on
// the way), against the platform's pop-up menu of 50 items from building it to the first
// WM_ENTERIDLE its modal loop sends the owner (the menu shown and painted, nothing left to do).
// Each is opened and closed 25 times in the same run; medians and the ratio are printed.
// Runs under the virtual display:
//   tools/wine-session.sh build/x86_64 tools/wine-run.sh build/x86_64/bench/menu_bench.exe
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "vellum/controls/menu/menu_observer.h"
#include "vellum/controls/menu/menu_wnd.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using bench::Now;
using bench::Seconds;

constexpr int kItems = 50;
constexpr int kRuns = 25;

LARGE_INTEGER g_painted{};
bool g_painted_seen = false;
WNDPROC g_menu_proc = nullptr;
LARGE_INTEGER g_idle{};
bool g_idle_seen = false;

void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

// Watches the menu window: the time when its first WM_PAINT has been handled.
LRESULT CALLBACK WatchPaint(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = ::CallWindowProcW(g_menu_proc, hwnd, message, wParam, lParam);
  if (message == WM_PAINT && !g_painted_seen) {
    g_painted = Now();
    g_painted_seen = true;
  }
  return result;
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ENTERIDLE && wParam == MSGF_MENU && !g_idle_seen) {
    g_idle = Now();
    g_idle_seen = true;
    ::EndMenu();
    return 0;
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

std::wstring MenuXml() {
  std::wstring xml = L"<Window><Menu bkcolor=\"#FFFFFFFF\" itemtextpadding=\"30,0,8,0\">";
  for (int i = 0; i < kItems; ++i) {
    xml += L"<MenuElement name=\"item" + std::to_wstring(i) + L"\" text=\"Menu item " +
           std::to_wstring(i) + L"\" height=\"18\" />";
  }
  return xml + L"</Menu></Window>";
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0.0 : values[values.size() / 2];
}

double OpenSkinned(const std::wstring& xml, Vellum::CPaintManagerUI* main_manager) {
  g_painted_seen = false;
  const LARGE_INTEGER start = Now();
  auto* menu = new Vellum::CMenuWnd();
  if (!menu->Init(nullptr, xml.c_str(), POINT{100, 20}, main_manager)) return -1;
  HWND hwnd = menu->GetHWND();
  g_menu_proc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchPaint)));
  while (!g_painted_seen && ::IsWindow(hwnd)) {
    Pump();
    if (!g_painted_seen) ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
  const double seconds = g_painted_seen ? Seconds(start, g_painted) : -1;
  Vellum::GetMenuObserver().Broadcast(Vellum::MENU_CLOSE_ALL, nullptr);
  while (::IsWindow(hwnd)) {
    Pump();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return seconds;
}

double OpenPlatform(HWND host) {
  g_idle_seen = false;
  const LARGE_INTEGER start = Now();
  HMENU menu = ::CreatePopupMenu();
  for (int i = 0; i < kItems; ++i) {
    const std::wstring text = L"Menu item " + std::to_wstring(i);
    ::AppendMenuW(menu, MF_STRING, 100 + i, text.c_str());
  }
  ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN, 100, 20, 0, host, nullptr);
  ::DestroyMenu(menu);
  Pump();
  return g_idle_seen ? Seconds(start, g_idle) : -1;
}

}  // namespace

int main() {
  Vellum::CPaintManagerUI::SetInstance(::GetModuleHandleW(nullptr));
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = HostProc;
  window_class.hInstance = ::GetModuleHandleW(nullptr);
  window_class.lpszClassName = L"MenuBenchHost";
  ::RegisterClassExW(&window_class);
  HWND host = ::CreateWindowExW(0, L"MenuBenchHost", L"menu bench", WS_POPUP | WS_VISIBLE, 0, 0,
                                60, 60, nullptr, nullptr, window_class.hInstance, nullptr);
  if (!host) {
    std::fprintf(stderr, "menu_bench: no window (run it under the virtual display)\n");
    return 1;
  }
  ::SetForegroundWindow(host);
  Pump();
  Vellum::CPaintManagerUI main_manager;
  main_manager.Init(host);
  const std::wstring xml = MenuXml();

  // One of each first, so that class registration and first-use costs stay out of the figures.
  OpenSkinned(xml, &main_manager);
  OpenPlatform(host);
  std::vector<double> skinned, platform;
  for (int i = 0; i < kRuns; ++i) {
    skinned.push_back(OpenSkinned(xml, &main_manager));
    ::SetForegroundWindow(host);
    Pump();
    platform.push_back(OpenPlatform(host));
  }
  const double menu_ms = Median(skinned) * 1e3;
  const double platform_ms = Median(platform) * 1e3;
  std::printf("%d items, median of %d       menu ms   platform menu ms   ratio\n", kItems, kRuns);
  std::printf("  open to first paint   %9.2f %18.2f %7.2f\n", menu_ms, platform_ms,
              platform_ms > 0 ? menu_ms / platform_ms : 0.0);
  ::DestroyWindow(host);
  return 0;
}
