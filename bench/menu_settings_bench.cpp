// The tray menu's settings item as a user meets it: the tray program (its own process) opens its menu,
// the item is clicked, and the time runs until the settings window is on the screen with its content
// painted; then Escape is pressed at once and the time runs until the window is hidden and gone from
// the screen. The reference, in the same run, is a plain pop-up window of this benchmark shown and
// painted, and hidden by Escape. The first choice makes the settings window; later ones show the same
// window again. (Whether the program's thread answers a sent message says nothing here: a thread
// waiting inside a system call may still answer one.)
// Needs a display:  tools/wine-run.sh build/x86_64/bench/menu_settings_bench.exe [runs] [path of Lumavex.exe]
// The program is the loopback build next to the benchmark unless a path is given.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "bench/tray_program.h"

namespace {

using bench::Now;
using bench::Seconds;

constexpr UINT kTrayCallbackMessage = 0x8001;
constexpr wchar_t kReferenceClass[] = L"LumavexMenuBenchReference";
constexpr DWORD kLimitMs = 20000;

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The first top-level window of `class_name` that belongs to `process`.
HWND FindProcessWindow(const wchar_t* class_name, DWORD process) {
  for (HWND window = FindWindowExW(nullptr, nullptr, class_name, nullptr); window != nullptr;
       window = FindWindowExW(nullptr, window, class_name, nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == process) return window;
  }
  return nullptr;
}

// Dispatches this thread's messages until `done` holds; false at the limit.
template <typename Done>
bool PumpUntil(Done done) {
  const LARGE_INTEGER start = Now();
  while (!done()) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (Seconds(start, Now()) * 1000 > kLimitMs) return false;
    Sleep(0);
  }
  return true;
}

// Painted: the screen shows something other than the black desktop in the window's middle.
bool OnScreen(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  ReleaseDC(nullptr, screen);
  return colour != CLR_INVALID && colour != RGB(0, 0, 0);
}

bool PaintedOnScreen(HWND window) { return IsWindowVisible(window) && OnScreen(window); }
bool GoneFromScreen(HWND window) { return !IsWindowVisible(window) && !OnScreen(window); }

void Click() {
  INPUT inputs[2] = {};
  inputs[0].type = inputs[1].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, inputs, sizeof(INPUT));
}

void PressEscape() {
  INPUT inputs[2] = {};
  inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
  inputs[0].ki.wVk = inputs[1].ki.wVk = VK_ESCAPE;
  inputs[0].ki.wScan = inputs[1].ki.wScan = static_cast<WORD>(MapVirtualKeyW(VK_ESCAPE, 0));
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, inputs, sizeof(INPUT));
}

LRESULT CALLBACK ReferenceProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_KEYDOWN && wparam == VK_ESCAPE) {
    ShowWindow(window, SW_HIDE);
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

struct Times {
  std::vector<double> shown;  // choice (or show) to painted on the screen
  std::vector<double> hidden;  // Escape to hidden and gone from the screen
};

// The reference: a plain white pop-up of this process, the settings window's size, in the middle.
bool ReferenceRun(HWND window, Times* times) {
  const LARGE_INTEGER shown_at = Now();
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  if (!PumpUntil([&] { return PaintedOnScreen(window); })) return false;
  times->shown.push_back(Seconds(shown_at, Now()));
  const LARGE_INTEGER escape_at = Now();
  PressEscape();
  if (!PumpUntil([&] { return GoneFromScreen(window); })) return false;
  times->hidden.push_back(Seconds(escape_at, Now()));
  return true;
}

// One menu choice in the program: false when a step did not happen within the limit.
bool ProgramRun(HWND main_window, DWORD process, Times* times) {
  PostMessageW(main_window, kTrayCallbackMessage, 1, WM_RBUTTONUP);
  HWND menu = nullptr;
  if (!PumpUntil([&] { return (menu = FindProcessWindow(L"LUMAVEX_POP_MENU", process)) != nullptr &&
                              IsWindowVisible(menu) && GetForegroundWindow() == menu; })) {
    std::printf("the tray menu did not open\n");
    return false;
  }
  RECT rect;
  GetWindowRect(menu, &rect);
  // The settings item is the upper half of the menu.
  const POINT item = {(rect.left + rect.right) / 2, rect.top + (rect.bottom - rect.top) / 4};
  // The pointer rests on the item first, as a user's does before the click.
  SetCursorPos(item.x, item.y);
  const LARGE_INTEGER rest = Now();
  PumpUntil([&] { return Seconds(rest, Now()) > 0.2; });
  const LARGE_INTEGER chosen_at = Now();
  Click();
  HWND settings = nullptr;
  const bool shown = PumpUntil([&] {
    settings = FindProcessWindow(L"LumavexSettingWnd", process);
    return settings != nullptr && PaintedOnScreen(settings);
  });
  if (!shown) {
    std::printf("the settings window was not painted\n");
    return false;
  }
  times->shown.push_back(Seconds(chosen_at, Now()));
  const LARGE_INTEGER escape_at = Now();
  PressEscape();
  if (!PumpUntil([&] { return GoneFromScreen(settings); })) {
    std::printf("Escape did not hide the settings window\n");
    return false;
  }
  times->hidden.push_back(Seconds(escape_at, Now()));
  return true;
}

void Print(const char* what, const std::vector<double>& values, double reference) {
  const double ms = Median(values) * 1000;
  std::printf("  %-44s median %8.1f ms", what, ms);
  if (reference > 0) std::printf("  (%.1f x the reference)", ms / (reference * 1000));
  std::printf("\n");
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const int runs = argc > 1 ? std::max(2, _wtoi(argv[1])) : 8;
  const std::wstring program = bench::TrayProgramPath(argc, argv, 2);

  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = ReferenceProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = kReferenceClass;
  RegisterClassExW(&wc);
  const int width = 568;
  const int height = 344;
  const HWND reference = CreateWindowExW(WS_EX_TOPMOST, kReferenceClass, L"", WS_POPUP,
                                         (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                         (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr,
                                         nullptr, wc.hInstance, nullptr);
  if (reference == nullptr) {
    std::printf("no window could be made (no display?)\n");
    return 1;
  }

  bench::TrayProgram tray_program;
  if (!tray_program.Start(program) || tray_program.WaitForTrayIcon(kLimitMs) < 0) {
    std::printf("%ls did not start with its tray icon\n", program.c_str());
    return 1;
  }
  const DWORD process = GetProcessId(tray_program.process());
  const HWND main_window = FindProcessWindow(L"LumavexMainWnd", process);
  if (main_window == nullptr) {
    std::printf("the program's main window was not found\n");
    return 1;
  }

  Times first;
  Times again;
  Times plain;
  for (int run = 0; run < runs; ++run) {
    if (!ReferenceRun(reference, &plain)) {
      std::printf("the reference window did not show and hide\n");
      return 1;
    }
    if (!ProgramRun(main_window, process, run == 0 ? &first : &again)) return 1;
  }
  DestroyWindow(reference);

  std::printf("menu choice to settings window painted, and Escape to gone (%d runs; the first makes the window)\n",
              runs);
  const double shown_floor = Median(plain.shown);
  const double hidden_floor = Median(plain.hidden);
  Print("reference: plain pop-up shown to painted", plain.shown, 0);
  Print("reference: Escape to plain pop-up gone", plain.hidden, 0);
  Print("first choice to settings painted", first.shown, shown_floor);
  Print("first Escape to settings gone", first.hidden, hidden_floor);
  Print("later choices to settings painted", again.shown, shown_floor);
  Print("later Escapes to settings gone", again.hidden, hidden_floor);
  return 0;
}
