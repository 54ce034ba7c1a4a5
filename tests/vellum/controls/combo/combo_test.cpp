// The combo without its drop-down: selection by code, keys and wheel, rows added and removed
// around the selection, the attributes, and the combo box's arrow strip.

#include "vellum/controls/combo/combo.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "tests/vellum/support/container_test_controls.h"
#include "tests/vellum/support/dib_surface.h"
#include "tests/vellum/support/image_fixtures.h"
#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/controls/combo/combo_box.h"
#include "vellum/controls/list/list_element.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/base_controls/label.h"
#include "vellum/core/layout/vertical_layout.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using testing_support::NotificationRecorder;
using Vellum::CComboBoxUI;
using Vellum::CComboUI;
using Vellum::CControlUI;
using Vellum::CListLabelElementUI;
using Vellum::IListItemUI;
using Vellum::IListOwnerUI;
using Vellum::TUIEvent;

// A combo in a message-only window with `count` label rows named "row 0", "row 1", ...
struct Combo {
  testing_support::ManagedWindow window;
  NotificationRecorder recorder;
  CComboUI* combo;
  explicit Combo(int count = 3, CComboUI* made = new CComboUI()) : combo(made) {
    for (int i = 0; i < count; ++i) combo->Add(MakeRow(i));
    window.manager().AttachRootControl(combo);
    window.manager().AddNotifier(&recorder);
    combo->SetPos(RECT{0, 0, 150, 24}, false);
  }
  static CListLabelElementUI* MakeRow(int number) {
    auto* row = static_cast<CListLabelElementUI*>(CListLabelElementUI::CreateControl());
    row->SetText((L"row " + std::to_wstring(number)).c_str());
    row->SetFixedHeight(20);
    return row;
  }
  IListItemUI* Row(int index) const {
    return static_cast<IListItemUI*>(combo->GetItemAt(index)->GetInterface(L"ListItem"));
  }
  std::vector<std::pair<int, int>> ItemSelects() const {
    std::vector<std::pair<int, int>> found;
    for (const auto& heard : recorder.OfType(L"itemselect")) {
      found.emplace_back(static_cast<int>(heard.wParam), static_cast<int>(heard.lParam));
    }
    return found;
  }
  std::vector<int> Indexes() const {
    std::vector<int> found;
    for (int i = 0; i < combo->GetCount(); ++i) found.push_back(Row(i)->GetIndex());
    return found;
  }
  void Event(int type, WPARAM wParam = 0, WORD key = 0) {
    TUIEvent event;
    event.type = type;
    event.wParam = wParam;
    event.key_char = key;
    combo->DoEvent(event);
  }
};

TEST(Combo, AnswersAsACloseSelectorAndAListOwnerOfTypeCombo) {
  Combo c;
  EXPECT_STREQ(c.combo->GetClass(), L"ComboUI");
  EXPECT_EQ(c.combo->GetInterface(L"Combo"), c.combo);
  auto* owner = static_cast<IListOwnerUI*>(c.combo->GetInterface(L"IListOwner"));
  ASSERT_NE(owner, nullptr);
  EXPECT_EQ(owner->GetListType(), Vellum::UILIST_TYPE_COMBO);
  EXPECT_EQ(c.combo->GetControlFlags(), Vellum::UIFLAG_TABSTOP | Vellum::UIFLAG_SETCURSOR);
  EXPECT_EQ(owner->GetListInfo()->text_style, static_cast<UINT>(DT_VCENTER));
  EXPECT_EQ(c.combo->GetCurSel(), -1);
  EXPECT_EQ(c.Row(1)->GetOwner(), owner);
  EXPECT_EQ(c.Indexes(), (std::vector<int>{0, 1, 2}));
  EXPECT_FALSE(c.combo->UnSelectItem(0));

  CComboBoxUI box;
  EXPECT_STREQ(box.GetClass(), L"ComboBoxUI");
  EXPECT_EQ(box.GetInterface(L"Combo"), static_cast<CComboUI*>(&box));
}

