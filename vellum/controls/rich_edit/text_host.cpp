#include "vellum/controls/rich_edit/text_host.h"

#include "vellum/controls/rich_edit/rich_edit.h"
#include "vellum/core/base_controls/scroll_bar.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"

namespace Vellum {

const IID kIidTextServices = {0x8D33F740, 0xCF58, 0x11CE, {0xA8, 0x9D, 0x00, 0xAA, 0x00, 0x6C, 0xAD, 0xC5}};
const IID kIidTextHost = {0xC5BDD8D0, 0xD26E, 0x11CE, {0xA8, 0x9E, 0x00, 0xAA, 0x00, 0x6C, 0xAD, 0xC5}};

namespace {

constexpr LONG kHimetricPerInch = 2540;
constexpr LONG kTwipsPerInch = 1440;
constexpr DWORD kCharFormatMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_SIZE | CFM_COLOR |
                                  CFM_FACE | CFM_OFFSET | CFM_CHARSET;
constexpr DWORD kParaFormatMask = 0x8001003F;
constexpr LONG kDefaultLimit = 0x7FFF;

// One engine library for the whole process: it stays loaded, since a second engine library that
// once copied to the clipboard and was then unloaded takes the process down on a later copy.
PCreateTextServices CreateTextServicesProc() {
  static const PCreateTextServices proc = []() -> PCreateTextServices {
    HMODULE module = LoadLibraryW(L"Msftedit.dll");
    if (module == nullptr) return nullptr;
    return reinterpret_cast<PCreateTextServices>(
        reinterpret_cast<void*>(GetProcAddress(module, "CreateTextServices")));
  }();
  return proc;
}

// ARGB keeps red in the third byte, COLORREF in the first.
COLORREF ArgbToColorRef(DWORD argb) {
  return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

}  // namespace

CTxtWinHost::CTxtWinHost(CRichEditUI* owner, DWORD style)
    : owner_(owner),
      style_(style),
      engine_rect_{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)} {}

CTxtWinHost::~CTxtWinHost() {
  if (text_services_ != nullptr) {
    text_services_->OnTxInPlaceDeactivate();
    text_services_->Release();
  }
}

CTxtWinHost* CTxtWinHost::Create(CRichEditUI* owner, DWORD style, const wchar_t* text) {
  auto* host = new CTxtWinHost(owner, style);
  if (!host->InitEngine(text)) {
    host->Release();
    return nullptr;
  }
  return host;
}

HDC CTxtWinHost::MeasureDC() const {
  CPaintManagerUI* manager = owner_->GetManager();
  return manager != nullptr ? manager->GetPaintDC() : nullptr;
}

void CTxtWinHost::InitCharFormat(HFONT font) {
  LOGFONTW log_font{};
  if (font == nullptr || GetObjectW(font, sizeof(log_font), &log_font) == 0) {
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(log_font), &log_font);
  }
  HDC dc = MeasureDC();
  HDC screen = dc == nullptr ? GetDC(nullptr) : nullptr;
  const int dpi_y = GetDeviceCaps(dc != nullptr ? dc : screen, LOGPIXELSY);
  if (screen != nullptr) ReleaseDC(nullptr, screen);

  DWORD color = owner_->GetTextColor();
  CPaintManagerUI* manager = owner_->GetManager();
  if (manager != nullptr && manager->IsLayered()) CRenderUI::AvoidPureBlack(color);

  char_format_ = CHARFORMAT2W{};
  char_format_.cbSize = sizeof(char_format_);
  char_format_.dwMask = kCharFormatMask;
  char_format_.yHeight = dpi_y > 0 ? log_font.lfHeight * -kTwipsPerInch / dpi_y : 0;
  if (log_font.lfWeight >= FW_BOLD) char_format_.dwEffects |= CFE_BOLD;
  if (log_font.lfItalic) char_format_.dwEffects |= CFE_ITALIC;
  if (log_font.lfUnderline) char_format_.dwEffects |= CFE_UNDERLINE;
  char_format_.crTextColor = ArgbToColorRef(color);
  char_format_.bCharSet = log_font.lfCharSet;
  char_format_.bPitchAndFamily = log_font.lfPitchAndFamily;
  lstrcpynW(char_format_.szFaceName, log_font.lfFaceName, LF_FACESIZE);
}

