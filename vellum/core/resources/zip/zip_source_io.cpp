#include "vellum/core/resources/zip/zip_source_io.h"

#include <algorithm>
#include <cstring>

#include "vellum/core/resources/zip/zip_reader.h"

namespace Vellum {

namespace {

voidpf ZCALLBACK SourceOpen(voidpf, const void* name, int) { return const_cast<void*>(name); }

uLong ZCALLBACK SourceRead(voidpf, voidpf stream, void* buf, uLong size) {
  auto* source = static_cast<CZipReader::Source*>(stream);
  if (source->kind == CZipReader::Source::kMemory) {
    if (source->position >= source->length) return 0;
    const ULONGLONG n = std::min<ULONGLONG>(size, source->length - source->position);
    std::memcpy(buf, source->memory + source->position, static_cast<size_t>(n));
    source->position += n;
    return static_cast<uLong>(n);
  }
  DWORD read = 0;
  if (!ReadFile(source->file, buf, size, &read, nullptr)) return 0;
  return read;
}

uLong ZCALLBACK SourceWrite(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T ZCALLBACK SourceTell(voidpf, voidpf stream) {
  auto* source = static_cast<CZipReader::Source*>(stream);
  if (source->kind == CZipReader::Source::kMemory) return source->position;
  LARGE_INTEGER zero{}, now{};
  if (!SetFilePointerEx(source->file, zero, &now, FILE_CURRENT)) return static_cast<ZPOS64_T>(-1);
  return static_cast<ZPOS64_T>(now.QuadPart - source->start);
}

long ZCALLBACK SourceSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  auto* source = static_cast<CZipReader::Source*>(stream);
  if (source->kind == CZipReader::Source::kMemory) {
    ULONGLONG base = 0;
    switch (origin) {
      case ZLIB_FILEFUNC_SEEK_SET: base = 0; break;
      case ZLIB_FILEFUNC_SEEK_CUR: base = source->position; break;
      case ZLIB_FILEFUNC_SEEK_END: base = source->length; break;
      default: return -1;
    }
    // Offsets come from the archive itself: anything outside the buffer is refused.
    if (offset > source->length || base > source->length - offset) return -1;
    source->position = base + offset;
    return 0;
  }
  LARGE_INTEGER to{};
  DWORD method = FILE_BEGIN;
  switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET:
      to.QuadPart = source->start + static_cast<LONGLONG>(offset);
      break;
    case ZLIB_FILEFUNC_SEEK_CUR:
      to.QuadPart = static_cast<LONGLONG>(offset);
      method = FILE_CURRENT;
      break;
    case ZLIB_FILEFUNC_SEEK_END:
      to.QuadPart = static_cast<LONGLONG>(offset);
      method = FILE_END;
      break;
    default:
      return -1;
  }
  return SetFilePointerEx(source->file, to, nullptr, method) ? 0 : -1;
}

int ZCALLBACK SourceClose(voidpf, voidpf) { return 0; }
int ZCALLBACK SourceError(voidpf, voidpf) { return 0; }

}  // namespace

void SetZipSourceFunctions(zlib_filefunc64_def* functions) {
  *functions = zlib_filefunc64_def{};
  functions->zopen64_file = SourceOpen;
  functions->zread_file = SourceRead;
  functions->zwrite_file = SourceWrite;
  functions->ztell64_file = SourceTell;
  functions->zseek64_file = SourceSeek;
  functions->zclose_file = SourceClose;
  functions->zerror_file = SourceError;
}

}  // namespace Vellum
