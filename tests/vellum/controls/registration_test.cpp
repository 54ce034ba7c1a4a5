// Every class name the controls library registers, created by name from skin XML. A family whose
// static registrar the linker dropped fails here: the builder skips an element nothing creates.

#include <gtest/gtest.h>
#include <windows.h>

#include <cwctype>
#include <string>

#include "vellum/core/manager/control.h"
#include "vellum/core/markup/control_factory.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/dialog_builder.h"

namespace {

struct Registered {
  const wchar_t* element;
  const wchar_t* class_name;
};

// One row per class of every family in vellum/controls.
const Registered kRegistered[] = {
    {L"Progress", L"ProgressUI"},
    {L"Slider", L"SliderUI"},
    {L"Loading", L"Loading"},
    {L"ColorPalette", L"ColorPaletteUI"},
    {L"Edit", L"EditUI"},
    {L"HotKey", L"HotKeyUI"},
    {L"Text", L"TextUI"},
    {L"GifAnim", L"GifAnimUI"},
    {L"SequenceFrame", L"SequenceFrameUI"},
    {L"List", L"ListUI"},
    {L"ListLabelElement", L"ListLabelElementUI"},
    {L"ListTextElement", L"ListTextElementUI"},
    {L"ListContainerElement", L"ListContainerElementUI"},
    {L"ListHeader", L"ListHeaderUI"},
    {L"ListHeaderItem", L"ListHeaderItemUI"},
    {L"Combo", L"ComboUI"},
    {L"ComboBox", L"ComboBoxUI"},
    {L"RichEdit", L"RichEditUI"},
    {L"ListEx", L"XListUI"},
    {L"ListContainerHeaderItem", L"ListContainerHeaderItemUI"},
    {L"ListTextExtElement", L"ListTextExElementUI"},
    {L"TreeView", L"TreeViewUI"},
    {L"TreeNode", L"TreeNodeUI"},
    {L"Menu", L"MenuUI"},
    {L"MenuElement", L"MenuElementUI"},
    {L"DateTime", L"DateTimeUI"},
    {L"IPAddress", L"IPAddressUI"},
    {L"IPAddressEx", L"IPAddressExUI"},
    {L"ActiveX", L"ActiveXUI"},
    {L"WebBrowser", L"WebBrowserUI"},
    {L"Flash", L"FlashUI"},
    {L"AnimationTabLayout", L"AnimationTabLayoutUI"},
    {L"FadeButton", L"FadeButtonUI"},
    {L"RollText", L"RollTextUI"},
    {L"Ring", L"RingUI"},
    {L"GroupBox", L"GroupBoxUI"},
};

// Every class name of the framework, core and families, as the factory knows it, then the short
// aliases of the layouts: a program that links the controls library can create each of them by name.
struct FactoryName {
  const wchar_t* name;
  const wchar_t* class_name;
};
const FactoryName kFactoryNames[] = {
    {L"CControlUI", L"ControlUI"},
    {L"CContainerUI", L"ContainerUI"},
    {L"CButtonUI", L"ButtonUI"},
    {L"CComboUI", L"ComboUI"},
    {L"CComboBoxUI", L"ComboBoxUI"},
    {L"CDateTimeUI", L"DateTimeUI"},
    {L"CEditUI", L"EditUI"},
    {L"CActiveXUI", L"ActiveXUI"},
    {L"CFlashUI", L"FlashUI"},
    {L"CGifAnimUI", L"GifAnimUI"},
    {L"CSequenceFrameUI", L"SequenceFrameUI"},
    {L"CGroupBoxUI", L"GroupBoxUI"},
    {L"CIPAddressUI", L"IPAddressUI"},
    {L"CIPAddressExUI", L"IPAddressExUI"},
    {L"CLabelUI", L"LabelUI"},
    {L"CListUI", L"ListUI"},
    {L"CListHeaderUI", L"ListHeaderUI"},
    {L"CListHeaderItemUI", L"ListHeaderItemUI"},
    {L"CListLabelElementUI", L"ListLabelElementUI"},
    {L"CListTextElementUI", L"ListTextElementUI"},
    {L"CListContainerElementUI", L"ListContainerElementUI"},
    {L"CMenuUI", L"MenuUI"},
    {L"CMenuElementUI", L"MenuElementUI"},
    {L"COptionUI", L"OptionUI"},
    {L"CCheckBoxUI", L"CheckBoxUI"},
    {L"CProgressUI", L"ProgressUI"},
    {L"CRichEditUI", L"RichEditUI"},
    {L"CScrollBarUI", L"ScrollBarUI"},
    {L"CSliderUI", L"SliderUI"},
    {L"CTextUI", L"TextUI"},
    {L"CTreeNodeUI", L"TreeNodeUI"},
    {L"CTreeViewUI", L"TreeViewUI"},
    {L"CWebBrowserUI", L"WebBrowserUI"},
    {L"CAnimationTabLayoutUI", L"AnimationTabLayoutUI"},
    {L"CChildLayoutUI", L"ChildLayoutUI"},
    {L"CHorizontalLayoutUI", L"HorizontalLayoutUI"},
    {L"CTabLayoutUI", L"TabLayoutUI"},
    {L"CTileLayoutUI", L"TileLayoutUI"},
    {L"CVerticalLayoutUI", L"VerticalLayoutUI"},
    {L"CRollTextUI", L"RollTextUI"},
    {L"CColorPaletteUI", L"ColorPaletteUI"},
    {L"CListExUI", L"XListUI"},
    {L"CListContainerHeaderItemUI", L"ListContainerHeaderItemUI"},
    {L"CListTextExtElementUI", L"ListTextExElementUI"},
    {L"CHotKeyUI", L"HotKeyUI"},
    {L"CFadeButtonUI", L"FadeButtonUI"},
    {L"CRingUI", L"RingUI"},
    {L"CLoadingUI", L"Loading"},
    // The aliases.
    {L"CBoxUI", L"ContainerUI"},
    {L"CHBoxUI", L"HorizontalLayoutUI"},
    {L"CVBoxUI", L"VerticalLayoutUI"},
    {L"CTabBoxUI", L"TabLayoutUI"},
    {L"CTileBoxUI", L"TileLayoutUI"},
    {L"CChildBoxUI", L"ChildLayoutUI"},
};

std::wstring Lower(std::wstring text) {
  for (wchar_t& ch : text) ch = static_cast<wchar_t>(towlower(ch));
  return text;
}

TEST(ControlsRegistration, EveryFamilyClassIsCreatedFromSkinXml) {
  Vellum::CPaintManagerUI manager;
  for (const Registered& row : kRegistered) {
    // Element names compare ignoring case.
    for (const std::wstring& element : {std::wstring(row.element), Lower(row.element)}) {
      const std::wstring xml = L"<Window><" + element + L" name=\"probe\"/></Window>";
      Vellum::CSkinBuilder builder;
      Vellum::CControlUI* control = builder.Create(xml.c_str(), nullptr, nullptr, &manager);
      ASSERT_NE(control, nullptr) << testing::PrintToString(element);
      EXPECT_STREQ(control->GetClass(), row.class_name) << testing::PrintToString(element);
      EXPECT_EQ(control->GetName(), L"probe");
      delete control;
    }
  }
}

TEST(ControlFactory, EveryClassOfTheFrameworkAndEveryAliasIsCreatedByName) {
  static_assert(sizeof(kFactoryNames) / sizeof(kFactoryNames[0]) == 48 + 6, "48 classes and 6 aliases");
  Vellum::CControlFactory* factory = Vellum::CControlFactory::GetInstance();
  for (const FactoryName& row : kFactoryNames) {
    Vellum::CControlUI* control = factory->CreateControl(row.name);
    ASSERT_NE(control, nullptr) << testing::PrintToString(row.name);
    EXPECT_STREQ(control->GetClass(), row.class_name) << testing::PrintToString(row.name);
    delete control;
  }
  EXPECT_EQ(factory->CreateControl(L"CNoSuchControlUI"), nullptr);
}

}  // namespace
