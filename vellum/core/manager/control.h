#pragma once

// The base of every element of a skin. A control is owned by its parent container; the root of a
// window's tree is owned by that window's paint manager. A control never owns its manager or its
// parent. Everything here runs on the thread of the window that owns the control.
//
// Geometry is stored as written for 96 DPI; the getters scale it through the attached manager's
// DPI scaler, and painting and layout work in device pixels. Every setter that changes how the
// control looks ends in Invalidate; every setter of geometry ends in NeedParentUpdate.
//
// The virtual operations below keep one fixed order: later control families override them and
// the order is part of the contract between the core and those families.

#include <windows.h>

#include "vellum/core/base/ui_delegate.h"
#include "vellum/core/base/ui_string.h"
#include "vellum/core/base/ui_string_map.h"
#include "vellum/core/base/ui_text_block.h"

namespace Vellum {

class CControlUI;
class CPaintManagerUI;
struct TUIEvent;

// Control flags (GetControlFlags).
constexpr UINT UIFLAG_TABSTOP = 0x00000001;
constexpr UINT UIFLAG_SETCURSOR = 0x00000002;
constexpr UINT UIFLAG_WANTRETURN = 0x00000004;

// Search flags of FindControl.
constexpr UINT UIFIND_VISIBLE = 0x00000001;
constexpr UINT UIFIND_ENABLED = 0x00000002;
constexpr UINT UIFIND_HITTEST = 0x00000004;
constexpr UINT UIFIND_UPDATETEST = 0x00000008;
constexpr UINT UIFIND_TOP_FIRST = 0x00000010;
constexpr UINT UIFIND_ME_FIRST = 0x80000000;

// State bits of controls that keep a button-like state.
constexpr UINT UISTATE_FOCUSED = 0x00000001;
constexpr UINT UISTATE_SELECTED = 0x00000002;
constexpr UINT UISTATE_DISABLED = 0x00000004;
constexpr UINT UISTATE_HOT = 0x00000008;
constexpr UINT UISTATE_PUSHED = 0x00000010;
constexpr UINT UISTATE_CAPTURED = 0x00000040;

// Alignment bits of a floating control; 0 in both pairs means left and top.
constexpr UINT UIFLOAT_HCENTER = 0x1;
constexpr UINT UIFLOAT_RIGHT = 0x2;
constexpr UINT UIFLOAT_VCENTER = 0x4;
constexpr UINT UIFLOAT_BOTTOM = 0x8;

// The callback of FindControl: returns the control that ends the search, or null to go on.
using FINDCONTROLPROC = CControlUI*(CALLBACK*)(CControlUI* control, LPVOID data);

// Relative placement of a floating control, as fractions of its parent's size.
struct TFloatPercent {
  double left = 0.0;
  double top = 0.0;
  double right = 0.0;
  double bottom = 0.0;
};

class CControlUI {
 public:
  CControlUI();
  CControlUI(const CControlUI&) = delete;
  CControlUI& operator=(const CControlUI&) = delete;

  // The factory's creator of this class.
  static CControlUI* CreateControl();

  // --- virtual operations, in their fixed order ---
  virtual ~CControlUI();
  virtual CUIString GetName() const;
  virtual void SetName(const wchar_t* name);
  virtual const wchar_t* GetClass() const;
  virtual LPVOID GetInterface(const wchar_t* name);
  virtual UINT GetControlFlags() const;
  virtual bool Activate();
  virtual CPaintManagerUI* GetManager() const;
  virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true);
  virtual CControlUI* GetParent() const;

  virtual CUIString GetText() const;
  virtual void SetText(const wchar_t* text);
  virtual bool IsResourceText() const;
  virtual void SetResourceText(bool resource);
  virtual bool IsDragEnabled() const;
  virtual void SetDragEnabled(bool enable);
  virtual bool IsDropEnabled() const;
  virtual void SetDropEnabled(bool enable);
  virtual bool IsRichEvent() const;
  virtual void SetRichEvent(bool enable);

