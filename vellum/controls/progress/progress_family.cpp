#include "vellum/controls/progress/progress.h"
#include "vellum/controls/progress/slider.h"
#include "vellum/core/markup/control_factory.h"

namespace Vellum {
namespace {

void RegisterProgressFamily(CControlFactory& factory) {
  factory.RegisterControl(L"CProgressUI", &CProgressUI::CreateControl);
  factory.RegisterControl(L"CSliderUI", &CSliderUI::CreateControl);
}

const CControlFamilyRegistrar kProgressFamily(&RegisterProgressFamily);

}  // namespace
}  // namespace Vellum
