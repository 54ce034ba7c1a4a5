#include "app/instance_mutex.h"

#include <aclapi.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>

#include "common/base/scoped_handle.h"

namespace {

// A name of this test's own, so that a running tray program is never disturbed.
std::wstring TestMutexName() { return L"LumavexMutexTest-" + std::to_wstring(GetCurrentProcessId()); }

bool MutexExists(const std::wstring& name) {
  const ScopedHandle handle(OpenMutexW(SYNCHRONIZE, FALSE, name.c_str()));
  return handle.valid();
}

TEST(CInstanceMutex, ASecondCreationSeesTheNameTakenUntilTheFirstGuardIsGone) {
  const std::wstring name = TestMutexName();
  ASSERT_FALSE(MutexExists(name));
  {
    CInstanceMutex first;
    ASSERT_EQ(first.Create(name.c_str()), CInstanceMutex::kCreated);
    EXPECT_EQ(first.size(), 1u);
    EXPECT_TRUE(MutexExists(name));
    {
      CInstanceMutex second;
      EXPECT_EQ(second.Create(name.c_str()), CInstanceMutex::kAlreadyExists);
      EXPECT_EQ(second.size(), 0u) << "a second start keeps no handle";
    }
    EXPECT_TRUE(MutexExists(name)) << "the second guard must not end the first one's mutex";
  }
  EXPECT_FALSE(MutexExists(name)) << "destroying the guard releases the name";
  CInstanceMutex again;
  EXPECT_EQ(again.Create(name.c_str()), CInstanceMutex::kCreated);
}

TEST(CInstanceMutex, TheMutexIsOwnedByItsCreatorUntilTheGuardIsGone) {
  const std::wstring name = TestMutexName();
  CInstanceMutex guard;
  ASSERT_EQ(guard.Create(name.c_str()), CInstanceMutex::kCreated);
  // Another thread cannot take it: the creating thread owns it from the start.
  DWORD other_wait = WAIT_FAILED;
  std::thread([&] {
    const ScopedHandle handle(OpenMutexW(SYNCHRONIZE, FALSE, name.c_str()));
    other_wait = handle.valid() ? WaitForSingleObject(handle.get(), 0) : WAIT_FAILED;
  }).join();
  EXPECT_EQ(other_wait, static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST(CInstanceMutex, AnyAccountMayOpenIt) {
  const std::wstring name = TestMutexName();
  CInstanceMutex guard;
  ASSERT_EQ(guard.Create(name.c_str()), CInstanceMutex::kCreated);
  const ScopedHandle handle(OpenMutexW(READ_CONTROL | SYNCHRONIZE, FALSE, name.c_str()));
  ASSERT_TRUE(handle.valid());
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_EQ(GetSecurityInfo(handle.get(), SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                            nullptr, &descriptor),
            static_cast<DWORD>(ERROR_SUCCESS));
  BOOL present = FALSE, defaulted = FALSE;
  PACL read_dacl = nullptr;
  EXPECT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &read_dacl, &defaulted));
  // A present but null DACL grants everyone every access; an absent one would mean the default DACL
  // of the creator's token, which other accounts may not pass.
  EXPECT_TRUE(present);
  EXPECT_EQ(read_dacl, nullptr);
  LocalFree(descriptor);
}

TEST(CInstanceMutex, ClosesEveryHandleItWasGiven) {
  const std::wstring name = TestMutexName();
  {
    CInstanceMutex guard;
    ASSERT_EQ(guard.Create(name.c_str()), CInstanceMutex::kCreated);
    guard.Add(OpenMutexW(SYNCHRONIZE, FALSE, name.c_str()));
    guard.Add(nullptr);
    EXPECT_EQ(guard.size(), 2u);
  }
  EXPECT_FALSE(MutexExists(name));
}

}  // namespace
