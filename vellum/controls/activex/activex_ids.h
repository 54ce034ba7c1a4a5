#pragma once

// Class and interface ids the toolchain's headers and import libraries lack, defined once here.

#include <windows.h>

namespace Vellum {

extern const CLSID kWebBrowserClsid;
extern const CLSID kFlashClsid;
extern const IID kIIDShockwaveFlash;
extern const IID kDIIDShockwaveFlashEvents;
extern const IID kIIDCustomDoc;
extern const GUID kCGIDDocHostCommandHandler;
extern const IID kIIDDownloadManager;
// The services the browser asks its host for are named by the interfaces they hand out.
extern const GUID kSIDDownloadManager;
extern const GUID kSIDInternetSecurityManager;

}  // namespace Vellum
