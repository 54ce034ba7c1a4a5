#pragma once

#include <windows.h>

namespace Vellum {

// What the DPI queries need from Windows. The real one calls the system; tests install their own so
// that no test meets the modal failure box or depends on the Windows version Wine reports.
class IDpiPlatform {
 public:
  virtual ~IDpiPlatform() = default;
  virtual bool IsWindowsVersionOrGreater(WORD major, WORD minor, WORD service_pack_major) = 0;
  // Shcore's GetDpiForMonitor with the effective DPI. False when Shcore or the function is missing;
  // otherwise *result is its HRESULT and *dpi_x the horizontal DPI.
  virtual bool GetDpiForMonitor(HMONITOR monitor, HRESULT* result, UINT* dpi_x) = 0;
  // LOGPIXELSX of the screen DC.
  virtual int GetScreenDpi() = 0;
  virtual HMONITOR MonitorFromPoint(POINT point) = 0;
  virtual void ShowMessageBox(const wchar_t* text, const wchar_t* caption) = 0;
};

// The platform in use (the real one unless a test installed another). Returns the previous one;
// null restores the real platform.
IDpiPlatform* SetDpiPlatform(IDpiPlatform* platform);

bool IsWindowsVersionOrGreater(WORD major, WORD minor, WORD service_pack_major);
bool IsWindows8Point1OrGreater();
// The effective DPI of a monitor: the monitor DPI service from Windows 8.1 on, the screen DC before.
int GetDpiOfMonitor(HMONITOR monitor);
// The DPI of the monitor nearest to a screen point.
int GetDpiOfPoint(int x, int y);
// The DPI of the primary monitor.
int GetMainMonitorDpi();

// Converts skin values written for 96 DPI to the scale in use.
class CDpiScaler {
 public:
  CDpiScaler() = default;

  // Sets the scale percent from a DPI (96 -> 100).
  void SetScale(int dpi);
  int GetScale() const { return scale_; }
  int GetDPI() const;

  // A non-zero value never scales to 0: it keeps at least one pixel with its sign.
  int Scale(int value) const;
  RECT Scale(const RECT& rect) const;
  void Scale(RECT* rect) const;
  SIZE Scale(SIZE size) const;
  void Scale(SIZE* size) const;
  void Scale(POINT* point) const;

  int Unscale(int value) const;
  void Unscale(RECT* rect) const;

 private:
  int scale_ = 100;
};

}  // namespace Vellum
