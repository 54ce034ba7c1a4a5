#pragma once

// A container that fills itself, when initialised, with the tree of another skin file.

#include <windows.h>

#include "vellum/core/layout/container.h"
#include "vellum/core/base/ui_string.h"

namespace Vellum {

class CChildLayoutUI : public CContainerUI {
 public:
  CChildLayoutUI();

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  // Builds the tree of the skin file; replaces the base Init (the init event source stays quiet).
  void Init() override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;

  void SetChildLayoutXML(const wchar_t* file_name);
  const CUIString& GetChildLayoutXML() const;

 protected:
  CUIString xml_file_;
};

}  // namespace Vellum
