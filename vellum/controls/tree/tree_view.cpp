#include "vellum/controls/tree/tree_view.h"

#include "vellum/controls/list/list_header.h"
#include "vellum/controls/tree/tree_names.h"
#include "vellum/controls/tree/tree_node.h"
#include "vellum/core/base_controls/option.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/control_attribute_values.h"

namespace Vellum {
namespace {

using tree_names::SameName;

// A folder button without a width of its own still indents by this much per level.
constexpr int kDefaultFolderIndent = 16;

// The node whose folder button or check box sent the notification: the button's row's node.
CTreeNodeUI* NodeOfRowButton(const TUINotification& msg) {
  if (msg.sender == nullptr || msg.sender->GetParent() == nullptr) return nullptr;
  return CTreeNodeUI::FromControl(msg.sender->GetParent()->GetParent());
}

}  // namespace

// Rows shown or hidden one at a time each ask the list to lay its rows out again, and each such
// request costs a repaint request to the window system. Within a walk over many rows the rows
// leave that to the view, which asks once when the outermost walk ends.
class CTreeViewUI::CRowUpdates {
 public:
  explicit CRowUpdates(CTreeViewUI* view) : view_(view) { ++view_->row_update_depth_; }
  ~CRowUpdates() {
    if (--view_->row_update_depth_ > 0 || !view_->rows_moved_) return;
    view_->rows_moved_ = false;
    // What each row would have asked of its parent, the list body.
    CControlUI* body = view_->GetList();
    body->NeedUpdate();
    if (view_->manager_) view_->manager_->NeedUpdate();
  }
  CRowUpdates(const CRowUpdates&) = delete;
  CRowUpdates& operator=(const CRowUpdates&) = delete;

 private:
  CTreeViewUI* view_;
};

// One pass that opens or closes folders, or sets check boxes, over a subtree or the whole view.
// Setting a folder or check box sends its notice, and the view's delegate walks that node's
// subtree from it; the walk that set it then reaches the same subtree again, and so does every
// enclosing level and the pass over all rows. Within one pass each subtree is walked once: calls
// of the same kind and value join the running pass, anything else (a listener reacting to a
// notice meanwhile) runs as a pass of its own.
class CTreeViewUI::CWalk {
 public:
  enum Kind { kExpand = 1, kCheck = 2 };
  CWalk(CTreeViewUI* view, Kind kind, bool value)
      : view_(view), walk_(view->walk_), kind_(view->walk_kind_), value_(view->walk_value_) {
    if (view->walk_ != 0 && view->walk_kind_ == kind && view->walk_value_ == value) return;
    if (++view->last_walk_ == 0) ++view->last_walk_;
    view->walk_ = view->last_walk_;
    view->walk_kind_ = kind;
    view->walk_value_ = value;
  }
  ~CWalk() {
    view_->walk_ = walk_;
    view_->walk_kind_ = kind_;
    view_->walk_value_ = value_;
  }
  CWalk(const CWalk&) = delete;
  CWalk& operator=(const CWalk&) = delete;

