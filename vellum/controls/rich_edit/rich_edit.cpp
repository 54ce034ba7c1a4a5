#include "vellum/controls/rich_edit/rich_edit.h"

#include <cwchar>
#include <cwctype>
#include <vector>

#include "vellum/controls/rich_edit/text_host.h"
#include "vellum/core/base_controls/scroll_bar.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/control_attribute_values.h"
#include "vellum/core/render/render_engine.h"

namespace Vellum {

namespace {

constexpr int kDefaultLimit = 0x7FFF;
constexpr DWORD kEngineEventMask = ENM_CHANGE | ENM_DROPFILES | ENM_LINK;

bool IsTrue(const wchar_t* value) { return std::wcscmp(value, L"true") == 0; }

// Leading blanks and one "#" skipped, then hexadecimal.
DWORD ParseHexColor(const wchar_t* value) {
  while (*value != L'\0' && (*value == L' ' || *value == L'\t')) ++value;
  if (*value == L'#') ++value;
  return static_cast<DWORD>(std::wcstoul(value, nullptr, 16));
}

}  // namespace

CRichEditUI::CRichEditUI() = default;

CRichEditUI::~CRichEditUI() {
  if (host_ != nullptr) {
    CTxtWinHost* host = host_;
    host_ = nullptr;
    host->Release();
  }
}

CControlUI* CRichEditUI::CreateControl() { return new CRichEditUI(); }

const wchar_t* CRichEditUI::GetClass() const { return L"RichEditUI"; }

LPVOID CRichEditUI::GetInterface(const wchar_t* name) {
  if (std::wcscmp(name, L"RichEdit") == 0) return static_cast<CRichEditUI*>(this);
  if (std::wcscmp(name, kFontRefreshInterface) == 0) return static_cast<IFontRefreshUI*>(this);
  return CContainerUI::GetInterface(name);
}

UINT CRichEditUI::GetControlFlags() const {
  return IsEnabled() ? (UIFLAG_TABSTOP | UIFLAG_SETCURSOR) : 0;
}

SIZE CRichEditUI::EstimateSize(SIZE available) { return CControlUI::EstimateSize(available); }

// ---- Initialisation ---------------------------------------------------------------------------

void CRichEditUI::DoInit() {
  if (initialised_) return;
  initialised_ = true;
  host_ = CTxtWinHost::Create(this, style_, text_.GetData());
  if (host_ == nullptr) return;
  if (transparent_) host_->SetTransparent(true);
  LRESULT ignored = 0;
  TxSendMessage(EM_SETLANGOPTIONS, 0, 0, &ignored);
  TxSendMessage(EM_SETEVENTMASK, 0, kEngineEventMask, &ignored);
  host_->SetActive(true);
  if (manager_ != nullptr) {
    manager_->AddMessageFilter(this);
    manager_->SetTimer(this, kRichEditCaretTimerId, ::GetCaretBlinkTime());
    if (!IsEnabled()) host_->SetColor(manager_->GetDefaultDisabledColor());
  }
}

void CRichEditUI::RefreshFont() {
  if (host_ != nullptr && manager_ != nullptr) host_->SetFont(manager_->GetFont(font_));
}

// ---- Properties -------------------------------------------------------------------------------

void CRichEditUI::SetEnabled(bool enable) {
  CContainerUI::SetEnabled(enable);
  if (host_ == nullptr) return;
  if (IsEnabled()) {
    host_->SetColor(text_color_);
  } else if (manager_ != nullptr) {
    host_->SetColor(manager_->GetDefaultDisabledColor());
  }
}

void CRichEditUI::SetTransparent(bool transparent) {
  transparent_ = transparent;
  if (host_ != nullptr) host_->SetTransparent(transparent);
}

void CRichEditUI::SetRich(bool rich) {
  rich_ = rich;
  if (host_ != nullptr) host_->SetRichTextFlag(rich);
}

void CRichEditUI::SetFont(int index) {
  font_ = index;
  if (host_ != nullptr && manager_ != nullptr) host_->SetFont(manager_->GetFont(font_));
}

void CRichEditUI::SetTextColor(DWORD color) {
  text_color_ = color;
  if (host_ != nullptr) host_->SetColor(color);
}

void CRichEditUI::SetLimitText(int limit) {
  limit_ = limit;
  if (host_ != nullptr) host_->LimitText(limit);
}

void CRichEditUI::SetTextPadding(RECT padding) {
  text_padding_ = padding;
  NeedUpdate();
}

void CRichEditUI::SetNormalImage(const wchar_t* image) {
  normal_image_ = image;
  Invalidate();
}

void CRichEditUI::SetHotImage(const wchar_t* image) {
  hot_image_ = image;
  Invalidate();
}

void CRichEditUI::SetFocusedImage(const wchar_t* image) {
  focused_image_ = image;
  Invalidate();
}

void CRichEditUI::SetDisabledImage(const wchar_t* image) {
  disabled_image_ = image;
  Invalidate();
}

void CRichEditUI::SetTipValue(const wchar_t* tip) {
  tip_value_ = tip;
  Invalidate();
}

void CRichEditUI::SetTipValueColor(DWORD color) {
  tip_value_color_ = color;
  Invalidate();
}

void CRichEditUI::SetTipValueAlign(UINT align) {
  tip_value_align_ = align;
  Invalidate();
}

void CRichEditUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  // Names and values compare with case: a skin's "ReadOnly" or "True" is not understood.
  auto is = [name](const wchar_t* attribute) { return std::wcscmp(name, attribute) == 0; };
  if (is(L"vscrollbar")) {
    if (IsTrue(value)) style_ |= ES_DISABLENOSCROLL | WS_VSCROLL;
  } else if (is(L"autovscroll")) {
    if (IsTrue(value)) style_ |= ES_AUTOVSCROLL;
  } else if (is(L"hscrollbar")) {
    if (IsTrue(value)) style_ |= ES_DISABLENOSCROLL | WS_HSCROLL;
  } else if (is(L"autohscroll")) {
    if (IsTrue(value)) style_ |= ES_AUTOHSCROLL;
  } else if (is(L"multiline")) {
    if (IsTrue(value)) {
      style_ |= ES_MULTILINE;
    } else {
      style_ &= ~static_cast<DWORD>(ES_MULTILINE);
    }
  } else if (is(L"wanttab")) {
    SetWantTab(IsTrue(value));
  } else if (is(L"wantreturn")) {
    SetWantReturn(IsTrue(value));
  } else if (is(L"wantctrlreturn")) {
    SetWantCtrlReturn(IsTrue(value));
  } else if (is(L"transparent")) {
    SetTransparent(IsTrue(value));
  } else if (is(L"rich")) {
    SetRich(IsTrue(value));
  } else if (is(L"readonly")) {
    if (IsTrue(value)) {
      style_ |= ES_READONLY;
      read_only_ = true;
    }
  } else if (is(L"password")) {
    if (IsTrue(value)) style_ |= ES_PASSWORD;
  } else if (is(L"align")) {
    if (std::wcsstr(value, L"left") != nullptr) {
      style_ &= ~static_cast<DWORD>(ES_CENTER | ES_RIGHT);
    }
    if (std::wcsstr(value, L"center") != nullptr) {
      style_ &= ~static_cast<DWORD>(ES_RIGHT);
      style_ |= ES_CENTER;
    }
    if (std::wcsstr(value, L"right") != nullptr) {
      style_ &= ~static_cast<DWORD>(ES_CENTER);
      style_ |= ES_RIGHT;
    }
  } else if (is(L"font")) {
    SetFont(ParseAttributeInt(value));
  } else if (is(L"textcolor")) {
    SetTextColor(ParseHexColor(value));
  } else if (is(L"maxchar")) {
    SetLimitText(ParseAttributeInt(value));
  } else if (is(L"normalimage")) {
    SetNormalImage(value);
  } else if (is(L"hotimage")) {
    SetHotImage(value);
  } else if (is(L"focusedimage")) {
    SetFocusedImage(value);
  } else if (is(L"disabledimage")) {
    SetDisabledImage(value);
  } else if (is(L"textpadding")) {
    SetTextPadding(ParseAttributeRect(value));
  } else if (is(L"tipvalue")) {
    SetTipValue(value);
  } else if (is(L"tipvaluecolor")) {
    SetTipValueColor(ParseHexColor(value));
  } else if (is(L"tipvaluealign")) {
    if (std::wcscmp(value, L"left") == 0) {
      SetTipValueAlign(DT_SINGLELINE | DT_LEFT);
    } else if (std::wcscmp(value, L"center") == 0) {
      SetTipValueAlign(DT_SINGLELINE | DT_CENTER);
    } else if (std::wcscmp(value, L"right") == 0) {
      SetTipValueAlign(DT_SINGLELINE | DT_RIGHT);
    }
  } else {
    CContainerUI::SetAttribute(name, value);
  }
}

