// The menu list and its items without a menu window: what the list accepts, sizes, separators,
// attributes, the keys that move the selection, a chosen item's posted record, and painting.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/vellum/support/dib_surface.h"
#include "tests/vellum/support/image_fixtures.h"
#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/controls/list/list_header.h"
#include "vellum/controls/menu/menu.h"
#include "vellum/controls/menu/menu_observer.h"
#include "vellum/core/base_controls/label.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using namespace Vellum;
using testing_support::SolidPng;
using testing_support::ManagedWindow;
using testing_support::Rgba;
using testing_support::Surface;

CMenuElementUI* Item(const wchar_t* name, const wchar_t* text = nullptr) {
  auto* item = new CMenuElementUI();
  item->SetName(name);
  item->SetText(text ? text : name);
  return item;
}

CMenuElementUI* Separator() {
  auto* item = new CMenuElementUI();
  item->SetLineType();
  return item;
}

void Send(CControlUI* control, int type, WORD key = 0) {
  TUIEvent event;
  event.type = type;
  event.key_char = key;
  event.sender = control;
  event.timestamp = ::GetTickCount();
  control->DoEvent(event);
}

// A menu list attached to a windowless manager, laid out at a fixed place.
class MenuListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    menu_ = new CMenuUI();
    window_.manager().AttachRootControl(menu_);
  }
  void TearDown() override {
    GetMenuObserver().SetCheckTable(nullptr);
    for (int i = 0; i < table_.GetSize(); ++i) {
      delete static_cast<TMenuCheckInfo*>(table_.Find(table_.GetAt(i), false));
    }
  }
  void Layout() { menu_->SetPos(RECT{0, 0, 200, 200}, false); }

  ManagedWindow window_;
  CMenuUI* menu_ = nullptr;
  CUIStringMap table_;
};

TEST_F(MenuListTest, TakesOnlyMenuItemsAndHidesTheirSubItems) {
  CLabelUI label;
  EXPECT_FALSE(menu_->Add(&label));
  EXPECT_FALSE(menu_->AddAt(&label, 0));
  EXPECT_FALSE(menu_->Remove(&label));
  EXPECT_EQ(menu_->GetItemIndex(&label), -1);
  EXPECT_FALSE(menu_->SetItemIndex(&label, 0));
  EXPECT_FALSE(menu_->Add(nullptr));
  EXPECT_EQ(menu_->GetCount(), 0);
  EXPECT_EQ(menu_->GetListType(), UILIST_TYPE_MENU);
  EXPECT_FALSE(menu_->GetHeader()->IsVisible());

  CMenuElementUI* parent = Item(L"parent");
  CMenuElementUI* child = Item(L"child");
  parent->Add(child);
  ASSERT_TRUE(menu_->Add(parent));
  CMenuElementUI* first = Item(L"first");
  ASSERT_TRUE(menu_->AddAt(first, 0));
  EXPECT_EQ(menu_->GetCount(), 2);
  EXPECT_EQ(menu_->GetItemIndex(parent), 1);
  EXPECT_FALSE(child->IsVisible());
  EXPECT_TRUE(parent->IsVisible());
  EXPECT_EQ(parent->GetSubItemCount(), 1);
  EXPECT_EQ(parent->GetSubItemAt(0), child);

  // The item never lays out, hit-tests or paints its sub-items.
  child->SetVisible(true);
  child->SetInheritedVisible(true);
  const RECT before = child->GetPos();
  Layout();
  EXPECT_TRUE(EqualRect(&before, &child->GetPos()));
  const RECT row = parent->GetPos();
  POINT inside{(row.left + row.right) / 2, (row.top + row.bottom) / 2};
  EXPECT_EQ(window_.manager().FindControl(inside), parent);
}

