#include "vellum/controls/animation/fade_button.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/vellum/support/container_test_controls.h"
#include "tests/vellum/support/dib_surface.h"
#include "tests/vellum/support/image_fixtures.h"
#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using testing_support::ManagedWindow;
using testing_support::NotificationRecorder;
using testing_support::Surface;
using testing_support::TestContainer;
using Vellum::CFadeButtonUI;

constexpr int kSize = 8;
constexpr DWORD kPaper = 0xFFFFFFFF;

// A one-colour PNG file in the temporary folder, removed with the object.
class ColourImage {
 public:
  ColourImage(const wchar_t* name, testing_support::Rgba colour) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    path_ = std::wstring(folder) + name;
    const std::string bytes = testing_support::EncodePng(
        kSize, kSize, std::vector<testing_support::Rgba>(kSize * kSize, colour));
    HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
  }
  ~ColourImage() { DeleteFileW(path_.c_str()); }
  const wchar_t* path() const { return path_.c_str(); }

 private:
  std::wstring path_;
};

struct Fading {
  ManagedWindow window;
  CFadeButtonUI* button = new CFadeButtonUI();
  NotificationRecorder recorder;
  Fading() {
    auto* root = new TestContainer();
    root->Add(button, RECT{0, 0, kSize, kSize});
    window.manager().AttachRootControl(root);
    window.manager().AddNotifier(&recorder);
    button->SetPos(RECT{0, 0, kSize, kSize}, false);
  }
  void Send(int type, WPARAM wParam = 0) {
    Vellum::TUIEvent event;
    event.type = type;
    event.sender = button;
    event.wParam = wParam;
    button->Event(event);
  }
  void Tick(int id, int times = 1) {
    for (int i = 0; i < times; ++i) Send(Vellum::UIEVENT_TIMER, static_cast<WPARAM>(id));
  }
  bool FadingIn() { return button->IsAnimationRunning(CFadeButtonUI::kFadeInId); }
  bool FadingOut() { return button->IsAnimationRunning(CFadeButtonUI::kFadeOutId); }
};

TEST(FadeButton, AlphaRisesOverThirtyFramesFromTen) {
  Fading f;
  f.Send(Vellum::UIEVENT_MOUSEENTER);
  ASSERT_TRUE(f.FadingIn());
  EXPECT_EQ(f.button->GetFadeAlpha(), 0);
  // Ticks so far -> alpha after the last of them (frame ticks - 1 of 30, truncated; 0 shows as 10).
  const struct {
    int ticks;
    int alpha;
  } cases[] = {{1, 10}, {2, 8}, {16, 127}, {30, 246}, {31, 255}};
  int ticks = 0;
  for (const auto& c : cases) {
    f.Tick(CFadeButtonUI::kFadeInId, c.ticks - ticks);
    ticks = c.ticks;
    EXPECT_EQ(f.button->GetFadeAlpha(), c.alpha) << "after " << ticks << " ticks";
  }
  EXPECT_FALSE(f.FadingIn());
  EXPECT_EQ(f.window.manager().GetTimerCount(), 0u);
  // Timer events go to the fade only, never on to the button.
  EXPECT_TRUE(f.recorder.OfType(L"timer").empty());
}

TEST(FadeButton, InAndOutQuicklyReversesTheFadeFromZero) {
  Fading f;
  f.Send(Vellum::UIEVENT_MOUSEENTER);
  f.Tick(CFadeButtonUI::kFadeInId, 5);
  f.Send(Vellum::UIEVENT_MOUSEENTER);  // already fading in: nothing restarts
  EXPECT_EQ(f.button->GetCurrentFrame(CFadeButtonUI::kFadeInId), 5);

  f.Send(Vellum::UIEVENT_MOUSELEAVE);
  EXPECT_FALSE(f.FadingIn());
  EXPECT_TRUE(f.FadingOut());
  EXPECT_EQ(f.button->GetFadeAlpha(), 0);
  EXPECT_EQ(f.button->GetCurrentFrame(CFadeButtonUI::kFadeOutId), 0);

  f.Tick(CFadeButtonUI::kFadeOutId, 3);
  f.Send(Vellum::UIEVENT_MOUSEENTER);
  EXPECT_TRUE(f.FadingIn());
  EXPECT_FALSE(f.FadingOut());
  EXPECT_EQ(f.button->GetFadeAlpha(), 0);
  EXPECT_EQ(f.window.manager().GetTimerCount(), 1u);
}

