#pragma once

// Reads skin archives: a front end over the unzip layer that opens an archive held in memory or in a
// file, lists and finds entries, and extracts an entry into memory (in pieces), into an open file
// handle or into a named file. Entries may carry the traditional PKWARE encryption.
//
// Every entry point returns one of the ZR_ codes below and also stores it as the process-wide last
// result. The reader is used from the UI thread only.

#include <windows.h>

#include <memory>
#include <string>

#include "common/base/scoped_handle.h"
#include "vellum/core/resources/zip/zip_entry_name.h"

namespace Vellum {

using ZRESULT = DWORD;

constexpr ZRESULT ZR_OK = 0x00000000;
constexpr ZRESULT ZR_NOFILE = 0x00000200;       // file not created or opened, or archive not opened
constexpr ZRESULT ZR_WRITE = 0x00000400;        // writing the extracted data failed
constexpr ZRESULT ZR_NOTFOUND = 0x00000500;     // no entry of that name
constexpr ZRESULT ZR_MORE = 0x00000600;         // memory extraction: more data remains
constexpr ZRESULT ZR_CORRUPT = 0x00000700;      // an entry header of the archive is damaged
constexpr ZRESULT ZR_READ = 0x00000800;         // reading the archive failed
constexpr ZRESULT ZR_PASSWORD = 0x00001000;     // the password does not open the entry
constexpr ZRESULT ZR_ARGS = 0x00010000;         // null handle, index out of range, unknown kind
constexpr ZRESULT ZR_NOTUNZIP = 0x00080000;     // the handle is not an unzip archive
constexpr ZRESULT ZR_ALREADYOPEN = 0x01000000;  // the reader already holds an archive
constexpr ZRESULT ZR_SEEK = 0x02000000;         // the given handle cannot seek
constexpr ZRESULT ZR_FLATE = 0x05000000;        // the entry's data is damaged (inflate, size or CRC)

// Where UnzipItem puts an entry's data.
enum ZipTargetKind { ZIP_HANDLE = 1, ZIP_FILENAME = 2, ZIP_MEMORY = 3 };

struct ZIPENTRY {
  int index;
  WCHAR name[MAX_PATH];  // sanitised: never leads outside the extraction folder
  DWORD attr;            // FILE_ATTRIBUTE_ bits
  FILETIME atime, ctime, mtime;  // UTC
  ULONGLONG comp_size;
  ULONGLONG unc_size;
};

class CZipReader;

// What OpenZip returns. The kind guards against handles of other archive types.
struct TZipHandle {
  DWORD kind;  // kZipHandleUnzip
  CZipReader* reader;
};
using HZIP = TZipHandle*;
constexpr DWORD kZipHandleUnzip = 1;

// The archive in memory must outlive the handle: it is read in place, not copied.
HZIP OpenZip(const void* memory, unsigned int length, const char* password);
HZIP OpenZip(const wchar_t* file_name, const char* password);
ZRESULT FindZipItem(HZIP zip, const wchar_t* name, bool ignore_case, int* index, ZIPENTRY* entry);
// Index -1 describes the archive: the entry count in the index field, everything else zero.
ZRESULT GetZipItem(HZIP zip, int index, ZIPENTRY* entry);
// kind ZIP_MEMORY: target is a buffer of length bytes; ZIP_HANDLE: a writable HANDLE;
// ZIP_FILENAME: a wide path, relative to the folder that was current when the archive was opened.
ZRESULT UnzipItem(HZIP zip, int index, void* target, unsigned int length, ZipTargetKind kind);
ZRESULT CloseZip(HZIP zip);
ZRESULT GetLastZipResult();

class CZipReader {
 public:
  CZipReader();
  ~CZipReader();
  CZipReader(const CZipReader&) = delete;
  CZipReader& operator=(const CZipReader&) = delete;

  ZRESULT OpenMemory(const void* memory, unsigned int length, const char* password);
  ZRESULT OpenFile(const wchar_t* file_name, const char* password);
  // The archive starts at the handle's current position; the handle stays the caller's.
  ZRESULT OpenHandle(HANDLE file, const char* password);
  ZRESULT Get(int index, ZIPENTRY* entry);
  ZRESULT Find(const wchar_t* name, bool ignore_case, int* index, ZIPENTRY* entry);
  ZRESULT Unzip(int index, void* target, unsigned int length, ZipTargetKind kind);
  ZRESULT Close();

  // What the unzip layer reads from.
  struct Source {
    enum Kind { kNone, kHandle, kFileName, kMemory } kind = kNone;
    HANDLE file = INVALID_HANDLE_VALUE;  // owned by the reader only when it opened the file by name
    bool can_seek = false;
    LONGLONG start = 0;
    const BYTE* memory = nullptr;
    ULONGLONG length = 0;
    ULONGLONG position = 0;
  };

 private:
  struct OpenEntry;

  ZRESULT OpenSource(const char* password);
  ZRESULT MoveTo(int index);
  ZRESULT ReadDescription(int index, ZIPENTRY* entry, bool* complete);
  ZRESULT OpenForExtraction(int index);
  void CloseExtraction();
  ZRESULT ReadOpenEntry(BYTE* out, unsigned int length, unsigned int* produced, bool* finished);
  ZRESULT UnzipToMemory(int index, BYTE* buffer, unsigned int length);
  ZRESULT UnzipToHandle(int index, HANDLE file, const ZIPENTRY& entry);
  ZRESULT UnzipToFileName(int index, const wchar_t* target);
  std::wstring ResolveTarget(const wchar_t* target) const;

  void* archive_ = nullptr;  // the unzip layer's unzFile
  int open_index_ = -1;
  ZIPENTRY cached_entry_{};
  int cached_index_ = -1;
  std::unique_ptr<char[]> password_;
  std::unique_ptr<BYTE[]> buffer_;  // 16 KiB extraction buffer, allocated on first use
  std::wstring base_folder_;        // ends with a back slash

  Source source_;
  ScopedHandle owned_file_;  // the file OpenFile opened
  int entry_count_ = 0;
  int current_index_ = -1;  // the unzip layer's current entry
  std::unique_ptr<OpenEntry> entry_;
};

}  // namespace Vellum
