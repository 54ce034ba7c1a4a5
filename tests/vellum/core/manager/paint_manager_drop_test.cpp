// The drop-target side of the paint manager: an image taken from dropped data goes to the window.
// Data from another process is checked against its memory block first. Headless.

#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/core/ole/drag_drop.h"
#include "vellum/core/manager/paint_manager.h"

namespace Vellum {
namespace {

using testing_support::ManagedWindow;

class OleSession {
 public:
  OleSession() { ok_ = SUCCEEDED(::OleInitialize(nullptr)); }
  ~OleSession() {
    if (ok_) ::OleUninitialize();
  }

 private:
  bool ok_ = false;
};

// A packed DIB (header, then pixels) in global memory; the header may lie about the size.
HGLOBAL PackedDib(int width, int height, WORD bit_count, DWORD colours_used, size_t pixel_bytes) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(header);
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = bit_count;
  header.biCompression = BI_RGB;
  header.biClrUsed = colours_used;
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(header) + pixel_bytes);
  void* bytes = ::GlobalLock(block);
  std::memcpy(bytes, &header, sizeof(header));
  ::GlobalUnlock(block);
  return block;
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  if (::GetObjectW(bitmap, sizeof(info), &info) == 0) return {-1, -1};
  return {info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
}

class PaintManagerDrop : public testing::Test {
 protected:
  void SetUp() override {
    source_ = new CIDropSource;
    data_ = new CIDataObject(source_);
  }
  void TearDown() override {
    data_->Release();
    source_->Release();
    for (const MSG& msg : window_.seen()) {
      if (msg.message == STM_SETIMAGE) ::DeleteObject(reinterpret_cast<HBITMAP>(msg.lParam));
    }
  }

  void Put(CLIPFORMAT format, DWORD tymed, STGMEDIUM medium) {
    FORMATETC request{format, nullptr, DVASPECT_CONTENT, -1, tymed};
    medium.tymed = tymed;
    ASSERT_HRESULT_SUCCEEDED(data_->SetData(&request, &medium, TRUE));
  }

  // The bitmap the window was handed, or null.
  HBITMAP Handed() const {
    for (const MSG& msg : window_.seen()) {
      if (msg.message == STM_SETIMAGE) return reinterpret_cast<HBITMAP>(msg.lParam);
    }
    return nullptr;
  }

  OleSession ole_;
  ManagedWindow window_;
  CIDropSource* source_ = nullptr;
  CIDataObject* data_ = nullptr;
};

TEST_F(PaintManagerDrop, ADibBecomesTheWindowsImageAfterTheButtonComesUp) {
  STGMEDIUM medium{};
  medium.hGlobal = PackedDib(2, 3, 32, 0, 2 * 3 * 4);
  Put(CF_DIB, TYMED_HGLOBAL, medium);
  EXPECT_TRUE(window_.manager().OnDrop(data_, POINT{5, 5}));
  ASSERT_NE(Handed(), nullptr);
  EXPECT_EQ(BitmapSize(Handed()).cx, 2);
  EXPECT_EQ(BitmapSize(Handed()).cy, 3);
  EXPECT_EQ(window_.SeenCount(WM_LBUTTONUP), 1);
  const std::vector<MSG>& seen = window_.seen();
  int up = -1, image = -1;
  for (int i = 0; i < static_cast<int>(seen.size()); ++i) {
    if (seen[i].message == WM_LBUTTONUP && up < 0) up = i;
    if (seen[i].message == STM_SETIMAGE && image < 0) image = i;
  }
  EXPECT_LT(up, image);
}

TEST_F(PaintManagerDrop, ADibLargerThanItsBlockIsRefused) {
  struct Case {
    const char* what;
    int width, height;
    WORD bit_count;
    DWORD colours_used;
    size_t pixel_bytes;
  };
  const Case cases[] = {
      {"pixels past the block", 1000, 1000, 32, 0, 16},
      {"colour table past the block", 2, 2, 8, 300, 16},
      {"no pixels at all", 4, 4, 24, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    data_->Release();
    data_ = new CIDataObject(source_);
    STGMEDIUM medium{};
    medium.hGlobal = PackedDib(c.width, c.height, c.bit_count, c.colours_used, c.pixel_bytes);
    Put(CF_DIB, TYMED_HGLOBAL, medium);
    EXPECT_FALSE(window_.manager().OnDrop(data_, POINT{5, 5}));
    EXPECT_EQ(Handed(), nullptr);
  }
}

TEST_F(PaintManagerDrop, ADroppedBitmapIsCopiedForTheWindowAndReportedUnhandled) {
  HDC screen = ::GetDC(nullptr);
  HBITMAP original = ::CreateCompatibleBitmap(screen, 7, 5);
  ::ReleaseDC(nullptr, screen);
  STGMEDIUM medium{};
  medium.hBitmap = original;
  Put(CF_BITMAP, TYMED_GDI, medium);
  EXPECT_FALSE(window_.manager().OnDrop(data_, POINT{1, 1}));
  HBITMAP handed = Handed();
  ASSERT_NE(handed, nullptr);
  EXPECT_NE(handed, original);
  data_->Release();  // frees the data object's bitmap
  data_ = new CIDataObject(source_);
  EXPECT_EQ(BitmapSize(handed).cx, 7) << "the window's copy outlives the dropped data";
}

TEST_F(PaintManagerDrop, AMetafileIsPlayedAtItsFrameSize) {
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
  ::ReleaseDC(nullptr, screen);
  const RECT frame{0, 0, 2540, 1270};  // 1 by 0.5 inch in hundredths of a millimetre
  HDC recorder = ::CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr);
  ::Rectangle(recorder, 0, 0, 10, 10);
  STGMEDIUM medium{};
  medium.hEnhMetaFile = ::CloseEnhMetaFile(recorder);
  Put(CF_ENHMETAFILE, TYMED_ENHMF, medium);
  EXPECT_TRUE(window_.manager().OnDrop(data_, POINT{1, 1}));
  ASSERT_NE(Handed(), nullptr);
  const SIZE size = BitmapSize(Handed());
  EXPECT_NEAR(size.cx, dpi, 1);
  EXPECT_NEAR(size.cy, dpi / 2, 1);
}

TEST_F(PaintManagerDrop, DataWithoutAnImageOnlyReleasesTheButton) {
  STGMEDIUM medium{};
  medium.hGlobal = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 8);
  Put(CF_TEXT, TYMED_HGLOBAL, medium);
  EXPECT_FALSE(window_.manager().OnDrop(data_, POINT{1, 1}));
  EXPECT_EQ(Handed(), nullptr);
  EXPECT_EQ(window_.SeenCount(WM_LBUTTONUP), 1);
}

}  // namespace
}  // namespace Vellum
