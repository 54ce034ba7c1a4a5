#include "common/device_info.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/registry_support.h"

namespace {

using testing_support::ScopedRegistryValue;

const char kIntelBrand[] = "Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz";

uint32_t Word(const char* four) {
  uint32_t w = 0;
  std::memcpy(&w, four, 4);
  return w;
}

// Registers as a processor reports them: vendor in EBX, EDX, ECX; brand in 12 registers.
CpuIdRegisters Registers(const char* vendor, uint32_t max_basic, uint32_t signature, uint32_t max_extended,
                         const std::string& brand) {
  CpuIdRegisters r;
  r.leaf0[0] = max_basic;
  r.leaf0[1] = Word(vendor);
  r.leaf0[3] = Word(vendor + 4);
  r.leaf0[2] = Word(vendor + 8);
  r.leaf1[0] = signature;
  r.extended0[0] = max_extended;
  char bytes[48] = {};
  std::memcpy(bytes, brand.data(), std::min<size_t>(brand.size(), 48));
  std::memcpy(r.brand, bytes, 48);
  return r;
}

bool IsIdentifier(const std::string& id) {
  return id.size() == 42 && id.find_first_not_of("0123456789abcdef") == std::string::npos;
}

TEST(DeviceId, CheckDigitIsCrc8Maxim) {
  EXPECT_EQ(Crc8Maxim("123456789", 9), 0xA1);
  EXPECT_EQ(Crc8Maxim("", 0), 0x00);
  EXPECT_EQ(Crc8Maxim("\x01", 1), 0x5E);
}

TEST(DeviceId, ComposedFromTheThreeFacts) {
  struct Case {
    std::string cpu, disk, guid, id;
  } cases[] = {
      {"GenuineIntel,906ea,Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz", "WD-WCC4N1234567WDC WD10EZEX-08WN4A0",
       "9a3f6c1e-2b4d-4e8f-a1b2-c3d4e5f60718", "0535ae45862d2434bed543d4c87f9f795668051a49"},
      {"", "", "9a3f6c1e-2b4d-4e8f-a1b2-c3d4e5f60718", "f4917b6ea3312266591c14424bad0ea9ec18b81346"},
      {"AuthenticAMD,a20f10,AMD Ryzen 5 5600X 6-Core Processor", "", "", "380c394c63df55693a93b997674a3afc67ff90f27b"},
      {"", "S1234XYZSamsung SSD 970 EVO 1TB", "", "89c8c8e1ffb1e510a6c0508d637f7b96dba597770e"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    DeviceInfo info{c.cpu, c.disk, c.guid, ""};
    ASSERT_TRUE(MakeDeviceId(&info));
    EXPECT_EQ(info.device_id, c.id);
    EXPECT_TRUE(IsIdentifier(info.device_id));
  }
}

TEST(DeviceId, NoFactsOrNoDigestGiveNoIdentifier) {
  DeviceInfo empty;
  empty.device_id = "before";
  EXPECT_FALSE(MakeDeviceId(&empty));
  EXPECT_EQ(empty.device_id, "before");

  // A failed or short digest must not turn into the two check digits of an empty text.
  Sha1Function failing = [](const std::string&) { return std::string(); };
  Sha1Function short_digest = [](const std::string&) { return std::string(19, 'x'); };
  for (Sha1Function digest : {failing, short_digest}) {
    DeviceInfo info{"GenuineIntel,906ea,", "", "", "before"};
    EXPECT_FALSE(MakeDeviceId(&info, digest));
    EXPECT_EQ(info.device_id, "before");
  }
  EXPECT_FALSE(MakeDeviceId(nullptr));
}

TEST(CpuText, FormatsVendorSignatureAndBrand) {
  struct Case {
    const char* name;
    CpuIdRegisters registers;
    std::string text;
  } cases[] = {
      {"intel", Registers("GenuineIntel", 0x16, 0x906EA, 0x80000008, kIntelBrand),
       "GenuineIntel,906ea,Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz"},
      {"misspelt vendor", Registers("GenuineIotel", 0x16, 0x906EA, 0x80000008, kIntelBrand),
       "GenuineIntel,906ea,Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz"},
      {"blanks around brand", Registers("AuthenticAMD", 0x10, 0xA20F10, 0x80000020, "   AMD Ryzen 5 5600X  "),
       "AuthenticAMD,a20f10,AMD Ryzen 5 5600X"},
      {"no leaf 1", Registers("GenuineIntel", 0, 0x906EA, 0x80000008, kIntelBrand),
       "GenuineIntel,0,Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz"},
      {"no brand leaves", Registers("GenuineIntel", 2, 0x633, 0x80000003, kIntelBrand), "GenuineIntel,633,"},
      {"brand fills 48 bytes", Registers("GenuineIntel", 2, 0x1, 0x80000004, std::string(48, 'B')),
       "GenuineIntel,1," + std::string(48, 'B')},
      {"short vendor", Registers("Virt\0\0\0\0\0\0\0\0", 1, 0x1, 0, ""), "Virt,1,"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FormatCpuIdString(c.registers), c.text);
  }

  // The misspelt vendor yields the identifier of the correct one.
  DeviceInfo a{FormatCpuIdString(Registers("GenuineIotel", 0x16, 0x906EA, 0x80000008, kIntelBrand)), "", "g", ""};
  DeviceInfo b{FormatCpuIdString(Registers("GenuineIntel", 0x16, 0x906EA, 0x80000008, kIntelBrand)), "", "g", ""};
  ASSERT_TRUE(MakeDeviceId(&a));
  ASSERT_TRUE(MakeDeviceId(&b));
  EXPECT_EQ(a.device_id, b.device_id);
}

TEST(CpuText, RunningProcessorAndKeptText) {
  std::string text;
  GetCpuIdString(&text);
  EXPECT_EQ(text, FormatCpuIdString(ReadCpuIdRegisters()));
  EXPECT_LE(text.size(), 127u);
  EXPECT_EQ(std::count(text.begin(), text.end(), ','), 2) << text;

  std::string kept = "given";
  GetCpuIdString(&kept);
  EXPECT_EQ(kept, "given");
}

TEST(TrimString, OnlyBlanksAreRemoved) {
  EXPECT_EQ(TrimString("  Intel  "), "Intel");
  EXPECT_EQ(TrimString("\tIntel\n"), "\tIntel\n");
  EXPECT_EQ(TrimString("a b"), "a b");
  EXPECT_EQ(TrimString("    "), "");
  EXPECT_EQ(TrimString(""), "");
}

// A VOLUME_DISK_EXTENTS as the driver returns it, with `returned` bytes of it filled.
std::vector<BYTE> Extents(DWORD count, std::vector<std::pair<DWORD, LONGLONG>> extents) {
  std::vector<BYTE> buffer(104, 0);
  auto* volume = reinterpret_cast<VOLUME_DISK_EXTENTS*>(buffer.data());
  volume->NumberOfDiskExtents = count;
  for (size_t i = 0; i < extents.size(); ++i) {
    volume->Extents[i].DiskNumber = extents[i].first;
    volume->Extents[i].ExtentLength.QuadPart = extents[i].second;
  }
  return buffer;
}

TEST(SystemDisk, DiskNumberFromVolumeExtents) {
  const size_t header = offsetof(VOLUME_DISK_EXTENTS, Extents);
  struct Case {
    const char* name;
    std::vector<BYTE> data;
    size_t returned;
    bool ok;
    unsigned long disk;
  } cases[] = {
      {"one extent", Extents(1, {{0, 1 << 20}}), header + sizeof(DISK_EXTENT), true, 0},
      {"empty first extent", Extents(2, {{0, 0}, {2, 1 << 20}}), header + 2 * sizeof(DISK_EXTENT), true, 2},
      {"disk number too big", Extents(2, {{300, 1 << 20}, {1, 1 << 20}}), header + 2 * sizeof(DISK_EXTENT), true, 1},
      {"four extents", Extents(4, {{0, 1}, {1, 1}, {2, 1}, {3, 1}}), 104, false, 0},
      {"no extents (Wine)", Extents(0, {}), header, false, 0},
      {"count beyond the data", Extents(3, {{0, 0}, {5, 1 << 20}}), header + sizeof(DISK_EXTENT), false, 0},
      {"short header", Extents(1, {{0, 1}}), 4, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    unsigned long disk = 99;
    EXPECT_EQ(PickSystemDiskNumber(c.data.data(), c.returned, &disk), c.ok);
    if (c.ok) {
      EXPECT_EQ(disk, c.disk);
    }
  }
}

TEST(SystemDisk, DecodesDescriptorStrings) {
  struct Case {
    std::string raw;
    std::string decoded;
  } cases[] = {
      {"2020203130", "10"},               // hex text of blanks and digits
      {"WD-XYZ123", "WD-XYZ123"},         // plain text
      {"  WD-XYZ123  ", "WD-XYZ123"},
      {"57442D58595A", "WD-XYZ"},         // upper-case hex digits
      {"57442 31", "WD 1"},               // a blank is the digit 0
      {"5744203", "WD"},                  // the half byte at the end is dropped
      {"5744 d58", "5744 d58"},           // 0x0D is no printable byte: taken as text
      {"ABCD", "ABCD"},                   // 0xAB is no printable byte: taken as text
      {"31003232", "1"},                  // a zero byte ends the text
      {"", ""},
      {"S123\x01", ""},                   // a control character empties the text
      {"S12\xE4\xB8\xAD", ""},            // so does a byte outside ASCII
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.raw);
    std::vector<char> descriptor(16, 'x');
    descriptor.insert(descriptor.end(), c.raw.begin(), c.raw.end());
    descriptor.push_back('\0');
    EXPECT_EQ(DecodeDiskString(16, descriptor.data(), descriptor.size()), c.decoded);
  }
}

TEST(SystemDisk, DescriptorOffsetsOutsideTheDataAreIgnored) {
  std::vector<char> descriptor(16, '\0');
  const std::string serial = "S1234XYZ";
  descriptor.insert(descriptor.end(), serial.begin(), serial.end());  // no terminator
  const size_t size = descriptor.size();
  descriptor.insert(descriptor.end(), {'9', '9', '\0'});  // beyond what the driver returned

  EXPECT_EQ(DecodeDiskString(16, descriptor.data(), size), "S1234XYZ");
  EXPECT_EQ(DecodeDiskString(static_cast<long>(size), descriptor.data(), size), "");
  EXPECT_EQ(DecodeDiskString(100000, descriptor.data(), size), "");
  EXPECT_EQ(DecodeDiskString(0, descriptor.data(), size), "");
  EXPECT_EQ(DecodeDiskString(-1, descriptor.data(), size), "");
}

// A STORAGE_DEVICE_DESCRIPTOR with a product and a serial string after the fixed part.
std::vector<BYTE> Descriptor(const std::string& product, const std::string& serial) {
  std::string bytes(sizeof(STORAGE_DEVICE_DESCRIPTOR), '\0');
  const DWORD product_offset = static_cast<DWORD>(bytes.size());
  bytes += product + '\0';
  const DWORD serial_offset = static_cast<DWORD>(bytes.size());
  bytes += serial + '\0';
  std::vector<BYTE> buffer(bytes.begin(), bytes.end());
  auto* device = reinterpret_cast<STORAGE_DEVICE_DESCRIPTOR*>(buffer.data());
  device->Size = static_cast<DWORD>(buffer.size());
  device->ProductIdOffset = product_offset;
  device->SerialNumberOffset = serial_offset;
  return buffer;
}

TEST(SystemDisk, SerialAndModelFromTheDescriptor) {
  struct Case {
    const char* name;
    std::string serial_raw;
    bool ok;
    std::string serial;
  } cases[] = {
      {"plain serial", "S1234XYZ", true, "S1234XYZ"},
      {"hex serial", "2020203130", true, "10"},
      {"twentieth character counts", "-------------------A", true, "-------------------A"},
      {"no letter or digit where it counts", "--A", false, ""},
      {"empty serial", "", false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto data = Descriptor("Samsung SSD 970 EVO 1TB", c.serial_raw);
    std::string serial;
    std::string model;
    EXPECT_EQ(ParseDiskDescriptor(data.data(), data.size(), &serial, &model), c.ok);
    EXPECT_EQ(serial, c.serial);
    EXPECT_EQ(model, c.ok ? "Samsung SSD 970 EVO 1TB" : "");
  }

  // The driver returned only the fixed part: the strings' offsets point past it.
  const auto data = Descriptor("Model", "S1234XYZ");
  std::string serial;
  std::string model;
  EXPECT_FALSE(ParseDiskDescriptor(data.data(), sizeof(STORAGE_DEVICE_DESCRIPTOR), &serial, &model));
  EXPECT_FALSE(ParseDiskDescriptor(data.data(), 8, &serial, &model));
  // A serial already found is kept.
  serial = "earlier";
  EXPECT_FALSE(ParseDiskDescriptor(data.data(), data.size(), &serial, &model));
  EXPECT_EQ(serial, "earlier");
}

TEST(SystemDisk, PlatformQueryGivesASerialOrNothing) {
  std::string serial;
  std::string model;
  // Wine reports no extents for the Windows volume, so the disk stays unknown there.
  if (GetSystemDiskSerial(&serial, &model)) {
    EXPECT_FALSE(serial.empty());
  } else {
    EXPECT_EQ(serial, "");
    EXPECT_EQ(model, "");
    GTEST_SKIP() << "the platform reports no disk for the Windows volume; only the failure path ran";
  }
}

class MachineGuidTest : public ::testing::Test {
 protected:
  ScopedRegistryValue guid_{HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Cryptography", L"MachineGuid",
                            KEY_WOW64_64KEY};
};

TEST_F(MachineGuidTest, ReadsTheValueWithinItsSize) {
  std::string guid;
  ASSERT_TRUE(guid_.SetString(L"0b6d8c2e-7f41-4a9e-b3c5-2d1e0f9a8b7c"));
  ASSERT_TRUE(GetMachineGuid(&guid));
  EXPECT_EQ(guid, "0b6d8c2e-7f41-4a9e-b3c5-2d1e0f9a8b7c");

  ASSERT_TRUE(guid_.SetString(L""));
  guid = "x";
  EXPECT_TRUE(GetMachineGuid(&guid));
  EXPECT_EQ(guid, "");

  // A value filling the 520-byte buffer is cut one character short instead of read past.
  const std::wstring full(260, L'f');
  ASSERT_TRUE(guid_.SetRaw(REG_BINARY, full.data(), 520));
  EXPECT_TRUE(GetMachineGuid(&guid));
  EXPECT_EQ(guid, std::string(259, 'f'));

  ASSERT_TRUE(guid_.Remove());
  EXPECT_FALSE(GetMachineGuid(&guid));
}

TEST_F(MachineGuidTest, IdentifierIsStableAndFollowsTheMachineGuid) {
  ASSERT_TRUE(guid_.SetString(L"0b6d8c2e-7f41-4a9e-b3c5-2d1e0f9a8b7c"));
  DeviceInfo info;
  std::string first;
  ASSERT_TRUE(GetDeviceUniqueId(&info, &first));
  EXPECT_TRUE(IsIdentifier(first));
  EXPECT_EQ(info.device_id, first);
  EXPECT_EQ(info.machine_guid, "0b6d8c2e-7f41-4a9e-b3c5-2d1e0f9a8b7c");

  std::string second;
  ASSERT_TRUE(GetDeviceUniqueId(&second));
  EXPECT_EQ(second, first);

  // What it is made of: the processor text, the disk (empty where the platform hides it) and the GUID.
  DeviceInfo expected{info.cpu, info.disk, "0b6d8c2e-7f41-4a9e-b3c5-2d1e0f9a8b7c", ""};
  std::string cpu;
  GetCpuIdString(&cpu);
  EXPECT_EQ(info.cpu, cpu);
  ASSERT_TRUE(MakeDeviceId(&expected));
  EXPECT_EQ(expected.device_id, first);

  ASSERT_TRUE(guid_.SetString(L"1b6d8c2e-7f41-4a9e-b3c5-2d1e0f9a8b7c"));
  std::string changed;
  ASSERT_TRUE(GetDeviceUniqueId(&changed));
  EXPECT_NE(changed, first);

  // Without a GUID the processor alone still identifies the machine.
  ASSERT_TRUE(guid_.Remove());
  std::string without = "unchanged";
  ASSERT_TRUE(GetDeviceUniqueId(&without));
  EXPECT_TRUE(IsIdentifier(without));
  EXPECT_NE(without, first);
}

}  // namespace
