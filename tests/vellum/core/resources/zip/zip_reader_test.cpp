#include "vellum/core/resources/zip/zip_reader.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "common/base/scoped_handle.h"
#include "tests/support/guarded_bytes.h"
#include "tests/support/test_support.h"
#include "tests/vellum/support/zip_builder.h"

namespace {

using namespace Vellum;
using testing_support::BuildZip;
using testing_support::GuardedBytes;
using testing_support::ZipFixtureEntry;

// Large contents are compared without printing them.
#define EXPECT_SAME_BYTES(a, b) EXPECT_TRUE((a) == (b)) << "sizes " << (a).size() << " and " << (b).size()

std::string Pattern(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>("skin-data:"[i % 10] + (i / 997) % 7);
  return s;
}

ZipFixtureEntry Entry(const std::string& name, const std::string& data, bool deflate = true) {
  ZipFixtureEntry e;
  e.name = name;
  e.data = data;
  e.deflate = deflate;
  return e;
}

const bool kFaultsReported = (testing_support::ReportFaultsAtOnce(), true);

// Owns an open archive and the bytes it reads, which end at a guard page.
struct OpenArchive {
  explicit OpenArchive(const std::string& zip_bytes, const char* password = nullptr)
      : bytes(zip_bytes),
        zip(OpenZip(bytes.data(), static_cast<unsigned>(zip_bytes.size()), password)) {}
  ~OpenArchive() {
    if (zip) CloseZip(zip);
  }
  GuardedBytes bytes;
  HZIP zip;
};

// Reads an entry whole through memory extraction in pieces of `piece` bytes.
ZRESULT ReadAll(HZIP zip, int index, std::string* out, unsigned piece = 4096, int* calls = nullptr) {
  out->clear();
  std::vector<char> buffer(piece);
  for (int n = 1;; ++n) {
    ZIPENTRY before;
    GetZipItem(zip, index, &before);
    const ZRESULT r = UnzipItem(zip, index, buffer.data(), piece, ZIP_MEMORY);
    if (r != ZR_OK && r != ZR_MORE) return r;
    const size_t have = out->size();
    const size_t left = static_cast<size_t>(before.unc_size) - have;
    out->append(buffer.data(), r == ZR_MORE ? piece : std::min<size_t>(left, piece));
    if (calls) *calls = n;
    if (r == ZR_OK) return r;
    if (n > 100000) return ZR_ARGS;
  }
}

TEST(ZipReader, ListsAndExtractsStoredAndDeflatedEntries) {
  const std::string big = Pattern(100000);
  OpenArchive a(BuildZip({Entry("skin/main.xml", "<Window/>", false), Entry("img/bg.png", big),
                          Entry("empty.txt", "", true), Entry("dir/", "", false)}));
  ASSERT_NE(a.zip, nullptr);
  ZIPENTRY archive;
  ASSERT_EQ(GetZipItem(a.zip, -1, &archive), ZR_OK);
  EXPECT_EQ(archive.index, 4);
  EXPECT_EQ(archive.unc_size, 0u);

  ZIPENTRY e;
  ASSERT_EQ(GetZipItem(a.zip, 1, &e), ZR_OK);
  EXPECT_STREQ(e.name, L"img/bg.png");
  EXPECT_EQ(e.unc_size, big.size());
  EXPECT_LT(e.comp_size, big.size());
  EXPECT_EQ(e.attr, static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
  ASSERT_EQ(GetZipItem(a.zip, 3, &e), ZR_OK);
  EXPECT_TRUE(e.attr & FILE_ATTRIBUTE_DIRECTORY);

  const std::string expected[] = {"<Window/>", big, "", ""};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    std::string got;
    EXPECT_EQ(ReadAll(a.zip, i, &got, 1 << 20), ZR_OK);
    EXPECT_SAME_BYTES(got, expected[i]);
  }
  // Going backwards rewinds to the start of the directory.
  ASSERT_EQ(GetZipItem(a.zip, 0, &e), ZR_OK);
  EXPECT_STREQ(e.name, L"skin/main.xml");
}

TEST(ZipReader, MemoryExtractionInPiecesAndAgainFromTheStart) {
  const std::string data = Pattern(40000);
  for (bool deflate : {false, true}) {
    SCOPED_TRACE(deflate ? "deflated" : "stored");
    OpenArchive a(BuildZip({Entry("a.bin", data, deflate), Entry("b.txt", "bee", deflate)}));
    ASSERT_NE(a.zip, nullptr);
    std::string got;
    int calls = 0;
    ASSERT_EQ(ReadAll(a.zip, 0, &got, 1000, &calls), ZR_OK);
    EXPECT_SAME_BYTES(got, data);
    EXPECT_EQ(calls, 40);  // 39 answers of "more", then the last piece
    // A buffer of exactly the entry's size reaches the end in one call, and the entry is closed, so
    // the next whole read starts again from the first byte.
    std::string whole(data.size(), '\0');
    for (int round = 0; round < 2; ++round) {
      ASSERT_EQ(UnzipItem(a.zip, 0, &whole[0], static_cast<unsigned>(whole.size()), ZIP_MEMORY),
                ZR_OK);
      EXPECT_SAME_BYTES(whole, data);
    }
    // The same index continues where the last piece ended; another index closes the entry, and the
    // next read of it starts from its beginning.
    std::vector<char> small(100);
    ASSERT_EQ(UnzipItem(a.zip, 0, small.data(), 100, ZIP_MEMORY), ZR_MORE);
    std::string rest(data.size() - 100, '\0');
    ASSERT_EQ(UnzipItem(a.zip, 0, &rest[0], static_cast<unsigned>(rest.size()), ZIP_MEMORY), ZR_OK);
    EXPECT_SAME_BYTES(std::string(small.data(), 100) + rest, data);
    ASSERT_EQ(UnzipItem(a.zip, 0, small.data(), 100, ZIP_MEMORY), ZR_MORE);
    char bee[3];
    ASSERT_EQ(UnzipItem(a.zip, 1, bee, 3, ZIP_MEMORY), ZR_OK);
    EXPECT_EQ(std::string(bee, 3), "bee");
    ASSERT_EQ(ReadAll(a.zip, 0, &got, 1 << 16), ZR_OK);
    EXPECT_SAME_BYTES(got, data);
  }
}

TEST(ZipReader, DescriptionsDuringAnExtractionDoNotDisturbIt) {
  const std::string data = Pattern(30000);
  OpenArchive a(BuildZip({Entry("one", data), Entry("two", "second")}));
  ASSERT_NE(a.zip, nullptr);
  std::string got(10000, '\0');
  ASSERT_EQ(UnzipItem(a.zip, 0, &got[0], 10000, ZIP_MEMORY), ZR_MORE);
  ZIPENTRY e;
  int index = -1;
  ASSERT_EQ(GetZipItem(a.zip, 1, &e), ZR_OK);
  ASSERT_EQ(FindZipItem(a.zip, L"two", false, &index, &e), ZR_OK);
  std::string rest(20000, '\0');
  ASSERT_EQ(UnzipItem(a.zip, 0, &rest[0], 20000, ZIP_MEMORY), ZR_OK);
  EXPECT_SAME_BYTES(got + rest, data);
}

TEST(ZipReader, FindsEntriesByName) {
  OpenArchive a(BuildZip({Entry("Skin/Main.XML", "m"), Entry("img/a.png", "p")}));
  ASSERT_NE(a.zip, nullptr);
  struct Case {
    const wchar_t* name;
    bool ignore_case;
    ZRESULT result;
    int index;
  } cases[] = {
      {L"img/a.png", false, ZR_OK, 1},
      {L"skin/main.xml", true, ZR_OK, 0},
      {L"skin/main.xml", false, ZR_NOTFOUND, -1},
      {L"img\\a.png", true, ZR_NOTFOUND, -1},  // separators are the caller's business
      {L"missing", true, ZR_NOTFOUND, -1},
      {L"", true, ZR_NOTFOUND, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
    int index = 42;
    ZIPENTRY e{};
    EXPECT_EQ(FindZipItem(a.zip, c.name, c.ignore_case, &index, &e), c.result);
    EXPECT_EQ(index, c.index);
    EXPECT_EQ(GetLastZipResult(), c.result);
    if (c.result == ZR_OK) {
      EXPECT_EQ(e.index, c.index);
    }
  }
  // A name longer than an entry name can be is not found, and nothing overruns.
  const std::wstring long_name(400, L'x');
  int index = 0;
  EXPECT_EQ(FindZipItem(a.zip, long_name.c_str(), true, &index, nullptr), ZR_NOTFOUND);
  EXPECT_EQ(index, -1);
}

TEST(ZipReader, EntryNamesNeverLeaveTheExtractionFolder) {
  const struct {
    const wchar_t* stored;
    const wchar_t* listed;
  } cases[] = {
      {L"..\\..\\evil.txt", L"evil.txt"},
      {L"C:\\x\\..\\y.txt", L"y.txt"},
      {L"../up.txt", L"up.txt"},
      {L"a/../../b.txt", L"b.txt"},
      {L"/etc/passwd", L"etc/passwd"},
      {L"\\\\server\\share\\f", L"server\\share\\f"},
      {L"C:/d.txt", L"d.txt"},
      {L"C:..\\e.txt", L"e.txt"},
      {L"dir/..", L""},
      {L"..", L""},
      {L"..name/x..y", L"..name/x..y"},
      {L"img/a.png", L"img/a.png"},
  };
  std::vector<ZipFixtureEntry> specs;
  for (const auto& c : cases) {
    EXPECT_EQ(SanitizeZipEntryName(c.stored), c.listed) << testing::PrintToString(std::wstring(c.stored));
    char narrow[MAX_PATH];
    WideCharToMultiByte(CP_UTF8, 0, c.stored, -1, narrow, MAX_PATH, nullptr, nullptr);
    specs.push_back(Entry(narrow, "x"));
  }
  // Extracted under their listed names, every entry lands inside the base folder.
  testing_support::TempDir dir;
  const std::wstring base = dir.File(L"base");
  ASSERT_TRUE(CreateDirectoryW(base.c_str(), nullptr));
  const std::string zip_bytes = BuildZip(specs);
  const GuardedBytes zip(zip_bytes);
  HZIP z = nullptr;
  {
    // The base folder for relative targets is the current directory at the time the archive is opened.
    testing_support::ScopedCurrentDirectory cd(base);
    z = OpenZip(zip.data(), static_cast<unsigned>(zip_bytes.size()), nullptr);
  }
  ASSERT_NE(z, nullptr);
  for (size_t i = 0; i < specs.size(); ++i) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(cases[i].stored)));
    ZIPENTRY e;
    ASSERT_EQ(GetZipItem(z, static_cast<int>(i), &e), ZR_OK);
    EXPECT_STREQ(e.name, cases[i].listed);
    if (e.name[0] == L'\0') continue;
    ASSERT_EQ(UnzipItem(z, static_cast<int>(i), e.name, 0, ZIP_FILENAME), ZR_OK);
    EXPECT_EQ(testing_support::ReadFileBytes(base + L"\\" + e.name), "x");
  }
  CloseZip(z);
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(dir.File(L"*").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  std::vector<std::wstring> beside_base;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L".." && name != L"base") beside_base.push_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  EXPECT_TRUE(beside_base.empty()) << testing::PrintToString(beside_base);
}

