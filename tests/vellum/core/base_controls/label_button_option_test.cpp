#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/vellum/support/dib_surface.h"
#include "tests/vellum/support/image_fixtures.h"
#include "vellum/core/base_controls/button.h"
#include "vellum/core/layout/horizontal_layout.h"
#include "vellum/core/base_controls/label.h"
#include "vellum/core/base_controls/option.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"
#include "vellum/core/layout/tab_layout.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/layout/vertical_layout.h"

namespace {

using namespace Vellum;
using testing_support::Rgba;
using testing_support::Surface;

struct Sent {
  std::wstring type;
  CControlUI* sender;
  WPARAM wParam;
};

class NotifyRecorder : public INotifyUI {
 public:
  void Notify(TUINotification& msg) override {
    sent.push_back({msg.type.GetData(), msg.sender, msg.wParam});
  }
  std::vector<std::wstring> Types() const {
    std::vector<std::wstring> types;
    for (const Sent& s : sent) types.push_back(s.type);
    return types;
  }
  int Count(const wchar_t* type, CControlUI* sender) const {
    int n = 0;
    for (const Sent& s : sent) n += (s.type == type && s.sender == sender) ? 1 : 0;
    return n;
  }
  std::vector<Sent> sent;
};

// A hidden window whose manager holds a vertical layout as root; controls are added to the root.
class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    manager_.Init(window_);
    root_ = new CVerticalLayoutUI();
    manager_.AttachRootControl(root_);
    manager_.AddNotifier(&recorder_);
  }
  void TearDown() override {
    manager_.RemoveNotifier(&recorder_);
    DestroyWindow(window_);
  }

  // Adds the control to the root, attaches it and places it at rect.
  template <typename T>
  T* Add(T* control, RECT rect = RECT{0, 0, 100, 30}) {
    root_->Add(control);
    manager_.InitControls(control, root_);
    control->SetPos(rect, false);
    return control;
  }

  static TUIEvent Event(int type, POINT point = POINT{5, 5}, WORD key = 0) {
    TUIEvent event;
    event.type = type;
    event.mouse_point = point;
    event.key_char = key;
    return event;
  }
  void Send(CControlUI* control, int type, POINT point = POINT{5, 5}, WORD key = 0) {
    TUIEvent event = Event(type, point, key);
    event.sender = control;
    control->Event(event);
  }

  HWND window_ = nullptr;
  CPaintManagerUI manager_;
  CVerticalLayoutUI* root_ = nullptr;
  NotifyRecorder recorder_;
};

// ---- Label ----------------------------------------------------------------------------------------

TEST(LabelStyle, AlignmentAndBreakAttributesSetTheTextStyle) {
  struct Case {
    std::vector<std::pair<const wchar_t*, const wchar_t*>> attributes;
    UINT expected;
  };
  const UINT kDefault = DT_SINGLELINE | DT_VCENTER;
  const Case cases[] = {
      {{}, kDefault},
      {{{L"align", L"center"}}, kDefault | DT_CENTER},
      // "right" is applied last, so it wins over "center".
      {{{L"align", L"center right"}}, kDefault | DT_RIGHT},
      {{{L"align", L"right"}, {L"align", L"left"}}, kDefault},
      {{{L"valign", L"top"}}, DT_SINGLELINE},
      {{{L"valign", L"bottom"}}, DT_SINGLELINE | DT_BOTTOM},
      {{{L"valign", L"bottom"}, {L"valign", L"vcenter"}}, DT_SINGLELINE | DT_VCENTER},
      {{{L"wordbreak", L"true"}}, DT_VCENTER | DT_WORDBREAK | DT_EDITCONTROL},
      {{{L"wordbreak", L"TRUE"}, {L"wordbreak", L"false"}}, kDefault},
      {{{L"endellipsis", L"true"}}, kDefault | DT_END_ELLIPSIS},
      {{{L"noprefix", L"true"}, {L"noprefix", L"no"}}, kDefault},
      {{{L"ALIGN", L"center"}}, kDefault | DT_CENTER},
  };
  for (const Case& c : cases) {
    CLabelUI label;
    std::wstring trace;
    for (const auto& a : c.attributes) {
      label.SetAttribute(a.first, a.second);
      trace += std::wstring(a.first) + L"=" + a.second + L" ";
    }
    EXPECT_EQ(label.GetTextStyle(), c.expected) << std::string(trace.begin(), trace.end());
  }
  CButtonUI button;
  EXPECT_EQ(button.GetTextStyle(), kDefault | DT_CENTER);
}