 private:
  CTreeViewUI* view_;
  unsigned walk_;
  int kind_;
  bool value_;
};

bool CTreeViewUI::WalkedInThisPass(const CTreeNodeUI* node) const {
  return walk_ != 0 && node->walk_ == walk_;
}

void CTreeViewUI::MarkWalked(CTreeNodeUI* node) { node->walk_ = walk_; }

int CTreeViewUI::RowOf(const CTreeNodeUI* node) const {
  // The list numbers its rows as they come, go and move, so the number is right but for a node
  // it has not numbered (one of another list, say).
  const int index = node->GetIndex();
  if (GetItemAt(index) == node) return index;
  return GetItemIndex(const_cast<CTreeNodeUI*>(node));
}

CTreeViewUI::CTreeViewUI() { GetHeader()->SetVisible(false); }

CControlUI* CTreeViewUI::CreateControl() { return new CTreeViewUI(); }

CTreeViewUI* CTreeViewUI::FromControl(CControlUI* control) {
  if (control == nullptr) return nullptr;
  if (control->GetInterface(kTreeViewInterface) == nullptr) return nullptr;
  return dynamic_cast<CTreeViewUI*>(control);
}

const wchar_t* CTreeViewUI::GetClass() const { return L"TreeViewUI"; }

LPVOID CTreeViewUI::GetInterface(const wchar_t* name) {
  if (name && SameName(name, kTreeViewInterface)) return static_cast<CTreeViewUI*>(this);
  if (name && SameName(name, kTreeViewBuildInterface)) return static_cast<ITreeViewUI*>(this);
  return CListUI::GetInterface(name);
}

int CTreeViewUI::GetListType() { return UILIST_TYPE_TREE; }

void CTreeViewUI::Notify(TUINotification& /*msg*/) {}

CTreeNodeUI* CTreeViewUI::NodeAt(int index) const { return CTreeNodeUI::FromControl(GetItemAt(index)); }

// ---- Adding and removing nodes ----------------------------------------------------------------------

bool CTreeViewUI::AddNode(CControlUI* node) { return Add(CTreeNodeUI::FromControl(node)); }

void CTreeViewUI::PrepareNode(CTreeNodeUI* node) {
  // The delegate lists ignore a delegate already attached, so a node that joins again is heard once.
  node->OnNotify += CDelegate<CTreeViewUI>(this, &CTreeViewUI::OnDBClickItem);
  node->GetFolderButton()->OnNotify += CDelegate<CTreeViewUI>(this, &CTreeViewUI::OnFolderChanged);
  node->GetCheckBox()->OnNotify += CDelegate<CTreeViewUI>(this, &CTreeViewUI::OnCheckBoxChanged);
  node->GetFolderButton()->SetVisible(visible_folder_btn_);
  node->GetCheckBox()->SetVisible(visible_check_btn_);
  if (item_min_width_ > 0) node->SetMinWidth(static_cast<int>(item_min_width_));
}

void CTreeViewUI::IndentNode(CTreeNodeUI* node) {
  CCheckBoxUI* folder = node->GetFolderButton();
  int width = folder->GetFixedWidth();
  if (width < 1) width = kDefaultFolderIndent;
  const RECT padding =
      folder->IsVisible() ? RECT{node->GetTreeLevel() * width, 0, 0, 0} : RECT{0, 0, 0, 0};
  folder->SetPadding(padding);
}

bool CTreeViewUI::Add(CTreeNodeUI* node) {
  if (!node || !node->GetInterface(kTreeNodeInterface)) return false;
  PrepareNode(node);
  if (!CListUI::Add(node)) return false;
  IndentNode(node);
  for (int i = 0; i < node->GetCountChild(); ++i) Add(node->GetChildNode(i));
  node->SetTreeView(this);
  return true;
}

int CTreeViewUI::AddAt(CTreeNodeUI* node, int index) {
  if (!node || !node->GetInterface(kTreeNodeInterface)) return -1;
  PrepareNode(node);
  if (!CListUI::AddAt(node, index)) return -1;
  IndentNode(node);
  node->SetTreeView(this);
  int next = index + 1;
  for (int i = 0; i < node->GetCountChild() && next >= 0; ++i) {
    next = AddAt(node->GetChildNode(i), next);
  }
  return next;
}

bool CTreeViewUI::AddAt(CTreeNodeUI* node, CTreeNodeUI* before) {
  if (!node || !before) return false;
  const int index = RowOf(before);
  if (index < 0) return false;
  if (AddAt(node, index) < 0) return false;
  IndentNode(node);
  return true;
}

void CTreeViewUI::OnRowLeaving(CControlUI* row) {
  CTreeNodeUI* node = CTreeNodeUI::FromControl(row);
  if (node == nullptr || node->GetTreeView() != this) return;
  node->OnNotify -= CDelegate<CTreeViewUI>(this, &CTreeViewUI::OnDBClickItem);
  node->GetFolderButton()->OnNotify -= CDelegate<CTreeViewUI>(this, &CTreeViewUI::OnFolderChanged);
  node->GetCheckBox()->OnNotify -= CDelegate<CTreeViewUI>(this, &CTreeViewUI::OnCheckBoxChanged);
  // The rows below it stay the view's, now without a parent; a node that leaves alone owns none.
  if (CTreeNodeUI* parent = node->GetParentNode()) parent->ForgetChild(node);
  node->SetParentNode(nullptr);
  for (int i = 0; i < node->GetCountChild(); ++i) node->GetChildNode(i)->SetParentNode(nullptr);
  node->child_nodes_.Empty();
  node->SetTreeView(nullptr);
}

bool CTreeViewUI::Remove(CTreeNodeUI* node) {
  // A node that is not one of this view's rows is left as it is, subtree and all: removing its
  // children first would free rows of another view, or a subtree its own top node still owns.
  if (!node || RowOf(node) < 0) return false;
  for (int i = node->GetCountChild() - 1; i >= 0; --i) node->Remove(node->GetChildNode(i));
  // The parent must not keep pointing at a row the list is about to free: its expand, check and
  // last-node walks would reach it.
  if (CTreeNodeUI* parent = node->GetParentNode()) parent->ForgetChild(node);
  // The list's own removal by index: its Remove goes through RemoveAt, which comes back here.
  return CListUI::RemoveAt(RowOf(node));
}

bool CTreeViewUI::RemoveAt(int index) {
  CTreeNodeUI* node = NodeAt(index);
  if (node) return Remove(node);
  return CListUI::RemoveAt(index);
}

// ---- Folders and check boxes ------------------------------------------------------------------------

bool CTreeViewUI::OnFolderChanged(void* param) {
  auto* msg = static_cast<TUINotification*>(param);
  if (msg->type != L"selectchanged") return true;
  CTreeNodeUI* node = NodeOfRowButton(*msg);
  if (!node) return true;
  const bool expand = !node->GetFolderButton()->IsSelected();
  node->expanded_ = expand;
  SetItemExpand(expand, node);
  return true;
}

bool CTreeViewUI::OnDBClickItem(void* param) {
  auto* msg = static_cast<TUINotification*>(param);
  if (msg->type.CompareNoCase(L"treeitemdbclick") != 0) return false;
  CTreeNodeUI* node = CTreeNodeUI::FromControl(msg->sender);
  if (!node) return false;
  CCheckBoxUI* folder = node->GetFolderButton();
  // The folder's notice opens or closes the subtree already; in one pass the call below knows.
  CWalk walk(this, CWalk::kExpand, folder->IsSelected());
  folder->Selected(!folder->IsSelected(), true);
  const bool expand = !folder->IsSelected();
  node->expanded_ = expand;
  SetItemExpand(expand, node);
  return true;
}

bool CTreeViewUI::OnCheckBoxChanged(void* param) {
  auto* msg = static_cast<TUINotification*>(param);
  if (msg->type != L"selectchanged") return true;
  CTreeNodeUI* node = NodeOfRowButton(*msg);
  if (!node) return true;
  SetItemCheckBox(node->GetCheckBox()->IsSelected(), node);
  return true;
}

void CTreeViewUI::SetItemExpand(bool expand, CTreeNodeUI* node) {
  CRowUpdates rows(this);
  CWalk walk(this, CWalk::kExpand, expand);
  if (node) {
    if (WalkedInThisPass(node)) return;
    MarkWalked(node);
    // A folder opened on a row that is folded away itself shows nothing yet: its rows come when
    // the folders above open.
    if (expand && node->IsFoldedAway()) return;
    for (int i = 0; i < node->GetCountChild(); ++i) {
      CTreeNodeUI* child = node->GetChildNode(i);
      child->SetVisible(expand);
      // A closed folder below keeps its subtree hidden when an ancestor opens.
      if (child->GetCountChild() > 0 && !child->GetFolderButton()->IsSelected()) {
        SetItemExpand(expand, child);
      }
    }
    return;
  }
  for (int i = 0; i < GetCount(); ++i) {
    CTreeNodeUI* item = NodeAt(i);
    if (!item) continue;
    item->GetFolderButton()->Selected(!expand, true);
    if (item->GetCountChild() > 0 && !item->GetFolderButton()->IsSelected()) {
      SetItemExpand(expand, item);
    }
  }
}

bool CTreeViewUI::SetItemCheckBox(bool selected, CTreeNodeUI* node) {
  CWalk walk(this, CWalk::kCheck, selected);
  if (node) {
    if (WalkedInThisPass(node)) return true;
    MarkWalked(node);
    for (int i = 0; i < node->GetCountChild(); ++i) {
      CTreeNodeUI* child = node->GetChildNode(i);
      child->GetCheckBox()->Selected(selected, true);
      if (child->GetCountChild() > 0) SetItemCheckBox(selected, child);
    }
    return true;
  }
  for (int i = 0; i < GetCount(); ++i) {
    CTreeNodeUI* item = NodeAt(i);
    if (!item) continue;
    item->GetCheckBox()->Selected(selected, true);
    if (item->GetCountChild() > 0) SetItemCheckBox(selected, item);
  }
  return true;
}

// ---- Settings for every node ------------------------------------------------------------------------

void CTreeViewUI::SetVisibleFolderBtn(bool visible) {
  visible_folder_btn_ = visible;
  for (int i = 0; i < GetCount(); ++i) {
    if (CTreeNodeUI* node = NodeAt(i)) node->GetFolderButton()->SetVisible(visible);
  }
}

bool CTreeViewUI::GetVisibleFolderBtn() { return visible_folder_btn_; }

void CTreeViewUI::SetVisibleCheckBtn(bool visible) {
  visible_check_btn_ = visible;
  for (int i = 0; i < GetCount(); ++i) {
    if (CTreeNodeUI* node = NodeAt(i)) node->GetCheckBox()->SetVisible(visible);
  }
}

bool CTreeViewUI::GetVisibleCheckBtn() { return visible_check_btn_; }

void CTreeViewUI::SetItemMinWidth(UINT width) {
  item_min_width_ = width;
  for (int i = 0; i < GetCount(); ++i) {
    if (CControlUI* item = GetItemAt(i)) item->SetMinWidth(static_cast<int>(width));
  }
  Invalidate();
}

UINT CTreeViewUI::GetItemMinWidth() { return item_min_width_; }

void CTreeViewUI::SetItemTextColor(DWORD color) {
  for (int i = 0; i < GetCount(); ++i) {
    if (CTreeNodeUI* node = NodeAt(i)) node->SetItemTextColor(color);
  }
}

void CTreeViewUI::SetItemHotTextColor(DWORD color) {
  for (int i = 0; i < GetCount(); ++i) {
    if (CTreeNodeUI* node = NodeAt(i)) node->SetItemHotTextColor(color);
  }
}

void CTreeViewUI::SetSelItemTextColor(DWORD color) {
  for (int i = 0; i < GetCount(); ++i) {
    if (CTreeNodeUI* node = NodeAt(i)) node->SetSelItemTextColor(color);
  }
}

void CTreeViewUI::SetSelItemHotTextColor(DWORD color) {
  for (int i = 0; i < GetCount(); ++i) {
    if (CTreeNodeUI* node = NodeAt(i)) node->SetSelItemHotTextColor(color);
  }
}

void CTreeViewUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (SameName(name, L"visiblefolderbtn")) {
    SetVisibleFolderBtn(SameName(value, L"TRUE"));
  } else if (SameName(name, L"visiblecheckbtn")) {
    SetVisibleCheckBtn(SameName(value, L"TRUE"));
  } else if (SameName(name, L"itemminwidth")) {
    SetItemMinWidth(static_cast<UINT>(ParseAttributeInt(value)));
  } else if (SameName(name, L"itemtextcolor")) {
    SetItemTextColor(ParseAttributeColor(value, false));
  } else if (SameName(name, L"itemhottextcolor")) {
    SetItemHotTextColor(ParseAttributeColor(value, false));
  } else if (SameName(name, L"selitemtextcolor")) {
    SetSelItemTextColor(ParseAttributeColor(value, false));
  } else if (SameName(name, L"selitemhottextcolor")) {
    SetSelItemHotTextColor(ParseAttributeColor(value, false));
  } else {
    CListUI::SetAttribute(name, value);
  }
}

}  // namespace Vellum
