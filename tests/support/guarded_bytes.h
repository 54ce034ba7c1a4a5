#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace testing_support {

// A copy of some bytes placed so that they end where an inaccessible page begins: a read past their
// end faults at once instead of reading whatever follows. data() is null when the pages could not
// be set up.
class GuardedBytes {
 public:
  explicit GuardedBytes(const std::string& bytes);
  ~GuardedBytes();
  GuardedBytes(const GuardedBytes&) = delete;
  GuardedBytes& operator=(const GuardedBytes&) = delete;

  const BYTE* data() const { return data_; }
  size_t size() const { return size_; }

 private:
  BYTE* base_ = nullptr;
  BYTE* data_ = nullptr;
  size_t size_ = 0;
};

// Makes a fault end the program at once with its code and address on stderr, rather than waiting on
// the system's crash handler. GuardedBytes installs it; installing it again changes nothing.
void ReportFaultsAtOnce();

}  // namespace testing_support
