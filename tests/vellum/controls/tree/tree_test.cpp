// The tree view and its nodes: trees from skin XML and at run time, row order and indents,
// folders opening and closing subtrees, checks carried down, removal, double clicks, the item
// colours and the attributes.

#include "vellum/controls/tree/tree_view.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/vellum/support/container_test_controls.h"
#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/controls/list/list_header.h"
#include "vellum/controls/tree/tree_node.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/base_controls/label.h"
#include "vellum/core/base_controls/option.h"
#include "vellum/core/layout/horizontal_layout.h"
#include "vellum/core/layout/vertical_layout.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/dialog_builder.h"

namespace {

using testing_support::NotificationRecorder;
using Vellum::CControlUI;
using Vellum::CSkinBuilder;
using Vellum::CTreeNodeUI;
using Vellum::CTreeViewUI;
using Vellum::TUIEvent;

// A view attached to a message-only window's manager, so the buttons' notifications reach it.
struct Tree {
  testing_support::ManagedWindow window{true, 300, 400};
  NotificationRecorder recorder;
  CTreeViewUI* view = nullptr;

  // From skin XML of a view element.
  explicit Tree(const wchar_t* view_xml) {
    const std::wstring skin = std::wstring(L"<Window>") + view_xml + L"</Window>";
    CSkinBuilder builder;
    view = CTreeViewUI::FromControl(
        builder.Create(skin.c_str(), nullptr, nullptr, &window.manager()));
    Attach();
  }
  Tree() : view(new CTreeViewUI()) { Attach(); }
  void Attach() {
    window.manager().AttachRootControl(view);
    window.manager().AddNotifier(&recorder);
    view->SetPos(RECT{0, 0, 300, 400}, false);
  }

