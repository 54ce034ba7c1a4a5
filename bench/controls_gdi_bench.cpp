// GDI objects of this process after 1,000 repaints of every control family, against the count after
// the first repaint: a family that leaks shows a difference. The controls are the gallery's (its skin
// is embedded here too), so every family the gallery shows is measured, each control once as laid out
// and once holding the focus (where the edit and the hot key open their native windows).
//
// Wine answers 0 to GetGuiResources, so the live objects are counted by probing: Wine's GDI handle
// table accepts a handle given by its index alone (upper word 0), and GetObjectType answers 0 for a
// free slot, so every index of the 16-bit table is asked once. Where GetGuiResources answers, its
// figure is used. Needs a display: tools/wine-session.sh build/x86_64 build/x86_64/bench/controls_gdi_bench.exe

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <map>
#include <string>
#include <vector>

#include "vellum/core/manager/control.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/window/window_impl_base.h"

namespace {

constexpr int kSkinResourceId = 1;
constexpr int kRepaints = 1000;
// The control classes of the families, in the gallery's order.
const wchar_t* const kFamilyClasses[] = {
    L"ProgressUI", L"SliderUI",  L"Loading",  L"ColorPaletteUI", L"HotKeyUI",
    L"EditUI",     L"TextUI",    L"GifAnimUI", L"SequenceFrameUI",
};

class BenchWindow : public Vellum::WindowImplBase {
 public:
  const wchar_t* GetWindowClassName() const override { return L"VellumGdiBench"; }
  const wchar_t* GetSkinFile() override { return L"gallery.xml"; }
};

unsigned CountGdiObjects() {
  const DWORD reported = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  if (reported != 0) return reported;
  unsigned live = 0;
  for (ULONG_PTR index = 1; index < 0x10000; ++index) {
    if (::GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) ++live;
  }
  return live;
}

void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

void Repaint(HWND window, Vellum::CControlUI* control) {
  control->Invalidate();
  ::UpdateWindow(window);
}

struct Figures {
  int controls = 0;
  unsigned first = 0;
  unsigned after = 0;
  long worst = 0;  // the largest growth of one control's run
};

}  // namespace

int main() {
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  Vellum::CPaintManagerUI::SetInstance(instance);
  HRSRC found = ::FindResourceW(instance, MAKEINTRESOURCEW(kSkinResourceId), L"ZIPRES");
  HGLOBAL loaded = found ? ::LoadResource(instance, found) : nullptr;
  if (loaded == nullptr) return 1;
  Vellum::CPaintManagerUI::SetResourceZip(::LockResource(loaded), ::SizeofResource(instance, found));

  BenchWindow window;
  if (window.Create(nullptr, L"gdi bench", WS_POPUP | WS_CLIPCHILDREN, 0, 0, 0, 720, 600) == nullptr) {
    std::fprintf(stderr, "controls_gdi_bench: no window (a display is needed)\n");
    return 1;
  }
  window.ShowWindow(true, true);
  ::UpdateWindow(window.GetHWND());
  Pump();
  Vellum::CPaintManagerUI& manager = window.GetPaintManager();
  std::printf("GDI objects counted by %s\n",
              ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS) != 0 ? "GetGuiResources"
                                                                           : "probing the handle table");

  // The count must see one object come and go, or its figures below mean nothing.
  const unsigned before_brush = CountGdiObjects();
  HBRUSH brush = ::CreateSolidBrush(RGB(1, 2, 3));
  const unsigned with_brush = CountGdiObjects();
  ::DeleteObject(brush);
  const unsigned after_brush = CountGdiObjects();
  std::printf("one brush: %u -> %u -> %u objects\n", before_brush, with_brush, after_brush);
  if (with_brush != before_brush + 1 || after_brush != before_brush) {
    std::fprintf(stderr, "controls_gdi_bench: the count does not see a brush come and go\n");
    return 1;
  }

  std::map<std::wstring, Figures> figures;
  bool leaked = false;
  for (const wchar_t* class_name : kFamilyClasses) {
    Vellum::CUIPtrArray* found_controls = manager.FindControlsByClass(nullptr, class_name);
    std::vector<void*> controls;
    for (int i = 0; i < found_controls->GetSize(); ++i) controls.push_back(found_controls->GetAt(i));
    Figures& f = figures[class_name];
    for (void* item : controls) {
      auto* control = static_cast<Vellum::CControlUI*>(item);
      for (bool focused : {false, true}) {
        manager.SetFocus(focused ? control : nullptr);
        Pump();
        Repaint(window.GetHWND(), control);
        const unsigned first = CountGdiObjects();
        for (int i = 0; i < kRepaints; ++i) Repaint(window.GetHWND(), control);
        const unsigned after = CountGdiObjects();
        const long growth = static_cast<long>(after) - static_cast<long>(first);
        if (f.controls == 0 && !focused) f.first = first;
        f.after = after;
        if (growth > f.worst) f.worst = growth;
        if (growth != 0) leaked = true;
      }
      ++f.controls;
    }
    manager.SetFocus(nullptr);
    Pump();
  }

  std::printf("%-16s %8s %18s %18s\n", "family class", "controls", "largest growth", "objects (last)");
  for (const wchar_t* class_name : kFamilyClasses) {
    const Figures& f = figures[class_name];
    if (f.controls == 0) {
      std::printf("%-16ls %8s\n", class_name, "none (family not linked in)");
      continue;
    }
    std::printf("%-16ls %8d %18ld %18u\n", class_name, f.controls, f.worst, f.after);
  }
  std::printf("%s after %d repaints of each control, unfocused and focused\n",
              leaked ? "GDI objects GREW" : "GDI objects unchanged", kRepaints);
  ::DestroyWindow(window.GetHWND());
  Pump();
  return leaked ? 2 : 0;
}
