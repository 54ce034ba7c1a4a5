#pragma once

#include <string>
#include <vector>

#include "common/logging.h"
#include "tests/support/test_support.h"

namespace testing_support {

// Sends the default logger to a fresh file while it lives and hands back the messages written,
// without the line prefix. Needs lumavex_common.
class LogCapture {
 public:
  LogCapture() { InitLogger(dir_.File(L"test.log"), "lumavex_log"); }
  ~LogCapture() { ShutdownLogger(); }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  std::vector<std::string> Messages() {
    FlushLogger();
    std::vector<std::string> messages;
    for (const auto& line : SplitLines(ReadFileBytes(dir_.File(L"test.log")))) {
      // "[time] [PID:n] [TID:n] [name] [L] message"
      size_t at = 0;
      for (int i = 0; i < 5 && at != std::string::npos; ++i) at = line.find("] ", at == 0 ? 0 : at + 2);
      messages.push_back(at == std::string::npos ? line : line.substr(at + 2));
    }
    return messages;
  }

 private:
  TempDir dir_;
};

}  // namespace testing_support
