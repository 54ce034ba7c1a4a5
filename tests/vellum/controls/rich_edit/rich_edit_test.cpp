#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/ui_input.h"
#include "tests/vellum/support/dib_surface.h"
#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/controls/rich_edit/rich_edit.h"
#include "vellum/controls/rich_edit/text_host.h"
#include "vellum/core/base_controls/scroll_bar.h"
#include "vellum/core/markup/control_factory.h"
#include "vellum/core/markup/dialog_builder.h"

namespace {

using namespace Vellum;
using testing_support::ManagedWindow;
using testing_support::Surface;

class Notifications : public INotifyUI {
 public:
  void Notify(TUINotification& msg) override { types.emplace_back(msg.type.GetData()); }
  int Count(const wchar_t* type) const {
    int n = 0;
    for (const std::wstring& seen : types) n += seen == type ? 1 : 0;
    return n;
  }
  std::vector<std::wstring> types;
};

// How many pixels hold exactly the colour (alpha ignored: GDI text leaves it 0).
int CountColor(const Surface& surface, DWORD argb) {
  int n = 0;
  for (int y = 0; y < surface.height(); ++y) {
    for (int x = 0; x < surface.width(); ++x) {
      n += ((surface.At(x, y) ^ argb) & 0x00FFFFFF) == 0 ? 1 : 0;
    }
  }
  return n;
}

TEST(RichEdit, IsCreatedByNameAndAnswersItsInterfaces) {
  std::unique_ptr<CControlUI> control(CControlFactory::GetInstance()->CreateControl(L"CRichEditUI"));
  ASSERT_NE(control, nullptr);
  EXPECT_STREQ(control->GetClass(), L"RichEditUI");
  EXPECT_EQ(control->GetInterface(L"RichEdit"), control.get());
  EXPECT_NE(control->GetInterface(L"richedit"), control.get());  // compared with case
  EXPECT_NE(control->GetInterface(L"IContainer"), nullptr);
  auto* refresh = static_cast<IFontRefreshUI*>(control->GetInterface(kFontRefreshInterface));
  EXPECT_EQ(refresh, static_cast<IFontRefreshUI*>(static_cast<CRichEditUI*>(control.get())));
  EXPECT_EQ(control->GetControlFlags(), UIFLAG_TABSTOP | UIFLAG_SETCURSOR);
  control->SetEnabled(false);
  EXPECT_EQ(control->GetControlFlags(), 0u);
}

TEST(RichEdit, WithoutAHostTheEngineOperationsDoNothing) {
  CRichEditUI edit;  // never initialised: no engine
  LRESULT result = 7;
  EXPECT_EQ(edit.TxSendMessage(EM_CANUNDO, 0, 0, &result), S_FALSE);
  EXPECT_FALSE(edit.CanUndo());
  EXPECT_FALSE(edit.Undo());
  EXPECT_EQ(edit.GetTextLength(), 0);
  edit.SetText(L"kept");
  EXPECT_EQ(edit.GetText(), L"kept");
  bool handled = false;
  EXPECT_EQ(edit.MessageHandler(WM_CHAR, L'x', 0, handled), 0);
  EXPECT_FALSE(handled);
}

TEST(RichEdit, AttributesAreMatchedWithCase) {
  CRichEditUI edit;
  const LONG base = edit.GetWinStyle();
  EXPECT_EQ(base, ES_MULTILINE);
  const struct {
    const wchar_t* name;
    const wchar_t* value;
    LONG added;
  } kStyleCases[] = {
      {L"vscrollbar", L"true", ES_DISABLENOSCROLL | WS_VSCROLL},
      {L"autovscroll", L"true", ES_AUTOVSCROLL},
      {L"hscrollbar", L"true", ES_DISABLENOSCROLL | WS_HSCROLL},
      {L"autohscroll", L"true", ES_AUTOHSCROLL},
      {L"password", L"true", ES_PASSWORD},
      {L"readonly", L"true", ES_READONLY},
      {L"readonly", L"True", 0},
      {L"ReadOnly", L"true", 0},
      {L"password", L"TRUE", 0},
  };
  for (const auto& c : kStyleCases) {
    CRichEditUI probe;
    probe.SetAttribute(c.name, c.value);
    EXPECT_EQ(probe.GetWinStyle(), base | c.added) << c.name << "=" << c.value;
    EXPECT_EQ(probe.IsReadOnly(), (c.added & ES_READONLY) != 0) << c.name << "=" << c.value;
  }

  edit.SetAttribute(L"multiline", L"false");
  EXPECT_EQ(edit.GetWinStyle() & ES_MULTILINE, 0);
  edit.SetAttribute(L"align", L"center");
  EXPECT_EQ(edit.GetWinStyle() & (ES_CENTER | ES_RIGHT), ES_CENTER);
  edit.SetAttribute(L"align", L"right");
  EXPECT_EQ(edit.GetWinStyle() & (ES_CENTER | ES_RIGHT), ES_RIGHT);
  edit.SetAttribute(L"align", L"left");
  EXPECT_EQ(edit.GetWinStyle() & (ES_CENTER | ES_RIGHT), 0);

  edit.SetAttribute(L"textcolor", L"  #FF102030");
  EXPECT_EQ(edit.GetTextColor(), 0xFF102030u);
  edit.SetAttribute(L"tipvaluecolor", L"#FF405060");
  EXPECT_EQ(edit.GetTipValueColor(), 0xFF405060u);
  edit.SetAttribute(L"maxchar", L"12");
  EXPECT_EQ(edit.GetLimitText(), 12);
  edit.SetAttribute(L"tipvalue", L"Type");
  EXPECT_EQ(edit.GetTipValue(), L"Type");
  const struct {
    const wchar_t* value;
    UINT style;
  } kTipAlign[] = {{L"left", 0x20}, {L"center", 0x21}, {L"right", 0x22}};
  for (const auto& c : kTipAlign) {
    edit.SetAttribute(L"tipvaluealign", c.value);
    EXPECT_EQ(edit.GetTipValueAlign(), c.style) << c.value;
  }
  for (const wchar_t* flag : {L"wantreturn", L"wantctrlreturn", L"rich", L"transparent"}) {
    CRichEditUI probe;
    probe.SetAttribute(flag, L"false");
    const bool value = std::wstring(flag) == L"wantreturn"       ? probe.IsWantReturn()
                       : std::wstring(flag) == L"wantctrlreturn" ? probe.IsWantCtrlReturn()
                       : std::wstring(flag) == L"rich"           ? probe.IsRich()
                                                                 : probe.IsTransparent();
    EXPECT_FALSE(value) << flag;
  }
}

// A rich edit in a manager of a message-only window: the engine works without a display.
class RichEditHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = new testing_support::TestContainer();
    window_.manager().AttachRootControl(root_);
    window_.manager().AddNotifier(&notes_);
  }
  void TearDown() override { window_.manager().RemoveNotifier(&notes_); }

  CRichEditUI* Add(const std::vector<std::pair<const wchar_t*, const wchar_t*>>& attributes = {},
                   RECT rect = kRect) {
    auto* edit = new CRichEditUI();
    for (const auto& a : attributes) edit->SetAttribute(a.first, a.second);
    root_->Add(edit, rect);
    root_->SetPos(RECT{0, 0, 300, 200}, false);
    return edit;
  }
  LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam = 0) {
    return ::SendMessageW(window_.hwnd(), message, wParam, lParam);
  }
  void Type(const std::wstring& text) {
    for (wchar_t ch : text) Send(WM_CHAR, ch);
  }

  static constexpr RECT kRect{10, 10, 210, 110};
  ManagedWindow window_;
  testing_support::TestContainer* root_ = nullptr;
  Notifications notes_;
};

