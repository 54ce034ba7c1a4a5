#include "vellum/core/layout/container.h"

#include "vellum/core/markup/control_attribute_values.h"

namespace Vellum {

// ---- Attributes -----------------------------------------------------------------------------------

void CContainerUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (!name) return;
  if (!value) value = L"";
  if (_wcsicmp(name, L"inset") == 0) {
    SetInset(ParseAttributeRectIn(value, -kMaxPaddingExtent, kMaxPaddingExtent));
  } else if (_wcsicmp(name, L"mousechild") == 0) {
    SetMouseChildEnabled(ParseAttributeBool(value));
  } else if (_wcsicmp(name, L"vscrollbar") == 0) {
    EnableScrollBar(ParseAttributeBool(value), horizontal_scroll_bar_ != nullptr);
  } else if (_wcsicmp(name, L"vscrollbarstyle") == 0) {
    EnableScrollBar(true, horizontal_scroll_bar_ != nullptr);
    ApplyScrollBarStyle(vertical_scroll_bar_, value);
  } else if (_wcsicmp(name, L"hscrollbar") == 0) {
    EnableScrollBar(vertical_scroll_bar_ != nullptr, ParseAttributeBool(value));
  } else if (_wcsicmp(name, L"hscrollbarstyle") == 0) {
    EnableScrollBar(vertical_scroll_bar_ != nullptr, true);
    ApplyScrollBarStyle(horizontal_scroll_bar_, value);
  } else if (_wcsicmp(name, L"childpadding") == 0) {
    SetChildPadding(ParseAttributeIntIn(value, -kMaxPaddingExtent, kMaxPaddingExtent));
  } else if (wcscmp(name, L"childalign") == 0) {
    // Name and values are compared exactly; other values leave the alignment as it was.
    if (wcscmp(value, L"left") == 0) {
      child_align_ = UICHILD_ALIGN_LEFT;
    } else if (wcscmp(value, L"center") == 0) {
      child_align_ = UICHILD_ALIGN_CENTER;
    } else if (wcscmp(value, L"right") == 0) {
      child_align_ = UICHILD_ALIGN_RIGHT;
    }
  } else if (wcscmp(name, L"childvalign") == 0) {
    if (wcscmp(value, L"top") == 0) {
      child_valign_ = UICHILD_VALIGN_TOP;
    } else if (wcscmp(value, L"vcenter") == 0) {
      child_valign_ = UICHILD_VALIGN_VCENTER;
    } else if (wcscmp(value, L"bottom") == 0) {
      child_valign_ = UICHILD_VALIGN_BOTTOM;
    }
  } else if (_wcsicmp(name, L"scrollstepsize") == 0) {
    SetScrollStepSize(ParseAttributeInt(value));
  } else if (_wcsicmp(name, L"fixedscrollbar") == 0) {
    SetFixedScrollbar(ParseAttributeBool(value));
  } else if (_wcsicmp(name, L"showscrollbar") == 0) {
    SetShowScrollbar(ParseAttributeBool(value));
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

}  // namespace Vellum
