#include "tests/support/embedded_skin_package.h"

#include <windows.h>

#include "tests/support/test_support.h"
#include "vellum/core/manager/paint_manager.h"

namespace testing_support {

namespace {
constexpr UINT kSkinPackageId = 137;
}  // namespace

const std::string& EmbeddedSkinPackage() {
  // Never freed: the framework may read it until the process ends.
  static const std::string* const package =
      new std::string(ResourceBytes(nullptr, L"ZIPRES", MAKEINTRESOURCEW(kSkinPackageId)));
  return *package;
}

bool UseEmbeddedSkinPackage() {
  const std::string& package = EmbeddedSkinPackage();
  if (package.empty()) return false;
  Vellum::CPaintManagerUI::SetResourceZip(package.data(), static_cast<unsigned>(package.size()));
  return true;
}

}  // namespace testing_support
