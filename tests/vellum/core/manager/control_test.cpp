#include "vellum/core/manager/control.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/base/ui_events.h"

namespace {

using namespace Vellum;

// Counts the firings of an event source and can act on the control while it fires.
struct SizeListener {
  int calls = 0;
  bool resize_inside = false;
  bool OnSize(void* param) {
    ++calls;
    if (resize_inside) static_cast<CControlUI*>(param)->SetPos(RECT{0, 0, 5, 5}, false);
    return true;
  }
};

// A parent that records which children asked it for a layout, and lays out as any control does.
struct NamingParent : CControlUI {
  std::vector<CControlUI*> named;
  void NeedChildUpdate(CControlUI* child) override {
    named.push_back(child);
    CControlUI::NeedChildUpdate(child);
  }
};

// A parent and a child attached to a manager without a window, laid out once so that neither
// needs an update.
struct Tree {
  CPaintManagerUI manager;
  NamingParent parent;
  CControlUI child;
  Tree() {
    parent.SetManager(&manager, nullptr, false);
    child.SetManager(&manager, &parent, false);
    parent.SetPos(RECT{0, 0, 100, 100}, false);
    child.SetPos(RECT{10, 10, 50, 50}, false);
  }
};

TEST(ControlLayout, SetPosStoresARectangleNeverInsideOut) {
  CControlUI control;
  control.SetPos(RECT{30, 40, 10, 20});
  EXPECT_EQ(control.GetPos().left, 30);
  EXPECT_EQ(control.GetPos().right, 30);
  EXPECT_EQ(control.GetPos().top, 40);
  EXPECT_EQ(control.GetPos().bottom, 40);
  EXPECT_EQ(control.GetWidth(), 0);
  // Detached, the control only stores the rectangle: layout is still owed.
  EXPECT_TRUE(control.IsUpdateNeeded());
}

TEST(ControlLayout, SetPosFiresOnSizeOnceEvenWhenTheListenerMovesTheControl) {
  CPaintManagerUI manager;
  CControlUI control;
  control.SetManager(&manager, nullptr, false);
  SizeListener listener;
  listener.resize_inside = true;
  control.OnSize += CDelegate<SizeListener>(&listener, &SizeListener::OnSize);

  control.SetPos(RECT{0, 0, 20, 20}, false);
  EXPECT_EQ(listener.calls, 1);
  EXPECT_FALSE(control.IsUpdateNeeded());
  EXPECT_EQ(control.GetWidth(), 5);  // the listener's own SetPos went through
}

TEST(ControlLayout, RelativePositionIsAgainstTheParent) {
  Tree tree;
  tree.parent.SetPos(RECT{100, 200, 300, 400}, false);
  tree.child.SetPos(RECT{110, 230, 150, 260}, false);
  const RECT relative = tree.child.GetRelativePos();
  EXPECT_EQ(relative.left, 10);
  EXPECT_EQ(relative.top, 30);
  EXPECT_EQ(relative.right, 50);
  EXPECT_EQ(relative.bottom, 60);
  const RECT none = tree.parent.GetRelativePos();
  EXPECT_TRUE(IsRectEmpty(&none) && none.left == 0 && none.top == 0);
}

TEST(ControlLayout, GeometrySettersAskTheParentForLayoutOnlyForRealChanges) {
  const struct {
    const char* what;
    void (*change)(CControlUI&);
    bool relayout;
  } cases[] = {
      {"fixed width", [](CControlUI& c) { c.SetFixedWidth(12); }, true},
      {"negative fixed width", [](CControlUI& c) { c.SetFixedWidth(-5); }, false},
      {"negative fixed height", [](CControlUI& c) { c.SetFixedHeight(-1); }, false},
      {"min width", [](CControlUI& c) { c.SetMinWidth(3); }, true},
      {"unchanged min width", [](CControlUI& c) { c.SetMinWidth(0); }, false},
      {"unchanged max height", [](CControlUI& c) { c.SetMaxHeight(9999); }, false},
      {"negative max width", [](CControlUI& c) { c.SetMaxWidth(-2); }, false},
      {"padding", [](CControlUI& c) { c.SetPadding(RECT{1, 2, 3, 4}); }, true},
      {"fixed xy", [](CControlUI& c) { c.SetFixedXY(SIZE{4, 5}); }, true},
      {"move", [](CControlUI& c) { c.Move(SIZE{1, 1}); }, true},
      {"float on", [](CControlUI& c) { c.SetFloat(true); }, true},
      {"float unchanged", [](CControlUI& c) { c.SetFloat(false); }, false},
      {"float align", [](CControlUI& c) { c.SetFloatAlign(UIFLOAT_RIGHT); }, true},
      {"fixed height", [](CControlUI& c) { c.SetFixedHeight(7); }, true},
      {"min height", [](CControlUI& c) { c.SetMinHeight(4); }, true},
      {"max height", [](CControlUI& c) { c.SetMaxHeight(40); }, true},
      {"float percent", [](CControlUI& c) { c.SetFloatPercent(TFloatPercent{0, 0, 1, 1}); }, true},
      {"hide", [](CControlUI& c) { c.SetVisible(false); }, true},
      {"show shown", [](CControlUI& c) { c.SetVisible(true); }, false},
      {"colour", [](CControlUI& c) { c.SetBkColor(0xFF102030); }, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Tree tree;
    ASSERT_FALSE(tree.parent.IsUpdateNeeded());
    c.change(tree.child);
    EXPECT_EQ(tree.parent.IsUpdateNeeded(), c.relayout);
    // The parent learns which child changed, so it may measure only that one again.
    EXPECT_EQ(tree.parent.named,
              c.relayout ? std::vector<CControlUI*>{&tree.child} : std::vector<CControlUI*>{});
    if (c.relayout) {
      EXPECT_TRUE(tree.manager.IsUpdateNeeded());
    }
  }
  Tree tree;
  tree.child.SetFixedWidth(-5);
  EXPECT_EQ(tree.child.GetFixedWidth(), 0);
  tree.child.Move(SIZE{3, 4});
  tree.child.Move(SIZE{1, -1});
  EXPECT_EQ(tree.child.GetFixedXY().cx, 4);
  EXPECT_EQ(tree.child.GetFixedXY().cy, 3);
}

TEST(ControlLayout, AnInvisibleControlStillReachesItsParent) {
  Tree tree;
  tree.child.SetVisible(false);
  tree.parent.SetPos(RECT{0, 0, 100, 100}, false);  // the layout that followed hiding it
  ASSERT_FALSE(tree.parent.IsUpdateNeeded());

  tree.child.NeedUpdate();
  EXPECT_FALSE(tree.child.IsUpdateNeeded());
  EXPECT_FALSE(tree.parent.IsUpdateNeeded());

  tree.child.NeedParentUpdate();
  EXPECT_TRUE(tree.parent.IsUpdateNeeded());
  EXPECT_TRUE(tree.manager.IsUpdateNeeded());
}

TEST(ControlLayout, GettersScaleWhatTheSettersStoreAsWritten) {
  CPaintManagerUI manager;
  manager.SetDPI(144);  // 150 %
  CControlUI control;
  control.SetFixedWidth(20);
  control.SetFixedHeight(-3);  // ignored
  control.SetMinHeight(10);
  control.SetPadding(RECT{2, 4, 6, 8});
  control.SetFixedXY(SIZE{10, 20});
  control.SetBorderSize(2);
  control.SetBorderSize(RECT{2, 0, 4, 0});
  control.SetBorderRound(SIZE{6, 8});

  // Detached: the values as written.
  EXPECT_EQ(control.GetFixedWidth(), 20);
  EXPECT_EQ(control.GetToolTipWidth(), 300);

  control.SetManager(&manager, nullptr, false);
  EXPECT_EQ(control.GetFixedWidth(), 30);
  EXPECT_EQ(control.GetFixedHeight(), 0);
  EXPECT_EQ(control.GetMinHeight(), 15);
  EXPECT_EQ(control.GetMaxWidth(), 14999);  // MulDiv rounds
  EXPECT_EQ(control.GetToolTipWidth(), 450);
  EXPECT_EQ(control.GetBorderSize(), 3);
  EXPECT_EQ(control.GetBorderRect().right, 6);
  EXPECT_EQ(control.GetBorderRound().cy, 12);
  const RECT padding = control.GetPadding();
  EXPECT_EQ(padding.left, 3);
  EXPECT_EQ(padding.bottom, 12);
  EXPECT_EQ(control.GetFixedXY().cy, 30);
  EXPECT_EQ(control.GetFixedSize().cx, 30);
  EXPECT_EQ(control.EstimateSize(SIZE{500, 500}).cx, 30);

  control.SetManager(nullptr, nullptr, false);
  EXPECT_EQ(control.GetFixedWidth(), 20);
}

TEST(ControlVisibility, HidingTheFocusedControlClearsTheWindowsFocusForGood) {
  Tree tree;
  tree.manager.SetFocus(&tree.child);
  ASSERT_EQ(tree.manager.GetFocus(), &tree.child);
  ASSERT_TRUE(tree.child.IsFocused());

  tree.child.SetVisible(false);
  EXPECT_EQ(tree.manager.GetFocus(), nullptr);
  EXPECT_FALSE(tree.child.IsFocused());
  EXPECT_FALSE(tree.child.IsVisible());

  tree.child.SetVisible(true);
  EXPECT_EQ(tree.manager.GetFocus(), nullptr);
  EXPECT_FALSE(tree.child.IsFocused());

  tree.manager.SetFocus(&tree.child);
  tree.child.SetInheritedVisible(false);
  EXPECT_EQ(tree.manager.GetFocus(), nullptr);
  EXPECT_FALSE(tree.child.IsVisible());
  tree.child.SetInheritedVisible(true);
  EXPECT_TRUE(tree.child.IsVisible());
}

TEST(ControlVisibility, ActivateAndEnabling) {
  CControlUI control;
  EXPECT_TRUE(control.Activate());
  control.SetEnabled(false);
  EXPECT_FALSE(control.Activate());
  control.SetEnabled(true);
  control.SetVisible(false);
  EXPECT_FALSE(control.Activate());
}

CControlUI* CALLBACK FindAny(CControlUI* control, LPVOID) { return control; }

TEST(ControlFind, FlagsFilterBeforeTheCallback) {
  const struct {
    const char* what;
    bool visible, enabled, mouse;
    POINT point;
    UINT flags;
    bool found;
  } cases[] = {
      {"no flags on a hidden control", false, false, false, {0, 0}, 0, true},
      {"visible only", false, true, true, {20, 20}, UIFIND_VISIBLE, false},
      {"enabled only", true, false, true, {20, 20}, UIFIND_ENABLED, false},
      {"hidden passes an enabled test", false, true, true, {20, 20}, UIFIND_ENABLED, true},
      {"hit inside", true, true, true, {20, 20}, UIFIND_HITTEST, true},
      {"hit on the left edge", true, true, true, {10, 20}, UIFIND_HITTEST, true},
      {"right edge is outside", true, true, true, {50, 20}, UIFIND_HITTEST, false},
      {"mouse disabled", true, true, false, {20, 20}, UIFIND_HITTEST, false},
      {"all three", true, true, true, {20, 20}, UIFIND_VISIBLE | UIFIND_ENABLED | UIFIND_HITTEST, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CControlUI control;
    control.SetPos(RECT{10, 10, 50, 50});
    control.SetVisible(c.visible);
    control.SetEnabled(c.enabled);
    control.SetMouseEnabled(c.mouse);
    POINT point = c.point;
    EXPECT_EQ(control.FindControl(FindAny, &point, c.flags), c.found ? &control : nullptr);
  }
}

// Records the order of initialisation.
struct InitRecorder : CControlUI {
  std::vector<std::string>* log;
  explicit InitRecorder(std::vector<std::string>* l) : log(l) {}
  void DoInit() override { log->push_back("DoInit"); }
};
struct InitListener {
  std::vector<std::string>* log;
  bool OnInit(void*) {
    log->push_back("OnInit");
    return true;
  }
  bool OnDestroy(void*) {
    log->push_back("OnDestroy");
    return true;
  }
};

TEST(ControlLifecycle, InitRunsOnAttachWithAParentAndDestroyFiresOnce) {
  std::vector<std::string> log;
  CPaintManagerUI manager;
  CControlUI parent;
  InitListener listener{&log};
  {
    InitRecorder control(&log);
    control.OnInit += CDelegate<InitListener>(&listener, &InitListener::OnInit);
    control.OnDestroy += CDelegate<InitListener>(&listener, &InitListener::OnDestroy);
    control.SetManager(&manager, nullptr, true);  // no parent: no Init
    EXPECT_TRUE(log.empty());
    control.SetManager(&manager, &parent, false);
    EXPECT_TRUE(log.empty());
    control.SetManager(&manager, &parent, true);
    EXPECT_EQ(log, (std::vector<std::string>{"DoInit", "OnInit"}));
    EXPECT_EQ(control.GetManager(), &manager);
    EXPECT_EQ(control.GetParent(), &parent);
  }
  EXPECT_EQ(log, (std::vector<std::string>{"DoInit", "OnInit", "OnDestroy"}));
}

TEST(ControlLifecycle, ADeletedControlIsForgottenByItsManager) {
  CPaintManagerUI manager;
  CControlUI parent;
  parent.SetManager(&manager, nullptr, false);
  auto* child = new CControlUI();
  child->SetManager(&manager, &parent, false);
  manager.SetFocus(child);
  ASSERT_EQ(manager.GetFocus(), child);
  delete child;
  EXPECT_EQ(manager.GetFocus(), nullptr);
}

TEST(ControlIdentity, NamesInterfacesAndVirtualWindows) {
  CPaintManagerUI manager;
  CControlUI parent;
  CControlUI child;
  child.SetManager(&manager, &parent, false);
  EXPECT_STREQ(child.GetClass(), L"ControlUI");
  EXPECT_EQ(child.GetInterface(L"control"), &child);
  EXPECT_EQ(child.GetInterface(L"Container"), nullptr);
  EXPECT_EQ(child.GetInterface(nullptr), nullptr);
  EXPECT_EQ(child.GetControlFlags(), 0u);

  EXPECT_TRUE(child.GetVirtualWnd().IsEmpty());
  EXPECT_FALSE(manager.IsUseVirtualWnd());
  parent.SetVirtualWnd(L"page");  // detached: the manager is not told
  EXPECT_FALSE(manager.IsUseVirtualWnd());
  EXPECT_TRUE(child.GetVirtualWnd() == L"page");
  child.SetVirtualWnd(L"own");
  EXPECT_TRUE(manager.IsUseVirtualWnd());
  EXPECT_TRUE(child.GetVirtualWnd() == L"own");
}

TEST(ControlText, LineBreakMarksInTextsAndToolTips) {
  CControlUI control;
  control.SetText(L"one{\\n}two");
  EXPECT_TRUE(control.GetText() == L"one\ntwo");
  control.SetToolTip(L"a<n>b<n>");
  EXPECT_TRUE(control.GetToolTip() == L"a\r\nb\r\n");
  control.SetText(nullptr);
  EXPECT_TRUE(control.GetText().IsEmpty());
}

}  // namespace
