#pragma once

#include <windows.h>

#include <cstdlib>

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

 private:
  static void Destroy() {
    delete instance_;
    instance_ = nullptr;
  }

  static inline T* instance_ = nullptr;
};
