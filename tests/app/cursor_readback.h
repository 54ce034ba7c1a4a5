#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "common/base/gdi_handles.h"

// Reads a cursor back through GetIconInfo: its size, hotspot and the pixels of both bitmaps.
struct CursorImage {
  bool ok = false;
  bool is_icon = true;
  int width = 0;
  int height = 0;
  int hotspot_x = 0;
  int hotspot_y = 0;
  std::vector<uint32_t> color;  // ARGB, top-down
  std::vector<uint32_t> mask;   // 0x00FFFFFF or 0, top-down

  uint32_t Color(int x, int y) const { return color[static_cast<size_t>(y) * width + x]; }
  uint32_t Alpha(int x, int y) const { return Color(x, y) >> 24; }
  uint32_t Mask(int x, int y) const { return mask[static_cast<size_t>(y) * width + x] & 0xFFFFFF; }
};

inline std::vector<uint32_t> ReadBitmap32(HBITMAP bitmap, int width, int height) {
  std::vector<uint32_t> bits(static_cast<size_t>(width) * height);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  const ScopedScreenDc dc(GetDC(nullptr));
  const int rows = GetDIBits(dc.get(), bitmap, 0, static_cast<UINT>(height), bits.data(), &info, DIB_RGB_COLORS);
  if (rows != height) bits.clear();
  return bits;
}

inline CursorImage ReadCursor(HCURSOR cursor) {
  CursorImage image;
  ScopedIconInfo icon_info;
  if (!icon_info.Read(cursor)) return image;
  const ICONINFO& info = icon_info.get();
  BITMAP bm = {};
  if (info.hbmColor != nullptr && GetObjectW(info.hbmColor, sizeof(bm), &bm) != 0) {
    image.width = bm.bmWidth;
    image.height = bm.bmHeight;
    image.color = ReadBitmap32(info.hbmColor, image.width, image.height);
    image.mask = ReadBitmap32(info.hbmMask, image.width, image.height);
    image.ok = !image.color.empty() && !image.mask.empty();
  }
  image.is_icon = info.fIcon != FALSE;
  image.hotspot_x = static_cast<int>(info.xHotspot);
  image.hotspot_y = static_cast<int>(info.yHotspot);
  return image;
}