// ---- Text and the engine's operations ---------------------------------------------------------

HRESULT CRichEditUI::TxSendMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) const {
  if (host_ == nullptr || host_->GetTextServices() == nullptr) return S_FALSE;
  LRESULT ignored = 0;
  if (result == nullptr) result = &ignored;
  if (msg == WM_KEYDOWN && wParam == VK_RETURN) {
    const bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
    if (!want_return_ || (ctrl && !want_ctrl_return_)) {
      if (manager_ != nullptr) {
        manager_->SendNotify(const_cast<CRichEditUI*>(this), L"return");
      }
      return S_OK;
    }
  }
  return host_->GetTextServices()->TxSendMessage(msg, wParam, lParam, result);
}

bool CRichEditUI::OnTxViewChanged() { return true; }

HRESULT CRichEditUI::OnTxNotify(DWORD code, void* data) {
  switch (code) {
    case EN_CHANGE:
      if (manager_ != nullptr) manager_->SendNotify(this, L"textchanged");
      break;
    case EN_MSGFILTER:
    case EN_REQUESTRESIZE:
    case EN_SELCHANGE:
    case EN_DROPFILES:
    case EN_PROTECTED:
    case EN_STOPNOUNDO:
    case EN_SAVECLIPBOARD:
    case EN_OLEOPFAILED:
    case EN_OBJECTPOSITIONS:
    case EN_LINK:
    case EN_DRAGDROPDONE: {
      if (data == nullptr || manager_ == nullptr || manager_->GetPaintWindow() == nullptr) break;
      HWND window = manager_->GetPaintWindow();
      auto* header = static_cast<NMHDR*>(data);
      header->hwndFrom = window;
      header->idFrom = static_cast<UINT_PTR>(::GetWindowLongPtrW(window, GWL_ID));
      header->code = code;
      ::SendMessageW(window, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(data));
      break;
    }
    default:
      break;
  }
  return S_OK;
}

