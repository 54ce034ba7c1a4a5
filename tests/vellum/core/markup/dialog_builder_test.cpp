#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "vellum/core/base_controls/button.h"
#include "vellum/core/layout/container.h"
#include "vellum/core/markup/dialog_builder.h"
#include "vellum/core/base_controls/label.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/layout/vertical_layout.h"
#include "vellum/core/layout/child_layout.h"
#include "vellum/core/markup/control_attribute_values.h"

namespace {

using namespace Vellum;

int g_probes_made = 0;
int g_probes_deleted = 0;

// A control that counts its making and deletions.
class ProbeUI : public CControlUI {
 public:
  ProbeUI() { ++g_probes_made; }
  ~ProbeUI() override { ++g_probes_deleted; }
  const wchar_t* GetClass() const override { return L"ProbeUI"; }
};

// A container that refuses every child.
class RefusingLayoutUI : public CVerticalLayoutUI {
 public:
  bool Add(CControlUI*) override { return false; }
};

class WidgetUI : public CControlUI {
 public:
  explicit WidgetUI(const wchar_t* made_by) : made_by_(made_by) {}
  const wchar_t* GetClass() const override { return made_by_; }

 private:
  const wchar_t* made_by_;
};

CControlUI* PluginCreator(const wchar_t* name) {
  if (_wcsicmp(name, L"Widget") == 0) return new WidgetUI(L"plugin");
  if (_wcsicmp(name, L"Label") == 0) return new WidgetUI(L"plugin");  // the factory comes first
  return nullptr;
}

class Callback : public IDialogBuilderCallback {
 public:
  CControlUI* CreateControl(const wchar_t* name) override {
    asked.push_back(name);
    if (_wcsicmp(name, L"Widget") == 0 || _wcsicmp(name, L"Gadget") == 0) {
      return new WidgetUI(L"callback");
    }
    if (_wcsicmp(name, L"Probe") == 0) return new ProbeUI();
    if (_wcsicmp(name, L"Refusing") == 0) return new RefusingLayoutUI();
    return nullptr;
  }
  std::vector<std::wstring> asked;
};

void WriteFile(const wchar_t* name, const char* text) {
  FILE* file = _wfopen(name, L"wb");
  ASSERT_NE(file, nullptr);
  fputs(text, file);
  fclose(file);
}

// A tree node and view as the builder sees them through their interfaces, recording where the
// builder put things. Child nodes belong to the node, as they do before a tree joins a view.
class FakeTreeNodeUI : public CContainerUI, public ITreeNodeUI {
 public:
  FakeTreeNodeUI() { CContainerUI::Add(row); }
  ~FakeTreeNodeUI() override {
    for (CControlUI* node : child_nodes) delete node;
  }
  LPVOID GetInterface(const wchar_t* name) override {
    if (_wcsicmp(name, kTreeNodeBuildInterface) == 0) return static_cast<ITreeNodeUI*>(this);
    return CContainerUI::GetInterface(name);
  }
  bool AddChildNode(CControlUI* node) override {
    if (refuse_children) return false;
    child_nodes.push_back(node);
    return true;
  }
  bool AddToRow(CControlUI* control) override { return row->Add(control); }
  CControlUI* GetTreeViewControl() const override { return view; }
  void DoInit() override { ++inits; }

