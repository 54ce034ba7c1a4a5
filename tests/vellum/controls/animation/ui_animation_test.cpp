#include "vellum/controls/animation/ui_animation.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/core/manager/control.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using testing_support::ManagedWindow;
using testing_support::TestContainer;
using Vellum::CControlUI;
using Vellum::CUIAnimation;

// A control that mixes the engine in and writes down every callback; a test may hook each one.
class Animated : public CControlUI, public CUIAnimation {
 public:
  Animated() : CUIAnimation(this) {}
  void OnAnimationStart(int id, bool first_loop) override {
    log.push_back(L"start " + std::to_wstring(id) + (first_loop ? L" first" : L""));
    if (on_start) on_start(id);
  }
  void OnAnimationStep(int total, int current, int id) override {
    log.push_back(L"step " + std::to_wstring(id) + L" " + std::to_wstring(current) + L"/" +
                  std::to_wstring(total));
    if (on_step) on_step(id, current);
  }
  void OnAnimationStop(int id) override {
    log.push_back(L"stop " + std::to_wstring(id));
    if (on_stop) on_stop(id);
  }
  size_t StoredRecords() const { return animations_.size(); }

  std::vector<std::wstring> log;
  std::function<void(int)> on_start;
  std::function<void(int, int)> on_step;
  std::function<void(int)> on_stop;
};

// The control under a manager of a message-only window, so that timers can start. The ticks are
// the test's own: the queue is never pumped.
struct Attached {
  ManagedWindow window;
  Animated* control = new Animated();
  Attached() {
    auto* root = new TestContainer();
    root->Add(control, RECT{0, 0, 10, 10});
    window.manager().AttachRootControl(root);
  }
  Vellum::CPaintManagerUI& manager() { return window.manager(); }
};

TEST(UIAnimation, FramesOfARunAndOfALoop) {
  const struct {
    bool loop;
    int ticks;
    std::vector<std::wstring> log;
    bool running_after;
    int frame_after;
  } cases[] = {
      // n frames step n + 1 times, then the run is gone.
      {false, 4,
       {L"start 5 first", L"step 5 0/3", L"step 5 1/3", L"step 5 2/3", L"step 5 3/3", L"stop 5"},
       false, -1},
      // A loop wraps after its last frame and goes on at frame 1 without a second start.
      {true, 6,
       {L"start 5 first", L"step 5 0/3", L"step 5 1/3", L"step 5 2/3", L"step 5 3/3", L"stop 5",
        L"step 5 1/3", L"step 5 2/3"},
       true, 3},
  };
  for (const auto& c : cases) {
    Attached a;
    ASSERT_TRUE(a.control->StartAnimation(10, 3, 5, c.loop));
    EXPECT_EQ(a.manager().GetTimerCount(), 1u);
    EXPECT_EQ(a.control->GetCurrentFrame(5), 0);
    for (int i = 0; i < c.ticks; ++i) a.control->OnAnimationElapse(5);
    EXPECT_EQ(a.control->log, c.log) << "loop " << c.loop;
    EXPECT_EQ(a.control->IsAnimationRunning(5), c.running_after);
    EXPECT_EQ(a.control->GetCurrentFrame(5), c.frame_after);
    EXPECT_EQ(a.manager().GetTimerCount(), c.running_after ? 1u : 0u);
  }
}

TEST(UIAnimation, StartIsRefusedWithoutEverythingItNeeds) {
  Attached a;
  ASSERT_TRUE(a.control->StartAnimation(10, 3, 1));
  EXPECT_FALSE(a.control->StartAnimation(20, 5, 1)) << "an id already running";
  EXPECT_FALSE(a.control->StartAnimation(0, 3, 2));
  EXPECT_FALSE(a.control->StartAnimation(-10, 3, 2));
  EXPECT_FALSE(a.control->StartAnimation(10, 0, 2));
  EXPECT_FALSE(a.control->StartAnimation(10, -1, 2));
  EXPECT_FALSE(a.control->IsAnimationRunning(2));
  EXPECT_EQ(a.manager().GetTimerCount(), 1u);

  Animated no_manager;
  EXPECT_FALSE(no_manager.StartAnimation(10, 3, 1));

  // A manager without a window would start a timer nobody ever sees or stops.
  Vellum::CPaintManagerUI windowless;
  Animated under_windowless;
  under_windowless.SetManager(&windowless, nullptr, false);
  EXPECT_FALSE(under_windowless.StartAnimation(10, 3, 1));
  EXPECT_FALSE(under_windowless.IsAnimationRunning(1));

  struct Ownerless : CUIAnimation {
    Ownerless() : CUIAnimation(nullptr) {}
  } ownerless;
  EXPECT_FALSE(ownerless.StartAnimation(10, 3, 1));
  ownerless.StopAnimation(0);
  ownerless.OnAnimationElapse(1);
}

