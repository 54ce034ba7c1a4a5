#pragma once

// A control that owns, places, clips and scrolls child controls. Every layout derives from it.
// By default each visible child gets the whole content area (the item rectangle less the inset
// and the visible scroll bars); the layouts replace that rule with their own in SetPos.

#include <windows.h>

#include "vellum/core/manager/control.h"
#include "vellum/core/base/ui_ptr_array.h"
#include "vellum/core/base/ui_string.h"

namespace Vellum {

class CScrollBarUI;

// Access to the child list for code that holds only a CControlUI* (GetInterface("IContainer")).
class IContainerUI {
 public:
  // Null outside 0..count-1.
  virtual CControlUI* GetItemAt(int index) const = 0;
  // -1 when absent.
  virtual int GetItemIndex(CControlUI* control) const = 0;
  virtual bool SetItemIndex(CControlUI* control, int index) = 0;
  virtual int GetCount() const = 0;
  virtual bool Add(CControlUI* control) = 0;
  virtual bool AddAt(CControlUI* control, int index) = 0;
  virtual bool Remove(CControlUI* control) = 0;
  virtual bool RemoveAt(int index) = 0;
  virtual void RemoveAll() = 0;

 protected:
  ~IContainerUI() = default;
};

// Horizontal alignment of the group of children (child align).
constexpr UINT UICHILD_ALIGN_LEFT = 0;
constexpr UINT UICHILD_ALIGN_CENTER = 1;
constexpr UINT UICHILD_ALIGN_RIGHT = 2;
// Vertical alignment of the group of children (child valign).
constexpr UINT UICHILD_VALIGN_TOP = 0;
constexpr UINT UICHILD_VALIGN_VCENTER = 4;
constexpr UINT UICHILD_VALIGN_BOTTOM = 8;

class CContainerUI : public CControlUI, public IContainerUI {
 public:
  CContainerUI();
  ~CContainerUI() override;

  static CControlUI* CreateControl();

  // --- IContainerUI ---
  CControlUI* GetItemAt(int index) const override;
  int GetItemIndex(CControlUI* control) const override;
  bool SetItemIndex(CControlUI* control, int index) override;
  int GetCount() const override;
  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control) override;
  bool RemoveAt(int index) override;
  void RemoveAll() override;

  // --- CControlUI overrides ---
  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
  RECT GetClientPos() const override;
  void SetPos(RECT rect, bool invalidate = true) override;
  void Move(SIZE offset, bool invalidate = true) override;
  void SetVisible(bool visible = true) override;
  void SetInheritedVisible(bool visible = true) override;
  void SetEnabled(bool enable = true) override;
  void SetMouseEnabled(bool enable = true) override;
  CControlUI* FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags) override;
  void DoEvent(TUIEvent& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  bool DoPaint(HDC dc, const RECT& paint, CControlUI* stop) override;

  // --- virtual operations added here, in their fixed order ---
  // Scaled by the attached manager's DPI; the setters store the values as given.
  virtual RECT GetInset() const;
  virtual void SetInset(RECT inset);
  virtual int GetChildPadding() const;
  virtual void SetChildPadding(int padding);
  virtual UINT GetChildAlign() const;
  virtual void SetChildAlign(UINT align);
  virtual UINT GetChildVAlign() const;
  virtual void SetChildVAlign(UINT align);
  virtual bool IsAutoDestroy() const;
  virtual void SetAutoDestroy(bool auto_destroy);
  virtual bool IsDelayedDestroy() const;
  virtual void SetDelayedDestroy(bool delayed);
  virtual bool IsMouseChildEnabled() const;
  virtual void SetMouseChildEnabled(bool enable = true);

  // The index of the nearest visible, enabled list item from index on; -1 when none.
  virtual int FindSelectable(int index, bool forward = true) const;

  // cx from the horizontal bar, cy from the vertical bar; a missing or hidden bar gives 0.
  virtual SIZE GetScrollPos() const;
  virtual SIZE GetScrollRange() const;
  virtual void SetScrollPos(SIZE pos, bool notify = true);
  // Stored only when greater than 0; 0 (the default) means automatic.
  virtual void SetScrollStepSize(int size);
  virtual int GetScrollStepSize() const;
  virtual void LineUp();
  virtual void LineDown();
  virtual void PageUp();
  virtual void PageDown();
  virtual void HomeUp();
  virtual void EndDown();
  virtual void LineLeft();
  virtual void LineRight();
  virtual void PageLeft();
  virtual void PageRight();
  virtual void HomeLeft();
  virtual void EndRight();
  virtual void EnableScrollBar(bool vertical = true, bool horizontal = false);
  virtual CScrollBarUI* GetVerticalScrollBar() const;
  virtual CScrollBarUI* GetHorizontalScrollBar() const;

  // Places the floating child at index relative to this container's item rectangle.
  virtual void SetFloatPos(int index);
  // Shows, hides and sizes the bars for the space the children need in rect (the content area).
  virtual void ProcessScrollBar(RECT rect, int cx_required, int cy_required);
  // --- end of the virtual operations ---

  bool IsFixedScrollbar() const;
  void SetFixedScrollbar(bool fixed);
  void SetShowScrollbar(bool show);

 protected:
  // The item rectangle less the scaled inset.
  RECT GetInsetRect() const;
  // The item rectangle less the scaled inset and the thickness of the visible bars.
  RECT GetContentRect() const;
  // The line step of the vertical or horizontal direction.
  int VerticalLineStep() const;
  int HorizontalLineStep() const;
  // Moves the scroll position by the given distances through SetScrollPos.
  void ScrollBy(LONG dx, LONG dy);
  void DestroyChild(CControlUI* control);
  // The style is applied at once and not kept: the bar it styles keeps what it was given.
  void ApplyScrollBarStyle(CScrollBarUI* bar, const wchar_t* style);
  // The children that can meet paint, as the index range [first, end): all of them, or, while their
  // places run in rows (tops and bottoms never decrease in list order, as the box and tile layouts
  // place them), only those whose rows cross paint's band, found by halving. A repaint of one
  // control then costs the same however many children there are.
  void GetPaintRun(const RECT& paint, int* first, int* end);

  CUIPtrArray items_;
  bool children_in_rows_ = false;
  unsigned rows_version_ = ~0u;  // children_version_ when children_in_rows_ was found
  RECT inset_{0, 0, 0, 0};
  int child_padding_ = 0;
  UINT child_align_ = UICHILD_ALIGN_LEFT;
  UINT child_valign_ = UICHILD_VALIGN_TOP;
  bool auto_destroy_ = true;
  bool delayed_destroy_ = true;
  bool mouse_child_enabled_ = true;
  int scroll_step_size_ = 0;
  bool fixed_scrollbar_ = false;
  bool show_scrollbar_ = true;
  CScrollBarUI* vertical_scroll_bar_ = nullptr;
  CScrollBarUI* horizontal_scroll_bar_ = nullptr;
  // How deep this container's scroll-bar processing is nested in its own re-placement.
  int scroll_bar_depth_ = 0;
};

}  // namespace Vellum
