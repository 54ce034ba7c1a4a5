#include "vellum/core/render/paint_pass.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "tests/vellum/support/dib_surface.h"
#include "vellum/core/base_controls/label.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"

namespace {

using testing_support::Surface;
using Vellum::CLabelUI;
using Vellum::CPaintManagerUI;
using Vellum::CPaintPassUI;
using Vellum::CRenderUI;
using Vellum::TUIImageInfo;

constexpr int kCell = 4;

// An opaque bitmap of one colour, as the image loader leaves one in the table.
TUIImageInfo* SolidImage(DWORD color) {
  auto* image = new TUIImageInfo;
  BYTE* bits = nullptr;
  image->bitmap = CRenderUI::Create32BitDib(nullptr, kCell, -kCell, &bits);
  for (int i = 0; i < kCell * kCell; ++i) reinterpret_cast<DWORD*>(bits)[i] = 0xFF000000 | color;
  image->width = kCell;
  image->height = kCell;
  return image;
}

void DrawCell(HDC dc, HBITMAP bitmap, int index) {
  const RECT dest{index * kCell, 0, (index + 1) * kCell, kCell};
  CRenderUI::DrawImage(dc, bitmap, dest, dest, RECT{0, 0, kCell, kCell}, RECT{}, false);
}

// More distinct bitmaps than the pass keeps DCs for, each drawn twice: every draw shows its own
// bitmap, whichever kept DC it lands in.
TEST(PaintPass, EveryBitmapOfAPassDrawsItselfHoweverManyThereAre) {
  constexpr int kImages = 40;
  Surface surface(kImages * kCell, kCell, 0);
  std::vector<TUIImageInfo*> images;
  for (int i = 0; i < kImages; ++i) images.push_back(SolidImage(0x010203u * (i + 1)));
  {
    const CPaintPassUI pass(surface.dc());
    for (int round = 0; round < 2; ++round) {
      for (int i = 0; i < kImages; ++i) DrawCell(surface.dc(), images[i]->bitmap, i);
    }
  }
  for (int i = 0; i < kImages; ++i) {
    EXPECT_EQ(surface.At(i * kCell + 1, 1) & 0xFFFFFF, 0x010203u * (i + 1)) << "image " << i;
  }
  for (TUIImageInfo* image : images) CRenderUI::FreeImage(image);
}

// While a pass is open a drawn bitmap stays selected; freeing its image during the pass must let it
// go so that it is deleted at once, and the pass's end must let go of the others, whether its DCs
// are its own or come from a window's pool (and go back there for the next pass).
TEST(PaintPass, BitmapsAreLetGoWhenFreedAndWhenThePassEnds) {
  Vellum::CPaintDCPoolUI pool;
  for (Vellum::CPaintDCPoolUI* used : {static_cast<Vellum::CPaintDCPoolUI*>(nullptr), &pool, &pool}) {
    SCOPED_TRACE(used == nullptr ? "own DCs" : "pooled DCs");
    Surface surface(2 * kCell, kCell, 0);
    TUIImageInfo* freed = SolidImage(0x112233);
    TUIImageInfo* kept = SolidImage(0x445566);
    const HBITMAP freed_bitmap = freed->bitmap;
    {
      const CPaintPassUI pass(surface.dc(), used);
      DrawCell(surface.dc(), freed_bitmap, 0);
      DrawCell(surface.dc(), kept->bitmap, 1);
      CRenderUI::FreeImage(freed);
      EXPECT_EQ(GetObjectType(freed_bitmap), 0u);
      HDC other = CreateCompatibleDC(nullptr);
      EXPECT_EQ(SelectObject(other, kept->bitmap), nullptr);  // still held by the pass
      DeleteDC(other);
    }
    HDC other = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(other, kept->bitmap);
    EXPECT_NE(old, nullptr);
    if (old != nullptr) SelectObject(other, old);
    DeleteDC(other);
    EXPECT_EQ(surface.At(kCell + 1, 1) & 0xFFFFFF, 0x445566u);
    CRenderUI::FreeImage(kept);
  }
}

// Text leaves its font selected only in the DC the pass paints into, and only until the pass ends.
TEST(PaintPass, TextFontsComeBackToEveryDCWhenThePassEnds) {
  CPaintManagerUI manager;
  Surface target(60, 20, 0xFFFFFFFF);
  Surface other(60, 20, 0xFFFFFFFF);
  const HFONT font = manager.GetFont(-1);
  ASSERT_NE(font, nullptr);
  const HGDIOBJ target_font = GetCurrentObject(target.dc(), OBJ_FONT);
  const HGDIOBJ other_font = GetCurrentObject(other.dc(), OBJ_FONT);
  ASSERT_NE(target_font, font);
  {
    const CPaintPassUI pass(target.dc());
    for (HDC dc : {target.dc(), other.dc()}) {
      RECT rect{0, 0, 60, 20};
      CRenderUI::DrawText(dc, &manager, rect, L"Item", 0xFF000000, -1, DT_SINGLELINE | DT_VCENTER);
    }
    EXPECT_EQ(GetCurrentObject(target.dc(), OBJ_FONT), font);
    EXPECT_EQ(GetCurrentObject(other.dc(), OBJ_FONT), other_font);
  }
  EXPECT_EQ(GetCurrentObject(target.dc(), OBJ_FONT), target_font);

  // The same through a control's paint, which opens the pass itself.
  CLabelUI label;
  label.SetManager(&manager, nullptr, false);
  label.SetText(L"Item");
  label.SetPos(RECT{0, 0, 60, 20}, false);
  label.Paint(target.dc(), RECT{0, 0, 60, 20});
  EXPECT_EQ(GetCurrentObject(target.dc(), OBJ_FONT), target_font);
  bool inked = false;
  for (int y = 0; y < 20 && !inked; ++y) {
    for (int x = 0; x < 60 && !inked; ++x) inked = (target.At(x, y) & 0xFFFFFF) != 0xFFFFFF;
  }
  EXPECT_TRUE(inked);
}

}  // namespace
