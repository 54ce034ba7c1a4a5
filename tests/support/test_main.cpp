#include <gtest/gtest.h>

#include "tests/support/test_main.h"

// Replaces gtest_main: the same run, with a distinct exit code when cases were skipped.
int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  if (result != 0) return result;
  const testing::UnitTest& unit = *testing::UnitTest::GetInstance();
  return unit.skipped_test_count() > 0 && unit.failed_test_count() == 0 ? kTestsSkippedExitCode : 0;
}
