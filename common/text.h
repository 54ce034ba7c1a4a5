#pragma once

#include <map>
#include <string>

// Conversions between the wide text of Win32 and the UTF-8 of JSON, HTTP bodies and logs. Each stops
// at the first zero character; a null pointer, an empty text or a failed conversion gives "".
std::string Utf16ToUtf8(const wchar_t* text);
std::string Utf16ToUtf8(const std::wstring& text);
// code_page: CP_UTF8 by default; the installer helper passes CP_ACP (0) for its callers' ANSI text.
std::wstring Utf8ToUtf16(const char* text, unsigned code_page = 65001);
std::wstring Utf8ToUtf16(const std::string& text, unsigned code_page = 65001);

// Lower-cases A-Z only (the C library's tolower in the "C" locale), one UTF-16 unit at a time.
std::wstring ToLowerW(const std::wstring& text);

// Translations keyed by lower-case locale name ("default", "zh-cn", ...).
using LocalizedTextTable = std::map<std::wstring, std::wstring>;

// The text for the current user's locale, else the "default" entry, else the first entry, else "".
std::wstring SelectLocalizedText(const LocalizedTextTable& table);
// The same choice for a given lower-case locale name.
std::wstring SelectLocalizedText(const LocalizedTextTable& table, const std::wstring& locale);
// The user's locale name lower-cased ("zh-cn"), or "en" when it cannot be read.
std::wstring UserLocaleNameLower();
