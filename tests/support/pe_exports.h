#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

// The names in a PE file's export table (PE32 or PE32+), as the loader sees them, and the machine the
// file is built for (IMAGE_FILE_MACHINE_*); false when the file is not a readable image with an export
// directory.
bool ReadPeExportNames(const std::wstring& path, std::vector<std::string>* names, WORD* machine = nullptr);

}  // namespace testing_support
