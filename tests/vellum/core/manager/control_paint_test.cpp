#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "vellum/core/manager/control.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"

namespace {

using namespace Vellum;

constexpr DWORD kWhite = 0xFFFFFF;

// A top-down 32-bit DIB selected into a memory DC, filled white; controls paint into it through
// the same Paint path the window uses.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height) {
    dc_ = CreateCompatibleDC(nullptr);
    BYTE* bits = nullptr;
    bitmap_ = CRenderUI::Create32BitDib(dc_, width, -height, &bits);
    bits_ = reinterpret_cast<DWORD*>(bits);
    old_ = SelectObject(dc_, bitmap_);
    for (int i = 0; i < width * height; ++i) bits_[i] = kWhite;
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  RECT all() const { return RECT{0, 0, width_, height_}; }
  // The colour without the alpha byte, which GDI leaves as it pleases.
  DWORD At(int x, int y) const {
    GdiFlush();
    return bits_[y * width_ + x] & 0xFFFFFF;
  }

 private:
  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  DWORD* bits_ = nullptr;
};

bool Near(DWORD actual, DWORD expected, int tolerance) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int a = static_cast<int>((actual >> shift) & 0xFF);
    const int e = static_cast<int>((expected >> shift) & 0xFF);
    if (std::abs(a - e) > tolerance) return false;
  }
  return true;
}

#define EXPECT_COLOUR(actual, expected, tolerance)                                        \
  EXPECT_PRED3(Near, actual, static_cast<DWORD>((expected) & 0xFFFFFF), tolerance) \
      << std::hex << "0x" << (actual)

// A control attached to a manager (whose GDI+ the drawing uses) at a fixed place.
struct Painted {
  CPaintManagerUI manager;
  CControlUI control;
  explicit Painted(const RECT& pos) {
    control.SetManager(&manager, nullptr, false);
    control.SetPos(pos, false);
  }
};

TEST(ControlPaint, OpaqueBackgroundsFillOnlyThePaintRequestTranslucentOnesTheWholeControl) {
  {
    Painted p(RECT{0, 0, 40, 40});
    p.control.SetBkColor(0xFFFF0000);
    Canvas canvas(40, 40);
    EXPECT_TRUE(p.control.Paint(canvas.dc(), RECT{0, 0, 20, 40}));
    EXPECT_COLOUR(canvas.At(5, 5), 0xFF0000, 0);
    EXPECT_COLOUR(canvas.At(19, 39), 0xFF0000, 0);
    EXPECT_COLOUR(canvas.At(30, 5), kWhite, 0);
  }
  {
    Painted p(RECT{0, 0, 40, 40});
    p.control.SetBkColor(0x80FF0000);
    Canvas canvas(40, 40);
    p.control.Paint(canvas.dc(), RECT{0, 0, 20, 40});
    // Half red over white, on both sides of the request.
    EXPECT_COLOUR(canvas.At(5, 5), 0xFF7F7F, 2);
    EXPECT_COLOUR(canvas.At(30, 5), 0xFF7F7F, 2);
  }
}

TEST(ControlPaint, BackgroundGradients) {
  {
    // Without the first colour there is no background, whatever the others say.
    Painted p(RECT{0, 0, 20, 20});
    p.control.SetBkColor2(0xFF00FF00);
    p.control.SetBkColor3(0xFF0000FF);
    Canvas canvas(20, 20);
    p.control.Paint(canvas.dc(), canvas.all());
    EXPECT_COLOUR(canvas.At(10, 10), kWhite, 0);
  }
  {
    // Three colours on 100 pixels: red to green over the upper 50 rows, green to blue below.
    Painted p(RECT{0, 0, 20, 100});
    p.control.ApplyAttributeList(L"bkcolor=\"#FFFF0000\" bkcolor2=\"#FF00FF00\" bkcolor3=\"#FF0000FF\"");
    Canvas canvas(20, 100);
    p.control.Paint(canvas.dc(), canvas.all());
    EXPECT_COLOUR(canvas.At(10, 0), 0xFF0000, 16);
    EXPECT_COLOUR(canvas.At(10, 49), 0x00FF00, 16);
    EXPECT_COLOUR(canvas.At(10, 50), 0x00FF00, 16);
    EXPECT_COLOUR(canvas.At(10, 99), 0x0000FF, 16);
    EXPECT_COLOUR(canvas.At(10, 25), 0x808000, 24);
  }
  {
    // Two colours, horizontal: the gradient runs left to right over the whole control.
    Painted p(RECT{0, 0, 100, 10});
    p.control.ApplyAttributeList(L"bkcolor=\"#FF000000\" bkcolor2=\"#FFFFFFFF\" gradient=\"HOR\"");
    Canvas canvas(100, 10);
    p.control.Paint(canvas.dc(), canvas.all());
    EXPECT_COLOUR(canvas.At(0, 5), 0x000000, 16);
    EXPECT_COLOUR(canvas.At(99, 5), kWhite, 16);
    EXPECT_COLOUR(canvas.At(50, 0), canvas.At(50, 9), 0);
  }
}

