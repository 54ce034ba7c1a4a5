// The settings window from its skin to the first paint, step by step, at 96, 144 and 192 DPI:
//   parse   - the skin file read from the embedded skin package and parsed;
//   build   - the control tree made from the document (the window attributes and font included);
//   decode  - every image the first paint draws, unpacked and decoded at the window's scale;
//   layout  - the tree placed over the window;
//   paint   - the first full paint into the off-screen 32-bit DIB, the images already decoded.
// Each step is reported as its share of the whole. The paint's GDI floor is the same images and
// text drawn with plain GDI and msimg32 at the rectangles the layout gave; the goal is that
// everything but decoding and those GDI calls (parse + build + layout + paint above the floor)
// takes less than the decoding alone.
// Works without a display: tools/wine-run.sh --headless --build build build/bench/settings_window_bench.exe

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "bench/bench_surface.h"
#include "vellum/core/layout/container.h"
#include "vellum/core/manager/control.h"
#include "vellum/core/markup/dialog_builder.h"
#include "vellum/core/base/dpi_scaler.h"
#include "vellum/core/image/image_draw_info.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"

namespace {

using bench::Now;
using bench::Seconds;
using Vellum::CContainerUI;
using Vellum::CControlUI;
using Vellum::CPaintManagerUI;
using Vellum::CRenderUI;
using Vellum::CSkinBuilder;
using Vellum::TImageDrawInfo;
using Vellum::TUIImageInfo;

constexpr UINT kSkinPackageId = 137;
constexpr int kRuns = 21;

// One image the settings window draws at first paint: the control (by name, or the outer and inner
// layouts), the image as the skin names it and the part of it drawn, at 96 DPI.
struct DrawnImage {
  const wchar_t* control;  // "" = the outer layout, "*" = the content layout
  const wchar_t* file;
  RECT source;  // all 0: the whole image
};

// The options start selected, so they draw their selected image only.
const DrawnImage kDrawn[] = {
    {L"", L"img/shadow.png", {0, 0, 0, 0}},
    {L"*", L"img/setting_bkg.png", {0, 0, 0, 0}},
    {L"close_btn", L"img/btn_setting_close.png", {0, 0, 48, 32}},
    {L"enable_btn", L"img\\opt_switch_on.png", {0, 0, 32, 20}},
    {L"minus_btn", L"img/minus_btn.png", {0, 0, 24, 24}},
    {L"plus_btn", L"img/plus_btn.png", {0, 0, 24, 24}},
    {L"autostart_btn", L"img\\opt_switch_on.png", {0, 0, 32, 20}},
    {L"gamemode_btn", L"img\\opt_switch_on.png", {0, 0, 32, 20}},
};

// Every image the window's skin names, drawn at first paint or not.
const wchar_t* const kSkinImages[] = {
    L"img/shadow.png",      L"img/setting_bkg.png",    L"img/btn_setting_close.png",
    L"img\\opt_switch_on.png", L"img\\opt_switch_off.png", L"img/minus_btn.png",
    L"img/plus_btn.png",
};

// The name an image is loaded under at the manager's scale.
std::wstring ScaledName(CPaintManagerUI& manager, const wchar_t* file) {
  TImageDrawInfo info;
  info.Parse((std::wstring(L"file='") + file + L"'").c_str(), nullptr, *manager.GetDpiScaler());
  return info.name.GetData();
}

struct Steps {
  double parse = 0;
  double build = 0;
  double decode = 0;
  double layout = 0;
  double paint = 0;
  double gdi_floor = 0;
  double Total() const { return parse + build + decode + layout + paint; }
};

// The window as the manager of a fresh window would make it. With preload false the paint decodes
// the images itself (used once to learn which images the first paint draws).
Steps Run(HWND window, int dpi, bool preload, std::vector<std::wstring>* loaded_by_paint) {
  Steps steps;
  auto* manager = new CPaintManagerUI;
  manager->SetDPI(dpi);
  manager->Init(window, L"settings");

  CSkinBuilder builder;
  LARGE_INTEGER start = Now();
  const bool parsed = builder.GetMarkup()->LoadFromFile(L"setting_wnd.xml");
  LARGE_INTEGER end = Now();
  steps.parse = Seconds(start, end);
  if (!parsed) {
    std::printf("setting_wnd.xml cannot be read from the skin package\n");
    delete manager;
    return steps;
  }

  start = Now();
  CControlUI* root = builder.Create(nullptr, manager);
  end = Now();
  steps.build = Seconds(start, end);
  if (root == nullptr) {
    std::printf("the settings window's tree cannot be built\n");
    delete manager;
    return steps;
  }
  manager->AttachRootControl(root);

  std::vector<std::wstring> names;
  for (const DrawnImage& drawn : kDrawn) {
    const std::wstring name = ScaledName(*manager, drawn.file);
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  }
  if (preload) {
    start = Now();
    for (const std::wstring& name : names) manager->GetOrLoadImage(name.c_str());
    end = Now();
    steps.decode = Seconds(start, end);
  }

  const SIZE size = manager->GetInitSize();
  const RECT client{0, 0, size.cx, size.cy};
  bench::Canvas canvas(manager->GetPaintDC(), size.cx, size.cy);
  start = Now();
  root->SetPos(client, false);
  end = Now();
  steps.layout = Seconds(start, end);

  start = Now();
  root->Paint(canvas.dc, client, nullptr);
  end = Now();
  steps.paint = Seconds(start, end);

  if (loaded_by_paint != nullptr) {
    for (const wchar_t* file : kSkinImages) {
      const std::wstring name = ScaledName(*manager, file);
      if (manager->GetImage(name.c_str()) != nullptr) loaded_by_paint->push_back(name);
    }
  }

  // The floor: the same images and the label's text drawn with plain GDI and msimg32.
  const int scale = manager->GetDpiScaler()->GetScale();
  HDC image_dc = ::CreateCompatibleDC(canvas.dc);
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  auto alpha_blend = CRenderUI::GetAlphaBlend();
  CControlUI* content = static_cast<CContainerUI*>(root)->GetItemAt(0);
  CControlUI* label = manager->FindControl(L"scale_factor");
  start = Now();
  for (const DrawnImage& drawn : kDrawn) {
    CControlUI* control = drawn.control[0] == L'\0'   ? root
                          : drawn.control[0] == L'*' ? content
                                                      : manager->FindControl(drawn.control);
    TUIImageInfo* image = manager->GetImage(ScaledName(*manager, drawn.file).c_str());
    if (control == nullptr || image == nullptr) continue;
    const RECT& dest = control->GetPos();
    RECT source = drawn.source;
    if (::IsRectEmpty(&source)) {
      source = RECT{0, 0, image->width, image->height};
    } else {
      source = RECT{source.left * scale / 100, source.top * scale / 100, source.right * scale / 100,
                    source.bottom * scale / 100};
    }
    HGDIOBJ old = ::SelectObject(image_dc, image->bitmap);
    alpha_blend(canvas.dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top,
                image_dc, source.left, source.top, source.right - source.left,
                source.bottom - source.top, blend);
    ::SelectObject(image_dc, old);
  }
  if (label != nullptr) {
    RECT text_rect = label->GetPos();
    HGDIOBJ old_font = ::SelectObject(canvas.dc, manager->GetFont(1));
    ::SetBkMode(canvas.dc, TRANSPARENT);
    ::DrawTextW(canvas.dc, L"3", -1, &text_rect, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    ::SelectObject(canvas.dc, old_font);
  }
  end = Now();
  steps.gdi_floor = Seconds(start, end);
  ::DeleteDC(image_dc);

  delete manager;
  return steps;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void Report(const char* what, const Steps& s) {
  const double total = s.Total();
  const double overhead = s.parse + s.build + s.layout + std::max(0.0, s.paint - s.gdi_floor);
  std::printf("  %-7s total %8.3f ms | parse %.3f  build %.3f  decode %.3f  layout %.3f  paint %.3f "
              "(GDI floor %.3f ms) | shares: parse %.3f, build %.3f, decode %.3f, layout %.3f, "
              "paint %.3f | all but decoding and GDI / decoding = %.3f (%s)\n",
              what, total * 1e3, s.parse * 1e3, s.build * 1e3, s.decode * 1e3, s.layout * 1e3,
              s.paint * 1e3, s.gdi_floor * 1e3, s.parse / total, s.build / total, s.decode / total,
              s.layout / total, s.paint / total, overhead / s.decode,
              overhead < s.decode ? "goal met" : "GOAL MISSED");
}

}  // namespace

int main() {
  HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(kSkinPackageId), L"ZIPRES");
  HGLOBAL loaded = found ? ::LoadResource(nullptr, found) : nullptr;
  const void* package = loaded ? ::LockResource(loaded) : nullptr;
  if (package == nullptr) {
    std::printf("resource ZIPRES 137 is missing\n");
    return 1;
  }
  CPaintManagerUI::SetResourceZip(package, ::SizeofResource(nullptr, found));
  HWND window = bench::MessageWindow(L"SettingsWindowBench");

  for (int dpi : {96, 144, 192}) {
    std::printf("settings window at %d DPI (median of %d fresh windows)\n", dpi, kRuns);
    // Which images the first paint really draws: they are what the decode step loads.
    std::vector<std::wstring> drawn;
    Run(window, dpi, false, &drawn);
    std::printf("  images the first paint loads:");
    for (const std::wstring& name : drawn) std::printf(" %ls", name.c_str());
    std::printf("\n");

    std::vector<Steps> runs;
    for (int i = 0; i < kRuns; ++i) runs.push_back(Run(window, dpi, true, nullptr));
    Steps median;
    std::vector<double> values;
    auto median_of = [&](double Steps::*field) {
      values.clear();
      for (const Steps& s : runs) values.push_back(s.*field);
      return Median(values);
    };
    median.parse = median_of(&Steps::parse);
    median.build = median_of(&Steps::build);
    median.decode = median_of(&Steps::decode);
    median.layout = median_of(&Steps::layout);
    median.paint = median_of(&Steps::paint);
    median.gdi_floor = median_of(&Steps::gdi_floor);
    Report("median", median);
  }
  ::DestroyWindow(window);
  return 0;
}
