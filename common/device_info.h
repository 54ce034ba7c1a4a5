#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The device identifier sent as "duid": the SHA-1 of the processor identification, the system
// disk's serial and model and the Windows machine GUID, as 40 lower-case hex digits, followed by
// the CRC-8/MAXIM of those 40 digits as two more. It is computed afresh by every deliverable and
// never stored, so the same machine must always give the same 42 characters.

// The working record of one computation (UTF-8 texts).
struct DeviceInfo {
  std::string cpu;
  std::string disk;
  std::string machine_guid;
  std::string device_id;
};

// The digest used for the identifier: 20 raw bytes, or "" on failure.
using Sha1Function = std::string (*)(const std::string& bytes);

// The identifier of the machine; false with `*out` unchanged when nothing identifies it.
bool GetDeviceUniqueId(std::string* out);
// The same, leaving the gathered facts and the identifier in `*info` for a caller that keeps them.
// A processor text already in `info->cpu` is used as it is.
bool GetDeviceUniqueId(DeviceInfo* info, std::string* out);

// Joins cpu + disk + machine_guid, hashes the bytes and stores the identifier in `info->device_id`.
// False when all three texts are empty or the digest fails. `sha1` defaults to the platform's
// CryptoAPI digest (Sha1Digest).
bool MakeDeviceId(DeviceInfo* info);
bool MakeDeviceId(DeviceInfo* info, Sha1Function sha1);

// CRC-8/MAXIM: polynomial 0x31 reflected, initial value 0, no final XOR.
uint8_t Crc8Maxim(const char* data, size_t size);

// Without leading and trailing blanks (the character 0x20 only).
std::string TrimString(const std::string& text);

// What the CPUID instruction reported, register by register (EAX, EBX, ECX, EDX).
struct CpuIdRegisters {
  uint32_t leaf0[4] = {};      // highest basic leaf and vendor
  uint32_t leaf1[4] = {};      // signature in EAX
  uint32_t extended0[4] = {};  // highest extended leaf
  uint32_t brand[3][4] = {};   // leaves 0x80000002..0x80000004
};
CpuIdRegisters ReadCpuIdRegisters();
// "vendor,signature in hex,brand", at most 127 characters.
std::string FormatCpuIdString(const CpuIdRegisters& registers);
// Fills `*out` with the processor text unless it already holds one.
void GetCpuIdString(std::string* out);

// The disk holding the volume, from the output of IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS: the number
// of the first extent with a length and a number below 256, for volumes of at most 3 extents.
// Only the `size` bytes returned are read.
bool PickSystemDiskNumber(const void* extents, size_t size, unsigned long* disk);
// One string of a STORAGE_DEVICE_DESCRIPTOR of `size` returned bytes: as hexadecimal text when it
// reads as printable bytes that way (serials are often reported so), else as plain printable text,
// without surrounding white space. Offsets of 0 or less, or outside the data, give "".
std::string DecodeDiskString(long offset, const void* descriptor, size_t size);
// The serial and product strings of a STORAGE_DEVICE_DESCRIPTOR, when the serial looks like one.
bool ParseDiskDescriptor(const void* descriptor, size_t size, std::string* serial, std::string* model);
// The serial and model of the disk holding the Windows folder.
bool GetSystemDiskSerial(std::string* serial, std::string* model);

// HKLM\SOFTWARE\Microsoft\Cryptography "MachineGuid" (64-bit view) as UTF-8; true also when empty.
bool GetMachineGuid(std::string* out);
