#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "vellum/core/ole/drag_drop.h"

namespace {

using Vellum::CEnumFormatEtc;
using Vellum::CIDataObject;
using Vellum::CIDropSource;
using Vellum::CIDropTarget;
using Vellum::PackedDibLayout;
using Vellum::ReadPackedDib;

FORMATETC Format(CLIPFORMAT format, DWORD tymed = TYMED_HGLOBAL) {
  return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, tymed};
}

HGLOBAL GlobalText(const char* text) {
  const size_t size = std::strlen(text) + 1;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  std::memcpy(GlobalLock(block), text, size);
  GlobalUnlock(block);
  return block;
}

std::string ReadGlobal(HGLOBAL block) {
  const char* text = static_cast<const char*>(GlobalLock(block));
  std::string copy = text != nullptr ? text : "";
  GlobalUnlock(block);
  return copy;
}

class DragDropTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
  void TearDown() override { OleUninitialize(); }
};

TEST_F(DragDropTest, DropSourceDropsOnReleaseAndCancelsOnEscape) {
  const struct {
    BOOL escape;
    DWORD keys;
    HRESULT result;
    bool dropped;
  } cases[] = {
      {TRUE, MK_LBUTTON, DRAGDROP_S_CANCEL, false},
      {FALSE, MK_LBUTTON, S_OK, false},
      {FALSE, MK_RBUTTON | MK_SHIFT, S_OK, false},
      {FALSE, 0, DRAGDROP_S_DROP, true},
      {FALSE, MK_CONTROL, DRAGDROP_S_DROP, true},
  };
  for (const auto& c : cases) {
    CIDropSource* source = new CIDropSource;
    EXPECT_EQ(source->QueryContinueDrag(c.escape, c.keys), c.result);
    EXPECT_EQ(source->IsDropped(), c.dropped);
    EXPECT_EQ(source->GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
    EXPECT_EQ(source->Release(), 0u);
  }
}

TEST_F(DragDropTest, DataObjectKeepsCopiesAndAnswersByFormat) {
  CIDropSource* source = new CIDropSource;
  CIDataObject* data = new CIDataObject(source);
  FORMATETC text = Format(CF_TEXT);
  HGLOBAL original = GlobalText("dragged");
  STGMEDIUM medium{};
  medium.tymed = TYMED_HGLOBAL;
  medium.hGlobal = original;
  ASSERT_EQ(data->SetData(&text, &medium, FALSE), S_OK);
  // Not released: the caller still owns its block; the object holds a copy.
  EXPECT_EQ(ReadGlobal(original), "dragged");
  GlobalFree(original);

  STGMEDIUM out{};
  ASSERT_EQ(data->GetData(&text, &out), S_OK);
  EXPECT_EQ(out.tymed, static_cast<DWORD>(TYMED_HGLOBAL));
  EXPECT_EQ(ReadGlobal(out.hGlobal), "dragged");
  ReleaseStgMedium(&out);

  FORMATETC missing = Format(CF_UNICODETEXT);
  EXPECT_EQ(data->GetData(&missing, &out), DV_E_FORMATETC);
  FORMATETC other_storage = Format(CF_TEXT, TYMED_ISTREAM);
  EXPECT_EQ(data->GetData(&other_storage, &out), DV_E_FORMATETC);
  EXPECT_EQ(data->GetData(nullptr, &out), E_INVALIDARG);
  EXPECT_EQ(data->SetData(nullptr, &medium, FALSE), E_INVALIDARG);

  const struct {
    FORMATETC format;
    HRESULT result;
  } queries[] = {
      {Format(CF_TEXT), S_OK},
      {Format(CF_TEXT, TYMED_HGLOBAL | TYMED_ISTREAM), S_OK},
      {Format(CF_UNICODETEXT), DV_E_FORMATETC},
      {Format(CF_TEXT, TYMED_GDI), DV_E_TYMED},
      {FORMATETC{CF_TEXT, nullptr, DVASPECT_ICON, -1, TYMED_HGLOBAL}, DV_E_DVASPECT},
  };
  for (auto q : queries) {
    SCOPED_TRACE(q.format.cfFormat);
    EXPECT_EQ(data->QueryGetData(&q.format), q.result);
  }
  EXPECT_EQ(data->QueryGetData(nullptr), E_INVALIDARG);

  FORMATETC canonical{};
  EXPECT_EQ(data->GetCanonicalFormatEtc(&text, &canonical), DATA_S_SAMEFORMATETC);
  EXPECT_EQ(data->GetDataHere(&text, &out), E_NOTIMPL);
  EXPECT_EQ(data->DAdvise(&text, 0, nullptr, nullptr), OLE_E_ADVISENOTSUPPORTED);
  EXPECT_EQ(data->EnumDAdvise(nullptr), OLE_E_ADVISENOTSUPPORTED);

  IEnumFORMATETC* formats = nullptr;
  EXPECT_EQ(data->EnumFormatEtc(DATADIR_SET, &formats), E_NOTIMPL);
  ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, &formats), S_OK);
  FORMATETC first{};
  ULONG fetched = 0;
  EXPECT_EQ(formats->Next(1, &first, &fetched), S_OK);
  EXPECT_EQ(first.cfFormat, CF_TEXT);
  EXPECT_EQ(formats->Release(), 0u);

  EXPECT_EQ(data->Release(), 0u);
  EXPECT_EQ(source->Release(), 0u);

  // An empty object holds no format at all.
  CIDataObject* empty = new CIDataObject(nullptr);
  EXPECT_EQ(empty->QueryGetData(&text), DV_E_TYMED);
  empty->Release();
}

