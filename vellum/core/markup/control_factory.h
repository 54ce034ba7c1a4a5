#pragma once

// Maps the class names of skin elements to creators of new controls. The core registers its own
// classes; every later control family registers its classes through a registration hook, so the
// core links without any family and a name resolves as soon as its family is linked in.
//
// A family installs its hook with a static CControlFamilyRegistrar in one of its source files.
// Nothing refers to that object by name, so the family's objects must be linked whole (an OBJECT
// library, or a static library linked with WHOLE_ARCHIVE), else the linker drops the registrar.

#include <map>

#include "vellum/core/base/ui_string.h"

namespace Vellum {

class CControlUI;
class CControlFactory;

// Returns a new control allocated on the heap, or null.
using ControlCreator = CControlUI* (*)();
// Registers a family's classes with the factory.
using ControlRegistrationHook = void (*)(CControlFactory& factory);

class CControlFactory {
 public:
  // Created on first use (thread-safe); never deleted.
  static CControlFactory* GetInstance();

  // Hooks run in the order they were added. A hook added after the factory exists runs at once,
  // so the order of static initialisation between libraries does not matter.
  static void AddRegistrationHook(ControlRegistrationHook hook);

  // The name is lower-cased; a name already present keeps its first creator. Registering the
  // target of a short alias ("HBox" for "CHorizontalLayoutUI") registers the alias with it.
  void RegisterControl(const wchar_t* name, ControlCreator creator);
  // Lower-cases the name; null for an unknown name.
  CControlUI* CreateControl(const wchar_t* name) const;
  bool IsRegistered(const wchar_t* name) const;

  virtual ~CControlFactory();

  CControlFactory(const CControlFactory&) = delete;
  CControlFactory& operator=(const CControlFactory&) = delete;

 private:
  CControlFactory();
  void RunHook(ControlRegistrationHook hook);

  std::map<CUIString, ControlCreator> creators_;  // lower-case key -> creator
};

// A static object of a family's source file that adds the family's hook before main runs.
class CControlFamilyRegistrar {
 public:
  explicit CControlFamilyRegistrar(ControlRegistrationHook hook) {
    CControlFactory::AddRegistrationHook(hook);
  }
};

}  // namespace Vellum
