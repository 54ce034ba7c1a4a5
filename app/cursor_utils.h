#pragma once

#include <windows.h>

#include <memory>

namespace Gdiplus {
class Bitmap;
}

// Builds the enlarged cursor: the arrow image of the program's resources scaled with GDI+ to the
// configured factor times the current cursor size. Built cursors stay in a process-wide cache and are
// never destroyed; every user takes copies. UI thread only (the cache has no lock).
namespace CursorUtils {

// Resource "PNG" 148: a 512 x 512 white arrow with a black outline and an alpha channel.
constexpr int kArrowResourceId = 148;

struct BitmapDeleter {
  void operator()(Gdiplus::Bitmap* bitmap) const;
};
using BitmapPtr = std::unique_ptr<Gdiplus::Bitmap, BitmapDeleter>;

struct CursorBaseSize {
  int width;
  int height;
  bool read;  // false: the standard arrow could not be read and 32 x 32 stands in
};

// The side of the standard arrow's image, which follows the user's pointer size setting.
CursorBaseSize GetCursorBaseSize();

// The enlarged cursor for `scale` times the current cursor size, built on first request. The result
// belongs to the cache (never destroy it); null when the build failed, which is remembered too. The
// hotspot is the source cursor's own.
HCURSOR ScaleCursor(HCURSOR source, int scale);
// The same for a given base size. The cache is keyed by the factor and the base size together, so a
// changed pointer size is built anew rather than served from the old size.
HCURSOR ScaleCursor(HCURSOR source, int scale, int base_size);
// One uncached build, owned by the caller (DestroyCursor); null on failure. Starts GDI+ for itself.
HCURSOR BuildScaledCursor(HCURSOR source, int scale, int base_size);

// The arrow image decoded from the program's resources; null (with the reason logged) when missing,
// undecodable or without an alpha channel. GDI+ must be running.
BitmapPtr LoadPngResource();

// A width x height ARGB bitmap with the image drawn into it, filling the box and centred. GDI+ must be
// running.
BitmapPtr ScaleBitmap(Gdiplus::Bitmap* image, int width, int height);

// A cursor from an ARGB bitmap; the hotspot is clamped into the bitmap. GDI+ must be running.
HCURSOR BitmapToCursor(Gdiplus::Bitmap* bitmap, int hotspot_x, int hotspot_y);

}  // namespace CursorUtils
