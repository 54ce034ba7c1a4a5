#pragma once

// Exit code of a test program that skipped at least one case and failed none. lumavex_add_test gives
// it to ctest as the skip code, so such a run is listed as skipped rather than passed; a failure still
// exits with 1 and fails, whatever was skipped besides.
constexpr int kTestsSkippedExitCode = 77;
