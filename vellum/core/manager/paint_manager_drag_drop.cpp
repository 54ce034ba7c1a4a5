// The paint manager's two drag-and-drop paths: a drag started from a control (its picture as
// CF_BITMAP and CF_ENHMETAFILE) and an image dropped on the window.

#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include "vellum/core/manager/control.h"
#include "vellum/core/ole/drag_drop.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"

namespace Vellum {

namespace {

// An enhanced metafile holding the bitmap's picture at its size.
HENHMETAFILE MetafileFromBitmap(HBITMAP bitmap, const SIZE& size) {
  HDC metafile_dc = ::CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
  if (metafile_dc == nullptr) return nullptr;
  HDC source = ::CreateCompatibleDC(nullptr);
  if (source != nullptr) {
    HGDIOBJ old = ::SelectObject(source, bitmap);
    ::BitBlt(metafile_dc, 0, 0, size.cx, size.cy, source, 0, 0, SRCCOPY);
    ::SelectObject(source, old);
    ::DeleteDC(source);
  }
  return ::CloseEnhMetaFile(metafile_dc);
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  if (::GetObjectW(bitmap, sizeof(info), &info) == 0) return {0, 0};
  return {info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
}

HBITMAP BitmapFromMetafile(HENHMETAFILE metafile) {
  ENHMETAHEADER header{};
  if (::GetEnhMetaFileHeader(metafile, sizeof(header), &header) == 0) return nullptr;
  HDC screen = ::GetDC(nullptr);
  // The frame is in hundredths of a millimetre.
  const int width = MulDiv(header.rclFrame.right - header.rclFrame.left,
                           ::GetDeviceCaps(screen, LOGPIXELSX), 2540);
  const int height = MulDiv(header.rclFrame.bottom - header.rclFrame.top,
                            ::GetDeviceCaps(screen, LOGPIXELSY), 2540);
  HBITMAP bitmap = nullptr;
  if (width > 0 && height > 0) {
    HDC dc = ::CreateCompatibleDC(screen);
    bitmap = ::CreateCompatibleBitmap(screen, width, height);
    if (dc != nullptr && bitmap != nullptr) {
      HGDIOBJ old = ::SelectObject(dc, bitmap);
      const RECT frame{0, 0, width, height};
      ::PlayEnhMetaFile(dc, metafile, &frame);
      ::SelectObject(dc, old);
    }
    if (dc != nullptr) ::DeleteDC(dc);
  }
  ::ReleaseDC(nullptr, screen);
  return bitmap;
}

bool GetMedium(IDataObject* data, CLIPFORMAT format, DWORD tymed, STGMEDIUM* medium) {
  FORMATETC request{format, nullptr, DVASPECT_CONTENT, -1, tymed};
  *medium = {};
  return SUCCEEDED(data->GetData(&request, medium)) && (medium->tymed & tymed) != 0;
}

}  // namespace

void CPaintManagerUI::TakeDragSnapshot(CControlUI* control) {
  if (drag_snapshot_ != nullptr) ::DeleteObject(drag_snapshot_);
  drag_snapshot_ = CRenderUI::RenderControlToBitmap(this, control, control->GetPos(), 0);
}

void CPaintManagerUI::StartDrag() {
  ReleaseCapture();
  if (drag_permission_ != nullptr && drag_permission_->ForbidDrag(event_click_)) {
    drag_pending_ = false;
    return;
  }
  auto* source = new CIDropSource;
  auto* data = new CIDataObject(source);
  if (drag_snapshot_ != nullptr) {
    const SIZE size = BitmapSize(drag_snapshot_);
    FORMATETC bitmap_format{CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
    STGMEDIUM bitmap_medium{};
    bitmap_medium.tymed = TYMED_GDI;
    bitmap_medium.hBitmap =
        static_cast<HBITMAP>(::OleDuplicateData(drag_snapshot_, CF_BITMAP, 0));
    if (bitmap_medium.hBitmap != nullptr &&
        FAILED(data->SetData(&bitmap_format, &bitmap_medium, TRUE))) {
      ::DeleteObject(bitmap_medium.hBitmap);
    }
    FORMATETC metafile_format{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
    STGMEDIUM metafile_medium{};
    metafile_medium.tymed = TYMED_ENHMF;
    metafile_medium.hEnhMetaFile = MetafileFromBitmap(drag_snapshot_, size);
    if (metafile_medium.hEnhMetaFile != nullptr &&
        FAILED(data->SetData(&metafile_format, &metafile_medium, TRUE))) {
      ::DeleteEnhMetaFile(metafile_medium.hEnhMetaFile);
    }
    // The drag image is a nicety: where the system cannot make one the drag goes on without it.
    CDragSourceHelper helper;
    if (helper.IsAvailable()) {
      auto image = static_cast<HBITMAP>(::OleDuplicateData(drag_snapshot_, CF_BITMAP, 0));
      const POINT hot_spot{size.cx / 2, size.cy / 2};
      if (image != nullptr &&
          FAILED(helper.InitializeFromBitmap(image, hot_spot, size, data,
                                             ::GetSysColor(COLOR_WINDOW)))) {
        ::DeleteObject(image);
      }
    }
  }
  DWORD effect = DROPEFFECT_NONE;
  ::DoDragDrop(data, source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
  data->Release();
  source->Release();
  drag_pending_ = false;
}

bool CPaintManagerUI::OnDrop(IDataObject* data, POINT screen_point) {
  if (window_ == nullptr || data == nullptr) return false;
  POINT client = screen_point;
  ::ScreenToClient(window_, &client);
  ::SendMessageW(window_, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));

  HBITMAP bitmap = nullptr;
  bool handled = true;
  STGMEDIUM medium{};
  if (GetMedium(data, CF_DIB, TYMED_HGLOBAL, &medium)) {
    // Checked against its block first: the data may come from another process.
    HDC screen = ::GetDC(nullptr);
    bitmap = CreateBitmapFromPackedDib(screen, medium.hGlobal);
    ::ReleaseDC(nullptr, screen);
    ::ReleaseStgMedium(&medium);
  } else if (GetMedium(data, CF_BITMAP, TYMED_GDI, &medium)) {
    // The medium's bitmap goes away with the medium, so the window gets its own copy.
    bitmap = static_cast<HBITMAP>(::OleDuplicateData(medium.hBitmap, CF_BITMAP, 0));
    ::ReleaseStgMedium(&medium);
    handled = false;
  } else if (GetMedium(data, CF_ENHMETAFILE, TYMED_ENHMF, &medium)) {
    bitmap = BitmapFromMetafile(medium.hEnhMetaFile);
    ::ReleaseStgMedium(&medium);
  } else if (GetMedium(data, CF_HDROP, TYMED_HGLOBAL, &medium)) {
    wchar_t path[MAX_PATH] = {};
    if (::DragQueryFileW(static_cast<HDROP>(medium.hGlobal), 0, path, MAX_PATH) > 0) {
      bitmap = static_cast<HBITMAP>(
          ::LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_DEFAULTSIZE | LR_LOADFROMFILE));
    }
    ::ReleaseStgMedium(&medium);
  }
  if (bitmap == nullptr) return false;
  ::SendMessageW(window_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
  return handled;
}

}  // namespace Vellum
