#include "vellum/controls/list/list.h"
#include "vellum/controls/list/list_element.h"
#include "vellum/controls/list/list_header.h"
#include "vellum/core/markup/control_factory.h"

namespace Vellum {
namespace {

void RegisterListFamily(CControlFactory& factory) {
  factory.RegisterControl(L"CListUI", &CListUI::CreateControl);
  factory.RegisterControl(L"CListLabelElementUI", &CListLabelElementUI::CreateControl);
  factory.RegisterControl(L"CListTextElementUI", &CListTextElementUI::CreateControl);
  factory.RegisterControl(L"CListContainerElementUI", &CListContainerElementUI::CreateControl);
  factory.RegisterControl(L"CListHeaderUI", &CListHeaderUI::CreateControl);
  factory.RegisterControl(L"CListHeaderItemUI", &CListHeaderItemUI::CreateControl);
}

const CControlFamilyRegistrar kListFamily(&RegisterListFamily);

}  // namespace
}  // namespace Vellum