CUIString CRichEditUI::GetText() const {
  if (host_ == nullptr) return text_;
  GETTEXTLENGTHEX length_query{GTL_DEFAULT, 1200};
  LRESULT length = 0;
  TxSendMessage(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length_query), 0, &length);
  if (length <= 0) return CUIString();
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
  GETTEXTEX text_query{};
  text_query.cb = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  text_query.flags = GT_DEFAULT;
  text_query.codepage = 1200;
  LRESULT copied = 0;
  TxSendMessage(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&text_query),
                reinterpret_cast<LPARAM>(buffer.data()), &copied);
  return CUIString(buffer.data());
}

void CRichEditUI::SetText(const wchar_t* text) {
  text_ = text != nullptr ? text : L"";
  if (host_ == nullptr) return;
  SetSel(0, -1);
  ReplaceSel(text_.GetData(), false);
}

bool CRichEditUI::CanUndo() const {
  LRESULT result = 0;
  TxSendMessage(EM_CANUNDO, 0, 0, &result);
  return host_ != nullptr && result == 1;
}

bool CRichEditUI::CanRedo() const {
  LRESULT result = 0;
  TxSendMessage(EM_CANREDO, 0, 0, &result);
  return host_ != nullptr && result == 1;
}

bool CRichEditUI::Undo() {
  LRESULT result = 0;
  TxSendMessage(EM_UNDO, 0, 0, &result);
  return host_ != nullptr && result == 1;
}

bool CRichEditUI::Redo() {
  LRESULT result = 0;
  TxSendMessage(EM_REDO, 0, 0, &result);
  return host_ != nullptr && result == 1;
}

void CRichEditUI::Cut() { TxSendMessage(WM_CUT, 0, 0, nullptr); }

void CRichEditUI::Copy() { TxSendMessage(WM_COPY, 0, 0, nullptr); }