TEST_F(ControlsTest, SingleLineLabelEstimatesFontHeightPlusEightAndPadding) {
  CLabelUI* label = Add(new CLabelUI());
  label->SetText(L"Hello");
  label->SetAttribute(L"textpadding", L"2,3,4,5");
  const LONG font_height = manager_.GetDefaultFontInfo()->tm.tmHeight;
  ASSERT_GT(font_height, 0);
  EXPECT_EQ(label->EstimateSize(SIZE{400, 300}).cy, font_height + 8 + 3 + 5);
  EXPECT_EQ(label->EstimateSize(SIZE{400, 300}).cx, 0);  // no automatic width
}

TEST_F(ControlsTest, LabelWithFixedSizeNeverMeasures) {
  CLabelUI* label = Add(new CLabelUI());
  label->SetAttribute(L"autocalcwidth", L"true");
  label->SetFixedWidth(40);
  label->SetFixedHeight(20);
  label->SetText(L"A text much wider than forty pixels");
  const SIZE size = label->EstimateSize(SIZE{400, 300});
  EXPECT_EQ(size.cx, 40);
  EXPECT_EQ(size.cy, 20);
}

TEST_F(ControlsTest, AutoWidthLabelTakesItsTextWidthAndRelaysItsParent) {
  auto* row = new CHorizontalLayoutUI();
  root_->Add(row);
  manager_.InitControls(row, root_);
  auto* label = new CLabelUI();
  row->Add(label);
  manager_.InitControls(label, row);
  label->SetAttribute(L"autocalcwidth", L"true");
  label->SetAttribute(L"textpadding", L"3,0,7,0");
  label->SetText(L"Short");
  row->SetPos(RECT{0, 0, 400, 40}, false);

  label->SetText(L"A considerably longer text");
  EXPECT_TRUE(row->IsUpdateNeeded());
  row->SetPos(RECT{0, 0, 400, 40}, false);
  const SIZE text = CRenderUI::GetTextSize(manager_.GetPaintDC(), &manager_,
                                           L"A considerably longer text", -1);
  EXPECT_EQ(label->GetPos().right - label->GetPos().left, text.cx + 10);
}

TEST_F(ControlsTest, AutoHeightLabelMeasuresWrappedLines) {
  CLabelUI* label = Add(new CLabelUI());
  label->SetAttribute(L"wordbreak", L"true");
  label->SetAttribute(L"autocalcheight", L"true");
  label->SetAttribute(L"textpadding", L"4,2,6,3");
  label->SetFixedWidth(60);
  const wchar_t* text = L"one two three four five six seven eight";
  label->SetText(text);

  HDC dc = manager_.GetPaintDC();
  HGDIOBJ old = SelectObject(dc, manager_.GetFont(-1));
  RECT measured{4, 0, 60 - 6, 9999};
  DrawTextW(dc, text, -1, &measured, DT_WORDBREAK | DT_EDITCONTROL | DT_VCENTER | DT_CALCRECT);
  SelectObject(dc, old);
  ASSERT_GT(measured.bottom - measured.top, manager_.GetDefaultFontInfo()->tm.tmHeight);
  EXPECT_EQ(label->EstimateSize(SIZE{400, 300}).cy, measured.bottom - measured.top + 2 + 3);
}

TEST_F(ControlsTest, LabelTakesTheManagersDefaultColoursOnceAtItsFirstPaint) {
  manager_.SetDefaultFontColor(0xFF112233);
  CLabelUI* label = Add(new CLabelUI());
  label->SetText(L"x");
  Surface surface(100, 30, 0xFFFFFFFF);
  label->Paint(surface.dc(), RECT{0, 0, 100, 30});
  EXPECT_EQ(label->GetTextColor(), 0xFF112233u);
  manager_.SetDefaultFontColor(0xFF445566);
  label->Paint(surface.dc(), RECT{0, 0, 100, 30});
  EXPECT_EQ(label->GetTextColor(), 0xFF112233u);
}

// ---- Button ---------------------------------------------------------------------------------------