void CTxtWinHost::InitParaFormat() {
  para_format_ = PARAFORMAT2{};
  para_format_.cbSize = sizeof(para_format_);
  para_format_.dwMask = kParaFormatMask;
  para_format_.wAlignment = PFA_LEFT;
  para_format_.cTabCount = 1;
  para_format_.rgxTabs[0] = 720;
  if ((style_ & ES_CENTER) != 0) {
    para_format_.wAlignment = PFA_CENTER;
  } else if ((style_ & ES_RIGHT) != 0) {
    para_format_.wAlignment = PFA_RIGHT;
  }
}

bool CTxtWinHost::InitEngine(const wchar_t* text) {
  CPaintManagerUI* manager = owner_->GetManager();
  InitCharFormat(manager != nullptr ? manager->GetFont(owner_->GetFont()) : nullptr);
  InitParaFormat();
  if (owner_->IsRich()) bits_ |= kTxtHostRichText;
  if ((style_ & (ES_AUTOHSCROLL | WS_HSCROLL)) == 0) bits_ |= kTxtHostWordWrap;
  bits_ |= kTxtHostInPlaceActive;
  // Some engines read the back style only while they are created; the control confirms it after.
  if (owner_->IsTransparent()) bits_ |= kTxtHostTransparent;
  // A limit of 0 or less would leave the engine with no room at all: it means the default.
  limit_ = owner_->GetLimitText() > 0 ? static_cast<DWORD>(owner_->GetLimitText()) : kDefaultLimit;
  // Password mode never shows the text in clear, whatever the skin says.
  if ((style_ & ES_PASSWORD) != 0) password_char_ = L'*';

  const PCreateTextServices create = CreateTextServicesProc();
  if (create == nullptr) return false;
  IUnknown* unknown = nullptr;
  if (FAILED(create(nullptr, this, &unknown)) || unknown == nullptr) return false;
  void* services = nullptr;
  const HRESULT query = unknown->QueryInterface(kIidTextServices, &services);
  unknown->Release();
  if (FAILED(query) || services == nullptr) return false;
  text_services_ = static_cast<ITextServices*>(services);

  if (text != nullptr && *text != L'\0' && FAILED(text_services_->TxSetText(text))) return false;
  // The engine does not read the host's maximum length everywhere; telling it directly makes
  // typing stop at the limit too.
  LRESULT ignored = 0;
  text_services_->TxSendMessage(EM_EXLIMITTEXT, 0, static_cast<LPARAM>(limit_), &ignored);
  return true;
}

// ---- IUnknown ---------------------------------------------------------------------------------

