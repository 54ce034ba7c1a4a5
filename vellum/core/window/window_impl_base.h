#pragma once

// A framework window: a CWindowWnd with a paint manager. On WM_CREATE it builds the window's
// control tree from the skin the derived class names, gives the window a caption-less frame of its
// own (hit tests from the skin's caption and size-box margins, maximising to the work area, a
// rounded window region) and routes "click" notifications to OnClick. The paint manager lives as
// long as the object; the window ties it to itself in OnCreate and unties it in OnFinalMessage.
//
// A skin that cannot be built is fatal: OnCreate shows an error box and ends the process with
// exit code 1.

#include <windows.h>

#include "vellum/core/window/notify_pump.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/resources/resource_store.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/window/window_wnd.h"

namespace Vellum {

class CControlUI;

class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback,
                       public IQueryControlText {
 public:
  WindowImplBase();
  ~WindowImplBase() override;

  // --- virtual operations (CWindowWnd's first), in their fixed order ---
  const wchar_t* GetSuperClassName() const override;
  UINT GetClassStyle() const override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnFinalMessage(HWND hwnd) override;
  virtual void OnPrepare() {}
  virtual void InitWindow() {}
  virtual void OnClick(TUINotification& msg);
  virtual bool IsInStaticControl(CControlUI* control);
  virtual const wchar_t* GetSkinType() { return L""; }
  virtual const wchar_t* GetSkinFile() = 0;
  virtual const wchar_t* GetManagerName() { return nullptr; }
  virtual LRESULT ResponseDefaultKeyEvent(WPARAM wParam);
  virtual LRESULT OnClose(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnNcActivate(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnNcCalcSize(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnNcPaint(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnNcHitTest(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnGetMinMaxInfo(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnMouseWheel(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnMouseHover(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnSize(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnChar(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnKillFocus(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnSetFocus(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnLButtonDown(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnLButtonUp(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnMouseMove(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT HandleCustomMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LONG GetStyle();

  // INotifyUI: a notification carrying a virtual-window name goes to that pump first.
  void Notify(TUINotification& msg) override;
  // IMessageFilterUI: Return and Escape are offered to ResponseDefaultKeyEvent, never consumed.
  LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
  // IDialogBuilderCallback: no classes of its own.
  CControlUI* CreateControl(const wchar_t* class_name) override;
  // IQueryControlText: no texts of its own.
  const wchar_t* QueryControlText(const wchar_t* id, const wchar_t* type) override;

  CPaintManagerUI& GetPaintManager() { return paint_manager_; }

 protected:
  CPaintManagerUI paint_manager_;

  DECLARE_NOTIFY_MAP()
};

// The rule of IsInStaticControl for one class name (as GetClass returns it): true for the classes
// that only show or place things, so a press on them may drag the window.
bool IsStaticControlClass(const wchar_t* class_name);

}  // namespace Vellum
