// The gallery: one window that shows every control family of the framework in its usual states,
// built from its own skin (gallery.xml and the images tools/make_gallery_skin.py draws), so that
// skin authors see what each element looks like. Rows whose family is not linked in keep only their
// caption: the skin builder skips elements no family registers.
//
//   gallery.exe                          shows the window until it is closed
//   gallery.exe --screenshot <file.png>  [--wait <ms>]  shows it, lets it animate for a while
//                                        (1500 ms unless given), saves what the screen shows of it
//                                        as a PNG and exits (1 when the window or file cannot be made)

#include <windows.h>
#include <objidl.h>
// After objidl.h, which declares what the GDI+ headers use.
#include <gdiplus.h>
#include <shellapi.h>

#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "vellum/controls/list_ex/list_ex_element.h"
#include "vellum/core/layout/container.h"
#include "vellum/controls/menu/menu_observer.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"
#include "vellum/core/window/window_impl_base.h"

namespace {

constexpr int kSkinResourceId = 1;
constexpr wchar_t kSkinResourceType[] = L"ZIPRES";

class GalleryWindow : public Vellum::WindowImplBase {
 public:
  const wchar_t* GetWindowClassName() const override { return L"VellumGallery"; }
  const wchar_t* GetSkinFile() override { return L"gallery.xml"; }
  // Rows of the editable list keep a text per column, which a skin cannot give them.
  void InitWindow() override {
    Vellum::CControlUI* list = paint_manager_.FindControl(L"gallery_listex");
    if (list == nullptr) return;
    const wchar_t* const texts[][3] = {{L"Alpha", L"12", L"Number"},
                                       {L"Beta", L"<a docs>details</a>", L"Link"},
                                       {L"Gamma", L"on", L"Switch"}};
    auto* rows = static_cast<Vellum::CContainerUI*>(list->GetInterface(L"Container"));
    for (int i = 0; rows != nullptr && i < rows->GetCount() && i < 3; ++i) {
      auto* row = static_cast<Vellum::CListTextExtElementUI*>(
          rows->GetItemAt(i)->GetInterface(L"ListTextExElement"));
      if (row == nullptr) continue;
      for (int column = 0; column < 3; ++column) row->SetText(column, texts[i][column]);
      row->SetCheck(i < 2);
    }
  }
  void OnFinalMessage(HWND hwnd) override {
    WindowImplBase::OnFinalMessage(hwnd);
    ::PostQuitMessage(0);
  }
};

bool LoadSkinPackage(HINSTANCE instance) {
  HRSRC found = ::FindResourceW(instance, MAKEINTRESOURCEW(kSkinResourceId), kSkinResourceType);
  HGLOBAL loaded = found ? ::LoadResource(instance, found) : nullptr;
  const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
  if (bytes == nullptr) return false;
  Vellum::CPaintManagerUI::SetResourceZip(bytes, ::SizeofResource(instance, found));
  return true;
}

void PumpFor(DWORD ms) {
  const ULONGLONG end = ::GetTickCount64() + ms;
  for (;;) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    const ULONGLONG now = ::GetTickCount64();
    if (now >= end) return;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
  }
}

bool PngEncoder(CLSID* clsid) {
  UINT count = 0, size = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
  std::vector<BYTE> block(size);
  auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(block.data());
  if (Gdiplus::GetImageEncoders(count, size, encoders) != Gdiplus::Ok) return false;
  for (UINT i = 0; i < count; ++i) {
    if (wcscmp(encoders[i].MimeType, L"image/png") == 0) {
      *clsid = encoders[i].Clsid;
      return true;
    }
  }
  return false;
}

// What the screen shows of the window (native child windows included), saved as a PNG.
bool SaveScreenshot(HWND window, const wchar_t* path) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  BYTE* bits = nullptr;
  HBITMAP bitmap = Vellum::CRenderUI::Create32BitDib(screen, width, -height, &bits);
  bool saved = false;
  if (memory != nullptr && bitmap != nullptr) {
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    ::GdiFlush();
    {
      Gdiplus::Bitmap image(width, height, width * 4, PixelFormat32bppRGB, bits);
      CLSID png{};
      saved = PngEncoder(&png) && image.Save(path, &png, nullptr) == Gdiplus::Ok;
    }
    ::SelectObject(memory, old);
  }
  if (bitmap != nullptr) ::DeleteObject(bitmap);
  if (memory != nullptr) ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return saved;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  std::wstring screenshot;
  DWORD wait_ms = 1500;
  for (int i = 1; argv != nullptr && i + 1 < argc; ++i) {
    if (wcscmp(argv[i], L"--screenshot") == 0) screenshot = argv[++i];
    else if (wcscmp(argv[i], L"--wait") == 0) wait_ms = static_cast<DWORD>(_wtoi(argv[++i]));
  }
  if (argv != nullptr) ::LocalFree(argv);

  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  Vellum::CPaintManagerUI::SetInstance(instance);
  // The web browser row embeds an OLE control, which lives in the thread's OLE apartment.
  ::OleInitialize(nullptr);
  if (!LoadSkinPackage(instance)) {
    fwprintf(stderr, L"gallery: the skin package is missing\n");
    return 1;
  }
  // Menu check items keep their state in the application's table; the gallery's lives as long as it.
  static Vellum::CUIStringMap menu_checks;
  Vellum::GetMenuObserver().SetCheckTable(&menu_checks);
  GalleryWindow window;
  if (window.Create(nullptr, L"Vellum gallery", WS_POPUP | WS_CLIPCHILDREN, WS_EX_APPWINDOW, 0, 0, 1270,
                    960) == nullptr) {
    fwprintf(stderr, L"gallery: the window cannot be created (error %lu)\n", ::GetLastError());
    return 1;
  }
  window.CenterWindow();
  window.ShowWindow(true, true);

  if (!screenshot.empty()) {
    PumpFor(wait_ms);
    const bool saved = SaveScreenshot(window.GetHWND(), screenshot.c_str());
    ::DestroyWindow(window.GetHWND());
    PumpFor(0);
    if (!saved) fwprintf(stderr, L"gallery: cannot save %ls\n", screenshot.c_str());
    return saved ? 0 : 1;
  }
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return 0;
}
