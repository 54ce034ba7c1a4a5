#include "vellum/core/base/dpi_scaler.h"

#include "common/base/gdi_handles.h"

namespace Vellum {
namespace {

using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

class SystemDpiPlatform : public IDpiPlatform {
 public:
  bool IsWindowsVersionOrGreater(WORD major, WORD minor, WORD service_pack_major) override {
    OSVERSIONINFOEXW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    info.dwMajorVersion = major;
    info.dwMinorVersion = minor;
    info.wServicePackMajor = service_pack_major;
    DWORDLONG condition = 0;
    condition = VerSetConditionMask(condition, VER_MAJORVERSION, VER_GREATER_EQUAL);
    condition = VerSetConditionMask(condition, VER_MINORVERSION, VER_GREATER_EQUAL);
    condition = VerSetConditionMask(condition, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
    return VerifyVersionInfoW(&info, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR, condition) != FALSE;
  }

  bool GetDpiForMonitor(HMONITOR monitor, HRESULT* result, UINT* dpi_x) override {
    // Shcore exists from Windows 8.1 on only, so it is looked up by name; the module stays loaded.
    static const GetDpiForMonitorFn get_dpi = [] {
      HMODULE shcore = LoadLibraryW(L"Shcore.dll");
      return shcore != nullptr
                 ? reinterpret_cast<GetDpiForMonitorFn>(reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                 : nullptr;
    }();
    if (get_dpi == nullptr) return false;
    UINT dpi_y = 0;
    *result = get_dpi(monitor, kEffectiveDpi, dpi_x, &dpi_y);
    return true;
  }

  int GetScreenDpi() override {
    const ScopedScreenDc screen(GetDC(nullptr));
    if (!screen) return 96;
    return GetDeviceCaps(screen.get(), LOGPIXELSX);
  }

  HMONITOR MonitorFromPoint(POINT point) override { return ::MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST); }

  void ShowMessageBox(const wchar_t* text, const wchar_t* caption) override {
    MessageBoxW(nullptr, text, caption, MB_OK);
  }
};

SystemDpiPlatform g_system_platform;
IDpiPlatform* g_platform = &g_system_platform;

}  // namespace

IDpiPlatform* SetDpiPlatform(IDpiPlatform* platform) {
  IDpiPlatform* previous = g_platform;
  g_platform = platform != nullptr ? platform : &g_system_platform;
  return previous;
}

bool IsWindowsVersionOrGreater(WORD major, WORD minor, WORD service_pack_major) {
  return g_platform->IsWindowsVersionOrGreater(major, minor, service_pack_major);
}

bool IsWindows8Point1OrGreater() { return IsWindowsVersionOrGreater(6, 3, 0); }

int GetDpiOfMonitor(HMONITOR monitor) {
  if (!IsWindows8Point1OrGreater()) return g_platform->GetScreenDpi();
  HRESULT result = S_OK;
  UINT dpi_x = 96;
  if (!g_platform->GetDpiForMonitor(monitor, &result, &dpi_x)) return 96;
  if (result != S_OK) {
    g_platform->ShowMessageBox(L"GetDpiForMonitor failed", L"Notification");
    return 96;
  }
  return static_cast<int>(dpi_x);
}

int GetDpiOfPoint(int x, int y) {
  const POINT point = {x, y};
  return GetDpiOfMonitor(g_platform->MonitorFromPoint(point));
}

int GetMainMonitorDpi() { return GetDpiOfPoint(1, 1); }

void CDpiScaler::SetScale(int dpi) { scale_ = MulDiv(dpi, 100, 96); }

int CDpiScaler::GetDPI() const { return MulDiv(scale_, 96, 100); }

int CDpiScaler::Scale(int value) const {
  const int scaled = MulDiv(value, scale_, 100);
  if (scaled == 0 && value > 0) return 1;
  if (scaled == 0 && value < 0) return -1;
  return scaled;
}

RECT CDpiScaler::Scale(const RECT& rect) const {
  RECT scaled = rect;
  Scale(&scaled);
  return scaled;
}

void CDpiScaler::Scale(RECT* rect) const {
  const int width = Scale(static_cast<int>(rect->right - rect->left));
  const int height = Scale(static_cast<int>(rect->bottom - rect->top));
  rect->left = Scale(static_cast<int>(rect->left));
  rect->top = Scale(static_cast<int>(rect->top));
  rect->right = rect->left + width;
  rect->bottom = rect->top + height;
}

SIZE CDpiScaler::Scale(SIZE size) const {
  Scale(&size);
  return size;
}

void CDpiScaler::Scale(SIZE* size) const {
  size->cx = Scale(static_cast<int>(size->cx));
  size->cy = Scale(static_cast<int>(size->cy));
}

void CDpiScaler::Scale(POINT* point) const {
  point->x = Scale(static_cast<int>(point->x));
  point->y = Scale(static_cast<int>(point->y));
}

int CDpiScaler::Unscale(int value) const { return MulDiv(value, 100, scale_); }

void CDpiScaler::Unscale(RECT* rect) const {
  const int width = Unscale(static_cast<int>(rect->right - rect->left));
  const int height = Unscale(static_cast<int>(rect->bottom - rect->top));
  rect->left = Unscale(static_cast<int>(rect->left));
  rect->top = Unscale(static_cast<int>(rect->top));
  rect->right = rect->left + width;
  rect->bottom = rect->top + height;
}

}  // namespace Vellum