TEST(ControlPaint, BorderPriorities) {
  const DWORD kBorder = 0xFF0000FF;
  const DWORD kFocus = 0xFF00FF00;
  {
    // Per-side widths never use the focus colour, even on a focused control.
    Painted p(RECT{0, 0, 40, 40});
    p.control.SetBorderColor(kBorder);
    p.control.SetFocusBorderColor(kFocus);
    p.control.ApplyAttributeList(L"leftbordersize=\"1\" bottombordersize=\"1\"");
    p.manager.SetFocus(&p.control);
    ASSERT_TRUE(p.control.IsFocused());
    Canvas canvas(40, 40);
    p.control.Paint(canvas.dc(), canvas.all());
    EXPECT_COLOUR(canvas.At(0, 20), kBorder, 0);
    EXPECT_COLOUR(canvas.At(20, 39), kBorder, 0);
    EXPECT_COLOUR(canvas.At(39, 20), kWhite, 0);  // no right side
    EXPECT_COLOUR(canvas.At(20, 0), kWhite, 0);   // no top side
  }
  {
    // A focused control with a uniform size draws its outline in the focus colour ...
    Painted p(RECT{0, 0, 40, 40});
    p.control.ApplyAttributeList(L"bordercolor=\"#FF0000FF\" focusbordercolor=\"#FF00FF00\" bordersize=\"1\"");
    p.manager.SetFocus(&p.control);
    Canvas canvas(40, 40);
    p.control.Paint(canvas.dc(), canvas.all());
    EXPECT_COLOUR(canvas.At(0, 20), kFocus, 8);
    EXPECT_COLOUR(canvas.At(39, 20), kFocus, 8);
    EXPECT_COLOUR(canvas.At(20, 39), kFocus, 8);
    EXPECT_COLOUR(canvas.At(20, 20), kWhite, 0);
    // ... and in the border colour once the focus has gone.
    p.manager.SetFocus(nullptr);
    Canvas after(40, 40);
    p.control.Paint(after.dc(), after.all());
    EXPECT_COLOUR(after.At(0, 20), kBorder, 8);
  }
}

// Mostly the given primary: anti-aliased edges blend into the white canvas.
bool Leans(DWORD pixel, DWORD primary) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int value = static_cast<int>((pixel >> shift) & 0xFF);
    const bool wanted = ((primary >> shift) & 0xFF) != 0;
    if (wanted ? value < 200 : value > 160) return false;
  }
  return true;
}

TEST(ControlPaint, ARoundBorderIsOneRoundedOutlineInTheFocusColourWhileFocused) {
  Painted p(RECT{0, 0, 40, 40});
  p.control.ApplyAttributeList(
      L"bordercolor=\"#FF0000FF\" focusbordercolor=\"#FF00FF00\" bordersize=\"2\" borderround=\"16,16\" "
      L"leftbordersize=\"5\"");  // per-side widths lose to the rounded outline
  Canvas canvas(40, 40);
  p.control.Paint(canvas.dc(), canvas.all());
  EXPECT_PRED2(Leans, canvas.At(0, 20), 0x0000FFu) << std::hex << canvas.At(0, 20);
  EXPECT_PRED2(Leans, canvas.At(20, 0), 0x0000FFu) << std::hex << canvas.At(20, 0);
  EXPECT_COLOUR(canvas.At(6, 20), kWhite, 0);   // not the 5-pixel left side
  EXPECT_COLOUR(canvas.At(0, 0), kWhite, 0);    // outside the rounded corner
  EXPECT_COLOUR(canvas.At(20, 20), kWhite, 0);

  p.manager.SetFocus(&p.control);
  Canvas focused(40, 40);
  p.control.Paint(focused.dc(), focused.all());
  EXPECT_PRED2(Leans, focused.At(0, 20), 0x00FF00u) << std::hex << focused.At(0, 20);
}