TEST_F(RichEditHostTest, TextRoundTripsThroughTheEngineWithUndo) {
  CRichEditUI* edit = Add();
  ASSERT_NE(edit->GetTextHost(), nullptr);
  edit->SetText(L"first\nsecond");
  EXPECT_EQ(edit->GetText(), L"first\rsecond");  // the engine keeps paragraph marks
  EXPECT_EQ(edit->GetTextLength(), 12);
  EXPECT_GE(notes_.Count(L"textchanged"), 1);
  // SetText is not undoable; a replacement with undo is.
  EXPECT_FALSE(edit->CanUndo());
  edit->SetSel(0, 5);
  EXPECT_NE(edit->GetSelectionType() & SEL_TEXT, 0);
  edit->ReplaceSel(L"1st", true);
  EXPECT_EQ(edit->GetText(), L"1st\rsecond");
  EXPECT_TRUE(edit->CanUndo());
  EXPECT_TRUE(edit->Undo());
  EXPECT_EQ(edit->GetText(), L"first\rsecond");
  EXPECT_TRUE(edit->CanRedo());
  EXPECT_TRUE(edit->Redo());
  EXPECT_EQ(edit->GetText(), L"1st\rsecond");
  edit->SetSel(3, 3);
  EXPECT_EQ(edit->GetSelectionType(), SEL_EMPTY);
  edit->SetSelAll();
  edit->Clear();
  EXPECT_EQ(edit->GetText(), L"");
}

