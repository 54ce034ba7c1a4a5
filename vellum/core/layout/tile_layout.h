#pragma once

// Places its visible children in a grid of equal cells, each child centred in its cell. With an
// item width the number of columns follows from the layout's width.

#include <windows.h>

#include "vellum/core/layout/container.h"

namespace Vellum {

class CTileLayoutUI : public CContainerUI {
 public:
  CTileLayoutUI();

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  void SetPos(RECT rect, bool invalidate = true) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;

  // Scaled by the attached manager's DPI; stored as given.
  SIZE GetItemSize() const;
  void SetItemSize(SIZE size);
  int GetColumns() const;
  // Stored only when greater than 0.
  void SetColumns(int columns);

 protected:
  SIZE item_size_{0, 0};
  int columns_ = 1;
};

}  // namespace Vellum
