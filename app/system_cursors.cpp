#include "app/system_cursors.h"

#include "app/cursor_utils.h"

namespace {

class User32Cursors final : public SystemCursors {
 public:
  HCURSOR Copy(HCURSOR cursor) override { return CopyIcon(cursor); }
  void Destroy(HCURSOR cursor) override { DestroyCursor(cursor); }
  bool Set(HCURSOR cursor, DWORD id) override {
    if (SetSystemCursor(cursor, id)) return true;
    // The system takes the handle only when it accepts it.
    DestroyCursor(cursor);
    return false;
  }
  bool ReloadScheme(bool send_change) override {
    return SystemParametersInfoW(SPI_SETCURSORS, 0, nullptr, send_change ? SPIF_SENDCHANGE : 0) != FALSE;
  }
  int ArrowSize() override { return CursorUtils::GetCursorBaseSize().width; }
};

}  // namespace

SystemCursors& RealSystemCursors() {
  static User32Cursors cursors;
  return cursors;
}
