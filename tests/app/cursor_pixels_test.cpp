// The enlarged cursor is built for speed; these tests hold it to the pixels of the plain build it
// replaced, kept here as the reference: the PNG decoded by GDI+ from a stream copy of the resource, a
// high-quality bicubic DrawImage into a cleared ARGB bitmap, GDI+'s own HBITMAP of the result as the
// colour bitmap, and a mask made from the alpha channel (white where it is not zero).
#include <gtest/gtest.h>
#include <objidl.h>
// GDI+ needs the COM stream types above it.
#include <gdiplus.h>

#include <memory>
#include <vector>

#include "app/cursor_utils.h"
#include "common/base/com_ptr.h"
#include "common/base/gdi_handles.h"
#include "tests/app/cursor_readback.h"
#include "tests/app/gdiplus_running.h"

namespace {

using BitmapPtr = std::unique_ptr<Gdiplus::Bitmap>;

BitmapPtr ReferenceLoadArrow() {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(CursorUtils::kArrowResourceId), L"PNG");
  HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
  if (loaded == nullptr) return nullptr;
  const void* bytes = LockResource(loaded);
  const DWORD size = SizeofResource(module, found);
  com_ptr<IStream> stream;
  if (bytes == nullptr || size == 0 || FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()))) return nullptr;
  ULONG written = 0;
  if (FAILED(stream->Write(bytes, size, &written)) || written != size) return nullptr;
  LARGE_INTEGER start = {};
  if (FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr))) return nullptr;
  BitmapPtr bitmap(Gdiplus::Bitmap::FromStream(stream.get()));
  if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok) return nullptr;
  return bitmap;
}

BitmapPtr ReferenceScale(Gdiplus::Bitmap* image, int width, int height) {
  const int iw = static_cast<int>(image->GetWidth());
  const int ih = static_cast<int>(image->GetHeight());
  int sw = static_cast<int>(static_cast<float>(iw) * (static_cast<float>(width) / static_cast<float>(iw)));
  int sh = static_cast<int>(static_cast<float>(ih) * (static_cast<float>(height) / static_cast<float>(ih)));
  if (sw < 1) sw = 1;
  if (sh < 1) sh = 1;
  BitmapPtr scaled(new Gdiplus::Bitmap(width, height, PixelFormat32bppARGB));
  Gdiplus::Graphics graphics(scaled.get());
  graphics.Clear(Gdiplus::Color(0, 0, 0, 0));
  graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
  graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
  graphics.DrawImage(image, Gdiplus::Rect((width - sw) / 2, (height - sh) / 2, sw, sh), 0, 0, iw, ih,
                     Gdiplus::UnitPixel);
  return scaled;
}

HCURSOR ReferenceToCursor(Gdiplus::Bitmap* bitmap, int hotspot_x, int hotspot_y) {
  const int wd = static_cast<int>(bitmap->GetWidth());
  const int ht = static_cast<int>(bitmap->GetHeight());
  if (hotspot_x > wd - 1) hotspot_x = wd - 1;
  else if (hotspot_x < 0) hotspot_x = 0;
  if (hotspot_y > ht - 1) hotspot_y = ht - 1;
  else if (hotspot_y < 0) hotspot_y = 0;
  HBITMAP color_handle = nullptr;
  if (bitmap->GetHBITMAP(Gdiplus::Color(0, 0, 0, 0), &color_handle) != Gdiplus::Ok) return nullptr;
  ScopedBitmap color(color_handle);
  ScopedScreenDc screen(GetDC(nullptr));
  ScopedBitmap mask(CreateCompatibleBitmap(screen.get(), wd, ht));
  Gdiplus::Rect all(0, 0, wd, ht);
  Gdiplus::BitmapData pixels = {};
  if (bitmap->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &pixels) != Gdiplus::Ok) {
    return nullptr;
  }
  std::vector<DWORD> mask_bits(static_cast<size_t>(wd) * static_cast<size_t>(ht));
  for (int y = 0; y < ht; ++y) {
    const auto* row = reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(pixels.Scan0) + y * pixels.Stride);
    for (int x = 0; x < wd; ++x) mask_bits[static_cast<size_t>(y) * wd + x] = (row[x] >> 24) != 0 ? 0x00FFFFFFu : 0u;
  }
  bitmap->UnlockBits(&pixels);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = wd;
  info.bmiHeader.biHeight = -ht;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  if (SetDIBits(screen.get(), mask.get(), 0, static_cast<UINT>(ht), mask_bits.data(), &info, DIB_RGB_COLORS) == 0) {
    return nullptr;
  }
  ICONINFO cursor = {};
  cursor.fIcon = FALSE;
  cursor.xHotspot = static_cast<DWORD>(hotspot_x);
  cursor.yHotspot = static_cast<DWORD>(hotspot_y);
  cursor.hbmMask = mask.get();
  cursor.hbmColor = color.get();
  return CreateIconIndirect(&cursor);
}