  virtual RECT GetRelativePos() const;
  virtual RECT GetClientPos() const;
  virtual const RECT& GetPos() const;
  virtual void SetPos(RECT rect, bool invalidate = true);
  virtual void Move(SIZE offset, bool invalidate = true);
  virtual int GetWidth() const;
  virtual int GetHeight() const;
  virtual int GetX() const;
  virtual int GetY() const;
  virtual RECT GetPadding() const;
  virtual void SetPadding(RECT padding);
  virtual SIZE GetFixedXY() const;
  virtual void SetFixedXY(SIZE xy);
  virtual SIZE GetFixedSize() const;
  virtual int GetFixedWidth() const;
  virtual void SetFixedWidth(int width);
  virtual int GetFixedHeight() const;
  virtual void SetFixedHeight(int height);
  virtual int GetMinWidth() const;
  virtual void SetMinWidth(int width);
  virtual int GetMaxWidth() const;
  virtual void SetMaxWidth(int width);
  virtual int GetMinHeight() const;
  virtual void SetMinHeight(int height);
  virtual int GetMaxHeight() const;
  virtual void SetMaxHeight(int height);
  virtual TFloatPercent GetFloatPercent() const;
  virtual void SetFloatPercent(TFloatPercent percent);
  virtual void SetFloatAlign(UINT align);
  virtual UINT GetFloatAlign() const;

  virtual CUIString GetToolTip() const;
  virtual void SetToolTip(const wchar_t* text);
  virtual void SetToolTipWidth(int width);
  virtual int GetToolTipWidth() const;
  virtual WORD GetCursor() const;
  virtual void SetCursor(WORD cursor);
  virtual wchar_t GetShortcut() const;
  virtual void SetShortcut(wchar_t ch);
  virtual bool IsContextMenuUsed() const;
  virtual void SetContextMenuUsed(bool used);
  virtual const CUIString& GetUserData() const;
  virtual void SetUserData(const wchar_t* text);
  virtual UINT_PTR GetTag() const;
  virtual void SetTag(UINT_PTR tag);

  virtual bool IsVisible() const;
  virtual void SetVisible(bool visible = true);
  virtual void SetInheritedVisible(bool visible = true);
  virtual bool IsEnabled() const;
  virtual void SetEnabled(bool enable = true);
  virtual bool IsMouseEnabled() const;
  virtual void SetMouseEnabled(bool enable = true);
  virtual bool IsKeyboardEnabled() const;
  virtual void SetKeyboardEnabled(bool enable = true);
  virtual bool IsFocused() const;
  virtual void SetFocus();
  virtual bool IsFloat() const;
  virtual void SetFloat(bool is_float = true);

