#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "tests/vellum/support/dib_surface.h"
#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/controls/edit/edit.h"
#include "vellum/core/markup/control_factory.h"

namespace {

using namespace Vellum;
using testing_support::ManagedWindow;
using testing_support::Surface;

constexpr DWORD kWhite = 0xFFFFFFFF;

// How many pixels of the surface hold exactly the colour (alpha ignored: GDI text leaves it 0).
int CountColor(const Surface& surface, DWORD argb) {
  int n = 0;
  for (int y = 0; y < surface.height(); ++y) {
    for (int x = 0; x < surface.width(); ++x) {
      n += ((surface.At(x, y) ^ argb) & 0x00FFFFFF) == 0 ? 1 : 0;
    }
  }
  return n;
}

TEST(Edit, IsCreatedByNameAndAnswersAsAnEdit) {
  std::unique_ptr<CControlUI> control(CControlFactory::GetInstance()->CreateControl(L"CEditUI"));
  ASSERT_NE(control, nullptr);
  EXPECT_STREQ(control->GetClass(), L"EditUI");
  auto* edit = static_cast<CEditUI*>(control->GetInterface(L"Edit"));
  ASSERT_EQ(edit, control.get());
  EXPECT_NE(control->GetInterface(L"Label"), nullptr);
  EXPECT_EQ(control->GetControlFlags(), UIFLAG_TABSTOP | UIFLAG_SETCURSOR);
  control->SetEnabled(false);
  EXPECT_EQ(control->GetControlFlags(), 0u);
  // Padding, background and the defaults a skin relies on.
  const RECT padding = edit->GetTextPadding();
  EXPECT_EQ(padding.left, 4);
  EXPECT_EQ(padding.top, 3);
  EXPECT_EQ(edit->GetBkColor(), kWhite);
  EXPECT_EQ(edit->GetMaxChar(), 255);
  EXPECT_EQ(edit->GetPasswordChar(), L'*');
  EXPECT_EQ(edit->GetTipValueColor(), 0xFFBAC0C5);
  EXPECT_EQ(edit->GetNativeBkColor(), kWhite);
}

// The edit keeps its text exactly as set: the line-break mark other controls translate stays as it is.
TEST(Edit, SetTextStoresTheTextAsGiven) {
  const wchar_t* const texts[] = {L"one{\\n}two", L"{\\n}", L"plain", L""};
  for (const wchar_t* text : texts) {
    CEditUI edit;
    edit.SetText(L"before");
    edit.SetText(text);
    EXPECT_EQ(edit.GetText(), text);
  }
}

TEST(Edit, AttributesSetTheirValues) {
  CEditUI edit;
  edit.SetAttribute(L"ReadOnly", L"TRUE");
  EXPECT_TRUE(edit.IsReadOnly());
  edit.SetAttribute(L"numberonly", L"true");
  EXPECT_TRUE(edit.IsNumberOnly());
  edit.SetAttribute(L"numberonly", L"no");
  EXPECT_FALSE(edit.IsNumberOnly());
  edit.SetAttribute(L"password", L"true");
  EXPECT_TRUE(edit.IsPasswordMode());
  edit.SetAttribute(L"passwordchar", L"#x");
  EXPECT_EQ(edit.GetPasswordChar(), L'#');
  edit.SetAttribute(L"maxchar", L"12");
  EXPECT_EQ(edit.GetMaxChar(), 12);
  edit.SetAttribute(L"tipvalue", L"type here");
  EXPECT_EQ(edit.GetTipValue(), L"type here");
  edit.SetAttribute(L"tipvaluecolor", L"#FF112233");
  EXPECT_EQ(edit.GetTipValueColor(), 0xFF112233);
  edit.SetAttribute(L"nativebkcolor", L"#80FFFFFF");
  EXPECT_EQ(edit.GetNativeBkColor(), 0x80FFFFFF);
  edit.SetAttribute(L"nativetextcolor", L"FF445566");
  EXPECT_EQ(edit.GetNativeTextColor(), 0xFF445566);
  edit.SetAttribute(L"focusedimage", L"focus.png");
  EXPECT_EQ(edit.GetFocusedImage(), L"focus.png");
  edit.SetAttribute(L"textcolor", L"#FF010203");  // the label's own
  EXPECT_EQ(edit.GetTextColor(), 0xFF010203);

  // "autoselall" is matched exactly, name and value.
  const struct {
    const wchar_t* name;
    const wchar_t* value;
    bool on;
  } autoselall[] = {{L"autoselall", L"true", true},
                    {L"autoselall", L"TRUE", false},
                    {L"AutoSelAll", L"true", false}};
  for (const auto& c : autoselall) {
    CEditUI fresh;
    fresh.SetAttribute(c.name, c.value);
    EXPECT_EQ(fresh.IsAutoSelAll(), c.on) << c.name << L"=" << c.value;
  }
}

TEST(Edit, PasswordTextHasOneCharacterPerCharNextStep) {
  const wchar_t* texts[] = {L"", L"a", L"secret", L"\xD83D\xDE00x", L"e\x0301"};
  for (const wchar_t* text : texts) {
    int steps = 0;
    for (const wchar_t* p = text; *p != L'\0'; p = ::CharNextW(p)) ++steps;
    const CUIString masked = MaskPasswordText(text, L'#');
    EXPECT_EQ(masked.GetLength(), steps);
    EXPECT_EQ(std::wstring(masked.GetData()).find_first_not_of(L'#'), std::wstring::npos);
  }
  EXPECT_EQ(MaskPasswordText(L"abc", L'*'), L"***");
}

// An edit attached to a manager (a message-only window, no display needed) and painted into a DIB
// the way a window paints it.
class EditPaintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = new testing_support::TestContainer();
    window_.manager().AttachRootControl(root_);
  }
  CEditUI* Add() {
    auto* edit = new CEditUI();
    edit->SetTextColor(0xFF000080);
    edit->SetDisabledTextColor(0xFF808000);
    root_->Add(edit, kRect);
    root_->SetPos(RECT{0, 0, 160, 30}, false);
    return edit;
  }
  void PaintInto(CControlUI* control, Surface& surface) {
    surface.Fill(0);
    control->Paint(surface.dc(), kRect);
    ::GdiFlush();
  }

  static constexpr RECT kRect{0, 0, 160, 30};
  ManagedWindow window_;
  testing_support::TestContainer* root_ = nullptr;
};

