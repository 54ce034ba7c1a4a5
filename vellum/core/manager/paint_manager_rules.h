#pragma once

// The arithmetic of the paint manager, apart from any window: image names per DPI, font records,
// timer ids, wheel packing, invalidation rectangles and the pixel passes of the layered path.

#include <windows.h>

#include "vellum/core/base/ui_string.h"

namespace Vellum {

// Timer ids run 0..239; the counter starts at 4096, so the first id is 17.
constexpr UINT kTimerIdRange = 240;
constexpr UINT kTimerCounterStart = 4096;
inline UINT NextTimerCounter(UINT counter) { return (counter + 1) % kTimerIdRange; }

// The 100 % name of an image loaded at another scale: the part from the last "@" to the last "."
// is cut out (img/a@150.png -> img/a.png). False when the name has no such part.
bool CutDpiSuffix(const CUIString& name, CUIString* plain);
// The name as it was before every "." became "@<digits>.": each "@<digits>." goes back to ".".
// This is what the cut above cannot give for folders with a dot in their name
// (img@150.x/a@150.png -> img.x/a.png). False when nothing was replaced.
bool RemoveDpiMarks(const CUIString& name, CUIString* original);

// The LOGFONTW of a skin font, built on the stock GUI font: the face (at most 31 characters, an
// empty face keeps the stock one), DEFAULT_CHARSET, height -scaled_size, underline and italic.
// Bold: weight 700 when add_bold_weight is false, the stock weight + 700 when it is true.
LOGFONTW MakeSkinLogFont(const LOGFONTW& stock, const wchar_t* face, int scaled_size, bool bold,
                         bool underline, bool italic, bool add_bold_weight);

// WM_MOUSEWHEEL's delta as the scroll-wheel event's wParam: the delta in the high word, 1 in the
// low word when it is negative (towards the user), else 0.
WPARAM PackWheelDelta(short delta);

// Left and top below 0 become 0; right and bottom below left and top become left and top.
RECT NormalizeInvalidRect(RECT rect);

// The client size kept at the new scale (old * new / old scale).
SIZE ScaleWindowSize(SIZE size, int old_scale, int new_scale);

// Pixel passes over the paint rectangle of a top-down 32-bit bitmap (row y starts at
// y * width); the rectangle is clipped to the bitmap first.
void ClearPixels(DWORD* bits, int width, int height, const RECT& rect);
// Pixels whose alpha is 0 and whose colour is not black become opaque: GDI drawing leaves alpha 0,
// while untouched (black, transparent) pixels stay transparent.
void MakeGdiPixelsOpaque(DWORD* bits, int width, int height, const RECT& rect);
// Each pixel scaled by the shape's alpha at the same place: colour * alpha / 255, alpha = the
// shape's alpha.
void ApplyShapeAlpha(DWORD* bits, const DWORD* shape, int width, int height, const RECT& rect);
// Every pixel that is not 0 gets alpha 0xFF (a printed native window becomes opaque).
void MakeNonZeroPixelsOpaque(DWORD* bits, int count);

}  // namespace Vellum
