#pragma once

// A text editor drawn inside a framework window with no child window of its own. It hosts the
// platform's windowless rich edit engine through CTxtWinHost (text_host.h): the control turns
// framework events and raw window messages into engine messages, and the host gives the engine its
// client rectangle, caret, timers, scroll bars and invalidation. The control adds a tip text shown
// while it is empty and unfocused, a context menu, and the "textchanged" and "return" notifications.
// It is a container: children are laid over the text area.
//
// Ownership: the control is owned by its container. It owns one reference to its text host, which
// owns the engine; the destructor releases both and removes the control's message filter.

#include <windows.h>

#include "vellum/core/base/ui_events.h"
#include "vellum/core/base/ui_string.h"
#include "vellum/core/layout/container.h"

namespace Vellum {

class CTxtWinHost;

// Identifier of the caret blink timer the control starts for itself.
constexpr UINT kRichEditCaretTimerId = 20;

// Context menu commands; also accepted as WM_COMMAND identifiers while the control has the focus.
enum : UINT {
  kRichEditCommandUndo = 101,
  kRichEditCommandCut = 102,
  kRichEditCommandCopy = 103,
  kRichEditCommandPaste = 104,
  kRichEditCommandClear = 105,
  kRichEditCommandSelectAll = 106,
  kRichEditCommandRedo = 107,
};

class CRichEditUI : public CContainerUI, public IMessageFilterUI, public IFontRefreshUI {
 public:
  CRichEditUI();
  ~CRichEditUI() override;

  static CControlUI* CreateControl();

  // --- CControlUI and CContainerUI overrides ---
  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  UINT GetControlFlags() const override;
  void SetEnabled(bool enable = true) override;
  CUIString GetText() const override;
  void SetText(const wchar_t* text) override;
  void SetPos(RECT rect, bool invalidate = true) override;
  void Move(SIZE offset, bool invalidate = true) override;
  void DoInit() override;
  void DoEvent(TUIEvent& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  SIZE EstimateSize(SIZE available) override;
  bool DoPaint(HDC dc, const RECT& paint, CControlUI* stop) override;
  void PaintStatusImage(HDC dc) override;

  void SetScrollPos(SIZE pos, bool notify = true) override;
  void LineUp() override;
  void LineDown() override;
  void PageUp() override;
  void PageDown() override;
  void HomeUp() override;
  void EndDown() override;
  void LineLeft() override;
  void LineRight() override;
  void PageLeft() override;
  void PageRight() override;
  void HomeLeft() override;
  void EndRight() override;

  // --- virtual operations added here, in their fixed order ---
  // S_FALSE without a text host. Return is filtered by the want-return flags (see the source).
  virtual HRESULT TxSendMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) const;
  virtual bool OnTxViewChanged();
  virtual HRESULT OnTxNotify(DWORD code, void* data);
  // --- end of the virtual operations ---

  // --- IMessageFilterUI: raw window messages reach the engine through here ---
  LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

  // --- IFontRefreshUI: the engine takes the control's font again (after a DPI change) ---
  void RefreshFont() override;

  bool IsWantTab() const { return want_tab_; }
  void SetWantTab(bool want = true) { want_tab_ = want; }
  bool IsWantReturn() const { return want_return_; }
  void SetWantReturn(bool want = true) { want_return_ = want; }
  bool IsWantCtrlReturn() const { return want_ctrl_return_; }
  void SetWantCtrlReturn(bool want = true) { want_ctrl_return_ = want; }
  bool IsTransparent() const { return transparent_; }
  void SetTransparent(bool transparent = true);
  bool IsRich() const { return rich_; }
  void SetRich(bool rich = true);
  bool IsReadOnly() const { return read_only_; }
  int GetFont() const { return font_; }
  void SetFont(int index);
  // The control's own style bits (ES_* and WS_*); they reach the engine when the host is created.
  LONG GetWinStyle() const { return static_cast<LONG>(style_); }
  void SetWinStyle(LONG style) { style_ = static_cast<DWORD>(style); }
  DWORD GetTextColor() const { return text_color_; }
  void SetTextColor(DWORD color);
  int GetLimitText() const { return limit_; }
  // A limit of 0 or less means the default of 32767 characters.
  void SetLimitText(int limit);

  RECT GetTextPadding() const { return text_padding_; }
  void SetTextPadding(RECT padding);
  const CUIString& GetNormalImage() const { return normal_image_; }
  void SetNormalImage(const wchar_t* image);
  const CUIString& GetHotImage() const { return hot_image_; }
  void SetHotImage(const wchar_t* image);
  const CUIString& GetFocusedImage() const { return focused_image_; }
  void SetFocusedImage(const wchar_t* image);
  const CUIString& GetDisabledImage() const { return disabled_image_; }
  void SetDisabledImage(const wchar_t* image);
  const CUIString& GetTipValue() const { return tip_value_; }
  void SetTipValue(const wchar_t* tip);
  DWORD GetTipValueColor() const { return tip_value_color_; }
  void SetTipValueColor(DWORD color);
  UINT GetTipValueAlign() const { return tip_value_align_; }
  void SetTipValueAlign(UINT align);

  // --- engine operations (nothing, false or 0 without a host) ---
  bool CanUndo() const;
  bool CanRedo() const;
  bool Undo();
  bool Redo();
  void Cut();
  void Copy();
  void Paste();
  void Clear();
  WORD GetSelectionType() const;
  // Flags are GTL_* bits; the length is counted in UTF-16 units.
  long GetTextLength(DWORD flags = 0) const;
  void SetSel(long start, long end);
  void SetSelAll();
  void ReplaceSel(const wchar_t* text, bool can_undo);

  // The text host, or null before initialisation or when the engine could not be created.
  CTxtWinHost* GetTextHost() const { return host_; }
  // Whether the layout showed the vertical bar because the text is taller than the view.
  bool IsVScrollBarAutoShown() const { return vscroll_auto_shown_; }
  // The caret blink phase of layered windows, where the control draws the caret itself.
  bool GetDrawCaretPhase() const { return caret_phase_; }

  // The context menu the control would show now, built but not tracked; the caller destroys it.
  HMENU BuildContextMenu() const;
  // Runs a context menu command (kRichEditCommand*); false for other identifiers.
  bool RunCommand(UINT command);
  // The engine's natural height of its text at the given width, or -1 without a host.
  LONG GetNaturalHeight(LONG width) const;

 private:
  friend class CTxtWinHost;

  RECT ClientRectFor(const RECT& content) const;
  void SendScroll(UINT message, WORD code);
  void PaintDrawnCaret(HDC dc);
  void InvalidateCaretArea();
  bool OnCaretTimer();

  CTxtWinHost* host_ = nullptr;
  bool vscroll_auto_shown_ = false;
  bool want_tab_ = true;
  bool want_return_ = true;
  bool want_ctrl_return_ = true;
  bool transparent_ = true;
  bool rich_ = true;
  bool read_only_ = false;
  DWORD text_color_ = 0;
  int font_ = -1;
  int limit_ = 0x7FFF;
  DWORD style_ = ES_MULTILINE;
  bool caret_phase_ = true;
  bool initialised_ = false;
  RECT text_padding_{0, 0, 0, 0};
  UINT button_state_ = 0;
  CUIString normal_image_;
  CUIString hot_image_;
  CUIString focused_image_;
  CUIString disabled_image_;
  CUIString tip_value_;
  DWORD tip_value_color_ = 0xFFBAC0C5;
  UINT tip_value_align_ = DT_SINGLELINE;
};

}  // namespace Vellum
