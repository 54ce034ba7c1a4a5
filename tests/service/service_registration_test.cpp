// The fixed texts of registration: host command line, localized names and error results; and a
// registration that fails half-way, run against the service control manager of the prefix.
#include <gtest/gtest.h>
#include <windows.h>
#include <aclapi.h>

#include <string>
#include <vector>

#include "common/scoped_reg_key.h"
#include "service/service_names.h"
#include "service/service_registration.h"

namespace {

TEST(Registration, HostCommandLine) {
  EXPECT_EQ(ServiceBinaryPath(false), L"%SystemRoot%\\System32\\svchost.exe -k LumavexUtilityGroup");
  // A 32-bit library on 64-bit Windows needs the 32-bit host.
  EXPECT_EQ(ServiceBinaryPath(true), L"%SystemRoot%\\SysWOW64\\svchost.exe -k LumavexUtilityGroup");
}

TEST(Registration, LocalizedTexts) {
  struct Case {
    const wchar_t* locale;
    const wchar_t* name;
    const wchar_t* description;
  };
  const Case cases[] = {
      {L"en-us", L"Lumavex Utility", L"This service ensures that the Lumavex Utility is always up-to-date."},
      {L"zh-hk", L"Lumavex Utility", L"This service ensures that the Lumavex Utility is always up-to-date."},
      {L"zh-cn", L"Lumavex\u670d\u52a1", L"\u8be5\u670d\u52a1\u7528\u4e8e\u786e\u4fddLumavex\u59cb\u7ec8\u5904\u4e8e\u6700\u65b0\u7248\u672c"},
      {L"zh-tw", L"Lumavex\u670d\u52d9", L"\u8a72\u670d\u52d9\u7528\u65bc\u78ba\u4fddLumavex\u59cb\u7d42\u8655\u65bc\u6700\u65b0\u7248\u672c"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ServiceDisplayName(c.locale), c.name);
    EXPECT_EQ(ServiceDescription(c.locale), c.description);
  }
}

TEST(Registration, ErrorsBecomeHresults) {
  EXPECT_EQ(HresultFromError(ERROR_ACCESS_DENIED), static_cast<HRESULT>(0x80070005));
  EXPECT_EQ(HresultFromError(1060), static_cast<HRESULT>(0x80070424));
  // A failure that left no error code is still a failure.
  EXPECT_EQ(HresultFromError(0), E_FAIL);
}

// Denies everyone the writing of values under a key while it lives, then puts its former access back.
class ReadOnlyKey {
 public:
  explicit ReadOnlyKey(const wchar_t* path) {
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, READ_CONTROL | WRITE_DAC, key_.put()) != ERROR_SUCCESS) return;
    PACL dacl = nullptr;
    if (GetSecurityInfo(key_.get(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                        &saved_) != ERROR_SUCCESS) {
      return;
    }
    saved_dacl_ = dacl;
    EXPLICIT_ACCESSW deny = {};
    deny.grfAccessPermissions = KEY_SET_VALUE;
    deny.grfAccessMode = DENY_ACCESS;
    deny.Trustee.TrusteeForm = TRUSTEE_IS_NAME;
    deny.Trustee.ptstrName = const_cast<wchar_t*>(L"Everyone");
    PACL denied = nullptr;
    if (SetEntriesInAclW(1, &deny, dacl, &denied) != ERROR_SUCCESS) return;
    applied_ = SetSecurityInfo(key_.get(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, denied,
                               nullptr) == ERROR_SUCCESS;
    LocalFree(denied);
  }
  ~ReadOnlyKey() {
    if (applied_) {
      SetSecurityInfo(key_.get(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, saved_dacl_, nullptr);
    }
    if (saved_ != nullptr) LocalFree(saved_);
  }
  bool applied() const { return applied_; }

 private:
  ScopedRegKey key_;
  PSECURITY_DESCRIPTOR saved_ = nullptr;
  PACL saved_dacl_ = nullptr;
  bool applied_ = false;
};

bool ServiceExists() {
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
  if (manager == nullptr) return false;
  SC_HANDLE service = OpenServiceW(manager, kServiceName, SERVICE_QUERY_STATUS);
  if (service != nullptr) CloseServiceHandle(service);
  CloseServiceHandle(manager);
  return service != nullptr;
}

// The host group value cannot be written: the new service could never run, so it is deleted again and
// the error returned, where success used to be reported.
TEST(Registration, AServiceWhoseHostValuesCannotBeWrittenIsRemovedAgain) {
  ASSERT_FALSE(ServiceExists()) << "the service is registered already";
  const std::wstring parameters =
      std::wstring(L"SYSTEM\\CurrentControlSet\\Services\\") + kServiceName + L"\\Parameters";
  {
    ReadOnlyKey group(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Svchost");
    ASSERT_TRUE(group.applied());
    EXPECT_EQ(RegisterUpdateService(), HresultFromError(ERROR_ACCESS_DENIED));
  }
  EXPECT_FALSE(ServiceExists());
  ScopedRegKey key;
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, parameters.c_str(), 0, KEY_READ, key.put()),
            static_cast<LONG>(ERROR_FILE_NOT_FOUND));
  // Whatever the outcome, nothing stays behind for the tests after this one.
  UnregisterUpdateService();
}

constexpr wchar_t kHostGroupsKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Svchost";

// Takes the host groups key away while it lives (as a 32-bit registration finds it on a 64-bit system,
// where the 32-bit view has none), then puts it back with every value it held.
class MissingHostGroupsKey {
 public:
  MissingHostGroupsKey() {
    if (!SaveValues()) return;
    removed_ = RegDeleteKeyW(HKEY_LOCAL_MACHINE, kHostGroupsKey) == ERROR_SUCCESS;
  }
  ~MissingHostGroupsKey() {
    if (!removed_) return;
    ScopedRegKey key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kHostGroupsKey, 0, nullptr, 0, KEY_WRITE, nullptr, key.put(), nullptr) !=
        ERROR_SUCCESS) {
      return;
    }
    for (const Value& value : saved_) {
      RegSetValueExW(key.get(), value.name.c_str(), 0, value.type, value.data.data(),
                     static_cast<DWORD>(value.data.size()));
    }
  }
  bool removed() const { return removed_; }

 private:
  struct Value {
    std::wstring name;
    DWORD type;
    std::vector<BYTE> data;
  };

  bool SaveValues() {
    ScopedRegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kHostGroupsKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return false;
    for (DWORD index = 0;; ++index) {
      wchar_t name[256];
      DWORD name_length = 256;
      DWORD type = 0;
      DWORD size = 0;
      if (RegEnumValueW(key.get(), index, name, &name_length, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
      Value value{name, type, std::vector<BYTE>(size)};
      name_length = 256;
      if (RegEnumValueW(key.get(), index, name, &name_length, nullptr, &type, value.data.data(), &size) !=
          ERROR_SUCCESS) {
        return false;
      }
      saved_.push_back(value);
    }
    return true;
  }

  std::vector<Value> saved_;
  bool removed_ = false;
};

// The host reads its group from the view the library registers in; where that view has no groups key
// yet, registration makes it instead of failing.
TEST(Registration, AMissingHostGroupsKeyIsCreated) {
  ASSERT_FALSE(ServiceExists()) << "the service is registered already";
  HRESULT registered = E_FAIL;
  std::wstring group;
  DWORD type = 0;
  {
    // Other services of the prefix read their groups here too: the key is whole again before the
    // service is taken away, however long that takes.
    MissingHostGroupsKey missing;
    ASSERT_TRUE(missing.removed());
    registered = RegisterUpdateService();
    ScopedRegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kHostGroupsKey, 0, KEY_READ, key.put()) == ERROR_SUCCESS) {
      wchar_t value[64] = {};
      DWORD size = sizeof(value) - sizeof(wchar_t);
      if (RegQueryValueExW(key.get(), kServiceGroupName, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
          ERROR_SUCCESS) {
        group = value;
      }
    }
  }
  EXPECT_EQ(registered, S_OK);
  EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
  EXPECT_EQ(group, kServiceName);
  EXPECT_EQ(UnregisterUpdateService(), S_OK);
  EXPECT_FALSE(ServiceExists());
}

}  // namespace
