#pragma once

// Timing for the benchmark programs: readings of the high-resolution performance counter.

#include <windows.h>

namespace bench {

inline LARGE_INTEGER Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t;
}

// Seconds between two readings of Now().
inline double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  static const LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace bench
