// The list with 10,000 and 50,000 label rows against the platform list view in report mode, each
// doing the same steps in the same run: add every row, one layout, Ctrl+A, walk the selection,
// remove the first 1,000 rows one by one, scroll 100 lines, one full paint.
// Each size is run several times (the first argument, 3 by default) and every step reports its
// best time on either side, so a busy machine disturbs the ratios less.
// Runs under the virtual display: tools/wine-session.sh build/x86_64 tools/wine-run.sh ... list_bench.exe
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "bench/bench_surface.h"
#include "vellum/controls/list/list.h"
#include "vellum/controls/list/list_element.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using bench::Now;
using bench::Seconds;

constexpr int kWidth = 400;
constexpr int kHeight = 300;
constexpr int kRowHeight = 20;
constexpr int kRemoved = 1000;
constexpr int kScrollLines = 100;

const char* const kSteps[] = {"add all", "layout", "Ctrl+A", "walk selection", "remove 1,000 first",
                              "scroll 100 lines", "full paint"};
constexpr int kStepCount = 7;

struct Timings {
  double seconds[kStepCount] = {};

  void KeepBest(const Timings& run) {
    for (int i = 0; i < kStepCount; ++i) seconds[i] = std::min(seconds[i], run.seconds[i]);
  }
};

Timings Unmeasured() {
  Timings t;
  std::fill(std::begin(t.seconds), std::end(t.seconds), 1e9);
  return t;
}

void HoldControl(bool down) {
  BYTE keys[256];
  ::GetKeyboardState(keys);
  keys[VK_CONTROL] = down ? 0x80 : 0;
  ::SetKeyboardState(keys);
}

Timings RunList(int rows, HWND window) {
  Timings t;
  Vellum::CPaintManagerUI manager;
  manager.Init(window);
  auto* list = new Vellum::CListUI();
  list->SetMultiSelect(true);
  list->EnableScrollBar(true, false);
  manager.AttachRootControl(list);
  bench::Canvas canvas(nullptr, kWidth, kHeight);

  LARGE_INTEGER start = Now();
  for (int i = 0; i < rows; ++i) {
    auto* row = new Vellum::CListLabelElementUI();
    row->SetFixedHeight(kRowHeight);
    row->SetText((L"Row " + std::to_wstring(i)).c_str());
    list->Add(row);
  }
  t.seconds[0] = Seconds(start, Now());

  start = Now();
  list->SetPos(RECT{0, 0, kWidth, kHeight}, false);
  t.seconds[1] = Seconds(start, Now());

  start = Now();
  HoldControl(true);
  Vellum::TUIEvent key;
  key.type = Vellum::UIEVENT_KEYDOWN;
  key.sender = list;
  key.key_char = 'A';
  list->Event(key);
  HoldControl(false);
  t.seconds[2] = Seconds(start, Now());

  start = Now();
  int walked = 0;
  for (int i = list->GetNextSelItem(-1); i != -1; i = list->GetNextSelItem(i)) ++walked;
  t.seconds[3] = Seconds(start, Now());
  if (walked != rows) std::printf("  (list walked %d of %d)\n", walked, rows);

  start = Now();
  for (int i = 0; i < kRemoved; ++i) list->RemoveAt(0);
  list->SetPos(RECT{0, 0, kWidth, kHeight}, false);
  t.seconds[4] = Seconds(start, Now());

  start = Now();
  for (int i = 0; i < kScrollLines; ++i) list->LineDown();
  t.seconds[5] = Seconds(start, Now());

  start = Now();
  list->Paint(canvas.dc, RECT{0, 0, kWidth, kHeight});
  GdiFlush();
  t.seconds[6] = Seconds(start, Now());
  return t;
}

Timings RunListView(int rows, HWND parent) {
  Timings t;
  HWND view = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 10,
                                10, parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  LVCOLUMNW column{};
  column.mask = LVCF_WIDTH | LVCF_TEXT;
  column.cx = kWidth - 20;
  column.pszText = const_cast<wchar_t*>(L"Rows");
  ListView_InsertColumn(view, 0, &column);
  bench::Canvas canvas(nullptr, kWidth, kHeight);

  LARGE_INTEGER start = Now();
  for (int i = 0; i < rows; ++i) {
    std::wstring text = L"Row " + std::to_wstring(i);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = i;
    item.pszText = text.data();
    ListView_InsertItem(view, &item);
  }
  t.seconds[0] = Seconds(start, Now());

  start = Now();
  ::SetWindowPos(view, nullptr, 0, 0, kWidth, kHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  t.seconds[1] = Seconds(start, Now());

  start = Now();
  ListView_SetItemState(view, -1, LVIS_SELECTED, LVIS_SELECTED);
  t.seconds[2] = Seconds(start, Now());

  start = Now();
  int walked = 0;
  for (int i = ListView_GetNextItem(view, -1, LVNI_SELECTED); i != -1;
       i = ListView_GetNextItem(view, i, LVNI_SELECTED)) {
    ++walked;
  }
  t.seconds[3] = Seconds(start, Now());
  if (walked != rows) std::printf("  (list view walked %d of %d)\n", walked, rows);

  start = Now();
  for (int i = 0; i < kRemoved; ++i) ListView_DeleteItem(view, 0);
  t.seconds[4] = Seconds(start, Now());

  start = Now();
  for (int i = 0; i < kScrollLines; ++i) ListView_Scroll(view, 0, kRowHeight);
  t.seconds[5] = Seconds(start, Now());

  start = Now();
  ::SendMessageW(view, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc), PRF_CLIENT | PRF_ERASEBKGND);
  GdiFlush();
  t.seconds[6] = Seconds(start, Now());
  ::DestroyWindow(view);
  return t;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
  ::InitCommonControlsEx(&controls);
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = bench::PassProc;
  window_class.hInstance = ::GetModuleHandleW(nullptr);
  window_class.lpszClassName = L"ListBenchHost";
  ::RegisterClassExW(&window_class);
  HWND host = ::CreateWindowExW(WS_EX_TOOLWINDOW, L"ListBenchHost", L"", WS_POPUP, 0, 0, kWidth,
                                kHeight, nullptr, nullptr, window_class.hInstance, nullptr);

  for (const int rows : {10000, 50000}) {
    Timings list = Unmeasured();
    Timings view = Unmeasured();
    for (int run = 0; run < runs; ++run) {
      list.KeepBest(RunList(rows, host));
      view.KeepBest(RunListView(rows, host));
    }
    std::printf("%d rows, best of %d      list ms   list view ms   ratio\n", rows, runs);
    for (int i = 0; i < kStepCount; ++i) {
      const double ratio = view.seconds[i] > 0 ? list.seconds[i] / view.seconds[i] : 0.0;
      std::printf("  %-20s %9.2f %14.2f %7.2f\n", kSteps[i], list.seconds[i] * 1e3,
                  view.seconds[i] * 1e3, ratio);
    }
  }
  ::DestroyWindow(host);
  return 0;
}
