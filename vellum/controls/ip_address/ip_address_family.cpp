#include "vellum/controls/ip_address/ip_address.h"
#include "vellum/controls/ip_address/ip_address_ex.h"
#include "vellum/core/markup/control_factory.h"

namespace Vellum {
namespace {

void RegisterIPAddressFamily(CControlFactory& factory) {
  factory.RegisterControl(L"CIPAddressUI", &CIPAddressUI::CreateControl);
  factory.RegisterControl(L"CIPAddressExUI", &CIPAddressExUI::CreateControl);
}

const CControlFamilyRegistrar kIPAddressFamily(&RegisterIPAddressFamily);

}  // namespace
}  // namespace Vellum
