#pragma once

// Embeds an OLE control in a skinned window. The object is created from a class id or ProgID ("clsid"),
// optionally from a named DLL's class factory ("modulename"); it gets a client site (CActiveXCtrl)
// that speaks the in-place protocol and lets the object choose how it is shown: windowless (it draws
// into the window's paint DC and receives mouse and key messages through this control's message
// filter) or windowed (a CActiveXWnd child window is created once for it and reused).
//
// Ownership: the control is owned by its container. It holds one reference to the object and one
// to its site; ReleaseControl gives both up and detaches the site, so that the object's later calls
// into the site answer E_UNEXPECTED instead of touching a control that may be gone. A module loaded
// through "modulename" stays loaded for the life of the process: objects it made may still be
// referenced by their own clients after the control lets go.

#include <windows.h>
#include <ole2.h>

#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/control.h"

namespace Vellum {

class CActiveXCtrl;

class CActiveXUI : public CControlUI, public IMessageFilterUI {
 public:
  CActiveXUI();
  ~CActiveXUI() override;

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;

  HWND GetHostWindow() const { return host_window_; }

  void SetPos(RECT rect, bool invalidate = true) override;
  void Move(SIZE offset, bool invalidate = true) override;
  void SetVisible(bool visible = true) override;
  void SetInheritedVisible(bool visible = true) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  bool DoPaint(HDC dc, const RECT& paint, CControlUI* stop) override;

  LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

  // --- operations added here, in their fixed order ---
  virtual bool IsDelayCreate() const;
  virtual void SetDelayCreate(bool delay_create = true);
  virtual bool IsMFC() const;
  virtual void SetMFC(bool mfc = false);
  virtual void ReleaseControl();
  virtual bool DoCreateControl();
  // --- end ---

  // False for a null class id; otherwise the id is kept and, unless creation is delayed, the
  // object is created now.
  bool SetCLSID(REFCLSID clsid);
  const CLSID& GetCLSID() const { return clsid_; }
  // E_PENDING while there is no object.
  HRESULT GetControl(REFIID iid, LPVOID* out);
  void SetModuleName(const wchar_t* module_name);
  const CUIString& GetModuleName() const { return module_name_; }
  bool IsCreated() const { return created_; }

 protected:
  // What the site needs of its control.
  friend class CActiveXCtrl;
  friend class CActiveXWnd;

  // The rectangle the object is given: the control's, moved to the origin for a windowed object
  // (whose own window already sits at the control's place).
  RECT ObjectRect() const;
  void CreateAtOnce();

  CLSID clsid_{};
  CUIString module_name_;
  bool created_ = false;
  bool delay_create_ = true;
  bool mfc_ = false;
  IOleObject* object_ = nullptr;
  CActiveXCtrl* site_ = nullptr;
  HWND host_window_ = nullptr;
};

}  // namespace Vellum
