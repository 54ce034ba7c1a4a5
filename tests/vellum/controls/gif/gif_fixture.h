#pragma once

// Animated GIF files made in the test: every frame one solid colour, each with or without its own
// delay (a graphic control extension), and the file written to a temporary path for the loaders.

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

struct GifFrame {
  DWORD rgb;  // 0x00RRGGBB
  int delay;  // hundredths of a second; negative: the frame has no delay entry at all
};

// A GIF89a of up to four distinct colours.
std::string EncodeGif(int width, int height, const std::vector<GifFrame>& frames);

// A file in the temporary folder that is deleted with the object.
class TempFile {
 public:
  TempFile(const wchar_t* name, const std::string& bytes);
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

}  // namespace testing_support
