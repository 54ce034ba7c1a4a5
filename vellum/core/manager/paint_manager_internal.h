#pragma once

// The parts of the paint manager that its source files share and nobody else needs.

#include <windows.h>
#include <windowsx.h>

#include <vector>

#include "vellum/core/image/image_draw_info.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/base/ui_ptr_array.h"
#include "vellum/core/base/ui_string_map.h"

namespace Vellum {

// One set of tables; every window has one and the process has one shared by all windows. The
// tables own what they point to.
struct CPaintManagerUI::TResourceSet {
  DWORD disabled_color = 0;
  DWORD font_color = 0;
  DWORD link_color = 0;
  DWORD link_hover_color = 0;
  DWORD selected_bk_color = 0;
  TUIFontInfo default_font;
  CUIStringMap fonts;            // decimal id -> TUIFontInfo*
  CUIStringMap images;           // name -> TUIImageInfo*
  CUIStringMap attribute_lists;  // class name -> CUIString*
  CUIStringMap styles;           // style name -> CUIString*
};

// The image that shapes a layered window.
struct CPaintManagerUI::TLayeredState {
  CUIString description;
  TImageDrawInfo info;
};

// Every manager from its construction to its destruction, windowed or not.
std::vector<CPaintManagerUI*>& LivingPaintManagers();

// The process-wide 1-pixel pen of the update-rectangle outline.
HPEN GetUpdateRectPen();

inline POINT PointFromLParam(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

// Takes out the first equal entry; false when there was none.
inline bool RemoveFirst(CUIPtrArray& list, void* item) {
  const int index = list.Find(item);
  if (index < 0) return false;
  return list.Remove(index);
}

}  // namespace Vellum
