#include "app/tray_icon.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/ui_input.h"

namespace {

// Keeps a copy of every record the tray is sent.
class RecordingTrayShell final : public TrayShell {
 public:
  bool NotifyIcon(DWORD message, const NOTIFYICONDATAW& record) override {
    calls.emplace_back(message, record);
    return result;
  }

  std::vector<std::pair<DWORD, NOTIFYICONDATAW>> calls;
  bool result = true;
};

const HWND kWindow = reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x10ABC));
const HICON kIcon = reinterpret_cast<HICON>(static_cast<UINT_PTR>(0x20DEF));
const BalloonTexts kBalloon = {L"Title", L"Balloon text"};

TEST(TrayRecord, IsTheFullRecordOfThisArchitecture) {
  // What a 32-bit program has always sent; the x86_64 test build sends its own full size.
  EXPECT_EQ(MakeDeleteRecord(kWindow).cbSize, sizeof(void*) == 4 ? 956u : 976u);
}

void ExpectAddFields(const NOTIFYICONDATAW& record) {
  EXPECT_EQ(record.cbSize, sizeof(NOTIFYICONDATAW));
  EXPECT_EQ(record.hWnd, kWindow);
  EXPECT_EQ(record.uID, 1u);
  EXPECT_EQ(record.uFlags, 7u);  // NIF_MESSAGE | NIF_ICON | NIF_TIP
  EXPECT_EQ(record.uCallbackMessage, 0x8001u);
  EXPECT_EQ(record.hIcon, kIcon);
  EXPECT_STREQ(record.szTip, L"Lumavex (Lumavex)");
}

TEST(TrayIcon, AddSendsWindowIdCallbackIconAndTip) {
  RecordingTrayShell shell;
  TrayIcon icon(kWindow, kIcon, shell);
  EXPECT_TRUE(icon.Add());
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.calls[0].first, static_cast<DWORD>(NIM_ADD));
  ExpectAddFields(shell.calls[0].second);
}

TEST(TrayIcon, BalloonKeepsWhatTheAddSet) {
  RecordingTrayShell shell;
  TrayIcon icon(kWindow, kIcon, shell);
  icon.Add();
  EXPECT_TRUE(icon.ShowBalloon(kBalloon));
  ASSERT_EQ(shell.calls.size(), 2u);
  EXPECT_EQ(shell.calls[1].first, static_cast<DWORD>(NIM_MODIFY));
  const NOTIFYICONDATAW& record = shell.calls[1].second;
  EXPECT_EQ(record.cbSize, sizeof(NOTIFYICONDATAW));
  EXPECT_EQ(record.hWnd, kWindow);
  EXPECT_EQ(record.uID, 1u);
  EXPECT_EQ(record.uFlags, 0x13u);  // NIF_MESSAGE | NIF_ICON | NIF_INFO
  EXPECT_EQ(record.uCallbackMessage, 0x8001u);
  EXPECT_EQ(record.hIcon, kIcon);
  EXPECT_STREQ(record.szTip, L"Lumavex (Lumavex)");
  EXPECT_EQ(record.uTimeout, 10000u);
  EXPECT_EQ(record.dwInfoFlags, static_cast<DWORD>(NIIF_INFO));
  EXPECT_STREQ(record.szInfoTitle, L"Title");
  EXPECT_STREQ(record.szInfo, L"Balloon text");
}

// After Explorer restarts the icon is added again as at start-up, whatever was sent in between.
TEST(TrayIcon, AddAgainAfterABalloonAndARemoval) {
  RecordingTrayShell shell;
  TrayIcon icon(kWindow, kIcon, shell);
  icon.Add();
  icon.ShowBalloon(kBalloon);
  icon.Remove();
  icon.Add();
  ASSERT_EQ(shell.calls.size(), 4u);
  EXPECT_EQ(shell.calls[3].first, static_cast<DWORD>(NIM_ADD));
  ExpectAddFields(shell.calls[3].second);
}

