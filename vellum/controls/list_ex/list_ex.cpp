#include "vellum/controls/list_ex/list_ex.h"

#include "vellum/controls/combo/combo_box.h"
#include "vellum/controls/list/list_header.h"
#include "vellum/controls/list_ex/list_ex_element.h"
#include "vellum/controls/list_ex/list_ex_header_item.h"
#include "vellum/controls/rich_edit/rich_edit.h"
#include "vellum/core/base/dpi_scaler.h"
#include "vellum/core/base_controls/scroll_bar.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"

namespace Vellum {
namespace {

constexpr const wchar_t* kEditName = L"ListEx_Edit";
constexpr const wchar_t* kComboName = L"ListEx_Combo";
constexpr DWORD kEditBkColor = 0xFFFFFFFF;

CListTextExtElementUI* AsTextExRow(CControlUI* control) {
  return control ? static_cast<CListTextExtElementUI*>(control->GetInterface(L"ListTextExElement"))
                 : nullptr;
}

void ApplyDefaultAttributes(CPaintManagerUI* manager, CControlUI* control, const wchar_t* kind) {
  if (!manager) return;
  if (const wchar_t* attributes = manager->GetDefaultAttributeList(kind)) {
    control->ApplyAttributeList(attributes);
  }
}

}  // namespace

CListExUI::CListExUI() = default;

CListExUI::~CListExUI() = default;

CControlUI* CListExUI::CreateControl() { return new CListExUI(); }

const wchar_t* CListExUI::GetClass() const { return L"XListUI"; }

LPVOID CListExUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"ListEx") == 0) return static_cast<IListUI*>(this);
  return CListUI::GetInterface(name);
}

void CListExUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
  if (manager != notify_manager_) {
    if (notify_manager_) notify_manager_->RemoveNotifier(this);
    notify_manager_ = manager;
    if (manager) manager->AddNotifier(this);
  }
  CListUI::SetManager(manager, parent, init);
}

// ---- Column flags
// -----------------------------------------------------------------------------------

CListContainerHeaderItemUI* CListExUI::HeaderItemAt(int column) const {
  CListHeaderUI* header = GetHeader();
  CControlUI* item = header && column >= 0 ? header->GetItemAt(column) : nullptr;
  return item ? static_cast<CListContainerHeaderItemUI*>(
                    item->GetInterface(L"ListContainerHeaderItem"))
              : nullptr;
}

bool CListExUI::IsColumnEditable(int column) {
  CListContainerHeaderItemUI* item = HeaderItemAt(column);
  return item && item->IsColumnEditable();
}

bool CListExUI::IsColumnComboEnabled(int column) {
  CListContainerHeaderItemUI* item = HeaderItemAt(column);
  return item && item->IsColumnComboable();
}

bool CListExUI::IsColumnComboable(int column) { return IsColumnComboEnabled(column); }
CRichEditUI* CListExUI::GetEditControl() { return GetEditUI(); }
CComboBoxUI* CListExUI::GetComboControl() { return GetComboBoxUI(); }

bool CListExUI::IsColumnCheckable(int column) {
  CListContainerHeaderItemUI* item = HeaderItemAt(column);
  return item && item->IsColumnCheckable();
}

IListComboCallback* CListExUI::GetComboCallback() const { return combo_callback_; }
void CListExUI::SetComboCallback(IListComboCallback* callback) { combo_callback_ = callback; }

// ---- Editors
// ----------------------------------------------------------------------------------------

CRichEditUI* CListExUI::GetEditUI() {
  if (edit_) return edit_;
  edit_ = new CRichEditUI();
  edit_->SetName(kEditName);
  ApplyDefaultAttributes(manager_, edit_, L"RichEdit");
  edit_->SetBkColor(kEditBkColor);
  // Style attributes take effect when the edit starts, so they go in before it joins the list.
  edit_->SetRich(false);
  edit_->SetWinStyle(edit_->GetWinStyle() & ~static_cast<LONG>(ES_MULTILINE));
  edit_->SetWantReturn(true);
  edit_->SetFloat(true);
  edit_->SetAttribute(L"autohscroll", L"true");
  edit_->SetVisible(false);
  Add(edit_);
  if (combo_ && combo_->IsVisible()) HideCombo();
  return edit_;
}

