#pragma once

// What a window learns from, and answers for, an embedded web browser: its navigation events and
// the document-host questions the browser asks its host. Every operation receives the browser
// control first. The bodies give the host's own answers, so a handler overrides only what it
// cares about.

#include <windows.h>
#include <exdisp.h>
#include <mshtmhst.h>
#include <urlmon.h>

namespace Vellum {

class CWebBrowserUI;

class IWebEventHandler {
 public:
  virtual void BeforeNavigate2(CWebBrowserUI*, IDispatch*, VARIANT* /*url*/, VARIANT* /*flags*/,
                               VARIANT* /*target_frame*/, VARIANT* /*post_data*/,
                               VARIANT* /*headers*/, VARIANT_BOOL* /*cancel*/) {}
  virtual void NavigateError(CWebBrowserUI*, IDispatch*, VARIANT* /*url*/,
                             VARIANT* /*target_frame*/, VARIANT* /*status_code*/,
                             VARIANT_BOOL* /*cancel*/) {}
  virtual void NavigateComplete2(CWebBrowserUI*, IDispatch*, VARIANT* /*url*/) {}
  // Part of the interface for handlers shared with other hosts; the browser control never calls it.
  virtual void ProgressChange(CWebBrowserUI*, LONG /*progress*/, LONG /*progress_max*/) {}
  virtual void NewWindow3(CWebBrowserUI*, IDispatch** /*dispatch*/, VARIANT_BOOL* /*cancel*/,
                          DWORD /*flags*/, BSTR /*url_context*/, BSTR /*url*/) {}
  virtual void CommandStateChange(CWebBrowserUI*, long /*command*/, VARIANT_BOOL /*enable*/) {}
  virtual void TitleChange(CWebBrowserUI*, BSTR /*title*/) {}
  virtual void DocumentComplete(CWebBrowserUI*, IDispatch*, VARIANT* /*url*/) {}

  // The document-host questions, in the browser's order.
  virtual HRESULT ShowContextMenu(CWebBrowserUI*, DWORD, POINT*, IUnknown*, IDispatch*) {
    return S_FALSE;
  }
  virtual HRESULT GetHostInfo(CWebBrowserUI*, DOCHOSTUIINFO*) { return S_OK; }
  virtual HRESULT ShowUI(CWebBrowserUI*, DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*,
                         IOleInPlaceFrame*, IOleInPlaceUIWindow*) {
    return S_OK;
  }
  virtual HRESULT HideUI(CWebBrowserUI*) { return S_OK; }
  virtual HRESULT UpdateUI(CWebBrowserUI*) { return S_OK; }
  virtual HRESULT EnableModeless(CWebBrowserUI*, BOOL) { return E_NOTIMPL; }
  virtual HRESULT OnDocWindowActivate(CWebBrowserUI*, BOOL) { return E_NOTIMPL; }
  virtual HRESULT OnFrameWindowActivate(CWebBrowserUI*, BOOL) { return E_NOTIMPL; }
  virtual HRESULT ResizeBorder(CWebBrowserUI*, LPCRECT, IOleInPlaceUIWindow*, BOOL) {
    return E_NOTIMPL;
  }
  virtual HRESULT TranslateAccelerator(CWebBrowserUI*, LPMSG, const GUID*, DWORD) {
    return S_FALSE;
  }
  virtual HRESULT GetOptionKeyPath(CWebBrowserUI*, LPOLESTR*, DWORD) { return E_NOTIMPL; }
  virtual HRESULT GetDropTarget(CWebBrowserUI*, IDropTarget*, IDropTarget**) { return S_FALSE; }
  virtual HRESULT GetExternal(CWebBrowserUI*, IDispatch**) { return S_FALSE; }
  virtual HRESULT TranslateUrl(CWebBrowserUI*, DWORD, OLECHAR*, OLECHAR** translated) {
    if (translated != nullptr) *translated = nullptr;
    return E_NOTIMPL;
  }
  virtual HRESULT FilterDataObject(CWebBrowserUI*, IDataObject*, IDataObject** filtered) {
    if (filtered != nullptr) *filtered = nullptr;
    return E_NOTIMPL;
  }

  virtual HRESULT Download(CWebBrowserUI*, IMoniker*, IBindCtx*, DWORD /*bind_verb*/,
                           LONG /*bind_flags*/, BINDINFO*, LPCOLESTR /*headers*/,
                           LPCOLESTR /*redirect*/, UINT /*code_page*/) {
    return S_OK;
  }

 protected:
  ~IWebEventHandler() = default;
};

}  // namespace Vellum
