#include "vellum/controls/menu/menu.h"
#include "vellum/core/markup/control_factory.h"

namespace Vellum {
namespace {

void RegisterMenuFamily(CControlFactory& factory) {
  factory.RegisterControl(L"CMenuUI", &CMenuUI::CreateControl);
  factory.RegisterControl(L"CMenuElementUI", &CMenuElementUI::CreateControl);
}

const CControlFamilyRegistrar kMenuFamily(&RegisterMenuFamily);

}  // namespace
}  // namespace Vellum