TEST_F(RichEditHostTest, TypingReachesTheEngineOnlyWhileFocused) {
  CRichEditUI* edit = Add();
  Type(L"no");
  EXPECT_EQ(edit->GetText(), L"");
  edit->SetFocus();
  ASSERT_TRUE(edit->IsFocused());
  notes_.types.clear();
  Type(L"abc");
  EXPECT_EQ(edit->GetText(), L"abc");
  EXPECT_EQ(notes_.Count(L"textchanged"), 3);  // one per change
  // A disabled or hidden control leaves the messages to the window.
  edit->SetEnabled(false);
  Type(L"x");
  edit->SetEnabled(true);
  edit->SetFocus();
  edit->SetVisible(false);
  Type(L"y");
  EXPECT_EQ(edit->GetText(), L"abc");
}

TEST_F(RichEditHostTest, ReturnIsInsertedOrReportedByTheWantFlags) {
  const struct {
    const wchar_t* want_return;
    const wchar_t* want_ctrl_return;
    bool ctrl;
    bool inserted;
  } kCases[] = {
      {L"true", L"true", false, true},   {L"false", L"true", false, false},
      {L"true", L"false", false, true},  {L"true", L"false", true, false},
      {L"true", L"true", true, true},    {L"false", L"false", true, false},
  };
  for (const auto& c : kCases) {
    CRichEditUI* edit = Add({{L"wantreturn", c.want_return}, {L"wantctrlreturn", c.want_ctrl_return}});
    edit->SetFocus();
    notes_.types.clear();
    {
      std::unique_ptr<testing_support::HeldKey> ctrl;
      if (c.ctrl) ctrl = std::make_unique<testing_support::HeldKey>(VK_CONTROL);
      Send(WM_KEYDOWN, VK_RETURN);
    }
    const std::wstring trace = std::wstring(c.want_return) + L"/" + c.want_ctrl_return +
                               (c.ctrl ? L"/ctrl" : L"");
    EXPECT_EQ(edit->GetText() == L"\r", c.inserted) << testing::PrintToString(trace);
    EXPECT_EQ(notes_.Count(L"return"), c.inserted ? 0 : 1) << testing::PrintToString(trace);
    root_->Detach(edit);
    delete edit;
  }
}

TEST_F(RichEditHostTest, TheLimitStopsTypingAndNonPositiveMeansTheDefault) {
  // A limit of 0 or less at creation: the engine gets the default, not a limit of nothing.
  for (const wchar_t* limit : {L"0", L"-3"}) {
    CRichEditUI* edit = Add({{L"maxchar", limit}});
    ASSERT_NE(edit->GetTextHost(), nullptr);
    EXPECT_EQ(edit->GetTextHost()->GetMaxLength(), 32767u) << limit;
    edit->SetFocus();
    Type(L"ok");
    EXPECT_EQ(edit->GetText(), L"ok") << limit;
    root_->Detach(edit);
    delete edit;
  }
  CRichEditUI* edit = Add({{L"maxchar", L"5"}});
  edit->SetFocus();
  Type(L"abcdefgh");
  EXPECT_EQ(edit->GetText(), L"abcde");
  edit->SetLimitText(0);
  EXPECT_EQ(edit->GetTextHost()->GetMaxLength(), 32767u);
  Type(L"fg");
  EXPECT_EQ(edit->GetText(), L"abcdefg");
  edit->SetLimitText(8);
  Type(L"hij");
  EXPECT_EQ(edit->GetText(), L"abcdefgh");
}

