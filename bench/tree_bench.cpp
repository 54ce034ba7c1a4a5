// The tree view with 10,000 nodes in three levels (16 top nodes, 24 children each, 25 grandchildren
// each) against the platform tree view doing the same in the same run: build the tree from skin
// XML and at run time (the platform inserts the same items for both), open every folder of a
// closed tree, one full paint. A fifth line, a breakdown of the run-time build, adds the same
// nodes level by level (every top node, then every child, then every grandchild), so that each
// new row goes in between rows already there.
// Runs under the virtual display: tools/wine-session.sh build/x86_64 tools/wine-run.sh ... tree_bench.exe
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "bench/bench_surface.h"
#include "vellum/controls/tree/tree_node.h"
#include "vellum/controls/tree/tree_view.h"
#include "vellum/core/base_controls/option.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/dialog_builder.h"

namespace {

using bench::Now;
using bench::Seconds;

constexpr int kWidth = 400;
constexpr int kHeight = 300;
constexpr int kTop = 16;
constexpr int kChildren = 24;
constexpr int kGrandchildren = 25;
constexpr int kNodes = kTop + kTop * kChildren + kTop * kChildren * kGrandchildren;

const char* const kSteps[] = {"build from XML", "build at run time", "expand all", "full paint",
                              "  level by level"};
constexpr int kStepCount = 5;

struct Timings {
  double seconds[kStepCount] = {};
};

std::wstring Text(int top, int child = -1, int grandchild = -1) {
  std::wstring text = L"Node " + std::to_wstring(top);
  if (child >= 0) text += L"." + std::to_wstring(child);
  if (grandchild >= 0) text += L"." + std::to_wstring(grandchild);
  return text;
}

std::wstring TreeXml() {
  std::wstring xml = L"<Window><TreeView>";
  for (int t = 0; t < kTop; ++t) {
    xml += L"<TreeNode text=\"" + Text(t) + L"\">";
    for (int c = 0; c < kChildren; ++c) {
      xml += L"<TreeNode text=\"" + Text(t, c) + L"\">";
      for (int g = 0; g < kGrandchildren; ++g) {
        xml += L"<TreeNode text=\"" + Text(t, c, g) + L"\"/>";
      }
      xml += L"</TreeNode>";
    }
    xml += L"</TreeNode>";
  }
  return xml + L"</TreeView></Window>";
}

Vellum::CTreeNodeUI* NewNode(const std::wstring& text) {
  auto* node = new Vellum::CTreeNodeUI();
  node->GetItemButton()->SetText(text.c_str());
  return node;
}

Timings RunTree(HWND window) {
  Timings t;
  const std::wstring xml = TreeXml();
  {
    Vellum::CPaintManagerUI manager;
    manager.Init(window);
    LARGE_INTEGER start = Now();
    Vellum::CSkinBuilder builder;
    Vellum::CControlUI* root = builder.Create(xml.c_str(), nullptr, nullptr, &manager);
    manager.AttachRootControl(root);
    t.seconds[0] = Seconds(start, Now());
    auto* view = Vellum::CTreeViewUI::FromControl(root);
    if (!view || view->GetCount() != kNodes) {
      std::printf("  (the skin gave %d rows of %d)\n", view ? view->GetCount() : -1, kNodes);
    }
  }

  Vellum::CPaintManagerUI manager;
  manager.Init(window);
  auto* view = new Vellum::CTreeViewUI();
  manager.AttachRootControl(view);
  LARGE_INTEGER start = Now();
  for (int i = 0; i < kTop; ++i) {
    Vellum::CTreeNodeUI* top = NewNode(Text(i));
    view->Add(top);
    for (int c = 0; c < kChildren; ++c) {
      Vellum::CTreeNodeUI* child = NewNode(Text(i, c));
      top->AddChildNode(child);
      for (int g = 0; g < kGrandchildren; ++g) child->AddChildNode(NewNode(Text(i, c, g)));
    }
  }
  t.seconds[1] = Seconds(start, Now());
  if (view->GetCount() != kNodes) std::printf("  (run time gave %d rows)\n", view->GetCount());

  view->SetItemExpand(false);
  view->SetPos(RECT{0, 0, kWidth, kHeight}, false);
  start = Now();
  view->SetItemExpand(true);
  view->SetPos(RECT{0, 0, kWidth, kHeight}, false);
  t.seconds[2] = Seconds(start, Now());

  bench::Canvas canvas(nullptr, kWidth, kHeight);
  start = Now();
  view->Paint(canvas.dc, RECT{0, 0, kWidth, kHeight});
  GdiFlush();
  t.seconds[3] = Seconds(start, Now());

  return t;
}

// The run-time build again, one level after the other: each new row goes between rows already
// there.
double BuildLevelByLevel(HWND window) {
  Vellum::CPaintManagerUI manager;
  manager.Init(window);
  auto* view = new Vellum::CTreeViewUI();
  manager.AttachRootControl(view);
  std::vector<Vellum::CTreeNodeUI*> tops;
  std::vector<Vellum::CTreeNodeUI*> children;
  const LARGE_INTEGER start = Now();
  for (int i = 0; i < kTop; ++i) {
    tops.push_back(NewNode(Text(i)));
    view->Add(tops.back());
  }
  for (int c = 0; c < kChildren; ++c) {
    for (int i = 0; i < kTop; ++i) {
      children.push_back(NewNode(Text(i, c)));
      tops[i]->AddChildNode(children.back());
    }
  }
  for (int g = 0; g < kGrandchildren; ++g) {
    for (int c = 0; c < kChildren; ++c) {
      for (int i = 0; i < kTop; ++i) {
        children[c * kTop + i]->AddChildNode(NewNode(Text(i, c, g)));
      }
    }
  }
  const double seconds = Seconds(start, Now());
  if (view->GetCount() != kNodes) {
    std::printf("  (level by level gave %d rows)\n", view->GetCount());
  }
  return seconds;
}

HTREEITEM Insert(HWND tree, HTREEITEM parent, const std::wstring& text) {
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT;
  insert.item.pszText = const_cast<wchar_t*>(text.c_str());
  return TreeView_InsertItem(tree, &insert);
}

Timings RunTreeView(HWND parent) {
  Timings t;
  HWND tree = ::CreateWindowExW(0, WC_TREEVIEWW, L"",
                                WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES |
                                    TVS_LINESATROOT | TVS_CHECKBOXES,
                                0, 0, kWidth, kHeight, parent, nullptr, ::GetModuleHandleW(nullptr),
                                nullptr);
  HTREEITEM parents[kTop + kTop * kChildren];
  int parent_count = 0;
  LARGE_INTEGER start = Now();
  for (int i = 0; i < kTop; ++i) {
    HTREEITEM top = Insert(tree, TVI_ROOT, Text(i));
    parents[parent_count++] = top;
    for (int c = 0; c < kChildren; ++c) {
      HTREEITEM child = Insert(tree, top, Text(i, c));
      parents[parent_count++] = child;
      for (int g = 0; g < kGrandchildren; ++g) Insert(tree, child, Text(i, c, g));
    }
  }
  t.seconds[0] = t.seconds[1] = Seconds(start, Now());
  if (TreeView_GetCount(tree) != static_cast<UINT>(kNodes)) {
    std::printf("  (tree view holds %u items)\n", TreeView_GetCount(tree));
  }

  start = Now();
  for (int i = 0; i < parent_count; ++i) TreeView_Expand(tree, parents[i], TVE_EXPAND);
  t.seconds[2] = Seconds(start, Now());

  bench::Canvas canvas(nullptr, kWidth, kHeight);
  start = Now();
  ::SendMessageW(tree, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc),
                 PRF_CLIENT | PRF_ERASEBKGND);
  GdiFlush();
  t.seconds[3] = Seconds(start, Now());
  ::DestroyWindow(tree);