TEST_F(MenuListTest, EveryItemTakesTheWidestWidthAndSeparatorsAreThin) {
  CMenuElementUI* wide = Item(L"wide");
  wide->SetFixedWidth(220);
  menu_->Add(Item(L"a"));
  menu_->Add(Separator());
  menu_->Add(wide);
  const SIZE size = menu_->EstimateSize(SIZE{1000, 1000});
  EXPECT_EQ(size.cx, 220);
  EXPECT_EQ(size.cy, 30 + 6 + 30);
  for (int i = 0; i < menu_->GetCount(); ++i) EXPECT_EQ(menu_->GetItemAt(i)->GetFixedWidth(), 220);

  struct Case {
    int height_before;
    int height_after;
  };
  for (const Case& c : {Case{30, 6}, Case{0, 6}, Case{20, 20}}) {
    SCOPED_TRACE(c.height_before);
    CMenuElementUI item;
    item.SetFixedHeight(c.height_before);
    item.SetAttribute(L"linetype", L"True");
    EXPECT_TRUE(item.IsLineType());
    EXPECT_EQ(item.GetFixedHeight(), c.height_after);
    EXPECT_FALSE(item.IsEnabled());
    EXPECT_FALSE(item.IsMouseEnabled());
    EXPECT_FALSE(item.IsMouseChildEnabled());
  }
  CMenuElementUI plain;
  plain.SetAttribute(L"linetype", L"false");
  EXPECT_FALSE(plain.IsLineType());
  EXPECT_TRUE(plain.IsEnabled());
}

TEST_F(MenuListTest, AttributesAreReadAsWritten) {
  CMenuElementUI item;
  EXPECT_EQ(item.GetFixedWidth(), 150);
  EXPECT_EQ(item.GetFixedHeight(), 30);
  EXPECT_EQ(item.GetLineColor(), 0xFFBCBFC4u);
  item.SetAttribute(L"ICONSIZE", L"20,18");
  item.SetAttribute(L"linepadding", L"1,2,3,4");
  item.SetAttribute(L"linecolor", L"#FF112233");
  item.SetAttribute(L"expland", L"TRUE");
  item.SetAttribute(L"checkitem", L"true");
  item.SetAttribute(L"icon", L"file='tick.png'");
  item.SetAttribute(L"height", L"26");
  item.SetAttribute(L"tooltip", L"from the base");
  EXPECT_EQ(item.GetIconSize().cx, 20);
  EXPECT_EQ(item.GetIconSize().cy, 18);
  const RECT padding = item.GetLinePadding();
  EXPECT_EQ(padding.left, 1);
  EXPECT_EQ(padding.top, 2);
  EXPECT_EQ(padding.right, 3);
  EXPECT_EQ(padding.bottom, 4);
  EXPECT_EQ(item.GetLineColor(), 0xFF112233u);
  EXPECT_TRUE(item.IsShowExpandArrow());
  EXPECT_TRUE(item.IsCheckItem());
  EXPECT_EQ(item.GetIcon(), L"file='tick.png'");
  EXPECT_EQ(item.GetFixedHeight(), 26);
  EXPECT_EQ(item.GetToolTip(), L"from the base");
  item.SetAttribute(L"linecolor", L"FF445566");
  EXPECT_EQ(item.GetLineColor(), 0xFF445566u);
  // The spelling the skins use is the one that works.
  item.SetAttribute(L"expand", L"false");
  EXPECT_TRUE(item.IsShowExpandArrow());
}

TEST_F(MenuListTest, UpAndDownStepOverSeparatorsAndStopAtTheEnds) {
  CMenuElementUI* a = Item(L"a");
  CMenuElementUI* b = Item(L"b");
  CMenuElementUI* c = Item(L"c");
  CMenuElementUI* off = Item(L"off");
  off->SetEnabled(false);
  menu_->Add(a);
  menu_->Add(Separator());
  menu_->Add(b);
  menu_->Add(c);
  menu_->Add(off);
  Layout();
  ASSERT_TRUE(menu_->SelectItem(0, true));
  struct Step {
    WORD key;
    int selected;
  };
  const Step steps[] = {{VK_DOWN, 2}, {VK_DOWN, 3}, {VK_DOWN, 3},
                        {VK_UP, 2},   {VK_UP, 0},   {VK_UP, 0}};
  for (const Step& step : steps) {
    CControlUI* focused = window_.manager().GetFocus();
    ASSERT_NE(focused, nullptr);
    Send(focused, UIEVENT_KEYDOWN, step.key);
    EXPECT_EQ(menu_->GetCurSel(), step.selected) << (step.key == VK_DOWN ? "down" : "up");
  }
  // Right on a leaf only selects it (there is nothing to open).
  Send(b, UIEVENT_KEYDOWN, VK_RIGHT);
  EXPECT_EQ(menu_->GetCurSel(), 2);
  EXPECT_EQ(b->GetMenuWnd(), nullptr);
}