TEST(UIAnimation, FramesAreSetOnlyWithinTheRun) {
  Attached a;
  ASSERT_TRUE(a.control->StartAnimation(10, 4, 7));
  EXPECT_TRUE(a.control->SetCurrentFrame(4, 7));
  EXPECT_EQ(a.control->GetCurrentFrame(7), 4);
  EXPECT_TRUE(a.control->SetCurrentFrame(0, 7));
  EXPECT_FALSE(a.control->SetCurrentFrame(5, 7));
  EXPECT_FALSE(a.control->SetCurrentFrame(-1, 7));
  EXPECT_FALSE(a.control->SetCurrentFrame(1, 8));
  EXPECT_EQ(a.control->GetCurrentFrame(7), 0);
  EXPECT_EQ(a.control->GetCurrentFrame(8), -1);

  // Set to its last frame, the next tick ends the run.
  a.control->SetCurrentFrame(4, 7);
  a.control->OnAnimationElapse(7);
  EXPECT_FALSE(a.control->IsAnimationRunning(7));
}

TEST(UIAnimation, StoppingOneOrAllStopsTheirTimers) {
  Attached a;
  for (int id : {1, 2, 3}) ASSERT_TRUE(a.control->StartAnimation(10, 3, id));
  EXPECT_EQ(a.manager().GetTimerCount(), 3u);
  a.control->StopAnimation(2);
  EXPECT_FALSE(a.control->IsAnimationRunning(2));
  EXPECT_TRUE(a.control->IsAnimationRunning(3));
  EXPECT_EQ(a.manager().GetTimerCount(), 2u);
  a.control->StopAnimation(9);  // nothing of that id
  EXPECT_EQ(a.manager().GetTimerCount(), 2u);
  a.control->StopAnimation(0);
  EXPECT_EQ(a.control->StoredRecords(), 0u);
  EXPECT_EQ(a.manager().GetTimerCount(), 0u);
  // A stopped id starts again from its first frame.
  ASSERT_TRUE(a.control->StartAnimation(10, 3, 2));
  a.control->OnAnimationElapse(2);
  EXPECT_EQ(a.control->log.front(), L"start 2 first");
}

// Callbacks that start and stop animations while a frame is being handled: the frame must go on
// only with the run it began with, and never with a record that moved or was freed.
TEST(UIAnimation, CallbacksThatStartOrStopAnimationsLeaveTheFrameSafely) {
  struct Case {
    const char* name;
    std::function<void(Animated&)> hook;
    bool running_after;  // id 1, after one tick
    int frame_after;
  };
  const Case cases[] = {
      {"stop itself in the start callback",
       [](Animated& c) { c.on_start = [&c](int id) { c.StopAnimation(id); }; }, false, -1},
      {"stop itself in a step",
       [](Animated& c) { c.on_step = [&c](int id, int) { c.StopAnimation(id); }; }, false, -1},
      {"stop every animation in a step",
       [](Animated& c) { c.on_step = [&c](int, int) { c.StopAnimation(0); }; }, false, -1},
      // The new run of the same id is left at its first frame, first loop still ahead.
      {"restart itself in a step",
       [](Animated& c) {
         c.on_step = [&c](int id, int) {
           c.on_step = nullptr;
           c.StopAnimation(id);
           c.StartAnimation(10, 3, id);
         };
       },
       true, 0},
      // Many new records move the list; this run still advances by one.
      {"start many others in a step",
       [](Animated& c) {
         c.on_step = [&c](int, int) {
           c.on_step = nullptr;
           for (int id = 100; id < 140; ++id) c.StartAnimation(10, 3, id);
         };
       },
       true, 1},
      {"stop an earlier record in a step",
       [](Animated& c) {
         c.on_step = [&c](int, int) {
           c.on_step = nullptr;
           c.StopAnimation(50);
         };
       },
       true, 1},
  };
  for (const Case& c : cases) {
    Attached a;
    ASSERT_TRUE(a.control->StartAnimation(10, 3, 50));
    ASSERT_TRUE(a.control->StartAnimation(10, 3, 1));
    c.hook(*a.control);
    a.control->OnAnimationElapse(1);
    EXPECT_EQ(a.control->IsAnimationRunning(1), c.running_after) << c.name;
    EXPECT_EQ(a.control->GetCurrentFrame(1), c.frame_after) << c.name;
    if (c.running_after && c.frame_after == 0) {
      a.control->log.clear();
      a.control->OnAnimationElapse(1);
      ASSERT_FALSE(a.control->log.empty());
      EXPECT_EQ(a.control->log.front(), L"start 1 first") << c.name;
    }
  }

  // Stopped in the stop callback of its last frame: the run simply ends.
  Attached a;
  ASSERT_TRUE(a.control->StartAnimation(10, 1, 1, true));
  a.control->on_stop = [&a](int id) { a.control->StopAnimation(id); };
  a.control->OnAnimationElapse(1);
  a.control->OnAnimationElapse(1);
  EXPECT_FALSE(a.control->IsAnimationRunning(1));
  EXPECT_EQ(a.manager().GetTimerCount(), 0u);
}

}  // namespace
