#include "vellum/controls/animation/animation_tab_layout.h"
#include "vellum/controls/animation/fade_button.h"
#include "vellum/core/markup/control_factory.h"

namespace Vellum {
namespace {

void RegisterAnimationFamily(CControlFactory& factory) {
  factory.RegisterControl(L"CAnimationTabLayoutUI", &CAnimationTabLayoutUI::CreateControl);
  factory.RegisterControl(L"CFadeButtonUI", &CFadeButtonUI::CreateControl);
}

const CControlFamilyRegistrar kAnimationFamily(&RegisterAnimationFamily);

}  // namespace
}  // namespace Vellum