TEST_F(RichEditHostTest, PasswordModeNeverShowsTheTextInClear) {
  CRichEditUI* password = Add({{L"password", L"true"}, {L"multiline", L"false"}});
  ASSERT_NE(password->GetTextHost(), nullptr);
  EXPECT_EQ(password->GetTextHost()->GetPasswordChar(), L'*');
  password->SetText(L"||||");
  EXPECT_EQ(password->GetText(), L"||||");

  // The masked text paints exactly like a plain control showing the mask characters, and not
  // like one showing the text.
  CRichEditUI* plain = Add({{L"multiline", L"false"}}, RECT{10, 60, 210, 100});
  plain->SetText(L"****");
  CRichEditUI* clear = Add({{L"multiline", L"false"}}, RECT{10, 110, 210, 150});
  clear->SetText(L"||||");
  root_->Detach(password);
  root_->Add(password, RECT{10, 10, 210, 50});
  root_->SetPos(RECT{0, 0, 300, 200}, false);
  Surface surface(300, 200, 0xFFFFFFFF);
  for (CControlUI* control : {static_cast<CControlUI*>(password), static_cast<CControlUI*>(plain),
                              static_cast<CControlUI*>(clear)}) {
    control->Paint(surface.dc(), control->GetPos());
  }
  ::GdiFlush();
  int inked = 0;
  int differing = 0;
  int from_clear = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 10; x < 210; ++x) {
      const DWORD masked = surface.At(x, 10 + y) & 0x00FFFFFF;
      inked += masked != 0x00FFFFFF ? 1 : 0;
      differing += masked != (surface.At(x, 60 + y) & 0x00FFFFFF) ? 1 : 0;
      from_clear += masked != (surface.At(x, 110 + y) & 0x00FFFFFF) ? 1 : 0;
    }
  }
  EXPECT_GT(inked, 0);
  EXPECT_EQ(differing, 0);
  EXPECT_GT(from_clear, 0);
}

TEST_F(RichEditHostTest, TheTipShowsOnlyWhileEmptyAndUnfocused) {
  CRichEditUI* edit = Add({{L"tipvalue", L"Search here"}, {L"tipvaluecolor", L"#FF00C000"}});
  Surface surface(300, 200, 0xFFFFFFFF);
  auto tip_pixels = [&]() {
    surface.Fill(0xFFFFFFFF);
    edit->Paint(surface.dc(), edit->GetPos());
    ::GdiFlush();
    return CountColor(surface, 0xFF00C000);
  };
  EXPECT_GT(tip_pixels(), 0);
  edit->SetFocus();
  EXPECT_EQ(tip_pixels(), 0);
  window_.manager().SetFocus(nullptr);
  EXPECT_GT(tip_pixels(), 0);
  edit->SetText(L"x");
  EXPECT_EQ(tip_pixels(), 0);
}

TEST_F(RichEditHostTest, ContextMenuStatesFollowSelectionAndReadOnly) {
  const struct {
    bool read_only;
    bool select;
    UINT cut, copy, paste, clear;
  } kCases[] = {
      {false, false, MF_GRAYED, MF_GRAYED, MF_ENABLED, MF_GRAYED},
      {false, true, MF_ENABLED, MF_ENABLED, MF_ENABLED, MF_ENABLED},
      {true, true, MF_GRAYED, MF_ENABLED, MF_GRAYED, MF_GRAYED},
      {true, false, MF_GRAYED, MF_GRAYED, MF_GRAYED, MF_GRAYED},
  };
  for (const auto& c : kCases) {
    CRichEditUI* edit = Add({{L"readonly", c.read_only ? L"true" : L"false"}});
    edit->SetText(L"some text");
    edit->SetSel(0, c.select ? 4 : 0);
    HMENU menu = edit->BuildContextMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(::GetMenuItemCount(menu), 9);
    auto state = [menu](UINT id) { return ::GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED; };
    const std::string trace = std::string(c.read_only ? "read-only" : "editable") +
                              (c.select ? " with selection" : " empty selection");
    EXPECT_EQ(state(kRichEditCommandCut), c.cut) << trace;
    EXPECT_EQ(state(kRichEditCommandCopy), c.copy) << trace;
    EXPECT_EQ(state(kRichEditCommandPaste), c.paste) << trace;
    EXPECT_EQ(state(kRichEditCommandClear), c.clear) << trace;
    EXPECT_EQ(state(kRichEditCommandUndo), static_cast<UINT>(MF_GRAYED)) << trace;
    wchar_t label[32] = {};
    ::GetMenuStringW(menu, kRichEditCommandPaste, label, 32, MF_BYCOMMAND);
    EXPECT_EQ(std::wstring(label), L"粘帖(&V)");
    ::DestroyMenu(menu);
    root_->Detach(edit);
    delete edit;
  }
}