TEST_F(DragDropTest, DataObjectCarriesABitmap) {
  CIDataObject* data = new CIDataObject(nullptr);
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 6, 4);
  ReleaseDC(nullptr, screen);
  FORMATETC format = Format(CF_BITMAP, TYMED_GDI);
  STGMEDIUM medium{};
  medium.tymed = TYMED_GDI;
  medium.hBitmap = bitmap;
  ASSERT_EQ(data->SetData(&format, &medium, TRUE), S_OK);  // taken over as it is
  STGMEDIUM out{};
  ASSERT_EQ(data->GetData(&format, &out), S_OK);
  EXPECT_NE(out.hBitmap, bitmap) << "the receiver gets its own duplicate";
  BITMAP info{};
  ASSERT_NE(GetObjectW(out.hBitmap, sizeof(info), &info), 0);
  EXPECT_EQ(info.bmWidth, 6);
  EXPECT_EQ(info.bmHeight, 4);
  ReleaseStgMedium(&out);
  data->Release();
}

TEST_F(DragDropTest, DataObjectCopiesAnEnhancedMetafile) {
  HDC recorder = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(recorder, nullptr);
  Rectangle(recorder, 0, 0, 10, 10);
  HENHMETAFILE picture = CloseEnhMetaFile(recorder);
  ASSERT_NE(picture, nullptr);

  CIDataObject* data = new CIDataObject(nullptr);
  FORMATETC format = Format(CF_ENHMETAFILE, TYMED_ENHMF);
  STGMEDIUM medium{};
  medium.tymed = TYMED_ENHMF;
  medium.hEnhMetaFile = picture;
  ASSERT_EQ(data->SetData(&format, &medium, FALSE), S_OK);  // copied; ours stays ours
  DeleteEnhMetaFile(picture);
  STGMEDIUM out{};
  ASSERT_EQ(data->GetData(&format, &out), S_OK);
  ENHMETAHEADER header{};
  EXPECT_NE(GetEnhMetaFileHeader(out.hEnhMetaFile, sizeof(header), &header), 0u);
  EXPECT_EQ(header.iType, static_cast<DWORD>(EMR_HEADER));
  ReleaseStgMedium(&out);
  data->Release();
}