  CContainerUI* row = new CContainerUI();
  std::vector<CControlUI*> child_nodes;
  CControlUI* view = nullptr;
  bool refuse_children = false;
  int inits = 0;
};

class FakeTreeViewUI : public CVerticalLayoutUI, public ITreeViewUI {
 public:
  LPVOID GetInterface(const wchar_t* name) override {
    if (_wcsicmp(name, kTreeViewBuildInterface) == 0) return static_cast<ITreeViewUI*>(this);
    return CVerticalLayoutUI::GetInterface(name);
  }
  bool AddNode(CControlUI* node) override {
    static_cast<FakeTreeNodeUI*>(node)->view = this;
    return CVerticalLayoutUI::Add(node);
  }
};

class TreeCallback : public IDialogBuilderCallback {
 public:
  CControlUI* CreateControl(const wchar_t* name) override {
    if (_wcsicmp(name, L"FakeTreeView") == 0) return new FakeTreeViewUI();
    if (_wcsicmp(name, L"FakeTreeNode") == 0) return new FakeTreeNodeUI();
    if (_wcsicmp(name, L"RefusingNode") == 0) {
      auto* node = new FakeTreeNodeUI();
      node->refuse_children = true;
      return node;
    }
    if (_wcsicmp(name, L"Probe") == 0) return new ProbeUI();
    return nullptr;
  }
};

class SkinBuilderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    manager_.Init(window_);
    g_probes_made = 0;
    g_probes_deleted = 0;
  }
  void TearDown() override { DestroyWindow(window_); }

  // Builds the skin and makes the result the manager's root (so names can be found).
  CControlUI* Build(const wchar_t* skin, IDialogBuilderCallback* callback = nullptr) {
    CSkinBuilder builder;
    CControlUI* root = builder.Create(skin, nullptr, callback, &manager_);
    if (root) manager_.AttachRootControl(root);
    return root;
  }
  static IContainerUI* Container(CControlUI* control) {
    return static_cast<IContainerUI*>(control->GetInterface(L"IContainer"));
  }

  HWND window_ = nullptr;
  CPaintManagerUI manager_;
};

TEST_F(SkinBuilderTest, ElementNamesCreateTheirClassesIgnoringCase) {
  CControlUI* root = Build(
      L"<Window><VerticalLayout><button name=\"a\"/><BUTTON name=\"b\"/><Label name=\"c\"/>"
      L"<HBox name=\"d\"/></VerticalLayout></Window>");
  ASSERT_NE(root, nullptr);
  EXPECT_STREQ(root->GetClass(), L"VerticalLayoutUI");
  ASSERT_EQ(Container(root)->GetCount(), 4);
  EXPECT_STREQ(manager_.FindControl(L"a")->GetClass(), L"ButtonUI");
  EXPECT_STREQ(manager_.FindControl(L"b")->GetClass(), L"ButtonUI");
  EXPECT_STREQ(manager_.FindControl(L"c")->GetClass(), L"LabelUI");
  EXPECT_STREQ(manager_.FindControl(L"d")->GetClass(), L"HorizontalLayoutUI");
  EXPECT_EQ(manager_.FindControl(L"a")->GetParent(), root);
}

TEST_F(SkinBuilderTest, FactoryThenPluginCreatorsThenCallbackAndUnknownElementsAreSkipped) {
  CPaintManagerUI::GetControlCreators().push_back(&PluginCreator);
  Callback callback;
  CControlUI* root = Build(
      L"<Window><VerticalLayout><Label name=\"factory\"/><Widget name=\"plugin\"/>"
      L"<Gadget name=\"callback\"/><Unknown name=\"skipped\"><Button name=\"child_of_unknown\"/>"
      L"</Unknown><Button name=\"after\"/></VerticalLayout></Window>",
      &callback);
  CPaintManagerUI::GetControlCreators().pop_back();
  ASSERT_NE(root, nullptr);
  EXPECT_STREQ(manager_.FindControl(L"factory")->GetClass(), L"LabelUI");
  EXPECT_STREQ(manager_.FindControl(L"plugin")->GetClass(), L"plugin");
  EXPECT_STREQ(manager_.FindControl(L"callback")->GetClass(), L"callback");
  EXPECT_EQ(manager_.FindControl(L"skipped"), nullptr);
  EXPECT_EQ(manager_.FindControl(L"child_of_unknown"), nullptr);
  ASSERT_NE(manager_.FindControl(L"after"), nullptr);
  EXPECT_EQ(Container(root)->GetCount(), 4);
  // The callback is asked only for what neither the factory nor a plug-in knows.
  EXPECT_EQ(callback.asked, (std::vector<std::wstring>{L"Gadget", L"Unknown"}));
}

