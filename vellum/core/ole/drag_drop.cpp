#include "vellum/core/ole/drag_drop.h"

#include <cstring>
#include <cwchar>
#include <limits>
#include <new>

namespace Vellum {

namespace {

// A FORMATETC owns its target device block; copies get their own.
// The source may be the destination itself (a list copied in place).
bool CopyFormat(FORMATETC* destination, const FORMATETC& source) {
  const FORMATETC original = source;
  *destination = original;
  if (original.ptd == nullptr) return true;
  destination->ptd = static_cast<DVTARGETDEVICE*>(CoTaskMemAlloc(original.ptd->tdSize));
  if (destination->ptd == nullptr) return false;
  std::memcpy(destination->ptd, original.ptd, original.ptd->tdSize);
  return true;
}

void FreeFormat(FORMATETC* format) {
  if (format->ptd != nullptr) CoTaskMemFree(format->ptd);
  format->ptd = nullptr;
}

wchar_t* CopyFileName(const wchar_t* name) {
  if (name == nullptr) return nullptr;
  const size_t bytes = (std::wcslen(name) + 1) * sizeof(wchar_t);
  auto* copy = static_cast<wchar_t*>(CoTaskMemAlloc(bytes));
  if (copy != nullptr) std::memcpy(copy, name, bytes);
  return copy;
}

}  // namespace

// ---- CIDropSource ----

HRESULT STDMETHODCALLTYPE CIDropSource::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDropSource) {
    *object = static_cast<IDropSource*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CIDropSource::AddRef() { return ++refs_; }

ULONG STDMETHODCALLTYPE CIDropSource::Release() {
  const ULONG refs = --refs_;
  if (refs == 0) delete this;
  return refs;
}

HRESULT STDMETHODCALLTYPE CIDropSource::QueryContinueDrag(BOOL escape_pressed, DWORD key_state) {
  if (escape_pressed) return DRAGDROP_S_CANCEL;
  if ((key_state & (MK_LBUTTON | MK_RBUTTON)) == 0) {
    dropped_ = true;
    return DRAGDROP_S_DROP;
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDropSource::GiveFeedback(DWORD /*effect*/) {
  return DRAGDROP_S_USEDEFAULTCURSORS;
}

// ---- CEnumFormatEtc ----

CEnumFormatEtc::CEnumFormatEtc(const std::vector<FORMATETC>& formats, ULONG cursor)
    : formats_(formats), cursor_(cursor) {
  for (FORMATETC& format : formats_) {
    if (!CopyFormat(&format, format)) format.ptd = nullptr;
  }
  if (cursor_ > formats_.size()) cursor_ = static_cast<ULONG>(formats_.size());
}

CEnumFormatEtc::~CEnumFormatEtc() {
  for (FORMATETC& format : formats_) FreeFormat(&format);
}

HRESULT STDMETHODCALLTYPE CEnumFormatEtc::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IEnumFORMATETC) {
    *object = static_cast<IEnumFORMATETC*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CEnumFormatEtc::AddRef() { return ++refs_; }

ULONG STDMETHODCALLTYPE CEnumFormatEtc::Release() {
  const ULONG refs = --refs_;
  if (refs == 0) delete this;
  return refs;
}

HRESULT STDMETHODCALLTYPE CEnumFormatEtc::Next(ULONG count, FORMATETC* formats, ULONG* fetched) {
  if (fetched != nullptr) *fetched = 0;
  if (formats == nullptr || count == 0 || (count != 1 && fetched == nullptr)) return S_FALSE;
  ULONG copied = 0;
  while (copied < count && cursor_ < formats_.size()) {
    if (!CopyFormat(&formats[copied], formats_[cursor_])) break;
    ++copied;
    ++cursor_;
  }
  if (fetched != nullptr) *fetched = copied;
  return copied == count ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CEnumFormatEtc::Skip(ULONG count) {
  const ULONG left = static_cast<ULONG>(formats_.size()) - cursor_;
  if (count > left) {
    cursor_ = static_cast<ULONG>(formats_.size());
    return S_FALSE;
  }
  cursor_ += count;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CEnumFormatEtc::Reset() {
  cursor_ = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CEnumFormatEtc::Clone(IEnumFORMATETC** clone) {
  if (clone == nullptr) return E_INVALIDARG;
  *clone = new (std::nothrow) CEnumFormatEtc(formats_, cursor_);
  return *clone != nullptr ? S_OK : E_OUTOFMEMORY;
}

// ---- CIDataObject ----

CIDataObject::CIDataObject(CIDropSource* source) : source_(source) {}

CIDataObject::~CIDataObject() {
  for (STGMEDIUM& medium : media_) ReleaseStgMedium(&medium);
  for (FORMATETC& format : formats_) FreeFormat(&format);
}

HRESULT STDMETHODCALLTYPE CIDataObject::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDataObject) {
    *object = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CIDataObject::AddRef() { return ++refs_; }

ULONG STDMETHODCALLTYPE CIDataObject::Release() {
  const ULONG refs = --refs_;
  if (refs == 0) delete this;
  return refs;
}

bool CIDataObject::CopyMedium(STGMEDIUM* destination, const STGMEDIUM& source, CLIPFORMAT format) {
  STGMEDIUM copy{};
  copy.tymed = source.tymed;
  switch (source.tymed) {
    case TYMED_HGLOBAL:
    case TYMED_GDI:
    case TYMED_MFPICT:
    case TYMED_ENHMF:
      copy.hGlobal = static_cast<HGLOBAL>(OleDuplicateData(source.hGlobal, format, 0));
      if (copy.hGlobal == nullptr) return false;
      break;
    case TYMED_FILE:
      copy.lpszFileName = CopyFileName(source.lpszFileName);
      if (copy.lpszFileName == nullptr && source.lpszFileName != nullptr) return false;
      break;
    case TYMED_ISTREAM:
      copy.pstm = source.pstm;
      if (copy.pstm != nullptr) copy.pstm->AddRef();
      break;
    case TYMED_ISTORAGE:
      copy.pstg = source.pstg;
      if (copy.pstg != nullptr) copy.pstg->AddRef();
      break;
    default:
      break;
  }
  copy.pUnkForRelease = source.pUnkForRelease;
  if (copy.pUnkForRelease != nullptr) copy.pUnkForRelease->AddRef();
  *destination = copy;
  return true;
}

HRESULT STDMETHODCALLTYPE CIDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  if (format == nullptr || medium == nullptr) return E_INVALIDARG;
  for (size_t i = 0; i < formats_.size(); ++i) {
    const FORMATETC& stored = formats_[i];
    if ((format->tymed & stored.tymed) != 0 && format->dwAspect == stored.dwAspect &&
        format->cfFormat == stored.cfFormat) {
      return CopyMedium(medium, media_[i], stored.cfFormat) ? S_OK : E_OUTOFMEMORY;
    }
  }
  return DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE CIDataObject::GetDataHere(FORMATETC* /*format*/, STGMEDIUM* /*medium*/) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CIDataObject::QueryGetData(FORMATETC* format) {
  if (format == nullptr) return E_INVALIDARG;
  if ((format->dwAspect & DVASPECT_CONTENT) == 0) return DV_E_DVASPECT;
  if (formats_.empty()) return DV_E_TYMED;
  HRESULT mismatch = DV_E_TYMED;
  for (const FORMATETC& stored : formats_) {
    if ((format->tymed & stored.tymed) != 0) {
      if (format->cfFormat == stored.cfFormat) return S_OK;
      mismatch = DV_E_FORMATETC;
    }
  }
  return mismatch;
}

HRESULT STDMETHODCALLTYPE CIDataObject::GetCanonicalFormatEtc(FORMATETC* /*format*/,
                                                              FORMATETC* result) {
  if (result == nullptr) return E_INVALIDARG;
  return DATA_S_SAMEFORMATETC;
}

HRESULT STDMETHODCALLTYPE CIDataObject::SetData(FORMATETC* format, STGMEDIUM* medium,
                                                BOOL release) {
  if (format == nullptr || medium == nullptr) return E_INVALIDARG;
  FORMATETC stored_format{};
  if (!CopyFormat(&stored_format, *format)) return E_OUTOFMEMORY;
  STGMEDIUM stored_medium{};
  if (release) {
    stored_medium = *medium;
  } else if (!CopyMedium(&stored_medium, *medium, format->cfFormat)) {
    FreeFormat(&stored_format);
    return E_OUTOFMEMORY;
  }
  try {
    formats_.push_back(stored_format);
    media_.push_back(stored_medium);
  } catch (const std::bad_alloc&) {
    if (formats_.size() > media_.size()) formats_.pop_back();
    FreeFormat(&stored_format);
    // Taken over or copied, the medium is ours now and must not leak.
    ReleaseStgMedium(&stored_medium);
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) {
  if (formats == nullptr) return E_INVALIDARG;
  *formats = nullptr;
  if (direction != DATADIR_GET) return E_NOTIMPL;
  *formats = new (std::nothrow) CEnumFormatEtc(formats_);
  return *formats != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE CIDataObject::DAdvise(FORMATETC* /*format*/, DWORD /*advf*/,
                                                IAdviseSink* /*sink*/, DWORD* /*connection*/) {
  return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE CIDataObject::DUnadvise(DWORD /*connection*/) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CIDataObject::EnumDAdvise(IEnumSTATDATA** /*advise*/) {
  return OLE_E_ADVISENOTSUPPORTED;
}

// ---- CIDropTarget ----

CIDropTarget::CIDropTarget(HWND window) : window_(window) {
  // Without the shell helper drops still work, only without drag images.
  if (FAILED(CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IDropTargetHelper, reinterpret_cast<void**>(&helper_)))) {
    helper_ = nullptr;
  }
}

CIDropTarget::~CIDropTarget() {
  if (helper_ != nullptr) helper_->Release();
}

HRESULT STDMETHODCALLTYPE CIDropTarget::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDropTarget) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CIDropTarget::AddRef() { return ++refs_; }

ULONG STDMETHODCALLTYPE CIDropTarget::Release() { return refs_ > 0 ? --refs_ : 0; }

DWORD CIDropTarget::QueryDropEffect(bool allow_drop, DWORD key_state, DWORD allowed) {
  if (!allow_drop) return DROPEFFECT_NONE;
  const bool control = (key_state & MK_CONTROL) != 0;
  const bool shift = (key_state & MK_SHIFT) != 0;
  DWORD chosen = DROPEFFECT_NONE;
  if (control && shift) {
    chosen = DROPEFFECT_LINK;
  } else if (control) {
    chosen = DROPEFFECT_COPY;
  } else if (shift) {
    chosen = DROPEFFECT_MOVE;
  } else {
    if ((allowed & DROPEFFECT_COPY) != 0) return DROPEFFECT_COPY;
    if ((allowed & DROPEFFECT_MOVE) != 0) return DROPEFFECT_MOVE;
    if ((allowed & DROPEFFECT_LINK) != 0) return DROPEFFECT_LINK;
    return DROPEFFECT_NONE;
  }
  return (allowed & chosen) != 0 ? chosen : DROPEFFECT_NONE;
}

HRESULT STDMETHODCALLTYPE CIDropTarget::DragEnter(IDataObject* data, DWORD key_state,
                                                  POINTL point, DWORD* effect) {
  if (data == nullptr) return E_INVALIDARG;
  if (helper_ != nullptr) {
    POINT at{point.x, point.y};
    helper_->DragEnter(window_, data, &at, effect != nullptr ? *effect : DROPEFFECT_NONE);
  }
  found_ = nullptr;
  for (FORMATETC& format : accepted_) {
    if (data->QueryGetData(&format) == S_OK) {
      found_ = &format;
      break;
    }
  }
  allow_drop_ = found_ != nullptr;
  if (effect != nullptr) *effect = QueryDropEffect(allow_drop_, key_state, *effect);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDropTarget::DragOver(DWORD key_state, POINTL point, DWORD* effect) {
  if (helper_ != nullptr) {
    POINT at{point.x, point.y};
    helper_->DragOver(&at, effect != nullptr ? *effect : DROPEFFECT_NONE);
  }
  if (effect != nullptr) *effect = QueryDropEffect(allow_drop_, key_state, *effect);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDropTarget::DragLeave() {
  if (helper_ != nullptr) helper_->DragLeave();
  allow_drop_ = false;
  found_ = nullptr;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDropTarget::Drop(IDataObject* data, DWORD key_state, POINTL point,
                                             DWORD* effect) {
  if (data == nullptr) return E_INVALIDARG;
  if (helper_ != nullptr) {
    POINT at{point.x, point.y};
    helper_->Drop(data, &at, effect != nullptr ? *effect : DROPEFFECT_NONE);
  }
  DWORD chosen = QueryDropEffect(allow_drop_, key_state, effect != nullptr ? *effect : 0);
  if (chosen != DROPEFFECT_NONE && found_ != nullptr) {
    STGMEDIUM medium{};
    if (SUCCEEDED(data->GetData(found_, &medium))) {
      if (OnDrop(found_, medium, &chosen)) ReleaseStgMedium(&medium);
    }
  }
  allow_drop_ = false;
  found_ = nullptr;
  if (effect != nullptr) *effect = DROPEFFECT_NONE;
  return S_OK;
}

// ---- CDragSourceHelper ----

CDragSourceHelper::CDragSourceHelper() {
  if (FAILED(CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IDragSourceHelper, reinterpret_cast<void**>(&helper_)))) {
    helper_ = nullptr;
  }
}

CDragSourceHelper::~CDragSourceHelper() {
  if (helper_ != nullptr) helper_->Release();
}

HRESULT CDragSourceHelper::InitializeFromBitmap(HBITMAP bitmap, POINT hot_spot, const SIZE& size,
                                                IDataObject* data, COLORREF background) {
  if (helper_ == nullptr) return E_FAIL;
  SHDRAGIMAGE image{};
  image.sizeDragImage = size;
  image.ptOffset = hot_spot;
  image.hbmpDragImage = bitmap;
  image.crColorKey = background;
  return helper_->InitializeFromBitmap(&image, data);
}

HRESULT CDragSourceHelper::InitializeFromWindow(HWND window, POINT& point, IDataObject* data) {
  if (helper_ == nullptr) return E_FAIL;
  return helper_->InitializeFromWindow(window, &point, data);
}

// ---- Packed DIBs ----

bool ReadPackedDib(const void* block, size_t block_size, PackedDibLayout* layout) {
  if (block == nullptr || layout == nullptr || block_size < sizeof(DWORD)) return false;
  const BYTE* bytes = static_cast<const BYTE*>(block);
  DWORD header_size = 0;
  std::memcpy(&header_size, bytes, sizeof(header_size));

  long long width = 0;
  long long height = 0;
  unsigned bit_count = 0;
  DWORD compression = BI_RGB;
  DWORD used_colors = 0;
  size_t entry_size = 4;
  if (header_size == sizeof(BITMAPCOREHEADER)) {
    if (block_size < sizeof(BITMAPCOREHEADER)) return false;
    BITMAPCOREHEADER core;
    std::memcpy(&core, bytes, sizeof(core));
    width = core.bcWidth;
    height = core.bcHeight;
    bit_count = core.bcBitCount;
    entry_size = 3;
  } else if (header_size >= sizeof(BITMAPINFOHEADER) && header_size <= block_size) {
    BITMAPINFOHEADER info;
    std::memcpy(&info, bytes, sizeof(info));
    width = info.biWidth;
    height = info.biHeight;
    bit_count = info.biBitCount;
    compression = info.biCompression;
    used_colors = info.biClrUsed;
  } else {
    return false;
  }
  if (width <= 0 || height == 0 || bit_count == 0 || bit_count > 32) return false;
  if (height < 0) height = -height;

  size_t entries = used_colors;
  if (entries == 0 && bit_count <= 8) entries = size_t{1} << bit_count;
  if (entries > 256 && bit_count <= 8) return false;
  if (entries > (std::numeric_limits<DWORD>::max)() / 4) return false;
  size_t table = entries * entry_size;
  // Bit-field masks follow a plain info header.
  if (compression == BI_BITFIELDS && header_size == sizeof(BITMAPINFOHEADER)) {
    table += 3 * sizeof(DWORD);
  }
  if (header_size > block_size || table > block_size - header_size) return false;

  const unsigned long long stride = ((static_cast<unsigned long long>(width) * bit_count + 31) / 32) * 4;
  unsigned long long pixels = stride * static_cast<unsigned long long>(height);
  if (compression == BI_RLE8 || compression == BI_RLE4 || compression == BI_JPEG ||
      compression == BI_PNG) {
    // Compressed pixels are as long as the header says; they must still lie in the block.
    BITMAPINFOHEADER info;
    std::memcpy(&info, bytes, sizeof(info));
    pixels = info.biSizeImage;
    if (pixels == 0) return false;
  }
  const size_t offset = header_size + table;
  if (pixels > block_size - offset) return false;

  layout->info = reinterpret_cast<const BITMAPINFO*>(bytes);
  layout->header_size = header_size;
  layout->color_table_size = table;
  layout->bits = bytes + offset;
  layout->bits_size = static_cast<size_t>(pixels);
  return true;
}

HBITMAP CreateBitmapFromPackedDib(HDC dc, HGLOBAL block) {
  if (block == nullptr) return nullptr;
  const SIZE_T size = GlobalSize(block);
  const void* bytes = GlobalLock(block);
  if (bytes == nullptr) return nullptr;
  HBITMAP bitmap = nullptr;
  PackedDibLayout layout;
  if (ReadPackedDib(bytes, size, &layout)) {
    HDC screen = dc != nullptr ? dc : GetDC(nullptr);
    bitmap = CreateDIBitmap(screen, reinterpret_cast<const BITMAPINFOHEADER*>(layout.info),
                            CBM_INIT, layout.bits, layout.info, DIB_RGB_COLORS);
    if (dc == nullptr) ReleaseDC(nullptr, screen);
  }
  GlobalUnlock(block);
  return bitmap;
}

}  // namespace Vellum
