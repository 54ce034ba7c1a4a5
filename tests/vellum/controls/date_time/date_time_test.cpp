#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "vellum/controls/date_time/date_time.h"
#include "vellum/controls/date_time/date_time_text.h"

namespace {

using namespace Vellum;

SYSTEMTIME Time(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
  SYSTEMTIME time{};
  time.wYear = year;
  time.wMonth = month;
  time.wDay = day;
  time.wHour = hour;
  time.wMinute = minute;
  time.wSecond = second;
  return time;
}

TEST(DateTimeText, TheFormatChoosesDateTimeOrBoth) {
  const SYSTEMTIME time = Time(2024, 3, 7, 9, 5, 2);
  const struct {
    const wchar_t* format;
    const wchar_t* expected;
  } cases[] = {
      {L"yyyy-MM-dd HH:mm:ss", L"2024-03-07 09:05:02"},
      {L"yyyy-MM-dd", L"2024-03-07"},
      {L"YYYY-mm-DD", L"2024-03-07"},  // the names compare without case
      {L"HH:mm:ss", L"09:05:02"},
      {L"hh:MM:SS", L"09:05:02"},
      {L"dd/MM/yyyy", L"2024-03-07 09:05:02"},
      {L"", L"2024-03-07 09:05:02"},
      {nullptr, L"2024-03-07 09:05:02"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatDateTimeText(time, c.format), c.expected)
        << (c.format != nullptr ? c.format : L"(null)");
  }
  // The year is padded with spaces, the other fields with zeros.
  EXPECT_EQ(FormatDateTimeText(Time(987, 12, 31, 23, 59, 59), L"yyyy-MM-dd"), L" 987-12-31");
}

TEST(DateTimeText, SameDateIgnoresTheTimeOfDay) {
  const SYSTEMTIME base = Time(2024, 3, 7, 9, 5, 2);
  SYSTEMTIME other_weekday = base;
  other_weekday.wDayOfWeek = 4;
  other_weekday.wMilliseconds = 500;
  const struct {
    SYSTEMTIME other;
    bool same;
  } cases[] = {
      {Time(2024, 3, 7, 0, 0, 0), true},
      {Time(2024, 3, 7, 23, 59, 59), true},
      {other_weekday, true},
      {Time(2024, 3, 8, 9, 5, 2), false},
      {Time(2024, 4, 7, 9, 5, 2), false},
      {Time(2023, 3, 7, 9, 5, 2), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SameDate(base, c.other), c.same) << c.other.wYear << "-" << c.other.wMonth << "-"
                                                << c.other.wDay << " " << c.other.wHour;
  }
}

TEST(DateTimeControl, ANewControlShowsTheLocalTimeInFull) {
  SYSTEMTIME before{};
  ::GetLocalTime(&before);
  CDateTimeUI control;
  SYSTEMTIME after{};
  ::GetLocalTime(&after);
  const std::wstring text = control.GetText().GetData();
  // The clock may tick between the readings.
  EXPECT_TRUE(text == FormatDateTimeText(before, L"").GetData() ||
              text == FormatDateTimeText(after, L"").GetData())
      << text;
  EXPECT_EQ(control.GetTimeFormat(), L"yyyy-MM-dd HH:mm:ss");
  EXPECT_EQ(text, FormatDateTimeText(control.GetTime(), L"").GetData());
  EXPECT_EQ(control.GetNativeWindow(), nullptr);
}

TEST(DateTimeControl, NamesAndInterface) {
  CDateTimeUI control;
  EXPECT_STREQ(control.GetClass(), L"DateTimeUI");
  EXPECT_EQ(control.GetInterface(L"DateTime"), &control);
  EXPECT_EQ(control.GetInterface(L"datetime"), nullptr);  // exact name only
  EXPECT_EQ(control.GetInterface(L"Label"), control.CLabelUI::GetInterface(L"Label"));
}

TEST(DateTimeControl, TheTimeFormatAttributeReshowsTheTime) {
  CDateTimeUI control;
  control.SetTime(Time(2021, 11, 2, 14, 30, 45));
  EXPECT_EQ(control.GetText(), L"2021-11-02 14:30:45");
  control.SetAttribute(L"TimeFormat", L"yyyy-MM-dd");
  EXPECT_EQ(control.GetTimeFormat(), L"yyyy-MM-dd");
  EXPECT_EQ(control.GetText(), L"2021-11-02");
  control.SetAttribute(L"timeformat", L"HH:mm:ss");
  EXPECT_EQ(control.GetText(), L"14:30:45");
  // Read-only is kept as set; other attributes still reach the label.
  control.SetAttribute(L"readonly", L"true");
  EXPECT_TRUE(control.IsReadOnly());
  control.SetAttribute(L"textcolor", L"#FF102030");
  EXPECT_EQ(control.GetTextColor(), 0xFF102030u);
}

}  // namespace
