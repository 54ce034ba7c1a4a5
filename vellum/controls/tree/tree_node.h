#pragma once

// A node of a tree view: one list row drawn as a spacer line, a folder (expand) button, a check box
// and the item button that shows the text, side by side in the node's row layout. A node keeps its
// own list of child nodes; the view lists every node, each parent immediately followed by its
// descendants, and hides or shows descendant rows as folders close and open.
//
// Ownership: the row layout is the node's container child for its whole life and owns the four
// sub-controls, which it does not give up.
// Child nodes in a view are rows of the view, owned by its list like every row; the child list
// only points at them. Child nodes of a node that has not joined a view yet (a subtree being built)
// are owned by that node and go with it.

#include <windows.h>

#include "vellum/controls/list/list_element.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/base/ui_ptr_array.h"

namespace Vellum {

class CCheckBoxUI;
class CHorizontalLayoutUI;
class CLabelUI;
class COptionUI;
class CTreeViewUI;

class CTreeNodeUI : public CListContainerElementUI, public ITreeNodeUI {
 public:
  // parent: the node this one is made for; its spacer then starts one indent deeper. A parent of
  // another class leaves the row empty (derived nodes decide their own rows).
  explicit CTreeNodeUI(CTreeNodeUI* parent = nullptr);
  ~CTreeNodeUI() override;

  static CControlUI* CreateControl();
  // The node behind a control answering "TreeNode", or null.
  static CTreeNodeUI* FromControl(CControlUI* control);

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  void DoEvent(TUIEvent& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  bool Select(bool select = true) override;
  void SetVisible(bool visible = true) override;
  bool SelectMulti(bool select = true) override;

  // Container: nodes join the child nodes, anything else becomes a container child of the node.
  bool Add(CControlUI* control) override;
  // Child nodes only; a node that belongs to no view takes none this way.
  bool AddAt(CControlUI* control, int index) override;
  // Child nodes only, with their descendants.
  bool Remove(CControlUI* control) override;
  // Every child node with its descendants, and whatever was added beside the row; the row stays.
  void RemoveAll() override;

  // --- ITreeNodeUI ---
  bool AddChildNode(CControlUI* node) override;
  bool AddToRow(CControlUI* control) override;
  CControlUI* GetTreeViewControl() const override;

  // Parent links up to the top: 0 for a top-level node.
  int GetTreeLevel() const;
  // The node's row in its view; -1 without a view or when absent.
  int GetNodeIndex() const;
  // The node itself without children, else the last descendant through the last children.
  CTreeNodeUI* GetLastNode();
  CTreeNodeUI* GetChildNode(int index) const;
  int GetCountChild() const;

  CTreeViewUI* GetTreeView() const { return tree_view_; }
  void SetTreeView(CTreeViewUI* view) { tree_view_ = view; }
  CTreeNodeUI* GetParentNode() const { return parent_node_; }
  void SetParentNode(CTreeNodeUI* parent) { parent_node_ = parent; }

  // Applied to the item button at once.
  void SetItemTextColor(DWORD color);
  DWORD GetItemTextColor() const { return item_text_color_; }
  void SetItemHotTextColor(DWORD color);
  DWORD GetItemHotTextColor() const { return item_hot_text_color_; }
  void SetSelItemTextColor(DWORD color);
  DWORD GetSelItemTextColor() const { return sel_item_text_color_; }
  void SetSelItemHotTextColor(DWORD color);
  DWORD GetSelItemHotTextColor() const { return sel_item_hot_text_color_; }

  CHorizontalLayoutUI* GetRowLayout() const { return row_; }
  // Selected means collapsed.
  CCheckBoxUI* GetFolderButton() const { return folder_button_; }
  CLabelUI* GetDottedLine() const { return dotted_line_; }
  CCheckBoxUI* GetCheckBox() const { return check_box_; }
  COptionUI* GetItemButton() const { return item_button_; }

 private:
  friend class CTreeViewUI;
  class CRowUI;

  // Makes node one of this node's children: indent, parent link, option group and view.
  void PlaceChild(CTreeNodeUI* node);
  // Each descendant's spacer one indent deeper than its parent's.
  void IndentDescendants();
  // Drops node from the child list without touching it.
  void ForgetChild(CTreeNodeUI* node);
  // The row itself is hidden (under a closed folder), whatever its ancestors in the window.
  bool IsFoldedAway() const { return !visible_; }

  bool expanded_ = true;
  DWORD item_text_color_ = 0;
  DWORD item_hot_text_color_ = 0;
  DWORD sel_item_text_color_ = 0;
  DWORD sel_item_hot_text_color_ = 0;
  CTreeViewUI* tree_view_ = nullptr;
  CHorizontalLayoutUI* row_ = nullptr;
  CCheckBoxUI* folder_button_ = nullptr;
  CLabelUI* dotted_line_ = nullptr;
  CCheckBoxUI* check_box_ = nullptr;
  COptionUI* item_button_ = nullptr;
  CTreeNodeUI* parent_node_ = nullptr;
  CUIPtrArray child_nodes_;
  // The last of the view's walks to go through this node's subtree.
  unsigned walk_ = 0;
  // False when the row was left empty: the sub-controls then belong to no container.
  bool row_filled_ = false;
};

}  // namespace Vellum
