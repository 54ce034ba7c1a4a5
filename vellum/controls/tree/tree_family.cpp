#include "vellum/controls/tree/tree_node.h"
#include "vellum/controls/tree/tree_view.h"
#include "vellum/core/markup/control_factory.h"

namespace Vellum {
namespace {

void RegisterTreeFamily(CControlFactory& factory) {
  factory.RegisterControl(L"CTreeViewUI", &CTreeViewUI::CreateControl);
  factory.RegisterControl(L"CTreeNodeUI", &CTreeNodeUI::CreateControl);
}

const CControlFamilyRegistrar kTreeFamily(&RegisterTreeFamily);

}  // namespace
}  // namespace Vellum