TEST_F(EditPaintTest, TheTipShowsWhileTheTextIsEmptyOrEqualToIt) {
  CEditUI* edit = Add();
  edit->SetTipValue(L"Search");
  Surface surface(160, 30, 0);
  const struct {
    const wchar_t* text;
    bool enabled;
    DWORD inked;
    DWORD absent;
  } cases[] = {
      {L"", true, 0xFFBAC0C5, 0xFF000080},        // the default tip colour
      {L"Search", true, 0xFFBAC0C5, 0xFF000080},  // the text equal to the tip counts as empty
      {L"Typed", true, 0xFF000080, 0xFFBAC0C5},
      {L"", false, 0xFF808000, 0xFFBAC0C5},  // disabled: the disabled colour, tip or not
      {L"Typed", false, 0xFF808000, 0xFF000080},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    edit->SetText(c.text);
    edit->SetEnabled(c.enabled);
    PaintInto(edit, surface);
    EXPECT_GT(CountColor(surface, c.inked), 0);
    EXPECT_EQ(CountColor(surface, c.absent), 0);
  }
}

TEST_F(EditPaintTest, APasswordEditPaintsItsMaskNotItsText) {
  CEditUI* password = Add();
  password->SetText(L"abc");
  password->SetAttribute(L"password", L"true");
  password->SetAttribute(L"passwordchar", L"#");
  CEditUI* plain = Add();
  Surface masked(160, 30, 0);
  Surface expected(160, 30, 0);
  const wchar_t* expected_texts[] = {L"###", L"abc"};
  for (const wchar_t* text : expected_texts) {
    plain->SetText(text);
    PaintInto(password, masked);
    PaintInto(plain, expected);
    bool same = true;
    for (int y = 0; y < 30 && same; ++y) {
      for (int x = 0; x < 160 && same; ++x) same = masked.At(x, y) == expected.At(x, y);
    }
    EXPECT_EQ(same, std::wstring(text) == L"###") << text;
  }
}

TEST_F(EditPaintTest, WithoutAFixedHeightTheFontDecidesTheHeight) {
  CEditUI* edit = Add();
  edit->SetFixedWidth(90);
  const int font_height = window_.manager().GetFontInfo(-1)->tm.tmHeight;
  SIZE size = edit->EstimateSize(SIZE{500, 500});
  EXPECT_EQ(size.cx, 90);
  EXPECT_EQ(size.cy, font_height + 6);
  edit->SetFixedHeight(40);
  size = edit->EstimateSize(SIZE{500, 500});
  EXPECT_EQ(size.cx, 90);
  EXPECT_EQ(size.cy, 40);
}

}  // namespace
