#pragma once

#include <cstddef>
#include <string>

// Read-only access to the product's registry values and to version numbers. Failures give false
// or an empty text; nothing is logged.

// The product key and the installer's uninstall key, both in the local machine hive, 32-bit view.
extern const wchar_t kProductRegistryKey[];
extern const wchar_t kUninstallRegistryKey[];

// The text of string data as the registry returned it: `size` bytes, of which at most `max_chars`
// characters are kept, ending at the first zero character. Data that fills its buffer without a
// terminator, or ends in half a character, is cut there rather than read past.
std::wstring RegistryWideText(const void* data, size_t size, size_t max_chars);
std::string RegistryNarrowText(const void* data, size_t size, size_t max_chars);

// A value under HKLM\<sub_key> in the 32-bit view, as text up to its first zero character (at most
// 511 characters). The value's type is not checked; a value of more than 1024 bytes fails.
bool ReadRegStringHKLM(const std::wstring& sub_key, const std::wstring& value_name, std::wstring* out);

// A 4-byte value under HKLM\<sub_key> in the 32-bit view; the value's type is not checked. False when
// it cannot be read or is not 4 bytes long.
bool ReadRegDwordHKLM(const std::wstring& sub_key, const std::wstring& value_name, unsigned long* out);

// The module's file version "a.b.c.d" from its fixed version information.
bool GetFileVersionString(const std::wstring& module_path, std::wstring* out);

// "ProductVersion" of the product key, else of the uninstall key, as UTF-8; "" when neither has one.
std::string GetProductVersion();
