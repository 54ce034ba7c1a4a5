#include "app/cursor_utils.h"

#include <objidl.h>
// GDI+ needs the COM stream types above it.
#include <gdiplus.h>

#include <map>
#include <utility>
#include <vector>

#include "common/base/gdi_handles.h"
#include "common/logging.h"
#include "vellum/core/image/image_decoder.h"

namespace CursorUtils {
namespace {

// The log texts are the product's own and stay in the GBK code page, as the log has always held them.
constexpr char kNoStandardCursor[] =  // 无法加载标准光标，使用默认尺寸32x32
    "\xce\xde\xb7\xa8\xbc\xd3\xd4\xd8\xb1\xea\xd7\xbc\xb9\xe2\xb1\xea\xa3\xac\xca\xb9\xd3\xc3\xc4\xac\xc8\xcf"
    "\xb3\xdf\xb4\xe7"
    "32x32";
constexpr char kPngNotFound[] = "\xd5\xd2\xb2\xbb\xb5\xbdPNG\xd7\xca\xd4\xb4\xa3\xacID:";  // 找不到PNG资源，ID:
constexpr char kPngEmpty[] =  // SizeofResource 找不到PNG资源，ID:
    "SizeofResource \xd5\xd2\xb2\xbb\xb5\xbdPNG\xd7\xca\xd4\xb4\xa3\xacID:";
constexpr char kPngDecodeFailed[] =  // 从资源加载PNG失败，ID:
    "\xb4\xd3\xd7\xca\xd4\xb4\xbc\xd3\xd4\xd8PNG\xca\xa7\xb0\xdc\xa3\xacID:";
constexpr char kPngNoAlpha[] =  // PNG资源不包含Alpha通道，ID:
    "PNG\xd7\xca\xd4\xb4\xb2\xbb\xb0\xfc\xba\xac"
    "Alpha\xcd\xa8\xb5\xc0\xa3\xacID:";

constexpr int kDefaultBaseSize = 32;

// Keyed by (scale factor, base size). Null entries remember failed builds. Never emptied: cursor
// entries of every manager take copies of these handles.
std::map<std::pair<int, int>, HCURSOR>& ScaleCache() {
  static std::map<std::pair<int, int>, HCURSOR> cache;
  return cache;
}

class GdiplusSession {
 public:
  GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
  }
  ~GdiplusSession() {
    if (ok_) Gdiplus::GdiplusShutdown(token_);
  }
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  bool ok() const { return ok_; }

 private:
  ULONG_PTR token_ = 0;
  bool ok_ = false;
};

// A GDI+ bitmap over decoded pixels, which it does not copy and which live as long as it does.
class DecodedBitmap : private Vellum::DecodedImage, public Gdiplus::Bitmap {
 public:
  explicit DecodedBitmap(Vellum::DecodedImage image)
      : Vellum::DecodedImage(std::move(image)),
        Gdiplus::Bitmap(width, height, width * 4, PixelFormat32bppARGB, reinterpret_cast<BYTE*>(argb.get())) {}
  // GDI+'s allocator answers null when memory runs out; declared non-throwing, so no object is then
  // built at null. Freed by the inherited operator delete, from the same allocator.
  static void* operator new(size_t size) noexcept { return Gdiplus::GdiplusBase::operator new(size); }
};

// The build itself; `cacheable` is false when the source cursor could not be read, which is worth
// trying again later.
HCURSOR Build(HCURSOR source, int scale, int base_size, bool* cacheable) {
  *cacheable = false;
  ScopedIconInfo source_info;
  if (!source_info.Read(source)) return nullptr;
  *cacheable = true;
  const int hotspot_x = static_cast<int>(source_info.get().xHotspot);
  const int hotspot_y = static_cast<int>(source_info.get().yHotspot);

  GdiplusSession gdiplus;
  if (!gdiplus.ok()) return nullptr;
  HCURSOR result = nullptr;
  {
    // The bitmaps must be gone before GDI+ shuts down.
    BitmapPtr image = LoadPngResource();
    if (!image) return nullptr;
    BitmapPtr scaled = ScaleBitmap(image.get(), scale * base_size, scale * base_size);
    if (scaled) result = BitmapToCursor(scaled.get(), hotspot_x, hotspot_y);
  }
  return result;
}

}  // namespace

void BitmapDeleter::operator()(Gdiplus::Bitmap* bitmap) const { delete bitmap; }

CursorBaseSize GetCursorBaseSize() {
  ScopedIconInfo info;
  HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  BITMAP bitmap = {};
  if (arrow == nullptr || !info.Read(arrow) ||
      GetObjectW(info.get().hbmColor != nullptr ? info.get().hbmColor : info.get().hbmMask, sizeof(bitmap),
                 &bitmap) == 0) {
    LOG_ERROR << kNoStandardCursor;
    return {kDefaultBaseSize, kDefaultBaseSize, false};
  }
  const int side = bitmap.bmWidth < bitmap.bmHeight ? bitmap.bmWidth : bitmap.bmHeight;
  return {side, side, true};
}

HCURSOR ScaleCursor(HCURSOR source, int scale) {
  return ScaleCursor(source, scale, GetCursorBaseSize().width);
}

HCURSOR ScaleCursor(HCURSOR source, int scale, int base_size) {
  auto& cache = ScaleCache();
  const auto key = std::make_pair(scale, base_size);
  auto found = cache.find(key);
  if (found != cache.end()) return found->second;
  bool cacheable = false;
  HCURSOR result = Build(source, scale, base_size, &cacheable);
  if (cacheable) cache.emplace(key, result);
  return result;
}

