#include "common/text.h"

#include <windows.h>

#include <cctype>
#include <cwctype>
#include <vector>

namespace {

// Both conversions ask for the size first with length -1, so the terminator is counted, and keep
// only what lies before the first zero.
std::string Narrow(const wchar_t* text, UINT code_page) {
  if (text == nullptr || *text == L'\0') return std::string();
  int size = WideCharToMultiByte(code_page, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return std::string();
  std::vector<char> buffer(static_cast<size_t>(size) + 1, '\0');
  if (WideCharToMultiByte(code_page, 0, text, -1, buffer.data(), size, nullptr, nullptr) <= 0) {
    return std::string();
  }
  return std::string(buffer.data());
}

std::wstring Widen(const char* text, UINT code_page) {
  if (text == nullptr || *text == '\0') return std::wstring();
  int size = MultiByteToWideChar(code_page, 0, text, -1, nullptr, 0);
  if (size <= 0) return std::wstring();
  std::vector<wchar_t> buffer(static_cast<size_t>(size) + 1, L'\0');
  if (MultiByteToWideChar(code_page, 0, text, -1, buffer.data(), size) <= 0) return std::wstring();
  return std::wstring(buffer.data());
}

}  // namespace

std::string Utf16ToUtf8(const wchar_t* text) { return Narrow(text, CP_UTF8); }
std::string Utf16ToUtf8(const std::wstring& text) { return Narrow(text.c_str(), CP_UTF8); }
std::wstring Utf8ToUtf16(const char* text, unsigned code_page) { return Widen(text, code_page); }
std::wstring Utf8ToUtf16(const std::string& text, unsigned code_page) { return Widen(text.c_str(), code_page); }

std::wstring ToLowerW(const std::wstring& text) {
  std::wstring lower(text);
  for (auto& c : lower) {
    if (c < 0x80) c = static_cast<wchar_t>(std::tolower(static_cast<int>(c)));
  }
  return lower;
}

std::wstring UserLocaleNameLower() {
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
  if (GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH) == 0) return L"en";
  std::wstring locale(name);
  for (auto& c : locale) c = static_cast<wchar_t>(std::towlower(c));
  return locale;
}

std::wstring SelectLocalizedText(const LocalizedTextTable& table, const std::wstring& locale) {
  auto it = table.find(locale);
  if (it != table.end()) return it->second;
  it = table.find(L"default");
  if (it != table.end()) return it->second;
  if (!table.empty()) return table.begin()->second;
  return std::wstring();
}

std::wstring SelectLocalizedText(const LocalizedTextTable& table) {
  return SelectLocalizedText(table, UserLocaleNameLower());
}
