#include "vellum/controls/tree/tree_node.h"

#include "vellum/controls/tree/tree_names.h"
#include "vellum/controls/tree/tree_view.h"
#include "vellum/core/base_controls/label.h"
#include "vellum/core/base_controls/option.h"
#include "vellum/core/layout/horizontal_layout.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/control_attribute_values.h"

namespace Vellum {
namespace {

using tree_names::SameName;

constexpr int kNodeHeight = 18;
constexpr int kNodeWidth = 250;
constexpr int kDottedLineWidth = 2;
// How much deeper each level's spacer line reaches.
constexpr int kLevelIndent = 16;

}  // namespace

// The node's row layout. The node draws, selects and colours through its four parts for as long as
// it lives, so the row refuses to give them up through the container calls (taking them out would
// leave the node pointing at controls that are gone or elsewhere); controls added to the row beside
// them come and go as in any layout. The node's destruction takes the parts with the row.
class CTreeNodeUI::CRowUI : public CHorizontalLayoutUI {
 public:
  explicit CRowUI(const CTreeNodeUI* node) : node_(node) {}

  bool Remove(CControlUI* control) override {
    if (IsPart(control)) return false;
    return CHorizontalLayoutUI::Remove(control);
  }
  bool RemoveAt(int index) override { return Remove(GetItemAt(index)); }
  void RemoveAll() override {
    for (int i = GetCount() - 1; i >= 0; --i) Remove(GetItemAt(i));
  }

 private:
  bool IsPart(const CControlUI* control) const {
    return control != nullptr &&
           (control == node_->dotted_line_ || control == node_->folder_button_ ||
            control == node_->check_box_ || control == node_->item_button_);
  }

