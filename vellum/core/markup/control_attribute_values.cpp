#include "vellum/core/markup/control_attribute_values.h"

#include <cwchar>
#include <cwctype>

namespace Vellum {
namespace {

// Reads one number with the given parser and steps over the one separator that follows it, but
// never over the terminator: a list that ends early must not send the next read past its end.
template <typename T, typename Parse>
T ReadListItem(const wchar_t*& cursor, Parse parse) {
  if (*cursor == L'\0') return T{};
  wchar_t* end = nullptr;
  T result = parse(cursor, &end);
  cursor = end;
  if (*cursor != L'\0') ++cursor;
  return result;
}

int ReadInt(const wchar_t*& cursor) {
  return ReadListItem<int>(cursor, [](const wchar_t* text, wchar_t** end) {
    return static_cast<int>(std::wcstol(text, end, 10));
  });
}

double ReadDouble(const wchar_t*& cursor) {
  return ReadListItem<double>(cursor, [](const wchar_t* text, wchar_t** end) {
    return std::wcstod(text, end);
  });
}

bool IsBlank(wchar_t ch) { return ch == L' '; }

}  // namespace

int ParseAttributeInt(const wchar_t* value) {
  if (!value) return 0;
  return static_cast<int>(std::wcstol(value, nullptr, 10));
}

RECT ParseAttributeRect(const wchar_t* value) {
  RECT rect{0, 0, 0, 0};
  if (!value) return rect;
  const wchar_t* cursor = value;
  rect.left = ReadInt(cursor);
  rect.top = ReadInt(cursor);
  rect.right = ReadInt(cursor);
  rect.bottom = ReadInt(cursor);
  return rect;
}

SIZE ParseAttributeSize(const wchar_t* value) {
  SIZE size{0, 0};
  if (!value) return size;
  const wchar_t* cursor = value;
  size.cx = ReadInt(cursor);
  size.cy = ReadInt(cursor);
  return size;
}

namespace {

LONG Bounded(LONG value, int low, int high) {
  if (value < low) return low;
  if (value > high) return high;
  return value;
}

}  // namespace

int ParseAttributeIntIn(const wchar_t* value, int low, int high) {
  // wcstol saturates at the long range before the narrowing cast could wrap it.
  if (!value) return Bounded(0, low, high);
  const long parsed = std::wcstol(value, nullptr, 10);
  if (parsed < low) return low;
  if (parsed > high) return high;
  return static_cast<int>(parsed);
}

RECT ParseAttributeRectIn(const wchar_t* value, int low, int high) {
  RECT rect = ParseAttributeRect(value);
  rect.left = Bounded(rect.left, low, high);
  rect.top = Bounded(rect.top, low, high);
  rect.right = Bounded(rect.right, low, high);
  rect.bottom = Bounded(rect.bottom, low, high);
  return rect;
}

SIZE ParseAttributeSizeIn(const wchar_t* value, int low, int high) {
  SIZE size = ParseAttributeSize(value);
  size.cx = Bounded(size.cx, low, high);
  size.cy = Bounded(size.cy, low, high);
  return size;
}

bool ParseAttributeBool(const wchar_t* value) { return value && _wcsicmp(value, L"true") == 0; }

DWORD ParseAttributeColor(const wchar_t* value, bool skip_controls) {
  if (!value) return 0;
  const wchar_t* cursor = value;
  if (skip_controls) {
    while (*cursor >= 1 && *cursor <= 32) ++cursor;
  }
  if (*cursor == L'#') ++cursor;
  return static_cast<DWORD>(std::wcstoul(cursor, nullptr, 16));
}

TFloatPercent ParseFloatPercent(const wchar_t* value) {
  TFloatPercent percent;
  if (!value) return percent;
  const wchar_t* cursor = value;
  percent.left = ReadDouble(cursor);
  percent.top = ReadDouble(cursor);
  percent.right = ReadDouble(cursor);
  percent.bottom = ReadDouble(cursor);
  return percent;
}

UINT ApplyFloatAlignWords(UINT bits, const wchar_t* words) {
  if (!words) return bits;
  CUIString word;
  const wchar_t* cursor = words;
  for (;;) {
    const wchar_t ch = *cursor;
    if (ch != L'\0' && ch != L',' && ch != L' ') {
      word += ch;
      ++cursor;
      continue;
    }
    if (!word.IsEmpty()) {
      if (word.CompareNoCase(L"null") == 0) {
        bits = 0;
      } else if (word.CompareNoCase(L"left") == 0) {
        bits &= ~(UIFLOAT_HCENTER | UIFLOAT_RIGHT);
      } else if (word.CompareNoCase(L"center") == 0) {
        bits = (bits | UIFLOAT_HCENTER) & ~UIFLOAT_RIGHT;
      } else if (word.CompareNoCase(L"right") == 0) {
        bits = (bits | UIFLOAT_RIGHT) & ~UIFLOAT_HCENTER;
      } else if (word.CompareNoCase(L"top") == 0) {
        bits &= ~(UIFLOAT_VCENTER | UIFLOAT_BOTTOM);
      } else if (word.CompareNoCase(L"vcenter") == 0) {
        bits = (bits | UIFLOAT_VCENTER) & ~UIFLOAT_BOTTOM;
      } else if (word.CompareNoCase(L"bottom") == 0) {
        bits = (bits | UIFLOAT_BOTTOM) & ~UIFLOAT_VCENTER;
      }
      word.Empty();
    }
    if (ch == L'\0') break;
    ++cursor;
  }
  return bits;
}

WORD CursorIdOfWord(const wchar_t* word) {
  static const struct {
    const wchar_t* word;
    WORD id;
  } kCursors[] = {
      {L"arrow", 32512},    {L"ibeam", 32513},    {L"wait", 32514},     {L"cross", 32515},
      {L"uparrow", 32516},  {L"size", 32640},     {L"icon", 32641},     {L"sizenwse", 32642},
      {L"sizenesw", 32643}, {L"sizewe", 32644},   {L"sizens", 32645},   {L"sizeall", 32646},
      {L"no", 32648},       {L"hand", 32649},
  };
  if (!word) return 0;
  for (const auto& cursor : kCursors) {
    if (_wcsicmp(word, cursor.word) == 0) return cursor.id;
  }
  return 0;
}

AttributePairs SplitAttributeList(const wchar_t* list) {
  AttributePairs pairs;
  if (!list) return pairs;
  CUIString text(list);
  text.Replace(L"&quot;", L"\"");
  text.Replace(L"\r", L" ");
  text.Replace(L"\n", L" ");
  text.Replace(L"\t", L" ");
  text.Trim();

  const wchar_t* cursor = text.GetData();
  while (*cursor != L'\0') {
    while (IsBlank(*cursor)) ++cursor;
    if (*cursor == L'\0') break;
    const wchar_t* name_start = cursor;
    while (*cursor != L'\0' && *cursor != L'=') ++cursor;
    CUIString name(name_start, static_cast<int>(cursor - name_start));
    if (*cursor != L'=' || cursor[1] != L'"') break;
    cursor += 2;
    const wchar_t* value_start = cursor;
    while (*cursor != L'\0' && *cursor != L'"') ++cursor;
    if (*cursor != L'"') break;
    pairs.emplace_back(name, CUIString(value_start, static_cast<int>(cursor - value_start)));
    ++cursor;
    if (*cursor != L' ' && *cursor != L',') break;
    ++cursor;
  }
  return pairs;
}

}  // namespace Vellum
