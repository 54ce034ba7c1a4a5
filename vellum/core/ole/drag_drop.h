#pragma once

// Plain OLE objects for dragging out of a framework window (drop source, data object, format
// enumerator, drag-image helper) and for accepting drops (drop target). They live on the UI thread,
// so reference counts are not interlocked. The data object and the drop source delete themselves on
// their last Release; the drop target is deleted by whoever derives from it (the paint manager).

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <vector>

namespace Vellum {

class CIDropSource : public IDropSource {
 public:
  CIDropSource() = default;
  virtual ~CIDropSource() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape_pressed, DWORD key_state) override;
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;

  bool IsDropped() const { return dropped_; }

 private:
  ULONG refs_ = 1;
  bool dropped_ = false;
};

class CEnumFormatEtc : public IEnumFORMATETC {
 public:
  explicit CEnumFormatEtc(const std::vector<FORMATETC>& formats, ULONG cursor = 0);
  virtual ~CEnumFormatEtc();
  CEnumFormatEtc(const CEnumFormatEtc&) = delete;
  CEnumFormatEtc& operator=(const CEnumFormatEtc&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* formats, ULONG* fetched) override;
  // Never moves the cursor past the end: a skip that would is refused with S_FALSE and the cursor
  // stops at the end.
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
  HRESULT STDMETHODCALLTYPE Reset() override;
  HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** clone) override;

 private:
  ULONG refs_ = 1;
  std::vector<FORMATETC> formats_;
  ULONG cursor_ = 0;
};

class CIDataObject : public IDataObject {
 public:
  // The drop source is not owned; it only ties the data to the drag that carries it.
  explicit CIDataObject(CIDropSource* source);
  virtual ~CIDataObject();
  CIDataObject(const CIDataObject&) = delete;
  CIDataObject& operator=(const CIDataObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* format, FORMATETC* result) override;
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD advf, IAdviseSink* sink,
                                    DWORD* connection) override;
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** advise) override;

  // Duplicates a medium: handles through OleDuplicateData, streams, storages and the release
  // owner shared with their count raised. False when a handle could not be duplicated.
  static bool CopyMedium(STGMEDIUM* destination, const STGMEDIUM& source, CLIPFORMAT format);

 private:
  ULONG refs_ = 1;
  CIDropSource* source_ = nullptr;
  std::vector<FORMATETC> formats_;
  std::vector<STGMEDIUM> media_;  // parallel to formats_
};

class CIDropTarget : public IDropTarget {
 public:
  explicit CIDropTarget(HWND window = nullptr);
  virtual ~CIDropTarget();
  CIDropTarget(const CIDropTarget&) = delete;
  CIDropTarget& operator=(const CIDropTarget&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  // Counts down only: the owner deletes the target.
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD key_state, POINTL point,
                                      DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD key_state, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD key_state, POINTL point,
                                 DWORD* effect) override;

  // What a drop does. True: the medium was used up and is released here.
  virtual bool OnDrop(FORMATETC* format, STGMEDIUM& medium, DWORD* effect) = 0;

  void SetTargetWindow(HWND window) { window_ = window; }
  HWND GetTargetWindow() const { return window_; }
  // Formats looked for, in order of preference.
  void AddSupportedFormat(const FORMATETC& format) { accepted_.push_back(format); }
  bool IsDropAllowed() const { return allow_drop_; }

  // The effect of a drop with these keys when the source allows `allowed`; none without
  // allow_drop. Control and Shift link, Control copies, Shift moves; without keys copy, else move,
  // else link.
  static DWORD QueryDropEffect(bool allow_drop, DWORD key_state, DWORD allowed);

 private:
  HWND window_ = nullptr;
  ULONG refs_ = 1;
  bool allow_drop_ = false;
  IDropTargetHelper* helper_ = nullptr;
  std::vector<FORMATETC> accepted_;
  FORMATETC* found_ = nullptr;  // points into accepted_ during a drag
};

// The shell's drag-image helper, when the system has one. Under systems without it (or without
// its bitmap support) a drag simply goes on without an image.
class CDragSourceHelper {
 public:
  CDragSourceHelper();
  virtual ~CDragSourceHelper();
  CDragSourceHelper(const CDragSourceHelper&) = delete;
  CDragSourceHelper& operator=(const CDragSourceHelper&) = delete;

  bool IsAvailable() const { return helper_ != nullptr; }
  // The bitmap is handed over to the helper on success.
  HRESULT InitializeFromBitmap(HBITMAP bitmap, POINT hot_spot, const SIZE& size,
                               IDataObject* data, COLORREF background);
  HRESULT InitializeFromWindow(HWND window, POINT& point, IDataObject* data);

 private:
  IDragSourceHelper* helper_ = nullptr;
};

// Where the parts of a packed DIB (CF_DIB: header, colour table or masks, pixels) lie in a memory
// block of block_size bytes. False when any part would reach past the block or the header makes no
// sense, so that data from another process is never read beyond what it handed over.
struct PackedDibLayout {
  const BITMAPINFO* info = nullptr;
  const BYTE* bits = nullptr;
  size_t header_size = 0;
  size_t color_table_size = 0;
  size_t bits_size = 0;
};
bool ReadPackedDib(const void* block, size_t block_size, PackedDibLayout* layout);
// A device-dependent bitmap from a packed DIB held in global memory; null when the block fails
// ReadPackedDib or the bitmap cannot be made.
HBITMAP CreateBitmapFromPackedDib(HDC dc, HGLOBAL block);

}  // namespace Vellum
