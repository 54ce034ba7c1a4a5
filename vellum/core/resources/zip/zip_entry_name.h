#pragma once

#include <string>

namespace Vellum {

// Turns a stored entry name into one that stays inside the extraction folder: drive and root prefixes
// go, and so does everything up to the last ".." step.
std::wstring SanitizeZipEntryName(const std::wstring& name);

// Both separators count in entry names and in extraction targets.
inline bool IsZipPathSlash(wchar_t c) { return c == L'\\' || c == L'/'; }

}  // namespace Vellum
