// Built once per broken form of resource "PNG" 148: missing, without alpha channel, empty, undecodable.
#include <gtest/gtest.h>
#include <objidl.h>
// GDI+ needs the COM stream types above it.
#include <gdiplus.h>

#include <algorithm>
#include <string>

#include "app/cursor_manager.h"
#include "app/cursor_utils.h"
#include "common/logging.h"
#include "tests/app/recording_cursors.h"
#include "tests/support/log_capture.h"
#include "tests/support/test_support.h"

namespace {

using testing_support::ReadFileBytes;
using testing_support::TempDir;

// The reason as the log holds it: GBK bytes followed by the resource id.
#if defined(LUMAVEX_EXPECT_NO_ALPHA)
const std::string kReason = "PNG\xd7\xca\xd4\xb4\xb2\xbb\xb0\xfc\xba\xac" "Alpha\xcd\xa8\xb5\xc0\xa3\xacID:148";
#elif defined(LUMAVEX_EXPECT_EMPTY)
const std::string kReason = "SizeofResource \xd5\xd2\xb2\xbb\xb5\xbdPNG\xd7\xca\xd4\xb4\xa3\xacID:148";
#elif defined(LUMAVEX_EXPECT_UNDECODABLE)
const std::string kReason = "\xb4\xd3\xd7\xca\xd4\xb4\xbc\xd3\xd4\xd8PNG\xca\xa7\xb0\xdc\xa3\xacID:148";
#else
const std::string kReason = "\xd5\xd2\xb2\xbb\xb5\xbdPNG\xd7\xca\xd4\xb4\xa3\xacID:148";
#endif

TEST(BrokenArrowImage, LeavesNoEnlargedCursorAndLogsTheReasonOnce) {
  TempDir dir;
  const std::wstring log = dir.File(L"lumavex.log");
  ASSERT_TRUE(InitLogger(log, "lumavex_log"));
  const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);

  EXPECT_EQ(CursorUtils::ScaleCursor(arrow, 3, 32), nullptr);
  // The failure is remembered: the second request neither rebuilds nor logs again.
  EXPECT_EQ(CursorUtils::ScaleCursor(arrow, 3, 32), nullptr);
  {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
    EXPECT_FALSE(CursorUtils::LoadPngResource());
    Gdiplus::GdiplusShutdown(token);
  }

  FlushLogger();
  const std::string text = ReadFileBytes(log);
  ShutdownLogger();
  const size_t first = text.find(kReason + "\r\n");
  ASSERT_NE(first, std::string::npos) << text;
  const size_t second = text.find(kReason, first + 1);
  ASSERT_NE(second, std::string::npos);
  EXPECT_EQ(text.find(kReason, second + 1), std::string::npos) << "one line per attempt: build and direct load";
  EXPECT_NE(text.find("[lumavex_log] [E] " + kReason), std::string::npos);
}

TEST(BrokenArrowImage, EveryCursorKeepsItsNormalShape) {
  testing_support::LogCapture log;
  ASSERT_TRUE(log.started());
  RecordingCursors system;
  {
    CursorManager manager(CursorManager::Settings{4, 200}, nullptr, system);
    for (const auto& entry : manager.entries()) {
      EXPECT_NE(entry->normal, nullptr);
      EXPECT_EQ(entry->enlarged, nullptr);
    }
    manager.Enlarge();
    EXPECT_TRUE(system.sets.empty());
  }
  const auto errors = log.Messages('E');
  EXPECT_EQ(std::count(errors.begin(), errors.end(), "Failed to CursorUtils::ScaleCursor"), 13) << "one line per cursor entry";
}

}  // namespace
