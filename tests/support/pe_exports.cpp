#include "tests/support/pe_exports.h"

#include <windows.h>

#include <cstring>

#include "tests/support/test_support.h"

namespace testing_support {

namespace {

template <typename T>
bool At(const std::string& image, size_t offset, T* out) {
  if (offset > image.size() || image.size() - offset < sizeof(T)) return false;
  std::memcpy(out, image.data() + offset, sizeof(T));
  return true;
}

// File offset of a relative virtual address, through the section table.
bool RvaToOffset(const std::string& image, size_t sections, int count, DWORD rva, size_t* offset) {
  for (int i = 0; i < count; ++i) {
    IMAGE_SECTION_HEADER s;
    if (!At(image, sections + i * sizeof(s), &s)) return false;
    const DWORD size = s.Misc.VirtualSize > s.SizeOfRawData ? s.Misc.VirtualSize : s.SizeOfRawData;
    if (rva >= s.VirtualAddress && rva < s.VirtualAddress + size) {
      *offset = rva - s.VirtualAddress + s.PointerToRawData;
      return true;
    }
  }
  return false;
}

}  // namespace

bool ReadPeExportNames(const std::wstring& path, std::vector<std::string>* names, WORD* machine) {
  const std::string image = ReadFileBytes(path);
  IMAGE_DOS_HEADER dos;
  DWORD signature = 0;
  IMAGE_FILE_HEADER file;
  WORD magic = 0;
  if (!At(image, 0, &dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) return false;
  const size_t file_at = dos.e_lfanew + sizeof(DWORD);
  const size_t optional_at = file_at + sizeof(IMAGE_FILE_HEADER);
  if (!At(image, dos.e_lfanew, &signature) || signature != IMAGE_NT_SIGNATURE || !At(image, file_at, &file) ||
      !At(image, optional_at, &magic)) {
    return false;
  }
  // The two optional header forms differ only in where the data directories start.
  IMAGE_DATA_DIRECTORY dir;
  size_t directories_at = 0;
  if (magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
    directories_at = optional_at + offsetof(IMAGE_OPTIONAL_HEADER32, DataDirectory);
  } else if (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
    directories_at = optional_at + offsetof(IMAGE_OPTIONAL_HEADER64, DataDirectory);
  } else {
    return false;
  }
  if (!At(image, directories_at + IMAGE_DIRECTORY_ENTRY_EXPORT * sizeof(dir), &dir)) return false;
  if (machine != nullptr) *machine = file.Machine;
  const size_t sections = optional_at + file.SizeOfOptionalHeader;
  const int count = file.NumberOfSections;
  size_t exports_at = 0;
  IMAGE_EXPORT_DIRECTORY exports;
  if (dir.VirtualAddress == 0 || !RvaToOffset(image, sections, count, dir.VirtualAddress, &exports_at) ||
      !At(image, exports_at, &exports)) {
    return false;
  }
  size_t table = 0;
  if (!RvaToOffset(image, sections, count, exports.AddressOfNames, &table)) return false;
  names->clear();
  for (DWORD i = 0; i < exports.NumberOfNames; ++i) {
    DWORD rva = 0;
    size_t at = 0;
    if (!At(image, table + i * sizeof(DWORD), &rva) || !RvaToOffset(image, sections, count, rva, &at)) return false;
    const size_t end = image.find('\0', at);
    if (end == std::string::npos) return false;
    names->push_back(image.substr(at, end - at));
  }
  return true;
}


}  // namespace testing_support
