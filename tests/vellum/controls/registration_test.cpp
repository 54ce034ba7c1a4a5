// Every class name the controls library registers, created by name from skin XML. A family whose
// static registrar the linker dropped fails here: the builder skips an element nothing creates.

#include <gtest/gtest.h>
#include <windows.h>

#include <cwctype>
#include <string>

#include "vellum/core/manager/control.h"
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

}  // namespace
