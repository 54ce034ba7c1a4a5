#pragma once

#include <string>
#include <vector>

// Dotted version texts as the upgrade API and the version resources give them ("1.2.0.31").

// The parts of `text` between "." separators; empty parts are dropped, so "1..2" has two parts.
std::vector<std::wstring> SplitString(const std::wstring& text);

// The sign of the comparison of a with b: 1 when a is newer, -1 when older, 0 when equal. Parts are
// compared as decimal numbers (leading blanks and a sign allowed, digits up to the first other
// character, 0 without any); when all common parts are equal the text with more parts is newer, so
// "1.2.0" is newer than "1.2" and "1.2a" equals "1.2".
int CompareVersion(const std::wstring& a, const std::wstring& b);

// A version the service accepts from the upgrade API: one to four dot-separated numbers of one to
// nine digits each.
bool IsAcceptedVersionText(const std::string& text);

// An MD5 digest as the upgrade API gives it: 32 hexadecimal digits in either case, or nothing.
bool IsAcceptedHashText(const std::string& text);
