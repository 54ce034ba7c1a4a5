#include "vellum/controls/color_palette/color_palette.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>

#include "tests/vellum/support/container_test_controls.h"
#include "tests/vellum/support/dib_surface.h"
#include "vellum/controls/color_palette/hsl_strips.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using testing_support::NotificationRecorder;
using testing_support::Surface;
using Vellum::CColorPaletteUI;
using Vellum::CPaintManagerUI;
using Vellum::TUIEvent;

TEST(PaletteColours, HueSaturationLightnessToRgb) {
  const struct {
    const char* name;
    double h, s, l;
    DWORD rgb;
  } cases[] = {
      {"red", 0.0, 1.0, 0.5, 0xFF0000},
      {"green", 1.0 / 3.0, 1.0, 0.5, 0x00FF00},
      {"blue", 2.0 / 3.0, 1.0, 0.5, 0x0000FF},
      {"cyan", 0.5, 1.0, 0.5, 0x00FFFF},
      {"yellow", 60.0 / 360.0, 1.0, 0.5, 0xFFFF00},
      {"grey without saturation", 0.3, 0.0, 0.5, 0x7F7F7F},
      {"white", 0.7, 1.0, 1.0, 0xFFFFFF},
      {"black", 0.7, 1.0, 0.0, 0x000000},
      {"dark orange, lightness below a half", 30.0 / 360.0, 1.0, 0.25, 0x7F3F00},
      {"pale, lightness above a half", 0.0, 0.5, 0.75, 0xDF9F9F},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Vellum::HslToRgb(c.h, c.s, c.l), c.rgb) << c.name << std::hex << " 0x"
                                                        << Vellum::HslToRgb(c.h, c.s, c.l);
  }
}

// The strips in a plain buffer laid out as the palette's bitmap.
TEST(PaletteColours, StripsAreOpaqueAndNeverAllZero) {
  const int stride = Vellum::kPaletteBitmapWidth * 4;
  std::vector<BYTE> pixels(static_cast<size_t>(stride) * Vellum::kPaletteBitmapHeight, 0);
  Vellum::FillPalletStrip(pixels.data(), stride, 200);
  Vellum::FillBarStrip(pixels.data(), stride, 10, 240, 100);
  auto at = [&](int row, int column) {
    const BYTE* p = &pixels[static_cast<size_t>(row) * stride + column * 4];
    return static_cast<DWORD>(p[3]) << 24 | p[2] << 16 | p[1] << 8 | p[0];
  };
  EXPECT_EQ(at(0, 0), 0u) << "row 0 is not part of the pallet";
  EXPECT_EQ(at(200, 0), 0xFF010000u) << "lightness 0: black is written as red 1";
  EXPECT_EQ(at(100, 0), 0xFFFF0000u) << "hue 0 at half lightness";
  EXPECT_EQ(at(100, 120), 0xFF00FF00u);
  EXPECT_EQ(at(100, 359), Vellum::HslToRgb(359.0 / 360.0, 1.0, 0.5) | 0xFF000000);
  EXPECT_EQ(at(1, 200), Vellum::HslToRgb(200.0 / 360.0, 1.0, 199.0 / 200.0) | 0xFF000000);
  EXPECT_EQ(at(201, 0), 0u) << "between the strips";
  EXPECT_EQ(at(210, 0), 0xFF7F7F7Fu) << "saturation 0 at half lightness";
  EXPECT_EQ(at(219, 100), Vellum::HslToRgb(240.0 / 360.0, 0.5, 0.5) | 0xFF000000);
  EXPECT_EQ(at(220, 100), 0u) << "below a bar of 10 rows";
  EXPECT_EQ(at(210, 200), 0u) << "right of the bar";
  // A bar taller than the bitmap allows stops at its last row.
  Vellum::FillBarStrip(pixels.data(), stride, 500, 0, 100);
  EXPECT_EQ(at(Vellum::kPaletteBitmapHeight - 1, 0), 0xFF7F7F7Fu);
}

