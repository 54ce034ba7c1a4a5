#include "vellum/core/zip_reader.h"

#include <minizip/unzip.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <vector>

namespace Vellum {

namespace {

constexpr unsigned int kPieceSize = 16 * 1024;
constexpr int kMaxNameBytes = 260;
// Larger lookup names cannot be stored in an archive entry the unzip layer can match.
constexpr int kMaxLookupNameBytes = 259;

std::atomic<ZRESULT> g_last_result{ZR_OK};

ZRESULT Keep(ZRESULT result) {
  g_last_result = result;
  return result;
}

unzFile Archive(void* archive) { return static_cast<unzFile>(archive); }

// ---- Input functions of the unzip layer over a Source --------------------------------------------

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

// ---- Traditional PKWARE decryption ---------------------------------------------------------------

class PkwareKeys {
 public:
  explicit PkwareKeys(const char* password) {
    for (const char* p = password; *p; ++p) Update(static_cast<BYTE>(*p));
  }
  BYTE Decrypt(BYTE c) {
    const BYTE plain = c ^ StreamByte();
    Update(plain);
    return plain;
  }

 private:
  static uint32_t Crc(uint32_t crc, BYTE b) {
    static const z_crc_t* table = get_crc_table();
    return table[(crc ^ b) & 0xFF] ^ (crc >> 8);
  }
  BYTE StreamByte() const {
    const uint32_t t = (keys_[2] | 2) & 0xFFFF;
    return static_cast<BYTE>((t * (t ^ 1)) >> 8);
  }
  void Update(BYTE c) {
    keys_[0] = Crc(keys_[0], c);
    keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
    keys_[2] = Crc(keys_[2], static_cast<BYTE>(keys_[1] >> 24));
  }
  uint32_t keys_[3] = {0x12345678u, 0x23456789u, 0x34567890u};
};

// ---- Entry descriptions --------------------------------------------------------------------------

bool StartsWithDrive(const std::wstring& s) { return s.size() >= 2 && s[1] == L':'; }
bool IsSlash(wchar_t c) { return c == L'\\' || c == L'/'; }

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

bool IsAbsolutePath(const wchar_t* path) {
  return path[0] && (IsSlash(path[0]) || path[1] == L':');
}

// Creates every missing folder of `path` up to (not including) the character at `end`.
void CreateFolders(const std::wstring& path, size_t end) {
  for (size_t i = 0; i < end && i < path.size(); ++i) {
    if (!IsSlash(path[i]) || i == 0 || path[i - 1] == L':') continue;
    const std::wstring folder = path.substr(0, i);
    if (GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) {
      CreateDirectoryW(folder.c_str(), nullptr);
    }
  }
}

}  // namespace

std::wstring SanitizeZipEntryName(const std::wstring& stored) {
  static const wchar_t* const kSteps[] = {L"\\..\\", L"\\../", L"/../", L"/..\\"};
  std::wstring name = stored;
  for (bool changed = true; changed;) {
    changed = false;
    if (StartsWithDrive(name)) {
      name.erase(0, 2);
      changed = true;
    }
    if (!name.empty() && IsSlash(name[0])) {
      name.erase(0, 1);
      changed = true;
    }
    size_t cut = std::wstring::npos;
    for (const wchar_t* step : kSteps) {
      const size_t at = name.rfind(step);
      if (at != std::wstring::npos && (cut == std::wstring::npos || at + 4 > cut)) cut = at + 4;
    }
    if (cut != std::wstring::npos) {
      name.erase(0, cut);
      changed = true;
    }
    // A leading step up, or one that ends the name, would still climb out of the folder.
    if (name.size() >= 3 && name[0] == L'.' && name[1] == L'.' && IsSlash(name[2])) {
      name.erase(0, 3);
      changed = true;
    }
    if (name == L".." || (name.size() >= 3 && name.compare(name.size() - 2, 2, L"..") == 0 &&
                          IsSlash(name[name.size() - 3]))) {
      name.clear();
      changed = true;
    }
  }
  return name;
}

// ---- The entry open for extraction -----------------------------------------------------------------

struct CZipReader::OpenEntry {
  int index = -1;
  int method = 0;
  bool encrypted = false;
  std::unique_ptr<PkwareKeys> keys;
  z_stream inflater{};
  bool inflater_ready = false;
  bool input_done = false;
  ULONGLONG remaining = 0;  // uncompressed bytes still expected
  uLong crc = 0;
  uLong expected_crc = 0;
  BYTE input[kPieceSize];

  ~OpenEntry() {
    if (inflater_ready) inflateEnd(&inflater);
  }
};

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
  HANDLE file = CreateFileW(file_name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return ZR_NOFILE;
  source_ = Source();
  source_.kind = Source::kFileName;
  source_.file = file;
  source_.owns_file = true;
  source_.can_seek = true;
  const ZRESULT result = OpenSource(password);
  if (result != ZR_OK) {
    CloseHandle(file);
    source_ = Source();
  }
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
  zlib_filefunc64_def functions{};
  functions.zopen64_file = SourceOpen;
  functions.zread_file = SourceRead;
  functions.zwrite_file = SourceWrite;
  functions.ztell64_file = SourceTell;
  functions.zseek64_file = SourceSeek;
  functions.zclose_file = SourceClose;
  functions.zerror_file = SourceError;
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
  if (!base_folder_.empty() && !IsSlash(base_folder_.back())) base_folder_ += L'\\';
  return ZR_OK;
}

ZRESULT CZipReader::Close() {
  if (!archive_) return ZR_OK;
  CloseExtraction();
  unzClose(Archive(archive_));
  archive_ = nullptr;
  if (source_.owns_file && source_.file != INVALID_HANDLE_VALUE) CloseHandle(source_.file);
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
      IsSlash(static_cast<wchar_t>(name[info.size_filename - 1]))) {
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
  if (!buffer_) buffer_.reset(new (std::nothrow) BYTE[kPieceSize]);
  if (!buffer_) {
    CloseExtraction();
    return ZR_READ;
  }
  for (;;) {
    unsigned int produced = 0;
    bool finished = false;
    const ZRESULT result = ReadOpenEntry(buffer_.get(), kPieceSize, &produced, &finished);
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
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return ZR_NOFILE;
  const ZRESULT result = UnzipToHandle(index, file, entry);
  if (result == ZR_OK) SetFileTime(file, &entry.ctime, &entry.atime, &entry.mtime);
  CloseHandle(file);
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

// ---- Handle front end ------------------------------------------------------------------------------

namespace {

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
