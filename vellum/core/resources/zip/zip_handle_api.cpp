// The handle front end of the zip reader: OpenZip ... CloseZip, each keeping its result as the
// process-wide last result.
#include <atomic>
#include <memory>
#include <new>

#include "vellum/core/resources/zip/zip_reader.h"

namespace Vellum {

namespace {

std::atomic<ZRESULT> g_last_result{ZR_OK};

ZRESULT Keep(ZRESULT result) {
  g_last_result = result;
  return result;
}

ZRESULT CheckHandle(HZIP zip) {
  if (!zip) return ZR_ARGS;
  if (zip->kind != kZipHandleUnzip || !zip->reader) return ZR_NOTUNZIP;
  return ZR_OK;
}

template <typename OpenFn>
HZIP OpenWith(OpenFn open) {
  std::unique_ptr<CZipReader> reader(new (std::nothrow) CZipReader);
  if (!reader) {
    Keep(ZR_READ);
    return nullptr;
  }
  const ZRESULT result = open(*reader);
  Keep(result);
  if (result != ZR_OK) return nullptr;
  HZIP zip = new (std::nothrow) TZipHandle{kZipHandleUnzip, reader.get()};
  if (!zip) {
    Keep(ZR_READ);
    return nullptr;
  }
  reader.release();
  return zip;
}

}  // namespace

HZIP OpenZip(const void* memory, unsigned int length, const char* password) {
  return OpenWith([&](CZipReader& r) { return r.OpenMemory(memory, length, password); });
}

HZIP OpenZip(const wchar_t* file_name, const char* password) {
  return OpenWith([&](CZipReader& r) { return r.OpenFile(file_name, password); });
}

ZRESULT FindZipItem(HZIP zip, const wchar_t* name, bool ignore_case, int* index, ZIPENTRY* entry) {
  if (index) *index = -1;
  const ZRESULT checked = CheckHandle(zip);
  if (checked != ZR_OK) return Keep(checked);
  return Keep(zip->reader->Find(name, ignore_case, index, entry));
}

ZRESULT GetZipItem(HZIP zip, int index, ZIPENTRY* entry) {
  const ZRESULT checked = CheckHandle(zip);
  if (checked != ZR_OK) return Keep(checked);
  return Keep(zip->reader->Get(index, entry));
}

ZRESULT UnzipItem(HZIP zip, int index, void* target, unsigned int length, ZipTargetKind kind) {
  const ZRESULT checked = CheckHandle(zip);
  if (checked != ZR_OK) return Keep(checked);
  return Keep(zip->reader->Unzip(index, target, length, kind));
}

ZRESULT CloseZip(HZIP zip) {
  const ZRESULT checked = CheckHandle(zip);
  if (checked != ZR_OK) return Keep(checked);
  const ZRESULT result = zip->reader->Close();
  delete zip->reader;
  zip->kind = 0;
  zip->reader = nullptr;
  delete zip;
  return Keep(result);
}

ZRESULT GetLastZipResult() { return g_last_result; }

}  // namespace Vellum
