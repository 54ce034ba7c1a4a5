#include <cstdlib>
#include <cwchar>
#include <new>

#include "vellum/core/manager/control.h"
#include "vellum/core/markup/control_attribute_values.h"
#include "vellum/core/manager/paint_manager.h"

namespace Vellum {
namespace {

constexpr int kCustomAttributeBuckets = 83;

// Styles may name styles, and "style" and "innerstyle" values may do so again. A skin whose styles
// refer to each other in a circle would recurse until the stack runs out; nesting stops here
// instead (far deeper than any skin nests on purpose).
constexpr int kMaxAttributeListDepth = 16;

bool Is(const wchar_t* name, const wchar_t* expected) { return _wcsicmp(name, expected) == 0; }

}  // namespace

// ---- Attribute lists ----------------------------------------------------------------------------------

void CControlUI::ApplyAttributeList(const wchar_t* list) {
  if (!list) return;
  static thread_local int depth = 0;
  if (depth >= kMaxAttributeListDepth) return;
  struct DepthGuard {
    DepthGuard() { ++depth; }
    ~DepthGuard() { --depth; }
  } guard;

  if (manager_) {
    const wchar_t* style = manager_->GetStyle(list);
    if (style) {
      ApplyAttributeList(style);
      return;
    }
  }
  for (const auto& pair : SplitAttributeList(list)) {
    SetAttribute(pair.first.GetData(), pair.second.GetData());
  }
}

void CControlUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (!name) return;
  if (!value) value = L"";

