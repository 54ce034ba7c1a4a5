#include "vellum/core/manager/paint_manager_rules.h"

#include <algorithm>
#include <cwchar>

namespace Vellum {

bool CutDpiSuffix(const CUIString& name, CUIString* plain) {
  const int at = name.ReverseFind(L'@');
  const int dot = name.ReverseFind(L'.');
  if (at < 0 || dot < 0 || dot < at) return false;
  *plain = name.Left(at) + name.Mid(dot);
  return true;
}

bool RemoveDpiMarks(const CUIString& name, CUIString* original) {
  const wchar_t* text = name.GetData();
  CUIString result;
  bool replaced = false;
  for (int i = 0; text[i] != L'\0';) {
    if (text[i] == L'@') {
      int j = i + 1;
      while (text[j] >= L'0' && text[j] <= L'9') ++j;
      if (j > i + 1 && text[j] == L'.') {
        result += L'.';
        i = j + 1;
        replaced = true;
        continue;
      }
    }
    result += text[i];
    ++i;
  }
  if (!replaced) return false;
  *original = result;
  return true;
}

LOGFONTW MakeSkinLogFont(const LOGFONTW& stock, const wchar_t* face, int scaled_size, bool bold,
                         bool underline, bool italic, bool add_bold_weight) {
  LOGFONTW font = stock;
  if (face != nullptr && face[0] != L'\0') {
    // LF_FACESIZE holds 31 characters and the terminator.
    wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    font.lfFaceName[LF_FACESIZE - 1] = L'\0';
  }
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfHeight = -scaled_size;
  if (bold) font.lfWeight = add_bold_weight ? stock.lfWeight + FW_BOLD : FW_BOLD;
  font.lfUnderline = underline ? TRUE : FALSE;
  font.lfItalic = italic ? TRUE : FALSE;
  return font;
}

WPARAM PackWheelDelta(short delta) {
  const WORD low = delta < 0 ? 1 : 0;
  return MAKEWPARAM(low, static_cast<WORD>(delta));
}

RECT NormalizeInvalidRect(RECT rect) {
  if (rect.left < 0) rect.left = 0;
  if (rect.top < 0) rect.top = 0;
  if (rect.right < rect.left) rect.right = rect.left;
  if (rect.bottom < rect.top) rect.bottom = rect.top;
  return rect;
}

SIZE ScaleWindowSize(SIZE size, int old_scale, int new_scale) {
  if (old_scale <= 0) return size;
  return {static_cast<LONG>(static_cast<long long>(size.cx) * new_scale / old_scale),
          static_cast<LONG>(static_cast<long long>(size.cy) * new_scale / old_scale)};
}

namespace {

// False when nothing of the rectangle lies inside the bitmap.
bool ClipToBitmap(const RECT& rect, int width, int height, RECT* clipped) {
  clipped->left = std::max<LONG>(rect.left, 0);
  clipped->top = std::max<LONG>(rect.top, 0);
  clipped->right = std::min<LONG>(rect.right, width);
  clipped->bottom = std::min<LONG>(rect.bottom, height);
  return clipped->left < clipped->right && clipped->top < clipped->bottom;
}

}  // namespace

void ClearPixels(DWORD* bits, int width, int height, const RECT& rect) {
  RECT r;
  if (bits == nullptr || !ClipToBitmap(rect, width, height, &r)) return;
  for (LONG y = r.top; y < r.bottom; ++y) {
    DWORD* row = bits + static_cast<size_t>(y) * width;
    std::fill(row + r.left, row + r.right, 0u);
  }
}

void MakeGdiPixelsOpaque(DWORD* bits, int width, int height, const RECT& rect) {
  RECT r;
  if (bits == nullptr || !ClipToBitmap(rect, width, height, &r)) return;
  for (LONG y = r.top; y < r.bottom; ++y) {
    DWORD* row = bits + static_cast<size_t>(y) * width;
    for (LONG x = r.left; x < r.right; ++x) {
      if ((row[x] & 0xFF000000u) == 0 && (row[x] & 0x00FFFFFFu) != 0) row[x] |= 0xFF000000u;
    }
  }
}

void ApplyShapeAlpha(DWORD* bits, const DWORD* shape, int width, int height, const RECT& rect) {
  RECT r;
  if (bits == nullptr || shape == nullptr || !ClipToBitmap(rect, width, height, &r)) return;
  for (LONG y = r.top; y < r.bottom; ++y) {
    const size_t offset = static_cast<size_t>(y) * width;
    for (LONG x = r.left; x < r.right; ++x) {
      const DWORD pixel = bits[offset + x];
      const DWORD alpha = shape[offset + x] >> 24;
      const DWORD red = ((pixel >> 16) & 0xFF) * alpha / 255;
      const DWORD green = ((pixel >> 8) & 0xFF) * alpha / 255;
      const DWORD blue = (pixel & 0xFF) * alpha / 255;
      bits[offset + x] = (alpha << 24) | (red << 16) | (green << 8) | blue;
    }
  }
}

void MakeNonZeroPixelsOpaque(DWORD* bits, int count) {
  for (int i = 0; i < count; ++i) {
    if (bits[i] != 0) bits[i] |= 0xFF000000u;
  }
}

}  // namespace Vellum