CComboBoxUI* CListExUI::GetComboBoxUI() {
  if (combo_) return combo_;
  combo_ = new CComboBoxUI();
  combo_->SetName(kComboName);
  ApplyDefaultAttributes(manager_, combo_, L"Combo");
  // Placed over a cell like the edit; laid out among the list's parts it would stack under them.
  combo_->SetFloat(true);
  combo_->SetVisible(false);
  Add(combo_);
  if (edit_) HideEdit();
  return combo_;
}

void CListExUI::HideEdit() {
  if (!edit_) return;
  edit_->SetPos(RECT{0, 0, 0, 0}, false);
  // A focused edit loses the focus here, and its "killfocus" stores a cell still being edited.
  edit_->SetVisible(false);
}

void CListExUI::HideCombo() {
  if (!combo_) return;
  // A visible combo that is only moved would be laid out over the cell again.
  combo_->SetPos(RECT{0, 0, 0, 0}, false);
  combo_->SetVisible(false);
}

void CListExUI::PlaceFloating(CControlUI* control, const RECT& rect) {
  // Fixed geometry is kept as written for 96 DPI; the cell is in device pixels.
  CDpiScaler* scaler = manager_ ? manager_->GetDpiScaler() : nullptr;
  auto unscale = [scaler](int value) { return scaler ? scaler->Unscale(value) : value; };
  control->SetFixedXY(SIZE{unscale(rect.left), unscale(rect.top)});
  control->SetFixedWidth(unscale(rect.right - rect.left));
  control->SetFixedHeight(unscale(rect.bottom - rect.top));
  control->SetVisible(true);
  // Placed now where the list's next layout puts it too, so an open drop-down is not closed by a
  // one-pixel move when the scale rounds.
  const SIZE xy = control->GetFixedXY();
  const RECT pos{item_rect_.left + xy.cx, item_rect_.top + xy.cy,
                 item_rect_.left + xy.cx + control->GetFixedWidth(),
                 item_rect_.top + xy.cy + control->GetFixedHeight()};
  control->SetPos(pos, true);
}

void CListExUI::ForgetCell() {
  edit_row_ = -1;
  edit_column_ = -1;
  cell_editor_ = ECellEditor::kNone;
}

void CListExUI::EndCellEdit() {
  if (cell_editor_ == ECellEditor::kEdit && edit_) {
    const int row = edit_row_;
    const int column = edit_column_;
    const CUIString text = edit_->GetText();
    ForgetCell();
    if (CListTextExtElementUI* item = AsTextExRow(GetItemAt(row)))
      item->SetText(column, text.GetData());
    HideEdit();
  } else if (cell_editor_ == ECellEditor::kCombo) {
    ForgetCell();
    HideCombo();
  }
}

void CListExUI::OfferCell(int row, int column, const RECT& rect, const wchar_t* text) {
  // A cell still open in the edit keeps its text before the edit takes another one.
  EndCellEdit();
  if (row >= 0 && column >= 0 && IsColumnEditable(column) && GetEditUI()) {
    edit_row_ = row;
    edit_column_ = column;
    cell_editor_ = ECellEditor::kEdit;
    PlaceFloating(edit_, rect);
    // The text is centred by padding: the edit is a single line as tall as the cell.
    int text_height = 0;
    if (manager_) {
      HDC dc = manager_->GetPaintDC();
      HDC screen = dc ? nullptr : ::GetDC(nullptr);
      RECT measure{0, 0, 9999, 9999};
      CRenderUI::DrawText(dc ? dc : screen, manager_, measure, L"TTT", 0, GetListInfo()->font,
                          DT_CALCRECT | DT_SINGLELINE);
      if (screen) ::ReleaseDC(nullptr, screen);
      text_height = measure.bottom - measure.top;
    }
    CDpiScaler* scaler = manager_ ? manager_->GetDpiScaler() : nullptr;
    int top = (rect.bottom - rect.top - text_height) / 2;
    if (scaler) top = scaler->Unscale(top);
    edit_->SetTextPadding(RECT{2, top, 2, 0});
    edit_->SetText(text);
    edit_->SetFocus();
    return;
  }
  if (row >= 0 && column >= 0 && IsColumnComboEnabled(column) && GetComboBoxUI()) {
    combo_->RemoveAll();
    edit_row_ = row;
    edit_column_ = column;
    cell_editor_ = ECellEditor::kCombo;
    combo_->SetText(text);
    if (combo_callback_) {
      filling_combo_ = true;
      combo_callback_->FillComboItems(combo_, row, column);
      filling_combo_ = false;
    }
    PlaceFloating(combo_, rect);
    return;
  }
  HideEdit();
  HideCombo();
}