TEST(Combo, SelectItemClampsRefusesAndNotifiesThePreviousSelection) {
  struct Case {
    const char* name;
    int first;  // selected before, -1 for none
    int index;
    bool result;
    int selected;
    std::vector<std::pair<int, int>> notified;  // after the first selection
  };
  const Case cases[] = {
      {"first selection", -1, 1, true, 1, {{1, -1}}},
      {"another row", 0, 2, true, 2, {{2, 0}}},
      {"the same row: nothing", 1, 1, true, 1, {}},
      {"beyond the last row: the last", -1, 99, true, 2, {{2, -1}}},
      {"negative: only unselects", 1, -1, false, -1, {}},
      {"disabled row refused, old one lost", 0, 3, false, -1, {}},
      {"a control that is no row", 0, 4, false, -1, {}},
  };
  for (const Case& test : cases) {
    Combo c;
    c.combo->Add(Combo::MakeRow(3));
    c.combo->GetItemAt(3)->SetEnabled(false);
    c.combo->Add(new Vellum::CLabelUI());
    if (test.index == 99) {
      c.combo->RemoveAt(4);
      c.combo->RemoveAt(3);
    }
    if (test.first >= 0) {
      ASSERT_TRUE(c.combo->SelectItem(test.first)) << test.name;
    }
    c.recorder.heard.clear();
    EXPECT_EQ(c.combo->SelectItem(test.index), test.result) << test.name;
    EXPECT_EQ(c.combo->GetCurSel(), test.selected) << test.name;
    EXPECT_EQ(c.ItemSelects(), test.notified) << test.name;
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(c.Row(i)->IsSelected(), i == test.selected) << test.name << " row " << i;
    }
  }

  Combo empty(0);
  EXPECT_FALSE(empty.combo->SelectItem(0));
}

TEST(Combo, TextIsTheSelectedRowsElseTheCombosOwn) {
  Combo c;
  c.combo->SetText(L"choose");
  EXPECT_EQ(c.combo->GetText(), L"choose");
  c.combo->SelectItem(2);
  EXPECT_EQ(c.combo->GetText(), L"row 2");
}

TEST(Combo, KeysAndWheelMoveTheSelectionOverDisabledRows) {
  Combo c(5);
  c.combo->GetItemAt(1)->SetEnabled(false);
  c.combo->SelectItem(0);
  c.Event(Vellum::UIEVENT_KEYDOWN, 0, VK_DOWN);
  EXPECT_EQ(c.combo->GetCurSel(), 2);
  c.Event(Vellum::UIEVENT_KEYDOWN, 0, VK_END);
  EXPECT_EQ(c.combo->GetCurSel(), 4);
  c.Event(Vellum::UIEVENT_KEYDOWN, 0, VK_PRIOR);
  EXPECT_EQ(c.combo->GetCurSel(), 3);
  c.Event(Vellum::UIEVENT_KEYDOWN, 0, VK_HOME);
  EXPECT_EQ(c.combo->GetCurSel(), 0);

  c.Event(Vellum::UIEVENT_SCROLLWHEEL, SB_LINEDOWN);
  EXPECT_EQ(c.combo->GetCurSel(), 2);
  c.Event(Vellum::UIEVENT_SCROLLWHEEL, SB_LINEUP);
  EXPECT_EQ(c.combo->GetCurSel(), 0);

  c.combo->SetAttribute(L"scrollselect", L"false");
  c.Event(Vellum::UIEVENT_SCROLLWHEEL, SB_LINEDOWN);
  EXPECT_EQ(c.combo->GetCurSel(), 0);

  c.combo->SetKeyboardEnabled(false);
  c.Event(Vellum::UIEVENT_KEYDOWN, 0, VK_DOWN);
  EXPECT_EQ(c.combo->GetCurSel(), 0);
}

TEST(Combo, ARowTakenOutOfTheComboForgetsItAndOutlivesIt) {
  for (const bool all : {false, true}) {
    SCOPED_TRACE(all ? "RemoveAll" : "Remove");
    testing_support::ManagedWindow other;
    auto* elsewhere = new Vellum::CVerticalLayoutUI();
    other.manager().AttachRootControl(elsewhere);
    CControlUI* row = nullptr;
    {
      Combo c;
      row = c.combo->GetItemAt(1);
      std::vector<CControlUI*> leaving{row};
      if (all) leaving = {c.combo->GetItemAt(0), row, c.combo->GetItemAt(2)};
      c.combo->SelectItem(1);
      c.combo->SetAutoDestroy(false);
      if (all) {
        c.combo->RemoveAll();
      } else {
        ASSERT_TRUE(c.combo->Remove(row));
      }
      for (CControlUI* left : leaving) {
        EXPECT_EQ(static_cast<IListItemUI*>(left->GetInterface(L"ListItem"))->GetOwner(), nullptr);
        ASSERT_TRUE(elsewhere->Add(left));
      }
    }
    // The combo and its window are gone; the row, in another window, still takes the mouse.
    TUIEvent event;
    event.sender = row;
    event.mouse_point = POINT{5, 5};
    for (int type : {Vellum::UIEVENT_MOUSEENTER, Vellum::UIEVENT_BUTTONDOWN, Vellum::UIEVENT_BUTTONUP,
                     Vellum::UIEVENT_SCROLLWHEEL, Vellum::UIEVENT_MOUSELEAVE}) {
      event.type = type;
      row->Event(event);
    }
    static_cast<IListItemUI*>(row->GetInterface(L"ListItem"))->Select(false);
  }
}

