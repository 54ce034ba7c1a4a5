// CZipReader: opening and closing an archive, and describing and finding its entries. Extraction is
// in zip_extraction.cpp, the handle API in zip_handle_api.cpp.
#include "vellum/core/resources/zip/zip_reader.h"

#include <minizip/unzip.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "vellum/core/resources/zip/zip_entry_name.h"
#include "vellum/core/resources/zip/zip_open_entry.h"
#include "vellum/core/resources/zip/zip_source_io.h"

namespace Vellum {

namespace {

constexpr int kMaxNameBytes = 260;
// Larger lookup names cannot be stored in an archive entry the unzip layer can match.
constexpr int kMaxLookupNameBytes = 259;

unzFile Archive(void* archive) { return static_cast<unzFile>(archive); }

FILETIME UnixToFileTime(LONG seconds) {
  const ULONGLONG t = static_cast<ULONGLONG>(static_cast<LONGLONG>(seconds) * 10000000LL +
                                             116444736000000000LL);
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(t);
  ft.dwHighDateTime = static_cast<DWORD>(t >> 32);
  return ft;
}

LONG ReadLong(const BYTE* p) {
  return static_cast<LONG>(p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<DWORD>(p[3]) << 24));
}

// Applies an extended-timestamp ("UT") block. Each field is read only when it lies inside the block:
// the central directory copy holds the modification time alone whatever its flags say.
void ApplyExtendedTimestamp(const BYTE* extra, size_t size, ZIPENTRY* entry) {
  size_t pos = 0;
  while (pos + 4 <= size) {
    const unsigned id = extra[pos] | (extra[pos + 1] << 8);
    const size_t len = extra[pos + 2] | (extra[pos + 3] << 8);
    const BYTE* data = extra + pos + 4;
    if (len > size - pos - 4) return;
    if (id == 0x5455 && len >= 1) {
      const BYTE flags = data[0];
      size_t at = 1;
      FILETIME* targets[3] = {&entry->mtime, &entry->atime, &entry->ctime};
      for (int bit = 0; bit < 3; ++bit) {
        if (!(flags & (1 << bit))) continue;
        if (at + 4 > len) break;
        *targets[bit] = UnixToFileTime(ReadLong(data + at));
        at += 4;
      }
    }
    pos += 4 + len;
  }
}

DWORD EntryAttributes(const unz_file_info64& info) {
  const unsigned host = (info.version >> 8) & 0xFF;
  const DWORD external = static_cast<DWORD>(info.external_fa);
  if (host == 0 || host == 7 || host == 11 || host == 14) {
    return external & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                       FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE);
  }
  DWORD attr = FILE_ATTRIBUTE_ARCHIVE;
  if (!(external & 0x00800000)) attr |= FILE_ATTRIBUTE_READONLY;
  if (((external >> 16) & 0170000) == 0040000) attr |= FILE_ATTRIBUTE_DIRECTORY;
  return attr;
}

}  // namespace

CZipReader::CZipReader() = default;

CZipReader::~CZipReader() { Close(); }

ZRESULT CZipReader::OpenMemory(const void* memory, unsigned int length, const char* password) {
  if (archive_) return ZR_ALREADYOPEN;
  if (!memory) return ZR_ARGS;
  source_ = Source();
  source_.kind = Source::kMemory;
  source_.memory = static_cast<const BYTE*>(memory);
  source_.length = length;
  source_.can_seek = true;
  return OpenSource(password);
}