// Stored names longer than a path are cut to fit the entry description, always terminated.
TEST(ZipReader, LongEntryNamesAreCutAndTerminated) {
  std::string accented;
  for (int i = 0; i < 131; ++i) accented += "\xC3\xA9";  // 262 bytes of two-byte characters
  const struct {
    std::string stored;
    std::wstring listed;
  } cases[] = {
      {std::string(259, 'a'), std::wstring(259, L'a')},
      {std::string(260, 'b'), std::wstring(MAX_PATH - 1, L'b')},
      {std::string(400, 'c'), std::wstring(MAX_PATH - 1, L'c')},
      {accented, std::wstring(130, L'\u00e9')},  // cut at 260 bytes, between two characters
  };
  std::vector<ZipFixtureEntry> specs;
  for (const auto& c : cases) specs.push_back(Entry(c.stored, "x"));
  specs.push_back(Entry("after", "y"));
  OpenArchive a(BuildZip(specs));
  ASSERT_NE(a.zip, nullptr);
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    ZIPENTRY e;
    std::memset(&e, 0x55, sizeof(e));
    ASSERT_EQ(GetZipItem(a.zip, static_cast<int>(i), &e), ZR_OK);
    EXPECT_EQ(std::wstring(e.name), cases[i].listed);
  }
  // The directory is still read correctly after the long names.
  ZIPENTRY e;
  ASSERT_EQ(GetZipItem(a.zip, static_cast<int>(std::size(cases)), &e), ZR_OK);
  EXPECT_STREQ(e.name, L"after");
}