TEST(Palette, IdentityDefaultsAndAttributes) {
  CColorPaletteUI palette;
  EXPECT_STREQ(palette.GetClass(), L"ColorPaletteUI");
  EXPECT_EQ(palette.GetInterface(L"ColorPalette"), &palette);
  EXPECT_EQ(palette.GetInterface(L"colorpalette"), nullptr);
  EXPECT_EQ(palette.GetSelectColor(), 0xFF00FFFFu) << "hue 180, saturation 1, lightness 0.5";

  palette.SetAttribute(L"barheight", L"200");
  EXPECT_EQ(palette.GetBarHeight(), 150);
  palette.SetAttribute(L"barheight", L"-5");
  EXPECT_EQ(palette.GetBarHeight(), 0);
  palette.SetAttribute(L"barheight", L"12");
  palette.SetAttribute(L"BarHeight", L"30");  // attribute names are compared case-sensitively
  EXPECT_EQ(palette.GetBarHeight(), 12);
  palette.SetAttribute(L"palletheight", L"150");
  EXPECT_EQ(palette.GetPalletHeight(), 150);
  palette.SetAttribute(L"thumbimage", L"thumb.png");
  EXPECT_STREQ(palette.GetThumbImage(), L"thumb.png");
}

// A palette 200 wide and 220 tall on a windowless manager: the pallet takes rows 0..199, the bar
// (10 rows) 210..219.
struct Palette {
  CPaintManagerUI manager;
  NotificationRecorder recorder;
  CColorPaletteUI palette;
  explicit Palette(int width = 200) {
    manager.AddNotifier(&recorder);
    palette.SetManager(&manager, nullptr, false);
    palette.Init();
    palette.SetPos(RECT{0, 0, width, 220}, false);
  }
  void Send(int type, int x, int y) {
    TUIEvent event;
    event.type = type;
    event.sender = &palette;
    event.mouse_point = POINT{x, y};
    palette.Event(event);
  }
};

bool Near(DWORD a, DWORD b, int tolerance) {
  for (int shift = 0; shift < 24; shift += 8) {
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) >
        tolerance) {
      return false;
    }
  }
  return true;
}

TEST(PaletteInput, APressInThePalletTakesHueAndLightness) {
  Palette p;
  p.Send(Vellum::UIEVENT_BUTTONDOWN, 50, 150);
  EXPECT_EQ(p.palette.GetHue(), 90);
  EXPECT_EQ(p.palette.GetLightness(), 50);
  EXPECT_EQ(p.palette.GetPalletThumb().x, 50);
  EXPECT_EQ(p.palette.GetPalletThumb().y, 150);
  EXPECT_EQ(p.palette.GetSaturation(), 200);
  p.Send(Vellum::UIEVENT_BUTTONUP, 50, 150);
  const auto changed = p.recorder.OfType(L"colorchanged");
  ASSERT_EQ(changed.size(), 1u);
  EXPECT_EQ(changed[0].wParam, p.palette.GetSelectColor());
  EXPECT_EQ(changed[0].sender, &p.palette);
}

TEST(PaletteInput, APressInTheBarSetsTheSaturationAndRedrawsThePallet) {
  Palette p;
  Surface before(200, 220, 0xFF000000);
  p.palette.Paint(before.dc(), RECT{0, 0, 200, 220});
  p.Send(Vellum::UIEVENT_BUTTONDOWN, 50, 215);
  EXPECT_EQ(p.palette.GetSaturation(), 50);
  Surface after(200, 220, 0xFF000000);
  p.palette.Paint(after.dc(), RECT{0, 0, 200, 220});
  // Column 100 of the pallet is hue 180; row 99 is source row 100, lightness 100/200.
  // Squeezed 360 to 200, the halftone stretch mixes neighbouring hues a little.
  EXPECT_PRED3(Near, before.At(100, 99), Vellum::HslToRgb(0.5, 1.0, 0.5), 6);
  EXPECT_PRED3(Near, after.At(100, 99), Vellum::HslToRgb(0.5, 0.25, 0.5), 6);
}

TEST(PaletteInput, APalletDragStopsOutsideABarDragFollowsEverywhere) {
  Palette p;
  p.Send(Vellum::UIEVENT_BUTTONDOWN, 100, 100);
  p.Send(Vellum::UIEVENT_MOUSEMOVE, 200, 200);  // the right and bottom edges still count
  EXPECT_EQ(p.palette.GetHue(), 360);
  EXPECT_EQ(p.palette.GetLightness(), 0);
  p.Send(Vellum::UIEVENT_MOUSEMOVE, 150, 50);
  p.Send(Vellum::UIEVENT_MOUSEMOVE, 260, 80);  // off to the right: no longer followed
  EXPECT_EQ(p.palette.GetHue(), 270);
  EXPECT_EQ(p.palette.GetLightness(), 150);
  p.Send(Vellum::UIEVENT_BUTTONUP, 260, 80);

  p.Send(Vellum::UIEVENT_BUTTONDOWN, 20, 212);
  EXPECT_EQ(p.palette.GetSaturation(), 20);
  p.Send(Vellum::UIEVENT_MOUSEMOVE, 120, 20);
  EXPECT_EQ(p.palette.GetSaturation(), 120);
  p.Send(Vellum::UIEVENT_MOUSEMOVE, 900, 500);
  EXPECT_EQ(p.palette.GetSaturation(), 200);
  p.Send(Vellum::UIEVENT_MOUSEMOVE, -900, 500);
  EXPECT_EQ(p.palette.GetSaturation(), 0);
  p.Send(Vellum::UIEVENT_BUTTONUP, -900, 500);
  // Once released, moves change nothing.
  p.Send(Vellum::UIEVENT_MOUSEMOVE, 100, 215);
  EXPECT_EQ(p.palette.GetSaturation(), 0);
  EXPECT_EQ(p.recorder.OfType(L"colorchanged").size(), 2u);
}

