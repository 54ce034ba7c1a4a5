#pragma once

// The windowless rich edit engine's host: the engine ("Msftedit.dll") asks it for its DC, client
// rectangle, formats and properties, and tells it to invalidate, move the caret, set timers, show
// scroll bars and capture the mouse; the host turns each of those into the owning CRichEditUI's and
// its paint manager's operations.
//
// Ownership: reference counted. Create hands back one reference, owned by the control; the engine
// holds the host without a reference of its own (the engine is owned by the host and released by the
// host's destructor after it is told to deactivate).

// The engine's interfaces derive from IUnknown, which the lean windows.h leaves out.
#include <windows.h>
#include <ole2.h>
#include <richedit.h>
#include <textserv.h>

namespace Vellum {

class CRichEditUI;

// The interface ids, defined here because the import libraries do not all carry them.
extern const IID kIidTextServices;
extern const IID kIidTextHost;

// Host bits.
enum : DWORD {
  kTxtHostAutoWordSel = 0x01,
  kTxtHostWordWrap = 0x02,
  kTxtHostAllowBeep = 0x04,
  kTxtHostRichText = 0x08,
  kTxtHostSaveSelection = 0x10,
  kTxtHostInPlaceActive = 0x20,
  kTxtHostTransparent = 0x40,
  kTxtHostTimer = 0x80,
  kTxtHostCaptured = 0x100,
  kTxtHostShowCaret = 0x200,
  kTxtHostCaretRepaint = 0x400,
};

class CTxtWinHost : public ITextHost {
 public:
  // A host with a live engine for owner (style: the control's ES_* and WS_* bits; text: the initial
  // text, may be null). Null when the engine cannot be created; nothing half-built is kept then.
  static CTxtWinHost* Create(CRichEditUI* owner, DWORD style, const wchar_t* text);

  // --- IUnknown ---
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // --- ITextHost, in the platform's order ---
  HDC TxGetDC() override;
  INT TxReleaseDC(HDC dc) override;
  WINBOOL TxShowScrollBar(INT bar, WINBOOL show) override;
  WINBOOL TxEnableScrollBar(INT bar, INT arrows) override;
  WINBOOL TxSetScrollRange(INT bar, LONG min_pos, INT max_pos, WINBOOL redraw) override;
  WINBOOL TxSetScrollPos(INT bar, INT pos, WINBOOL redraw) override;
  void TxInvalidateRect(LPCRECT rect, WINBOOL mode) override;
  void TxViewChange(WINBOOL update) override;
  WINBOOL TxCreateCaret(HBITMAP bitmap, INT width, INT height) override;
  WINBOOL TxShowCaret(WINBOOL show) override;
  WINBOOL TxSetCaretPos(INT x, INT y) override;
  WINBOOL TxSetTimer(UINT id, UINT timeout) override;
  void TxKillTimer(UINT id) override;
  void TxScrollWindowEx(INT dx, INT dy, LPCRECT scroll, LPCRECT clip, HRGN update_region,
                        LPRECT update, UINT flags) override;
  void TxSetCapture(WINBOOL capture) override;
  void TxSetFocus() override;
  void TxSetCursor(HCURSOR cursor, WINBOOL text) override;
  WINBOOL TxScreenToClient(LPPOINT point) override;
  WINBOOL TxClientToScreen(LPPOINT point) override;
  HRESULT TxActivate(LONG* old_state) override;
  HRESULT TxDeactivate(LONG new_state) override;
  HRESULT TxGetClientRect(LPRECT rect) override;
  HRESULT TxGetViewInset(LPRECT rect) override;
  HRESULT TxGetCharFormat(const CHARFORMATW** format) override;
  HRESULT TxGetParaFormat(const PARAFORMAT** format) override;
  COLORREF TxGetSysColor(int index) override;
  HRESULT TxGetBackStyle(TXTBACKSTYLE* style) override;
  HRESULT TxGetMaxLength(DWORD* length) override;
  HRESULT TxGetScrollBars(DWORD* scroll_bars) override;
  HRESULT TxGetPasswordChar(TCHAR* ch) override;
  HRESULT TxGetAcceleratorPos(LONG* pos) override;
  HRESULT TxGetExtent(LPSIZEL extent) override;
  HRESULT OnTxCharFormatChange(const CHARFORMATW* format) override;
  HRESULT OnTxParaFormatChange(const PARAFORMAT* format) override;
  HRESULT TxGetPropertyBits(DWORD mask, DWORD* bits) override;
  HRESULT TxNotify(DWORD code, void* data) override;
  HIMC TxImmGetContext() override;
  void TxImmReleaseContext(HIMC context) override;
  HRESULT TxGetSelectionBarWidth(LONG* width) override;

  virtual ~CTxtWinHost();

  ITextServices* GetTextServices() const { return text_services_; }
  DWORD GetHostBits() const { return bits_; }
  bool IsCaptured() const { return (bits_ & kTxtHostCaptured) != 0; }
  bool IsShowCaret() const { return (bits_ & kTxtHostShowCaret) != 0; }
  void NeedFreshCaret() { bits_ |= kTxtHostCaretRepaint; }
  int GetCaretWidth() const { return caret_width_; }
  int GetCaretHeight() const { return caret_height_; }
  // Where the caret stands now, in the paint window's client coordinates.
  POINT GetCaretPos() const;

  const RECT& GetClientRect() const { return client_rect_; }
  void SetClientRect(const RECT& rect);
  SIZEL GetExtent() const { return extent_; }
  DWORD GetMaxLength() const { return limit_; }
  // Values of 0 or less mean the default of 32767 characters.
  void LimitText(int limit);
  void SetTransparent(bool transparent);
  void SetRichTextFlag(bool rich);
  void SetFont(HFONT font);
  // ARGB; stored as the character format's COLORREF.
  void SetColor(DWORD color);
  wchar_t GetPasswordChar() const { return password_char_; }
  const CHARFORMAT2W& GetCharFormat() const { return char_format_; }
  const PARAFORMAT2& GetParaFormat() const { return para_format_; }
  // The in-place bit; the engine is told to activate or deactivate.
  bool SetActive(bool active);

 private:
  CTxtWinHost(CRichEditUI* owner, DWORD style);
  bool InitEngine(const wchar_t* text);
  void InitCharFormat(HFONT font);
  void InitParaFormat();
  HDC MeasureDC() const;

  CRichEditUI* owner_;
  ULONG references_ = 1;
  ITextServices* text_services_ = nullptr;
  DWORD style_;
  DWORD bits_ = 0;
  int caret_width_ = 0;
  int caret_height_ = 0;
  int drawn_caret_width_ = 0;
  int drawn_caret_height_ = 0;
  DWORD limit_ = 0x7FFF;
  LONG selection_bar_width_ = 0;
  RECT client_rect_{0, 0, 0, 0};
  // The area the engine wraps and draws its text in: the client rectangle while that has a width.
  // Until the control is first placed, a screen's width, so that text given before then is not
  // wrapped to no width.
  RECT engine_rect_{0, 0, 0, 0};
  SIZEL extent_{0, 0};
  CHARFORMAT2W char_format_{};
  PARAFORMAT2 para_format_{};
  LONG accelerator_pos_ = -1;
  wchar_t password_char_ = 0;
};

}  // namespace Vellum