  virtual CControlUI* FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags);

  virtual void Init();
  virtual void DoInit();
  virtual void Event(TUIEvent& event);
  virtual void DoEvent(TUIEvent& event);

  virtual void SetAttribute(const wchar_t* name, const wchar_t* value);
  virtual SIZE EstimateSize(SIZE available);

  // False, painting nothing, when this control is the stop control.
  virtual bool Paint(HDC dc, const RECT& paint, CControlUI* stop = nullptr);
  virtual bool DoPaint(HDC dc, const RECT& paint, CControlUI* stop);
  virtual void PaintBkColor(HDC dc);
  virtual void PaintBkImage(HDC dc);
  virtual void PaintStatusImage(HDC dc);
  virtual void PaintForeColor(HDC dc);
  virtual void PaintForeImage(HDC dc);
  virtual void PaintText(HDC dc);
  virtual void PaintBorder(HDC dc);
  virtual void DoPostPaint(HDC dc, const RECT& paint);

  // A child's own size, limits, padding, visibility or floating changed: the child asks this, its
  // parent, through NeedParentUpdate. The default lays this control out again and repaints it; a
  // container that keeps what it measured of each child measures only that child again.
  virtual void NeedChildUpdate(CControlUI* child);
  // --- end of the virtual operations ---

  // Applies name="value" pairs (one blank or comma between pairs), or the manager's style of that
  // name. Stops silently at the first malformed pair; pairs before it stay applied.
  void ApplyAttributeList(const wchar_t* list);

  // Attributes no control understands. The first value of a name stays.
  void AddCustomAttribute(const wchar_t* name, const wchar_t* value);
  // The stored value, or null.
  const wchar_t* GetCustomAttribute(const wchar_t* name) const;
  void RemoveAllCustomAttribute();

  CUIString GetVirtualWnd() const;
  void SetVirtualWnd(const wchar_t* name);
  bool IsUpdateNeeded() const;

  DWORD GetBkColor() const;
  void SetBkColor(DWORD color);
  DWORD GetBkColor2() const;
  void SetBkColor2(DWORD color);
  DWORD GetBkColor3() const;
  void SetBkColor3(DWORD color);
  DWORD GetForeColor() const;
  void SetForeColor(DWORD color);
  DWORD GetBorderColor() const;
  void SetBorderColor(DWORD color);
  DWORD GetFocusBorderColor() const;
  void SetFocusBorderColor(DWORD color);
  bool IsColorHSL() const;
  void SetColorHSL(bool color_hsl);
  const wchar_t* GetGradient() const;
  void SetGradient(const wchar_t* gradient);
  const wchar_t* GetBkImage() const;
  void SetBkImage(const wchar_t* image);
  const wchar_t* GetForeImage() const;
  void SetForeImage(const wchar_t* image);

  int GetBorderSize() const;
  void SetBorderSize(int size);
  // The per-side widths: left, top, right, bottom.
  RECT GetBorderRect() const;
  void SetBorderSize(RECT sizes);
  void SetLeftBorderSize(int size);
  void SetTopBorderSize(int size);
  void SetRightBorderSize(int size);
  void SetBottomBorderSize(int size);
  int GetBorderStyle() const;
  void SetBorderStyle(int style);
  SIZE GetBorderRound() const;
  void SetBorderRound(SIZE round);

  // Draws an image description into the item rectangle, clipped to the paint rectangle.
  bool DrawImage(HDC dc, const wchar_t* image, const wchar_t* modify = nullptr);
  // The colour through the manager's hue, saturation and lightness when colour HSL is on.
  DWORD GetAdjustColor(DWORD color) const;

  // The one repaint path: the item rectangle, clipped by every ancestor.
  void Invalidate();
  // The one re-layout path: this control is laid out again at the next paint.
  void NeedUpdate();
  // For geometry changes: the parent lays out its children again, told which child changed.
  void NeedParentUpdate();

  // The intersection of the current paint request with the item rectangle; derived painting steps
  // use it as the clip area of the pass.
  const RECT& GetPaintRect() const { return paint_rect_; }

 public:
  CDelegateList OnInit;
  CDelegateList OnDestroy;
  CDelegateList OnSize;
  CDelegateList OnEvent;
  CDelegateList OnNotify;

 protected:
  // The stored (unscaled) value scaled by the attached manager's DPI; unchanged without one.
  int ScaleValue(int value) const;
  RECT ScaleValue(const RECT& rect) const;
  SIZE ScaleValue(SIZE size) const;
  // Moves the item rectangle; a parent learns of the move through its children_version_.
  void SetItemRect(const RECT& rect);

  CPaintManagerUI* manager_ = nullptr;
  CControlUI* parent_ = nullptr;
  CUIString name_;
  bool update_needed_ = true;
  bool menu_used_ = false;
  RECT item_rect_{0, 0, 0, 0};
  // Changes whenever a direct child moves or the list of children changes, so that what a
  // container derives from its children's places can be checked against it.
  unsigned children_version_ = 0;
  RECT padding_{0, 0, 0, 0};
  SIZE fixed_xy_{0, 0};
  int fixed_width_ = 0;
  int fixed_height_ = 0;
  int min_width_ = 0;
  int min_height_ = 0;
  int max_width_ = 9999;
  int max_height_ = 9999;
  bool visible_ = true;
  bool inherited_visible_ = true;
  bool enabled_ = true;
  bool mouse_enabled_ = true;
  bool keyboard_enabled_ = true;
  bool focused_ = false;
  bool float_ = false;
  TFloatPercent float_percent_;
  UINT float_align_ = 0;
  bool in_size_event_ = false;
  bool rich_event_ = false;
  bool drag_enabled_ = false;
  bool drop_enabled_ = false;
  bool resource_text_ = false;
  CUIString text_;
  wchar_t shortcut_ = 0;
  UINT_PTR tag_ = 0;
  DWORD bk_color_ = 0;
  DWORD bk_color2_ = 0;
  DWORD bk_color3_ = 0;
  DWORD fore_color_ = 0;
  DWORD border_color_ = 0;
  DWORD focus_border_color_ = 0;
  bool color_hsl_ = false;
  int border_size_ = 0;
  int border_style_ = PS_SOLID;
  int tooltip_width_ = 300;
  WORD cursor_ = 0;
  SIZE border_round_{0, 0};
  RECT paint_rect_{0, 0, 0, 0};
  RECT border_rect_{0, 0, 0, 0};
  // name -> owned heap CUIString*. Made by the first custom attribute: most controls never get one,
  // and a tree of thousands of controls should not pay for an empty table in each.
  CUIStringMap* custom_attributes_ = nullptr;

 private:
  // Texts that few controls ever set, made by the first non-empty one; until then they read empty.
  // The background and fore images count among them: skins give them to a few panels and
  // decorations, never to the thousands of rows and row parts a long list or tree is made of.
  struct TRareTexts {
    CUIString virtual_wnd;
    CUIString tooltip;
    CUIString user_data;
    CUIString gradient;
    CUIString bk_image;
    CUIString fore_image;
  };
  CUITextBlock<TRareTexts> rare_texts_;
};

}  // namespace Vellum
