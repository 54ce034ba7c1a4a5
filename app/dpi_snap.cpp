#include "app/dpi_snap.h"

int SnapDpi(int dpi) {
  if (dpi >= 192) return 192;
  // Below 144 the nearer of 96 and 144, a tie (120) going to 96.
  if (dpi <= 120) return 96;
  if (dpi < 144) return 144;
  // From 144 up the nearer of 144 and 200, a tie (172) going to 144.
  return dpi <= 172 ? 144 : 192;
}
