#include "vellum/controls/date_time/date_time_text.h"

#include <cwchar>

namespace Vellum {

CUIString FormatDateTimeText(const SYSTEMTIME& time, const wchar_t* format) {
  const wchar_t* shown = format != nullptr ? format : L"";
  CUIString text;
  if (_wcsicmp(shown, L"yyyy-MM-dd") == 0) {
    text.SmallFormat(L"%4d-%02d-%02d", time.wYear, time.wMonth, time.wDay);
  } else if (_wcsicmp(shown, L"HH:mm:ss") == 0) {
    text.SmallFormat(L"%02d:%02d:%02d", time.wHour, time.wMinute, time.wSecond);
  } else {
    text.SmallFormat(L"%4d-%02d-%02d %02d:%02d:%02d", time.wYear, time.wMonth, time.wDay,
                     time.wHour, time.wMinute, time.wSecond);
  }
  return text;
}

bool SameDate(const SYSTEMTIME& a, const SYSTEMTIME& b) {
  return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay;
}

}  // namespace Vellum