HCURSOR ReferenceBuild(HCURSOR source, int scale, int base_size) {
  ScopedIconInfo info;
  if (!info.Read(source)) return nullptr;
  BitmapPtr image = ReferenceLoadArrow();
  if (!image) return nullptr;
  BitmapPtr scaled = ReferenceScale(image.get(), scale * base_size, scale * base_size);
  return ReferenceToCursor(scaled.get(), static_cast<int>(info.get().xHotspot),
                           static_cast<int>(info.get().yHotspot));
}

using CursorPixels = GdiplusRunning;

// Counts the pixels that differ, so a failure says how far apart the two builds are.
int Differences(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, uint32_t bits) {
  if (a.size() != b.size()) return -1;
  int count = 0;
  for (size_t i = 0; i < a.size(); ++i) count += (a[i] & bits) != (b[i] & bits) ? 1 : 0;
  return count;
}

TEST_F(CursorPixels, EveryFactorBaseSizeAndSourceHotspotGivesTheReferencePixels) {
  // A source cursor of our own with its hotspot inside the image, next to the system's shapes.
  const BYTE and_plane[32 * 32 / 8] = {};
  const BYTE xor_plane[32 * 32 / 8] = {};
  const ScopedCursor centred(CreateCursor(GetModuleHandleW(nullptr), 13, 21, 32, 32, and_plane, xor_plane));
  ASSERT_TRUE(centred);
  const struct {
    const char* name;
    HCURSOR cursor;
  } sources[] = {{"arrow", LoadCursorW(nullptr, IDC_ARROW)},
                 {"i-beam", LoadCursorW(nullptr, IDC_IBEAM)},
                 {"hand", LoadCursorW(nullptr, IDC_HAND)},
                 {"hotspot 13,21", centred.get()}};
  for (const auto& source : sources) {
    for (int scale = 2; scale <= 5; ++scale) {
      for (int base : {32, 48, 64}) {
        SCOPED_TRACE(testing::Message() << source.name << ", factor " << scale << ", base " << base);
        const ScopedCursor want(ReferenceBuild(source.cursor, scale, base));
        const ScopedCursor got(CursorUtils::BuildScaledCursor(source.cursor, scale, base));
        const CursorImage reference = ReadCursor(want.get());
        const CursorImage image = ReadCursor(got.get());
        ASSERT_TRUE(reference.ok);
        ASSERT_TRUE(image.ok);
        EXPECT_EQ(image.is_icon, reference.is_icon);
        EXPECT_EQ(image.width, reference.width);
        EXPECT_EQ(image.height, reference.height);
        EXPECT_EQ(image.hotspot_x, reference.hotspot_x);
        EXPECT_EQ(image.hotspot_y, reference.hotspot_y);
        EXPECT_EQ(Differences(image.color, reference.color, 0x00FFFFFFu), 0) << "colour";
        EXPECT_EQ(Differences(image.color, reference.color, 0xFF000000u), 0) << "alpha";
        EXPECT_EQ(Differences(image.mask, reference.mask, 0x00FFFFFFu), 0) << "mask";
      }
    }
  }
}

}  // namespace