TEST(Combo, RowsAreRenumberedAndTheSelectionFollowsItsRow) {
  Combo c(4);
  c.combo->SelectItem(2);
  ASSERT_TRUE(c.combo->AddAt(Combo::MakeRow(9), 1));
  EXPECT_EQ(c.combo->GetCurSel(), 3);
  EXPECT_EQ(c.Indexes(), (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_FALSE(c.combo->AddAt(Combo::MakeRow(8), 9));

  ASSERT_TRUE(c.combo->RemoveAt(0));
  EXPECT_EQ(c.combo->GetCurSel(), 2);
  EXPECT_EQ(c.combo->GetText(), L"row 2");
  EXPECT_EQ(c.Indexes(), (std::vector<int>{0, 1, 2, 3}));

  // The selected row goes: the row that takes its place is selected, announced as a new selection.
  c.recorder.heard.clear();
  ASSERT_TRUE(c.combo->RemoveAt(2));
  EXPECT_EQ(c.combo->GetCurSel(), 2);
  EXPECT_EQ(c.combo->GetText(), L"row 3");
  EXPECT_EQ(c.ItemSelects(), (std::vector<std::pair<int, int>>{{2, -1}}));
  EXPECT_FALSE(c.combo->RemoveAt(7));

  ASSERT_TRUE(c.combo->SetItemIndex(c.combo->GetItemAt(1), 2));
  EXPECT_EQ(c.combo->GetCurSel(), 1);
  EXPECT_EQ(c.combo->GetText(), L"row 3");
  EXPECT_EQ(c.Indexes(), (std::vector<int>{0, 1, 2}));

  c.combo->RemoveAll();
  EXPECT_EQ(c.combo->GetCurSel(), -1);
  EXPECT_EQ(c.combo->GetCount(), 0);
}

TEST(Combo, RowsAreNeverLaidOutInsideTheCombo) {
  Combo c;
  c.combo->SetPos(RECT{10, 10, 160, 34}, false);
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(testing_support::SameRect(c.combo->GetItemAt(i)->GetPos(), RECT{0, 0, 0, 0}));
  }
  EXPECT_TRUE(testing_support::SameRect(c.combo->GetPos(), RECT{10, 10, 160, 34}));
}

TEST(Combo, AttributesSetTheTextStyleTheDropBoxAndTheRowSettings) {
  Combo c;
  CComboUI* combo = c.combo;
  combo->SetAttribute(L"align", L"right");
  EXPECT_EQ(combo->GetTextStyle(), static_cast<UINT>(DT_VCENTER | DT_RIGHT));
  combo->SetAttribute(L"valign", L"bottom");
  EXPECT_EQ(combo->GetTextStyle(), static_cast<UINT>(DT_BOTTOM | DT_RIGHT | DT_SINGLELINE));
  combo->SetAttribute(L"wordbreak", L"true");
  EXPECT_EQ(combo->GetTextStyle(), static_cast<UINT>(DT_BOTTOM | DT_RIGHT | DT_WORDBREAK | DT_EDITCONTROL));
  combo->SetAttribute(L"DropBoxSize", L"0,300");
  EXPECT_EQ(combo->GetDropBoxSize().cy, 300);
  combo->SetAttribute(L"dropboxinset", L"1,2,3,4");
  EXPECT_EQ(combo->GetDropBoxInset().top, 2);
  combo->SetAttribute(L"dropbox", L"bkcolor=\"#FF00FF00\"");
  EXPECT_EQ(combo->GetDropBoxAttributeList(), L"bkcolor=\"#FF00FF00\"");
  combo->SetAttribute(L"showshadow", L"TRUE");
  EXPECT_TRUE(combo->IsShowShadow());
  combo->SetAttribute(L"itemselectedbkcolor", L"#FF112233");
  combo->SetAttribute(L"itemalign", L"center");
  const Vellum::TListDisplayInfo& info = *combo->GetListInfo();
  EXPECT_EQ(info.selected_bk_color, 0xFF112233u);
  EXPECT_EQ(info.text_style, static_cast<UINT>(DT_VCENTER | DT_CENTER));
  // No grid for combo rows: these names are the container's, not row settings.
  combo->SetAttribute(L"itemshowrowline", L"true");
  EXPECT_FALSE(info.show_row_line);
}

TEST(ComboBox, ArrowPartIsCutFromTheFivePartStrip) {
  struct Case {
    const char* name;
    const wchar_t* description;
    int part;
    const wchar_t* expected;
    int width;
  };
  const RECT dest{80, 1, 100, 23};
  const Case cases[] = {
      {"pushed", L"file='arrow.png' source='0,0,100,20'", 2,
       L"file='arrow.png' source='40,0,60,20' dest='80,1,100,23'", 20},
      {"normal, text after", L"source='10,5,60,15' corner='1,1,1,1'", 0,
       L"source='10,5,20,15' dest='80,1,100,23' corner='1,1,1,1'", 10},
      {"disabled", L"source='0,0,100,20'", 4, L"source='80,0,100,20' dest='80,1,100,23'", 20},
      {"no source", L"file='arrow.png'", 0, L"", 0},
      {"no closing apostrophe", L"source='0,0,100,20", 0, L"", 0},
      {"three numbers", L"source='0,0,100'", 0, L"", 0},
  };
  for (const Case& test : cases) {
    int width = 0;
    const Vellum::CUIString built = Vellum::BuildArrowImage(test.description, test.part, dest, &width);
    EXPECT_EQ(built, test.expected) << test.name;
    EXPECT_EQ(width, test.width) << test.name;
  }
}

// The arrow strip as a skin ships it for one scale (the file name carries any scale but 100): five
// square parts, each of its own colour (the normal part red).
class ArrowStrip {
 public:
  explicit ArrowStrip(int scale)
      : name_(scale == 100 ? L"combo_test_arrow.png"
                           : L"combo_test_arrow@" + std::to_wstring(scale) + L".png") {
    const testing_support::Rgba parts[] = {
        {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 0, 255}, {128, 128, 128, 255}};
    const int side = 20 * scale / 100;
    std::vector<testing_support::Rgba> pixels;
    for (int y = 0; y < side; ++y) {
      for (int x = 0; x < side * 5; ++x) pixels.push_back(parts[x / side]);
    }
    const std::string png = testing_support::EncodePng(side * 5, side, pixels);
    if (FILE* file = _wfopen(name_.c_str(), L"wb")) {
      fwrite(png.data(), 1, png.size(), file);
      fclose(file);
    }
  }
  ~ArrowStrip() { DeleteFileW(name_.c_str()); }
  ArrowStrip(const ArrowStrip&) = delete;
  ArrowStrip& operator=(const ArrowStrip&) = delete;

 private:
  std::wstring name_;
};

// At every scale the arrow fills the right end of the combo at its scaled width, and the selected
// row's text stops where the arrow begins.
TEST(ComboBox, TheArrowAndTheTextShareTheComboAtEveryScale) {
  constexpr DWORD kPaper = 0x00FFFFFF;
  constexpr DWORD kArrow = 0x00FF0000;
  for (int dpi : {96, 144, 192}) {
    SCOPED_TRACE(dpi);
    const int scale = dpi * 100 / 96;
    const ArrowStrip strip(scale);
    auto* box = new CComboBoxUI();
    Combo c(1, box);
    c.window.manager().SetDPI(dpi);
    const int width = 150 * scale / 100;
    const int height = 24 * scale / 100;
    const int arrow = 20 * scale / 100;
    box->SetAttribute(L"arrowimage", L"file='combo_test_arrow.png' source='0,0,100,20'");
    box->GetItemAt(0)->SetText(std::wstring(60, L'\x2588').c_str());
    box->SelectItem(0);
    box->SetPos(RECT{0, 0, width, height}, false);
    testing_support::Surface surface(width, height, kPaper);
    box->Paint(surface.dc(), RECT{0, 0, width, height});

    EXPECT_EQ(box->GetArrowWidth(), 20);
    const int middle = height / 2;
    auto colour = [&](int x) { return surface.At(x, middle) & 0x00FFFFFF; };
    EXPECT_EQ(colour(width - 1), kArrow);
    EXPECT_EQ(colour(width - arrow), kArrow);
    EXPECT_EQ(colour(width - arrow + 2), kArrow) << "no text over the arrow";
    EXPECT_NE(colour(width - arrow - 3), kArrow);
    EXPECT_NE(colour(width - arrow - 3), kPaper) << "the text reaches the arrow";
  }
}

}  // namespace
