#pragma once

// A container that fills itself, when initialised, with the tree of another skin file.

#include <windows.h>

#include <memory>
#include <utility>

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

  // The skin builder that made this control shares its count of documents left to include: the
  // file built here is one of them, and its includes draw from the same count. Without one, the
  // file starts a count of its own.
  void ShareIncludeBudget(std::shared_ptr<int> budget) { include_budget_ = std::move(budget); }

 protected:
  CUIString xml_file_;
  std::shared_ptr<int> include_budget_;
};

}  // namespace Vellum
