#include "vellum/controls/activex/activex.h"
#include "vellum/controls/activex/flash.h"
#include "vellum/controls/activex/web_browser.h"
#include "vellum/core/markup/control_factory.h"

namespace Vellum {
namespace {

void RegisterActiveXFamily(CControlFactory& factory) {
  factory.RegisterControl(L"CActiveXUI", &CActiveXUI::CreateControl);
  factory.RegisterControl(L"CWebBrowserUI", &CWebBrowserUI::CreateControl);
  factory.RegisterControl(L"CFlashUI", &CFlashUI::CreateControl);
}

const CControlFamilyRegistrar kActiveXFamily(&RegisterActiveXFamily);

}  // namespace
}  // namespace Vellum
