#pragma once

// Hosts the system web browser control. Besides embedding it (CActiveXUI), the control is the
// browser's document host (its UI handler, its command target for script errors, its service
// provider for the download and security managers, its security manager) and the sink of its
// navigation events, which it hands to an optional IWebEventHandler. Keys pressed while the focus
// is inside the browser's windows are offered to the browser through the manager's accelerator list.
//
// Ownership: owned by its container like every control. The COM reference count of its interface
// parts is kept for the browser's sake only: the control tree, not the count, decides when the
// control goes. The event handler is not owned.

#include <windows.h>
#include <downloadmgr.h>
#include <exdisp.h>
#include <mshtmhst.h>
#include <servprov.h>
#include <urlmon.h>

#include "common/base/com_ptr.h"
#include "vellum/controls/activex/activex.h"
#include "vellum/core/base/ui_events.h"

namespace Vellum {

class IWebEventHandler;

class CWebBrowserUI : public CActiveXUI,
                      public IDocHostUIHandler,
                      public IServiceProvider,
                      public IOleCommandTarget,
                      public IDispatch,
                      public ITranslateAccelerator,
                      public IInternetSecurityManager,
                      public IDownloadManager {
 public:
  CWebBrowserUI();
  ~CWebBrowserUI() override;

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;

  bool DoCreateControl() override;
  void ReleaseControl() override;

  // --- operation added here ---
  // Forwards to the event handler; S_OK without one.
  STDMETHODIMP Download(IMoniker* moniker, IBindCtx* context, DWORD bind_verb, LONG bind_flags,
                        BINDINFO* bind_info, LPCOLESTR headers, LPCOLESTR redirect,
                        UINT code_page) override;

  // Opens the url in the browser; nothing before the browser exists or for a null url.
  void Navigate2(const wchar_t* url);
  void SetHomePage(const wchar_t* url);
  const CUIString& GetHomePage() const { return home_page_; }
  void SetAutoNavigation(bool auto_navigate) { auto_navigate_ = auto_navigate; }
  bool IsAutoNavigation() const { return auto_navigate_; }
  // Not owned; null stops the forwarding.
  void SetWebBrowserEventHandler(IWebEventHandler* handler) { event_handler_ = handler; }
  IWebBrowser2* GetWebBrowser2() const { return browser_; }
  DWORD GetEventCookie() const { return event_cookie_; }

  // ITranslateAccelerator: a key message goes to the browser only while the keyboard focus is in
  // the browser's own windows.
  LRESULT TranslateAccelerator(MSG* msg) override;

  // IUnknown (every part)
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // IDispatch: the browser's events
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                             DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* exception, UINT* arg_error) override;

  // IDocHostUIHandler
  STDMETHODIMP ShowContextMenu(DWORD id, POINT* point, IUnknown* command_target,
                               IDispatch* object) override;
  STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override;
  STDMETHODIMP ShowUI(DWORD id, IOleInPlaceActiveObject* active_object,
                      IOleCommandTarget* command_target, IOleInPlaceFrame* frame,
                      IOleInPlaceUIWindow* document) override;
  STDMETHODIMP HideUI() override;
  STDMETHODIMP UpdateUI() override;
  STDMETHODIMP EnableModeless(BOOL enable) override;
  STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
  STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
  STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frame_window) override;
  STDMETHODIMP TranslateAccelerator(LPMSG msg, const GUID* group, DWORD command) override;
  STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD reserved) override;
  STDMETHODIMP GetDropTarget(IDropTarget* drop_target, IDropTarget** replacement) override;
  STDMETHODIMP GetExternal(IDispatch** dispatch) override;
  STDMETHODIMP TranslateUrl(DWORD translate, LPWSTR url, LPWSTR* translated) override;
  STDMETHODIMP FilterDataObject(IDataObject* data, IDataObject** filtered) override;

  // IServiceProvider
  STDMETHODIMP QueryService(REFGUID service, REFIID iid, void** out) override;

  // IOleCommandTarget
  STDMETHODIMP QueryStatus(const GUID* group, ULONG count, OLECMD* commands,
                           OLECMDTEXT* text) override;
  STDMETHODIMP Exec(const GUID* group, DWORD command, DWORD options, VARIANT* in,
                    VARIANT* out) override;

  // IInternetSecurityManager: every question is left to the browser's own defaults.
  STDMETHODIMP SetSecuritySite(IInternetSecurityMgrSite* site) override;
  STDMETHODIMP GetSecuritySite(IInternetSecurityMgrSite** site) override;
  STDMETHODIMP MapUrlToZone(LPCWSTR url, DWORD* zone, DWORD flags) override;
  STDMETHODIMP GetSecurityId(LPCWSTR url, BYTE* id, DWORD* id_size, DWORD_PTR reserved) override;
  STDMETHODIMP ProcessUrlAction(LPCWSTR url, DWORD action, BYTE* policy, DWORD policy_size,
                                BYTE* context, DWORD context_size, DWORD flags,
                                DWORD reserved) override;
  STDMETHODIMP QueryCustomPolicy(LPCWSTR url, REFGUID key, BYTE** policy, DWORD* policy_size,
                                 BYTE* context, DWORD context_size, DWORD reserved) override;
  STDMETHODIMP SetZoneMapping(DWORD zone, LPCWSTR pattern, DWORD flags) override;
  STDMETHODIMP GetZoneMappings(DWORD zone, IEnumString** patterns, DWORD flags) override;

 private:
  // Advises or unadvises the DWebBrowserEvents2 sink.
  void ConnectEvents(bool connect);
  // The document of the browser takes this control as its UI handler, when it exists and can.
  void BecomeUIHandler();
  // The document that took this control as its UI handler is left without one: the browser may
  // outlive the control.
  void ReturnUIHandler();

  IWebBrowser2* browser_ = nullptr;
  volatile LONG ref_count_ = 0;
  DWORD event_cookie_ = 0;
  CUIString home_page_;
  bool auto_navigate_ = false;
  IWebEventHandler* event_handler_ = nullptr;
  // The document this control is the UI handler of (one reference), until it is handed back.
  com_ptr<ICustomDoc> handled_document_;
};

}  // namespace Vellum
