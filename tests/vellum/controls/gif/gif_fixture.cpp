#include "tests/vellum/controls/gif/gif_fixture.h"

#include <algorithm>
#include <cstdint>

namespace testing_support {
namespace {

class BitWriter {
 public:
  void Put(unsigned code, int bits) {
    for (int i = 0; i < bits; ++i) {
      if (((code >> i) & 1u) != 0) current_ |= static_cast<uint8_t>(1u << used_);
      if (++used_ == 8) Flush();
    }
  }
  std::string Finish() {
    if (used_ > 0) Flush();
    return bytes_;
  }

 private:
  void Flush() {
    bytes_.push_back(static_cast<char>(current_));
    current_ = 0;
    used_ = 0;
  }
  std::string bytes_;
  uint8_t current_ = 0;
  int used_ = 0;
};

void PutWord(std::string& out, int value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

// LZW with a clear code before every second pixel: the table never grows past 3-bit codes, so the
// stream is valid without implementing the compression.
std::string EncodePixels(const std::vector<uint8_t>& indexes) {
  constexpr unsigned kClear = 4, kEnd = 5;
  BitWriter writer;
  for (size_t i = 0; i < indexes.size(); ++i) {
    if (i % 2 == 0) writer.Put(kClear, 3);
    writer.Put(indexes[i], 3);
  }
  writer.Put(kEnd, 3);
  const std::string packed = writer.Finish();
  std::string blocks;
  for (size_t at = 0; at < packed.size(); at += 255) {
    const size_t n = std::min<size_t>(255, packed.size() - at);
    blocks.push_back(static_cast<char>(n));
    blocks.append(packed, at, n);
  }
  blocks.push_back('\0');
  return blocks;
}

}  // namespace

std::string EncodeGif(int width, int height, const std::vector<GifFrame>& frames) {
  std::vector<DWORD> palette;
  for (const GifFrame& frame : frames) {
    if (std::find(palette.begin(), palette.end(), frame.rgb) == palette.end()) {
      palette.push_back(frame.rgb);
    }
  }
  palette.resize(4, 0);
  std::string out = "GIF89a";
  PutWord(out, width);
  PutWord(out, height);
  out.push_back(static_cast<char>(0xF1));  // a global table of 4 colours
  out.push_back('\0');
  out.push_back('\0');
  for (DWORD rgb : palette) {
    out.push_back(static_cast<char>((rgb >> 16) & 0xFF));
    out.push_back(static_cast<char>((rgb >> 8) & 0xFF));
    out.push_back(static_cast<char>(rgb & 0xFF));
  }
  for (const GifFrame& frame : frames) {
    if (frame.delay >= 0) {
      out += "\x21\xF9\x04";
      out.push_back('\0');
      PutWord(out, frame.delay);
      out.push_back('\0');
      out.push_back('\0');
    }
    out.push_back(',');
    PutWord(out, 0);
    PutWord(out, 0);
    PutWord(out, width);
    PutWord(out, height);
    out.push_back('\0');
    out.push_back('\x02');  // minimum code size
    const uint8_t index = static_cast<uint8_t>(
        std::find(palette.begin(), palette.end(), frame.rgb) - palette.begin());
    out += EncodePixels(std::vector<uint8_t>(static_cast<size_t>(width) * height, index));
  }
  out.push_back(';');
  return out;
}

TempFile::TempFile(const wchar_t* name, const std::string& bytes) {
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  path_ = std::wstring(folder) + L"lumavex_" + std::to_wstring(GetCurrentProcessId()) + L"_" + name;
  HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
  }
}

TempFile::~TempFile() { DeleteFileW(path_.c_str()); }

}  // namespace testing_support
