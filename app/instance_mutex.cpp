#include "app/instance_mutex.h"

const wchar_t kInstanceMutexName[] = L"LumavexMutex";

CInstanceMutex::CInstanceMutex() { InitializeCriticalSection(&lock_); }

CInstanceMutex::~CInstanceMutex() {
  std::vector<HANDLE> handles;
  EnterCriticalSection(&lock_);
  handles.swap(handles_);
  LeaveCriticalSection(&lock_);
  for (HANDLE handle : handles) CloseHandle(handle);
  DeleteCriticalSection(&lock_);
}

CInstanceMutex::CreateResult CInstanceMutex::Create(const wchar_t* name) {
  SECURITY_DESCRIPTOR descriptor;
  if (!InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION)) return kFailed;
  if (!SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE)) return kFailed;
  SECURITY_ATTRIBUTES attributes = {sizeof(attributes), &descriptor, FALSE};

  HANDLE handle = CreateMutexW(&attributes, TRUE, name);
  if (handle == nullptr) return kFailed;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(handle);
    return kAlreadyExists;
  }
  Add(handle);
  return kCreated;
}

void CInstanceMutex::Add(HANDLE handle) {
  if (handle == nullptr) return;
  EnterCriticalSection(&lock_);
  handles_.push_back(handle);
  LeaveCriticalSection(&lock_);
}

size_t CInstanceMutex::size() const {
  EnterCriticalSection(&lock_);
  const size_t n = handles_.size();
  LeaveCriticalSection(&lock_);
  return n;
}