TEST(ControlPaint, RoundCornersAreClippedAndTheOuterClipComesBack) {
  Painted p(RECT{0, 0, 40, 40});
  p.control.ApplyAttributeList(L"bkcolor=\"#FFFF0000\" borderround=\"20,20\"");
  Canvas canvas(40, 40);
  // An outer clip of the caller's own: a round region like a round parent's.
  HRGN outer = CreateRoundRectRgn(0, 0, 41, 41, 30, 30);
  SelectClipRgn(canvas.dc(), outer);

  p.control.Paint(canvas.dc(), canvas.all());
  EXPECT_COLOUR(canvas.At(20, 20), 0xFF0000, 0);
  EXPECT_COLOUR(canvas.At(0, 0), kWhite, 0);
  EXPECT_COLOUR(canvas.At(39, 39), kWhite, 0);
  EXPECT_COLOUR(canvas.At(20, 0), 0xFF0000, 0);

  // The caller's round clip is in force again: a later sibling cannot paint into its corners.
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  RECT all = canvas.all();
  FillRect(canvas.dc(), &all, blue);
  DeleteObject(blue);
  EXPECT_COLOUR(canvas.At(0, 0), kWhite, 0);
  EXPECT_COLOUR(canvas.At(20, 20), 0x0000FF, 0);
  SelectClipRgn(canvas.dc(), nullptr);
  DeleteObject(outer);
}

// Records the order in which the painting steps run.
struct StepRecorder : CControlUI {
  std::vector<std::string> steps;
  void PaintBkColor(HDC) override { steps.push_back("bkcolor"); }
  void PaintBkImage(HDC) override { steps.push_back("bkimage"); }
  void PaintStatusImage(HDC) override { steps.push_back("status"); }
  void PaintForeColor(HDC) override { steps.push_back("forecolor"); }
  void PaintForeImage(HDC) override { steps.push_back("foreimage"); }
  void PaintText(HDC) override { steps.push_back("text"); }
  void PaintBorder(HDC) override { steps.push_back("border"); }
};

TEST(ControlPaint, SevenStepsInOrderOnlyForARequestThatMeetsTheControl) {
  CPaintManagerUI manager;
  StepRecorder control;
  control.SetManager(&manager, nullptr, false);
  control.SetPos(RECT{10, 10, 30, 30}, false);
  Canvas canvas(40, 40);

  EXPECT_FALSE(control.Paint(canvas.dc(), canvas.all(), &control));
  EXPECT_TRUE(control.steps.empty());

  EXPECT_TRUE(control.Paint(canvas.dc(), RECT{30, 0, 40, 40}));
  EXPECT_TRUE(control.steps.empty());

  EXPECT_TRUE(control.Paint(canvas.dc(), RECT{0, 0, 20, 40}));
  EXPECT_EQ(control.steps, (std::vector<std::string>{"bkcolor", "bkimage", "status", "forecolor",
                                                      "foreimage", "text", "border"}));
  const RECT& painted = control.GetPaintRect();
  EXPECT_TRUE(painted.left == 10 && painted.top == 10 && painted.right == 20 && painted.bottom == 30);
}

TEST(ControlPaint, ForeColourCoversTheBackground) {
  Painted p(RECT{0, 0, 10, 10});
  p.control.SetBkColor(0xFFFF0000);
  p.control.SetForeColor(0xFF00FF00);
  Canvas canvas(10, 10);
  p.control.Paint(canvas.dc(), canvas.all());
  EXPECT_COLOUR(canvas.At(5, 5), 0x00FF00, 0);
  // Colour HSL with the process's neutral adjustment changes nothing.
  p.control.SetColorHSL(true);
  EXPECT_EQ(p.control.GetAdjustColor(0xFF123456), 0xFF123456u);
}

}  // namespace
