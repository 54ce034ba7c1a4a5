// Costs of a framework window's tree, measured in one run under the platform the program runs on:
//   - trees of 1,000 and 10,000 labels (text, background colour, nine-grid image) in a tile layout:
//     full layout, full paint into the off-screen 32-bit DIB, FindControl at a point near the end,
//     and the repaint of one invalidated control (its rectangle only);
//   - the floor: a plain GDI loop drawing the same texts, fills and nine-grid parts;
//   - where a cell's paint time goes (colour, image, text alone).
// The image-description cache has its own benchmark (image_draw_bench).
// Works without a display: tools/wine-run.sh --headless --build build build/bench/paint_manager_bench.exe

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "bench/bench_surface.h"
#include "vellum/core/base_controls/label.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"
#include "vellum/core/layout/tile_layout.h"

namespace {

using bench::Now;
using bench::Seconds;
using Vellum::CLabelUI;
using Vellum::CPaintManagerUI;
using Vellum::CRenderUI;
using Vellum::CTileLayoutUI;

constexpr int kCellWidth = 40;
constexpr int kCellHeight = 16;
constexpr int kImageSize = 12;
constexpr int kCorner = 4;
constexpr DWORD kBackground = 0xFFE0E8F0u;

// A 32-bit BMP with alpha, written next to the program's temporary files.
std::wstring WriteNineGridImage() {
  wchar_t folder[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, folder);
  const std::wstring path = std::wstring(folder) + L"paint_manager_bench.bmp";
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = kImageSize;
  info.biHeight = kImageSize;
  info.biPlanes = 1;
  info.biBitCount = 32;
  info.biCompression = BI_RGB;
  std::vector<DWORD> pixels(kImageSize * kImageSize);
  for (int y = 0; y < kImageSize; ++y) {
    for (int x = 0; x < kImageSize; ++x) {
      const bool edge = x < kCorner || y < kCorner || x >= kImageSize - kCorner ||
                        y >= kImageSize - kCorner;
      pixels[y * kImageSize + x] = edge ? 0xC0204060u : 0x40A0C0E0u;
    }
  }
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size() * 4);
  HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  ::WriteFile(handle, &file, sizeof(file), &written, nullptr);
  ::WriteFile(handle, &info, sizeof(info), &written, nullptr);
  ::WriteFile(handle, pixels.data(), static_cast<DWORD>(pixels.size() * 4), &written, nullptr);
  ::CloseHandle(handle);
  return path;
}

// The median of `runs` timings of fn, in seconds.
template <typename Fn>
double Median(int runs, Fn fn) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const LARGE_INTEGER start = Now();
    fn();
    times.push_back(Seconds(start, Now()));
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

enum Parts : unsigned { kText = 1, kColour = 2, kImage = 4, kAll = 7 };

