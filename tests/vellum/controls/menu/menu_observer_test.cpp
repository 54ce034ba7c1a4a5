// The observer that closes menu chains, the process-wide check-state table, and the records a
// chosen item hands out: strings cut to their fields and always terminated.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "vellum/controls/menu/menu.h"
#include "vellum/controls/menu/menu_observer.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using namespace Vellum;

class RecordingReceiver : public MenuReceiverImpl {
 public:
  RecordingReceiver(int id, std::vector<std::pair<int, int>>* log) : id_(id), log_(log) {}
  ~RecordingReceiver() override = default;
  BOOL Receive(int code, HWND /*window*/) override {
    log_->push_back({id_, code});
    return TRUE;
  }

 private:
  int id_;
  std::vector<std::pair<int, int>>* log_;
};

// Each test leaves the process-wide observer as it found it: no receivers, no table.
class MenuObserverTest : public ::testing::Test {
 protected:
  void TearDown() override {
    GetMenuObserver().SetCheckTable(nullptr);
    for (int i = 0; i < table_.GetSize(); ++i) {
      delete static_cast<TMenuCheckInfo*>(table_.Find(table_.GetAt(i), false));
    }
    table_.RemoveAll();
  }
  CUIStringMap table_;
};

TEST_F(MenuObserverTest, BroadcastReachesReceiversFromTheLastRegisteredAndTheyLeaveAgain) {
  MenuObserverImpl& observer = GetMenuObserver();
  std::vector<std::pair<int, int>> log;
  RecordingReceiver first(1, &log), second(2, &log), third(3, &log);
  observer.AddReceiver(nullptr);
  observer.AddReceiver(&first);
  observer.AddReceiver(&second);
  observer.AddReceiver(&third);
  EXPECT_EQ(observer.GetReceivers().size(), 3u);

  EXPECT_EQ(observer.Broadcast(MENU_CLOSE_ALL, nullptr), FALSE);
  EXPECT_EQ(log, (std::vector<std::pair<int, int>>{{3, 1}, {2, 1}, {1, 1}}));

  // A receiver leaves every observer it joined; the others stay in order.
  second.RemoveObserver();
  log.clear();
  observer.Broadcast(MENU_CLOSE_BELOW, nullptr);
  EXPECT_EQ(log, (std::vector<std::pair<int, int>>{{3, 2}, {1, 2}}));
  first.RemoveObserver();
  third.RemoveObserver();
  EXPECT_TRUE(observer.GetReceivers().empty());
}

TEST_F(MenuObserverTest, ANullMainManagerKeepsTheEarlierOne) {
  MenuObserverImpl& observer = GetMenuObserver();
  CPaintManagerUI manager;
  observer.SetMainManager(&manager);
  observer.SetMainManager(nullptr);
  EXPECT_EQ(observer.GetMainManager(), &manager);
}

TEST(MenuCommandRecord, StringsAreCutToTheirFieldsAndAlwaysTerminated) {
  struct Case {
    size_t length;
    size_t name_kept;
    size_t text_kept;
  };
  for (const Case& c : {Case{0, 0, 0}, Case{10, 10, 10}, Case{255, 255, 255}, Case{256, 255, 256},
                        Case{1023, 255, 1023}, Case{1024, 255, 1023}, Case{5000, 255, 1023}}) {
    SCOPED_TRACE(c.length);
    const std::wstring long_text(c.length, L'x');
    TMenuCommand* command =
        MakeMenuCommand(long_text.c_str(), long_text.c_str(), long_text.c_str(), true);
    EXPECT_EQ(std::wstring(command->name), long_text.substr(0, c.name_kept));
    EXPECT_EQ(std::wstring(command->user_data), long_text.substr(0, c.text_kept));
    EXPECT_EQ(std::wstring(command->text), long_text.substr(0, c.text_kept));
    EXPECT_EQ(command->checked, TRUE);
    delete command;
  }
  TMenuCommand* empty = MakeMenuCommand(nullptr, nullptr, nullptr, false);
  EXPECT_EQ(empty->name[0], L'\0');
  EXPECT_EQ(empty->checked, FALSE);
  delete empty;
}

TEST_F(MenuObserverTest, CheckStateLivesInTheApplicationTableUnderTheExactName) {
  CMenuElementUI item;
  item.SetName(L"wrap");
  // Without a table nothing is recorded and nothing is checked.
  item.SetChecked(true);
  EXPECT_FALSE(item.GetChecked());

  GetMenuObserver().SetCheckTable(&table_);
  EXPECT_FALSE(item.GetChecked());
  item.SetChecked(true);
  EXPECT_TRUE(item.GetChecked());
  ASSERT_EQ(table_.GetSize(), 1);
  auto* info = static_cast<TMenuCheckInfo*>(table_.Find(L"wrap"));
  ASSERT_NE(info, nullptr);
  EXPECT_STREQ(info->name, L"wrap");
  EXPECT_TRUE(info->checked);
  item.SetChecked(false);
  EXPECT_FALSE(info->checked);
  EXPECT_EQ(table_.GetSize(), 1);

  // Look-ups are exact: another case is another name.
  CMenuElementUI other;
  other.SetName(L"WRAP");
  EXPECT_FALSE(other.GetChecked());
  // An item without a name has no state.
  CMenuElementUI unnamed;
  unnamed.SetChecked(true);
  EXPECT_FALSE(unnamed.GetChecked());
  EXPECT_EQ(table_.GetSize(), 1);

  // A name longer than the record's field is kept whole as the key, cut in the record.
  CMenuElementUI long_named;
  const std::wstring long_name(300, L'n');
  long_named.SetName(long_name.c_str());
  long_named.SetChecked(true);
  EXPECT_TRUE(long_named.GetChecked());
  auto* long_info = static_cast<TMenuCheckInfo*>(table_.Find(long_name.c_str()));
  ASSERT_NE(long_info, nullptr);
  EXPECT_EQ(std::wstring(long_info->name), long_name.substr(0, 255));
}

TEST_F(MenuObserverTest, IsCheckNeedsTheNameFirstAndYieldsToTheTable) {
  GetMenuObserver().SetCheckTable(&table_);
  struct Case {
    const char* what;
    std::vector<std::pair<const wchar_t*, const wchar_t*>> attributes;
    const wchar_t* name;
    bool checked;
  };
  auto* preset = new TMenuCheckInfo{};
  wcscpy(preset->name, L"Preset");
  preset->checked = false;
  table_.Insert(L"Preset", preset);
  const Case cases[] = {
      {"name then ischeck", {{L"name", L"a"}, {L"ischeck", L"TRUE"}}, L"a", true},
      {"ischeck before name does nothing", {{L"ischeck", L"true"}, {L"name", L"b"}}, L"b", false},
      {"a value other than true is false", {{L"name", L"c"}, {L"ischeck", L"yes"}}, L"c", false},
      {"a name already in the table keeps its state", {{L"name", L"preset"}, {L"ischeck", L"true"}},
       L"Preset", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CMenuElementUI item;
    for (const auto& attribute : c.attributes) item.SetAttribute(attribute.first, attribute.second);
    EXPECT_EQ(GetMenuCheck(c.name), c.checked);
  }
  EXPECT_EQ(table_.Find(L"preset"), nullptr);
}

}  // namespace
