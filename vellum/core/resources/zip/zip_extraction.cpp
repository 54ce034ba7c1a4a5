// CZipReader's extraction: opening an entry, decrypting and inflating it piece by piece, and writing
// it to memory, an open file or a named file.
#include <minizip/unzip.h>
#include <zlib.h>

#include <algorithm>
#include <new>

#include "common/base/scoped_handle.h"
#include "vellum/core/resources/zip/zip_cipher.h"
#include "vellum/core/resources/zip/zip_entry_name.h"
#include "vellum/core/resources/zip/zip_open_entry.h"
#include "vellum/core/resources/zip/zip_reader.h"

namespace Vellum {

namespace {

unzFile Archive(void* archive) { return static_cast<unzFile>(archive); }

bool IsAbsolutePath(const wchar_t* path) {
  return path[0] && (IsZipPathSlash(path[0]) || path[1] == L':');
}

// Creates every missing folder of `path` up to (not including) the character at `end`.
void CreateFolders(const std::wstring& path, size_t end) {
  for (size_t i = 0; i < end && i < path.size(); ++i) {
    if (!IsZipPathSlash(path[i]) || i == 0 || path[i - 1] == L':') continue;
    const std::wstring folder = path.substr(0, i);
    if (GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) {
      CreateDirectoryW(folder.c_str(), nullptr);
    }
  }
}

}  // namespace

ZRESULT CZipReader::OpenForExtraction(int index) {
  CloseExtraction();
  const ZRESULT moved = MoveTo(index);
  if (moved != ZR_OK) return moved;
  unzFile archive = Archive(archive_);
  unz_file_info64 info{};
  if (unzGetCurrentFileInfo64(archive, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
    return ZR_CORRUPT;
  }
  std::unique_ptr<OpenEntry> open(new (std::nothrow) OpenEntry);
  if (!open) return ZR_READ;
  open->index = index;
  open->method = static_cast<int>(info.compression_method);
  open->encrypted = (info.flag & 1) != 0;
  open->remaining = info.uncompressed_size;
  open->expected_crc = info.crc;
  if (open->method != 0 && open->method != Z_DEFLATED) return ZR_FLATE;
  if (open->encrypted && !password_) return ZR_PASSWORD;

  // The raw bytes are taken from the unzip layer; decryption and inflation happen here.
  if (unzOpenCurrentFile2(archive, nullptr, nullptr, 1) != UNZ_OK) return ZR_CORRUPT;
  if (open->encrypted) {
    open->keys.reset(new PkwareKeys(password_.get()));
    BYTE header[12];
    if (unzReadCurrentFile(archive, header, sizeof(header)) != static_cast<int>(sizeof(header))) {
      unzCloseCurrentFile(archive);
      return ZR_CORRUPT;
    }
    BYTE last = 0;
    for (BYTE b : header) last = open->keys->Decrypt(b);
    // With a trailing data descriptor the check byte comes from the time, not the CRC.
    const BYTE check = (info.flag & 8) ? static_cast<BYTE>(info.dosDate >> 8)
                                       : static_cast<BYTE>(info.crc >> 24);
    if (last != check) {
      unzCloseCurrentFile(archive);
      return ZR_PASSWORD;
    }
  }
  if (open->method == Z_DEFLATED) {
    if (inflateInit2(&open->inflater, -MAX_WBITS) != Z_OK) {
      unzCloseCurrentFile(archive);
      return ZR_FLATE;
    }
    open->inflater_ready = true;
  }
  entry_ = std::move(open);
  open_index_ = index;
  return ZR_OK;
}

void CZipReader::CloseExtraction() {
  if (!entry_) return;
  unzCloseCurrentFile(Archive(archive_));
  entry_.reset();
  open_index_ = -1;
}

// Produces up to `length` bytes of the open entry. `finished` becomes true once the whole declared
// size has been produced and its CRC matched.
ZRESULT CZipReader::ReadOpenEntry(BYTE* out, unsigned int length, unsigned int* produced,
                                  bool* finished) {
  OpenEntry& e = *entry_;
  unzFile archive = Archive(archive_);
  *produced = 0;
  *finished = false;
  while (*produced < length && e.remaining > 0) {
    const unsigned int want =
        static_cast<unsigned int>(std::min<ULONGLONG>(length - *produced, e.remaining));
    if (e.method == 0) {
      const int got = unzReadCurrentFile(archive, out + *produced, want);
      if (got < 0) return got == UNZ_ERRNO ? ZR_READ : ZR_CORRUPT;
      if (got == 0) return ZR_FLATE;  // fewer stored bytes than declared
      if (e.keys) {
        for (int i = 0; i < got; ++i) out[*produced + i] = e.keys->Decrypt(out[*produced + i]);
      }
      e.crc = crc32(e.crc, out + *produced, static_cast<uInt>(got));
      *produced += static_cast<unsigned int>(got);
      e.remaining -= static_cast<ULONGLONG>(got);
      continue;
    }
    if (e.inflater.avail_in == 0 && !e.input_done) {
      const int got = unzReadCurrentFile(archive, e.input, sizeof(e.input));
      if (got < 0) return got == UNZ_ERRNO ? ZR_READ : ZR_CORRUPT;
      if (got == 0) e.input_done = true;
      if (e.keys) {
        for (int i = 0; i < got; ++i) e.input[i] = e.keys->Decrypt(e.input[i]);
      }
      e.inflater.next_in = e.input;
      e.inflater.avail_in = static_cast<uInt>(got);
    }
    e.inflater.next_out = out + *produced;
    e.inflater.avail_out = want;
    const int status = inflate(&e.inflater, Z_NO_FLUSH);
    const unsigned int made = want - e.inflater.avail_out;
    e.crc = crc32(e.crc, out + *produced, made);
    *produced += made;
    e.remaining -= made;
    if (status == Z_STREAM_END) {
      if (e.remaining > 0) return ZR_FLATE;  // the stream is shorter than its declared size
      break;
    }
    if (status != Z_OK && !(status == Z_BUF_ERROR && !e.input_done)) return ZR_FLATE;
    if (made == 0 && e.input_done && e.inflater.avail_in == 0) return ZR_FLATE;  // truncated
  }
  if (e.remaining == 0) {
    if (e.crc != e.expected_crc) return ZR_FLATE;
    *finished = true;
  }
  return ZR_OK;
}

ZRESULT CZipReader::UnzipToMemory(int index, BYTE* buffer, unsigned int length) {
  if (open_index_ != index) {
    const ZRESULT opened = OpenForExtraction(index);
    if (opened != ZR_OK) return opened;
  }
  unsigned int produced = 0;
  bool finished = false;
  const ZRESULT result = ReadOpenEntry(buffer, length, &produced, &finished);
  if (result != ZR_OK) {
    CloseExtraction();
    return result;
  }
  if (!finished) return ZR_MORE;
  // Closed at its end, so that asking for the same entry again starts from its beginning.
  CloseExtraction();
  return ZR_OK;
}

ZRESULT CZipReader::UnzipToHandle(int index, HANDLE file, const ZIPENTRY& entry) {
  if (entry.attr & FILE_ATTRIBUTE_DIRECTORY) return ZR_OK;
  const ZRESULT opened = OpenForExtraction(index);
  if (opened != ZR_OK) return opened;
  if (!buffer_) buffer_.reset(new (std::nothrow) BYTE[kZipPieceSize]);
  if (!buffer_) {
    CloseExtraction();
    return ZR_READ;
  }
  for (;;) {
    unsigned int produced = 0;
    bool finished = false;
    const ZRESULT result = ReadOpenEntry(buffer_.get(), kZipPieceSize, &produced, &finished);
    if (result != ZR_OK) {
      CloseExtraction();
      return result;
    }
    DWORD written = 0;
    if (produced > 0 && (!WriteFile(file, buffer_.get(), produced, &written, nullptr) ||
                         written != produced)) {
      CloseExtraction();
      return ZR_WRITE;
    }
    if (finished) break;
  }
  CloseExtraction();
  return ZR_OK;
}

std::wstring CZipReader::ResolveTarget(const wchar_t* target) const {
  if (IsAbsolutePath(target)) return target;
  return base_folder_ + target;
}

ZRESULT CZipReader::UnzipToFileName(int index, const wchar_t* target) {
  ZIPENTRY entry;
  const ZRESULT described = Get(index, &entry);
  if (described != ZR_OK) return described;
  const std::wstring path = ResolveTarget(target);
  if (entry.attr & FILE_ATTRIBUTE_DIRECTORY) {
    CreateFolders(path + L"\\", path.size() + 1);
    return ZR_OK;
  }
  const size_t last_slash = path.find_last_of(L"\\/");
  if (last_slash != std::wstring::npos) CreateFolders(path, last_slash + 1);
  DWORD attributes = entry.attr & ~FILE_ATTRIBUTE_DIRECTORY;
  if (attributes == 0) attributes = FILE_ATTRIBUTE_NORMAL;
  const ScopedHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes,
                                      nullptr));
  if (!file.valid()) return ZR_NOFILE;
  const ZRESULT result = UnzipToHandle(index, file.get(), entry);
  if (result == ZR_OK) SetFileTime(file.get(), &entry.ctime, &entry.atime, &entry.mtime);
  return result;
}

ZRESULT CZipReader::Unzip(int index, void* target, unsigned int length, ZipTargetKind kind) {
  if (!archive_ || !target) return ZR_ARGS;
  if (index < 0 || index >= entry_count_) return ZR_ARGS;
  switch (kind) {
    case ZIP_MEMORY:
      return UnzipToMemory(index, static_cast<BYTE*>(target), length);
    case ZIP_HANDLE: {
      ZIPENTRY entry;
      const ZRESULT described = Get(index, &entry);
      if (described != ZR_OK) return described;
      return UnzipToHandle(index, static_cast<HANDLE>(target), entry);
    }
    case ZIP_FILENAME:
      return UnzipToFileName(index, static_cast<const wchar_t*>(target));
  }
  return ZR_ARGS;
}

}  // namespace Vellum
