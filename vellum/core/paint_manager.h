#pragma once

// The per-window hub of the framework. Its static half is the process-wide resource location:
// where skin files come from (the module, an optional resource folder, an optional zip archive).
// That state is set once during start-up on the UI thread and read from there without locks.

#include <windows.h>

#include "vellum/core/ui_string.h"
#include "vellum/core/zip_reader.h"

namespace Vellum {

class CPaintManagerUI {
 public:
  static void SetInstance(HINSTANCE instance);
  static HINSTANCE GetInstance();
  // The resource module when one is set, else the instance.
  static HINSTANCE GetResourceModule();
  static const CUIString& GetResourcePath();
  static const CUIString& GetResourceZip();
  static HZIP GetResourceZipHandle();
  static const CUIString& GetResourceZipPassword();
  static bool IsCachedResourceZip();
  // Hands over a skin archive held in memory. Only the first call counts: the copy it makes and the
  // archive opened on it serve every later read for the rest of the process.
  static void SetResourceZip(const void* bytes, unsigned int size, const wchar_t* password = nullptr);
};

}  // namespace Vellum