TEST(FadeButton, ADisabledButtonDoesNotFade) {
  Fading f;
  f.button->SetEnabled(false);
  f.Send(Vellum::UIEVENT_MOUSEENTER);
  f.Send(Vellum::UIEVENT_MOUSELEAVE);
  EXPECT_FALSE(f.FadingIn());
  EXPECT_FALSE(f.FadingOut());
  EXPECT_EQ(f.window.manager().GetTimerCount(), 0u);
}

TEST(FadeButton, DestroyingTheButtonStopsItsFade) {
  ManagedWindow window;
  auto* root = new TestContainer();
  auto* button = new CFadeButtonUI();
  root->Add(button, RECT{0, 0, kSize, kSize});
  window.manager().AttachRootControl(root);
  Vellum::TUIEvent enter;
  enter.type = Vellum::UIEVENT_MOUSEENTER;
  enter.sender = button;
  button->Event(enter);
  ASSERT_EQ(window.manager().GetTimerCount(), 1u);
  root->Detach(button);
  delete button;
  EXPECT_EQ(window.manager().GetTimerCount(), 0u);
}

// Each channel within 3 of the expected value.
void ExpectNear(DWORD pixel, int r, int g, int b, const char* when) {
  const int got[] = {static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
                     static_cast<int>(pixel & 0xFF)};
  const int want[] = {r, g, b};
  for (int i = 0; i < 3; ++i) {
    EXPECT_LE(std::abs(got[i] - want[i]), 3) << when << std::hex << " pixel 0x" << pixel;
  }
}

TEST(FadeButtonPaint, CrossFadesBetweenNormalAndHot) {
  ColourImage red(L"fade_normal.png", {255, 0, 0, 255});
  ColourImage blue(L"fade_hot.png", {0, 0, 255, 255});
  ColourImage green(L"fade_disabled.png", {0, 255, 0, 255});
  Fading f;
  f.button->SetAttribute(L"normalimage", red.path());
  f.button->SetAttribute(L"hotimage", blue.path());
  f.button->SetAttribute(L"disabledimage", green.path());
  EXPECT_STREQ(f.button->GetLastImage().GetData(), red.path());

  auto paint = [&f]() {
    Surface surface(kSize, kSize, kPaper);
    f.button->Paint(surface.dc(), RECT{0, 0, kSize, kSize});
    return surface.At(4, 4);
  };
  ExpectNear(paint(), 255, 0, 0, "at rest");

  f.Send(Vellum::UIEVENT_MOUSEENTER);
  f.Tick(CFadeButtonUI::kFadeInId, 16);  // alpha 127
  // Red at 128 over white, then blue at 127 over that.
  ExpectNear(paint(), 128, 64, 191, "halfway in");
  f.Tick(CFadeButtonUI::kFadeInId, 15);
  ExpectNear(paint(), 0, 0, 255, "faded in");

  f.Send(Vellum::UIEVENT_MOUSELEAVE);
  f.Tick(CFadeButtonUI::kFadeOutId, 16);
  ExpectNear(paint(), 191, 64, 128, "halfway out");
  f.Tick(CFadeButtonUI::kFadeOutId, 15);
  ExpectNear(paint(), 255, 0, 0, "faded out");

  // The disabled image wins over any fade.
  f.Send(Vellum::UIEVENT_MOUSEENTER);
  f.button->SetEnabled(false);
  ExpectNear(paint(), 0, 255, 0, "disabled");
}

TEST(FadeButton, Identity) {
  CFadeButtonUI button;
  EXPECT_STREQ(button.GetClass(), L"FadeButtonUI");
  EXPECT_EQ(button.GetInterface(L"FadeButton"), static_cast<void*>(&button));
  EXPECT_EQ(button.GetInterface(L"fadebutton"), nullptr);
  EXPECT_NE(button.GetInterface(L"Button"), nullptr);
}

}  // namespace
