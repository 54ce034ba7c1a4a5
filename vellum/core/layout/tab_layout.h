#pragma once

// Shows one child (page) at a time; the others are hidden. Selecting a page sends "tabselect".

#include <windows.h>

#include "vellum/core/layout/container.h"

namespace Vellum {

class CTabLayoutUI : public CContainerUI {
 public:
  CTabLayoutUI();

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control) override;
  void RemoveAll() override;
  void SetPos(RECT rect, bool invalidate = true) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;

  // -1 when there is no page.
  int GetCurSel() const;

  // --- virtual operations added here, in their fixed order ---
  virtual bool SelectItem(int index);
  virtual bool SelectItem(CControlUI* control);

 protected:
  int current_ = -1;
};

}  // namespace Vellum