TEST_F(RichEditHostTest, CommandsRunOnlyWhileFocused) {
  CRichEditUI* edit = Add();
  edit->SetText(L"abc");
  Send(WM_COMMAND, kRichEditCommandSelectAll);
  Send(WM_COMMAND, kRichEditCommandClear);
  EXPECT_EQ(edit->GetText(), L"abc");
  edit->SetFocus();
  Send(WM_COMMAND, kRichEditCommandSelectAll);
  Send(WM_COMMAND, kRichEditCommandClear);
  EXPECT_EQ(edit->GetText(), L"");
  Send(WM_COMMAND, kRichEditCommandUndo);
  EXPECT_EQ(edit->GetText(), L"abc");
}

TEST_F(RichEditHostTest, SystemKeysGoBackToTheWindow) {
  CRichEditUI* edit = Add();
  edit->SetFocus();
  bool handled = false;
  edit->MessageHandler(WM_SYSKEYDOWN, VK_F4, 0x20000000, handled);
  EXPECT_FALSE(handled);
  handled = false;
  edit->MessageHandler(WM_SYSCHAR, L'f', 0x20000000, handled);
  EXPECT_FALSE(handled);
  // An ordinary key the engine leaves alone stays with the focused editor.
  handled = false;
  edit->MessageHandler(WM_KEYDOWN, VK_F5, 0, handled);
  EXPECT_TRUE(handled);
}

TEST_F(RichEditHostTest, TallTextShowsTheBarAndTheWheelScrollsIt) {
  CRichEditUI* edit = Add({{L"vscrollbar", L"true"}, {L"autovscroll", L"true"}});
  std::wstring text;
  for (int i = 0; i < 60; ++i) text += L"line " + std::to_wstring(i) + L"\n";
  edit->SetText(text.c_str());
  root_->SetPos(RECT{0, 0, 300, 200}, false);
  root_->SetPos(RECT{0, 0, 300, 200}, false);
  CScrollBarUI* bar = edit->GetVerticalScrollBar();
  ASSERT_NE(bar, nullptr);
  ASSERT_TRUE(bar->IsVisible());
  EXPECT_GT(bar->GetScrollRange(), 0);
  edit->HomeUp();
  EXPECT_EQ(bar->GetScrollPos(), 0);
  // The plain wheel goes through the container's bars.
  TUIEvent wheel;
  wheel.type = UIEVENT_SCROLLWHEEL;
  wheel.sender = edit;
  wheel.wParam = SB_LINEDOWN;
  edit->Event(wheel);
  const int64_t after_wheel = bar->GetScrollPos();
  EXPECT_GT(after_wheel, 0);
  edit->LineDown();
  EXPECT_GT(bar->GetScrollPos(), after_wheel);
  edit->EndDown();
  EXPECT_EQ(bar->GetScrollPos(), bar->GetScrollRange());
  edit->SetScrollPos(SIZE{0, 0});
  EXPECT_EQ(bar->GetScrollPos(), 0);
  // Ctrl+wheel is the engine's (zoom), not the bars'.
  wheel.key_state = MK_CONTROL;
  edit->Event(wheel);
  EXPECT_EQ(bar->GetScrollPos(), 0);
}

// Wrapping to an area of no width would put each character of a long word on a line of its own,
// at great cost to the engine, and show nothing: text given before the control has an area, or
// while its area has no width, is wrapped to the last area that had one.
TEST_F(RichEditHostTest, TextIsNeverWrappedToAnAreaOfNoWidth) {
  const std::wstring word(400, L'W');
  CRichEditUI* edit = Add({{L"text", word.c_str()}});
  ASSERT_NE(edit->GetTextHost(), nullptr);
  const auto lines = [&] {
    LRESULT count = 0;
    edit->TxSendMessage(EM_GETLINECOUNT, 0, 0, &count);
    return count;
  };
  // Drawing wraps the text to the area the engine was last given.
  const auto draw = [&] {
    testing_support::Surface surface(300, 200, 0xFFFFFFFF);
    edit->DoPaint(surface.dc(), RECT{0, 0, 300, 200}, nullptr);
  };
  EXPECT_LT(lines(), 100);
  draw();
  const LRESULT wrapped = lines();
  EXPECT_GT(wrapped, 3);
  edit->SetPos(RECT{kRect.left, kRect.top, kRect.left, kRect.bottom}, false);
  edit->SetText(word.c_str());
  EXPECT_EQ(lines(), wrapped);
  edit->SetPos(RECT{kRect.left, kRect.top, kRect.left + 100, kRect.bottom}, false);
  draw();
  EXPECT_GT(lines(), wrapped);
}

