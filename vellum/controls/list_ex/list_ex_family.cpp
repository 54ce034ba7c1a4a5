#include "vellum/controls/list_ex/list_ex.h"
#include "vellum/controls/list_ex/list_ex_element.h"
#include "vellum/controls/list_ex/list_ex_header_item.h"
#include "vellum/core/markup/control_factory.h"

namespace Vellum {
namespace {

void RegisterListExFamily(CControlFactory& factory) {
  factory.RegisterControl(L"CListExUI", &CListExUI::CreateControl);
  factory.RegisterControl(L"CListContainerHeaderItemUI",
                          &CListContainerHeaderItemUI::CreateControl);
  factory.RegisterControl(L"CListTextExtElementUI", &CListTextExtElementUI::CreateControl);
}

const CControlFamilyRegistrar kListExFamily(&RegisterListExFamily);

}  // namespace
}  // namespace Vellum
