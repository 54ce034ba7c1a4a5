#pragma once

#include <windows.h>

#include <cstdlib>
#include <utility>

// A process-wide instance created on first use and destroyed at process exit. Creation runs once
// even when several threads ask at the same moment; a failure of the one-time initialisation is
// fatal.
template <typename T>
class Singleton {
 public:
  static T* GetInstance() {
    static INIT_ONCE once = INIT_ONCE_STATIC_INIT;
    BOOL pending = FALSE;
    if (!InitOnceBeginInitialize(&once, 0, &pending, nullptr)) std::abort();
    if (pending) {
      instance_ = new T();
      std::atexit(&Singleton::Destroy);
      if (!InitOnceComplete(&once, 0, nullptr)) std::abort();
    }
    return instance_;
  }

  // Takes the instance out of the singleton without destroying it: the caller owns it from now on,
  // and GetInstance returns null afterwards. Null when no instance was created.
  static T* Release() { return std::exchange(instance_, nullptr); }

 private:
  static void Destroy() {
    delete instance_;
    instance_ = nullptr;
  }

  static inline T* instance_ = nullptr;
};
