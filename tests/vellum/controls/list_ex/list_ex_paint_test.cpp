// What the check boxes of header items and rows draw: the image of the box's state, in the box
// 6 pixels in from the item's left edge, and only for checkable columns.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tests/vellum/controls/list_ex/list_ex_fixture.h"
#include "tests/vellum/support/dib_surface.h"
#include "tests/vellum/support/image_fixtures.h"

namespace {

using testing_support::SolidPng;
using testing_support::ListExFixture;
using testing_support::Rgba;
using testing_support::Surface;

constexpr DWORD kPaper = 0xFFFFFFFF;

constexpr DWORD kRed = 0xFFE02020;
constexpr DWORD kBlue = 0xFF2020E0;
constexpr DWORD kGreen = 0xFF20E020;
constexpr DWORD kYellow = 0xFFE0E020;

struct Images {
  SolidPng red{L"list_ex_red.png", Rgba{0xE0, 0x20, 0x20, 255}};
  SolidPng blue{L"list_ex_blue.png", Rgba{0x20, 0x20, 0xE0, 255}};
  SolidPng green{L"list_ex_green.png", Rgba{0x20, 0xE0, 0x20, 255}};
  SolidPng yellow{L"list_ex_yellow.png", Rgba{0xE0, 0xE0, 0x20, 255}};
};

DWORD Paint(ListExFixture& fixture, POINT at) {
  Surface surface(200, 120, kPaper);
  fixture.list->Paint(surface.dc(), RECT{0, 0, 200, 120});
  return surface.At(at.x, at.y) | 0xFF000000;
}

TEST(ListExPaint, RowCheckBoxDrawsItsStateImage) {
  Images images;
  using Attributes = std::vector<std::pair<const wchar_t*, const wchar_t*>>;
  const struct {
    const char* what;
    Attributes attributes;
    std::function<void(Vellum::CListTextExtElementUI*)> setup;
    DWORD expected;
  } cases[] = {
      {"unchecked",
       {{L"checkboxnormalimage", L"list_ex_red.png"},
        {L"checkboxselectedimage", L"list_ex_blue.png"}},
       nullptr,
       kRed},
      {"checked",
       {{L"checkboxnormalimage", L"list_ex_red.png"},
        {L"checkboxselectedimage", L"list_ex_blue.png"}},
       [](auto* row) { row->SetCheck(true); },
       kBlue},
      {"checked without a selected image",
       {{L"checkboxnormalimage", L"list_ex_red.png"}},
       [](auto* row) { row->SetCheck(true); },
       kRed},
      {"checked: the fore image follows the selected one",
       {{L"checkboxselectedimage", L"list_ex_blue.png"},
        {L"checkboxforeimage", L"list_ex_yellow.png"}},
       [](auto* row) { row->SetCheck(true); },
       kYellow},
      {"disabled",
       {{L"checkboxnormalimage", L"list_ex_red.png"},
        {L"checkboxdisabledimage", L"list_ex_green.png"}},
       [](auto* row) { row->SetEnabled(false); },
       kGreen},
      {"a drawn normal image leaves out the fore image",
       {{L"checkboxnormalimage", L"list_ex_red.png"},
        {L"checkboxforeimage", L"list_ex_yellow.png"}},
       nullptr,
       kRed},
      {"the fore image alone", {{L"checkboxforeimage", L"list_ex_yellow.png"}}, nullptr, kYellow},
      {"no checkable column", {{L"checkboxnormalimage", L"list_ex_red.png"}}, nullptr, kPaper},
  };
  for (const auto& c : cases) {
    ListExFixture fixture(1);
    fixture.list->SetAttribute(L"itemtextcolor", L"#FFFFFFFF");
    Vellum::CListTextExtElementUI* row = fixture.rows[0];
    for (const auto& attribute : c.attributes) row->SetAttribute(attribute.first, attribute.second);
    if (c.setup) c.setup(row);
    if (c.expected == kPaper) fixture.items[0]->SetColumnCheckable(false);
    const RECT box = row->GetCheckBoxRect();
    EXPECT_EQ(box.left, 6) << c.what;
    EXPECT_EQ(box.right - box.left, 12) << c.what;
    const POINT centre{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
    EXPECT_EQ(Paint(fixture, centre), c.expected) << c.what;
    // Nothing of the box left of it.
    EXPECT_EQ(Paint(fixture, POINT{box.left - 2, centre.y}), kPaper) << c.what;
  }
}

TEST(ListExPaint, HeaderCheckBoxOnlyInCheckableColumns) {
  Images images;
  ListExFixture fixture(0);
  for (auto* item : fixture.items) {
    item->SetAttribute(L"checkboxnormalimage", L"list_ex_red.png");
    item->SetAttribute(L"checkboxselectedimage", L"list_ex_blue.png");
  }
  auto centre_of = [](Vellum::CListContainerHeaderItemUI* item) {
    const RECT box = item->GetCheckBoxRect();
    return POINT{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
  };
  Vellum::CListContainerHeaderItemUI* checkable = fixture.items[0];
  Vellum::CListContainerHeaderItemUI* plain = fixture.items[1];
  EXPECT_EQ(checkable->GetCheckBoxRect().left, 6);
  EXPECT_EQ(plain->GetCheckBoxRect().left, testing_support::kColumnWidth + 6);
  EXPECT_EQ(Paint(fixture, centre_of(checkable)), kRed);
  EXPECT_EQ(Paint(fixture, centre_of(plain)), kPaper);
  checkable->SetCheck(true);
  EXPECT_EQ(Paint(fixture, centre_of(checkable)), kBlue);
}

}  // namespace
