// The rich edit control holding 32,000 characters against a native rich edit window (the class of
// the same engine library) holding the same text, in the same run: one full paint of the window and
// one keystroke (key down, character, key up, then the repaint it causes), each the median of
// many rounds. Runs under the virtual display:
//   tools/wine-session.sh build/x86_64 tools/wine-run.sh build/x86_64/bench/rich_edit_bench.exe
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "vellum/controls/rich_edit/rich_edit.h"
#include "vellum/core/layout/vertical_layout.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using bench::Now;
using bench::Seconds;

constexpr int kWidth = 480;
constexpr int kHeight = 360;
constexpr int kCharacters = 32000;
constexpr int kRounds = 60;

std::wstring BenchText() {
  std::wstring text;
  const std::wstring line = L"The quick brown fox jumps over the lazy dog while the text grows on. ";
  while (static_cast<int>(text.size()) < kCharacters) {
    text += line;
    if (text.size() % 5 == 0) text += L"\r";
  }
  text.resize(kCharacters);
  return text;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

LRESULT CALLBACK ManagedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* manager = reinterpret_cast<Vellum::CPaintManagerUI*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  LRESULT result = 0;
  if (manager != nullptr && manager->MessageHandler(message, wParam, lParam, result)) return result;
  return ::DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeWindow(const wchar_t* class_name, WNDPROC procedure) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = ::GetModuleHandleW(nullptr);
  window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  window_class.lpszClassName = class_name;
  ::RegisterClassExW(&window_class);
  return ::CreateWindowExW(0, class_name, L"", WS_POPUP | WS_VISIBLE, 20, 20, kWidth, kHeight,
                           nullptr, nullptr, window_class.hInstance, nullptr);
}

struct Figures {
  double paint = 0;
  double keystroke = 0;
};

// One full paint of the window, measured kRounds times.
double TimePaint(HWND window) {
  std::vector<double> samples;
  for (int i = 0; i < kRounds; ++i) {
    const LARGE_INTEGER start = Now();
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    ::GdiFlush();
    samples.push_back(Seconds(start, Now()));
  }
  return Median(samples);
}

// A key typed into target (the window that has the keyboard focus) and the repaint it causes.
double TimeKeystrokes(HWND target, HWND painted) {
  std::vector<double> samples;
  for (int i = 0; i < kRounds; ++i) {
    const LARGE_INTEGER start = Now();
    ::SendMessageW(target, WM_KEYDOWN, 'X', 0x002D0001);
    ::SendMessageW(target, WM_CHAR, L'x', 0x002D0001);
    ::SendMessageW(target, WM_KEYUP, 'X', 0xC02D0001);
    ::UpdateWindow(painted);
    ::GdiFlush();
    samples.push_back(Seconds(start, Now()));
  }
  return Median(samples);
}

Figures RunControl(const std::wstring& text) {
  Figures f;
  HWND window = MakeWindow(L"RichEditBenchHost", &ManagedProc);
  auto* manager = new Vellum::CPaintManagerUI();
  manager->Init(window, L"bench");
  ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(manager));
  auto* edit = new Vellum::CRichEditUI();
  edit->SetAttribute(L"vscrollbar", L"true");
  edit->SetAttribute(L"autovscroll", L"true");
  edit->SetBkColor(0xFFFFFFFF);
  // The root itself is never initialised: the editor sits in a layout, as in a skin.
  auto* root = new Vellum::CVerticalLayoutUI();
  root->Add(edit);
  manager->AttachRootControl(root);
  edit->SetText(text.c_str());
  ::SetForegroundWindow(window);
  ::SetFocus(window);
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  Pump();
  edit->SetFocus();
  edit->SetSel(-1, -1);
  Pump();
  if (edit->GetTextLength() != kCharacters) {
    std::printf("  (control holds %ld characters)\n", edit->GetTextLength());
  }
  f.paint = TimePaint(window);
  f.keystroke = TimeKeystrokes(window, window);
  if (edit->GetTextLength() != kCharacters + kRounds) {
    std::printf("  (control typed %ld of %d)\n", edit->GetTextLength() - kCharacters, kRounds);
  }
  ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  delete manager;
  ::DestroyWindow(window);
  return f;
}

Figures RunNative(const std::wstring& text) {
  Figures f;
  ::LoadLibraryW(L"Msftedit.dll");
  HWND view = ::CreateWindowExW(0, MSFTEDIT_CLASS, L"",
                                WS_POPUP | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                    ES_DISABLENOSCROLL,
                                20, 20, kWidth, kHeight, nullptr, nullptr,
                                ::GetModuleHandleW(nullptr), nullptr);
  if (view == nullptr) {
    std::printf("  (no native rich edit window)\n");
    return f;
  }
  ::SendMessageW(view, EM_EXLIMITTEXT, 0, 0x7FFF);
  ::SetWindowTextW(view, text.c_str());
  ::SetForegroundWindow(view);
  ::SetFocus(view);
  CHARRANGE end{-1, -1};
  ::SendMessageW(view, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
  Pump();
  f.paint = TimePaint(view);
  f.keystroke = TimeKeystrokes(view, view);
  ::DestroyWindow(view);
  return f;
}

}  // namespace

int main() {
  const std::wstring text = BenchText();
  const Figures control = RunControl(text);
  const Figures native = RunNative(text);
  std::printf("%d characters         control ms   native ms   ratio\n", kCharacters);
  auto row = [](const char* step, double ours, double theirs) {
    std::printf("  %-18s %12.3f %11.3f %7.2f\n", step, ours * 1e3, theirs * 1e3,
                theirs > 0 ? ours / theirs : 0.0);
  };
  row("one paint", control.paint, native.paint);
  row("one keystroke", control.keystroke, native.keystroke);
  return 0;
}