TEST_F(SkinBuilderTest, ControlsThatCannotBeAttachedAreDeletedWithTheirChildren) {
  Callback callback;
  CControlUI* root = Build(
      L"<Window><VerticalLayout><Refusing name=\"refusing\"><Probe/><Probe/></Refusing>"
      L"<Label name=\"label\"><Probe><Probe/></Probe></Label></VerticalLayout></Window>",
      &callback);
  ASSERT_NE(root, nullptr);
  // Two probes refused by the container; one probe (with the probe inside it) under a label,
  // which holds no children.
  EXPECT_EQ(g_probes_deleted, 4);
  ASSERT_NE(manager_.FindControl(L"refusing"), nullptr);
  EXPECT_EQ(Container(manager_.FindControl(L"refusing"))->GetCount(), 0);
  EXPECT_NE(manager_.FindControl(L"label"), nullptr);
}

TEST_F(SkinBuilderTest, ClassDefaultsComeFirstAndTheXmlOverridesThem) {
  CControlUI* root = Build(
      L"<Window><Default name=\"Button\" value=\"textcolor=&quot;#FF0000FF&quot; width=&quot;50&quot;\"/>"
      L"<VerticalLayout><Button name=\"b\" textcolor=\"#FF00FF00\"/></VerticalLayout></Window>");
  ASSERT_NE(root, nullptr);
  auto* button = static_cast<CButtonUI*>(manager_.FindControl(L"b"));
  EXPECT_EQ(button->GetTextColor(), 0xFF00FF00u);
  EXPECT_EQ(button->GetFixedWidth(), 50);
  EXPECT_EQ(button->GetManager(), &manager_);
}

TEST_F(SkinBuilderTest, ResourceElementsFillTheManagersTables) {
  const CUIString default_face = manager_.GetDefaultFontInfo()->face_name;
  CControlUI* root = Build(
      L"<Window><Font id=\"3\" name=\"Arial\" size=\"17\" bold=\"true\"/>"
      L"<Font name=\"Courier New\" size=\"30\" default=\"true\"/>"
      L"<Style name=\"red\" value=\"textcolor=&quot;#FFFF0000&quot;\"/>"
      L"<Default name=\"Label\" value=\"height=&quot;21&quot;\"/>"
      L"<Image name=\"missing_image.png\"/>"
      L"<VerticalLayout><Label name=\"l\" style=\"red\"/></VerticalLayout></Window>");
  ASSERT_NE(root, nullptr);
  TUIFontInfo* font = manager_.GetFontInfo(3);
  EXPECT_STREQ(font->face_name.GetData(), L"Arial");
  EXPECT_EQ(font->size, 17);
  EXPECT_TRUE(font->bold);
  // A default font without an id changes nothing.
  EXPECT_STREQ(manager_.GetDefaultFontInfo()->face_name.GetData(), default_face.GetData());
  EXPECT_NE(manager_.GetStyle(L"red"), nullptr);
  EXPECT_STREQ(manager_.GetDefaultAttributeList(L"Label"), L"height=\"21\"");
  auto* label = static_cast<CLabelUI*>(manager_.FindControl(L"l"));
  EXPECT_EQ(label->GetFixedHeight(), 21);
  EXPECT_EQ(label->GetTextColor(), 0xFFFF0000u);
}

TEST_F(SkinBuilderTest, WindowAttributesAtOneAndAHalfTimesTheScale) {
  manager_.SetDPI(144);
  CControlUI* root = Build(
      L"<Window size=\"300,200\" caption=\"0,0,0,30\" sizebox=\"4,4,4,4\" roundcorner=\"6,6\" "
      L"mininfo=\"100,80\" maxinfo=\"600,0\" defaultfontcolor=\"#FF123456\" Layered=\"true\" "
      L"tooltiphovertime=\"900\" opacity=\"200\"><Control/></Window>");
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(manager_.GetInitSize().cx, 450);
  EXPECT_EQ(manager_.GetInitSize().cy, 300);
  const RECT caption = manager_.GetCaptionRect();
  EXPECT_EQ(caption.bottom, 45);
  EXPECT_EQ(manager_.GetSizeBox().left, 6);
  EXPECT_EQ(manager_.GetRoundCorner().cx, 9);
  EXPECT_EQ(manager_.GetMinInfo().cx, 150);
  EXPECT_EQ(manager_.GetMaxInfo().cx, 900);
  EXPECT_EQ(manager_.GetDefaultFontColor(), 0xFF123456u);
  EXPECT_EQ(manager_.GetHoverTime(), 900);
  EXPECT_EQ(manager_.GetOpacity(), 200);
  // Written with a capital letter, "layered" is no attribute of the window.
  EXPECT_FALSE(manager_.IsLayered());
}

