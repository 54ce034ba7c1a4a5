#pragma once

#include <windows.h>

namespace Vellum {

// Geometry values with the memory layout of RECT, SIZE and POINT, so that they pass wherever the
// Win32 types are expected.

class CUIRect : public RECT {
 public:
  CUIRect() : RECT{0, 0, 0, 0} {}
  CUIRect(int left, int top, int right, int bottom) : RECT{left, top, right, bottom} {}
  CUIRect(const RECT& rect) : RECT(rect) {}

  int GetWidth() const { return right - left; }
  int GetHeight() const { return bottom - top; }

  // The bounding rectangle of both. An empty rectangle counts like any other, so joining with an
  // empty rectangle at the origin stretches the result to the origin.
  void Join(const RECT& rect) {
    if (rect.left < left) left = rect.left;
    if (rect.top < top) top = rect.top;
    if (rect.right > right) right = rect.right;
    if (rect.bottom > bottom) bottom = rect.bottom;
  }
  void Offset(int cx, int cy) {
    left += cx;
    right += cx;
    top += cy;
    bottom += cy;
  }
  // Moves the rectangle so that left and top become 0; the size is kept.
  void ResetOffset() { Offset(-left, -top); }
  void Deflate(int cx, int cy) {
    left += cx;
    right -= cx;
    top += cy;
    bottom -= cy;
  }
};

class CUISize : public SIZE {
 public:
  CUISize() : SIZE{0, 0} {}
  CUISize(int cx, int cy) : SIZE{cx, cy} {}
};

class CUIPoint : public POINT {
 public:
  CUIPoint() : POINT{0, 0} {}
  CUIPoint(const POINT& point) : POINT(point) {}
};

static_assert(sizeof(CUIRect) == sizeof(RECT), "CUIRect must keep the layout of RECT");
static_assert(sizeof(CUISize) == sizeof(SIZE), "CUISize must keep the layout of SIZE");
static_assert(sizeof(CUIPoint) == sizeof(POINT), "CUIPoint must keep the layout of POINT");

}  // namespace Vellum