  CTreeNodeUI* Node(const wchar_t* name) {
    return static_cast<CTreeNodeUI*>(window.manager().FindControl(name));
  }
  // The rows' texts in list order.
  std::vector<std::wstring> Rows() const {
    std::vector<std::wstring> rows;
    for (int i = 0; i < view->GetCount(); ++i) {
      rows.push_back(view->NodeAt(i)->GetItemButton()->GetText().GetData());
    }
    return rows;
  }
  // The texts of the visible rows.
  std::vector<std::wstring> VisibleRows() const {
    std::vector<std::wstring> rows;
    for (int i = 0; i < view->GetCount(); ++i) {
      if (view->NodeAt(i)->IsVisible()) {
        rows.push_back(view->NodeAt(i)->GetItemButton()->GetText().GetData());
      }
    }
    return rows;
  }
  void Send(CControlUI* control, int type) {
    TUIEvent event;
    event.type = type;
    event.sender = control;
    event.mouse_point = POINT{5, 5};
    control->Event(event);
  }
};

CTreeNodeUI* MakeNode(const wchar_t* text) {
  auto* node = new CTreeNodeUI();
  node->SetAttribute(L"text", text);
  return node;
}

using Rows = std::vector<std::wstring>;

// a { a1 { a11, a12 }, a2 }, b
constexpr const wchar_t* kTreeXml =
    L"<TreeView name=\"view\">"
    L"<TreeNode name=\"a\" text=\"a\">"
    L"<TreeNode name=\"a1\" text=\"a1\"><TreeNode name=\"a11\" text=\"a11\"/>"
    L"<TreeNode name=\"a12\" text=\"a12\"/></TreeNode>"
    L"<TreeNode name=\"a2\" text=\"a2\"/>"
    L"</TreeNode>"
    L"<TreeNode name=\"b\" text=\"b\"/>"
    L"</TreeView>";

TEST(TreeView, IdentityAndHiddenHeader) {
  CTreeViewUI view;
  CTreeNodeUI node;
  EXPECT_STREQ(view.GetClass(), L"TreeViewUI");
  EXPECT_STREQ(node.GetClass(), L"TreeNodeUI");
  EXPECT_EQ(CTreeViewUI::FromControl(&view), &view);
  EXPECT_EQ(CTreeNodeUI::FromControl(&node), &node);
  EXPECT_EQ(CTreeNodeUI::FromControl(&view), nullptr);
  EXPECT_EQ(view.GetListType(), Vellum::UILIST_TYPE_TREE);
  EXPECT_FALSE(view.GetHeader()->IsVisible());
  EXPECT_NE(node.GetInterface(L"ListItem"), nullptr);

  // The row: spacer, folder button, check box, item button, as the node's only container child.
  ASSERT_EQ(node.GetCount(), 1);
  EXPECT_EQ(node.GetItemAt(0), node.GetRowLayout());
  EXPECT_EQ(node.GetRowLayout()->GetItemAt(0), node.GetDottedLine());
  EXPECT_EQ(node.GetRowLayout()->GetItemAt(1), node.GetFolderButton());
  EXPECT_EQ(node.GetRowLayout()->GetItemAt(2), node.GetCheckBox());
  EXPECT_EQ(node.GetRowLayout()->GetItemAt(3), node.GetItemButton());
  EXPECT_EQ(node.GetFixedHeight(), 18);
  EXPECT_EQ(node.GetFixedWidth(), 250);
  EXPECT_EQ(node.GetFolderButton()->GetFixedWidth(), 18);
  EXPECT_FALSE(node.GetDottedLine()->IsVisible());
  EXPECT_FALSE(node.GetCheckBox()->IsVisible());
  EXPECT_FALSE(node.GetItemButton()->IsMouseEnabled());

  // A node made for a parent starts one level deeper.
  CTreeNodeUI child(&node);
  EXPECT_EQ(child.GetParentNode(), &node);
  EXPECT_EQ(child.GetDottedLine()->GetFixedWidth(), 18);
  EXPECT_TRUE(child.GetDottedLine()->IsVisible());
}

TEST(TreeView, EachAnswersItsOwnNameWithItselfAndTheBuilderUnderNamesOfItsOwn) {
  CTreeViewUI view;
  CTreeNodeUI node;
  const struct {
    const char* what;
    CControlUI* control;
    const wchar_t* name;
    void* expected;
  } cases[] = {
      {"node", &node, L"TreeNode", static_cast<CTreeNodeUI*>(&node)},
      {"view", &view, L"treeview", static_cast<CTreeViewUI*>(&view)},
      {"node's builder part", &node, L"ITreeNode", static_cast<Vellum::ITreeNodeUI*>(&node)},
      {"view's builder part", &view, L"ITreeView", static_cast<Vellum::ITreeViewUI*>(&view)},
      {"node asked for the view", &node, L"TreeView", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.control->GetInterface(c.name), c.expected);
  }
  // As callers use the answer: cast to the class.
  CControlUI* as_control = &node;
  auto* back = static_cast<CTreeNodeUI*>(as_control->GetInterface(L"TreeNode"));
  ASSERT_EQ(back, &node);
  EXPECT_EQ(back->GetItemButton(), node.GetItemButton());
  as_control = &view;
  EXPECT_EQ(static_cast<CTreeViewUI*>(as_control->GetInterface(L"TreeView"))->GetListType(),
            Vellum::UILIST_TYPE_TREE);
}

// A node that counts its "init" delegate.
class InitCountingNode : public CTreeNodeUI {
 public:
  InitCountingNode() {
    OnInit += Vellum::CDelegate<InitCountingNode>(this, &InitCountingNode::Count);
  }
  bool Count(void*) {
    ++inits;
    return true;
  }
  int inits = 0;
};

class InitCountingCallback : public Vellum::IDialogBuilderCallback {
 public:
  CControlUI* CreateControl(const wchar_t* name) override {
    if (_wcsicmp(name, L"CountingNode") != 0) return nullptr;
    nodes.push_back(new InitCountingNode());
    return nodes.back();
  }
  std::vector<InitCountingNode*> nodes;
};

TEST(TreeView, NodesFromASkinAreInitialisedOnce) {
  constexpr const wchar_t* kNodes =
      L"<CountingNode name=\"a\" text=\"a\"><CountingNode name=\"a1\" text=\"a1\">"
      L"<CountingNode name=\"a11\" text=\"a11\"/></CountingNode></CountingNode>"
      L"<CountingNode name=\"b\" text=\"b\"/>";
  const struct {
    const char* what;
    bool into_attached_view;
  } cases[] = {
      {"a window's tree, initialised as the window takes it", false},
      {"built into a view already in the window", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    InitCountingCallback callback;
    testing_support::ManagedWindow window{true, 300, 400};
    CSkinBuilder builder;
    CTreeViewUI* view = nullptr;
    if (c.into_attached_view) {
      view = new CTreeViewUI();
      window.manager().AttachRootControl(view);
      const std::wstring skin = std::wstring(L"<Window>") + kNodes + L"</Window>";
      builder.Create(skin.c_str(), nullptr, &callback, &window.manager(), view);
    } else {
      const std::wstring skin =
          std::wstring(L"<Window><TreeView>") + kNodes + L"</TreeView></Window>";
      view = CTreeViewUI::FromControl(
          builder.Create(skin.c_str(), nullptr, &callback, &window.manager()));
      ASSERT_NE(view, nullptr);
      window.manager().AttachRootControl(view);
    }
    ASSERT_EQ(view->GetCount(), 4);
    ASSERT_EQ(callback.nodes.size(), 4u);
    for (InitCountingNode* node : callback.nodes) {
      EXPECT_EQ(node->inits, 1) << node->GetName().GetData();
    }
  }
}

TEST(TreeView, NestedNodesFromXmlFollowTheirParentsWithDeeperIndents) {
  Tree tree(kTreeXml);
  ASSERT_NE(tree.view, nullptr);
  EXPECT_EQ(tree.Rows(), (Rows{L"a", L"a1", L"a11", L"a12", L"a2", L"b"}));

  const struct {
    const wchar_t* name;
    int level;
    int folder_indent;
    int spacer;
    bool spacer_visible;
  } cases[] = {
      {L"a", 0, 0, 2, false},
      {L"a1", 1, 18, 18, true},
      {L"a11", 2, 36, 34, true},
      {L"b", 0, 0, 2, false},
  };
  for (const auto& c : cases) {
    CTreeNodeUI* node = tree.Node(c.name);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->GetTreeLevel(), c.level);
    EXPECT_EQ(node->GetFolderButton()->GetPadding().left, c.folder_indent);
    EXPECT_EQ(node->GetDottedLine()->GetFixedWidth(), c.spacer);
    EXPECT_EQ(node->GetDottedLine()->IsVisible(), c.spacer_visible);
    EXPECT_EQ(node->GetTreeView(), tree.view);
  }
  CTreeNodeUI* a = tree.Node(L"a");
  EXPECT_EQ(a->GetCountChild(), 2);
  EXPECT_EQ(a->GetLastNode(), tree.Node(L"a2"));
  EXPECT_EQ(tree.Node(L"a1")->GetLastNode(), tree.Node(L"a12"));
  EXPECT_EQ(tree.Node(L"a12")->GetNodeIndex(), 3);

  // The row is laid out: the item button of a deeper node starts further right.
  tree.window.PaintNow();
  EXPECT_GT(tree.Node(L"a11")->GetItemButton()->GetPos().left,
            tree.Node(L"a1")->GetItemButton()->GetPos().left);
}

TEST(TreeView, ControlsUnderANodeInXmlGoIntoItsRow) {
  Tree tree(
      L"<TreeView><TreeNode name=\"n\" text=\"n\"><Label name=\"extra\" text=\"x\"/>"
      L"<TreeNode name=\"child\" text=\"child\"/></TreeNode></TreeView>");
  CTreeNodeUI* node = tree.Node(L"n");
  ASSERT_EQ(node->GetRowLayout()->GetCount(), 5);
  EXPECT_EQ(node->GetRowLayout()->GetItemAt(4)->GetName(), L"extra");
  EXPECT_EQ(node->GetCount(), 1);
  EXPECT_EQ(tree.Rows(), (Rows{L"n", L"child"}));
}

TEST(TreeView, FoldersHideDescendantsAndReopenOnlyOpenSubtrees) {
  Tree tree(kTreeXml);
  auto fold = [&](const wchar_t* name, bool closed) {
    tree.Node(name)->GetFolderButton()->Selected(closed, true);
  };
  fold(L"a1", true);
  EXPECT_EQ(tree.VisibleRows(), (Rows{L"a", L"a1", L"a2", L"b"}));
  fold(L"a", true);
  EXPECT_EQ(tree.VisibleRows(), (Rows{L"a", L"b"}));
  // a opens: its children show, a1's children stay hidden behind a1's closed folder.
  fold(L"a", false);
  EXPECT_EQ(tree.VisibleRows(), (Rows{L"a", L"a1", L"a2", L"b"}));
  fold(L"a1", false);
  EXPECT_EQ(tree.VisibleRows(), (Rows{L"a", L"a1", L"a11", L"a12", L"a2", L"b"}));

  // All at once from the view.
  tree.view->SetItemExpand(false);
  EXPECT_EQ(tree.VisibleRows(), (Rows{L"a", L"b"}));
  tree.view->SetItemExpand(true);
  EXPECT_EQ(tree.VisibleRows(), (Rows{L"a", L"a1", L"a11", L"a12", L"a2", L"b"}));
}

// Four levels, so that folders nest below folders:
// a { a1 { a11 { a111 }, a12 }, a2 { a21 } }, b { b1 }
constexpr const wchar_t* kDeepTreeXml =
    L"<TreeView name=\"view\">"
    L"<TreeNode name=\"a\" text=\"a\">"
    L"<TreeNode name=\"a1\" text=\"a1\">"
    L"<TreeNode name=\"a11\" text=\"a11\"><TreeNode name=\"a111\" text=\"a111\"/></TreeNode>"
    L"<TreeNode name=\"a12\" text=\"a12\"/></TreeNode>"
    L"<TreeNode name=\"a2\" text=\"a2\"><TreeNode name=\"a21\" text=\"a21\"/></TreeNode>"
    L"</TreeNode>"
    L"<TreeNode name=\"b\" text=\"b\"><TreeNode name=\"b1\" text=\"b1\"/></TreeNode>"
    L"</TreeView>";

// The rows that should show: every row whose ancestors all have open folders.
Rows RowsUnderOpenFolders(const Tree& tree) {
  Rows rows;
  for (int i = 0; i < tree.view->GetCount(); ++i) {
    CTreeNodeUI* node = tree.view->NodeAt(i);
    bool shown = true;
    for (CTreeNodeUI* up = node->GetParentNode(); up; up = up->GetParentNode()) {
      if (up->GetFolderButton()->IsSelected()) shown = false;
    }
    if (shown) rows.push_back(node->GetItemButton()->GetText().GetData());
  }
  return rows;
}

// The texts of the nodes whose folder buttons reported a change, in the order heard.
Rows FolderNotices(const Tree& tree, size_t from) {
  Rows rows;
  for (size_t i = from; i < tree.recorder.heard.size(); ++i) {
    const auto& heard = tree.recorder.heard[i];
    if (heard.type != L"selectchanged" || heard.sender == nullptr) continue;
    CTreeNodeUI* node = CTreeNodeUI::FromControl(heard.sender->GetParent()->GetParent());
    if (node && heard.sender == node->GetFolderButton()) {
      rows.push_back(node->GetItemButton()->GetText().GetData());
    }
  }
  return rows;
}

TEST(TreeView, FolderSequencesShowExactlyTheRowsBelowOpenFolders) {
  // Each step: a folder clicked ("x"), a node double-clicked ("2x"), or the view opening or
  // closing every folder ("+", "-"); then the rows that show and the folders that reported.
  // Every row has a folder button, leaves too.
  const Rows kAll{L"a", L"a1", L"a11", L"a111", L"a12", L"a2", L"a21", L"b", L"b1"};
  struct Step {
    const wchar_t* op;
    Rows visible;
    Rows notices;
  };
  const struct {
    const char* name;
    std::vector<Step> steps;
  } cases[] = {
      {"close inner, then outer, reopen outer",
       {{L"a11", {L"a", L"a1", L"a11", L"a12", L"a2", L"a21", L"b", L"b1"}, {L"a11"}},
        {L"a", {L"a", L"b", L"b1"}, {L"a"}},
        {L"a", {L"a", L"a1", L"a11", L"a12", L"a2", L"a21", L"b", L"b1"}, {L"a"}},
        {L"a11", {L"a", L"a1", L"a11", L"a111", L"a12", L"a2", L"a21", L"b", L"b1"}, {L"a11"}}}},
      {"close all, open one branch by double clicks",
       {{L"-", {L"a", L"b"}, kAll},
        {L"2a", {L"a", L"a1", L"a2", L"b"}, {L"a"}},
        {L"2a1", {L"a", L"a1", L"a11", L"a12", L"a2", L"b"}, {L"a1"}},
        {L"2a", {L"a", L"b"}, {L"a"}},
        {L"+", {L"a", L"a1", L"a11", L"a111", L"a12", L"a2", L"a21", L"b", L"b1"},
         {L"a", L"a11", L"a111", L"a12", L"a2", L"a21", L"b", L"b1"}}}},
      {"open all twice, close all twice",
       {{L"+", {L"a", L"a1", L"a11", L"a111", L"a12", L"a2", L"a21", L"b", L"b1"}, {}},
        {L"-", {L"a", L"b"}, kAll},
        {L"-", {L"a", L"b"}, {}},
        // Opening a folder that is folded away itself shows nothing yet.
        {L"a1", {L"a", L"b"}, {L"a1"}},
        {L"+", {L"a", L"a1", L"a11", L"a111", L"a12", L"a2", L"a21", L"b", L"b1"},
         {L"a", L"a11", L"a111", L"a12", L"a2", L"a21", L"b", L"b1"}}}},
      {"a closed middle folder stays closed while the outer one moves",
       {{L"a1", {L"a", L"a1", L"a2", L"a21", L"b", L"b1"}, {L"a1"}},
        {L"2a", {L"a", L"b", L"b1"}, {L"a"}},
        {L"2a", {L"a", L"a1", L"a2", L"a21", L"b", L"b1"}, {L"a"}},
        {L"a2", {L"a", L"a1", L"a2", L"b", L"b1"}, {L"a2"}},
        {L"-", {L"a", L"b"}, {L"a", L"a11", L"a111", L"a12", L"a21", L"b", L"b1"}}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Tree tree(kDeepTreeXml);
    for (const Step& step : c.steps) {
      const std::wstring op = step.op;
      SCOPED_TRACE(std::string(op.begin(), op.end()));
      const size_t heard = tree.recorder.heard.size();
      if (op == L"+" || op == L"-") {
        tree.view->SetItemExpand(op == L"+");
      } else if (op[0] == L'2') {
        tree.Send(tree.Node(op.c_str() + 1), Vellum::UIEVENT_DBLCLICK);
      } else {
        CTreeNodeUI* node = tree.Node(op.c_str());
        node->GetFolderButton()->Selected(!node->GetFolderButton()->IsSelected(), true);
      }
      EXPECT_EQ(tree.VisibleRows(), step.visible);
      EXPECT_EQ(tree.VisibleRows(), RowsUnderOpenFolders(tree));
      EXPECT_EQ(FolderNotices(tree, heard), step.notices);
    }
  }
}

// A node that counts how often a walk shows or hides it.
class CountingNode : public CTreeNodeUI {
 public:
  void SetVisible(bool visible) override {
    ++calls;
    CTreeNodeUI::SetVisible(visible);
  }
  int calls = 0;
};

TEST(TreeView, OnePassShowsOrHidesEachRowOnce) {
  // Three levels built at run time; each operation starts from all open or all closed.
  const struct {
    const char* name;
    bool start_open;
    std::function<void(Tree&, CTreeNodeUI*)> op;
  } cases[] = {
      {"open all, already open", true, [](Tree& t, CTreeNodeUI*) { t.view->SetItemExpand(true); }},
      {"close all", true, [](Tree& t, CTreeNodeUI*) { t.view->SetItemExpand(false); }},
      {"open all", false, [](Tree& t, CTreeNodeUI*) { t.view->SetItemExpand(true); }},
      {"close a top folder", true,
       [](Tree&, CTreeNodeUI* top) { top->GetFolderButton()->Selected(true, true); }},
      {"double-click a top node", true,
       [](Tree& t, CTreeNodeUI* top) { t.Send(top, Vellum::UIEVENT_DBLCLICK); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Tree tree;
    std::vector<CountingNode*> nodes;
    auto make = [&] {
      nodes.push_back(new CountingNode());
      return nodes.back();
    };
    for (int i = 0; i < 3; ++i) {
      CTreeNodeUI* top = make();
      ASSERT_TRUE(tree.view->Add(top));
      for (int j = 0; j < 3; ++j) {
        CTreeNodeUI* child = make();
        ASSERT_TRUE(top->AddChildNode(child));
        for (int k = 0; k < 3; ++k) ASSERT_TRUE(child->AddChildNode(make()));
      }
    }
    if (!c.start_open) tree.view->SetItemExpand(false);
    for (CountingNode* node : nodes) node->calls = 0;
    c.op(tree, nodes[0]);
    for (size_t i = 0; i < nodes.size(); ++i) EXPECT_LE(nodes[i]->calls, 1) << "node " << i;
  }
}

TEST(TreeView, RowsAreLaidOutAgainAfterFoldersMove) {
  Tree tree(kDeepTreeXml);
  CControlUI* body = tree.view->GetList();
  // Each change asks for a new layout of the rows; the next one stacks the rows that show.
  auto layout = [&] {
    EXPECT_TRUE(body->IsUpdateNeeded());
    EXPECT_TRUE(tree.window.manager().IsUpdateNeeded());
    tree.view->SetPos(RECT{0, 0, 300, 400}, false);
    return tree.Node(L"b")->GetPos().top - tree.Node(L"a")->GetPos().top;
  };
  tree.view->SetPos(RECT{0, 0, 300, 400}, false);
  const int row_height = tree.Node(L"a1")->GetPos().top - tree.Node(L"a")->GetPos().top;
  ASSERT_GT(row_height, 0);
  tree.view->SetItemExpand(false);
  EXPECT_EQ(layout(), row_height);
  tree.Node(L"a")->GetFolderButton()->Selected(false, true);
  EXPECT_EQ(layout(), 3 * row_height);  // a, a1, a2
  tree.Send(tree.Node(L"a1"), Vellum::UIEVENT_DBLCLICK);
  EXPECT_EQ(layout(), 5 * row_height);  // a11, a12 too
  tree.view->SetItemExpand(true);
  EXPECT_EQ(layout(), 7 * row_height);
}

TEST(TreeView, ASelectedRowThatFoldsAwayIsDeselected) {
  Tree tree(kDeepTreeXml);
  ASSERT_TRUE(tree.view->SelectItem(tree.Node(L"a111")->GetNodeIndex()));
  ASSERT_TRUE(tree.Node(L"a111")->IsSelected());
  tree.Node(L"a1")->GetFolderButton()->Selected(true, true);
  EXPECT_FALSE(tree.Node(L"a111")->IsVisible());
  EXPECT_FALSE(tree.Node(L"a111")->IsSelected());
  EXPECT_EQ(tree.view->GetCurSel(), -1);
  // And through closing every folder.
  tree.view->SetItemExpand(true);
  ASSERT_TRUE(tree.view->SelectItem(tree.Node(L"b1")->GetNodeIndex()));
  tree.view->SetItemExpand(false);
  EXPECT_FALSE(tree.Node(L"b1")->IsSelected());
  EXPECT_EQ(tree.view->GetCurSel(), -1);
}

TEST(TreeView, DoubleClickReportsAndTogglesTheFolder) {
  Tree tree(kTreeXml);
  CTreeNodeUI* a = tree.Node(L"a");
  tree.Send(a, Vellum::UIEVENT_DBLCLICK);
  ASSERT_EQ(tree.recorder.OfType(L"treeitemdbclick").size(), 1u);
  EXPECT_EQ(tree.recorder.OfType(L"treeitemdbclick")[0].sender, a);
  EXPECT_TRUE(a->GetFolderButton()->IsSelected());
  EXPECT_EQ(tree.VisibleRows(), (Rows{L"a", L"b"}));
  tree.Send(a, Vellum::UIEVENT_DBLCLICK);
  EXPECT_FALSE(a->GetFolderButton()->IsSelected());
  EXPECT_EQ(tree.VisibleRows().size(), 6u);

  // A disabled node says nothing.
  a->SetEnabled(false);
  tree.Send(a, Vellum::UIEVENT_DBLCLICK);
  EXPECT_EQ(tree.recorder.OfType(L"treeitemdbclick").size(), 2u);
}

TEST(TreeView, ChecksReachEveryDescendant) {
  Tree tree(kTreeXml);
  tree.view->SetAttribute(L"visiblecheckbtn", L"true");
  EXPECT_TRUE(tree.Node(L"a11")->GetCheckBox()->IsVisible());
  auto checked = [&] {
    Rows rows;
    for (int i = 0; i < tree.view->GetCount(); ++i) {
      if (tree.view->NodeAt(i)->GetCheckBox()->IsSelected()) {
        rows.push_back(tree.view->NodeAt(i)->GetItemButton()->GetText().GetData());
      }
    }
    return rows;
  };
  tree.Node(L"a")->GetCheckBox()->Selected(true, true);
  EXPECT_EQ(checked(), (Rows{L"a", L"a1", L"a11", L"a12", L"a2"}));
  tree.Node(L"a1")->GetCheckBox()->Selected(false, true);
  EXPECT_EQ(checked(), (Rows{L"a", L"a2"}));
  tree.view->SetItemCheckBox(true);
  EXPECT_EQ(checked().size(), 6u);
  tree.view->SetItemCheckBox(false);
  EXPECT_TRUE(checked().empty());
}

TEST(TreeView, ChecksReachEachDescendantOnceInTheirUsualOrder) {
  Tree tree(kDeepTreeXml);
  tree.view->SetVisibleCheckBtn(true);
  // The check boxes that reported, in the order heard: a box's own notice reaches the window's
  // listeners after its subtree has followed it.
  auto notices = [&](size_t from) {
    Rows rows;
    for (size_t i = from; i < tree.recorder.heard.size(); ++i) {
      const auto& heard = tree.recorder.heard[i];
      if (heard.type != L"selectchanged") continue;
      CTreeNodeUI* node = CTreeNodeUI::FromControl(heard.sender->GetParent()->GetParent());
      if (node && heard.sender == node->GetCheckBox()) {
        rows.push_back(node->GetItemButton()->GetText().GetData());
      }
    }
    return rows;
  };
  size_t heard = tree.recorder.heard.size();
  tree.Node(L"a1")->GetCheckBox()->Selected(true, true);
  EXPECT_EQ(notices(heard), (Rows{L"a111", L"a11", L"a12", L"a1"}));

  heard = tree.recorder.heard.size();
  tree.view->SetItemCheckBox(true);
  EXPECT_EQ(notices(heard), (Rows{L"a21", L"a2", L"a", L"b1", L"b"}));

  heard = tree.recorder.heard.size();
  tree.view->SetItemCheckBox(false, tree.Node(L"a"));
  EXPECT_EQ(notices(heard), (Rows{L"a111", L"a11", L"a12", L"a1", L"a21", L"a2"}));
  EXPECT_TRUE(tree.Node(L"a")->GetCheckBox()->IsSelected());
  EXPECT_FALSE(tree.Node(L"a111")->GetCheckBox()->IsSelected());
}

TEST(TreeView, RowIndexesStayRightAsNodesComeAndGoInTheMiddle) {
  Tree tree(kDeepTreeXml);
  auto expect_indexes = [&] {
    for (int i = 0; i < tree.view->GetCount(); ++i) {
      EXPECT_EQ(tree.view->NodeAt(i)->GetNodeIndex(), i) << i;
    }
  };
  // Under a node in the middle, whose last child has children of its own.
  ASSERT_TRUE(tree.Node(L"a1")->AddChildNode(MakeNode(L"a13")));
  ASSERT_TRUE(tree.Node(L"a11")->AddChildNode(MakeNode(L"a112")));
  EXPECT_EQ(tree.Rows(), (Rows{L"a", L"a1", L"a11", L"a111", L"a112", L"a12", L"a13", L"a2",
                               L"a21", L"b", L"b1"}));
  EXPECT_EQ(tree.view->NodeAt(6)->GetItemButton()->GetText(), L"a13");
  expect_indexes();
  // A subtree put in before a row, then rows taken out above others.
  auto* c = MakeNode(L"c");
  c->AddChildNode(MakeNode(L"c1"));
  ASSERT_TRUE(tree.view->AddAt(c, tree.Node(L"a2")));
  EXPECT_EQ(tree.Node(L"a2")->GetNodeIndex(), 9);
  expect_indexes();
  ASSERT_TRUE(tree.view->Remove(tree.Node(L"a11")));
  ASSERT_TRUE(tree.view->RemoveAt(0));
  // c was put in as a row of the view, not as a's child: it stays.
  EXPECT_EQ(tree.Rows(), (Rows{L"c", L"c1", L"b", L"b1"}));
  expect_indexes();
  // A row moved by the list itself.
  ASSERT_TRUE(tree.Node(L"b")->AddChildNode(MakeNode(L"b2")));
  ASSERT_TRUE(tree.view->SetItemIndex(tree.view->NodeAt(2), 0));
  expect_indexes();
  // A node of another view, or of none, has no row here, whatever its number over there.
  CTreeNodeUI loose;
  EXPECT_EQ(loose.GetNodeIndex(), -1);
  Tree other(kDeepTreeXml);
  CTreeNodeUI* stray = MakeNode(L"stray");
  EXPECT_FALSE(tree.view->AddAt(stray, other.Node(L"a1")));
  EXPECT_EQ(tree.view->GetCount(), 5);
  delete stray;
}

TEST(TreeView, NodesAddedAtRunTimeGoBelowTheWholeSubtree) {
  Tree tree(kTreeXml);
  CTreeNodeUI* a = tree.Node(L"a");
  ASSERT_TRUE(a->AddChildNode(MakeNode(L"a3")));
  EXPECT_EQ(tree.Rows(), (Rows{L"a", L"a1", L"a11", L"a12", L"a2", L"a3", L"b"}));
  ASSERT_TRUE(tree.Node(L"a1")->Add(MakeNode(L"a13")));
  EXPECT_EQ(tree.Rows(), (Rows{L"a", L"a1", L"a11", L"a12", L"a13", L"a2", L"a3", L"b"}));
  CTreeNodeUI* a13 = tree.view->NodeAt(4);
  EXPECT_EQ(a13->GetTreeLevel(), 2);
  EXPECT_EQ(a13->GetFolderButton()->GetPadding().left, 36);
  EXPECT_EQ(a13->GetTreeView(), tree.view);

  // The container form: at an index among the children, and past the end, which appends below
  // the last subtree (not right under the parent).
  ASSERT_TRUE(a->AddAt(MakeNode(L"a0"), 0));
  ASSERT_TRUE(a->AddAt(MakeNode(L"a4"), 99));
  EXPECT_EQ(tree.Rows(),
            (Rows{L"a", L"a0", L"a1", L"a11", L"a12", L"a13", L"a2", L"a3", L"a4", L"b"}));
  EXPECT_EQ(a->GetCountChild(), 5);
  EXPECT_EQ(a->GetChildNode(0)->GetItemButton()->GetText(), L"a0");
  EXPECT_EQ(a->GetLastNode()->GetItemButton()->GetText(), L"a4");

  // A subtree put in at run time keeps its order.
  auto* c = MakeNode(L"c");
  c->AddChildNode(MakeNode(L"c1"));
  c->GetChildNode(0)->AddChildNode(MakeNode(L"c11"));
  EXPECT_EQ(tree.view->AddAt(c, 1), 4);
  EXPECT_EQ(tree.Rows()[1], L"c");
  EXPECT_EQ(tree.Rows()[3], L"c11");
  EXPECT_EQ(tree.view->NodeAt(3)->GetFolderButton()->GetPadding().left, 36);

  // What is not a node, and nodes outside a view, are refused.
  Vellum::CLabelUI label;
  EXPECT_FALSE(a->AddChildNode(&label));
  EXPECT_FALSE(a->AddAt(&label, 0));
  EXPECT_FALSE(a->Remove(&label));
  EXPECT_EQ(tree.view->AddAt(static_cast<CTreeNodeUI*>(nullptr), 0), -1);
  EXPECT_FALSE(tree.view->AddAt(MakeNode(L"stray"), static_cast<CTreeNodeUI*>(nullptr)));
  CTreeNodeUI loose;
  CTreeNodeUI* orphan = MakeNode(L"orphan");
  EXPECT_FALSE(loose.AddAt(orphan, 0));
  delete orphan;
}

TEST(TreeView, RemovedNodesLeaveTheirParentsChildNodes) {
  Tree tree(kTreeXml);
  CTreeNodeUI* a = tree.Node(L"a");
  CTreeNodeUI* a1 = tree.Node(L"a1");
  // Through the view: the parent forgets the node (and the node takes its subtree with it).
  ASSERT_TRUE(tree.view->Remove(a1));
  EXPECT_EQ(tree.Rows(), (Rows{L"a", L"a2", L"b"}));
  ASSERT_EQ(a->GetCountChild(), 1);
  EXPECT_EQ(a->GetChildNode(0), tree.Node(L"a2"));
  // The walks over the children meet no freed node.
  EXPECT_EQ(a->GetLastNode(), tree.Node(L"a2"));
  a->GetFolderButton()->Selected(true, true);
  EXPECT_EQ(tree.VisibleRows(), (Rows{L"a", L"b"}));
  a->GetFolderButton()->Selected(false, true);
  tree.view->SetItemCheckBox(true, a);
  EXPECT_TRUE(tree.Node(L"a2")->GetCheckBox()->IsSelected());

  // By index, and through the parent node.
  ASSERT_TRUE(tree.view->RemoveAt(1));
  EXPECT_EQ(a->GetCountChild(), 0);
  ASSERT_TRUE(tree.Node(L"b")->AddChildNode(MakeNode(L"b1")));
  ASSERT_TRUE(tree.Node(L"b")->Remove(tree.view->NodeAt(2)));
  EXPECT_EQ(tree.Rows(), (Rows{L"a", L"b"}));
  // Removing a top node takes its whole subtree.
  ASSERT_TRUE(tree.Node(L"b")->AddChildNode(MakeNode(L"b1")));
  ASSERT_TRUE(tree.view->Remove(tree.Node(L"b")));
  EXPECT_EQ(tree.Rows(), (Rows{L"a"}));
  CTreeNodeUI stranger;
  EXPECT_FALSE(tree.view->Remove(&stranger));
}

// The body is a container like any other: an application (or a skin's life) may take a node's row
// out through it, freed or put elsewhere, and the view may go before the node does.
TEST(TreeView, ANodeWhoseRowLeavesThroughTheBodyKeepsNothingOfTheView) {
  for (const bool freed : {true, false}) {
    SCOPED_TRACE(freed ? "freed by the body" : "put elsewhere in the window");
    testing_support::ManagedWindow window{true, 300, 400};
    auto* root = new Vellum::CHorizontalLayoutUI();
    auto* elsewhere = new Vellum::CVerticalLayoutUI();
    CSkinBuilder builder;
    const std::wstring skin = std::wstring(L"<Window>") + kTreeXml + L"</Window>";
    CTreeViewUI* view = CTreeViewUI::FromControl(builder.Create(skin.c_str(), nullptr, nullptr, &window.manager()));
    ASSERT_NE(view, nullptr);
    root->Add(view);
    root->Add(elsewhere);
    window.manager().AttachRootControl(root);
    const auto node = [&](const wchar_t* name) {
      return static_cast<CTreeNodeUI*>(window.manager().FindControl(name));
    };
    CTreeNodeUI* a = node(L"a");
    CTreeNodeUI* a1 = node(L"a1");
    CTreeNodeUI* a11 = node(L"a11");
    auto* body = static_cast<Vellum::CContainerUI*>(view->GetList());
    body->SetAutoDestroy(freed);
    ASSERT_TRUE(body->Remove(a1));
    body->SetAutoDestroy(true);
    // Its parent forgets it, the rows below it stay the view's without a parent, and the walks
    // over a's children meet no node that left.
    ASSERT_EQ(a->GetCountChild(), 1);
    EXPECT_EQ(a->GetChildNode(0), node(L"a2"));
    EXPECT_EQ(a11->GetParentNode(), nullptr);
    EXPECT_EQ(view->GetCount(), 5);
    EXPECT_EQ(a->GetLastNode(), node(L"a2"));
    view->SetItemCheckBox(true, a);
    EXPECT_TRUE(node(L"a2")->GetCheckBox()->IsSelected());
    if (freed) continue;

    ASSERT_TRUE(elsewhere->Add(a1));
    EXPECT_EQ(a1->GetTreeView(), nullptr);
    EXPECT_EQ(a1->GetParentNode(), nullptr);
    EXPECT_EQ(a1->GetCountChild(), 0);
    EXPECT_FALSE(static_cast<bool>(a1->OnNotify)) << "the view would be called after it is gone";
    EXPECT_FALSE(static_cast<bool>(a1->GetFolderButton()->OnNotify));
    EXPECT_FALSE(static_cast<bool>(a1->GetCheckBox()->OnNotify));
    // The view goes first; the node still takes a double click and its folder button a click.
    ASSERT_TRUE(root->Remove(view));
    TUIEvent event;
    event.type = Vellum::UIEVENT_DBLCLICK;
    event.sender = a1;
    a1->Event(event);
    a1->GetFolderButton()->Selected(true, true);
  }
}

TEST(TreeNode, TheRowKeepsTheNodesPartsThroughEveryContainerCall) {
  const struct {
    const char* what;
    std::function<void(CTreeNodeUI*, CControlUI* part)> call;
  } cases[] = {
      {"Remove", [](CTreeNodeUI* node, CControlUI* part) { node->GetRowLayout()->Remove(part); }},
      {"RemoveAt",
       [](CTreeNodeUI* node, CControlUI* part) {
         node->GetRowLayout()->RemoveAt(node->GetRowLayout()->GetItemIndex(part));
       }},
      {"RemoveAll of the row", [](CTreeNodeUI* node, CControlUI*) { node->GetRowLayout()->RemoveAll(); }},
      {"taken out to be moved",
       [](CTreeNodeUI* node, CControlUI* part) {
         node->GetRowLayout()->SetAutoDestroy(false);
         node->GetRowLayout()->Remove(part);
         node->GetRowLayout()->SetAutoDestroy(true);
       }},
      {"RemoveAt of the node's row", [](CTreeNodeUI* node, CControlUI*) { node->RemoveAt(0); }},
  };
  for (const auto& c : cases) {
    for (int which = 0; which < 4; ++which) {
      SCOPED_TRACE(std::string(c.what) + ", part " + std::to_string(which));
      Tree tree(kTreeXml);
      CTreeNodeUI* a1 = tree.Node(L"a1");
      ASSERT_TRUE(a1->AddToRow(new CControlUI()));
      CControlUI* const parts[] = {a1->GetDottedLine(), a1->GetFolderButton(), a1->GetCheckBox(),
                                   a1->GetItemButton()};
      c.call(a1, parts[which]);

      ASSERT_EQ(a1->GetItemAt(0), a1->GetRowLayout());
      for (int i = 0; i < 4; ++i) EXPECT_EQ(a1->GetRowLayout()->GetItemAt(i), parts[i]);
      // What was added beside the parts goes with the row's RemoveAll only.
      EXPECT_EQ(a1->GetRowLayout()->GetCount(), std::string(c.what) == "RemoveAll of the row" ? 4 : 5);
      // The node still selects, folds and leaves through its parts.
      EXPECT_TRUE(a1->Select(true));
      a1->GetFolderButton()->Selected(true, true);
      EXPECT_EQ(tree.VisibleRows(), (Rows{L"a", L"a1", L"a2", L"b"}));
      EXPECT_TRUE(tree.view->Remove(a1));
      EXPECT_EQ(tree.Rows(), (Rows{L"a", L"a2", L"b"}));
    }
  }
}

TEST(TreeNode, RemoveAllTakesTheChildNodesAndWhatIsBesideTheRow) {
  Tree tree(kTreeXml);
  CTreeNodeUI* a = tree.Node(L"a");
  ASSERT_TRUE(a->Add(new CControlUI()));
  ASSERT_EQ(a->GetCount(), 2);
  a->RemoveAll();
  EXPECT_EQ(a->GetCount(), 1);
  EXPECT_EQ(a->GetItemAt(0), a->GetRowLayout());
  EXPECT_EQ(a->GetCountChild(), 0);
  EXPECT_EQ(tree.Rows(), (Rows{L"a", L"b"}));
  EXPECT_TRUE(a->Select(true));
}

TEST(TreeView, RemovingANodeThatIsNotARowOfTheViewLeavesItsSubtreeAlone) {
  const struct {
    const char* what;
    bool in_other_view;
  } cases[] = {
      {"a subtree that belongs to no view", false},
      {"a node of another view", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Tree tree(kTreeXml);
    Tree other;
    bool child_deleted = false;
    CTreeNodeUI* top = MakeNode(L"top");
    CTreeNodeUI* child = MakeNode(L"child");
    ASSERT_TRUE(top->AddChildNode(child));
    child->AddToRow(new testing_support::DeletionProbe(&child_deleted));
    if (c.in_other_view) {
      ASSERT_TRUE(other.view->Add(top));
    }

    EXPECT_FALSE(tree.view->Remove(top));
    EXPECT_FALSE(child_deleted);
    ASSERT_EQ(top->GetCountChild(), 1);
    EXPECT_EQ(top->GetChildNode(0), child);
    EXPECT_EQ(child->GetParentNode(), top);
    EXPECT_EQ(tree.Rows(), (Rows{L"a", L"a1", L"a11", L"a12", L"a2", L"b"}));
    if (c.in_other_view) {
      EXPECT_EQ(other.Rows(), (Rows{L"top", L"child"}));
    } else {
      delete top;  // its own, with the subtree
      EXPECT_TRUE(child_deleted);
    }
  }
}

TEST(TreeView, HiddenFolderButtonsAddNoIndent) {
  // The view's attributes come after its nodes: those from the skin keep the indent they got.
  Tree tree(L"<TreeView visiblefolderbtn=\"false\"><TreeNode name=\"a\" text=\"a\">"
            L"<TreeNode name=\"a1\" text=\"a1\"/></TreeNode></TreeView>");
  EXPECT_FALSE(tree.view->GetVisibleFolderBtn());
  EXPECT_FALSE(tree.Node(L"a1")->GetFolderButton()->IsVisible());
  EXPECT_EQ(tree.Node(L"a1")->GetFolderButton()->GetPadding().left, 18);
  ASSERT_TRUE(tree.Node(L"a")->AddChildNode(MakeNode(L"a2")));
  CTreeNodeUI* a2 = tree.view->NodeAt(2);
  EXPECT_FALSE(a2->GetFolderButton()->IsVisible());
  EXPECT_EQ(a2->GetFolderButton()->GetPadding().left, 0);
  // Showing them again does not recompute the indents of nodes already there.
  tree.view->SetVisibleFolderBtn(true);
  EXPECT_TRUE(a2->GetFolderButton()->IsVisible());
  EXPECT_EQ(a2->GetFolderButton()->GetPadding().left, 0);
  ASSERT_TRUE(tree.Node(L"a")->AddChildNode(MakeNode(L"a3")));
  EXPECT_EQ(tree.view->NodeAt(3)->GetFolderButton()->GetPadding().left, 18);
}

TEST(TreeView, ItemTextColoursFollowSelectionAndHover) {
  Tree tree(
      L"<TreeView itemminwidth=\"300\"><TreeNode name=\"a\" text=\"a\" itemtextcolor=\"#FF000001\""
      L" itemhottextcolor=\"FF000002\" selitemtextcolor=\"#FF000003\""
      L" selitemhottextcolor=\"#FF000004\"/><TreeNode name=\"b\" text=\"b\"/></TreeView>");
  CTreeNodeUI* a = tree.Node(L"a");
  Vellum::COptionUI* text = a->GetItemButton();
  EXPECT_EQ(text->GetTextColor(), 0xFF000001u);
  EXPECT_EQ(a->GetMinWidth(), 300);
  tree.Send(a, Vellum::UIEVENT_MOUSEENTER);
  EXPECT_EQ(text->GetTextColor(), 0xFF000002u);
  tree.Send(a, Vellum::UIEVENT_MOUSELEAVE);
  EXPECT_EQ(text->GetTextColor(), 0xFF000001u);
  ASSERT_TRUE(tree.view->SelectItem(0));
  EXPECT_EQ(text->GetTextColor(), 0xFF000003u);
  tree.Send(a, Vellum::UIEVENT_MOUSEENTER);
  EXPECT_EQ(text->GetTextColor(), 0xFF000004u);
  tree.Send(a, Vellum::UIEVENT_MOUSELEAVE);
  EXPECT_EQ(text->GetTextColor(), 0xFF000003u);
  ASSERT_TRUE(tree.view->SelectItem(1));
  EXPECT_EQ(text->GetTextColor(), 0xFF000001u);

  // The view's colour attributes go to every node.
  tree.view->SetAttribute(L"itemtextcolor", L"#FF0000AA");
  tree.view->SetAttribute(L"selitemtextcolor", L"#FF0000BB");
  EXPECT_EQ(text->GetTextColor(), 0xFF0000AAu);
  EXPECT_EQ(tree.Node(L"b")->GetSelItemTextColor(), 0xFF0000BBu);
  tree.view->SetItemMinWidth(120);
  EXPECT_EQ(tree.Node(L"b")->GetMinWidth(), 120);
}

TEST(TreeNode, AttributesReachTheRowsParts) {
  CTreeNodeUI node;
  node.SetAttribute(L"TEXT", L"caption");
  node.SetAttribute(L"horizattr", L"padding=\"1,0,0,0\"");
  node.SetAttribute(L"dotlineattr", L"width=\"5\"");
  node.SetAttribute(L"folderattr", L"width=\"20\"");
  node.SetAttribute(L"checkboxattr", L"visible=\"true\"");
  node.SetAttribute(L"itemattr", L"name=\"text\"");
  node.SetAttribute(L"height", L"24");
  EXPECT_EQ(node.GetItemButton()->GetText(), L"caption");
  EXPECT_EQ(node.GetRowLayout()->GetPadding().left, 1);
  EXPECT_EQ(node.GetDottedLine()->GetFixedWidth(), 5);
  EXPECT_EQ(node.GetFolderButton()->GetFixedWidth(), 20);
  EXPECT_TRUE(node.GetCheckBox()->IsVisible());
  EXPECT_EQ(node.GetItemButton()->GetName(), L"text");
  EXPECT_EQ(node.GetFixedHeight(), 24);
}

TEST(TreeNode, ASubtreeOutsideAViewGoesWithItsTopNode) {
  bool deleted = false;
  auto* top = MakeNode(L"top");
  auto* child = MakeNode(L"child");
  ASSERT_TRUE(top->AddChildNode(child));
  child->AddToRow(new testing_support::DeletionProbe(&deleted));
  delete top;
  EXPECT_TRUE(deleted);
}

}  // namespace
