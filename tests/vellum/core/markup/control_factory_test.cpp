#include "vellum/core/markup/control_factory.h"

#include <gtest/gtest.h>

#include <memory>

#include "vellum/core/manager/control.h"
#include "vellum/core/base/ui_string.h"

namespace {

using namespace Vellum;

// The skin builder's key for an element name.
CUIString KeyOf(const wchar_t* element) {
  CUIString key;
  key.Format(L"C%sUI", element);
  return key;
}

// Every element name whose family is linked into this program, with the class it creates. Each
// family that joins the core's link adds its rows.
const struct {
  const wchar_t* element;
  const wchar_t* control_class;
} kLinkedNames[] = {
    {L"Control", L"ControlUI"},
    {L"control", L"ControlUI"},
    {L"CONTROL", L"ControlUI"},
    {L"Button", L"ButtonUI"},
    {L"button", L"ButtonUI"},
    {L"BUTTON", L"ButtonUI"},
    {L"Label", L"LabelUI"},
    {L"Option", L"OptionUI"},
    {L"CheckBox", L"CheckBoxUI"},
    {L"Container", L"ContainerUI"},
    {L"ScrollBar", L"ScrollBarUI"},
    {L"ChildLayout", L"ChildLayoutUI"},
    {L"HorizontalLayout", L"HorizontalLayoutUI"},
    {L"TabLayout", L"TabLayoutUI"},
    {L"TileLayout", L"TileLayoutUI"},
    {L"VerticalLayout", L"VerticalLayoutUI"},
    {L"Box", L"ContainerUI"},
    {L"HBox", L"HorizontalLayoutUI"},
    {L"hbox", L"HorizontalLayoutUI"},
    {L"VBox", L"VerticalLayoutUI"},
    {L"TabBox", L"TabLayoutUI"},
    {L"TileBox", L"TileLayoutUI"},
    {L"ChildBox", L"ChildLayoutUI"},
};

TEST(ControlFactory, TheCoresNamesResolveIgnoringCase) {
  CControlFactory* factory = CControlFactory::GetInstance();
  ASSERT_NE(factory, nullptr);
  EXPECT_EQ(factory, CControlFactory::GetInstance());
  for (const auto& entry : kLinkedNames) {
    std::unique_ptr<CControlUI> control(factory->CreateControl(KeyOf(entry.element).GetData()));
    ASSERT_NE(control, nullptr) << "no class for an element name";
    EXPECT_STREQ(control->GetClass(), entry.control_class);
  }
  EXPECT_EQ(factory->CreateControl(L"CNoSuchThingUI"), nullptr);
  EXPECT_EQ(factory->CreateControl(L""), nullptr);
  EXPECT_EQ(factory->CreateControl(nullptr), nullptr);
}

// A stand-in family: its classes only say who they are.
struct FamilyButton : CControlUI {
  const wchar_t* GetClass() const override { return L"FamilyButtonUI"; }
  static CControlUI* Create() { return new FamilyButton(); }
};
struct Impostor : CControlUI {
  const wchar_t* GetClass() const override { return L"ImpostorUI"; }
  static CControlUI* Create() { return new Impostor(); }
};

void RegisterFamily(CControlFactory& factory) {
  factory.RegisterControl(L"CFamilyButtonUI", &FamilyButton::Create);
  // A family cannot take over a class the core registered before it.
  factory.RegisterControl(L"CHorizontalLayoutUI", &Impostor::Create);
}

void RegisterLateComer(CControlFactory& factory) {
  factory.RegisterControl(L"CLateUI", &FamilyButton::Create);
  // The core's class and an already registered name keep their first creators.
  factory.RegisterControl(L"CControlUI", &Impostor::Create);
  factory.RegisterControl(L"cfamilybuttonui", &Impostor::Create);
}

// Installed before main, as a family's source file does.
const CControlFamilyRegistrar registrar(&RegisterFamily);

TEST(ControlFactory, FamiliesRegisterThroughHooksBeforeAndAfterTheFactoryExists) {
  CControlFactory* factory = CControlFactory::GetInstance();
  std::unique_ptr<CControlUI> button(factory->CreateControl(KeyOf(L"familybutton").GetData()));
  ASSERT_NE(button, nullptr);
  EXPECT_STREQ(button->GetClass(), L"FamilyButtonUI");

  std::unique_ptr<CControlUI> hbox(factory->CreateControl(KeyOf(L"HBox").GetData()));
  ASSERT_NE(hbox, nullptr);
  EXPECT_STREQ(hbox->GetClass(), L"HorizontalLayoutUI");

  EXPECT_FALSE(factory->IsRegistered(L"CLateUI"));
  CControlFactory::AddRegistrationHook(&RegisterLateComer);
  EXPECT_TRUE(factory->IsRegistered(L"clateui"));
  std::unique_ptr<CControlUI> control(factory->CreateControl(L"CCONTROLUI"));
  EXPECT_STREQ(control->GetClass(), L"ControlUI");
  std::unique_ptr<CControlUI> first(factory->CreateControl(L"CFamilyButtonUI"));
  EXPECT_STREQ(first->GetClass(), L"FamilyButtonUI");
}

}  // namespace