HRESULT CTxtWinHost::QueryInterface(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, kIidTextHost)) {
    AddRef();
    *object = static_cast<ITextHost*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG CTxtWinHost::AddRef() { return ++references_; }

ULONG CTxtWinHost::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

// ---- ITextHost --------------------------------------------------------------------------------

HDC CTxtWinHost::TxGetDC() { return MeasureDC(); }

INT CTxtWinHost::TxReleaseDC(HDC) { return 1; }

WINBOOL CTxtWinHost::TxShowScrollBar(INT bar, WINBOOL show) {
  CScrollBarUI* vertical = owner_->GetVerticalScrollBar();
  CScrollBarUI* horizontal = owner_->GetHorizontalScrollBar();
  if (vertical != nullptr && (bar == SB_VERT || bar == SB_BOTH)) vertical->SetVisible(show == TRUE);
  if (horizontal != nullptr && (bar == SB_HORZ || bar == SB_BOTH)) horizontal->SetVisible(show == TRUE);
  return TRUE;
}

WINBOOL CTxtWinHost::TxEnableScrollBar(INT bar, INT arrows) {
  const bool vertical = bar == SB_VERT || bar == SB_BOTH;
  const bool horizontal = bar == SB_HORZ || bar == SB_BOTH;
  owner_->EnableScrollBar(vertical || owner_->GetVerticalScrollBar() != nullptr,
                          horizontal || owner_->GetHorizontalScrollBar() != nullptr);
  const bool visible = arrows != ESB_DISABLE_BOTH;
  if (vertical && owner_->GetVerticalScrollBar() != nullptr) {
    owner_->GetVerticalScrollBar()->SetVisible(visible);
  }
  if (horizontal && owner_->GetHorizontalScrollBar() != nullptr) {
    owner_->GetHorizontalScrollBar()->SetVisible(visible);
  }
  return TRUE;
}

WINBOOL CTxtWinHost::TxSetScrollRange(INT bar, LONG min_pos, INT max_pos, WINBOOL) {
  CScrollBarUI* vertical = owner_->GetVerticalScrollBar();
  CScrollBarUI* horizontal = owner_->GetHorizontalScrollBar();
  if (vertical != nullptr && bar == SB_VERT) {
    const LONG range = max_pos - min_pos - (client_rect_.bottom - client_rect_.top);
    if (range > 0) {
      vertical->SetVisible(true);
      vertical->SetScrollRange(range);
    } else {
      vertical->SetVisible(false);
    }
  } else if (horizontal != nullptr && bar == SB_HORZ) {
    const LONG range = max_pos - min_pos - (client_rect_.right - client_rect_.left);
    if (range > 0) {
      horizontal->SetVisible(true);
      horizontal->SetScrollRange(range);
    } else {
      horizontal->SetVisible(false);
    }
  }
  return TRUE;
}

WINBOOL CTxtWinHost::TxSetScrollPos(INT bar, INT pos, WINBOOL) {
  CScrollBarUI* vertical = owner_->GetVerticalScrollBar();
  CScrollBarUI* horizontal = owner_->GetHorizontalScrollBar();
  if (vertical != nullptr && bar == SB_VERT) {
    vertical->SetScrollPos(pos);
  } else if (horizontal != nullptr && bar == SB_HORZ) {
    horizontal->SetScrollPos(pos);
  }
  return TRUE;
}

void CTxtWinHost::TxInvalidateRect(LPCRECT rect, WINBOOL) {
  CPaintManagerUI* manager = owner_->GetManager();
  if (manager == nullptr) return;
  manager->Invalidate(rect != nullptr ? *rect : client_rect_);
}

void CTxtWinHost::TxViewChange(WINBOOL) {
  if (owner_->OnTxViewChanged()) owner_->Invalidate();
}

WINBOOL CTxtWinHost::TxCreateCaret(HBITMAP bitmap, INT width, INT height) {
  caret_width_ = width;
  caret_height_ = height;
  CPaintManagerUI* manager = owner_->GetManager();
  if (manager == nullptr) return FALSE;
  return CreateCaret(manager->GetPaintWindow(), bitmap, width, height);
}

WINBOOL CTxtWinHost::TxShowCaret(WINBOOL show) {
  if (show) {
    bits_ |= kTxtHostShowCaret;
  } else {
    bits_ &= ~kTxtHostShowCaret;
  }
  CPaintManagerUI* manager = owner_->GetManager();
  if (manager == nullptr) return FALSE;
  return show ? ShowCaret(manager->GetPaintWindow()) : HideCaret(manager->GetPaintWindow());
}

POINT CTxtWinHost::GetCaretPos() const {
  POINT point{0, 0};
  ::GetCaretPos(&point);
  return point;
}

WINBOOL CTxtWinHost::TxSetCaretPos(INT x, INT y) {
  CPaintManagerUI* manager = owner_->GetManager();
  if (manager != nullptr && manager->IsLayered()) {
    // The layered window has no system caret on screen: the control draws it, so both the place it
    // leaves and the place it goes need painting.
    const POINT old = GetCaretPos();
    const RECT old_rect{old.x, old.y, old.x + drawn_caret_width_, old.y + drawn_caret_height_};
    if ((bits_ & kTxtHostCaretRepaint) != 0) {
      manager->Invalidate(old_rect);
      bits_ &= ~kTxtHostCaretRepaint;
    }
    manager->Invalidate(old_rect);
    manager->Invalidate(RECT{x, y, x + caret_width_, y + caret_height_});
    drawn_caret_width_ = caret_width_;
    drawn_caret_height_ = caret_height_;
  }
  return ::SetCaretPos(x, y);
}

WINBOOL CTxtWinHost::TxSetTimer(UINT id, UINT timeout) {
  CPaintManagerUI* manager = owner_->GetManager();
  if (manager == nullptr) return FALSE;
  // The manager refuses a timer of the same control and id that is still running; the engine sets
  // its timers again without killing them first.
  manager->KillTimer(owner_, id);
  bits_ |= kTxtHostTimer;
  return manager->SetTimer(owner_, id, timeout) ? TRUE : FALSE;
}

void CTxtWinHost::TxKillTimer(UINT id) {
  CPaintManagerUI* manager = owner_->GetManager();
  if (manager != nullptr) manager->KillTimer(owner_, id);
  bits_ &= ~kTxtHostTimer;
}

void CTxtWinHost::TxScrollWindowEx(INT, INT, LPCRECT, LPCRECT, HRGN, LPRECT, UINT) {}

void CTxtWinHost::TxSetCapture(WINBOOL capture) {
  CPaintManagerUI* manager = owner_->GetManager();
  if (capture) {
    if (manager != nullptr) manager->SetCapture();
    bits_ |= kTxtHostCaptured;
  } else {
    if (manager != nullptr) manager->ReleaseCapture();
    bits_ &= ~kTxtHostCaptured;
  }
}

void CTxtWinHost::TxSetFocus() { owner_->SetFocus(); }

void CTxtWinHost::TxSetCursor(HCURSOR cursor, WINBOOL) { ::SetCursor(cursor); }

WINBOOL CTxtWinHost::TxScreenToClient(LPPOINT point) {
  CPaintManagerUI* manager = owner_->GetManager();
  return manager != nullptr ? ::ScreenToClient(manager->GetPaintWindow(), point) : FALSE;
}

WINBOOL CTxtWinHost::TxClientToScreen(LPPOINT point) {
  CPaintManagerUI* manager = owner_->GetManager();
  return manager != nullptr ? ::ClientToScreen(manager->GetPaintWindow(), point) : FALSE;
}

HRESULT CTxtWinHost::TxActivate(LONG*) { return S_OK; }

HRESULT CTxtWinHost::TxDeactivate(LONG) { return S_OK; }

HRESULT CTxtWinHost::TxGetClientRect(LPRECT rect) {
  *rect = engine_rect_;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetViewInset(LPRECT rect) {
  *rect = RECT{0, 0, 0, 0};
  return S_OK;
}

HRESULT CTxtWinHost::TxGetCharFormat(const CHARFORMATW** format) {
  *format = reinterpret_cast<const CHARFORMATW*>(&char_format_);
  return S_OK;
}

HRESULT CTxtWinHost::TxGetParaFormat(const PARAFORMAT** format) {
  *format = reinterpret_cast<const PARAFORMAT*>(&para_format_);
  return S_OK;
}

COLORREF CTxtWinHost::TxGetSysColor(int index) { return ::GetSysColor(index); }

HRESULT CTxtWinHost::TxGetBackStyle(TXTBACKSTYLE* style) {
  *style = (bits_ & kTxtHostTransparent) != 0 ? TXTBACK_TRANSPARENT : TXTBACK_OPAQUE;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetMaxLength(DWORD* length) {
  *length = limit_;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetScrollBars(DWORD* scroll_bars) {
  *scroll_bars =
      style_ & (WS_VSCROLL | WS_HSCROLL | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_DISABLENOSCROLL);
  return S_OK;
}

HRESULT CTxtWinHost::TxGetPasswordChar(TCHAR* ch) {
  *ch = password_char_;
  return NOERROR;
}

HRESULT CTxtWinHost::TxGetAcceleratorPos(LONG* pos) {
  *pos = accelerator_pos_;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetExtent(LPSIZEL extent) {
  *extent = extent_;
  return S_OK;
}

HRESULT CTxtWinHost::OnTxCharFormatChange(const CHARFORMATW*) { return S_OK; }

HRESULT CTxtWinHost::OnTxParaFormatChange(const PARAFORMAT*) { return S_OK; }

HRESULT CTxtWinHost::TxGetPropertyBits(DWORD mask, DWORD* bits) {
  DWORD result = 0;
  if ((style_ & ES_MULTILINE) != 0) result |= TXTBIT_MULTILINE;
  if ((bits_ & kTxtHostRichText) != 0) result |= TXTBIT_RICHTEXT;
  if ((style_ & ES_READONLY) != 0) result |= TXTBIT_READONLY;
  if ((style_ & ES_PASSWORD) != 0) result |= TXTBIT_USEPASSWORD;
  if ((style_ & ES_NOHIDESEL) == 0) result |= TXTBIT_HIDESELECTION;
  if ((bits_ & kTxtHostAutoWordSel) != 0) result |= TXTBIT_AUTOWORDSEL;
  if ((bits_ & kTxtHostWordWrap) != 0) result |= TXTBIT_WORDWRAP;
  if ((bits_ & kTxtHostAllowBeep) != 0) result |= TXTBIT_ALLOWBEEP;
  if ((bits_ & kTxtHostSaveSelection) != 0) result |= TXTBIT_SAVESELECTION;
  *bits = result & mask;
  return S_OK;
}

HRESULT CTxtWinHost::TxNotify(DWORD code, void* data) {
  if (code == EN_REQUESTRESIZE) {
    const auto* request = static_cast<const REQRESIZE*>(data);
    if (request != nullptr) {
      client_rect_.right = client_rect_.left + (request->rc.right - request->rc.left);
      client_rect_.bottom = client_rect_.top + (request->rc.bottom - request->rc.top);
      SetClientRect(client_rect_);
    }
    return S_OK;
  }
  return owner_->OnTxNotify(code, data);
}

HIMC CTxtWinHost::TxImmGetContext() { return nullptr; }

void CTxtWinHost::TxImmReleaseContext(HIMC) {}

HRESULT CTxtWinHost::TxGetSelectionBarWidth(LONG* width) {
  *width = selection_bar_width_;
  return S_OK;
}

// ---- Property changes -------------------------------------------------------------------------

void CTxtWinHost::SetClientRect(const RECT& rect) {
  client_rect_ = rect;
  // The engine wraps all its text again whenever its area changes. An area of no width shows
  // nothing and would put every character on a line of its own, which with long text costs the
  // engine seconds: it keeps the last area that had a width. An area that did not change costs
  // nothing either, however often the window is laid out.
  if (rect.right <= rect.left) return;
  HDC dc = MeasureDC();
  HDC screen = dc == nullptr ? GetDC(nullptr) : nullptr;
  HDC measure = dc != nullptr ? dc : screen;
  const SIZEL extent{
      MulDiv(rect.right - rect.left, kHimetricPerInch, GetDeviceCaps(measure, LOGPIXELSX)),
      MulDiv(rect.bottom - rect.top, kHimetricPerInch, GetDeviceCaps(measure, LOGPIXELSY))};
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  if (EqualRect(&rect, &engine_rect_) && extent.cx == extent_.cx && extent.cy == extent_.cy) return;
  engine_rect_ = rect;
  extent_ = extent;
  if (text_services_ != nullptr) {
    text_services_->OnTxPropertyBitsChange(TXTBIT_VIEWINSETCHANGE, TXTBIT_VIEWINSETCHANGE);
  }
}

void CTxtWinHost::LimitText(int limit) {
  limit_ = limit > 0 ? static_cast<DWORD>(limit) : kDefaultLimit;
  if (text_services_ == nullptr) return;
  LRESULT ignored = 0;
  text_services_->TxSendMessage(EM_EXLIMITTEXT, 0, static_cast<LPARAM>(limit_), &ignored);
  text_services_->OnTxPropertyBitsChange(TXTBIT_MAXLENGTHCHANGE, TXTBIT_MAXLENGTHCHANGE);
}

void CTxtWinHost::SetTransparent(bool transparent) {
  if (transparent) {
    bits_ |= kTxtHostTransparent;
  } else {
    bits_ &= ~kTxtHostTransparent;
  }
  if (text_services_ != nullptr) text_services_->OnTxPropertyBitsChange(TXTBIT_BACKSTYLECHANGE, 0);
}

void CTxtWinHost::SetRichTextFlag(bool rich) {
  if (rich) {
    bits_ |= kTxtHostRichText;
  } else {
    bits_ &= ~kTxtHostRichText;
  }
  if (text_services_ != nullptr) {
    text_services_->OnTxPropertyBitsChange(TXTBIT_RICHTEXT, rich ? TXTBIT_RICHTEXT : 0);
  }
}

void CTxtWinHost::SetFont(HFONT font) {
  const COLORREF color = char_format_.crTextColor;
  InitCharFormat(font);
  char_format_.crTextColor = color;
  if (text_services_ != nullptr) {
    text_services_->OnTxPropertyBitsChange(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
  }
}

void CTxtWinHost::SetColor(DWORD color) {
  CPaintManagerUI* manager = owner_->GetManager();
  if (manager != nullptr && manager->IsLayered()) CRenderUI::AvoidPureBlack(color);
  char_format_.crTextColor = ArgbToColorRef(color);
  if (text_services_ != nullptr) {
    text_services_->OnTxPropertyBitsChange(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
  }
}

bool CTxtWinHost::SetActive(bool active) {
  if (text_services_ == nullptr) return false;
  if (active) {
    if (FAILED(text_services_->OnTxInPlaceActivate(nullptr))) {
      bits_ &= ~kTxtHostInPlaceActive;
      return false;
    }
    bits_ |= kTxtHostInPlaceActive;
  // Some engines read the back style only while they are created; the control confirms it after.
  if (owner_->IsTransparent()) bits_ |= kTxtHostTransparent;
    return true;
  }
  text_services_->OnTxInPlaceDeactivate();
  bits_ &= ~kTxtHostInPlaceActive;
  return true;
}

}  // namespace Vellum
