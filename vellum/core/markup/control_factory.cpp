#include "vellum/core/markup/control_factory.h"

#include <mutex>
#include <vector>

#include "vellum/core/base_controls/button.h"
#include "vellum/core/layout/child_layout.h"
#include "vellum/core/layout/container.h"
#include "vellum/core/manager/control.h"
#include "vellum/core/layout/horizontal_layout.h"
#include "vellum/core/base_controls/label.h"
#include "vellum/core/base_controls/option.h"
#include "vellum/core/base_controls/scroll_bar.h"
#include "vellum/core/layout/tab_layout.h"
#include "vellum/core/layout/tile_layout.h"
#include "vellum/core/layout/vertical_layout.h"

namespace Vellum {
namespace {

// Short element names that create an existing class. Each is registered under "C<short>UI" as
// soon as the class it stands for is registered.
const struct {
  const wchar_t* short_name;
  const wchar_t* target;
} kAliases[] = {
    {L"Box", L"CContainerUI"},         {L"HBox", L"CHorizontalLayoutUI"},
    {L"VBox", L"CVerticalLayoutUI"},   {L"TabBox", L"CTabLayoutUI"},
    {L"TileBox", L"CTileLayoutUI"},    {L"ChildBox", L"CChildLayoutUI"},
};

CUIString LowerKey(const wchar_t* name) {
  CUIString key(name);
  key.MakeLower();
  return key;
}

struct HookRegistry {
  std::mutex lock;
  std::vector<ControlRegistrationHook> hooks;
  CControlFactory* factory = nullptr;  // set once the factory has run the hooks added so far
};

// Function-local so that families' static registrars may run before anything else here.
HookRegistry& Hooks() {
  static HookRegistry registry;
  return registry;
}

}  // namespace

CControlFactory* CControlFactory::GetInstance() {
  static CControlFactory* instance = new CControlFactory();
  return instance;
}

// The core's own classes, in the framework's registration order; the families of vellum/controls
// come through their hooks after them.
CControlFactory::CControlFactory() {
  RegisterControl(L"CControlUI", &CControlUI::CreateControl);
  RegisterControl(L"CContainerUI", &CContainerUI::CreateControl);
  RegisterControl(L"CButtonUI", &CButtonUI::CreateControl);
  RegisterControl(L"CLabelUI", &CLabelUI::CreateControl);
  RegisterControl(L"COptionUI", &COptionUI::CreateControl);
  RegisterControl(L"CCheckBoxUI", &CCheckBoxUI::CreateControl);
  RegisterControl(L"CScrollBarUI", &CScrollBarUI::CreateControl);
  RegisterControl(L"CChildLayoutUI", &CChildLayoutUI::CreateControl);
  RegisterControl(L"CHorizontalLayoutUI", &CHorizontalLayoutUI::CreateControl);
  RegisterControl(L"CTabLayoutUI", &CTabLayoutUI::CreateControl);
  RegisterControl(L"CTileLayoutUI", &CTileLayoutUI::CreateControl);
  RegisterControl(L"CVerticalLayoutUI", &CVerticalLayoutUI::CreateControl);
  HookRegistry& registry = Hooks();
  std::vector<ControlRegistrationHook> hooks;
  {
    std::lock_guard<std::mutex> hold(registry.lock);
    hooks = registry.hooks;
    registry.factory = this;
  }
  for (ControlRegistrationHook hook : hooks) RunHook(hook);
}

CControlFactory::~CControlFactory() = default;

void CControlFactory::AddRegistrationHook(ControlRegistrationHook hook) {
  if (!hook) return;
  HookRegistry& registry = Hooks();
  CControlFactory* factory = nullptr;
  {
    std::lock_guard<std::mutex> hold(registry.lock);
    registry.hooks.push_back(hook);
    factory = registry.factory;
  }
  if (factory) factory->RunHook(hook);
}

void CControlFactory::RunHook(ControlRegistrationHook hook) { hook(*this); }

void CControlFactory::RegisterControl(const wchar_t* name, ControlCreator creator) {
  if (!name || name[0] == L'\0' || !creator) return;
  creators_.emplace(LowerKey(name), creator);
  for (const auto& alias : kAliases) {
    if (_wcsicmp(alias.target, name) != 0) continue;
    CUIString alias_key;
    alias_key.SmallFormat(L"C%sUI", alias.short_name);
    creators_.emplace(LowerKey(alias_key.GetData()), creator);
  }
}

CControlUI* CControlFactory::CreateControl(const wchar_t* name) const {
  if (!name) return nullptr;
  const auto found = creators_.find(LowerKey(name));
  return found == creators_.end() ? nullptr : found->second();
}

bool CControlFactory::IsRegistered(const wchar_t* name) const {
  return name && creators_.count(LowerKey(name)) != 0;
}

}  // namespace Vellum
