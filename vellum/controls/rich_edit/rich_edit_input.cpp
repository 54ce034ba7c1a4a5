// Events from the manager and raw window messages: the engine takes the mouse and the keyboard
// from the raw messages (through the message filter), the control keeps focus, timers and cursor.

#include "vellum/controls/rich_edit/rich_edit.h"

#include <imm.h>
#include <windowsx.h>

#include "vellum/controls/rich_edit/text_host.h"
#include "vellum/core/manager/paint_manager.h"

namespace Vellum {

namespace {

bool IsRawMouseMessage(UINT message) { return message >= WM_MOUSEFIRST && message <= 0x20D; }
bool IsRawKeyMessage(UINT message) { return message >= WM_KEYFIRST && message <= 0x109; }

}  // namespace

void CRichEditUI::DoEvent(TUIEvent& event) {
  if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
    if (parent_ != nullptr) {
      parent_->DoEvent(event);
    } else {
      CControlUI::DoEvent(event);
    }
    return;
  }
  switch (event.type) {
    case UIEVENT_SETCURSOR:
      if (IsEnabled() && host_ != nullptr && manager_ != nullptr &&
          PtInRect(&host_->GetClientRect(), event.mouse_point)) {
        RECT client = host_->GetClientRect();
        host_->GetTextServices()->OnTxSetCursor(DVASPECT_CONTENT, -1, nullptr, nullptr,
                                                manager_->GetPaintDC(), nullptr, &client,
                                                event.mouse_point.x, event.mouse_point.y);
        return;
      }
      break;
    case UIEVENT_WINDOWSIZE:
      if (host_ != nullptr) host_->NeedFreshCaret();
      break;
    case UIEVENT_SETFOCUS:
      TxSendMessage(WM_SETFOCUS, 0, 0, nullptr);
      focused_ = true;
      Invalidate();
      return;
    case UIEVENT_KILLFOCUS:
      TxSendMessage(WM_KILLFOCUS, 0, 0, nullptr);
      focused_ = false;
      Invalidate();
      return;
    case UIEVENT_TIMER:
      if (event.wParam == kRichEditCaretTimerId) {
        OnCaretTimer();
      } else {
        TxSendMessage(WM_TIMER, event.wParam, event.lParam, nullptr);
      }
      return;
    case UIEVENT_SCROLLWHEEL:
      // Ctrl+wheel zooms in the engine, which gets the raw message; the plain wheel scrolls
      // through the container's bars below.
      if ((event.key_state & MK_CONTROL) != 0) return;
      break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_BUTTONUP:
    case UIEVENT_DBLCLICK:
    case UIEVENT_MOUSEMOVE:
    case UIEVENT_KEYDOWN:
    case UIEVENT_KEYUP:
    case UIEVENT_CHAR:
    case 6:
      return;
    default:
      break;
  }
  CContainerUI::DoEvent(event);
}

bool CRichEditUI::OnCaretTimer() {
  if (manager_ == nullptr || host_ == nullptr) return false;
  const bool window_focused = ::GetFocus() == manager_->GetPaintWindow();
  if (manager_->IsLayered()) {
    if (IsFocused() && host_->IsShowCaret() && window_focused) {
      caret_phase_ = !caret_phase_;
      InvalidateCaretArea();
      return true;
    }
    return false;
  }
  if (IsFocused() && window_focused) {
    host_->TxShowCaret(host_->IsShowCaret() ? FALSE : TRUE);
    return true;
  }
  return false;
}

void CRichEditUI::InvalidateCaretArea() {
  const POINT caret = host_->GetCaretPos();
  RECT area{caret.x, caret.y, caret.x + host_->GetCaretWidth(), caret.y + host_->GetCaretHeight()};
  if (!IntersectRect(&area, &area, &item_rect_)) return;
  for (CControlUI* ancestor = parent_; ancestor != nullptr; ancestor = ancestor->GetParent()) {
    if (!IntersectRect(&area, &area, &ancestor->GetPos())) return;
  }
  manager_->Invalidate(area);
}

// ---- Context menu and commands ----------------------------------------------------------------

