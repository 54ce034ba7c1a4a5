#include "service/version_compare.h"

#include <cwctype>

namespace {

// Like the C library's wide decimal conversion, but saturating instead of overflowing.
long long PartNumber(const std::wstring& part) {
  size_t i = 0;
  while (i < part.size() && std::iswspace(part[i])) ++i;
  bool negative = false;
  if (i < part.size() && (part[i] == L'+' || part[i] == L'-')) negative = part[i++] == L'-';
  constexpr long long kCeiling = 1000000000000000000LL;
  long long value = 0;
  for (; i < part.size() && part[i] >= L'0' && part[i] <= L'9'; ++i) {
    if (value < kCeiling) value = value * 10 + (part[i] - L'0');
  }
  return negative ? -value : value;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

}  // namespace

std::vector<std::wstring> SplitString(const std::wstring& text) {
  std::vector<std::wstring> parts;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(L'.', start);
    if (end == std::wstring::npos) end = text.size();
    if (end > start) parts.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

int CompareVersion(const std::wstring& a, const std::wstring& b) {
  const std::vector<std::wstring> left = SplitString(a);
  const std::vector<std::wstring> right = SplitString(b);
  for (size_t i = 0; i < left.size() && i < right.size(); ++i) {
    const long long x = PartNumber(left[i]);
    const long long y = PartNumber(right[i]);
    if (x != y) return x > y ? 1 : -1;
  }
  if (left.size() == right.size()) return 0;
  return left.size() > right.size() ? 1 : -1;
}

bool IsAcceptedVersionText(const std::string& text) {
  int parts = 1;
  int digits = 0;
  for (char c : text) {
    if (c == '.') {
      if (digits == 0 || ++parts > 4) return false;
      digits = 0;
    } else if (!IsDigit(c) || ++digits > 9) {
      return false;
    }
  }
  return digits > 0;
}

bool IsAcceptedHashText(const std::string& text) {
  if (text.empty()) return true;
  if (text.size() != 32) return false;
  for (char c : text) {
    if (!IsHexDigit(c)) return false;
  }
  return true;
}
