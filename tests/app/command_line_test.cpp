#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;

TEST(ParseStartOptions, SwitchesUnknownArgumentsAndUnreadableLines) {
  struct Case {
    Args args;  // after the program path
    bool open_setting, show_balloon;
    int mode;  // 0 plain start, 1 settings window, 2 balloon tip
    Args unknown;
    bool error;
  } cases[] = {
      {{}, false, false, 0, {}, false},
      {{"--open_setting"}, true, false, 1, {}, false},
      {{"--show_balloon"}, false, true, 2, {}, false},
      // Both given: the settings window wins, whatever the order.
      {{"--show_balloon", "--open_setting"}, true, true, 1, {}, false},
      {{"--open_setting", "--show_balloon"}, true, true, 1, {}, false},
      {{"--open_setting", "--open_setting"}, true, false, 1, {}, false},
      {{"--open_setting=true"}, true, false, 1, {}, false},
      {{"--open_setting=false", "--show_balloon"}, false, true, 2, {}, false},
      // Unknown options and stray words are ignored; the switches beside them still count.
      {{"--verysilent", "--show_balloon"}, false, true, 2, {"--verysilent"}, false},
      {{"/open_setting"}, false, false, 0, {"/open_setting"}, false},
      {{"--Open_Setting"}, false, false, 0, {"--Open_Setting"}, false},
      {{"---open_setting"}, false, false, 0, {"---open_setting"}, false},
      {{"--open_setting", "true"}, true, false, 1, {"true"}, false},
      {{"-x"}, false, false, 0, {"-x"}, false},
      {{"--", "--open_setting"}, false, false, 0, {"--open_setting"}, false},
      {{u8"--显示"}, false, false, 0, {u8"--显示"}, false},
      // A switch with a value that is no boolean: the whole line is unreadable, nothing is switched on.
      {{"--open_setting=maybe"}, false, false, 0, {}, true},
      {{"--show_balloon", "--open_setting="}, false, false, 0, {}, true},
  };
  for (const Case& c : cases) {
    std::string trace;
    for (const auto& a : c.args) trace += a + " ";
    SCOPED_TRACE(trace);
    Args args = {"C:\\Program Files\\Lumavex\\Lumavex.exe"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const StartOptions options = ParseStartOptions(args);
    EXPECT_EQ(options.open_setting, c.open_setting);
    EXPECT_EQ(options.show_balloon, c.show_balloon);
    EXPECT_EQ(StartModeFor(options), c.mode);
    EXPECT_EQ(options.unknown, c.unknown);
    EXPECT_EQ(!options.error.empty(), c.error) << options.error;
  }
}

TEST(ParseStartOptions, AnEmptyListIsAPlainStart) {
  const StartOptions options = ParseStartOptions({});
  EXPECT_EQ(StartModeFor(options), 0);
  EXPECT_TRUE(options.unknown.empty());
  EXPECT_TRUE(options.error.empty());
}

TEST(CommandLineArguments, SplitsAsTheSystemDoesAndLeavesOutEmptyArguments) {
  struct Case {
    const wchar_t* line;
    Args expected;
  } cases[] = {
      {L"Lumavex.exe", {"Lumavex.exe"}},
      {L"\"C:\\Program Files\\Lumavex\\Lumavex.exe\" --open_setting",
       {"C:\\Program Files\\Lumavex\\Lumavex.exe", "--open_setting"}},
      {L"Lumavex.exe  --show_balloon   --open_setting", {"Lumavex.exe", "--show_balloon", "--open_setting"}},
      {L"Lumavex.exe \"\" --open_setting \"\"", {"Lumavex.exe", "--open_setting"}},
      {L"Lumavex.exe \"a b\" c\\\"d", {"Lumavex.exe", "a b", "c\"d"}},
      {L"C:\\\x7528\x6237\\Lumavex.exe --\x663E\x793A", {u8"C:\\用户\\Lumavex.exe", u8"--显示"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CommandLineArguments(c.line), c.expected);
  }
  EXPECT_TRUE(CommandLineArguments(nullptr).empty());
}

}  // namespace
