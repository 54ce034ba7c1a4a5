#pragma once

// The rule by which a skin file name becomes bytes: from the resource folder when no zip is set,
// else from the resource zip, with "\" read as "/" and letter case ignored.

#include <windows.h>

#include <cstddef>
#include <vector>

namespace Vellum {

enum class ResourceReadResult {
  kOk,
  kCannotOpenFile,
  kEmpty,
  kTooLarge,
  kCannotReadFile,
  kCannotOpenZip,
  kNotInZip,
  kCannotUnzip,
};

// Reads the named skin file whole. Sizes above max_size are refused before anything is allocated,
// and a failed allocation is reported as kTooLarge.
ResourceReadResult ReadResourceFile(const wchar_t* name, size_t max_size, std::vector<BYTE>* bytes);

// Reads a plain file whole, with the same size rule.
ResourceReadResult ReadWholeFile(const wchar_t* path, size_t max_size, std::vector<BYTE>* bytes);

}  // namespace Vellum
