#include "app/fullscreen_check.h"

#include "common/logging.h"

namespace {

// The monitor query's record, whose cbSize the system checks.
static_assert(sizeof(MONITORINFO) == 40, "MONITORINFO layout");

// Whether the previous test ended on the desktop. The desktop line is written when the pointer
// arrives there, not for every test while it stays: a user shaking over the desktop in game mode
// asks at every change of direction.
bool g_over_desktop = false;

}  // namespace

bool CoversMonitor(const RECT& client, DWORD style, const RECT& window, const RECT& monitor) {
  const bool client_fills = client.right == monitor.right - monitor.left &&
                            client.bottom == monitor.bottom - monitor.top;
  const bool frameless = (style & (WS_CAPTION | WS_THICKFRAME)) == 0;
  const bool window_fills = window.left == monitor.left && window.top == monitor.top &&
                            window.right == monitor.right && window.bottom == monitor.bottom;
  return (client_fills && frameless) || window_fills;
}

bool IsDesktopClassName(const wchar_t* class_name) {
  return CompareStringOrdinal(class_name, -1, L"Progman", -1, TRUE) == CSTR_EQUAL ||
         CompareStringOrdinal(class_name, -1, L"WorkerW", -1, TRUE) == CSTR_EQUAL;
}

bool IsFullScreenUnderCursor() {
  const bool was_over_desktop = g_over_desktop;
  g_over_desktop = false;

  POINT cursor = {};
  if (!GetCursorPos(&cursor)) return false;
  const HWND under = WindowFromPoint(cursor);
  if (under == nullptr) return false;
  const HWND root = GetAncestor(under, GA_ROOTOWNER);
  if (root == nullptr) return false;
  if (!IsWindowVisible(root) || IsIconic(root)) return false;

  wchar_t class_name[256] = {};
  GetClassNameW(root, class_name, 256);
  if (IsDesktopClassName(class_name)) {
    if (!was_over_desktop) LOG_INFO << "Progman or WorkerW";
    g_over_desktop = true;
    return false;
  }

  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  if (!GetMonitorInfoW(MonitorFromWindow(root, MONITOR_DEFAULTTONEAREST), &monitor)) return false;
  RECT client = {};
  RECT window = {};
  if (!GetClientRect(root, &client) || !GetWindowRect(root, &window)) return false;
  const DWORD style = static_cast<DWORD>(GetWindowLongW(root, GWL_STYLE));
  return CoversMonitor(client, style, window, monitor.rcMonitor);
}