TEST_F(DragDropTest, EnumeratorNeverMovesPastTheEnd) {
  const std::vector<FORMATETC> list = {Format(CF_TEXT), Format(CF_BITMAP, TYMED_GDI),
                                       Format(CF_DIB)};
  CEnumFormatEtc* formats = new CEnumFormatEtc(list);
  FORMATETC out[4] = {};
  ULONG fetched = 99;
  EXPECT_EQ(formats->Next(2, out, &fetched), S_OK);
  EXPECT_EQ(fetched, 2u);
  EXPECT_EQ(out[1].cfFormat, CF_BITMAP);
  EXPECT_EQ(formats->Next(2, out, &fetched), S_FALSE) << "only one was left";
  EXPECT_EQ(fetched, 1u);
  EXPECT_EQ(out[0].cfFormat, CF_DIB);

  EXPECT_EQ(formats->Reset(), S_OK);
  EXPECT_EQ(formats->Skip(3), S_OK);
  EXPECT_EQ(formats->Next(1, out, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
  formats->Reset();
  EXPECT_EQ(formats->Skip(5), S_FALSE);
  // The cursor stopped at the end: nothing is read from beyond the list.
  EXPECT_EQ(formats->Next(1, out, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
  formats->Reset();
  EXPECT_EQ(formats->Skip(1), S_OK);
  EXPECT_EQ(formats->Skip(0xFFFFFFFFu), S_FALSE) << "a count that wraps around is no skip back";

  // Argument rules: a null array, a count of 0, or several without a fetched count.
  formats->Reset();
  EXPECT_EQ(formats->Next(1, nullptr, nullptr), S_FALSE);
  EXPECT_EQ(formats->Next(0, out, &fetched), S_FALSE);
  EXPECT_EQ(formats->Next(2, out, nullptr), S_FALSE);
  EXPECT_EQ(formats->Next(1, out, nullptr), S_OK);

  IEnumFORMATETC* clone = nullptr;
  ASSERT_EQ(formats->Clone(&clone), S_OK);
  EXPECT_EQ(clone->Next(1, out, nullptr), S_OK);
  EXPECT_EQ(out[0].cfFormat, CF_BITMAP) << "the clone starts where the original stood";
  clone->Release();
  formats->Release();
}

TEST(DropEffect, KeysAndAllowedEffects) {
  const DWORD all = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  const struct {
    bool allow;
    DWORD keys;
    DWORD allowed;
    DWORD effect;
  } cases[] = {
      {false, 0, all, DROPEFFECT_NONE},
      {true, 0, all, DROPEFFECT_COPY},
      {true, 0, DROPEFFECT_MOVE | DROPEFFECT_LINK, DROPEFFECT_MOVE},
      {true, 0, DROPEFFECT_LINK, DROPEFFECT_LINK},
      {true, 0, DROPEFFECT_NONE, DROPEFFECT_NONE},
      {true, MK_CONTROL, all, DROPEFFECT_COPY},
      {true, MK_SHIFT, all, DROPEFFECT_MOVE},
      {true, MK_CONTROL | MK_SHIFT, all, DROPEFFECT_LINK},
      // Control over a source that allows only move shows no drop.
      {true, MK_CONTROL, DROPEFFECT_MOVE, DROPEFFECT_NONE},
      {true, MK_SHIFT, DROPEFFECT_COPY, DROPEFFECT_NONE},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CIDropTarget::QueryDropEffect(c.allow, c.keys, c.allowed), c.effect)
        << c.allow << " " << c.keys << " " << c.allowed;
  }
}

class RecordingTarget : public CIDropTarget {
 public:
  bool OnDrop(FORMATETC* format, STGMEDIUM& medium, DWORD* effect) override {
    dropped_format = format->cfFormat;
    dropped_text = ReadGlobal(medium.hGlobal);
    dropped_effect = *effect;
    return true;
  }
  CLIPFORMAT dropped_format = 0;
  std::string dropped_text;
  DWORD dropped_effect = 0;
};

TEST_F(DragDropTest, DropTargetFindsAnAcceptedFormatAndDrops) {
  CIDataObject* data = new CIDataObject(nullptr);
  FORMATETC text = Format(CF_TEXT);
  STGMEDIUM medium{};
  medium.tymed = TYMED_HGLOBAL;
  medium.hGlobal = GlobalText("payload");
  ASSERT_EQ(data->SetData(&text, &medium, TRUE), S_OK);

  RecordingTarget target;
  target.AddSupportedFormat(Format(CF_UNICODETEXT));
  target.AddSupportedFormat(Format(CF_TEXT));
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  EXPECT_EQ(target.DragEnter(nullptr, 0, POINTL{0, 0}, &effect), E_INVALIDARG);
  ASSERT_EQ(target.DragEnter(data, 0, POINTL{5, 5}, &effect), S_OK);
  EXPECT_TRUE(target.IsDropAllowed());
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  effect = DROPEFFECT_MOVE;
  ASSERT_EQ(target.DragOver(MK_CONTROL, POINTL{6, 6}, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  ASSERT_EQ(target.Drop(data, MK_SHIFT, POINTL{6, 6}, &effect), S_OK);
  EXPECT_EQ(target.dropped_format, CF_TEXT);
  EXPECT_EQ(target.dropped_text, "payload");
  EXPECT_EQ(target.dropped_effect, static_cast<DWORD>(DROPEFFECT_MOVE));
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_FALSE(target.IsDropAllowed());

  // Data without an accepted format allows no drop, and leaving clears the state.
  RecordingTarget picky;
  picky.AddSupportedFormat(Format(CF_DIB));
  effect = DROPEFFECT_COPY;
  picky.DragEnter(data, 0, POINTL{0, 0}, &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_FALSE(picky.IsDropAllowed());
  picky.DragLeave();
  effect = DROPEFFECT_COPY;
  picky.Drop(data, 0, POINTL{0, 0}, &effect);
  EXPECT_EQ(picky.dropped_format, 0);

  // The owner deletes the target: Release only counts.
  target.AddRef();
  EXPECT_EQ(target.Release(), 1u);
  data->Release();
}

// A packed DIB: header, optional colour table, pixels.
std::vector<BYTE> PackedDib(int width, int height, WORD bits, DWORD used_colors = 0,
                            DWORD compression = BI_RGB) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(header);
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = bits;
  header.biCompression = compression;
  header.biClrUsed = used_colors;
  size_t table = used_colors != 0 ? used_colors * 4 : (bits <= 8 ? (size_t{1} << bits) * 4 : 0);
  if (compression == BI_BITFIELDS) table += 12;
  const size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
  std::vector<BYTE> block(sizeof(header) + table + stride * (height < 0 ? -height : height), 0);
  std::memcpy(block.data(), &header, sizeof(header));
  return block;
}

TEST(PackedDib, LayoutIsCheckedAgainstTheBlock) {
  const struct {
    const char* name;
    std::vector<BYTE> block;
    long size_change;  // bytes cut off (negative) or added
    bool valid;
    size_t table;
  } cases[] = {
      {"32-bit", PackedDib(2, 2, 32), 0, true, 0},
      {"top-down", PackedDib(2, -2, 32), 0, true, 0},
      {"8-bit with its table", PackedDib(3, 2, 8), 0, true, 1024},
      {"8-bit with 4 used colours", PackedDib(3, 2, 8, 4), 0, true, 16},
      {"1-bit", PackedDib(9, 1, 1), 0, true, 8},
      {"bit fields", PackedDib(2, 2, 16, 0, BI_BITFIELDS), 0, true, 12},
      {"pixels cut short", PackedDib(2, 2, 32), -1, false, 0},
      {"table cut short", PackedDib(3, 2, 8), -static_cast<long>(1024 + 8), false, 0},
      {"header cut short", PackedDib(2, 2, 32), -static_cast<long>(16 + 20), false, 0},
      {"extra bytes are fine", PackedDib(2, 2, 32), 7, true, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<BYTE> block = c.block;
    block.resize(static_cast<size_t>(static_cast<long>(block.size()) + c.size_change));
    PackedDibLayout layout;
    EXPECT_EQ(ReadPackedDib(block.data(), block.size(), &layout), c.valid);
    if (c.valid) {
      EXPECT_EQ(layout.color_table_size, c.table);
      EXPECT_EQ(layout.bits, block.data() + sizeof(BITMAPINFOHEADER) + c.table);
      EXPECT_LE(layout.bits + layout.bits_size, block.data() + block.size());
    }
  }

  // Headers whose sizes claim more than the block holds.
  std::vector<BYTE> huge = PackedDib(2, 2, 32);
  reinterpret_cast<BITMAPINFOHEADER*>(huge.data())->biWidth = 100000;
  PackedDibLayout layout;
  EXPECT_FALSE(ReadPackedDib(huge.data(), huge.size(), &layout));
  std::vector<BYTE> colours = PackedDib(2, 2, 8);
  reinterpret_cast<BITMAPINFOHEADER*>(colours.data())->biClrUsed = 0x40000000;
  EXPECT_FALSE(ReadPackedDib(colours.data(), colours.size(), &layout));
  std::vector<BYTE> header_size = PackedDib(2, 2, 32);
  reinterpret_cast<BITMAPINFOHEADER*>(header_size.data())->biSize = 0x7FFFFFFF;
  EXPECT_FALSE(ReadPackedDib(header_size.data(), header_size.size(), &layout));
  EXPECT_FALSE(ReadPackedDib(nullptr, 100, &layout));
  EXPECT_FALSE(ReadPackedDib(huge.data(), 2, &layout));

  // A core header has 3-byte colour entries.
  std::vector<BYTE> core(sizeof(BITMAPCOREHEADER) + 2 * 3 + 4, 0);
  BITMAPCOREHEADER core_header{sizeof(BITMAPCOREHEADER), 3, 1, 1, 1};
  std::memcpy(core.data(), &core_header, sizeof(core_header));
  ASSERT_TRUE(ReadPackedDib(core.data(), core.size(), &layout));
  EXPECT_EQ(layout.color_table_size, 6u);
  EXPECT_FALSE(ReadPackedDib(core.data(), core.size() - 1, &layout));
}

TEST(PackedDib, BitmapFromGlobalMemory) {
  std::vector<BYTE> block = PackedDib(5, 3, 32);
  HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, block.size());
  std::memcpy(GlobalLock(global), block.data(), block.size());
  GlobalUnlock(global);
  HBITMAP bitmap = Vellum::CreateBitmapFromPackedDib(nullptr, global);
  ASSERT_NE(bitmap, nullptr);
  BITMAP info{};
  GetObjectW(bitmap, sizeof(info), &info);
  EXPECT_EQ(info.bmWidth, 5);
  EXPECT_EQ(info.bmHeight, 3);
  DeleteObject(bitmap);
  GlobalFree(global);

  // The same header in a block too small for its pixels gives no bitmap.
  HGLOBAL short_block = GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + 8);
  std::memcpy(GlobalLock(short_block), block.data(), sizeof(BITMAPINFOHEADER) + 8);
  GlobalUnlock(short_block);
  EXPECT_EQ(Vellum::CreateBitmapFromPackedDib(nullptr, short_block), nullptr);
  GlobalFree(short_block);
  EXPECT_EQ(Vellum::CreateBitmapFromPackedDib(nullptr, nullptr), nullptr);
}

}  // namespace