TEST_F(ControlsTest, ButtonClicksOnlyWhenReleasedInside) {
  CButtonUI* button = Add(new CButtonUI(), RECT{0, 0, 50, 20});
  Send(button, UIEVENT_BUTTONDOWN, POINT{10, 10});
  EXPECT_EQ(button->GetButtonState() & (UISTATE_PUSHED | UISTATE_CAPTURED),
            UISTATE_PUSHED | UISTATE_CAPTURED);
  Send(button, UIEVENT_MOUSEMOVE, POINT{80, 10});
  EXPECT_EQ(button->GetButtonState() & UISTATE_PUSHED, 0u);
  Send(button, UIEVENT_BUTTONUP, POINT{80, 10});
  EXPECT_EQ(recorder_.Count(L"click", button), 0);
  EXPECT_EQ(button->GetButtonState() & (UISTATE_PUSHED | UISTATE_CAPTURED), 0u);

  Send(button, UIEVENT_BUTTONDOWN, POINT{10, 10});
  Send(button, UIEVENT_BUTTONUP, POINT{12, 12});
  EXPECT_EQ(recorder_.Count(L"click", button), 1);

  // A release without a press inside is no click.
  Send(button, UIEVENT_BUTTONUP, POINT{12, 12});
  EXPECT_EQ(recorder_.Count(L"click", button), 1);

  Send(button, UIEVENT_KEYDOWN, POINT{0, 0}, VK_SPACE);
  Send(button, UIEVENT_KEYDOWN, POINT{0, 0}, VK_RETURN);
  Send(button, UIEVENT_KEYDOWN, POINT{0, 0}, 'A');
  EXPECT_EQ(recorder_.Count(L"click", button), 3);
  button->SetKeyboardEnabled(false);
  Send(button, UIEVENT_KEYDOWN, POINT{0, 0}, VK_SPACE);
  EXPECT_EQ(recorder_.Count(L"click", button), 3);

  Send(button, UIEVENT_CONTEXTMENU);
  EXPECT_EQ(recorder_.Count(L"menu", button), 0);
  button->SetContextMenuUsed(true);
  Send(button, UIEVENT_CONTEXTMENU);
  EXPECT_EQ(recorder_.Count(L"menu", button), 1);
}

TEST_F(ControlsTest, DisabledButtonIgnoresPressesButTakesFocus) {
  CButtonUI* button = Add(new CButtonUI(), RECT{0, 0, 50, 20});
  button->SetEnabled(false);
  EXPECT_NE(button->GetButtonState() & UISTATE_DISABLED, 0u);
  Send(button, UIEVENT_BUTTONDOWN, POINT{10, 10});
  EXPECT_EQ(button->GetButtonState() & UISTATE_PUSHED, 0u);
  Send(button, UIEVENT_BUTTONUP, POINT{10, 10});
  EXPECT_EQ(recorder_.Count(L"click", button), 0);
  EXPECT_FALSE(button->Activate());
  Send(button, UIEVENT_SETFOCUS);
  EXPECT_TRUE(button->IsFocused());
  Send(button, UIEVENT_KILLFOCUS);
  EXPECT_FALSE(button->IsFocused());
  button->SetEnabled(true);
  EXPECT_EQ(button->GetButtonState() & UISTATE_DISABLED, 0u);
}

TEST_F(ControlsTest, RichEventsAreSentOnlyWhenAskedFor) {
  CButtonUI* plain = Add(new CButtonUI(), RECT{0, 0, 50, 20});
  CButtonUI* rich = Add(new CButtonUI(), RECT{0, 20, 50, 40});
  rich->SetRichEvent(true);
  for (CButtonUI* button : {plain, rich}) {
    const POINT inside{10, button->GetPos().top + 5};
    Send(button, UIEVENT_MOUSEENTER, inside);
    EXPECT_NE(button->GetButtonState() & UISTATE_HOT, 0u);
    Send(button, UIEVENT_BUTTONDOWN, inside);
    Send(button, UIEVENT_BUTTONUP, inside);
    Send(button, UIEVENT_MOUSELEAVE, inside);
    EXPECT_EQ(button->GetButtonState() & UISTATE_HOT, 0u);
  }
  EXPECT_EQ(recorder_.Count(L"click", plain), 1);
  EXPECT_EQ(recorder_.Count(L"mouseenter", plain) + recorder_.Count(L"buttondown", plain) +
                recorder_.Count(L"mouseleave", plain),
            0);
  EXPECT_EQ(recorder_.Count(L"mouseenter", rich), 1);
  EXPECT_EQ(recorder_.Count(L"buttondown", rich), 1);
  EXPECT_EQ(recorder_.Count(L"mouseleave", rich), 1);
  EXPECT_EQ(recorder_.Count(L"click", rich), 1);
}

