#pragma once

// An editable list in a windowless manager: three columns 60 wide under a header 20 high (a
// checkable one, an editable one, a combo one), and text rows 20 high with a 12 x 12 check box.

#include <windows.h>

#include <string>
#include <vector>

#include "tests/vellum/support/container_test_controls.h"
#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/controls/list/list_header.h"
#include "vellum/controls/list_ex/list_ex.h"
#include "vellum/controls/list_ex/list_ex_element.h"
#include "vellum/controls/list_ex/list_ex_header_item.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/layout/vertical_layout.h"

namespace testing_support {

constexpr int kColumnWidth = 60;
constexpr int kHeaderHeight = 20;
constexpr int kRowHeight = 20;
constexpr int kCheckColumn = 0;
constexpr int kEditColumn = 1;
constexpr int kComboColumn = 2;

struct ListExFixture {
  ManagedWindow window;
  NotificationRecorder recorder;
  Vellum::CListExUI* list = new Vellum::CListExUI();
  std::vector<Vellum::CListContainerHeaderItemUI*> items;
  std::vector<Vellum::CListTextExtElementUI*> rows;
  POINT origin;

  // message_only false: a visible window of the list's size (needs a display). A non-zero origin
  // puts the list there inside a root layout, away from the window's corner.
  explicit ListExFixture(int row_count = 4, bool message_only = true, POINT at = POINT{0, 0})
      : window(message_only, 200 + at.x, 120 + at.y), origin(at) {
    list->GetHeader()->SetFixedHeight(kHeaderHeight);
    const wchar_t* flags[] = {L"checkable", L"editable", L"comboable"};
    for (const wchar_t* flag : flags) {
      auto* item = new Vellum::CListContainerHeaderItemUI();
      item->SetFixedWidth(kColumnWidth);
      item->SetAttribute(flag, L"true");
      item->SetAttribute(L"checkboxwidth", L"12");
      item->SetAttribute(L"checkboxheight", L"12");
      items.push_back(item);
      list->Add(item);
    }
    for (int i = 0; i < row_count; ++i) AddRow();
    if (origin.x != 0 || origin.y != 0) {
      auto* root = new Vellum::CVerticalLayoutUI();
      root->SetInset(RECT{origin.x, origin.y, 0, 0});
      root->Add(list);
      window.manager().AttachRootControl(root);
    } else {
      window.manager().AttachRootControl(list);
    }
    window.manager().AddNotifier(&recorder);
    Layout();
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
      for (int column = 0; column < 3; ++column) {
        rows[i]->SetText(column,
                         (L"r" + std::to_wstring(i) + L"c" + std::to_wstring(column)).c_str());
      }
    }
  }

  Vellum::CListTextExtElementUI* AddRow() {
    auto* row = new Vellum::CListTextExtElementUI();
    row->SetFixedHeight(kRowHeight);
    row->SetAttribute(L"checkboxwidth", L"12");
    row->SetAttribute(L"checkboxheight", L"12");
    rows.push_back(row);
    list->Add(row);
    return row;
  }

  void Layout() { list->SetPos(RECT{origin.x, origin.y, origin.x + 200, origin.y + 120}, false); }

  static void Send(Vellum::CControlUI* control, int type, POINT point, WPARAM wParam = 0) {
    Vellum::TUIEvent event;
    event.type = type;
    event.sender = control;
    event.mouse_point = point;
    event.wParam = wParam;
    control->Event(event);
  }
  static void Click(Vellum::CControlUI* control, POINT point) {
    Send(control, Vellum::UIEVENT_BUTTONDOWN, point);
    Send(control, Vellum::UIEVENT_BUTTONUP, point);
  }

  // A point inside a column of a row, away from its check box.
  static POINT CellPoint(Vellum::CControlUI* row, int column) {
    const RECT& pos = row->GetPos();
    return POINT{pos.left + column * kColumnWidth + 40, pos.top + kRowHeight / 2};
  }
  static POINT CheckBoxPoint(Vellum::CControlUI* control) {
    const RECT& pos = control->GetPos();
    return POINT{pos.left + 10, pos.top + (pos.bottom - pos.top) / 2};
  }
  // The list gets the focus through a row, as a click gives it.
  void FocusList(int row = 0) { window.manager().SetFocus(rows[row]); }

  size_t Count(const wchar_t* type) const { return recorder.OfType(type).size(); }
};

}  // namespace testing_support