TEST_F(SkinBuilderTest, LowerCaseLayeredTurnsTheWindowLayered) {
  ASSERT_NE(Build(L"<Window layered=\"true\"><Control/></Window>"), nullptr);
  EXPECT_TRUE(manager_.IsLayered());
}

TEST_F(SkinBuilderTest, IncludeInsertsItsTreeCountTimes) {
  WriteFile(L"wb_include_part.xml", "<Window><Label name=\"part\"/></Window>");
  CControlUI* root = Build(
      L"<Window><VerticalLayout><Include source=\"wb_include_part.xml\" count=\"3\"/>"
      L"<Button/></VerticalLayout></Window>");
  ASSERT_NE(root, nullptr);
  ASSERT_EQ(Container(root)->GetCount(), 4);
  for (int i = 0; i < 3; ++i) {
    EXPECT_STREQ(Container(root)->GetItemAt(i)->GetClass(), L"LabelUI");
  }
  EXPECT_STREQ(Container(root)->GetItemAt(3)->GetClass(), L"ButtonUI");
}

TEST_F(SkinBuilderTest, ASkinThatIncludesItselfStops) {
  WriteFile(L"wb_self.xml",
            "<Window><VerticalLayout><Include source=\"wb_self.xml\"/></VerticalLayout></Window>");
  CSkinBuilder builder;
  CControlUI* root = builder.Create(L"wb_self.xml", nullptr, nullptr, &manager_);
  ASSERT_NE(root, nullptr);
  int depth = 0;
  for (CControlUI* level = root; level != nullptr;
       level = Container(level)->GetCount() > 0 ? Container(level)->GetItemAt(0) : nullptr) {
    ++depth;
  }
  EXPECT_EQ(depth, CSkinBuilder::kMaxIncludeDepth + 1);
  manager_.AttachRootControl(root);
}

// Controls below root, counted through the container interface.
int CountBelow(CControlUI* control) {
  auto* container = static_cast<IContainerUI*>(control->GetInterface(L"IContainer"));
  if (container == nullptr) return 0;
  int count = 0;
  for (int i = 0; i < container->GetCount(); ++i) count += 1 + CountBelow(container->GetItemAt(i));
  return count;
}

TEST_F(SkinBuilderTest, IncludesAreBoundedInTotalNotOnlyInDepth) {
  // Twice itself at every level would be 2^16 copies within the depth limit.
  WriteFile(L"wb_fan.xml",
            "<Window><VerticalLayout><Include source=\"wb_fan.xml\"/>"
            "<Include source=\"wb_fan.xml\"/></VerticalLayout></Window>");
  WriteFile(L"wb_fan_part.xml", "<Window><Label/></Window>");
  struct Case {
    const wchar_t* skin;
    int below_root;
  };
  const Case cases[] = {
      {L"<Window><VerticalLayout><Include source=\"wb_fan.xml\"/></VerticalLayout></Window>",
       CSkinBuilder::kMaxIncludes},
      {L"<Window><VerticalLayout><Include source=\"wb_fan_part.xml\" count=\"2147483647\"/>"
       L"</VerticalLayout></Window>",
       CSkinBuilder::kMaxIncludes},
  };
  for (const Case& c : cases) {
    const DWORD started = GetTickCount();
    CSkinBuilder builder;
    CControlUI* root = builder.Create(c.skin, nullptr, nullptr, &manager_);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(CountBelow(root), c.below_root);
    EXPECT_LT(GetTickCount() - started, 5000u);
    delete root;
  }
  // Child layouts draw from the count of the skin that made them, even when they build their
  // files later, as the window attaches the tree: the first takes one document and its includes
  // the rest; the other two find nothing left.
  CControlUI* root = Build(
      L"<Window><VerticalLayout><ChildLayout xmlfile=\"wb_fan.xml\"/><ChildLayout xmlfile=\"wb_fan.xml\"/>"
      L"<ChildLayout xmlfile=\"wb_fan.xml\"/></VerticalLayout></Window>");
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(CountBelow(root), 3 + CSkinBuilder::kMaxIncludes);
}

