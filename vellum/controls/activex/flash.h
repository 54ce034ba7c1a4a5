#pragma once

// Hosts the Flash player control and listens to its events (which it accepts without acting on
// them). Keys pressed while the focus is inside the player's windows are offered to the player
// through the manager's accelerator list. Where the player is not installed, creation fails and
// the control stays empty.
//
// Ownership: owned by its container like every control; the reference count of the event part is
// kept for the player's sake only and never frees the control.

#include <windows.h>

#include "vellum/controls/activex/activex.h"
#include "vellum/core/base/ui_events.h"

namespace Vellum {

class CFlashUI : public CActiveXUI, public IDispatch, public ITranslateAccelerator {
 public:
  CFlashUI();
  ~CFlashUI() override;

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;

  bool DoCreateControl() override;
  void ReleaseControl() override;

  // The player's own interface, null while there is no player.
  IDispatch* GetFlash() const { return flash_; }
  DWORD GetEventCookie() const { return event_cookie_; }

  LRESULT TranslateAccelerator(MSG* msg) override;

  // The event part
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                             DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* exception, UINT* arg_error) override;

 private:
  void ConnectEvents(bool connect);

  IDispatch* flash_ = nullptr;
  volatile LONG ref_count_ = 0;
  DWORD event_cookie_ = 0;
};

}  // namespace Vellum
