#include "vellum/controls/rich_edit/rich_edit.h"
#include "vellum/core/markup/control_factory.h"

namespace Vellum {
namespace {

void RegisterRichEditFamily(CControlFactory& factory) {
  factory.RegisterControl(L"CRichEditUI", &CRichEditUI::CreateControl);
}

const CControlFamilyRegistrar kRichEditFamily(&RegisterRichEditFamily);

}  // namespace
}  // namespace Vellum