TEST(ButtonAttributes, TableOfFieldsAndTheirNames) {
  CButtonUI button;
  button.SetAttribute(L"normalimage", L"n.png");
  button.SetAttribute(L"HotImage", L"h.png");
  button.SetAttribute(L"pushedimage", L"p.png");
  button.SetAttribute(L"focusedimage", L"f.png");
  button.SetAttribute(L"disabledimage", L"d.png");
  button.SetAttribute(L"hotforeimage", L"hf.png");
  button.SetAttribute(L"pushedforeimage", L"pf.png");
  button.SetAttribute(L"hotbkcolor", L"#FF010203");
  button.SetAttribute(L"pushedbkcolor", L"FF040506");
  button.SetAttribute(L"disabledbkcolor", L"#FF070809");
  button.SetAttribute(L"hottextcolor", L"#FF0A0B0C");
  button.SetAttribute(L"pushedtextcolor", L"#FF0D0E0F");
  button.SetAttribute(L"focusedtextcolor", L"#FF101112");
  button.SetAttribute(L"hotfont", L"1");
  button.SetAttribute(L"pushedfont", L"2");
  button.SetAttribute(L"focuedfont", L"3");
  // The three border colours are matched exactly as written.
  button.SetAttribute(L"hotbordercolor", L"#FF131415");
  button.SetAttribute(L"PushedBorderColor", L"#FF161718");
  button.SetAttribute(L"disabledbordercolor", L"#FF191A1B");
  button.SetAttribute(L"bindtabindex", L"2");
  button.SetAttribute(L"bindtabindex", L"-1");  // ignored: the index stays

  EXPECT_STREQ(button.GetNormalImage(), L"n.png");
  EXPECT_STREQ(button.GetHotImage(), L"h.png");
  EXPECT_STREQ(button.GetPushedImage(), L"p.png");
  EXPECT_STREQ(button.GetFocusedImage(), L"f.png");
  EXPECT_STREQ(button.GetDisabledImage(), L"d.png");
  EXPECT_STREQ(button.GetHotForeImage(), L"hf.png");
  EXPECT_STREQ(button.GetPushedForeImage(), L"pf.png");
  EXPECT_EQ(button.GetHotBkColor(), 0xFF010203u);
  EXPECT_EQ(button.GetPushedBkColor(), 0xFF040506u);
  EXPECT_EQ(button.GetDisabledBkColor(), 0xFF070809u);
  EXPECT_EQ(button.GetHotTextColor(), 0xFF0A0B0Cu);
  EXPECT_EQ(button.GetPushedTextColor(), 0xFF0D0E0Fu);
  EXPECT_EQ(button.GetFocusedTextColor(), 0xFF101112u);
  EXPECT_EQ(button.GetHotFont(), 1);
  EXPECT_EQ(button.GetPushedFont(), 2);
  EXPECT_EQ(button.GetFocusedFont(), 3);
  EXPECT_EQ(button.GetHotBorderColor(), 0xFF131415u);
  EXPECT_EQ(button.GetPushedBorderColor(), 0u);
  EXPECT_EQ(button.GetDisabledBorderColor(), 0xFF191A1Bu);
  EXPECT_EQ(button.GetBindTabLayoutIndex(), 2);

  // A state strip set after the normal image discards it, so the strip is cut at the next paint.
  button.SetAttribute(L"stateimage", L"strip.png");
  EXPECT_STREQ(button.GetNormalImage(), L"");
}

// ---- Texts made on first use -----------------------------------------------------------------------

template <typename T>
struct TTextField {
  const wchar_t* attribute;
  const wchar_t* (T::*get)() const;
  void (T::*set)(const wchar_t*);
};

// Each text reads empty on a fresh control and stays empty when cleared there; it is set through its
// attribute name and its setter (inline-length and heap-length texts) and cleared again, and setting
// it leaves every other text of the table empty.
template <typename T, size_t N>
void CheckTextsMadeOnFirstUse(const TTextField<T> (&fields)[N]) {
  const std::wstring long_text(100, L'x');
  for (const TTextField<T>& field : fields) {
    SCOPED_TRACE(field.attribute);
    T control;
    for (const TTextField<T>& other : fields) EXPECT_STREQ((control.*other.get)(), L"");
    (control.*field.set)(nullptr);
    (control.*field.set)(L"");
    control.SetAttribute(field.attribute, L"");
    EXPECT_STREQ((control.*field.get)(), L"");

    control.SetAttribute(field.attribute, L"a.png");
    EXPECT_STREQ((control.*field.get)(), L"a.png");
    for (const TTextField<T>& other : fields) {
      if (&other != &field) {
        EXPECT_STREQ((control.*other.get)(), L"") << other.attribute;
      }
    }
    (control.*field.set)(long_text.c_str());
    EXPECT_STREQ((control.*field.get)(), long_text.c_str());
    (control.*field.set)(nullptr);
    EXPECT_STREQ((control.*field.get)(), L"");
    (control.*field.set)(L"b.png");
    EXPECT_STREQ((control.*field.get)(), L"b.png");
    control.SetAttribute(field.attribute, L"");
    EXPECT_STREQ((control.*field.get)(), L"");
  }
}

