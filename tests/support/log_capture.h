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
  LogCapture() : started_(InitLogger(dir_.File(L"test.log"), "lumavex_log")) {}
  ~LogCapture() { ShutdownLogger(); }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  // False when the logger could not be set up on the file.
  bool started() const { return started_; }

  // Every message written.
  std::vector<std::string> Messages() { return Collect(0); }

  // The messages written at one level, by its letter in the line prefix ('I', 'W', 'E').
  std::vector<std::string> Messages(char level) { return Collect(level); }

 private:
  std::vector<std::string> Collect(char level) {
    FlushLogger();
    std::vector<std::string> messages;
    for (const auto& line : SplitLines(ReadFileBytes(dir_.File(L"test.log")))) {
      // "[time] [PID:n] [TID:n] [name] [L] message"
      size_t at = 0;
      for (int i = 0; i < 5 && at != std::string::npos; ++i) at = line.find("] ", at == 0 ? 0 : at + 2);
      if (at == std::string::npos) {
        if (level == 0) messages.push_back(line);
        continue;
      }
      if (level != 0 && (at < 2 || line[at - 2] != '[' || line[at - 1] != level)) continue;
      messages.push_back(line.substr(at + 2));
    }
    return messages;
  }

  TempDir dir_;
  bool started_;
};

}  // namespace testing_support