void CRichEditUI::Paste() { TxSendMessage(WM_PASTE, 0, 0, nullptr); }

void CRichEditUI::Clear() { TxSendMessage(WM_CLEAR, 0, 0, nullptr); }

WORD CRichEditUI::GetSelectionType() const {
  LRESULT result = 0;
  TxSendMessage(EM_SELECTIONTYPE, 0, 0, &result);
  return LOWORD(result);
}

long CRichEditUI::GetTextLength(DWORD flags) const {
  GETTEXTLENGTHEX query{flags, 1200};
  LRESULT result = 0;
  TxSendMessage(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0, &result);
  return static_cast<long>(result);
}

void CRichEditUI::SetSel(long start, long end) {
  CHARRANGE range{start, end};
  TxSendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range), nullptr);
}

void CRichEditUI::SetSelAll() { SetSel(0, -1); }

void CRichEditUI::ReplaceSel(const wchar_t* text, bool can_undo) {
  TxSendMessage(EM_REPLACESEL, can_undo ? TRUE : FALSE, reinterpret_cast<LPARAM>(text), nullptr);
}

LONG CRichEditUI::GetNaturalHeight(LONG width) const {
  if (host_ == nullptr || host_->GetTextServices() == nullptr || manager_ == nullptr) return -1;
  SIZEL extent{-1, -1};
  LONG natural_width = width;
  LONG natural_height = 0;
  host_->GetTextServices()->TxGetNaturalSize(DVASPECT_CONTENT, manager_->GetPaintDC(), nullptr,
                                             nullptr, TXTNS_FITTOCONTENT, &extent, &natural_width,
                                             &natural_height);
  return natural_height;
}

// ---- Scrolling --------------------------------------------------------------------------------

void CRichEditUI::SendScroll(UINT message, WORD code) {
  TxSendMessage(message, code, 0, nullptr);
}

void CRichEditUI::LineUp() { SendScroll(WM_VSCROLL, SB_LINEUP); }

void CRichEditUI::LineDown() {
  const CScrollBarUI* bar = GetVerticalScrollBar();
  const int64_t before = bar != nullptr ? bar->GetScrollPos() : 0;
  SendScroll(WM_VSCROLL, SB_LINEDOWN);
  // In plain-text mode the engine may leave the last partial line unreachable: keep the bar at
  // the end of its range then.
  if (!rich_ && bar != nullptr && bar->GetScrollPos() <= before) {
    GetVerticalScrollBar()->SetScrollPos(bar->GetScrollRange());
  }
}

void CRichEditUI::PageUp() { SendScroll(WM_VSCROLL, SB_PAGEUP); }
void CRichEditUI::PageDown() { SendScroll(WM_VSCROLL, SB_PAGEDOWN); }
void CRichEditUI::HomeUp() { SendScroll(WM_VSCROLL, SB_TOP); }
void CRichEditUI::EndDown() { SendScroll(WM_VSCROLL, SB_BOTTOM); }
void CRichEditUI::LineLeft() { SendScroll(WM_HSCROLL, SB_LINELEFT); }
void CRichEditUI::LineRight() { SendScroll(WM_HSCROLL, SB_LINERIGHT); }
void CRichEditUI::PageLeft() { SendScroll(WM_HSCROLL, SB_PAGELEFT); }
void CRichEditUI::PageRight() { SendScroll(WM_HSCROLL, SB_PAGERIGHT); }
void CRichEditUI::HomeLeft() { SendScroll(WM_HSCROLL, SB_LEFT); }
void CRichEditUI::EndRight() { SendScroll(WM_HSCROLL, SB_RIGHT); }

void CRichEditUI::SetScrollPos(SIZE pos, bool) {
  CScrollBarUI* vertical = GetVerticalScrollBar();
  CScrollBarUI* horizontal = GetHorizontalScrollBar();
  int64_t old_y = 0;
  int64_t old_x = 0;
  if (vertical != nullptr) {
    old_y = vertical->GetScrollPos();
    vertical->SetScrollPos(pos.cy);
  }
  if (horizontal != nullptr) {
    old_x = horizontal->GetScrollPos();
    horizontal->SetScrollPos(pos.cx);
  }
  if (vertical != nullptr && vertical->GetScrollPos() != old_y) {
    const int64_t wanted = vertical->GetScrollPos();
    TxSendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(wanted)), 0, nullptr);
    // In plain-text mode the engine may pull a forward move back short of the end.
    if (!rich_ && wanted > old_y && vertical->GetScrollPos() < wanted) {
      vertical->SetScrollPos(wanted);
    }
  }
  if (horizontal != nullptr && horizontal->GetScrollPos() != old_x) {
    const int64_t wanted = horizontal->GetScrollPos();
    TxSendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(wanted)), 0, nullptr);
  }
}