HCURSOR BuildScaledCursor(HCURSOR source, int scale, int base_size) {
  bool cacheable = false;
  return Build(source, scale, base_size, &cacheable);
}

BitmapPtr LoadPngResource() {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(kArrowResourceId), L"PNG");
  HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
  if (loaded == nullptr) {
    LOG_ERROR << kPngNotFound << kArrowResourceId;
    return nullptr;
  }
  const void* bytes = LockResource(loaded);
  const DWORD size = SizeofResource(module, found);
  if (bytes == nullptr || size == 0) {
    LOG_ERROR << kPngEmpty << kArrowResourceId;
    return nullptr;
  }

  // Decoded into memory that the bitmap uses as it is, with no copy: GDI+'s own decoder, through a
  // stream copy of the bytes, is slower for the same straight ARGB pixels.
  Vellum::DecodedImage decoded;
  if (!Vellum::DecodeImage(bytes, size, &decoded)) {
    LOG_ERROR << kPngDecodeFailed << kArrowResourceId;
    return nullptr;
  }
  if (decoded.file_channels != 2 && decoded.file_channels != 4) {
    LOG_ERROR << kPngNoAlpha << kArrowResourceId;
    return nullptr;
  }
  BitmapPtr bitmap(new DecodedBitmap(std::move(decoded)));
  if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok) {
    LOG_ERROR << kPngDecodeFailed << kArrowResourceId;
    return nullptr;
  }
  return bitmap;
}

BitmapPtr ScaleBitmap(Gdiplus::Bitmap* image, int width, int height) {
  if (image == nullptr || width <= 0 || height <= 0) return nullptr;
  const int iw = static_cast<int>(image->GetWidth());
  const int ih = static_cast<int>(image->GetHeight());
  if (iw <= 0 || ih <= 0) return nullptr;

  // Fill the box; computed in single precision, so a square image gives exactly the box.
  int sw = static_cast<int>(static_cast<float>(iw) * (static_cast<float>(width) / static_cast<float>(iw)));
  int sh = static_cast<int>(static_cast<float>(ih) * (static_cast<float>(height) / static_cast<float>(ih)));
  if (sw < 1) sw = 1;
  if (sh < 1) sh = 1;

  // GDI+ objects come from its own allocator, which answers null rather than throwing.
  BitmapPtr scaled(new Gdiplus::Bitmap(width, height, PixelFormat32bppARGB));
  if (!scaled || scaled->GetLastStatus() != Gdiplus::Ok) return nullptr;
  {
    Gdiplus::Graphics graphics(scaled.get());
    if (graphics.GetLastStatus() != Gdiplus::Ok) return nullptr;
    graphics.Clear(Gdiplus::Color(0, 0, 0, 0));
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
    LOG_INFO << "scaledWidth:" << sw << ",scaledHeight:" << sh;
    LOG_INFO << "originalWidth:" << iw << ",originalHeight:" << ih;
    graphics.DrawImage(image, Gdiplus::Rect((width - sw) / 2, (height - sh) / 2, sw, sh), 0, 0, iw, ih,
                       Gdiplus::UnitPixel);
  }
  return scaled;
}

HCURSOR BitmapToCursor(Gdiplus::Bitmap* bitmap, int hotspot_x, int hotspot_y) {
  if (bitmap == nullptr) return nullptr;
  const int wd = static_cast<int>(bitmap->GetWidth());
  const int ht = static_cast<int>(bitmap->GetHeight());
  if (wd <= 0 || ht <= 0) return nullptr;
  if (hotspot_x > wd - 1) hotspot_x = wd - 1;
  else if (hotspot_x < 0) hotspot_x = 0;
  if (hotspot_y > ht - 1) hotspot_y = ht - 1;
  else if (hotspot_y < 0) hotspot_y = 0;

  HBITMAP color_handle = nullptr;
  if (bitmap->GetHBITMAP(Gdiplus::Color(0, 0, 0, 0), &color_handle) != Gdiplus::Ok || color_handle == nullptr) {
    return nullptr;
  }
  ScopedBitmap color(color_handle);

  // The mask is white where the arrow has any coverage. The colour bitmap's alpha decides the drawn
  // shape; the mask only has to mark the same pixels.
  ScopedScreenDc screen(GetDC(nullptr));
  if (!screen) return nullptr;
  ScopedBitmap mask(CreateCompatibleBitmap(screen.get(), wd, ht));
  if (!mask) return nullptr;
  Gdiplus::Rect all(0, 0, wd, ht);
  Gdiplus::BitmapData pixels = {};
  if (bitmap->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &pixels) != Gdiplus::Ok) {
    return nullptr;
  }
  std::vector<DWORD> mask_bits(static_cast<size_t>(wd) * static_cast<size_t>(ht));
  for (int y = 0; y < ht; ++y) {
    const auto* row = reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(pixels.Scan0) + y * pixels.Stride);
    DWORD* out = &mask_bits[static_cast<size_t>(y) * wd];
    for (int x = 0; x < wd; ++x) out[x] = (row[x] >> 24) != 0 ? 0x00FFFFFFu : 0u;
  }
  bitmap->UnlockBits(&pixels);

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = wd;
  info.bmiHeader.biHeight = -ht;  // top-down, as the rows were filled
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
  // The cursor keeps copies of both bitmaps; ours go with the scope either way.
  return CreateIconIndirect(&cursor);
}

}  // namespace CursorUtils