  if (Is(name, L"style") && manager_) {
    const wchar_t* style = manager_->GetStyle(value);
    if (style) {
      ApplyAttributeList(style);
      return;
    }
  }
  if (Is(name, L"innerstyle")) {
    ApplyAttributeList(value);
  } else if (Is(name, L"pos")) {
    const RECT rect = ParseAttributeRect(value);
    SetFixedXY(SIZE{rect.left >= 0 ? rect.left : rect.right, rect.top >= 0 ? rect.top : rect.bottom});
    SetFixedWidth(std::abs(rect.right - rect.left));
    SetFixedHeight(std::abs(rect.bottom - rect.top));
  } else if (Is(name, L"float")) {
    if (std::wcschr(value, L',') == nullptr) {
      SetFloat(ParseAttributeBool(value));
    } else {
      SetFloatPercent(ParseFloatPercent(value));
      SetFloat(true);
    }
  } else if (Is(name, L"floatalign")) {
    SetFloatAlign(ApplyFloatAlignWords(GetFloatAlign(), value));
  } else if (Is(name, L"padding")) {
    SetPadding(ParseAttributeRectIn(value, -kMaxPaddingExtent, kMaxPaddingExtent));
  } else if (Is(name, L"gradient")) {
    SetGradient(value);
  } else if (Is(name, L"bkcolor") || Is(name, L"bkcolor1")) {
    SetBkColor(ParseAttributeColor(value, true));
  } else if (Is(name, L"bkcolor2")) {
    SetBkColor2(ParseAttributeColor(value, true));
  } else if (Is(name, L"bkcolor3")) {
    SetBkColor3(ParseAttributeColor(value, true));
  } else if (Is(name, L"forecolor")) {
    SetForeColor(ParseAttributeColor(value, true));
  } else if (Is(name, L"bordercolor")) {
    SetBorderColor(ParseAttributeColor(value, false));
  } else if (Is(name, L"focusbordercolor")) {
    SetFocusBorderColor(ParseAttributeColor(value, false));
  } else if (Is(name, L"colorhsl")) {
    SetColorHSL(ParseAttributeBool(value));
  } else if (Is(name, L"bordersize")) {
    if (std::wcschr(value, L',') == nullptr) {
      SetBorderSize(ParseAttributeIntIn(value, 0, kMaxBorderExtent));
      SetBorderSize(RECT{0, 0, 0, 0});
    } else {
      SetBorderSize(ParseAttributeRectIn(value, 0, kMaxBorderExtent));
    }
  } else if (Is(name, L"leftbordersize")) {
    SetLeftBorderSize(ParseAttributeIntIn(value, 0, kMaxBorderExtent));
  } else if (Is(name, L"topbordersize")) {
    SetTopBorderSize(ParseAttributeIntIn(value, 0, kMaxBorderExtent));
  } else if (Is(name, L"rightbordersize")) {
    SetRightBorderSize(ParseAttributeIntIn(value, 0, kMaxBorderExtent));
  } else if (Is(name, L"bottombordersize")) {
    SetBottomBorderSize(ParseAttributeIntIn(value, 0, kMaxBorderExtent));
  } else if (Is(name, L"borderstyle")) {
    SetBorderStyle(ParseAttributeInt(value));
  } else if (Is(name, L"borderround")) {
    SetBorderRound(ParseAttributeSizeIn(value, 0, kMaxBorderExtent));
  } else if (Is(name, L"bkimage")) {
    SetBkImage(value);
  } else if (Is(name, L"foreimage")) {
    SetForeImage(value);
  } else if (Is(name, L"width")) {
    SetFixedWidth(ParseAttributeInt(value));
  } else if (Is(name, L"height")) {
    SetFixedHeight(ParseAttributeInt(value));
  } else if (Is(name, L"minwidth")) {
    SetMinWidth(ParseAttributeInt(value));
  } else if (Is(name, L"minheight")) {
    SetMinHeight(ParseAttributeInt(value));
  } else if (Is(name, L"maxwidth")) {
    SetMaxWidth(ParseAttributeInt(value));
  } else if (Is(name, L"maxheight")) {
    SetMaxHeight(ParseAttributeInt(value));
  } else if (Is(name, L"name")) {
    SetName(value);
  } else if (Is(name, L"drag")) {
    SetDragEnabled(ParseAttributeBool(value));
  } else if (Is(name, L"drop")) {
    SetDropEnabled(ParseAttributeBool(value));
  } else if (Is(name, L"resourcetext")) {
    SetResourceText(ParseAttributeBool(value));
  } else if (Is(name, L"richevent")) {
    SetRichEvent(ParseAttributeBool(value));
  } else if (Is(name, L"text")) {
    SetText(value);
  } else if (Is(name, L"tooltip")) {
    SetToolTip(value);
  } else if (Is(name, L"userdata")) {
    SetUserData(value);
  } else if (Is(name, L"enabled")) {
    SetEnabled(ParseAttributeBool(value));
  } else if (Is(name, L"mouse")) {
    SetMouseEnabled(ParseAttributeBool(value));
  } else if (Is(name, L"keyboard")) {
    SetKeyboardEnabled(ParseAttributeBool(value));
  } else if (Is(name, L"visible")) {
    SetVisible(ParseAttributeBool(value));
  } else if (Is(name, L"shortcut")) {
    SetShortcut(value[0]);
  } else if (Is(name, L"menu")) {
    SetContextMenuUsed(ParseAttributeBool(value));
  } else if (Is(name, L"cursor")) {
    const WORD cursor = CursorIdOfWord(value);
    if (cursor != 0) SetCursor(cursor);
  } else if (Is(name, L"virtualwnd")) {
    SetVirtualWnd(value);
  } else {
    AddCustomAttribute(name, value);
  }
}

// ---- Custom attributes --------------------------------------------------------------------------------

void CControlUI::AddCustomAttribute(const wchar_t* name, const wchar_t* value) {
  if (!name || !value || name[0] == L'\0' || value[0] == L'\0') return;
  if (!custom_attributes_) {
    custom_attributes_ = new (std::nothrow) CUIStringMap(kCustomAttributeBuckets);
    if (!custom_attributes_) return;
  } else if (custom_attributes_->Find(name)) {
    return;
  }
  auto* copy = new CUIString(value);
  if (!custom_attributes_->Insert(name, copy)) delete copy;
}

const wchar_t* CControlUI::GetCustomAttribute(const wchar_t* name) const {
  if (!name || !custom_attributes_) return nullptr;
  const auto* value = static_cast<const CUIString*>(custom_attributes_->Find(name));
  return value ? value->GetData() : nullptr;
}

void CControlUI::RemoveAllCustomAttribute() {
  if (!custom_attributes_) return;
  for (int i = 0; i < custom_attributes_->GetSize(); ++i) {
    const wchar_t* key = custom_attributes_->GetAt(i);
    if (key) delete static_cast<CUIString*>(custom_attributes_->Find(key, false));
  }
  delete custom_attributes_;
  custom_attributes_ = nullptr;
}

// ---- Colours, images and border ---------------------------------------------------------------------