  tree = ::CreateWindowExW(0, WC_TREEVIEWW, L"",
                           WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                               TVS_CHECKBOXES,
                           0, 0, kWidth, kHeight, parent, nullptr, ::GetModuleHandleW(nullptr),
                           nullptr);
  // parents[kTop + c * kTop + i]: child c of top node i.
  start = Now();
  for (int i = 0; i < kTop; ++i) parents[i] = Insert(tree, TVI_ROOT, Text(i));
  for (int c = 0; c < kChildren; ++c) {
    for (int i = 0; i < kTop; ++i) {
      parents[kTop + c * kTop + i] = Insert(tree, parents[i], Text(i, c));
    }
  }
  for (int g = 0; g < kGrandchildren; ++g) {
    for (int c = 0; c < kChildren; ++c) {
      for (int i = 0; i < kTop; ++i) Insert(tree, parents[kTop + c * kTop + i], Text(i, c, g));
    }
  }
  t.seconds[4] = Seconds(start, Now());
  ::DestroyWindow(tree);
  return t;
}

}  // namespace

int main() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TREEVIEW_CLASSES};
  ::InitCommonControlsEx(&controls);
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = bench::PassProc;
  window_class.hInstance = ::GetModuleHandleW(nullptr);
  window_class.lpszClassName = L"TreeBenchHost";
  ::RegisterClassExW(&window_class);
  HWND host = ::CreateWindowExW(WS_EX_TOOLWINDOW, L"TreeBenchHost", L"", WS_POPUP, 0, 0, kWidth,
                                kHeight, nullptr, nullptr, window_class.hInstance, nullptr);

  Timings tree = RunTree(host);
  tree.seconds[4] = BuildLevelByLevel(host);
  const Timings view = RunTreeView(host);
  std::printf("%d nodes in three levels   tree ms   tree view ms   ratio\n", kNodes);
  for (int i = 0; i < kStepCount; ++i) {
    const double ratio = view.seconds[i] > 0 ? tree.seconds[i] / view.seconds[i] : 0.0;
    std::printf("  %-22s %9.2f %14.2f %7.2f\n", kSteps[i], tree.seconds[i] * 1e3,
                view.seconds[i] * 1e3, ratio);
  }
  ::DestroyWindow(host);
  return 0;
}