TEST_F(SkinBuilderTest, OnlyTheFirstTopLevelControlIsBuiltAndNothingLeaks) {
  WriteFile(L"wb_probe.xml", "<Window><Probe/><Probe/></Window>");
  const wchar_t* const skins[] = {
      L"<Window><Probe name=\"first\"/><Probe/><Probe><Probe/></Probe></Window>",
      L"<Window><Include source=\"wb_probe.xml\"/><Probe name=\"first\"/>"
      L"<Include source=\"wb_probe.xml\" count=\"3\"/></Window>",
  };
  for (const wchar_t* skin : skins) {
    g_probes_made = 0;
    g_probes_deleted = 0;
    Callback callback;
    CSkinBuilder builder;
    CControlUI* root = builder.Create(skin, nullptr, &callback, &manager_);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->GetName(), L"first");
    delete root;
    EXPECT_EQ(g_probes_deleted, g_probes_made) << "every probe made was freed";
  }
}

TEST_F(SkinBuilderTest, AChildLayoutWhoseFileHoldsItselfStops) {
  WriteFile(L"wb_child_self.xml",
            "<Window><VerticalLayout><ChildLayout xmlfile=\"wb_child_self.xml\"/>"
            "</VerticalLayout></Window>");
  WriteFile(L"wb_child_a.xml",
            "<Window><VerticalLayout><ChildLayout xmlfile=\"wb_child_b.xml\"/>"
            "</VerticalLayout></Window>");
  WriteFile(L"wb_child_b.xml",
            "<Window><VerticalLayout><ChildLayout xmlfile=\"wb_child_a.xml\"/>"
            "<ChildLayout xmlfile=\"wb_child_a.xml\"/></VerticalLayout></Window>");
  struct Case {
    const wchar_t* skin;
    int below_root;
  };
  const Case cases[] = {
      // the child layout > its file's layout > the refused child layout, left empty
      {L"<Window><VerticalLayout><ChildLayout xmlfile=\"wb_child_self.xml\"/></VerticalLayout>"
       L"</Window>",
       3},
      // a > its layout > b > its layout > two refused a's
      {L"<Window><VerticalLayout><ChildLayout xmlfile=\"wb_child_a.xml\"/></VerticalLayout>"
       L"</Window>",
       6},
  };
  for (const Case& c : cases) {
    CControlUI* root = Build(c.skin);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(CountBelow(root), c.below_root) << c.skin;
  }
}