TEST(ZipReader, AttributesFollowTheHostThatWroteTheEntry) {
  const struct {
    const char* what;
    uint16_t made_by;
    uint32_t external;
    DWORD attr;
  } cases[] = {
      {"dos read-only archive", 20, 0x21, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE},
      {"ntfs hidden system", (11 << 8) | 20, 0x06, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
      {"vfat folder", (14 << 8) | 20, 0x10, FILE_ATTRIBUTE_DIRECTORY},
      {"unix rw file", (3 << 8) | 30, 0100644u << 16, FILE_ATTRIBUTE_ARCHIVE},
      {"unix read-only file", (3 << 8) | 30, 0100444u << 16,
       FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY},
      {"unix folder", (3 << 8) | 30, 040755u << 16, FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_DIRECTORY},
  };
  std::vector<ZipFixtureEntry> specs;
  for (const auto& c : cases) {
    ZipFixtureEntry e = Entry(c.what, "x");
    e.version_made_by = c.made_by;
    e.external_attr = c.external;
    specs.push_back(e);
  }
  OpenArchive a(BuildZip(specs));
  ASSERT_NE(a.zip, nullptr);
  for (size_t i = 0; i < specs.size(); ++i) {
    SCOPED_TRACE(cases[i].what);
    ZIPENTRY e;
    ASSERT_EQ(GetZipItem(a.zip, static_cast<int>(i), &e), ZR_OK);
    EXPECT_EQ(e.attr, cases[i].attr);
  }
}

ULONGLONG AsUlong(const FILETIME& ft) {
  return (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

TEST(ZipReader, TimesComeFromTheDosStampOrTheExtendedTimestamp) {
  ZipFixtureEntry dos = Entry("dos", "x");
  ZipFixtureEntry ut = Entry("ut", "x");
  ut.local_extra = testing_support::ExtendedTimestamp(7, {1600000000u, 1600000100u, 1600000200u});
  ut.central_extra = testing_support::ExtendedTimestamp(7, {1600000000u});  // central: mtime only
  ZipFixtureEntry broken = Entry("broken-extra", "x");
  broken.local_extra = std::string("\x55\x54\xff\x00\x07\x01\x02", 7);  // block longer than field
  OpenArchive a(BuildZip({dos, ut, broken}));
  ASSERT_NE(a.zip, nullptr);

  ZIPENTRY e;
  ASSERT_EQ(GetZipItem(a.zip, 0, &e), ZR_OK);
  FILETIME local;
  SYSTEMTIME st;
  ASSERT_TRUE(FileTimeToLocalFileTime(&e.mtime, &local));
  ASSERT_TRUE(FileTimeToSystemTime(&local, &st));
  EXPECT_EQ(st.wYear, 2021);
  EXPECT_EQ(st.wMonth, 3);
  EXPECT_EQ(st.wDay, 14);
  EXPECT_EQ(st.wHour, 12);
  EXPECT_EQ(st.wMinute, 34);
  EXPECT_EQ(st.wSecond, 56);
  EXPECT_EQ(AsUlong(e.atime), AsUlong(e.mtime));
  EXPECT_EQ(AsUlong(e.ctime), AsUlong(e.mtime));

  const ULONGLONG epoch = 116444736000000000ULL;
  ASSERT_EQ(GetZipItem(a.zip, 1, &e), ZR_OK);
  EXPECT_EQ(AsUlong(e.mtime), 1600000000ULL * 10000000 + epoch);
  EXPECT_EQ(AsUlong(e.atime), 1600000100ULL * 10000000 + epoch);
  EXPECT_EQ(AsUlong(e.ctime), 1600000200ULL * 10000000 + epoch);

  ZIPENTRY plain;
  ASSERT_EQ(GetZipItem(a.zip, 0, &plain), ZR_OK);
  ASSERT_EQ(GetZipItem(a.zip, 2, &e), ZR_OK);
  EXPECT_EQ(AsUlong(e.mtime), AsUlong(plain.mtime));
}

TEST(ZipReader, EncryptedEntriesNeedTheirPassword) {
  const std::string data = Pattern(20000);
  std::vector<ZipFixtureEntry> specs;
  for (int variant = 0; variant < 3; ++variant) {
    ZipFixtureEntry e = Entry("secret" + std::to_string(variant), data, variant != 1);
    e.password = "pa55";
    e.data_descriptor = variant == 2;
    specs.push_back(e);
  }
  specs.push_back(Entry("open", "plain"));
  const std::string zip = BuildZip(specs);

  struct Case {
    const char* password;
    ZRESULT result;
  } cases[] = {{"pa55", ZR_OK}, {"wrong", ZR_PASSWORD}, {nullptr, ZR_PASSWORD}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.password ? c.password : "(none)");
    OpenArchive a(zip, c.password);
    ASSERT_NE(a.zip, nullptr);
    for (int i = 0; i < 3; ++i) {
      SCOPED_TRACE(i);
      std::string got;
      EXPECT_EQ(ReadAll(a.zip, i, &got, 3000), c.result);
      if (c.result == ZR_OK) {
        EXPECT_SAME_BYTES(got, data);
      }
    }
    std::string plain;
    EXPECT_EQ(ReadAll(a.zip, 3, &plain), ZR_OK);
    EXPECT_EQ(plain, "plain");
  }
}

TEST(ZipReader, ExtractsToFilesAndHandles) {
  testing_support::TempDir dir;
  const std::string data = Pattern(50000);
  ZipFixtureEntry file = Entry("f.bin", data);
  file.local_extra = testing_support::ExtendedTimestamp(1, {1500000000u});
  ZipFixtureEntry folder = Entry("made/", "", false);
  folder.external_attr = FILE_ATTRIBUTE_DIRECTORY;
  ZipFixtureEntry readonly = Entry("ro.txt", "read only", false);
  readonly.external_attr = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE;
  const std::string zip = BuildZip({file, folder, readonly});

  HZIP z = nullptr;
  {
    testing_support::ScopedCurrentDirectory cd(dir.path());
    z = OpenZip(zip.data(), static_cast<unsigned>(zip.size()), nullptr);
  }
  ASSERT_NE(z, nullptr);
  // Relative targets land under the base folder, missing folders included.
  ASSERT_EQ(UnzipItem(z, 0, const_cast<wchar_t*>(L"deep\\er/f.bin"), 0, ZIP_FILENAME), ZR_OK);
  EXPECT_SAME_BYTES(testing_support::ReadFileBytes(dir.File(L"deep\\er\\f.bin")), data);
  WIN32_FILE_ATTRIBUTE_DATA info;
  ASSERT_TRUE(GetFileAttributesExW(dir.File(L"deep\\er\\f.bin").c_str(), GetFileExInfoStandard, &info));
  EXPECT_EQ(AsUlong(info.ftLastWriteTime), 1500000000ULL * 10000000 + 116444736000000000ULL);

  ASSERT_EQ(UnzipItem(z, 1, const_cast<wchar_t*>(L"made\\inner"), 0, ZIP_FILENAME), ZR_OK);
  EXPECT_TRUE(GetFileAttributesW(dir.File(L"made\\inner").c_str()) & FILE_ATTRIBUTE_DIRECTORY);

  const std::wstring absolute = dir.File(L"abs.txt");
  ASSERT_EQ(UnzipItem(z, 2, const_cast<wchar_t*>(absolute.c_str()), 0, ZIP_FILENAME), ZR_OK);
  EXPECT_EQ(testing_support::ReadFileBytes(absolute), "read only");
  EXPECT_TRUE(GetFileAttributesW(absolute.c_str()) & FILE_ATTRIBUTE_READONLY);
  SetFileAttributesW(absolute.c_str(), FILE_ATTRIBUTE_NORMAL);

  // A target that cannot be created.
  EXPECT_EQ(UnzipItem(z, 0, const_cast<wchar_t*>(L"made\\inner"), 0, ZIP_FILENAME), ZR_NOFILE);

  const std::wstring handle_path = dir.File(L"by-handle.bin");
  {
    const ScopedHandle h(CreateFileW(handle_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(h.valid());
    EXPECT_EQ(UnzipItem(z, 0, h.get(), 0, ZIP_HANDLE), ZR_OK);
  }
  EXPECT_SAME_BYTES(testing_support::ReadFileBytes(handle_path), data);
  {
    // A handle that cannot be written to.
    const ScopedHandle h(
        CreateFileW(handle_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(UnzipItem(z, 0, h.get(), 0, ZIP_HANDLE), ZR_WRITE);
  }
  EXPECT_EQ(CloseZip(z), ZR_OK);
}

TEST(ZipReader, OpensArchivesFromFilesAndHandles) {
  testing_support::TempDir dir;
  const std::string zip = BuildZip({Entry("x.txt", "from a file")});
  // Behind a prefix, as an archive appended to another file would be.
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.File(L"a.zip"), "PREFIX" + zip));
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.File(L"plain.zip"), zip));

  HZIP z = OpenZip(dir.File(L"plain.zip").c_str(), nullptr);
  ASSERT_NE(z, nullptr);
  std::string got;
  EXPECT_EQ(ReadAll(z, 0, &got), ZR_OK);
  EXPECT_EQ(got, "from a file");
  CloseZip(z);

  const ScopedHandle h(CreateFileW(dir.File(L"a.zip").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(h.valid());
  SetFilePointer(h.get(), 6, nullptr, FILE_BEGIN);
  {
    CZipReader reader;
    ASSERT_EQ(reader.OpenHandle(h.get(), nullptr), ZR_OK);
    std::string text(11, '\0');
    EXPECT_EQ(reader.Unzip(0, &text[0], 11, ZIP_MEMORY), ZR_OK);
    EXPECT_EQ(text, "from a file");
    EXPECT_EQ(reader.OpenMemory(zip.data(), static_cast<unsigned>(zip.size()), nullptr),
              ZR_ALREADYOPEN);
    EXPECT_EQ(reader.OpenFile(dir.File(L"plain.zip").c_str(), nullptr), ZR_ALREADYOPEN);
  }

  HANDLE read_handle = nullptr, write_handle = nullptr;
  ASSERT_TRUE(CreatePipe(&read_handle, &write_handle, nullptr, 0));
  const ScopedHandle read_end(read_handle), write_end(write_handle);
  CZipReader pipe_reader;
  EXPECT_EQ(pipe_reader.OpenHandle(read_end.get(), nullptr), ZR_SEEK);

  EXPECT_EQ(OpenZip(dir.File(L"missing.zip").c_str(), nullptr), nullptr);
  EXPECT_EQ(GetLastZipResult(), ZR_NOFILE);
}

TEST(ZipReader, RejectsBadHandlesAndArguments) {
  OpenArchive a(BuildZip({Entry("x", "y")}));
  ASSERT_NE(a.zip, nullptr);
  ZIPENTRY e;
  char buf[8];
  EXPECT_EQ(GetZipItem(nullptr, 0, &e), ZR_ARGS);
  EXPECT_EQ(GetLastZipResult(), ZR_ARGS);
  TZipHandle foreign{2, a.zip->reader};
  EXPECT_EQ(GetZipItem(&foreign, 0, &e), ZR_NOTUNZIP);
  EXPECT_EQ(UnzipItem(&foreign, 0, buf, 8, ZIP_MEMORY), ZR_NOTUNZIP);
  EXPECT_EQ(CloseZip(&foreign), ZR_NOTUNZIP);
  EXPECT_EQ(GetZipItem(a.zip, 1, &e), ZR_ARGS);
  EXPECT_EQ(GetZipItem(a.zip, -2, &e), ZR_ARGS);
  EXPECT_EQ(UnzipItem(a.zip, 1, buf, 8, ZIP_MEMORY), ZR_ARGS);
  EXPECT_EQ(UnzipItem(a.zip, 0, buf, 8, static_cast<ZipTargetKind>(9)), ZR_ARGS);
  EXPECT_EQ(UnzipItem(a.zip, 0, nullptr, 8, ZIP_MEMORY), ZR_ARGS);
  EXPECT_EQ(GetZipItem(a.zip, 0, &e), ZR_OK);
  EXPECT_EQ(GetLastZipResult(), ZR_OK);
}

// Archives made to mislead the reader: each fails with a clean code, or lists what it honestly can.
TEST(ZipReader, HostileArchivesFailCleanly) {
  const std::string data = Pattern(5000);
  const std::string good = BuildZip({Entry("a.xml", data), Entry("b.txt", "bee", false)});
  auto with = [](ZipFixtureEntry e, auto change) {
    change(e);
    return BuildZip({e});
  };
  const ZipFixtureEntry base = Entry("a.xml", data);
  std::string bad_deflate = good;
  bad_deflate[30 + 5 + 10] ^= 0x55;  // inside the first entry's deflate stream
  std::string bad_local = good;
  bad_local[0] = 'X';

  struct Case {
    const char* what;
    std::string zip;
    ZRESULT open;  // ZR_OK when the archive opens
    ZRESULT read;  // result of reading entry 0 whole
  } cases[] = {
      {"empty", "", ZR_NOFILE, ZR_OK},
      {"garbage", std::string(3000, '\x37'), ZR_NOFILE, ZR_OK},
      {"end record only", good.substr(good.size() - 22), ZR_NOFILE, ZR_OK},
      {"truncated central directory", good.substr(0, good.size() - 30), ZR_NOFILE, ZR_OK},
      {"central directory cut in the middle",
       good.substr(0, good.size() - 60) + good.substr(good.size() - 22), ZR_NOFILE, ZR_OK},
      {"declared size larger", with(base, [](ZipFixtureEntry& e) { e.declared_size = 6000; }), ZR_OK,
       ZR_FLATE},
      {"declared size smaller", with(base, [](ZipFixtureEntry& e) { e.declared_size = 100; }), ZR_OK,
       ZR_FLATE},
      {"huge declared size", with(base, [](ZipFixtureEntry& e) { e.declared_size = 0xFFFFFFF0; }),
       ZR_OK, ZR_FLATE},
      {"stored size larger than data",
       with(Entry("s", "short", false), [](ZipFixtureEntry& e) { e.declared_size = 4000; }), ZR_OK,
       ZR_FLATE},
      {"compressed size beyond the archive",
       with(base, [](ZipFixtureEntry& e) { e.declared_compressed_size = 0x7FFFFFFF; }), ZR_OK,
       ZR_READ},
      {"wrong crc", with(base, [](ZipFixtureEntry& e) { e.declared_crc = 1234; }), ZR_OK, ZR_FLATE},
      {"damaged deflate stream", bad_deflate, ZR_OK, ZR_FLATE},
      {"damaged local header", bad_local, ZR_OK, ZR_CORRUPT},
      {"huge extra field",
       with(base, [](ZipFixtureEntry& e) { e.central_extra = std::string(60000, '\xff'); }), ZR_OK,
       ZR_CORRUPT},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OpenArchive a(c.zip);
    if (c.open != ZR_OK) {
      EXPECT_EQ(a.zip, nullptr);
      EXPECT_EQ(GetLastZipResult(), c.open);
      continue;
    }
    ASSERT_NE(a.zip, nullptr);
    std::string got;
    std::vector<char> buffer(8192);
    ZRESULT r;
    int guard = 0;
    do {
      r = UnzipItem(a.zip, 0, buffer.data(), 8192, ZIP_MEMORY);
    } while (r == ZR_MORE && ++guard < 1000);
    EXPECT_EQ(r, c.read);
  }
}

// Random damage to a valid archive must never crash the reader or make it read outside the input.
TEST(ZipReader, SurvivesRandomDamage) {
  std::vector<ZipFixtureEntry> specs = {Entry("skin/main.xml", Pattern(3000)),
                                     Entry("img/a.png", Pattern(9000), false),
                                     Entry("../x/evil", "e")};
  specs[2].local_extra = testing_support::ExtendedTimestamp(7, {1, 2, 3});
  specs.push_back(Entry("secret", Pattern(700)));
  specs.back().password = "pw";
  const std::string good = BuildZip(specs);
  std::mt19937 random(20261210);
  int opened = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string bytes = good;
    const int edits = 1 + static_cast<int>(random() % 6);
    for (int k = 0; k < edits; ++k) {
      const size_t at = random() % bytes.size();
      switch (random() % 4) {
        case 0: bytes[at] = static_cast<char>(random()); break;
        case 1: bytes[at] ^= static_cast<char>(1 << (random() % 8)); break;
        case 2: bytes.resize(std::max<size_t>(at, 1)); break;
        default: bytes.insert(at, 1 + random() % 8, static_cast<char>(random())); break;
      }
      if (bytes.empty()) bytes = "x";
    }
    // The damaged bytes end at a guard page, so any read past the end faults.
    GuardedBytes exact(bytes);
    ASSERT_NE(exact.data(), nullptr);
    HZIP z = OpenZip(exact.data(), static_cast<unsigned>(bytes.size()), "pw");
    if (!z) continue;
    ++opened;
    ZIPENTRY info;
    if (GetZipItem(z, -1, &info) == ZR_OK) {
      for (int i = 0; i < std::min(info.index, 16); ++i) {
        ZIPENTRY e;
        if (GetZipItem(z, i, &e) != ZR_OK) continue;
        EXPECT_LT(wcslen(e.name), static_cast<size_t>(MAX_PATH));
        char buffer[4096];
        int guard = 0;
        while (UnzipItem(z, i, buffer, sizeof(buffer), ZIP_MEMORY) == ZR_MORE && ++guard < 64) {
        }
      }
    }
    int index;
    FindZipItem(z, L"skin/main.xml", true, &index, nullptr);
    CloseZip(z);
  }
  EXPECT_GT(opened, 100);  // the damage must leave enough archives openable to exercise reading
}

}  // namespace
