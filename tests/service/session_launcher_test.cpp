// Starting the setup package in the user's session: the session choice and the command line as pure
// rules, then the whole chain for real with the session list given by the test (Wine lists none).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "service/session_launcher.h"
#include "service/setup_package.h"
#include "tests/service/service_fixtures.h"
#include "tests/support/test_support.h"

namespace {

using service_testing::ReadRunRecord;
using service_testing::SetupFixtureBytes;
using service_testing::WaitForExplorer;
using testing_support::TempDir;

class ListedSessions : public SessionSource {
 public:
  explicit ListedSessions(std::vector<SessionEntry> sessions, bool ok = true) : sessions_(std::move(sessions)), ok_(ok) {}
  bool List(std::vector<SessionEntry>* sessions) const override {
    *sessions = sessions_;
    return ok_;
  }

 private:
  std::vector<SessionEntry> sessions_;
  bool ok_;
};

DWORD OwnSession() {
  DWORD session = 0;
  ProcessIdToSessionId(GetCurrentProcessId(), &session);
  return session;
}

TEST(SessionChoice, FirstActiveSessionWithAUserInListOrder) {
  struct Case {
    const char* name;
    std::vector<SessionEntry> sessions;
    bool listed;
    bool found;
    DWORD id;
  };
  const Case cases[] = {
      {"none", {}, true, false, 0},
      {"listing fails", {{1, true, true}}, false, false, 0},
      {"first of two active", {{3, true, true}, {1, true, true}}, true, true, 3},
      {"disconnected skipped", {{2, false, true}, {5, true, true}}, true, true, 5},
      {"no user skipped", {{0, true, false}, {4, true, true}}, true, true, 4},
      {"only inactive", {{2, false, true}}, true, false, 0},
  };
  for (const Case& c : cases) {
    DWORD id = 0;
    EXPECT_EQ(HasActiveUserSession(ListedSessions(c.sessions, c.listed), &id), c.found) << c.name;
    EXPECT_EQ(id, c.id) << c.name;
  }
}

TEST(LaunchCommandLine, PathAlwaysQuotedAndNeverCut) {
  std::wstring line;
  ASSERT_TRUE(BuildLaunchCommandLine(L"C:\\a b\\setup_1.exe", L"/verysilent", &line));
  EXPECT_EQ(line, L"\"C:\\a b\\setup_1.exe\" /verysilent");
  ASSERT_TRUE(BuildLaunchCommandLine(L"C:\\setup.exe", L"", &line));
  EXPECT_EQ(line, L"\"C:\\setup.exe\"");
  // 1023 characters fit; one more fails instead of starting a cut path.
  const std::wstring args = L"/verysilent";
  const std::wstring fits(1023 - 3 - args.size(), L'p');
  ASSERT_TRUE(BuildLaunchCommandLine(fits, args, &line));
  EXPECT_EQ(line.size(), 1023u);
  line = L"unchanged";
  EXPECT_FALSE(BuildLaunchCommandLine(fits + L"p", args, &line));
  EXPECT_EQ(line, L"unchanged");
}

TEST(Launch, RunsThePackageInTheUsersSessionWithItsFolderAsCurrentFolder) {
  TempDir temp;
  const std::wstring package = SetupPackagePathIn(temp.path(), service_testing::kFixtureVersion);
  ASSERT_TRUE(testing_support::WriteFileBytes(package, SetupFixtureBytes()));
  const std::wstring folder = package.substr(0, package.find_last_of(L'\\'));
  ASSERT_NE(WaitForExplorer(OwnSession()), 0u) << "no explorer.exe in this session";

  DWORD pid = 0;
  ASSERT_TRUE(LaunchAppIntoDifferentSession(ListedSessions({{OwnSession(), true, true}}), package, L"/verysilent",
                                            folder, &pid));
  EXPECT_NE(pid, 0u);
  const std::wstring record = ReadRunRecord(package, 10000);
  EXPECT_EQ(record, L"\"" + package + L"\" /verysilent\n" + folder + L"\n");
}

TEST(Launch, FailsWithoutASessionOrExplorer) {
  TempDir temp;
  const std::wstring package = temp.File(L"setup_1.exe");
  ASSERT_TRUE(testing_support::WriteFileBytes(package, SetupFixtureBytes()));
  DWORD pid = 7;
  // Wine's own session list is empty: the real source finds no user there.
  EXPECT_FALSE(LaunchAppIntoDifferentSession(ListedSessions({}), package, L"/verysilent", temp.path(), &pid));
  EXPECT_EQ(pid, 0u);
  EXPECT_FALSE(LaunchAppIntoDifferentSession(ListedSessions({{4242, true, true}}), package, L"", temp.path(), &pid));
  EXPECT_EQ(FindExplorerProcess(4242), 0u);
  Sleep(300);
  EXPECT_FALSE(testing_support::FileExists(package + L".ran"));
}

}  // namespace