TEST(ButtonTexts, ReadEmptyUntilSetAndClearAgain) {
  const TTextField<CButtonUI> fields[] = {
      {L"normalimage", &CButtonUI::GetNormalImage, &CButtonUI::SetNormalImage},
      {L"hotimage", &CButtonUI::GetHotImage, &CButtonUI::SetHotImage},
      {L"pushedimage", &CButtonUI::GetPushedImage, &CButtonUI::SetPushedImage},
      {L"focusedimage", &CButtonUI::GetFocusedImage, &CButtonUI::SetFocusedImage},
      {L"disabledimage", &CButtonUI::GetDisabledImage, &CButtonUI::SetDisabledImage},
      {L"hotforeimage", &CButtonUI::GetHotForeImage, &CButtonUI::SetHotForeImage},
      {L"pushedforeimage", &CButtonUI::GetPushedForeImage, &CButtonUI::SetPushedForeImage},
      {L"stateimage", &CButtonUI::GetStateImage, &CButtonUI::SetStateImage},
      {L"bindtablayoutname", &CButtonUI::GetBindTabLayoutName, &CButtonUI::BindTabLayoutName},
  };
  CheckTextsMadeOnFirstUse(fields);
}

TEST(OptionTexts, ReadEmptyUntilSetAndClearAgain) {
  const TTextField<COptionUI> fields[] = {
      {L"group", &COptionUI::GetGroup, &COptionUI::SetGroup},
      {L"grouptype", &COptionUI::GetGroupType, &COptionUI::SetGroupType},
      {L"selectedimage", &COptionUI::GetSelectedImage, &COptionUI::SetSelectedImage},
      {L"selectedhotimage", &COptionUI::GetSelectedHotImage, &COptionUI::SetSelectedHotImage},
      {L"selectedpushedimage", &COptionUI::GetSelectedPushedImage,
       &COptionUI::SetSelectedPushedImage},
      {L"selectedforeimage", &COptionUI::GetSelectedForeImage, &COptionUI::SetSelectedForeImage},
      {L"selectedstateimage", &COptionUI::GetSelectedStateImage,
       &COptionUI::SetSelectedStateImage},
  };
  CheckTextsMadeOnFirstUse(fields);
}

TEST(ControlImages, ReadEmptyUntilSetAndClearAgain) {
  const TTextField<CControlUI> fields[] = {
      {L"bkimage", &CControlUI::GetBkImage, &CControlUI::SetBkImage},
      {L"foreimage", &CControlUI::GetForeImage, &CControlUI::SetForeImage},
  };
  CheckTextsMadeOnFirstUse(fields);
}

// Strips of one to four 10x10 frames, red, green, blue and yellow ("wb_strip<count>.png"), and the
// 150 % variant of the four-frame strip (15x15 frames).
class ButtonStripTest : public ControlsTest {
 protected:
  static void WriteStrip(const wchar_t* name, int frame, int count) {
    const Rgba colours[4] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 0, 255}};
    std::vector<Rgba> pixels;
    for (int y = 0; y < frame; ++y) {
      for (int x = 0; x < frame * count; ++x) pixels.push_back(colours[x / frame]);
    }
    const std::string png = testing_support::EncodePng(frame * count, frame, pixels);
    FILE* file = _wfopen(name, L"wb");
    ASSERT_NE(file, nullptr);
    fwrite(png.data(), 1, png.size(), file);
    fclose(file);
  }
  void SetUp() override {
    for (int count = 1; count <= 4; ++count) {
      WriteStrip((L"wb_strip" + std::to_wstring(count) + L".png").c_str(), 10, count);
    }
    WriteStrip(L"wb_strip4@150.png", 15, 4);
    ControlsTest::SetUp();
  }
  DWORD PaintedCentre(CButtonUI* button) {
    const RECT pos = button->GetPos();
    Surface surface(pos.right, pos.bottom, 0xFF000000);
    button->Paint(surface.dc(), pos);
    return surface.At((pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2) & 0xFFFFFF;
  }
};

constexpr DWORD kRed = 0xFF0000;
constexpr DWORD kGreen = 0x00FF00;
constexpr DWORD kBlue = 0x0000FF;
constexpr DWORD kYellow = 0xFFFF00;

TEST_F(ButtonStripTest, StateFramesAreCutFromTheStrip) {
  struct Case {
    int count;
    DWORD normal, hot, pushed, disabled;
  };
  // With two frames hot and pushed share the second; with four the fourth is the disabled one.
  const Case cases[] = {
      {1, kRed, kRed, kRed, kRed},
      {2, kRed, kGreen, kGreen, kRed},
      {3, kRed, kGreen, kBlue, kRed},
      {4, kRed, kGreen, kBlue, kYellow},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.count);
    CButtonUI* button = Add(new CButtonUI(), RECT{0, 0, 10, 10});
    const std::wstring strip = L"wb_strip" + std::to_wstring(c.count) + L".png";
    button->SetAttribute(L"stateimage", strip.c_str());
    button->SetAttribute(L"statecount", std::to_wstring(c.count).c_str());
    EXPECT_EQ(PaintedCentre(button), c.normal);
    Send(button, UIEVENT_MOUSEENTER);
    EXPECT_EQ(PaintedCentre(button), c.hot);
    Send(button, UIEVENT_BUTTONDOWN);
    EXPECT_EQ(PaintedCentre(button), c.pushed);
    Send(button, UIEVENT_BUTTONUP, POINT{500, 500});
    Send(button, UIEVENT_MOUSELEAVE);
    button->SetEnabled(false);
    EXPECT_EQ(PaintedCentre(button), c.disabled);
    root_->Remove(button);
  }
}