TEST_F(RichEditHostTest, TheEngineMayRestartARunningTimer) {
  CRichEditUI* edit = Add();
  CTxtWinHost* host = edit->GetTextHost();
  ASSERT_NE(host, nullptr);
  EXPECT_TRUE(host->TxSetTimer(5, 1000));
  EXPECT_TRUE(host->TxSetTimer(5, 1000));
  EXPECT_NE(host->GetHostBits() & kTxtHostTimer, 0u);
  host->TxKillTimer(5);
  EXPECT_EQ(host->GetHostBits() & kTxtHostTimer, 0u);
}

TEST_F(RichEditHostTest, HostAnswersTheEngineFromTheControl) {
  CRichEditUI* edit = Add({{L"password", L"true"}, {L"readonly", L"true"}, {L"hscrollbar", L"true"},
                           {L"textpadding", L"4,3,4,3"}, {L"align", L"right"}});
  CTxtWinHost* host = edit->GetTextHost();
  ASSERT_NE(host, nullptr);
  const RECT client = host->GetClientRect();
  EXPECT_EQ(client.left, kRect.left + 4);
  EXPECT_EQ(client.top, kRect.top + 3);
  // The horizontal bar takes its height from the bottom of the text area.
  ASSERT_NE(edit->GetHorizontalScrollBar(), nullptr);
  const int bar = edit->GetHorizontalScrollBar()->IsVisible()
                      ? edit->GetHorizontalScrollBar()->GetFixedHeight() : 0;
  EXPECT_EQ(client.bottom, kRect.bottom - 3 - bar);
  DWORD bits = 0;
  host->TxGetPropertyBits(0xFFFFFFFF, &bits);
  EXPECT_EQ(bits & (TXTBIT_MULTILINE | TXTBIT_RICHTEXT | TXTBIT_READONLY | TXTBIT_USEPASSWORD |
                    TXTBIT_HIDESELECTION | TXTBIT_WORDWRAP),
            static_cast<DWORD>(TXTBIT_MULTILINE | TXTBIT_RICHTEXT | TXTBIT_READONLY |
                               TXTBIT_USEPASSWORD | TXTBIT_HIDESELECTION));
  host->TxGetPropertyBits(TXTBIT_READONLY, &bits);
  EXPECT_EQ(bits, static_cast<DWORD>(TXTBIT_READONLY));
  DWORD bars = 0;
  host->TxGetScrollBars(&bars);
  EXPECT_EQ(bars, static_cast<DWORD>(WS_HSCROLL | ES_DISABLENOSCROLL));
  TXTBACKSTYLE back = TXTBACK_OPAQUE;
  host->TxGetBackStyle(&back);
  EXPECT_EQ(back, TXTBACK_TRANSPARENT);
  EXPECT_EQ(host->GetParaFormat().wAlignment, PFA_RIGHT);
  void* unknown = nullptr;
  ASSERT_EQ(host->QueryInterface(kIidTextHost, &unknown), S_OK);
  static_cast<IUnknown*>(unknown)->Release();
  EXPECT_EQ(host->QueryInterface(kIidTextServices, &unknown), E_NOINTERFACE);
  // Read-only: typing changes nothing.
  edit->SetFocus();
  Type(L"x");
  EXPECT_EQ(edit->GetText(), L"");
}

