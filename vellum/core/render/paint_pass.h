#pragma once

// A paint pass: the span of the outermost CControlUI::Paint running on a thread. Painting a tree
// selects the same bitmaps and fonts into DCs over and over, and under a display driver each
// selection costs microseconds (making a memory DC for one draw costs tens of them), far more than
// the blend or the text it serves. While a pass is open, the bitmap drawing keeps its source bitmaps
// selected in memory DCs of the pass, and plain text leaves its font selected in the DC the pass
// paints into. When the outermost pass closes, that DC gets its own font back and the memory DCs let
// their bitmaps go and are deleted, or kept empty in the window's pool for its next passes: between
// passes nothing of the caller's is held or changed.
//
// A bitmap drawn during a pass stays selected until the pass closes, so it cannot be deleted or
// selected elsewhere before then; whoever deletes one during a pass calls ReleaseBitmap first (the
// image table does).

#include <windows.h>

#include <vector>

namespace Vellum {

// Memory DCs that earlier passes of a window used, kept empty (no bitmap selected) for its next
// passes: making a DC costs more than most draws it serves. A paint manager owns one; the DCs are
// deleted with it.
class CPaintDCPoolUI {
 public:
  CPaintDCPoolUI() = default;
  ~CPaintDCPoolUI();
  CPaintDCPoolUI(const CPaintDCPoolUI&) = delete;
  CPaintDCPoolUI& operator=(const CPaintDCPoolUI&) = delete;

  // A kept DC, or null when none is left.
  HDC Take();
  // Keeps an empty DC for later (deletes it when enough are kept).
  void Give(HDC dc);

 private:
  std::vector<HDC> dcs_;
};

class CPaintPassUI {
 public:
  // Opens the thread's pass, painting into dc, or nests in the open one. The outermost pass takes
  // its memory DCs from pool (when given) and gives them back when it ends.
  explicit CPaintPassUI(HDC dc, CPaintDCPoolUI* pool = nullptr);
  ~CPaintPassUI();
  CPaintPassUI(const CPaintPassUI&) = delete;
  CPaintPassUI& operator=(const CPaintPassUI&) = delete;

  // A memory DC with bitmap selected, kept until the pass closes. Null outside a pass or when no DC
  // can be made; the caller then makes its own.
  static HDC KeptSourceDC(HDC compatible_with, HBITMAP bitmap);
  // Selects font into dc until the pass closes. False (nothing selected) outside a pass or when dc
  // is not the DC the pass paints into: a DC of the caller's own may not outlive the pass.
  static bool KeepFont(HDC dc, HFONT font);
  // Lets go of bitmap if a kept DC holds it, so that it can be deleted.
  static void ReleaseBitmap(HBITMAP bitmap);
};

}  // namespace Vellum