// The frames are written back as the skin would write them: at 150 % the strip's @150 variant is
// cut at its own frame width and nothing is scaled or renamed twice.
TEST_F(ButtonStripTest, StripIsCutAtEveryScale) {
  manager_.SetDPI(144);
  CButtonUI* button = Add(new CButtonUI(), RECT{0, 0, 15, 15});
  button->SetAttribute(L"stateimage", L"wb_strip4.png");
  button->SetAttribute(L"statecount", L"4");
  EXPECT_EQ(PaintedCentre(button), kRed);
  Send(button, UIEVENT_MOUSEENTER);
  EXPECT_EQ(PaintedCentre(button), kGreen);
  const RECT pos = button->GetPos();
  Surface surface(pos.right, pos.bottom, 0xFF000000);
  button->Paint(surface.dc(), pos);
  // The whole 15x15 frame is green: no red from the neighbouring frame, no black gap.
  EXPECT_EQ(surface.At(0, 0) & 0xFFFFFF, kGreen);
  EXPECT_EQ(surface.At(14, 14) & 0xFFFFFF, kGreen);
}

TEST_F(ControlsTest, StateColoursPaintByPriority) {
  CButtonUI* button = Add(new CButtonUI(), RECT{0, 0, 20, 20});
  button->SetBkColor(0xFF000080);
  button->SetAttribute(L"hotbkcolor", L"#FF00FF00");
  button->SetAttribute(L"pushedbkcolor", L"#FFFF0000");
  auto colour = [&] {
    Surface surface(20, 20, 0xFFFFFFFF);
    button->Paint(surface.dc(), RECT{0, 0, 20, 20});
    return surface.At(10, 10) & 0xFFFFFF;
  };
  EXPECT_EQ(colour(), 0x000080u);
  Send(button, UIEVENT_MOUSEENTER);
  EXPECT_EQ(colour(), 0x00FF00u);
  Send(button, UIEVENT_BUTTONDOWN);
  EXPECT_EQ(colour(), 0xFF0000u);
}

TEST_F(ControlsTest, BoundTabSelectsOnlyARealTabLayout) {
  auto* tabs = new CTabLayoutUI();
  tabs->SetName(L"pages");
  for (int i = 0; i < 3; ++i) tabs->Add(new CLabelUI());
  Add(tabs, RECT{0, 0, 100, 100});
  CLabelUI* not_tabs = Add(new CLabelUI());
  not_tabs->SetName(L"caption");
  manager_.InitControls(root_);
  ASSERT_EQ(manager_.FindControl(L"pages"), tabs);

  CButtonUI* button = Add(new CButtonUI());
  button->SetAttribute(L"bindtablayoutname", L"pages");
  button->SetAttribute(L"bindtabindex", L"2");
  EXPECT_TRUE(button->Activate());
  EXPECT_EQ(tabs->GetCurSel(), 2);
  button->BindTriggerTabSel(1);
  EXPECT_EQ(tabs->GetCurSel(), 1);

  // A name that finds a label: the click goes out and nothing else happens.
  CButtonUI* stray = Add(new CButtonUI());
  stray->SetAttribute(L"bindtablayoutname", L"caption");
  stray->SetAttribute(L"bindtabindex", L"0");
  EXPECT_TRUE(stray->Activate());
  EXPECT_EQ(recorder_.Count(L"click", stray), 1);
  EXPECT_EQ(tabs->GetCurSel(), 1);
}

// ---- Option and check box --------------------------------------------------------------------------

