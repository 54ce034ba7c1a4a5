#pragma once

// An image description parsed once: the small key='value' language of skin attributes such as
// "bkimage" that names an image and says how to cut, stretch, tile, fade and place it. The paint
// manager owns the parsed records (cached per description text); drawing reads them.

#include <windows.h>

#include "vellum/core/base/ui_string.h"

namespace Vellum {

class CDpiScaler;
struct TUIImageInfo;

struct TImageDrawInfo {
  CUIString draw_string;    // the description as written
  CUIString modify_string;  // the second description whose items override the first
  CUIString name;           // image name: file, zip entry, or resource name or number
  CUIString res_type;       // set: the image is a resource of this type
  TUIImageInfo* image = nullptr;  // resolved when drawn; owned by the manager's image table
  RECT dest{};     // inside the item rectangle, relative to its top-left; scaled at parse
  RECT source{};   // part of the image; all 0 is the whole image; scaled at parse
  RECT corner{};   // nine-grid corner widths in the source; scaled at parse
  DWORD mask = 0;  // colour made transparent at load time
  BYTE fade = 255;
  int rotate = 0;  // degrees about the destination's centre
  bool hole = false;
  bool xtiled = false;
  bool ytiled = false;
  bool hsl = false;  // kept as written; drawing does not use it
  bool gdiplus = false;
  SIZE size{};      // drawn size for alignment; unscaled here, scaled when drawn
  RECT padding{};   // offsets after alignment; scaled at parse (and only here)
  CUIString align;  // words: left, hcenter, right, top, vcenter, bottom

  // Back to the defaults (fade 255, everything else empty or 0).
  void Clear();

  // Parses the image text and then the modify text (either may be null); later items win. The
  // whole image text is the name until a "file" or "res" item says otherwise. A malformed item ends
  // the parse of its text; the items before it stay. Rectangles are scaled with the scaler, and at
  // a scale other than 100 every "." of the name becomes "@<scale>.".
  void Parse(const wchar_t* image, const wchar_t* modify, const CDpiScaler& scaler);
};

}  // namespace Vellum

namespace Vellum {

// Where an image of a given (already scaled) size goes inside the item rectangle: placed by the
// align words ("left", "hcenter", "right"; "top", "vcenter", "bottom"; found as case-sensitive
// substrings, the first match per axis wins; an axis without a word keeps dest), then moved by the
// padding (left and top inwards, right and bottom back), then cut at the item's right and bottom.
RECT MakeImageDest(const RECT& item, const RECT& dest, SIZE size, const wchar_t* align,
                   const RECT& padding);

}  // namespace Vellum