TEST_F(MenuListTest, WithNoCurrentItemDownAndUpTakeTheFirstAndLastEnabledItems) {
  CMenuElementUI* off = Item(L"off");
  off->SetEnabled(false);
  CMenuElementUI* a = Item(L"a");
  CMenuElementUI* b = Item(L"b");
  CMenuElementUI* off_too = Item(L"off too");
  off_too->SetEnabled(false);
  menu_->Add(Separator());
  menu_->Add(off);
  menu_->Add(a);
  menu_->Add(b);
  menu_->Add(off_too);
  menu_->Add(Separator());
  Layout();
  struct Case {
    const char* what;
    CControlUI* receiver;  // where the key arrives: the list, or an item that kept the focus
    WORD key;
    int selected;
  };
  const Case cases[] = {
      {"down, the list focused", menu_, VK_DOWN, 2},
      {"up, the list focused", menu_, VK_UP, 3},
      {"down, the pointer left a focused item", b, VK_DOWN, 2},
      {"up, the pointer left a focused item", a, VK_UP, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.receiver == menu_) {
      menu_->SelectItem(-1, false);
      window_.manager().SetFocus(menu_);
    } else {
      ASSERT_TRUE(menu_->SelectItem(menu_->GetItemIndex(c.receiver), true));
      Send(c.receiver, UIEVENT_MOUSELEAVE);
    }
    ASSERT_EQ(menu_->GetCurSel(), -1);
    Send(c.receiver, UIEVENT_KEYDOWN, c.key);
    EXPECT_EQ(menu_->GetCurSel(), c.selected);
    EXPECT_EQ(window_.manager().GetFocus(), menu_->GetItemAt(c.selected));
  }
  // A menu with nothing to select stays as it is.
  menu_->SelectItem(-1, false);
  a->SetEnabled(false);
  b->SetEnabled(false);
  Send(menu_, UIEVENT_KEYDOWN, VK_DOWN);
  Send(menu_, UIEVENT_KEYDOWN, VK_UP);
  EXPECT_EQ(menu_->GetCurSel(), -1);
}

