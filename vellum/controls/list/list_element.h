#pragma once

// The rows of a list or a combo's drop-down. A row keeps its own selected and hot flags in step with
// its owner's selection and paints itself from the owner's display settings, so the owner decides
// how rows look and which are selected. Rows are owned by the container that holds them (a list's
// body, a drop-down's layout); the owner pointer is not owned.
//
// CListElementUI is the plain base (abstract: it draws no text), CListLabelElementUI one text,
// CListTextElementUI one text per column with links, CListContainerElementUI a row whose children
// are its cells.

#include <windows.h>

#include <memory>
#include <vector>

#include "vellum/controls/list/list_interfaces.h"
#include "vellum/controls/list/list_row_placement.h"
#include "vellum/core/layout/horizontal_layout.h"
#include "vellum/core/manager/control.h"

namespace Vellum {

class CListElementUI : public CControlUI, public IListItemUI {
 public:
  CListElementUI();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  UINT GetControlFlags() const override;
  void SetEnabled(bool enable = true) override;
  void SetVisible(bool visible = true) override;
  bool Activate() override;
  // Out of sight in a long list, the rectangle is computed when read.
  const RECT& GetPos() const override;
  void DoEvent(TUIEvent& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;

  int GetIndex() const override;
  void SetIndex(int index) override;
  IListOwnerUI* GetOwner() override;
  void SetOwner(CControlUI* owner) override;
  bool IsSelected() const override;
  bool Select(bool select = true) override;
  bool SelectMulti(bool select = true) override;
  bool IsExpanded() const override;
  bool Expand(bool expand = true) override;

  virtual void DrawItemBk(HDC dc, const RECT& rect);
  // UISTATE_HOT while the mouse is over the row.
  UINT GetButtonState() const { return button_state_; }

 protected:
  // Repaints only what of the row its containers show.
  void InvalidateRow();
  // The colour of the row's text for its state.
  DWORD RowTextColor(const TListDisplayInfo& info) const;

  int index_ = -1;
  bool selected_ = false;
  UINT button_state_ = 0;
  IListOwnerUI* owner_ = nullptr;

 private:
  friend TRowPlacement* RowPlacementOf(CControlUI* control);
  friend bool MeasureRowDirectly(CControlUI* control, const CPaintManagerUI* unscaled,
                                 TRowMeasure* out);
  TRowPlacement placement_;
};

class CListLabelElementUI : public CListElementUI {
 public:
  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  void DoEvent(TUIEvent& event) override;
  SIZE EstimateSize(SIZE available) override;
  bool DoPaint(HDC dc, const RECT& paint, CControlUI* stop) override;
  void DrawItemText(HDC dc, const RECT& rect) override;
};

class CListTextElementUI : public CListLabelElementUI {
 public:
  static constexpr int kMaxLinks = 8;

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  UINT GetControlFlags() const override;
  void SetOwner(CControlUI* owner) override;
  void DoEvent(TUIEvent& event) override;
  SIZE EstimateSize(SIZE available) override;
  void DrawItemText(HDC dc, const RECT& rect) override;

  using CListLabelElementUI::GetText;
  using CListLabelElementUI::SetText;
  // The stored text of a column, null when none was set.
  const wchar_t* GetText(int column) const;
  void SetText(int column, const wchar_t* text);
  // Per-column text colours; columns without one use the list's text colour.
  void SetTextColor(int column, DWORD color);
  int GetLinkCount() const { return link_count_; }
  // The index is not tested; a row that never drew links answers an empty rectangle and text.
  const RECT& GetLinkRect(int link) const;
  const CUIString& GetLinkText(int link) const;

 private:
  int LinkAt(POINT point) const;

  // Only rows drawn with tagged text find links, so the table is made by the first such drawing.
  struct TLinks {
    RECT rects[kMaxLinks] = {};
    CUIString texts[kMaxLinks];
  };

  int link_count_ = 0;
  std::unique_ptr<TLinks> links_;
  int hot_link_ = -1;
  IListUI* list_owner_ = nullptr;
  std::vector<CUIString> column_texts_;
  std::vector<bool> column_text_set_;
  std::vector<DWORD> column_colors_;
  // Resource texts are looked up on every call; the answer must outlive GetText's caller.
  mutable CUIString resource_text_scratch_;
};

class CListContainerElementUI : public CHorizontalLayoutUI, public IListItemUI {
 public:
  CListContainerElementUI();

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  UINT GetControlFlags() const override;
  void SetEnabled(bool enable = true) override;
  void SetVisible(bool visible = true) override;
  bool Activate() override;
  const RECT& GetPos() const override;
  void SetPos(RECT rect, bool invalidate = true) override;
  void DoEvent(TUIEvent& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  bool DoPaint(HDC dc, const RECT& paint, CControlUI* stop) override;

  int GetIndex() const override;
  void SetIndex(int index) override;
  IListOwnerUI* GetOwner() override;
  void SetOwner(CControlUI* owner) override;
  bool IsSelected() const override;
  bool Select(bool select = true) override;
  bool SelectMulti(bool select = true) override;
  bool IsExpanded() const override;
  bool Expand(bool expand = true) override;
  void DrawItemText(HDC dc, const RECT& rect) override;

  virtual void DrawItemBk(HDC dc, const RECT& rect);
  UINT GetButtonState() const { return button_state_; }

 private:
  void InvalidateRow();

  friend TRowPlacement* RowPlacementOf(CControlUI* control);
  friend bool MeasureRowDirectly(CControlUI* control, const CPaintManagerUI* unscaled,
                                 TRowMeasure* out);

  int index_ = -1;
  bool selected_ = false;
  UINT button_state_ = 0;
  IListOwnerUI* owner_ = nullptr;
  TRowPlacement placement_{nullptr, true};
};

}  // namespace Vellum