TEST(TrayIcon, RemoveNamesOnlyTheIcon) {
  RecordingTrayShell shell;
  TrayIcon icon(kWindow, kIcon, shell);
  icon.Add();
  icon.ShowBalloon(kBalloon);
  EXPECT_TRUE(icon.Remove());
  ASSERT_EQ(shell.calls.size(), 3u);
  EXPECT_EQ(shell.calls[2].first, static_cast<DWORD>(NIM_DELETE));
  const NOTIFYICONDATAW& record = shell.calls[2].second;
  EXPECT_EQ(record.cbSize, sizeof(NOTIFYICONDATAW));
  EXPECT_EQ(record.hWnd, kWindow);
  EXPECT_EQ(record.uID, 1u);
  EXPECT_EQ(record.uFlags, 0u);
  EXPECT_EQ(record.hIcon, nullptr);
  EXPECT_STREQ(record.szInfo, L"");
}

TEST(TrayIcon, BalloonBeforeTheIconStillNamesIt) {
  RecordingTrayShell shell;
  shell.result = false;
  TrayIcon icon(kWindow, kIcon, shell);
  EXPECT_FALSE(icon.ShowBalloon(kBalloon));
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.calls[0].second.cbSize, sizeof(NOTIFYICONDATAW));
  EXPECT_EQ(shell.calls[0].second.hWnd, kWindow);
  EXPECT_EQ(shell.calls[0].second.uID, 1u);
}

TEST(TrayIcon, FailuresAreReported) {
  RecordingTrayShell shell;
  shell.result = false;
  TrayIcon icon(kWindow, kIcon, shell);
  EXPECT_FALSE(icon.Add());
  EXPECT_FALSE(icon.ShowBalloon(kBalloon));
  EXPECT_FALSE(icon.Remove());
}

// Texts longer than the record are cut, terminated, and never spill into the fields after them.
TEST(FillBalloonRecord, CutsTextsToTheRecord) {
  const std::wstring long_title(100, L'T');
  const std::wstring long_text(300, L'x');
  NOTIFYICONDATAW record = {};
  FillBalloonRecord(&record, {long_title.c_str(), long_text.c_str()});
  EXPECT_EQ(std::wstring(record.szInfoTitle), long_title.substr(0, 63));
  EXPECT_EQ(std::wstring(record.szInfo), long_text.substr(0, 255));
  EXPECT_EQ(record.uTimeout, 10000u);
  EXPECT_EQ(record.dwInfoFlags, static_cast<DWORD>(NIIF_INFO));
}

// Without a desktop tray, Wine's X11 driver shows the icons in a stand-alone tray window, one child
// window per icon: the only trace of the real shell calls that can be read back.
int CountTrayIconWindows() {
  const HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
  if (tray == nullptr) return 0;
  int count = 0;
  HWND icon = nullptr;
  while ((icon = FindWindowExW(tray, icon, L"__winex11_tray_icon", nullptr)) != nullptr) ++count;
  return count;
}

bool WaitForTrayIconWindows(int count) {
  return testing_support::WaitUntil([count] { return CountTrayIconWindows() == count; }, 2000);
}

// Wine's shell comes up with the first program of a session and goes a little after the last one
// ends, so a test that starts right after another may be there before its tray.
bool WaitForTaskbar() {
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr) return true;
    Sleep(100);
  }
  return false;
}

TEST(RealTrayShell, AddsModifiesAndRemovesTheIcon) {
  ASSERT_TRUE(WaitForTaskbar());
  const HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", 0, CW_USEDEFAULT, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  const int before = CountTrayIconWindows();
  {
    TrayIcon icon(window, LoadIconW(nullptr, IDI_APPLICATION));
    ASSERT_TRUE(icon.Add());
    EXPECT_TRUE(WaitForTrayIconWindows(before + 1));
    EXPECT_TRUE(icon.ShowBalloon(BalloonTextsForThisSystem()));
    EXPECT_TRUE(icon.Remove());
    EXPECT_TRUE(WaitForTrayIconWindows(before));
    EXPECT_FALSE(icon.Remove()) << "the icon is gone";
  }
  DestroyWindow(window);
}

}  // namespace
