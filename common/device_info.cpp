#include "common/device_info.h"

#include <windows.h>
#include <winioctl.h>

#include <cpuid.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <vector>

#include "common/crypto.h"
#include "common/registry.h"
#include "common/base/scoped_handle.h"
#include "common/scoped_reg_key.h"
#include "common/text.h"

namespace {

constexpr size_t kCpuTextChars = 127;
constexpr DWORD kVolumeExtentsBytes = 104;
constexpr DWORD kMaxVolumeExtents = 3;
constexpr DWORD kMaxDiskNumber = 256;
constexpr DWORD kDescriptorBytes = 10000;
constexpr size_t kDiskTextChars = 1023;
constexpr DWORD kMachineGuidBytes = 520;

bool IsPrintable(unsigned c) { return c >= 0x20 && c <= 0x7E; }
bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsAlnum(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

void AppendRegister(uint32_t value, std::string* out) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// Reads the text as hexadecimal digits, two per byte; false as soon as it is not such text.
bool DecodeHexText(const char* text, size_t length, std::string* bytes) {
  unsigned byte = 0;
  int digits = 0;
  for (size_t i = 0; i < length; ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    unsigned value;
    if (c == ' ') {
      value = 0;
    } else if (c >= '0' && c <= '9') {
      value = static_cast<unsigned>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      value = static_cast<unsigned>(c - 'a' + 10);
    } else {
      return false;
    }
    byte = byte * 16 + value;
    if (++digits == 2) {
      if (byte != 0 && !IsPrintable(byte)) return false;
      bytes->push_back(static_cast<char>(byte));
      byte = 0;
      digits = 0;
    }
  }
  return true;
}

std::string TrimWhiteSpace(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsSpace(text[begin])) ++begin;
  while (end > begin && IsSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::string PlatformSha1(const std::string& bytes) { return Sha1Digest(bytes); }

}  // namespace

uint8_t Crc8Maxim(const char* data, size_t size) {
  uint8_t crc = 0;
  for (size_t i = 0; i < size; ++i) {
    crc ^= static_cast<uint8_t>(data[i]);
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? static_cast<uint8_t>((crc >> 1) ^ 0x8C) : crc >> 1;
  }
  return crc;
}

std::string TrimString(const std::string& text) {
  const size_t begin = text.find_first_not_of(' ');
  if (begin == std::string::npos) return std::string();
  return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

bool MakeDeviceId(DeviceInfo* info) { return MakeDeviceId(info, PlatformSha1); }

bool MakeDeviceId(DeviceInfo* info, Sha1Function sha1) {
  if (info == nullptr || sha1 == nullptr) return false;
  if (info->cpu.empty() && info->disk.empty() && info->machine_guid.empty()) return false;
  const std::string digest = sha1(info->cpu + info->disk + info->machine_guid);
  // Without the whole digest the result would be a short, shared value: no identifier at all.
  if (digest.size() != 20) return false;
  static const char kHex[] = "0123456789abcdef";
  std::string id;
  for (unsigned char byte : digest) {
    id += kHex[byte >> 4];
    id += kHex[byte & 0xF];
  }
  char check[3] = {};
  std::snprintf(check, sizeof(check), "%02x", Crc8Maxim(id.data(), id.size()));
  info->device_id = id + check;
  return true;
}

CpuIdRegisters ReadCpuIdRegisters() {
  CpuIdRegisters r;
  __cpuid(0, r.leaf0[0], r.leaf0[1], r.leaf0[2], r.leaf0[3]);
  if (r.leaf0[0] >= 1) __cpuid(1, r.leaf1[0], r.leaf1[1], r.leaf1[2], r.leaf1[3]);
  __cpuid(0x80000000u, r.extended0[0], r.extended0[1], r.extended0[2], r.extended0[3]);
  if (r.extended0[0] > 0x80000003u) {
    for (uint32_t i = 0; i < 3; ++i) {
      __cpuid(0x80000002u + i, r.brand[i][0], r.brand[i][1], r.brand[i][2], r.brand[i][3]);
    }
  }
  return r;
}

std::string FormatCpuIdString(const CpuIdRegisters& r) {
  std::string vendor;
  AppendRegister(r.leaf0[1], &vendor);  // EBX, EDX, ECX: "Genu" "ineI" "ntel"
  AppendRegister(r.leaf0[3], &vendor);
  AppendRegister(r.leaf0[2], &vendor);
  vendor.resize(std::strlen(vendor.c_str()));
  vendor = TrimString(vendor);
  // Some processors report this misspelling of the vendor; one machine must keep one identifier.
  if (vendor == "GenuineIotel") vendor = "GenuineIntel";

  const uint32_t signature = r.leaf0[0] >= 1 ? r.leaf1[0] : 0;

  std::string brand;
  if (r.extended0[0] > 0x80000003u) {
    for (const auto& leaf : r.brand) {
      for (uint32_t value : leaf) AppendRegister(value, &brand);
    }
    brand.resize(std::strlen(brand.c_str()));
    brand = TrimString(brand);
  }

  char text[512] = {};
  std::snprintf(text, sizeof(text), "%s,%x,%s", vendor.c_str(), static_cast<unsigned>(signature), brand.c_str());
  std::string result(text);
  if (result.size() > kCpuTextChars) result.resize(kCpuTextChars);
  return result;
}

void GetCpuIdString(std::string* out) {
  if (out == nullptr || !out->empty()) return;
  *out = FormatCpuIdString(ReadCpuIdRegisters());
}

bool PickSystemDiskNumber(const void* extents, size_t size, unsigned long* disk) {
  if (extents == nullptr || disk == nullptr || size < offsetof(VOLUME_DISK_EXTENTS, Extents)) return false;
  const auto* volume = static_cast<const VOLUME_DISK_EXTENTS*>(extents);
  if (volume->NumberOfDiskExtents > kMaxVolumeExtents) return false;
  const size_t returned = (size - offsetof(VOLUME_DISK_EXTENTS, Extents)) / sizeof(DISK_EXTENT);
  for (size_t i = 0; i < volume->NumberOfDiskExtents && i < returned; ++i) {
    const DISK_EXTENT& extent = volume->Extents[i];
    if (extent.ExtentLength.QuadPart != 0 && extent.DiskNumber < kMaxDiskNumber) {
      *disk = extent.DiskNumber;
      return true;
    }
  }
  return false;
}

std::string DecodeDiskString(long offset, const void* descriptor, size_t size) {
  if (descriptor == nullptr || offset <= 0 || static_cast<unsigned long>(offset) >= size) return std::string();
  const char* text = static_cast<const char*>(descriptor) + offset;
  // The string ends at its zero or at the end of what was returned.
  const size_t length = strnlen(text, size - static_cast<size_t>(offset));

  std::string decoded;
  if (DecodeHexText(text, length, &decoded)) {
    decoded.resize(std::strlen(decoded.c_str()));
    return TrimWhiteSpace(decoded);
  }
  for (size_t i = 0; i < length; ++i) {
    if (!IsPrintable(static_cast<unsigned char>(text[i]))) return std::string();
  }
  return TrimWhiteSpace(std::string(text, length));
}

bool ParseDiskDescriptor(const void* descriptor, size_t size, std::string* serial, std::string* model) {
  if (descriptor == nullptr || serial == nullptr || model == nullptr) return false;
  if (size < offsetof(STORAGE_DEVICE_DESCRIPTOR, SerialNumberOffset) + sizeof(DWORD)) return false;
  const auto* device = static_cast<const STORAGE_DEVICE_DESCRIPTOR*>(descriptor);
  const std::string product = DecodeDiskString(static_cast<LONG>(device->ProductIdOffset), descriptor, size);
  const std::string number = DecodeDiskString(static_cast<LONG>(device->SerialNumberOffset), descriptor, size);
  if (!serial->empty()) return false;
  const bool looks_like_serial = (!number.empty() && IsAlnum(number[0])) || (number.size() > 19 && IsAlnum(number[19]));
  if (!looks_like_serial) return false;
  *serial = number.substr(0, kDiskTextChars);
  *model = product.substr(0, kDiskTextChars);
  return true;
}

bool GetSystemDiskSerial(std::string* serial, std::string* model) {
  if (serial == nullptr || model == nullptr) return false;
  wchar_t windows[MAX_PATH] = {};
  if (GetWindowsDirectoryW(windows, MAX_PATH) == 0) return false;
  const wchar_t letter = windows[0];
  const wchar_t root[] = {letter, L':', L'\\', L'\0'};
  const UINT type = GetDriveTypeW(root);
  const bool usable = type == DRIVE_FIXED || (type == DRIVE_REMOVABLE && (letter | 0x20) > L'b');
  if (!usable) return false;

  unsigned long disk = 0;
  {
    const wchar_t volume_path[] = {L'\\', L'\\', L'.', L'\\', letter, L':', L'\0'};
    ScopedHandle volume(CreateFileW(volume_path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
    if (!volume.valid()) return false;
    std::vector<BYTE> extents(kVolumeExtentsBytes, 0);
    DWORD returned = 0;
    if (!DeviceIoControl(volume.get(), IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0, extents.data(),
                         kVolumeExtentsBytes, &returned, nullptr)) {
      return false;
    }
    if (!PickSystemDiskNumber(extents.data(), returned, &disk)) return false;
  }

  wchar_t drive_path[64] = {};
  _snwprintf(drive_path, 63, L"\\\\.\\PhysicalDrive%lu", disk);
  ScopedHandle drive(
      CreateFileW(drive_path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!drive.valid()) return false;
  STORAGE_PROPERTY_QUERY query = {};
  query.PropertyId = StorageDeviceProperty;
  query.QueryType = PropertyStandardQuery;
  std::vector<BYTE> descriptor(kDescriptorBytes, 0);
  DWORD returned = 0;
  if (!DeviceIoControl(drive.get(), IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof(query), descriptor.data(),
                       kDescriptorBytes, &returned, nullptr)) {
    return false;
  }
  return ParseDiskDescriptor(descriptor.data(), returned, serial, model);
}

bool GetMachineGuid(std::string* out) {
  if (out == nullptr) return false;
  ScopedRegKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Cryptography", 0, KEY_READ | KEY_WOW64_64KEY,
                    key.put()) != ERROR_SUCCESS) {
    return false;
  }
  std::vector<BYTE> buffer(kMachineGuidBytes, 0);
  DWORD size = kMachineGuidBytes;
  const LONG result = RegQueryValueExW(key.get(), L"MachineGuid", nullptr, nullptr, buffer.data(), &size);
  if (result != ERROR_SUCCESS) return false;
  *out = Utf16ToUtf8(RegistryWideText(buffer.data(), size, kMachineGuidBytes / sizeof(wchar_t) - 1));
  return true;
}

bool GetDeviceUniqueId(std::string* out) {
  DeviceInfo info;
  return GetDeviceUniqueId(&info, out);
}

bool GetDeviceUniqueId(DeviceInfo* info, std::string* out) {
  if (info == nullptr || out == nullptr) return false;
  GetCpuIdString(&info->cpu);

  info->disk.clear();
  OSVERSIONINFOW version = {};
  version.dwOSVersionInfoSize = sizeof(version);
  if (GetVersionExW(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT) {
    std::string serial;
    std::string model;
    GetSystemDiskSerial(&serial, &model);
    if (!serial.empty() && !model.empty()) info->disk = serial + model;
  }

  info->machine_guid.clear();
  GetMachineGuid(&info->machine_guid);

  info->device_id.clear();
  if (!MakeDeviceId(info) || info->device_id.empty()) return false;
  *out = info->device_id;
  return true;
}