TEST_F(ControlsTest, SelectingAGroupMemberDeselectsTheOthers) {
  COptionUI* options[3];
  for (auto*& option : options) {
    option = new COptionUI();
    option->SetAttribute(L"group", L"g");
    Add(option);
  }
  options[0]->Selected(true);
  options[2]->Selected(true);
  EXPECT_FALSE(options[0]->IsSelected());
  recorder_.sent.clear();

  options[1]->Selected(true);
  EXPECT_FALSE(options[0]->IsSelected());
  EXPECT_TRUE(options[1]->IsSelected());
  EXPECT_FALSE(options[2]->IsSelected());
  EXPECT_EQ(recorder_.Count(L"selectchanged", options[2]), 1);
  EXPECT_EQ(recorder_.Count(L"selectchanged", options[1]), 1);
  EXPECT_EQ(recorder_.Count(L"selectchanged", options[0]), 0);  // it was not selected
  EXPECT_NE(options[1]->GetButtonState() & UISTATE_SELECTED, 0u);
  EXPECT_EQ(options[2]->GetButtonState() & UISTATE_SELECTED, 0u);
}

TEST_F(ControlsTest, MembersOfTheSameGroupTypeStaySelectedTogether) {
  COptionUI* a = Add(new COptionUI());
  COptionUI* b = Add(new COptionUI());
  COptionUI* c = Add(new COptionUI());
  for (COptionUI* option : {a, b, c}) option->SetAttribute(L"group", L"g");
  a->SetAttribute(L"grouptype", L"t");
  b->SetAttribute(L"grouptype", L"T");
  a->Selected(true);
  b->Selected(true);
  EXPECT_TRUE(a->IsSelected());
  EXPECT_TRUE(b->IsSelected());
  c->Selected(true);
  EXPECT_FALSE(a->IsSelected());
  EXPECT_FALSE(b->IsSelected());
}

TEST_F(ControlsTest, ClickKeepsAGroupedOptionSelectedAndTogglesAFreeOne) {
  COptionUI* grouped = Add(new COptionUI());
  grouped->SetAttribute(L"group", L"g");
  COptionUI* free_option = Add(new COptionUI());
  EXPECT_TRUE(grouped->Activate());
  EXPECT_TRUE(grouped->IsSelected());
  EXPECT_TRUE(grouped->Activate());
  EXPECT_TRUE(grouped->IsSelected());
  EXPECT_EQ(recorder_.Count(L"click", grouped), 2);
  EXPECT_EQ(recorder_.Count(L"selectchanged", grouped), 1);

  free_option->Activate();
  EXPECT_TRUE(free_option->IsSelected());
  free_option->Activate();
  EXPECT_FALSE(free_option->IsSelected());
}

TEST_F(ControlsTest, AnOptionLeavingItsGroupIsNoLongerDeselectedByIt) {
  COptionUI* a = Add(new COptionUI());
  COptionUI* b = Add(new COptionUI());
  a->SetAttribute(L"group", L"g");
  b->SetAttribute(L"group", L"g");
  a->Selected(true);
  a->SetGroup(nullptr);
  EXPECT_STREQ(a->GetGroup(), L"");
  ASSERT_NE(manager_.GetOptionGroup(L"g"), nullptr);
  EXPECT_EQ(manager_.GetOptionGroup(L"g")->Find(a), -1);
  b->Selected(true);
  EXPECT_TRUE(a->IsSelected());

  // Deleting a grouped option takes it out of the manager's group.
  auto* gone = new COptionUI();
  gone->SetManager(&manager_, nullptr, false);
  gone->SetAttribute(L"group", L"g");
  ASSERT_NE(manager_.GetOptionGroup(L"g")->Find(gone), -1);
  delete gone;
  EXPECT_EQ(manager_.GetOptionGroup(L"g")->Find(gone), -1);
}

TEST_F(ControlsTest, CheckBoxRulesAndAutoCheck) {
  CCheckBoxUI* box = Add(new CCheckBoxUI(), RECT{0, 0, 20, 20});
  EXPECT_EQ(box->GetInterface(L"Option"), static_cast<COptionUI*>(box));
  EXPECT_EQ(box->GetInterface(L"Button"), static_cast<CButtonUI*>(box));
  EXPECT_EQ(box->GetInterface(L"Label"), static_cast<CLabelUI*>(box));
  EXPECT_STREQ(box->GetClass(), L"CheckBoxUI");

  box->SetCheck(true);
  box->SetCheck(false);
  ASSERT_EQ(recorder_.sent.size(), 2u);
  EXPECT_EQ(recorder_.sent[0].wParam, 1u);
  EXPECT_EQ(recorder_.sent[1].wParam, 0u);

  // Without auto-check a click toggles through Activate; with it the press itself toggles.
  recorder_.sent.clear();
  Send(box, UIEVENT_BUTTONDOWN);
  Send(box, UIEVENT_BUTTONUP);
  EXPECT_TRUE(box->GetCheck());
  box->SetAttribute(L"enableautocheck", L"true");
  EXPECT_TRUE(box->IsAutoCheck());
  recorder_.sent.clear();
  Send(box, UIEVENT_BUTTONDOWN);
  EXPECT_FALSE(box->GetCheck());
  EXPECT_EQ(recorder_.Types(), (std::vector<std::wstring>{L"selectchanged", L"checkclick"}));
  Send(box, UIEVENT_BUTTONDOWN, POINT{50, 50});
  EXPECT_FALSE(box->GetCheck());

  // In a group, a box that is deselected says nothing.
  CCheckBoxUI* other = Add(new CCheckBoxUI(), RECT{0, 20, 20, 40});
  box->SetAttribute(L"group", L"boxes");
  other->SetAttribute(L"group", L"boxes");
  box->SetCheck(true);
  recorder_.sent.clear();
  other->SetCheck(true);
  EXPECT_FALSE(box->GetCheck());
  EXPECT_EQ(recorder_.Count(L"selectchanged", box), 0);
  EXPECT_EQ(recorder_.Count(L"selectchanged", other), 1);
}

