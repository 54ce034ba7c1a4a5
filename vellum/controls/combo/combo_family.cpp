#include "vellum/controls/combo/combo.h"
#include "vellum/controls/combo/combo_box.h"
#include "vellum/core/markup/control_factory.h"

namespace Vellum {
namespace {

void RegisterComboFamily(CControlFactory& factory) {
  factory.RegisterControl(L"CComboUI", &CComboUI::CreateControl);
  factory.RegisterControl(L"CComboBoxUI", &CComboBoxUI::CreateControl);
}

const CControlFamilyRegistrar kComboFamily(&RegisterComboFamily);

}  // namespace
}  // namespace Vellum