TEST_F(SkinBuilderTest, ValuesThatSizeMemoryOrDrawingAreClamped) {
  CControlUI* root = Build(
      L"<Window size=\"2147483647,4294967295\" mininfo=\"-5,99999999\" maxinfo=\"1048576,1\" "
      L"roundcorner=\"2147483647,-3\"><Font id=\"7\" name=\"Arial\" size=\"32768\"/>"
      L"<Font id=\"8\" size=\"-2147483648\"/><VerticalLayout inset=\"-2147483647,5,2147483647,abc\" "
      L"padding=\"1048576,-1048576,3,4\" childpadding=\"99999999\" bordersize=\"1048576\" "
      L"borderround=\"2147483647,2147483647\" leftbordersize=\"-7\" topbordersize=\"1048576\"/>"
      L"</Window>");
  ASSERT_NE(root, nullptr);
  ASSERT_NE(manager_.GetFontInfo(7), nullptr);
  EXPECT_EQ(manager_.GetFontInfo(7)->size, kMaxFontSize);
  ASSERT_NE(manager_.GetFontInfo(8), nullptr);
  EXPECT_EQ(manager_.GetFontInfo(8)->size, -kMaxFontSize);
  // No larger than the screens together.
  EXPECT_EQ(manager_.GetInitSize().cx, GetSystemMetrics(SM_CXVIRTUALSCREEN));
  EXPECT_EQ(manager_.GetInitSize().cy, GetSystemMetrics(SM_CYVIRTUALSCREEN));
  EXPECT_EQ(manager_.GetMinInfo().cx, 0);
  EXPECT_EQ(manager_.GetMinInfo().cy, kMaxWindowExtent);
  EXPECT_EQ(manager_.GetMaxInfo().cx, kMaxWindowExtent);
  EXPECT_EQ(manager_.GetRoundCorner().cx, kMaxBorderExtent);
  EXPECT_EQ(manager_.GetRoundCorner().cy, 0);
  auto* layout = static_cast<CContainerUI*>(root);
  const RECT inset = layout->GetInset();
  EXPECT_EQ(inset.left, -kMaxPaddingExtent);
  EXPECT_EQ(inset.top, 5);
  EXPECT_EQ(inset.right, kMaxPaddingExtent);
  EXPECT_EQ(inset.bottom, 0);
  EXPECT_EQ(root->GetPadding().left, kMaxPaddingExtent);
  EXPECT_EQ(root->GetPadding().top, -kMaxPaddingExtent);
  EXPECT_EQ(root->GetPadding().right, 3);
  EXPECT_EQ(layout->GetChildPadding(), kMaxPaddingExtent);
  EXPECT_EQ(root->GetBorderSize(), kMaxBorderExtent);
  EXPECT_EQ(root->GetBorderRound().cx, kMaxBorderExtent);
  EXPECT_EQ(root->GetBorderRound().cy, kMaxBorderExtent);
  EXPECT_EQ(root->GetBorderRect().left, 0);
  EXPECT_EQ(root->GetBorderRect().top, kMaxBorderExtent);
}

TEST_F(SkinBuilderTest, NestingStopsAtADepthNoSkinReaches) {
  // Thousands of nested containers would run the stack out while the tree is built, laid out or
  // painted: elements deeper than the limit are skipped with their children.
  std::wstring skin = L"<Window>";
  for (int i = 0; i < 5000; ++i) skin += L"<VerticalLayout>";
  for (int i = 0; i < 5000; ++i) skin += L"</VerticalLayout>";
  skin += L"</Window>";
  CControlUI* root = Build(skin.c_str());
  ASSERT_NE(root, nullptr);
  root->SetPos(RECT{0, 0, 400, 300}, false);
  int depth = 0;
  for (CControlUI* level = root; level != nullptr;
       level = Container(level)->GetCount() > 0 ? Container(level)->GetItemAt(0) : nullptr) {
    ++depth;
  }
  EXPECT_EQ(depth, CSkinBuilder::kMaxNesting);
}

TEST_F(SkinBuilderTest, SkinsFromResourcesAndTheirIncludesById) {
  CSkinBuilder builder;
  builder.SetInstance(GetModuleHandleW(nullptr));
  CControlUI* root = builder.Create(MAKEINTRESOURCEW(101), L"SKINXML", nullptr, &manager_);
  ASSERT_NE(root, nullptr);
  manager_.AttachRootControl(root);
  EXPECT_EQ(root->GetName(), L"from_resource");
  EXPECT_EQ(manager_.GetInitSize().cx, 120);

  CSkinBuilder with_includes;
  with_includes.SetInstance(GetModuleHandleW(nullptr));
  CControlUI* outer = with_includes.Create(MAKEINTRESOURCEW(102), L"SKINXML", nullptr, &manager_);
  ASSERT_NE(outer, nullptr);
  ASSERT_EQ(Container(outer)->GetCount(), 2);
  EXPECT_STREQ(Container(outer)->GetItemAt(1)->GetClass(), L"ButtonUI");
  manager_.AttachRootControl(outer);
}