// ---- Layout -----------------------------------------------------------------------------------

RECT CRichEditUI::ClientRectFor(const RECT& content) const {
  const RECT padding = ScaleValue(text_padding_);
  return RECT{content.left + padding.left, content.top + padding.top,
              content.right - padding.right, content.bottom - padding.bottom};
}

void CRichEditUI::SetPos(RECT rect, bool invalidate) {
  CControlUI::SetPos(rect, invalidate);
  const RECT inset = GetInset();
  RECT content{item_rect_.left + inset.left, item_rect_.top + inset.top,
               item_rect_.right - inset.right, item_rect_.bottom - inset.bottom};
  RECT children = content;
  CScrollBarUI* vertical = GetVerticalScrollBar();
  CScrollBarUI* horizontal = GetHorizontalScrollBar();
  if (vertical != nullptr && vertical->IsVisible()) {
    const LONG pos = static_cast<LONG>(vertical->GetScrollPos());
    children.top -= pos;
    children.bottom = children.bottom - pos + static_cast<LONG>(vertical->GetScrollRange());
    content.right -= vertical->GetFixedWidth();
    children.right -= vertical->GetFixedWidth();
  }
  if (horizontal != nullptr && horizontal->IsVisible()) {
    const LONG pos = static_cast<LONG>(horizontal->GetScrollPos());
    children.left -= pos;
    children.right = children.right - pos + static_cast<LONG>(horizontal->GetScrollRange());
    content.bottom -= horizontal->GetFixedHeight();
    children.bottom -= horizontal->GetFixedHeight();
  }

  if (host_ != nullptr) {
    const RECT client = ClientRectFor(content);
    host_->SetClientRect(client);
    if (vertical != nullptr && (!vertical->IsVisible() || vscroll_auto_shown_)) {
      const LONG width = client.right - client.left + vertical->GetFixedWidth();
      const LONG natural = GetNaturalHeight(width);
      if (natural > client.bottom - client.top) {
        vertical->SetScrollPos(0);
        vertical->SetVisible(true);
        vscroll_auto_shown_ = true;
      } else if (vscroll_auto_shown_) {
        vertical->SetVisible(false);
        vscroll_auto_shown_ = false;
      }
    }
  }

  if (vertical != nullptr && vertical->IsVisible()) {
    vertical->SetPos(RECT{content.right, content.top, content.right + vertical->GetFixedWidth(),
                          content.bottom});
  }
  if (horizontal != nullptr && horizontal->IsVisible()) {
    horizontal->SetPos(RECT{content.left, content.bottom, content.right,
                            content.bottom + horizontal->GetFixedHeight()});
  }

  for (int i = 0; i < items_.GetSize(); ++i) {
    auto* child = static_cast<CControlUI*>(items_[i]);
    if (child == nullptr || !child->IsVisible()) continue;
    if (child->IsFloat()) {
      SetFloatPos(i);
      continue;
    }
    LONG width = children.right - children.left;
    if (width < child->GetMinWidth()) width = child->GetMinWidth();
    if (width > child->GetMaxWidth()) width = child->GetMaxWidth();
    LONG height = children.bottom - children.top;
    if (height < child->GetMinHeight()) height = child->GetMinHeight();
    if (height > child->GetMaxHeight()) height = child->GetMaxHeight();
    child->SetPos(RECT{children.left, children.top, children.left + width, children.top + height},
                  false);
  }
}

void CRichEditUI::Move(SIZE offset, bool invalidate) {
  CContainerUI::Move(offset, invalidate);
  if (host_ == nullptr) return;
  // Same text area as a fresh placement: a move must not shift the text into the padding.
  host_->SetClientRect(ClientRectFor(GetContentRect()));
}

}  // namespace Vellum