// ---- Rows that move
// ---------------------------------------------------------------------------------

bool CListExUI::AddAt(CControlUI* control, int index) {
  EndCellEdit();
  return CListUI::AddAt(control, index);
}

bool CListExUI::Remove(CControlUI* control) {
  EndCellEdit();
  return CListUI::Remove(control);
}

bool CListExUI::RemoveAt(int index) {
  EndCellEdit();
  return CListUI::RemoveAt(index);
}

void CListExUI::RemoveAll() {
  EndCellEdit();
  CListUI::RemoveAll();
}

bool CListExUI::SetItemIndex(CControlUI* control, int index) {
  EndCellEdit();
  return CListUI::SetItemIndex(control, index);
}

// ---- Events and notifications
// -----------------------------------------------------------------------

void CListExUI::DoEvent(TUIEvent& event) {
  if (event.type == UIEVENT_BUTTONDOWN || event.type == UIEVENT_SCROLLWHEEL) {
    HideEdit();
    HideCombo();
  }
  CListUI::DoEvent(event);
}

bool CListExUI::IsOwnScroll(CControlUI* sender) const {
  // A scroll bar hangs off its container as its owner, not as a child.
  if (auto* bar = static_cast<CScrollBarUI*>(sender->GetInterface(L"ScrollBar")))
    sender = bar->GetOwner();
  for (CControlUI* control = sender; control; control = control->GetParent()) {
    if (control == edit_ || control == combo_) return false;
    if (control == this) return true;
  }
  return false;
}

void CListExUI::Notify(TUINotification& msg) {
  CControlUI* sender = msg.sender;
  if (!sender) return;
  if (msg.type == L"listheaditemchecked") {
    CListHeaderUI* header = GetHeader();
    if (!header || header->GetItemIndex(sender) < 0) return;
    for (int i = 0; i < GetCount(); ++i) {
      if (CListTextExtElementUI* row = AsTextExRow(GetItemAt(i))) row->SetCheck(msg.lParam != 0);
    }
  } else if (msg.type == L"listitemchecked") {
    if (!AsTextExRow(sender) || GetItemIndex(sender) < 0) return;
    CListContainerHeaderItemUI* item = HeaderItemAt(HIWORD(msg.wParam));
    if (!item) return;
    bool all = msg.lParam != 0;
    for (int i = 0; all && i < GetCount(); ++i) {
      if (CListTextExtElementUI* row = AsTextExRow(GetItemAt(i))) all = row->GetCheck();
    }
    item->SetCheck(all);
  } else if (msg.type == L"killfocus") {
    if (sender == edit_ && cell_editor_ == ECellEditor::kEdit) EndCellEdit();
  } else if (msg.type == L"itemselect") {
    // The combo reports a choice as its selection; choices the callback makes while filling it
    // are not the user's.
    if (sender != combo_ || cell_editor_ != ECellEditor::kCombo || filling_combo_) return;
    if (static_cast<int>(msg.wParam) < 0) return;
    const int row = edit_row_;
    const int column = edit_column_;
    const CUIString text = combo_->GetText();
    ForgetCell();
    if (CListTextExtElementUI* item = AsTextExRow(GetItemAt(row)))
      item->SetText(column, text.GetData());
    HideCombo();
  } else if (msg.type == L"scroll") {
    if (cell_editor_ != ECellEditor::kNone && IsOwnScroll(sender)) {
      HideEdit();
      HideCombo();
    }
  }
}

}  // namespace Vellum
