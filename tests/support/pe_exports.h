#pragma once

#include <string>
#include <vector>

namespace testing_support {

// The names in a 32-bit PE file's export table, as the loader sees them; false when the file is not
// a readable 32-bit image with an export directory.
bool ReadPeExportNames(const std::wstring& path, std::vector<std::string>* names);

// The folder of the running test program, with a trailing back slash.
std::wstring TestProgramFolder();

}  // namespace testing_support
