#include "vellum/core/resources/resource_location.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "common/base/scoped_handle.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/xml_markup.h"

namespace Vellum {

namespace {

struct ResourceLocation {
  HINSTANCE instance = nullptr;
  HINSTANCE resource_module = nullptr;
  CUIString resource_path;
  CUIString zip_name;
  CUIString zip_password;
  std::unique_ptr<BYTE[]> zip_bytes;  // kept for the life of the process: the open archive reads it
  unsigned int zip_size = 0;
  HZIP zip = nullptr;
  bool cached_zip = false;
};

ResourceLocation& Location() {
  static ResourceLocation* location = new ResourceLocation;  // never destroyed, like the archive
  return *location;
}

const wchar_t kMemoryZipName[] = L"membuffer";

std::string ToAnsi(const CUIString& text) {
  const int n = WideCharToMultiByte(CP_ACP, 0, text.GetData(), -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return std::string();
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.GetData(), -1, &out[0], n, nullptr, nullptr);
  out.resize(static_cast<size_t>(n - 1));
  return out;
}

bool Allocate(std::vector<BYTE>* bytes, size_t size) {
  try {
    bytes->assign(size, 0);
    return true;
  } catch (const std::bad_alloc&) {
    bytes->clear();
    return false;
  }
}

// Reads one entry of an open archive. The declared size is checked before anything is allocated.
ResourceReadResult ReadFromZip(HZIP zip, const wchar_t* name, size_t max_size,
                               std::vector<BYTE>* bytes, ULONGLONG* declared_size) {
  *declared_size = 0;
  std::wstring entry_name(name);
  for (wchar_t& c : entry_name) {
    if (c == L'\\') c = L'/';
  }
  int index = -1;
  ZIPENTRY entry;
  if (FindZipItem(zip, entry_name.c_str(), true, &index, &entry) != ZR_OK) {
    return ResourceReadResult::kNotInZip;
  }
  *declared_size = entry.unc_size;
  if (entry.unc_size == 0) return ResourceReadResult::kEmpty;
  if (entry.unc_size > max_size) return ResourceReadResult::kTooLarge;
  if (!Allocate(bytes, static_cast<size_t>(entry.unc_size))) return ResourceReadResult::kTooLarge;
  const ZRESULT result =
      UnzipItem(zip, index, bytes->data(), static_cast<unsigned int>(bytes->size()), ZIP_MEMORY);
  if (result != ZR_OK && result != ZR_MORE) {
    bytes->clear();
    return ResourceReadResult::kCannotUnzip;
  }
  return ResourceReadResult::kOk;
}

// The archive the lookup rule reads: the cached one, or one opened from the resource folder for a
// single read (closed again by the caller through `opened`).
HZIP ZipForOneRead(bool* opened) {
  const ResourceLocation& location = Location();
  *opened = false;
  if (location.cached_zip) return location.zip;
  const std::wstring zip_path =
      std::wstring(location.resource_path.GetData()) + location.zip_name.GetData();
  const std::string ansi = ToAnsi(location.zip_password);
  HZIP zip = OpenZip(zip_path.c_str(), location.zip_password.IsEmpty() ? nullptr : ansi.c_str());
  *opened = zip != nullptr;
  return zip;
}

ResourceReadResult ReadFromResourceZip(const wchar_t* name, size_t max_size,
                                       std::vector<BYTE>* bytes, ULONGLONG* declared_size) {
  *declared_size = 0;
  bool opened = false;
  HZIP zip = ZipForOneRead(&opened);
  if (!zip) return ResourceReadResult::kCannotOpenZip;
  const ResourceReadResult result = ReadFromZip(zip, name, max_size, bytes, declared_size);
  if (opened) CloseZip(zip);
  return result;
}

// How the XML loader reaches skin files.
class ResourceLocationXmlSource : public IXmlFileSource {
 public:
  CUIString GetResourcePath() override { return Location().resource_path; }
  bool UsesResourceZip() override { return !Location().zip_name.IsEmpty(); }
  ZipStatus ReadZipEntry(const wchar_t* entry_name, DWORD max_size, DWORD* size,
                         std::vector<BYTE>* bytes) override {
    ULONGLONG declared = 0;
    const ResourceReadResult result = ReadFromResourceZip(entry_name, max_size, bytes, &declared);
    *size = declared > MAXDWORD ? MAXDWORD : static_cast<DWORD>(declared);
    switch (result) {
      case ResourceReadResult::kCannotOpenZip:
        return kZipNoArchive;
      case ResourceReadResult::kNotInZip:
        return kZipNotFound;
      case ResourceReadResult::kCannotUnzip:
        return kZipUnzipFailed;
      default:
        // Empty and oversized entries are told apart by the size.
        return kZipOk;
    }
  }
};

void InstallXmlSource() {
  static ResourceLocationXmlSource source;
  SetXmlFileSource(&source);
}

// Skin documents follow the resource location from the start of the process.
const bool g_xml_source_installed = (InstallXmlSource(), true);

}  // namespace

void CPaintManagerUI::SetInstance(HINSTANCE instance) { Location().instance = instance; }

HINSTANCE CPaintManagerUI::GetInstance() { return Location().instance; }

HINSTANCE CPaintManagerUI::GetResourceModule() {
  return Location().resource_module ? Location().resource_module : Location().instance;
}

const CUIString& CPaintManagerUI::GetResourcePath() { return Location().resource_path; }

const CUIString& CPaintManagerUI::GetResourceZip() { return Location().zip_name; }

HZIP CPaintManagerUI::GetResourceZipHandle() { return Location().zip; }

const CUIString& CPaintManagerUI::GetResourceZipPassword() { return Location().zip_password; }

bool CPaintManagerUI::IsCachedResourceZip() { return Location().cached_zip; }

void CPaintManagerUI::SetResourceZip(const void* bytes, unsigned int size, const wchar_t* password) {
  ResourceLocation& location = Location();
  if (location.zip_name == kMemoryZipName) return;
  if (location.cached_zip && location.zip) {
    CloseZip(location.zip);
    location.zip = nullptr;
  }
  location.zip_name = kMemoryZipName;
  location.zip_bytes.reset(new (std::nothrow) BYTE[size > 0 ? size : 1]);
  location.zip_size = location.zip_bytes && bytes ? size : 0;
  if (location.zip_size > 0) std::memcpy(location.zip_bytes.get(), bytes, size);
  location.cached_zip = true;
  location.zip_password = password;
  const std::string ansi = ToAnsi(location.zip_password);
  InstallXmlSource();
  location.zip = location.zip_bytes ? OpenZip(location.zip_bytes.get(), location.zip_size,
                                              password ? ansi.c_str() : nullptr)
                                    : nullptr;
}

ResourceReadResult ReadWholeFile(const wchar_t* path, size_t max_size, std::vector<BYTE>* bytes) {
  bytes->clear();
  const ScopedHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return ResourceReadResult::kCannotOpenFile;
  LARGE_INTEGER size{};
  ResourceReadResult result = ResourceReadResult::kOk;
  if (!GetFileSizeEx(file.get(), &size)) {
    result = ResourceReadResult::kCannotReadFile;
  } else if (size.QuadPart == 0) {
    result = ResourceReadResult::kEmpty;
  } else if (static_cast<ULONGLONG>(size.QuadPart) > max_size) {
    result = ResourceReadResult::kTooLarge;
  } else if (!Allocate(bytes, static_cast<size_t>(size.QuadPart))) {
    result = ResourceReadResult::kTooLarge;
  } else {
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr) ||
        read != bytes->size()) {
      bytes->clear();
      result = ResourceReadResult::kCannotReadFile;
    }
  }
  return result;
}

ResourceReadResult ReadResourceFile(const wchar_t* name, size_t max_size, std::vector<BYTE>* bytes) {
  bytes->clear();
  if (!name) return ResourceReadResult::kCannotOpenFile;
  const ResourceLocation& location = Location();
  if (location.zip_name.IsEmpty()) {
    const std::wstring path = std::wstring(location.resource_path.GetData()) + name;
    return ReadWholeFile(path.c_str(), max_size, bytes);
  }
  ULONGLONG declared = 0;
  return ReadFromResourceZip(name, max_size, bytes, &declared);
}

}  // namespace Vellum