TEST_F(RichEditHostTest, ColourFontAndDisablingReachTheCharacterFormat) {
  CRichEditUI* edit = Add({{L"textcolor", L"#FF112233"}});
  CTxtWinHost* host = edit->GetTextHost();
  ASSERT_NE(host, nullptr);
  EXPECT_EQ(host->GetCharFormat().crTextColor, RGB(0x11, 0x22, 0x33));
  edit->SetEnabled(false);
  const DWORD disabled = window_.manager().GetDefaultDisabledColor();
  EXPECT_EQ(host->GetCharFormat().crTextColor,
            RGB((disabled >> 16) & 0xFF, (disabled >> 8) & 0xFF, disabled & 0xFF));
  edit->SetEnabled(true);
  EXPECT_EQ(host->GetCharFormat().crTextColor, RGB(0x11, 0x22, 0x33));

  window_.manager().AddFont(3, L"Arial", 30, true, false, true);
  edit->SetFont(3);
  EXPECT_NE(host->GetCharFormat().dwEffects & CFE_BOLD, 0u);
  EXPECT_NE(host->GetCharFormat().dwEffects & CFE_ITALIC, 0u);
  EXPECT_GT(host->GetCharFormat().yHeight, 300);
  EXPECT_EQ(host->GetCharFormat().crTextColor, RGB(0x11, 0x22, 0x33));
}

TEST_F(RichEditHostTest, ADpiChangeGivesTheEngineTheRescaledFont) {
  CRichEditUI* edit = Add();
  CTxtWinHost* host = edit->GetTextHost();
  ASSERT_NE(host, nullptr);
  const LONG before = host->GetCharFormat().yHeight;
  ASSERT_GT(before, 0);
  window_.manager().SetDPI(192);
  // The font doubles in pixels while the DC's pixels per inch stay: twice the points.
  const LONG after = host->GetCharFormat().yHeight;
  EXPECT_GE(after, before * 2 - 40);
  EXPECT_LE(after, before * 2 + 40);
}

TEST_F(RichEditHostTest, ALayeredWindowGetsTheCaretDrawnByTheControl) {
  CRichEditUI* edit = Add({{L"textcolor", L"#FF0000C0"}});
  CTxtWinHost* host = edit->GetTextHost();
  ASSERT_NE(host, nullptr);
  edit->SetFocus();
  ASSERT_TRUE(host->TxCreateCaret(nullptr, 2, 14));
  host->TxShowCaret(TRUE);
  Surface surface(300, 200, 0xFFFFFFFF);
  auto caret_pixels = [&]() {
    host->TxSetCaretPos(50, 30);
    surface.Fill(0xFFFFFFFF);
    edit->Paint(surface.dc(), edit->GetPos());
    ::GdiFlush();
    int n = 0;
    for (int y = 30; y < 44; ++y) {
      for (int x = 50; x < 52; ++x) n += (surface.At(x, y) & 0x00FFFFFF) == 0x0000C0 ? 1 : 0;
    }
    return n;
  };
  // An ordinary window shows the system caret; the control draws none.
  EXPECT_EQ(caret_pixels(), 0);
  window_.manager().SetLayered(true);
  ASSERT_TRUE(window_.manager().IsLayered());
  EXPECT_EQ(caret_pixels(), 28);
  host->TxShowCaret(FALSE);
  EXPECT_EQ(caret_pixels(), 0);
  ::DestroyCaret();
}

TEST_F(RichEditHostTest, DestroyingTheControlRemovesItsFilter) {
  CRichEditUI* edit = Add();
  edit->SetFocus();
  root_->Detach(edit);
  window_.manager().ForgetControl(edit);
  delete edit;
  Type(L"after");  // no filter left pointing at the control
  SUCCEED();
}

// A rich edit built into a subtree that the skin builder refuses (a label holds no children)
// registered its message filter and caret timer with the window's manager during the build and dies
// detached: nothing of it may stay behind for the next message or tick to reach.
TEST(RichEditBuilt, RegistrationsLeaveWithARefusedSubtree) {
  ManagedWindow window;
  CSkinBuilder builder;
  CControlUI* root = builder.Create(
      L"<Window><Label><Combo><TreeView><TreeNode><RichEdit/></TreeNode></TreeView></Combo></Label>"
      L"</Window>",
      nullptr, nullptr, &window.manager());
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(window.manager().GetTimerCount(), 0u);
  ASSERT_TRUE(window.manager().AttachRootControl(root));
  LRESULT result = 0;
  for (UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_KEYDOWN, WM_CHAR}) {
    window.manager().MessageHandler(message, 0, MAKELPARAM(5, 5), result);
  }
  window.Pump();
}

}  // namespace