TEST_F(SkinBuilderTest, NothingToBuildGivesNull) {
  CSkinBuilder missing;
  EXPECT_EQ(missing.Create(L"wb_no_such_skin.xml", nullptr, nullptr, &manager_), nullptr);
  CSkinBuilder bad_xml;
  EXPECT_EQ(bad_xml.Create(L"<Window><Label></Window>", nullptr, nullptr, &manager_), nullptr);
  CSkinBuilder no_resource;
  EXPECT_EQ(no_resource.Create(MAKEINTRESOURCEW(999), L"SKINXML", nullptr, &manager_), nullptr);
  CSkinBuilder empty_window;
  EXPECT_EQ(empty_window.Create(L"<Window/>", nullptr, nullptr, &manager_), nullptr);
}

TEST_F(SkinBuilderTest, TreeNodesJoinTheirParentNodeOrViewAndOtherControlsTheNodesRow) {
  TreeCallback callback;
  CControlUI* root = Build(
      L"<Window><FakeTreeView name=\"view\"><FakeTreeNode name=\"top\">"
      L"<FakeTreeNode name=\"nested\" width=\"40\"/><Label name=\"extra\"/></FakeTreeNode>"
      L"<RefusingNode name=\"refusing\"><Probe/></RefusingNode></FakeTreeView></Window>",
      &callback);
  ASSERT_NE(root, nullptr);
  auto* view = static_cast<FakeTreeViewUI*>(root);
  ASSERT_EQ(view->GetCount(), 2);
  auto* top = static_cast<FakeTreeNodeUI*>(view->GetItemAt(0));
  auto* refusing = static_cast<FakeTreeNodeUI*>(view->GetItemAt(1));
  EXPECT_EQ(top->view, view);

  // The nested node went to the node's child nodes, not among its container children; the label
  // went into the row, and a node that refuses a child gets it deleted.
  ASSERT_EQ(top->child_nodes.size(), 1u);
  auto* nested = static_cast<FakeTreeNodeUI*>(top->child_nodes[0]);
  EXPECT_EQ(nested->GetFixedWidth(), 40);
  EXPECT_EQ(top->GetCount(), 1);
  ASSERT_EQ(top->row->GetCount(), 1);
  EXPECT_EQ(top->row->GetItemAt(0)->GetName(), L"extra");
  EXPECT_EQ(refusing->row->GetCount(), 1);  // a probe is not a node: it goes into the row
  EXPECT_EQ(g_probes_deleted, 0);

  // Nodes are attached with their view as parent and initialised once, when the window attaches
  // the root; a nested node has no view yet, so it is attached without a parent and not
  // initialised. Other controls are detached again until the window takes the tree.
  EXPECT_EQ(top->inits, 1);
  EXPECT_EQ(nested->GetManager(), &manager_);
  EXPECT_EQ(nested->GetParent(), nullptr);
  EXPECT_EQ(nested->inits, 0);
}

TEST_F(SkinBuilderTest, ANodeRefusedByItsParentNodeIsDeleted) {
  TreeCallback callback;
  CControlUI* root = Build(
      L"<Window><VerticalLayout><RefusingNode name=\"refusing\"><FakeTreeNode>"
      L"<Probe/></FakeTreeNode></RefusingNode><FakeTreeNode name=\"plain\"/></VerticalLayout>"
      L"</Window>",
      &callback);
  ASSERT_NE(root, nullptr);
  // The refused node's row held the probe, and it went with it.
  EXPECT_EQ(g_probes_deleted, 1);
  EXPECT_TRUE(static_cast<FakeTreeNodeUI*>(manager_.FindControl(L"refusing"))->child_nodes.empty());
  // A node under a plain container is just its child.
  EXPECT_EQ(Container(root)->GetCount(), 2);
  EXPECT_EQ(static_cast<FakeTreeNodeUI*>(manager_.FindControl(L"plain"))->view, nullptr);
}

}  // namespace
