#include "vellum/core/image/image_draw_info.h"

#include <cwchar>
#include <cwctype>

#include "vellum/core/base/dpi_scaler.h"

namespace Vellum {

namespace {

// Image coordinates and paddings beyond this reach no pixel of any real image or window, and
// scaled or added to an item's position they would overflow.
constexpr long kMaxImageCoordinate = 65535;

// Four decimal numbers, one separator character skipped after each; missing numbers read as 0.
RECT ReadRect(const wchar_t* text) {
  long values[4] = {};
  const wchar_t* p = text;
  for (long& value : values) {
    if (*p == L'\0') break;
    wchar_t* end = nullptr;
    value = std::wcstol(p, &end, 10);
    if (value > kMaxImageCoordinate) value = kMaxImageCoordinate;
    if (value < -kMaxImageCoordinate) value = -kMaxImageCoordinate;
    p = end;
    if (*p != L'\0') ++p;
  }
  return RECT{values[0], values[1], values[2], values[3]};
}

SIZE ReadSize(const wchar_t* text) {
  RECT pair = ReadRect(text);
  return SIZE{pair.left, pair.top};
}

bool ReadBool(const CUIString& value) { return value.CompareNoCase(L"true") == 0; }

bool IsBlank(wchar_t ch) { return ch != L'\0' && ch <= L' '; }

void ApplyItem(TImageDrawInfo* info, const CUIString& key, const CUIString& value,
               const CDpiScaler& scaler) {
  const wchar_t* text = value.GetData();
  if (key == L"file" || key == L"res") {
    info->name = value;
  } else if (key == L"restype") {
    info->res_type = value;
  } else if (key == L"dest") {
    info->dest = scaler.Scale(ReadRect(text));
  } else if (key == L"source") {
    info->source = scaler.Scale(ReadRect(text));
  } else if (key == L"corner") {
    info->corner = scaler.Scale(ReadRect(text));
  } else if (key == L"padding") {
    info->padding = scaler.Scale(ReadRect(text));
  } else if (key == L"mask") {
    if (*text == L'#') ++text;
    info->mask = static_cast<DWORD>(std::wcstoul(text, nullptr, 16));
  } else if (key == L"fade") {
    info->fade = static_cast<BYTE>(std::wcstol(text, nullptr, 10));
  } else if (key == L"rotate") {
    info->rotate = static_cast<int>(std::wcstol(text, nullptr, 10));
    info->gdiplus = true;
  } else if (key == L"gdiplus") {
    info->gdiplus = ReadBool(value);
  } else if (key == L"hole") {
    info->hole = ReadBool(value);
  } else if (key == L"xtiled") {
    info->xtiled = ReadBool(value);
  } else if (key == L"ytiled") {
    info->ytiled = ReadBool(value);
  } else if (key == L"hsl") {
    info->hsl = ReadBool(value);
  } else if (key == L"size") {
    info->size = ReadSize(text);
  } else if (key == L"align") {
    info->align = value;
  }
}

// key='value' items separated by one blank. Returns at the first malformed item; the items read
// before it have been applied.
void ParseItems(TImageDrawInfo* info, const wchar_t* text, const CDpiScaler& scaler) {
  const wchar_t* p = text;
  while (*p != L'\0') {
    while (IsBlank(*p)) ++p;
    const wchar_t* key_start = p;
    while (*p != L'\0' && *p != L'=' && *p > L' ') ++p;
    CUIString key(key_start, static_cast<int>(p - key_start));
    while (IsBlank(*p)) ++p;
    if (*p != L'=') return;
    ++p;
    while (IsBlank(*p)) ++p;
    if (*p != L'\'') return;
    ++p;
    const wchar_t* value_start = p;
    while (*p != L'\0' && *p != L'\'') ++p;
    if (*p != L'\'') return;
    CUIString value(value_start, static_cast<int>(p - value_start));
    ++p;
    if (!value.IsEmpty()) ApplyItem(info, key, value, scaler);
    if (*p != L' ') return;
    ++p;
  }
}

}  // namespace

void TImageDrawInfo::Clear() { *this = TImageDrawInfo(); }

void TImageDrawInfo::Parse(const wchar_t* image_text, const wchar_t* modify_text,
                           const CDpiScaler& scaler) {
  Clear();
  draw_string = image_text != nullptr ? image_text : L"";
  modify_string = modify_text != nullptr ? modify_text : L"";
  name = draw_string;
  ParseItems(this, draw_string.GetData(), scaler);
  ParseItems(this, modify_string.GetData(), scaler);

  const int scale = scaler.GetScale();
  if (scale != 100) {
    CUIString scaled_dot;
    scaled_dot.Format(L"@%d.", scale);
    name.Replace(L".", scaled_dot.GetData());
  }
}

}  // namespace Vellum

namespace Vellum {

RECT MakeImageDest(const RECT& item, const RECT& dest, SIZE size, const wchar_t* align,
                   const RECT& padding) {
  RECT placed = dest;
  const wchar_t* words = align != nullptr ? align : L"";
  if (std::wcsstr(words, L"left") != nullptr) {
    placed.left = item.left;
    placed.right = item.left + size.cx;
  } else if (std::wcsstr(words, L"hcenter") != nullptr) {
    placed.left = item.left + (item.right - size.cx - item.left) / 2;
    placed.right = placed.left + size.cx;
  } else if (std::wcsstr(words, L"right") != nullptr) {
    placed.left = item.right - size.cx;
    placed.right = item.right;
  }
  if (std::wcsstr(words, L"top") != nullptr) {
    placed.top = item.top;
    placed.bottom = placed.top + size.cy;
  } else if (std::wcsstr(words, L"vcenter") != nullptr) {
    placed.top = item.top + (item.bottom - item.top - size.cy) / 2;
    placed.bottom = placed.top + size.cy;
  } else if (std::wcsstr(words, L"bottom") != nullptr) {
    placed.top = item.bottom - size.cy;
    placed.bottom = placed.top + size.cy;
  }
  OffsetRect(&placed, padding.left - padding.right, padding.top - padding.bottom);
  if (placed.right > item.right) placed.right = item.right;
  if (placed.bottom > item.bottom) placed.bottom = item.bottom;
  return placed;
}

}  // namespace Vellum