  const CTreeNodeUI* node_;
};

CTreeNodeUI::CTreeNodeUI(CTreeNodeUI* parent)
    : row_(new CRowUI(this)),
      folder_button_(new CCheckBoxUI()),
      dotted_line_(new CLabelUI()),
      check_box_(new CCheckBoxUI()),
      item_button_(new COptionUI()) {
  SetFixedHeight(kNodeHeight);
  SetFixedWidth(kNodeWidth);
  row_->SetChildVAlign(UICHILD_VALIGN_VCENTER);
  folder_button_->SetFixedWidth(GetFixedHeight());
  dotted_line_->SetFixedWidth(kDottedLineWidth);
  dotted_line_->SetVisible(false);
  check_box_->SetFixedWidth(GetFixedHeight());
  check_box_->SetVisible(false);
  // Left-aligned text: what the "align" attribute "left" does, without looking the name up.
  item_button_->SetTextStyle(item_button_->GetTextStyle() & ~(DT_CENTER | DT_RIGHT));
  // Clicks on the text reach the node, which selects the row.
  item_button_->SetMouseEnabled(false);

  if (parent) {
    if (!SameName(parent->GetClass(), L"TreeNodeUI")) return;
    dotted_line_->SetVisible(parent->IsVisible());
    dotted_line_->SetFixedWidth(parent->dotted_line_->GetFixedWidth() + kLevelIndent);
    parent_node_ = parent;
  }
  row_->Add(dotted_line_);
  row_->Add(folder_button_);
  row_->Add(check_box_);
  row_->Add(item_button_);
  CListContainerElementUI::Add(row_);
  row_filled_ = true;
}

CTreeNodeUI::~CTreeNodeUI() {
  if (!row_filled_) {
    delete dotted_line_;
    delete folder_button_;
    delete check_box_;
    delete item_button_;
    delete row_;
  }
  // Outside a view nothing else holds the subtree.
  if (tree_view_ == nullptr) {
    for (int i = 0; i < child_nodes_.GetSize(); ++i) {
      delete static_cast<CTreeNodeUI*>(child_nodes_[i]);
    }
  }
}

CControlUI* CTreeNodeUI::CreateControl() { return new CTreeNodeUI(); }

CTreeNodeUI* CTreeNodeUI::FromControl(CControlUI* control) {
  if (control == nullptr) return nullptr;
  if (control->GetInterface(kTreeNodeInterface) == nullptr) return nullptr;
  // Another class may answer the name too; only this one is also a list row of the tree.
  return dynamic_cast<CTreeNodeUI*>(control);
}

const wchar_t* CTreeNodeUI::GetClass() const { return L"TreeNodeUI"; }

LPVOID CTreeNodeUI::GetInterface(const wchar_t* name) {
  if (name && SameName(name, kTreeNodeInterface)) return static_cast<CTreeNodeUI*>(this);
  if (name && SameName(name, kTreeNodeBuildInterface)) return static_cast<ITreeNodeUI*>(this);
  return CListContainerElementUI::GetInterface(name);
}

// ---- Child nodes ------------------------------------------------------------------------------------

int CTreeNodeUI::GetTreeLevel() const {
  int level = 0;
  for (const CTreeNodeUI* node = parent_node_; node; node = node->parent_node_) ++level;
  return level;
}

int CTreeNodeUI::GetNodeIndex() const {
  if (!tree_view_) return -1;
  return tree_view_->RowOf(this);
}

CTreeNodeUI* CTreeNodeUI::GetLastNode() {
  CTreeNodeUI* node = this;
  while (node->GetCountChild() > 0) node = node->GetChildNode(node->GetCountChild() - 1);
  return node;
}

CTreeNodeUI* CTreeNodeUI::GetChildNode(int index) const {
  return static_cast<CTreeNodeUI*>(child_nodes_.GetAt(index));
}

int CTreeNodeUI::GetCountChild() const { return child_nodes_.GetSize(); }

void CTreeNodeUI::IndentDescendants() {
  for (int i = 0; i < GetCountChild(); ++i) {
    CTreeNodeUI* child = GetChildNode(i);
    child->dotted_line_->SetFixedWidth(dotted_line_->GetFixedWidth() + kLevelIndent);
    child->IndentDescendants();
  }
}

void CTreeNodeUI::PlaceChild(CTreeNodeUI* node) {
  node->dotted_line_->SetVisible(true);
  node->dotted_line_->SetFixedWidth(dotted_line_->GetFixedWidth() + kLevelIndent);
  // A subtree built before it joins (skins build nodes bottom-up) took its indents from a node
  // that was still at the top: they move one level deeper with it.
  node->IndentDescendants();
  node->parent_node_ = this;
  node->item_button_->SetGroup(item_button_->GetGroup());
  node->tree_view_ = tree_view_;
}

void CTreeNodeUI::ForgetChild(CTreeNodeUI* node) {
  const int index = child_nodes_.Find(node);
  if (index >= 0) child_nodes_.Remove(index);
}

bool CTreeNodeUI::AddChildNode(CControlUI* control) {
  CTreeNodeUI* node = FromControl(control);
  if (!node) return false;
  PlaceChild(node);
  if (tree_view_) {
    // After the whole subtree of the last child, so the new node shows below its siblings.
    CTreeNodeUI* after = child_nodes_.IsEmpty() ? this : GetChildNode(GetCountChild() - 1)->GetLastNode();
    if (tree_view_->AddAt(node, after->GetNodeIndex() + 1) < 0) return false;
  }
  return child_nodes_.Add(node);
}

bool CTreeNodeUI::AddToRow(CControlUI* control) { return row_->Add(control); }

CControlUI* CTreeNodeUI::GetTreeViewControl() const { return tree_view_; }

bool CTreeNodeUI::Add(CControlUI* control) {
  if (control && control->GetInterface(kTreeNodeInterface)) return AddChildNode(control);
  return CListContainerElementUI::Add(control);
}

bool CTreeNodeUI::AddAt(CControlUI* control, int index) {
  CTreeNodeUI* node = FromControl(control);
  // The view places the row, so a node outside a view cannot take one here.
  if (!node || !tree_view_) return false;
  CTreeNodeUI* before = nullptr;
  if (index >= GetCountChild()) {
    // An appended child goes below the whole subtree, as AddChildNode places it; the row right
    // after this node would put it above its older siblings.
    const int next = GetLastNode()->GetNodeIndex() + 1;
    if (!child_nodes_.Add(node)) return false;
    before = tree_view_->NodeAt(next);
  } else {
    before = GetChildNode(index);
    if (!child_nodes_.InsertAt(index, node)) return false;
  }
  PlaceChild(node);
  if (before) return tree_view_->AddAt(node, before);
  return tree_view_->Add(node);
}

void CTreeNodeUI::RemoveAll() {
  while (GetCountChild() > 0) {
    if (!Remove(GetChildNode(GetCountChild() - 1))) break;
  }
  for (int i = GetCount() - 1; i >= 0; --i) {
    if (GetItemAt(i) != row_) CListContainerElementUI::Remove(GetItemAt(i));
  }
}

bool CTreeNodeUI::Remove(CControlUI* control) {
  CTreeNodeUI* node = FromControl(control);
  if (!node) return false;
  const int index = child_nodes_.Find(node);
  if (index < 0) return false;
  // Checked before anything goes: a child the view no longer lists keeps its subtree.
  if (tree_view_ && tree_view_->RowOf(node) < 0) return false;
  while (node->GetCountChild() > 0) node->Remove(node->GetChildNode(0));
  child_nodes_.Remove(index);
  if (tree_view_) {
    tree_view_->Remove(node);
  } else {
    // Not in a view: this node owned it.
    delete node;
  }
  return true;
}

// ---- Colours, selection and events ------------------------------------------------------------------

void CTreeNodeUI::SetItemTextColor(DWORD color) {
  item_text_color_ = color;
  item_button_->SetTextColor(color);
}

void CTreeNodeUI::SetItemHotTextColor(DWORD color) {
  item_hot_text_color_ = color;
  Invalidate();
}

void CTreeNodeUI::SetSelItemTextColor(DWORD color) {
  sel_item_text_color_ = color;
  Invalidate();
}

void CTreeNodeUI::SetSelItemHotTextColor(DWORD color) {
  sel_item_hot_text_color_ = color;
  Invalidate();
}

bool CTreeNodeUI::Select(bool select) {
  const bool done = CListContainerElementUI::Select(select);
  item_button_->SetTextColor(IsSelected() ? sel_item_text_color_ : item_text_color_);
  return done;
}

void CTreeNodeUI::SetVisible(bool visible) {
  // Within a walk of the view the row does what showing or hiding it means for itself and its
  // parts, and leaves the list's new layout to the view. A row that is selected or has the focus
  // takes the whole way, which lets go of both.
  if (visible_ == visible || tree_view_ == nullptr || !tree_view_->DefersRowUpdates() ||
      GetParent() != tree_view_->GetList() || IsSelected() ||
      (manager_ && manager_->GetFocus() == this)) {
    CListContainerElementUI::SetVisible(visible);
    return;
  }
  visible_ = visible;
  focused_ = false;
  for (int i = 0; i < GetCount(); ++i) GetItemAt(i)->SetInheritedVisible(IsVisible());
  tree_view_->RowVisibilityDeferred();
}

bool CTreeNodeUI::SelectMulti(bool select) {
  const bool done = CListContainerElementUI::SelectMulti(select);
  item_button_->SetTextColor(IsSelected() ? sel_item_text_color_ : item_text_color_);
  return done;
}

void CTreeNodeUI::DoEvent(TUIEvent& event) {
  if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
    if (GetOwner()) {
      GetOwner()->DoEvent(event);
    } else {
      CContainerUI::DoEvent(event);
    }
    return;
  }
  CListContainerElementUI::DoEvent(event);
  switch (event.type) {
    case UIEVENT_DBLCLICK:
      if (IsEnabled()) {
        if (manager_) manager_->SendNotify(this, L"treeitemdbclick", 0, 0, false);
        Invalidate();
      }
      break;
    case UIEVENT_MOUSEENTER:
      if (!IsEnabled()) {
        item_button_->SetTextColor(item_button_->GetDisabledTextColor());
      } else if (IsSelected() && sel_item_hot_text_color_ != 0) {
        item_button_->SetTextColor(sel_item_hot_text_color_);
      } else {
        item_button_->SetTextColor(item_hot_text_color_);
      }
      break;
    case UIEVENT_MOUSELEAVE:
      if (!IsEnabled()) {
        item_button_->SetTextColor(item_button_->GetDisabledTextColor());
      } else if (IsSelected()) {
        if (sel_item_text_color_ != 0) item_button_->SetTextColor(sel_item_text_color_);
      } else {
        item_button_->SetTextColor(item_text_color_);
      }
      break;
    default:
      break;
  }
}

void CTreeNodeUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (SameName(name, L"text")) {
    item_button_->SetText(value);
  } else if (SameName(name, L"horizattr")) {
    row_->ApplyAttributeList(value);
  } else if (SameName(name, L"dotlineattr")) {
    dotted_line_->ApplyAttributeList(value);
  } else if (SameName(name, L"folderattr")) {
    folder_button_->ApplyAttributeList(value);
  } else if (SameName(name, L"checkboxattr")) {
    check_box_->ApplyAttributeList(value);
  } else if (SameName(name, L"itemattr")) {
    item_button_->ApplyAttributeList(value);
  } else if (SameName(name, L"itemtextcolor")) {
    SetItemTextColor(ParseAttributeColor(value, false));
  } else if (SameName(name, L"itemhottextcolor")) {
    SetItemHotTextColor(ParseAttributeColor(value, false));
  } else if (SameName(name, L"selitemtextcolor")) {
    SetSelItemTextColor(ParseAttributeColor(value, false));
  } else if (SameName(name, L"selitemhottextcolor")) {
    SetSelItemHotTextColor(ParseAttributeColor(value, false));
  } else {
    CListContainerElementUI::SetAttribute(name, value);
  }
}

}  // namespace Vellum
