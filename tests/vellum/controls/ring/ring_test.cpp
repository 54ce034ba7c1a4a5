#include "vellum/controls/ring/ring.h"

#include <gtest/gtest.h>
#include <windows.h>

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
using testing_support::Rgba;
using testing_support::Surface;
using testing_support::TestContainer;
using Vellum::CRingUI;

constexpr int kSize = 20;
constexpr DWORD kPaper = 0xFFFFFFFF;

// A PNG file, left half red and right half blue, in the temporary folder.
class HalvesImage {
 public:
  explicit HalvesImage(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    path_ = std::wstring(folder) + name;
    std::vector<Rgba> pixels;
    for (int y = 0; y < kSize; ++y) {
      for (int x = 0; x < kSize; ++x) {
        pixels.push_back(x < kSize / 2 ? Rgba{255, 0, 0, 255} : Rgba{0, 0, 255, 255});
      }
    }
    const std::string bytes = testing_support::EncodePng(kSize, kSize, pixels);
    HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
  }
  ~HalvesImage() { DeleteFileW(path_.c_str()); }
  const wchar_t* path() const { return path_.c_str(); }

 private:
  std::wstring path_;
};

struct Turning {
  ManagedWindow window;
  TestContainer* root = new TestContainer();
  CRingUI* ring = new CRingUI();
  NotificationRecorder recorder;
  Turning() {
    root->Add(ring, RECT{0, 0, kSize, kSize});
    window.manager().AttachRootControl(root);
    window.manager().AddNotifier(&recorder);
    ring->SetPos(RECT{0, 0, kSize, kSize}, false);
  }
  void Tick(UINT id = CRingUI::kRingTimerId) {
    Vellum::TUIEvent event;
    event.type = Vellum::UIEVENT_TIMER;
    event.sender = ring;
    event.wParam = id;
    ring->Event(event);
  }
  // The pixels left of and right of the centre.
  std::pair<DWORD, DWORD> Paint() {
    Surface surface(kSize, kSize, kPaper);
    ring->Paint(surface.dc(), RECT{0, 0, kSize, kSize});
    return {surface.At(3, kSize / 2) & 0xFFFFFF, surface.At(kSize - 4, kSize / 2) & 0xFFFFFF};
  }
};

TEST(Ring, TheAngleRunsThirtySixDegreesATurnAndStartsOver) {
  HalvesImage image(L"ring_turns.png");
  Turning t;
  t.ring->SetAttribute(L"bkimage", image.path());
  t.Paint();
  ASSERT_TRUE(t.ring->HasImage());
  const float expected[] = {36, 72, 108, 144, 180, 216, 252, 288, 324, 360, 36, 72};
  for (float angle : expected) {
    t.Tick();
    EXPECT_FLOAT_EQ(t.ring->GetAngle(), angle);
  }
  EXPECT_TRUE(t.recorder.OfType(L"timer").empty());
  t.Tick(7);  // another timer goes to the label
  EXPECT_FLOAT_EQ(t.ring->GetAngle(), 72);
  EXPECT_EQ(t.recorder.OfType(L"timer").size(), 1u);
}

TEST(RingPaint, TheImageTurnsAboutTheCentreAndTheFirstPaintStartsTheTimer) {
  HalvesImage image(L"ring_halves.png");
  Turning t;
  t.ring->SetAttribute(L"bkimage", image.path());
  EXPECT_FALSE(t.ring->HasImage());
  EXPECT_EQ(t.window.manager().GetTimerCount(), 0u);

  EXPECT_EQ(t.Paint(), std::make_pair(DWORD{0xFF0000}, DWORD{0x0000FF}));
  EXPECT_TRUE(t.ring->HasImage());
  EXPECT_EQ(t.window.manager().GetTimerCount(), 1u);

  for (int i = 0; i < 5; ++i) t.Tick();  // 180 degrees
  EXPECT_EQ(t.Paint(), std::make_pair(DWORD{0x0000FF}, DWORD{0xFF0000}));
  EXPECT_EQ(t.window.manager().GetTimerCount(), 1u) << "one timer, however often it paints";

  // The same file keeps the loaded image; another one drops it until the next paint.
  t.ring->SetAttribute(L"bkimage", image.path());
  EXPECT_TRUE(t.ring->HasImage());
  t.ring->SetAttribute(L"bkimage", L"missing_ring.png");
  EXPECT_FALSE(t.ring->HasImage());
  EXPECT_STREQ(t.ring->GetBkImage(), L"missing_ring.png");
  // A file that cannot be loaded draws nothing, and nothing turns: the timer stops until an
  // image loads again.
  EXPECT_EQ(t.Paint(), std::make_pair(DWORD{0xFFFFFF}, DWORD{0xFFFFFF}));
  EXPECT_EQ(t.window.manager().GetTimerCount(), 0u);
  t.ring->SetAttribute(L"bkimage", image.path());
  t.Paint();
  EXPECT_EQ(t.window.manager().GetTimerCount(), 1u);

  // Destruction stops the timer.
  t.root->Detach(t.ring);
  delete t.ring;
  EXPECT_EQ(t.window.manager().GetTimerCount(), 0u);
}

// A ring whose image cannot be loaded sets no timer and asks for no layout, also for a tick that
// was already on its way; under a manager without a window even a loaded image starts no timer.
TEST(Ring, AMissingImageOrAWindowlessManagerSetsNoTimer) {
  HalvesImage image(L"ring_missing_case.png");
  Turning t;
  t.ring->SetAttribute(L"bkimage", image.path());
  t.Paint();
  ASSERT_EQ(t.window.manager().GetTimerCount(), 1u);
  t.ring->SetAttribute(L"bkimage", L"missing_ring.png");
  EXPECT_EQ(t.window.manager().GetTimerCount(), 0u);
  t.Paint();
  EXPECT_EQ(t.window.manager().GetTimerCount(), 0u);
  t.root->SetPos(RECT{0, 0, kSize, kSize}, false);
  ASSERT_FALSE(t.root->IsUpdateNeeded());
  const float angle = t.ring->GetAngle();
  t.Tick();
  EXPECT_FLOAT_EQ(t.ring->GetAngle(), angle);
  EXPECT_FALSE(t.root->IsUpdateNeeded()) << "no layout asked for";

  Vellum::CPaintManagerUI windowless;
  TestContainer parent;
  CRingUI ring;
  ring.SetManager(&windowless, &parent, true);
  ring.SetAttribute(L"bkimage", image.path());
  ring.SetPos(RECT{0, 0, kSize, kSize}, false);
  Surface surface(kSize, kSize, kPaper);
  ring.Paint(surface.dc(), RECT{0, 0, kSize, kSize});
  EXPECT_TRUE(ring.HasImage());
  EXPECT_EQ(windowless.GetTimerCount(), 0u);
}

TEST(Ring, WithoutAnImageNothingIsDrawnAndNothingTurns) {
  Turning t;
  EXPECT_EQ(t.Paint(), std::make_pair(DWORD{0xFFFFFF}, DWORD{0xFFFFFF}));
  EXPECT_EQ(t.window.manager().GetTimerCount(), 0u);
}

TEST(Ring, Identity) {
  CRingUI ring;
  EXPECT_STREQ(ring.GetClass(), L"RingUI");
  EXPECT_EQ(ring.GetInterface(L"Ring"), static_cast<void*>(&ring));
  EXPECT_EQ(ring.GetInterface(L"ring"), nullptr);
  EXPECT_NE(ring.GetInterface(L"Label"), nullptr);
}

}  // namespace
