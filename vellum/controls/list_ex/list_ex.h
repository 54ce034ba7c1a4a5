#pragma once

// A list whose cells can be changed in place. Its header items (CListContainerHeaderItemUI) say
// which columns are edited in a floating rich edit, chosen in a floating combo box, or carry a
// check box; its rows (CListTextExtElementUI) keep a text per column and a check of their own.
// Checking the header box checks every row, and checking rows by hand keeps the header box in
// step. The list makes both editors itself on first use and owns them as children; the combo
// callback belongs to the application. The list hears the notifications of its header items, rows
// and editors through its manager, as a notifier it registers itself.

#include <windows.h>

#include "vellum/controls/list/list.h"
#include "vellum/core/base/ui_events.h"

namespace Vellum {

class CComboBoxUI;
class CListContainerHeaderItemUI;
class CRichEditUI;

// Fills the combo of a combo cell with the choices for that cell; owned by the application.
class IListComboCallback {
 public:
  virtual void FillComboItems(CComboBoxUI* combo, int row, int column) = 0;

 protected:
  ~IListComboCallback() = default;
};

class CListExUI : public CListUI, public INotifyUI {
 public:
  CListExUI();
  ~CListExUI() override;

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
  void DoEvent(TUIEvent& event) override;

  // Rows that move or go end the cell being edited first, so its text lands in its own row.
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control) override;
  bool RemoveAt(int index) override;
  void RemoveAll() override;
  bool SetItemIndex(CControlUI* control, int index) override;

  // The column flags of the header item at that column (false where there is none); the editors
  // are made on first use, null only when they cannot be made.
  bool IsColumnEditable(int column) override;
  virtual CRichEditUI* GetEditUI();
  virtual bool IsColumnComboEnabled(int column);
  virtual CComboBoxUI* GetComboBoxUI();
  virtual bool IsColumnCheckable(int column);
  virtual IListComboCallback* GetComboCallback() const;
  virtual void SetComboCallback(IListComboCallback* callback);
  // The list family asks by these names; they answer what the three above answer.
  CRichEditUI* GetEditControl() override;
  bool IsColumnComboable(int column) override;
  CComboBoxUI* GetComboControl() override;

  // A row offers the cell clicked in a focused list: an editable column opens the edit over it, a
  // combo column the combo, any other column (or -1) closes the editors. rect is in the list's
  // coordinates.
  void OfferCell(int row, int column, const RECT& rect, const wchar_t* text);
  // The cell being edited, -1 each when none.
  int GetEditRow() const { return edit_row_; }
  int GetEditColumn() const { return edit_column_; }

  void Notify(TUINotification& msg) override;

 private:
  enum class ECellEditor { kNone, kEdit, kCombo };

  CListContainerHeaderItemUI* HeaderItemAt(int column) const;
  // Stores the edit's text into the cell being edited (when the edit holds it) and forgets the
  // cell.
  void EndCellEdit();
  void ForgetCell();
  void HideEdit();
  void HideCombo();
  // A control whose position is fixed in the list's coordinates, in device pixels.
  void PlaceFloating(CControlUI* control, const RECT& rect);
  bool IsOwnScroll(CControlUI* sender) const;

  CRichEditUI* edit_ = nullptr;
  CComboBoxUI* combo_ = nullptr;
  int edit_row_ = -1;
  int edit_column_ = -1;
  IListComboCallback* combo_callback_ = nullptr;
  ECellEditor cell_editor_ = ECellEditor::kNone;
  // Selections the callback makes while filling the combo are not the user's choice.
  bool filling_combo_ = false;
  CPaintManagerUI* notify_manager_ = nullptr;
};

}  // namespace Vellum