ZRESULT CZipReader::OpenFile(const wchar_t* file_name, const char* password) {
  if (archive_) return ZR_ALREADYOPEN;
  if (!file_name) return ZR_ARGS;
  ScopedHandle file(CreateFileW(file_name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return ZR_NOFILE;
  source_ = Source();
  source_.kind = Source::kFileName;
  source_.file = file.get();
  source_.can_seek = true;
  const ZRESULT result = OpenSource(password);
  if (result != ZR_OK) {
    source_ = Source();
    return result;
  }
  owned_file_ = std::move(file);
  return result;
}

ZRESULT CZipReader::OpenHandle(HANDLE file, const char* password) {
  if (archive_) return ZR_ALREADYOPEN;
  if (!file || file == INVALID_HANDLE_VALUE) return ZR_ARGS;
  LARGE_INTEGER zero{}, start{};
  if (GetFileType(file) != FILE_TYPE_DISK || !SetFilePointerEx(file, zero, &start, FILE_CURRENT)) {
    return ZR_SEEK;
  }
  source_ = Source();
  source_.kind = Source::kHandle;
  source_.file = file;
  source_.can_seek = true;
  source_.start = start.QuadPart;
  const ZRESULT result = OpenSource(password);
  if (result != ZR_OK) source_ = Source();
  return result;
}

ZRESULT CZipReader::OpenSource(const char* password) {
  if (source_.kind != Source::kMemory && source_.kind != Source::kHandle &&
      source_.kind != Source::kFileName) {
    return ZR_ARGS;
  }
  zlib_filefunc64_def functions;
  SetZipSourceFunctions(&functions);
  unzFile archive = unzOpen2_64(&source_, &functions);
  if (!archive) return ZR_NOFILE;
  unz_global_info64 global{};
  if (unzGetGlobalInfo64(archive, &global) != UNZ_OK || global.number_entry > 0x7FFFFFFF) {
    unzClose(archive);
    return ZR_NOFILE;
  }
  archive_ = archive;
  entry_count_ = static_cast<int>(global.number_entry);
  // unzOpen leaves the first entry current when there is one.
  current_index_ = entry_count_ > 0 ? 0 : -1;
  open_index_ = -1;
  cached_index_ = -1;
  password_.reset();
  if (password) {
    const size_t n = std::strlen(password);
    password_.reset(new char[n + 1]);
    std::memcpy(password_.get(), password, n + 1);
  }
  wchar_t folder[MAX_PATH + 1] = {};
  const DWORD n = GetCurrentDirectoryW(MAX_PATH, folder);
  base_folder_.assign(folder, n <= MAX_PATH ? n : 0);
  if (!base_folder_.empty() && !IsZipPathSlash(base_folder_.back())) base_folder_ += L'\\';
  return ZR_OK;
}

ZRESULT CZipReader::Close() {
  if (!archive_) return ZR_OK;
  CloseExtraction();
  unzClose(Archive(archive_));
  archive_ = nullptr;
  owned_file_.reset();
  source_ = Source();
  entry_count_ = 0;
  current_index_ = -1;
  cached_index_ = -1;
  password_.reset();
  return ZR_OK;
}

ZRESULT CZipReader::MoveTo(int index) {
  unzFile archive = Archive(archive_);
  if (current_index_ < 0 || index < current_index_) {
    if (unzGoToFirstFile(archive) != UNZ_OK) {
      current_index_ = -1;
      return ZR_CORRUPT;
    }
    current_index_ = 0;
  }
  while (current_index_ < index) {
    if (unzGoToNextFile(archive) != UNZ_OK) {
      current_index_ = -1;
      return ZR_CORRUPT;
    }
    ++current_index_;
  }
  return ZR_OK;
}

ZRESULT CZipReader::Get(int index, ZIPENTRY* entry) {
  if (!archive_ || !entry) return ZR_ARGS;
  if (index == -1) {
    std::memset(entry, 0, sizeof(*entry));
    entry->index = entry_count_;
    return ZR_OK;
  }
  if (index < 0 || index >= entry_count_) return ZR_ARGS;
  if (index == cached_index_) {
    *entry = cached_entry_;
    return ZR_OK;
  }
  ZIPENTRY fresh;
  bool complete = false;
  const ZRESULT result = ReadDescription(index, &fresh, &complete);
  if (result != ZR_OK) return result;
  if (complete) {
    cached_entry_ = fresh;
    cached_index_ = index;
  }
  *entry = fresh;
  return ZR_OK;
}

ZRESULT CZipReader::ReadDescription(int index, ZIPENTRY* entry, bool* complete) {
  *complete = false;
  const ZRESULT moved = MoveTo(index);
  if (moved != ZR_OK) return moved;
  unzFile archive = Archive(archive_);
  unz_file_info64 info{};
  char name[kMaxNameBytes + 1] = {};
  if (unzGetCurrentFileInfo64(archive, &info, name, kMaxNameBytes, nullptr, 0, nullptr, 0) !=
      UNZ_OK) {
    return ZR_CORRUPT;
  }
  name[std::min<uLong>(info.size_filename, kMaxNameBytes)] = '\0';

  std::memset(entry, 0, sizeof(*entry));
  entry->index = index;
  std::wstring wide;
  if (const int n = MultiByteToWideChar(CP_UTF8, 0, name, -1, nullptr, 0); n > 1) {
    wide.resize(n);
    MultiByteToWideChar(CP_UTF8, 0, name, -1, &wide[0], n);
    wide.resize(n - 1);
  }
  const std::wstring safe = SanitizeZipEntryName(wide);
  const size_t kept = std::min<size_t>(safe.size(), MAX_PATH - 1);
  std::wmemcpy(entry->name, safe.data(), kept);
  entry->name[kept] = L'\0';

  entry->attr = EntryAttributes(info);
  // A name ending in a slash is a folder whatever host wrote it.
  if (info.size_filename > 0 && info.size_filename <= kMaxNameBytes &&
      IsZipPathSlash(static_cast<wchar_t>(name[info.size_filename - 1]))) {
    entry->attr |= FILE_ATTRIBUTE_DIRECTORY;
  }
  entry->comp_size = info.compressed_size;
  entry->unc_size = info.uncompressed_size;

  FILETIME local{}, utc{};
  if (DosDateTimeToFileTime(HIWORD(info.dosDate), LOWORD(info.dosDate), &local) &&
      LocalFileTimeToFileTime(&local, &utc)) {
    entry->atime = entry->ctime = entry->mtime = utc;
  }

  if (info.size_file_extra > 0) {
    std::vector<BYTE> extra(info.size_file_extra);
    if (unzGetCurrentFileInfo64(archive, nullptr, nullptr, 0, extra.data(),
                                static_cast<uLong>(extra.size()), nullptr, 0) == UNZ_OK) {
      ApplyExtendedTimestamp(extra.data(), extra.size(), entry);
    }
  }
  // The local header's copy of the timestamp carries all three times. Reading it means opening the
  // entry, which would end an extraction in progress: then the central copy has to do, uncached.
  if (entry_) return ZR_OK;
  *complete = true;
  if (unzOpenCurrentFile2(archive, nullptr, nullptr, 1) == UNZ_OK) {
    const int size = unzGetLocalExtrafield(archive, nullptr, 0);
    if (size > 0) {
      std::vector<BYTE> extra(static_cast<size_t>(size));
      const int got = unzGetLocalExtrafield(archive, extra.data(), static_cast<unsigned>(size));
      if (got > 0) ApplyExtendedTimestamp(extra.data(), static_cast<size_t>(got), entry);
    }
    unzCloseCurrentFile(archive);
  }
  return ZR_OK;
}

ZRESULT CZipReader::Find(const wchar_t* name, bool ignore_case, int* index, ZIPENTRY* entry) {
  if (index) *index = -1;
  if (!archive_ || !name) return ZR_ARGS;
  char narrow[kMaxLookupNameBytes + 1] = {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, name, -1, narrow, kMaxLookupNameBytes + 1, nullptr,
                                    nullptr);
  if (n <= 1 || n > kMaxLookupNameBytes + 1) return ZR_NOTFOUND;
  unzFile archive = Archive(archive_);
  if (unzLocateFile(archive, narrow, ignore_case ? 2 : 1) != UNZ_OK) {
    // A failed search leaves the layer's position unknown.
    current_index_ = -1;
    return ZR_NOTFOUND;
  }
  unz_file_pos position{};
  if (unzGetFilePos(archive, &position) != UNZ_OK ||
      position.num_of_file >= static_cast<uLong>(entry_count_)) {
    current_index_ = -1;
    return ZR_NOTFOUND;
  }
  current_index_ = static_cast<int>(position.num_of_file);
  ZIPENTRY found;
  const ZRESULT result = Get(current_index_, &found);
  if (result != ZR_OK) return result;
  if (index) *index = found.index;
  if (entry) *entry = found;
  return ZR_OK;
}

}  // namespace Vellum