TEST(PaletteInput, ADisabledPaletteSendsNoColourChange) {
  Palette p;
  p.palette.SetEnabled(false);
  p.Send(Vellum::UIEVENT_BUTTONDOWN, 50, 150);
  p.Send(Vellum::UIEVENT_BUTTONUP, 50, 150);
  EXPECT_TRUE(p.recorder.OfType(L"colorchanged").empty());
}

// The control is squeezed (or the pallet emptied) in the middle of a drag.
TEST(PaletteInput, NoWidthOrNoPalletDividesByNothing) {
  {
    Palette p;
    p.Send(Vellum::UIEVENT_BUTTONDOWN, 50, 215);
    p.palette.SetPos(RECT{0, 0, 0, 220}, false);
    p.Send(Vellum::UIEVENT_MOUSEMOVE, 0, 215);
    p.Send(Vellum::UIEVENT_BUTTONUP, 0, 215);
    EXPECT_EQ(p.palette.GetSaturation(), 50);
  }
  {
    Palette p;
    p.Send(Vellum::UIEVENT_BUTTONDOWN, 50, 100);
    p.palette.SetPalletHeight(0);
    p.Send(Vellum::UIEVENT_MOUSEMOVE, 100, 0);
    p.Send(Vellum::UIEVENT_BUTTONUP, 100, 0);
    EXPECT_EQ(p.palette.GetHue(), 90);
  }
}

TEST(PalettePaint, StripsAreStretchedOntoTheControl) {
  Palette p(360);
  Surface surface(360, 220, 0xFF000000);
  p.palette.Paint(surface.dc(), RECT{0, 0, 360, 220});
  // The pallet one to one: column = hue in degrees, screen row y = source row y + 1.
  const struct {
    int x, y;
  } pallet_points[] = {{0, 99}, {120, 99}, {240, 50}, {300, 150}, {30, 0}, {200, 198}};
  for (const auto& pt : pallet_points) {
    const DWORD expected = Vellum::HslToRgb(pt.x / 360.0, 1.0, (199 - pt.y) / 200.0);
    EXPECT_PRED3(Near, surface.At(pt.x, pt.y), expected, 2) << pt.x << "," << pt.y;
  }
  // The bar's 200 columns over 360 pixels: grey at the left, the full hue at the right.
  EXPECT_PRED3(Near, surface.At(0, 215), Vellum::HslToRgb(0.5, 0.0, 0.5), 2);
  EXPECT_PRED3(Near, surface.At(359, 215), Vellum::HslToRgb(0.5, 199 / 200.0, 0.5), 4);
  // Between the strips the background is left as it was.
  EXPECT_EQ(surface.At(100, 205), 0xFF000000u);
}

TEST(PaletteResources, A32BitDibFreedWithTheControl) {
  HBITMAP bitmap = nullptr;
  HDC dc = nullptr;
  {
    Palette p;
    bitmap = p.palette.GetStripBitmap();
    dc = p.palette.GetStripDC();
    ASSERT_NE(bitmap, nullptr);
    ASSERT_NE(dc, nullptr);
    DIBSECTION section{};
    ASSERT_EQ(GetObjectW(bitmap, sizeof(section), &section), static_cast<int>(sizeof(section)))
        << "a DIB section, whatever the display's depth";
    EXPECT_EQ(section.dsBm.bmBitsPixel, 32);
    EXPECT_EQ(section.dsBm.bmWidth, 400);
    EXPECT_EQ(section.dsBm.bmHeight, 360);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bitmap);
    // A second Init makes nothing new.
    p.palette.Init();
    EXPECT_EQ(p.palette.GetStripBitmap(), bitmap);
  }
  EXPECT_EQ(GetObjectType(bitmap), 0u) << "the bitmap was deleted";
  EXPECT_EQ(GetObjectType(dc), 0u) << "the memory DC was deleted";
}

}  // namespace
