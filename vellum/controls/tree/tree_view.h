#pragma once

// A tree shown as a flat list: a list without a header whose rows are all the tree's nodes, each
// parent immediately followed by its descendants. The view listens to each node's double clicks and
// to its folder button and check box, opening and closing subtrees and carrying checks down to the
// descendants. Nodes are rows of the list and owned by it, like any rows.

#include <windows.h>

#include "vellum/controls/list/list.h"
#include "vellum/core/base/ui_events.h"

namespace Vellum {

class CTreeNodeUI;

class CTreeViewUI : public CListUI, public INotifyUI, public ITreeViewUI {
 public:
  CTreeViewUI();

  static CControlUI* CreateControl();
  // The view behind a control answering "TreeView", or null.
  static CTreeViewUI* FromControl(CControlUI* control);

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  int GetListType() override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  // The row at index through Remove(node) when it is a node.
  bool RemoveAt(int index) override;
  void Notify(TUINotification& msg) override;
  // The row at index when it is a node, else null.
  CTreeNodeUI* NodeAt(int index) const;

  // --- ITreeViewUI ---
  bool AddNode(CControlUI* node) override;

  using CListUI::Add;
  using CListUI::AddAt;
  using CListUI::Remove;

  // --- virtual operations added by the view, in their fixed order ---
  // Appends node and, after it, its whole subtree.
  virtual bool Add(CTreeNodeUI* node);
  // Puts node before the row before (which must be one of the view's).
  virtual bool AddAt(CTreeNodeUI* node, CTreeNodeUI* before);
  // Puts node at index and its subtree after it; the row after the last row put, -1 on failure.
  virtual int AddAt(CTreeNodeUI* node, int index);
  // Removes node with its descendants, and from its parent's child nodes.
  virtual bool Remove(CTreeNodeUI* node);
  // Delegates on the nodes' event sources; param is the TUINotification.
  virtual bool OnCheckBoxChanged(void* param);
  virtual bool OnFolderChanged(void* param);
  virtual bool OnDBClickItem(void* param);
  // Checks or clears the descendants of node, or every row when node is null.
  virtual bool SetItemCheckBox(bool selected, CTreeNodeUI* node = nullptr);
  // Shows or hides the descendants of node whose ancestors below node are open; with a null
  // node, opens or closes every row's folder.
  virtual void SetItemExpand(bool expand, CTreeNodeUI* node = nullptr);
  virtual void SetVisibleFolderBtn(bool visible);
  virtual bool GetVisibleFolderBtn();
  virtual void SetVisibleCheckBtn(bool visible);
  virtual bool GetVisibleCheckBtn();
  virtual void SetItemMinWidth(UINT width);
  virtual UINT GetItemMinWidth();
  virtual void SetItemTextColor(DWORD color);
  virtual void SetItemHotTextColor(DWORD color);
  virtual void SetSelItemTextColor(DWORD color);
  virtual void SetSelItemHotTextColor(DWORD color);

 protected:
  // Whatever way a node's row leaves (the body's container calls too), the node keeps nothing of
  // this view: no delegate that calls into it, no pointer to it, no place among its nodes.
  void OnRowLeaving(CControlUI* row) override;

 private:
  friend class CTreeNodeUI;
  class CRowUpdates;
  class CWalk;

  // The delegates, the buttons' visibility and the minimum width every added node gets.
  void PrepareNode(CTreeNodeUI* node);
  // The folder button moves right one folder width per level.
  void IndentNode(CTreeNodeUI* node);
  // node's row: the index the list gave it when that is still where it is, else a search.
  int RowOf(const CTreeNodeUI* node) const;
  // Whether rows shown or hidden now leave their new layout to the view (see CRowUpdates).
  bool DefersRowUpdates() const { return row_update_depth_ > 0; }
  void RowVisibilityDeferred() { rows_moved_ = true; }
  // Whether node's subtree has been seen to by the running walk, and marking that it has. A
  // node's own notice and the walk over its ancestors would otherwise each go through it again.
  bool WalkedInThisPass(const CTreeNodeUI* node) const;
  void MarkWalked(CTreeNodeUI* node);

  UINT item_min_width_ = 0;
  bool visible_folder_btn_ = true;
  bool visible_check_btn_ = false;
  int row_update_depth_ = 0;
  bool rows_moved_ = false;
  // The running walk: 0 for none; what it does and with which value.
  unsigned walk_ = 0;
  unsigned last_walk_ = 0;
  int walk_kind_ = 0;
  bool walk_value_ = false;
};

}  // namespace Vellum