namespace {

// Stores a value and reports whether it changed, for the setters that repaint only on a change.
template <typename T>
bool StoreChanged(T* stored, T value) {
  if (*stored == value) return false;
  *stored = value;
  return true;
}

bool StoreChangedText(CUIString* stored, const wchar_t* text) {
  if (*stored == (text ? text : L"")) return false;
  *stored = text;
  return true;
}

}  // namespace

DWORD CControlUI::GetBkColor() const { return bk_color_; }
void CControlUI::SetBkColor(DWORD color) {
  if (StoreChanged(&bk_color_, color)) Invalidate();
}
DWORD CControlUI::GetBkColor2() const { return bk_color2_; }
void CControlUI::SetBkColor2(DWORD color) {
  if (StoreChanged(&bk_color2_, color)) Invalidate();
}
DWORD CControlUI::GetBkColor3() const { return bk_color3_; }
void CControlUI::SetBkColor3(DWORD color) {
  if (StoreChanged(&bk_color3_, color)) Invalidate();
}
DWORD CControlUI::GetForeColor() const { return fore_color_; }
void CControlUI::SetForeColor(DWORD color) {
  if (StoreChanged(&fore_color_, color)) Invalidate();
}
DWORD CControlUI::GetBorderColor() const { return border_color_; }
void CControlUI::SetBorderColor(DWORD color) {
  if (StoreChanged(&border_color_, color)) Invalidate();
}
DWORD CControlUI::GetFocusBorderColor() const { return focus_border_color_; }
void CControlUI::SetFocusBorderColor(DWORD color) {
  if (StoreChanged(&focus_border_color_, color)) Invalidate();
}
bool CControlUI::IsColorHSL() const { return color_hsl_; }
void CControlUI::SetColorHSL(bool color_hsl) {
  if (StoreChanged(&color_hsl_, color_hsl)) Invalidate();
}

const wchar_t* CControlUI::GetGradient() const {
  return rare_texts_.Get(&TRareTexts::gradient).GetData();
}
void CControlUI::SetGradient(const wchar_t* gradient) {
  // Setting the empty gradient on a control that has none changes nothing.
  CUIString* slot = rare_texts_.Slot(&TRareTexts::gradient, gradient);
  if (slot && StoreChangedText(slot, gradient)) Invalidate();
}
const wchar_t* CControlUI::GetBkImage() const {
  return rare_texts_.Get(&TRareTexts::bk_image).GetData();
}
void CControlUI::SetBkImage(const wchar_t* image) {
  CUIString* slot = rare_texts_.Slot(&TRareTexts::bk_image, image);
  if (slot && StoreChangedText(slot, image)) Invalidate();
}
const wchar_t* CControlUI::GetForeImage() const {
  return rare_texts_.Get(&TRareTexts::fore_image).GetData();
}
void CControlUI::SetForeImage(const wchar_t* image) {
  CUIString* slot = rare_texts_.Slot(&TRareTexts::fore_image, image);
  if (slot && StoreChangedText(slot, image)) Invalidate();
}

int CControlUI::GetBorderSize() const { return ScaleValue(border_size_); }
void CControlUI::SetBorderSize(int size) {
  if (StoreChanged(&border_size_, size)) Invalidate();
}
RECT CControlUI::GetBorderRect() const { return ScaleValue(border_rect_); }
void CControlUI::SetBorderSize(RECT sizes) {
  border_rect_ = sizes;
  Invalidate();
}
void CControlUI::SetLeftBorderSize(int size) {
  border_rect_.left = size;
  Invalidate();
}
void CControlUI::SetTopBorderSize(int size) {
  border_rect_.top = size;
  Invalidate();
}
void CControlUI::SetRightBorderSize(int size) {
  border_rect_.right = size;
  Invalidate();
}
void CControlUI::SetBottomBorderSize(int size) {
  border_rect_.bottom = size;
  Invalidate();
}
int CControlUI::GetBorderStyle() const { return border_style_; }
void CControlUI::SetBorderStyle(int style) {
  border_style_ = style;
  Invalidate();
}
SIZE CControlUI::GetBorderRound() const { return ScaleValue(border_round_); }
void CControlUI::SetBorderRound(SIZE round) {
  border_round_ = round;
  Invalidate();
}

}  // namespace Vellum
