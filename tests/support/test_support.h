#pragma once

#include <string>
#include <vector>

namespace testing_support {

// A fresh folder under the temporary folder, removed with everything in it at the end of the scope.
class TempDir {
 public:
  explicit TempDir(const std::wstring& prefix = L"lumavex-test");
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::wstring& path() const { return path_; }
  std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

std::string ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);
std::vector<std::string> SplitLines(const std::string& text);

}  // namespace testing_support
