#pragma once

#include <windows.h>

#include <vector>

// The single-instance guard of the tray program: owns the handles of the named mutex that tells a
// second start that the program already runs. Destroying the guard closes them, which ends the
// mutex, so a new start right after this one has quit is a first instance again.
class CInstanceMutex {
 public:
  enum CreateResult {
    kCreated,        // this process is the first; the guard keeps the handle
    kAlreadyExists,  // another process holds the name; nothing is kept
    kFailed,         // no mutex could be made; the program runs without the guard
  };

  CInstanceMutex();
  virtual ~CInstanceMutex();
  CInstanceMutex(const CInstanceMutex&) = delete;
  CInstanceMutex& operator=(const CInstanceMutex&) = delete;

  // Creates the named mutex, owned by the calling thread, with a security descriptor without a DACL:
  // a copy started by another account (elevated or not, another user) must still find it.
  CreateResult Create(const wchar_t* name);

  // Takes ownership of a handle; closed with the guard.
  void Add(HANDLE handle);
  size_t size() const;

 private:
  mutable CRITICAL_SECTION lock_;
  std::vector<HANDLE> handles_;
};

// The name every copy of the tray program checks.
extern const wchar_t kInstanceMutexName[];