HMENU CRichEditUI::BuildContextMenu() const {
  HMENU menu = ::CreatePopupMenu();
  if (menu == nullptr) return nullptr;
  ::AppendMenuW(menu, MF_STRING, kRichEditCommandUndo, L"撤销(&U)");
  ::AppendMenuW(menu, MF_STRING, kRichEditCommandRedo, L"重做(&R)");
  ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuW(menu, MF_STRING, kRichEditCommandCut, L"剪切(&X)");
  ::AppendMenuW(menu, MF_STRING, kRichEditCommandCopy, L"复制(&C)");
  ::AppendMenuW(menu, MF_STRING, kRichEditCommandPaste, L"粘帖(&V)");
  ::AppendMenuW(menu, MF_STRING, kRichEditCommandClear, L"清空(&L)");
  ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuW(menu, MF_STRING, kRichEditCommandSelectAll, L"全选(&A)");

  const bool empty_selection = GetSelectionType() == SEL_EMPTY;
  const bool read_only = read_only_;
  auto enable = [menu](UINT id, bool on) {
    ::EnableMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
  };
  enable(kRichEditCommandUndo, CanUndo());
  enable(kRichEditCommandRedo, CanRedo());
  enable(kRichEditCommandCut, !read_only && !empty_selection);
  enable(kRichEditCommandClear, !read_only && !empty_selection);
  enable(kRichEditCommandCopy, !empty_selection);
  enable(kRichEditCommandPaste, !read_only);
  return menu;
}

bool CRichEditUI::RunCommand(UINT command) {
  switch (command) {
    case kRichEditCommandUndo: Undo(); return true;
    case kRichEditCommandCut: Cut(); return true;
    case kRichEditCommandCopy: Copy(); return true;
    case kRichEditCommandPaste: Paste(); return true;
    case kRichEditCommandClear: Clear(); return true;
    case kRichEditCommandSelectAll: SetSelAll(); return true;
    case kRichEditCommandRedo: Redo(); return true;
    default: return false;
  }
}

// ---- Raw messages -----------------------------------------------------------------------------

LRESULT CRichEditUI::MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  if (!IsVisible() || !IsEnabled() || host_ == nullptr || manager_ == nullptr) return 0;
  const bool mouse = IsRawMouseMessage(message);
  if (mouse && !IsMouseEnabled()) return 0;
  HWND window = manager_->GetPaintWindow();

  if (message == WM_IME_COMPOSITION) {
    HIMC context = ::ImmGetContext(window);
    if (context != nullptr) {
      COMPOSITIONFORM form{};
      form.dwStyle = CFS_POINT;
      form.ptCurrentPos = host_->GetCaretPos();
      ::ImmSetCompositionWindow(context, &form);
      ::ImmReleaseContext(window, context);
    }
    return 0;
  }

  // What the message is marked when the engine has taken it.
  bool mark_handled = true;
  if (message == WM_MOUSEWHEEL) {
    if ((LOWORD(wParam) & MK_CONTROL) == 0) return 0;
  } else if (mouse || message == WM_SETCURSOR) {
  } else if (IsRawKeyMessage(message)) {
    if (!IsFocused()) return 0;
  } else if (message == WM_CONTEXTMENU) {
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    POINT client = point;
    ::ScreenToClient(window, &client);
    if (!IsContextMenuUsed() || manager_->FindControl(client) != this) return 0;
    HMENU menu = BuildContextMenu();
    if (menu == nullptr) return 0;
    ::TrackPopupMenu(menu, TPM_RIGHTBUTTON, point.x, point.y, 0, window, nullptr);
    ::DestroyMenu(menu);
    handled = true;
    return 0;
  } else if (message == WM_COMMAND) {
    if (IsFocused()) RunCommand(LOWORD(wParam));
    mark_handled = false;
  } else if (message == WM_HELP) {
    mark_handled = false;
  } else {
    return 0;
  }

  if ((mouse || message == WM_SETCURSOR) && !host_->IsCaptured()) {
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (message == WM_SETCURSOR) {
      ::GetCursorPos(&point);
      ::ScreenToClient(window, &point);
      mark_handled = false;
    } else if (message == WM_MOUSEWHEEL) {
      ::ScreenToClient(window, &point);
    } else if (manager_->FindControl(point) != this) {
      return 0;
    }
    if (!PtInRect(&host_->GetClientRect(), point) || manager_->IsCaptured()) return 0;
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDOWN) {
      if (!manager_->IsNoActivate()) ::SetFocus(window);
      SetFocus();
    }
  }

  LRESULT result = 0;
  const HRESULT answer = TxSendMessage(message, wParam, lParam, &result);
  // Keys the engine leaves (Tab and the like) stay with the focused editor; system keys and
  // characters go back to the window so that its menu and Alt+F4 still work.
  const bool key = message == WM_KEYDOWN || message == WM_KEYUP;
  if (answer == S_FALSE && !key) {
    if (message == WM_CHAR || message == WM_IME_CHAR) {
      handled = true;
    } else if (mouse) {
      if (host_->IsCaptured()) handled = true;
    } else {
      return result;
    }
    return result;
  }
  if (mark_handled) handled = true;
  return result;
}

}  // namespace Vellum
