#pragma once

// The records and small interfaces through which windows, controls and the paint manager talk:
// the event a control receives from its manager, the notification a control sends to its window,
// and the hooks a window plugs into its manager. Everything runs on the window's thread.

#include <windows.h>

#include "vellum/core/base/ui_string.h"

namespace Vellum {

class CControlUI;

// Event codes of TUIEvent::type. No other values are produced; controls treat
// UIEVENT__MOUSEBEGIN..UIEVENT__MOUSEEND as mouse events.
enum : int {
  UIEVENT_KEYDOWN = 3,
  UIEVENT_KEYUP = 4,
  UIEVENT_CHAR = 5,
  UIEVENT_MOUSEMOVE = 9,
  UIEVENT_MOUSELEAVE = 10,
  UIEVENT_MOUSEENTER = 11,
  UIEVENT_MOUSEHOVER = 12,
  UIEVENT_BUTTONDOWN = 13,
  UIEVENT_BUTTONUP = 14,
  UIEVENT_RBUTTONDOWN = 15,
  UIEVENT_RBUTTONUP = 16,
  UIEVENT_MBUTTONDOWN = 17,
  UIEVENT_MBUTTONUP = 18,
  UIEVENT_DBLCLICK = 19,
  UIEVENT_CONTEXTMENU = 20,
  UIEVENT_SCROLLWHEEL = 21,
  UIEVENT_KILLFOCUS = 23,
  UIEVENT_SETFOCUS = 24,
  UIEVENT_WINDOWSIZE = 25,
  UIEVENT_SETCURSOR = 26,
  UIEVENT_TIMER = 27,

  UIEVENT__MOUSEBEGIN = UIEVENT_MOUSEMOVE,
  UIEVENT__MOUSEEND = UIEVENT_SCROLLWHEEL,
};

inline bool IsMouseEvent(int type) { return type >= UIEVENT__MOUSEBEGIN && type <= UIEVENT__MOUSEEND; }

// Built on the stack by the manager and handed to CControlUI::Event.
struct TUIEvent {
  int type = 0;
  CControlUI* sender = nullptr;
  DWORD timestamp = 0;  // GetTickCount
  POINT mouse_point{};  // client coordinates
  WORD key_char = 0;    // the wParam of key messages
  WORD key_state = 0;   // MK_ bits (MK_ALT 0x20 for Alt)
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

// What a control tells its window ("click", "windowinit", "setfocus", "timer", ...).
struct TUINotification {
  CUIString type;
  CUIString virtual_wnd;  // filled only while the manager's use-virtual-window flag is set
  CControlUI* sender = nullptr;  // may be null, for example once the sender is gone
  DWORD timestamp = 0;           // GetTickCount at sending
  POINT mouse_point{};           // the manager's last mouse position at sending
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

class INotifyUI {
 public:
  virtual void Notify(TUINotification& msg) = 0;

 protected:
  ~INotifyUI() = default;
};

class IMessageFilterUI {
 public:
  // Setting handled ends the manager's processing of the message with the returned result.
  virtual LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) = 0;

 protected:
  ~IMessageFilterUI() = default;
};

class IDialogBuilderCallback {
 public:
  // Null: no such class.
  virtual CControlUI* CreateControl(const wchar_t* class_name) = 0;

 protected:
  ~IDialogBuilderCallback() = default;
};

class ITranslateAccelerator {
 public:
  // S_FALSE: the message was not used.
  virtual LRESULT TranslateAccelerator(MSG* msg) = 0;

 protected:
  ~ITranslateAccelerator() = default;
};

// Answered by GetInterface(kFontRefreshInterface) of controls that keep a font of their own in a
// native engine (the rich edit): the manager asks them to take their font again after a DPI change,
// since the core cannot know those controls' classes.
inline constexpr const wchar_t* kFontRefreshInterface = L"FontRefresh";
class IFontRefreshUI {
 public:
  virtual void RefreshFont() = 0;

 protected:
  ~IFontRefreshUI() = default;
};

// A tree's node answers GetInterface(kTreeNodeInterface) and its view GetInterface(kTreeViewInterface)
// with the control itself, as every control answers its own name.
inline constexpr const wchar_t* kTreeNodeInterface = L"TreeNode";
inline constexpr const wchar_t* kTreeViewInterface = L"TreeView";

// Answered by GetInterface(kTreeNodeBuildInterface) of a tree's node and
// GetInterface(kTreeViewBuildInterface) of a tree view. The skin builder places what it builds
// under a node or a view through these, since the core cannot know the tree's classes: a node under
// a node joins that node's child nodes, a node under a view joins the view with its whole subtree,
// and anything else under a node goes into the node's row.
inline constexpr const wchar_t* kTreeNodeBuildInterface = L"ITreeNode";
class ITreeNodeUI {
 public:
  // node answers kTreeNodeBuildInterface; false otherwise or when it cannot be placed.
  virtual bool AddChildNode(CControlUI* node) = 0;
  // Puts a control that is not a node into the node's row.
  virtual bool AddToRow(CControlUI* control) = 0;
  // The view the node belongs to; null until the node (or its top node) joins one.
  virtual CControlUI* GetTreeViewControl() const = 0;

 protected:
  ~ITreeNodeUI() = default;
};

inline constexpr const wchar_t* kTreeViewBuildInterface = L"ITreeView";
class ITreeViewUI {
 public:
  // node answers kTreeNodeBuildInterface; its child nodes follow it into the view.
  virtual bool AddNode(CControlUI* node) = 0;

 protected:
  ~ITreeViewUI() = default;
};

// Asked before a drag starts from a control: true forbids it.
class IDragPermissionUI {
 public:
  virtual bool ForbidDrag(CControlUI* pushed) = 0;

 protected:
  ~IDragPermissionUI() = default;
};

}  // namespace Vellum
