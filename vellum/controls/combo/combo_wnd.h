#pragma once

// The drop-down window of a combo: a borderless pop-up with a paint manager of its own whose root
// is a scrolling vertical layout. The rows it lists are the combo's: the combo owns them, the
// layout only borrows them (its auto-destroy is off) and takes no container calls of its own:
// rows are added, removed and moved through the combo, which the layout follows. Whatever closes the window (Return, Escape,
// a click on a row, the focus leaving, the owner window going away), its final message hands the
// rows back to the combo's manager before the layout is freed. The object deletes itself in that
// final message; the combo detaches it first when the combo goes while the window is open.

#include <windows.h>

#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/window/window_wnd.h"

namespace Vellum {

class CComboUI;
class CVerticalLayoutUI;

class CComboWnd final : public CWindowWnd, public INotifyUI {
 public:
  CComboWnd() = default;

  // Creates and shows the window under the combo (or above it when there is no room below).
  // False when the window cannot be created; the object has deleted itself then.
  bool Init(CComboUI* owner);

  const wchar_t* GetWindowClassName() const override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnFinalMessage(HWND hwnd) override;
  void Notify(TUINotification& msg) override;

  // Scrolls the layout so that the row is in view; nothing while the combo has no selection.
  void EnsureVisible(int index);
  CPaintManagerUI& GetManager() { return manager_; }
  CVerticalLayoutUI* GetLayout() const;

 private:
  friend class CComboUI;
  class CRowsLayoutUI;
  ~CComboWnd() = default;

  // Gives the rows back to the combo's manager and parent; done at most once.
  void ReturnRows();
  // Rows the combo gains, loses or moves while the window is open join, leave or move in its
  // layout at once, so that the layout never holds a row the combo no longer has.
  void JoinRow(CControlUI* row, int index);
  void ReturnRow(CControlUI* row);
  void MoveRow(CControlUI* row, int index);
  // From now on the window does not touch the combo.
  void Detach() { owner_ = nullptr; }
  void OnCreate();
  bool IsRowAt(POINT point) const;

  CPaintManagerUI manager_;
  CComboUI* owner_ = nullptr;
  CRowsLayoutUI* layout_ = nullptr;
  int old_sel_ = -1;
  bool pressed_on_row_ = false;
  bool rows_borrowed_ = false;
};

}  // namespace Vellum
