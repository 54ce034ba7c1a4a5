// The cost of drawing an image description through the paint manager's draw-info cache, against
// the floor of one AlphaBlend of the same bitmap into the same place:
//   - a plain description (the whole image stretched into the item) drawn 10,000 times;
//   - a nine-grid description (corners 8) drawn 10,000 times, against nine AlphaBlends per draw.
// Runs headless: tools/wine-run.sh --headless --build build build/bench/image_draw_bench.exe
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "bench/bench_surface.h"
#include "vellum/core/image/image_draw_info.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"

namespace {

using bench::Now;
using bench::Seconds;
using Vellum::CPaintManagerUI;
using Vellum::CRenderUI;

constexpr int kDraws = 10000;
constexpr int kImageWidth = 64;
constexpr int kImageHeight = 32;

// A 32-bit bottom-up BMP with some translucent pixels, so that every draw blends.
bool WriteImage(const std::wstring& path) {
  const DWORD pixels_size = kImageWidth * kImageHeight * 4;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + pixels_size;
  info.biSize = sizeof(info);
  info.biWidth = kImageWidth;
  info.biHeight = kImageHeight;
  info.biPlanes = 1;
  info.biBitCount = 32;
  info.biCompression = BI_RGB;
  std::vector<DWORD> pixels(kImageWidth * kImageHeight);
  for (int i = 0; i < kImageWidth * kImageHeight; ++i) {
    const DWORD alpha = (i % 7 == 0) ? 0x80 : 0xFF;
    pixels[i] = (alpha << 24) | 0x00336699;
  }
  FILE* out = _wfopen(path.c_str(), L"wb");
  if (out == nullptr) return false;
  fwrite(&file, sizeof(file), 1, out);
  fwrite(&info, sizeof(info), 1, out);
  fwrite(pixels.data(), 4, pixels.size(), out);
  fclose(out);
  return true;
}

double MicrosecondsPerDraw(LARGE_INTEGER start) {
  return Seconds(start, Now()) * 1e6 / kDraws;
}

}  // namespace

int main() {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring path = std::wstring(folder) + L"vellum_image_draw_bench.bmp";
  if (!WriteImage(path)) {
    std::printf("cannot write the image\n");
    return 1;
  }
  CPaintManagerUI manager;
  bench::Canvas target(nullptr, 256, 64);
  const RECT item{0, 0, 200, 40};
  const std::wstring plain = L"file='" + path + L"'";
  const std::wstring nine_grid = plain + L" corner='8,8,8,8'";

  // Warm the caches: the first draw parses the description and loads the image.
  if (!CRenderUI::DrawImageString(target.dc, &manager, item, item, plain.c_str()) ||
      !CRenderUI::DrawImageString(target.dc, &manager, item, item, nine_grid.c_str())) {
    std::printf("the image does not draw\n");
    return 1;
  }
  Vellum::TUIImageInfo* image = manager.GetImage(path.c_str());
  // A bitmap can be selected into one DC at a time: the floor holds it only while it runs.
  HDC source = CreateCompatibleDC(target.dc);
  HGDIOBJ old_source = SelectObject(source, image->bitmap);
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  const auto alpha_blend = CRenderUI::GetAlphaBlend();

  LARGE_INTEGER start = Now();
  for (int i = 0; i < kDraws; ++i) {
    alpha_blend(target.dc, 0, 0, 200, 40, source, 0, 0, kImageWidth, kImageHeight, blend);
  }
  GdiFlush();
  const double floor_plain = MicrosecondsPerDraw(start);
  SelectObject(source, old_source);

  start = Now();
  for (int i = 0; i < kDraws; ++i) {
    CRenderUI::DrawImageString(target.dc, &manager, item, item, plain.c_str());
  }
  GdiFlush();
  const double described_plain = MicrosecondsPerDraw(start);

  // Nine AlphaBlends: the same parts the nine-grid draws.
  const int c = 8;
  const int xs[4] = {0, c, 200 - c, 200};
  const int ys[4] = {0, c, 40 - c, 40};
  const int sxs[4] = {0, c, kImageWidth - c, kImageWidth};
  const int sys[4] = {0, c, kImageHeight - c, kImageHeight};
  SelectObject(source, image->bitmap);
  start = Now();
  for (int i = 0; i < kDraws; ++i) {
    for (int row = 0; row < 3; ++row) {
      for (int column = 0; column < 3; ++column) {
        alpha_blend(target.dc, xs[column], ys[row], xs[column + 1] - xs[column],
                    ys[row + 1] - ys[row], source, sxs[column], sys[row],
                    sxs[column + 1] - sxs[column], sys[row + 1] - sys[row], blend);
      }
    }
  }
  GdiFlush();
  const double floor_nine = MicrosecondsPerDraw(start);
  SelectObject(source, old_source);

  start = Now();
  for (int i = 0; i < kDraws; ++i) {
    CRenderUI::DrawImageString(target.dc, &manager, item, item, nine_grid.c_str());
  }
  GdiFlush();
  const double described_nine = MicrosecondsPerDraw(start);

  DeleteDC(source);
  DeleteFileW(path.c_str());

  std::printf("image description draws, %d each, 64x32 image into 200x40 (microseconds per draw)\n",
              kDraws);
  std::printf("  whole image:  AlphaBlend %.2f   description %.2f   ratio %.2f\n", floor_plain,
              described_plain, described_plain / floor_plain);
  std::printf("  nine-grid:    9 x AlphaBlend %.2f   description %.2f   ratio %.2f\n", floor_nine,
              described_nine, described_nine / floor_nine);
  return 0;
}