TEST_F(ButtonStripTest, SelectedOptionPaintsItsOwnColourAndImages) {
  COptionUI* option = Add(new COptionUI(), RECT{0, 0, 10, 10});
  option->SetBkColor(0xFF000080);
  option->SetAttribute(L"selectedbkcolor", L"#FF00FF00");
  option->SetAttribute(L"normalimage", L"file='wb_strip4.png' source='30,0,40,10'");
  option->SetAttribute(L"selectedstateimage", L"wb_strip3.png");
  option->SetAttribute(L"selectedstatecount", L"3");
  EXPECT_EQ(PaintedCentre(option), kYellow);
  option->Selected(true);
  EXPECT_EQ(PaintedCentre(option), kRed);  // frame 0 of the selected strip
  Send(option, UIEVENT_MOUSEENTER);
  EXPECT_EQ(PaintedCentre(option), kGreen);
  Send(option, UIEVENT_BUTTONDOWN);
  EXPECT_EQ(PaintedCentre(option), kBlue);

  COptionUI* plain = Add(new COptionUI(), RECT{0, 0, 10, 10});
  plain->SetAttribute(L"selectedbkcolor", L"#FF00FF00");
  plain->Selected(true);
  EXPECT_EQ(PaintedCentre(plain), kGreen);
}

// An option given one image draws it in its own state only, from the block that image made; the
// frames of the four-frame strip are red, green, blue and yellow, and black is the unpainted surface.
TEST_F(ButtonStripTest, EachImageSetAloneDrawsInItsStateOnly) {
  enum class State { kNormal, kHot, kPushed, kFocused, kDisabled, kSelected, kSelectedHot,
                     kSelectedPushed };
  struct Case {
    const wchar_t* attribute;
    int frame;
    State state;
  };
  const Case cases[] = {
      {L"bkimage", 0, State::kNormal},
      {L"foreimage", 1, State::kNormal},
      {L"normalimage", 2, State::kNormal},
      {L"hotimage", 1, State::kHot},
      {L"pushedimage", 2, State::kPushed},
      {L"focusedimage", 0, State::kFocused},
      {L"disabledimage", 3, State::kDisabled},
      {L"hotforeimage", 1, State::kHot},
      {L"pushedforeimage", 2, State::kPushed},
      {L"selectedimage", 0, State::kSelected},
      {L"selectedhotimage", 1, State::kSelectedHot},
      {L"selectedpushedimage", 2, State::kSelectedPushed},
      {L"selectedforeimage", 3, State::kSelected},
  };
  const DWORD frames[] = {kRed, kGreen, kBlue, kYellow};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.attribute);
    COptionUI* option = Add(new COptionUI(), RECT{0, 0, 10, 10});
    wchar_t image[96];
    swprintf(image, 96, L"file='wb_strip4.png' source='%d,0,%d,10'", c.frame * 10,
             c.frame * 10 + 10);
    option->SetAttribute(c.attribute, image);
    if (c.state != State::kNormal) {
      EXPECT_EQ(PaintedCentre(option), 0u);
    }
    switch (c.state) {
      case State::kNormal:
        break;
      case State::kHot:
        Send(option, UIEVENT_MOUSEENTER);
        break;
      case State::kPushed:
        Send(option, UIEVENT_BUTTONDOWN);
        break;
      case State::kFocused:
        manager_.SetFocus(option);
        break;
      case State::kDisabled:
        option->SetEnabled(false);
        break;
      case State::kSelected:
        option->Selected(true);
        break;
      case State::kSelectedHot:
        option->Selected(true);
        Send(option, UIEVENT_MOUSEENTER);
        break;
      case State::kSelectedPushed:
        option->Selected(true);
        Send(option, UIEVENT_BUTTONDOWN);
        break;
    }
    EXPECT_EQ(PaintedCentre(option), frames[c.frame]);
    root_->Remove(option);
  }
}

}  // namespace