TEST_F(MenuListTest, ReturnChoosesALeafAsAClickDoes) {
  ManagedWindow main_window;
  GetMenuObserver().SetMainManager(&main_window.manager());
  GetMenuObserver().SetCheckTable(&table_);
  CMenuElementUI* leaf = Item(L"wrap", L"Word wrap");
  leaf->SetCheckItem(true);
  menu_->Add(Item(L"other"));
  menu_->Add(leaf);
  Layout();
  struct Case {
    const char* what;
    bool to_list;  // the list has the focus, the leaf is its current item
    BOOL checked;
  };
  const Case cases[] = {
      {"return on the focused item", false, TRUE},
      {"return while the list has the focus", true, FALSE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(menu_->SelectItem(1, true));
    if (c.to_list) window_.manager().SetFocus(menu_);
    Send(c.to_list ? static_cast<CControlUI*>(menu_) : leaf, UIEVENT_KEYDOWN, VK_RETURN);
    const std::vector<MSG> posted = main_window.TakeQueued(kMenuCommandMessage);
    ASSERT_EQ(posted.size(), 1u);
    auto* command = reinterpret_cast<TMenuCommand*>(posted[0].wParam);
    EXPECT_EQ(posted[0].lParam, reinterpret_cast<LPARAM>(leaf));
    EXPECT_STREQ(command->name, L"wrap");
    EXPECT_EQ(command->checked, c.checked);
    EXPECT_EQ(leaf->GetChecked(), c.checked == TRUE);
    delete command;
  }
}

TEST_F(MenuListTest, ChoosingALeafTogglesItsCheckPostsOneRecordAndSeparatorsPostNothing) {
  ManagedWindow main_window;
  GetMenuObserver().SetMainManager(&main_window.manager());
  GetMenuObserver().SetCheckTable(&table_);
  CMenuElementUI* leaf = Item(L"wrap", L"Word wrap");
  leaf->SetUserData(std::wstring(2000, L'u').c_str());
  CMenuElementUI* line = Separator();
  menu_->Add(leaf);
  menu_->Add(line);
  Layout();

  Send(leaf, UIEVENT_BUTTONUP);
  EXPECT_TRUE(leaf->GetChecked());
  std::vector<MSG> posted = main_window.TakeQueued(kMenuCommandMessage);
  ASSERT_EQ(posted.size(), 1u);
  auto* command = reinterpret_cast<TMenuCommand*>(posted[0].wParam);
  EXPECT_EQ(posted[0].lParam, reinterpret_cast<LPARAM>(leaf));
  EXPECT_STREQ(command->name, L"wrap");
  EXPECT_STREQ(command->text, L"Word wrap");
  EXPECT_EQ(std::wstring(command->user_data), std::wstring(1023, L'u'));
  EXPECT_EQ(command->checked, TRUE);
  delete command;  // the receiver's part

  Send(leaf, UIEVENT_BUTTONUP);
  posted = main_window.TakeQueued(kMenuCommandMessage);
  ASSERT_EQ(posted.size(), 1u);
  command = reinterpret_cast<TMenuCommand*>(posted[0].wParam);
  EXPECT_EQ(command->checked, FALSE);
  delete command;

  Send(line, UIEVENT_BUTTONUP);
  leaf->SetEnabled(false);
  Send(leaf, UIEVENT_BUTTONUP);
  EXPECT_TRUE(main_window.TakeQueued(kMenuCommandMessage).empty());
  EXPECT_FALSE(leaf->GetChecked());
}

TEST_F(MenuListTest, PaintsTheSeparatorLineTheCheckIconOnlyWhileCheckedAndTheExpandArrow) {
  constexpr DWORD kPaper = 0xFFFFFFFF;
  SolidPng tick(L"menu_test_tick.png", 16, 16, Rgba{0, 0, 255, 255});
  SolidPng arrow(L"menu_test_arrow.png", 8, 8, Rgba{255, 0, 0, 255});
  GetMenuObserver().SetCheckTable(&table_);
  window_.manager().AddDefaultAttributeList(L"ExplandIcon", L"file='menu_test_arrow.png'");
  menu_->GetListInfo()->text_padding = RECT{30, 0, 0, 0};
  menu_->GetListInfo()->bk_color = 0;
  CMenuElementUI* check = Item(L"check");
  check->SetCheckItem(true);
  check->SetIcon(L"file='menu_test_tick.png'");
  CMenuElementUI* line = Separator();
  line->SetLineColor(0xFF102030);
  CMenuElementUI* more = Item(L"more");
  more->SetShowExpandArrow(true);
  menu_->Add(check);
  menu_->Add(line);
  menu_->Add(more);
  menu_->SetPos(RECT{0, 0, 150, 66}, false);

  auto paint = [&](Surface& surface) {
    menu_->Paint(surface.dc(), RECT{0, 0, surface.width(), surface.height()});
    GdiFlush();
  };
  Surface unchecked(150, 66, kPaper);
  paint(unchecked);
  // The icon's place: ((30 - 16) / 2, (30 - 16) / 2) inside the item.
  EXPECT_EQ(unchecked.At(7 + 8, 7 + 8) & 0xFFFFFF, kPaper & 0xFFFFFF);
  // The separator: 6 high, the line at its middle between the paddings (29 and 7).
  EXPECT_EQ(unchecked.At(29 + 1, 33) & 0xFFFFFF, 0x102030u);
  EXPECT_EQ(unchecked.At(150 - 7 - 2, 33) & 0xFFFFFF, 0x102030u);
  EXPECT_EQ(unchecked.At(29 - 2, 33) & 0xFFFFFF, kPaper & 0xFFFFFF);
  EXPECT_EQ(unchecked.At(60, 31) & 0xFFFFFF, kPaper & 0xFFFFFF);
  // The arrow: right-aligned with a margin of 20 / 3, centred in the 30 high item at y 36.
  const int arrow_right = 150 - 6;
  EXPECT_EQ(unchecked.At(arrow_right - 4, 36 + 15) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(unchecked.At(arrow_right + 2, 36 + 15) & 0xFFFFFF, kPaper & 0xFFFFFF);

  check->SetChecked(true);
  Surface checked(150, 66, kPaper);
  paint(checked);
  EXPECT_EQ(checked.At(7 + 8, 7 + 8) & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(checked.At(7 + 17, 7 + 8) & 0xFFFFFF, kPaper & 0xFFFFFF);
}

}  // namespace
