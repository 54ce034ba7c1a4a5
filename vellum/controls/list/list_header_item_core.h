#pragma once

// What every column header item does alike, whatever else its class adds: the press, the drag of
// its separator, the resize cursor and the hot state; the attributes of its look; the painting of
// its state images, its separator and its title. The item keeps a TListHeaderItemCore and hands it
// here with itself, so each class stays what it is while the behaviour lives in one place.

#include <windows.h>

#include "vellum/core/base/ui_events.h"
#include "vellum/core/base/ui_string.h"
#include "vellum/core/manager/control.h"
#include "vellum/core/markup/control_attribute_values.h"

namespace Vellum {

struct TListHeaderItemCore {
  POINT last_drag_point{0, 0};
  bool dragable = true;
  // UISTATE_FOCUSED, UISTATE_HOT, UISTATE_PUSHED and UISTATE_CAPTURED (a separator drag).
  UINT state = 0;
  // Device pixels: > 0 a strip at the right edge, < 0 at the left edge, 0 none.
  int sep_width = 4;
  DWORD text_color = 0;
  int font = -1;
  UINT text_style = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
  bool show_html = false;
  RECT text_padding{2, 0, 2, 0};
  CUIString normal_image;
  CUIString hot_image;
  CUIString pushed_image;
  CUIString focused_image;
  CUIString sep_image;
  CUIString sep_modify;
};

// Handles the events a header item answers itself and returns true; false leaves the event to
// the item's base class. A press outside the separator sends click_notify.
bool HandleListHeaderItemEvent(CControlUI& item, TListHeaderItemCore& core, TUIEvent& event,
                               const wchar_t* click_notify);

// Updates the focused bit, then draws the image of the current state (over the normal one where
// the state has none) and the separator image over the separator strip.
void PaintListHeaderItemImages(CControlUI& item, HDC dc, TListHeaderItemCore& core);

// Draws the title inside the text padding; leading_width more is kept free at the left.
void PaintListHeaderItemText(CControlUI& item, HDC dc, TListHeaderItemCore& core,
                             int leading_width, UINT style);

// The look attributes both kinds of header item share, applied through the item's own setters
// (so each keeps its own invalidation). False for a name it does not know.
template <class Item>
bool SetListHeaderItemAttribute(Item& item, const wchar_t* name, const wchar_t* value) {
  if (_wcsicmp(name, L"dragable") == 0) {
    item.SetDragable(ParseAttributeBool(value));
  } else if (_wcsicmp(name, L"sepwidth") == 0) {
    item.SetSepWidth(ParseAttributeInt(value));
  } else if (_wcsicmp(name, L"endellipsis") == 0) {
    const UINT style = item.GetTextStyle();
    item.SetTextStyle(ParseAttributeBool(value) ? (style | DT_END_ELLIPSIS)
                                                : (style & ~static_cast<UINT>(DT_END_ELLIPSIS)));
  } else if (_wcsicmp(name, L"font") == 0) {
    item.SetFont(ParseAttributeInt(value));
  } else if (_wcsicmp(name, L"textcolor") == 0) {
    item.SetTextColor(ParseAttributeColor(value, false));
  } else if (_wcsicmp(name, L"textpadding") == 0) {
    item.SetTextPadding(ParseAttributeRect(value));
  } else if (_wcsicmp(name, L"showhtml") == 0) {
    item.SetShowHtml(ParseAttributeBool(value));
  } else if (_wcsicmp(name, L"normalimage") == 0) {
    item.SetNormalImage(value);
  } else if (_wcsicmp(name, L"hotimage") == 0) {
    item.SetHotImage(value);
  } else if (_wcsicmp(name, L"pushedimage") == 0) {
    item.SetPushedImage(value);
  } else if (_wcsicmp(name, L"focusedimage") == 0) {
    item.SetFocusedImage(value);
  } else if (_wcsicmp(name, L"sepimage") == 0) {
    item.SetSepImage(value);
  } else {
    return false;
  }
  return true;
}

}  // namespace Vellum
