#include "vellum/core/resources/zip/zip_entry_name.h"

namespace Vellum {

namespace {

bool StartsWithDrive(const std::wstring& s) { return s.size() >= 2 && s[1] == L':'; }

}  // namespace

std::wstring SanitizeZipEntryName(const std::wstring& stored) {
  static const wchar_t* const kSteps[] = {L"\\..\\", L"\\../", L"/../", L"/..\\"};
  std::wstring name = stored;
  for (bool changed = true; changed;) {
    changed = false;
    if (StartsWithDrive(name)) {
      name.erase(0, 2);
      changed = true;
    }
    if (!name.empty() && IsZipPathSlash(name[0])) {
      name.erase(0, 1);
      changed = true;
    }
    size_t cut = std::wstring::npos;
    for (const wchar_t* step : kSteps) {
      const size_t at = name.rfind(step);
      if (at != std::wstring::npos && (cut == std::wstring::npos || at + 4 > cut)) cut = at + 4;
    }
    if (cut != std::wstring::npos) {
      name.erase(0, cut);
      changed = true;
    }
    // A leading step up, or one that ends the name, would still climb out of the folder.
    if (name.size() >= 3 && name[0] == L'.' && name[1] == L'.' && IsZipPathSlash(name[2])) {
      name.erase(0, 3);
      changed = true;
    }
    if (name == L".." || (name.size() >= 3 && name.compare(name.size() - 2, 2, L"..") == 0 &&
                          IsZipPathSlash(name[name.size() - 3]))) {
      name.clear();
      changed = true;
    }
  }
  return name;
}

}  // namespace Vellum