void BenchTree(int count, const std::wstring& image, unsigned parts = kAll) {
  const int columns = count >= 10000 ? 100 : 50;
  const int rows = (count + columns - 1) / columns;
  const RECT client{0, 0, columns * kCellWidth, rows * kCellHeight};
  const std::wstring description =
      L"file='" + image + L"' corner='" + std::to_wstring(kCorner) + L"," +
      std::to_wstring(kCorner) + L"," + std::to_wstring(kCorner) + L"," + std::to_wstring(kCorner) +
      L"'";

  HWND window = bench::MessageWindow(L"PaintManagerBench");
  auto* manager = new CPaintManagerUI;
  manager->Init(window, L"bench");
  auto* root = new CTileLayoutUI;
  root->SetItemSize({kCellWidth, kCellHeight});
  root->SetColumns(columns);
  std::vector<CLabelUI*> labels;
  for (int i = 0; i < count; ++i) {
    auto* label = new CLabelUI;
    if (parts & kText) label->SetText((L"Item " + std::to_wstring(i)).c_str());
    if (parts & kColour) label->SetBkColor(kBackground);
    if (parts & kImage) label->SetBkImage(description.c_str());
    label->SetFixedHeight(kCellHeight);
    root->Add(label);
    labels.push_back(label);
  }
  manager->AttachRootControl(root);

  bench::Canvas canvas(manager->GetPaintDC(), client.right, client.bottom);
  const double layout = Median(5, [&] {
    root->NeedUpdate();
    root->SetPos(client, false);
  });
  root->Paint(canvas.dc, client, nullptr);  // loads the image and fonts once
  const double paint = Median(5, [&] { root->Paint(canvas.dc, client, nullptr); });
  const RECT last = labels.back()->GetPos();
  const POINT near_end{last.left + 2, last.top + 2};
  const double find = Median(101, [&] { manager->FindControl(near_end); });
  const RECT first = labels.front()->GetPos();
  const POINT near_start{first.left + 2, first.top + 2};
  const double find_start = Median(101, [&] { manager->FindControl(near_start); });
  const double repaint = Median(101, [&] { root->Paint(canvas.dc, last, nullptr); });

  // The floor: the same cells drawn with plain GDI and msimg32.
  HDC image_dc = ::CreateCompatibleDC(canvas.dc);
  BYTE* image_bits = nullptr;
  HBITMAP image_bitmap = CRenderUI::Create32BitDib(canvas.dc, kImageSize, -kImageSize, &image_bits);
  std::fill(reinterpret_cast<DWORD*>(image_bits),
            reinterpret_cast<DWORD*>(image_bits) + kImageSize * kImageSize, 0x80406080u);
  HGDIOBJ old_image = ::SelectObject(image_dc, image_bitmap);
  HBRUSH brush = ::CreateSolidBrush(RGB(0xE0, 0xE8, 0xF0));
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  auto alpha_blend = CRenderUI::GetAlphaBlend();
  // The labels draw in the manager's default font; the floor's texts use the same one rather than
  // the memory DC's stock font.
  HGDIOBJ old_font = ::SelectObject(canvas.dc, manager->GetFont(-1));
  const double floor = Median(5, [&] {
    ::SetBkMode(canvas.dc, TRANSPARENT);
    for (int i = 0; i < count; ++i) {
      const RECT& r = labels[i]->GetPos();
      ::FillRect(canvas.dc, &r, brush);
      const int xs[4] = {static_cast<int>(r.left), static_cast<int>(r.left) + kCorner,
                         static_cast<int>(r.right) - kCorner, static_cast<int>(r.right)};
      const int ys[4] = {static_cast<int>(r.top), static_cast<int>(r.top) + kCorner,
                         static_cast<int>(r.bottom) - kCorner, static_cast<int>(r.bottom)};
      const int sx[4] = {0, kCorner, kImageSize - kCorner, kImageSize};
      for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
          alpha_blend(canvas.dc, xs[column], ys[row], xs[column + 1] - xs[column],
                      ys[row + 1] - ys[row], image_dc, sx[column], sx[row],
                      sx[column + 1] - sx[column], sx[row + 1] - sx[row], blend);
        }
      }
      const std::wstring text = L"Item " + std::to_wstring(i);
      RECT text_rect = r;
      ::DrawTextW(canvas.dc, text.c_str(), -1, &text_rect, DT_SINGLELINE | DT_VCENTER);
    }
  });
  ::SelectObject(canvas.dc, old_font);
  ::DeleteObject(brush);
  ::SelectObject(image_dc, old_image);
  ::DeleteObject(image_bitmap);
  ::DeleteDC(image_dc);

  if (parts != kAll) {
    std::printf("%6d controls with only %s: full paint %8.3f ms\n", count,
                parts == kText ? "text" : parts == kColour ? "a background colour" : "the image",
                paint * 1e3);
  } else {
    std::printf("%6d controls: layout %8.3f ms, full paint %8.3f ms (GDI floor %8.3f ms, %.2fx), "
                "FindControl near the end %7.1f us (near the start %7.1f us), one-control "
                "repaint %7.1f us\n",
                count, layout * 1e3, paint * 1e3, floor * 1e3, paint / floor, find * 1e6,
                find_start * 1e6, repaint * 1e6);
  }
  delete manager;
  ::DestroyWindow(window);
}

}  // namespace

int main() {
  const std::wstring image = WriteNineGridImage();
  BenchTree(1000, image);
  BenchTree(10000, image);
  // Where a cell's paint time goes.
  BenchTree(1000, image, kColour);
  BenchTree(1000, image, kImage);
  BenchTree(1000, image, kText);
  ::DeleteFileW(image.c_str());
  return 0;
}
