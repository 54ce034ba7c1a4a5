#include "vellum/core/base/ui_string.h"

#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <cwctype>

namespace Vellum {
namespace {

const wchar_t* OrEmpty(const wchar_t* text) { return text != nullptr ? text : L""; }

// Room for length characters and a terminator, or null when the byte count would not fit.
wchar_t* AllocateText(size_t length) {
  if (length >= SIZE_MAX / sizeof(wchar_t)) return nullptr;
  return static_cast<wchar_t*>(std::malloc((length + 1) * sizeof(wchar_t)));
}

}  // namespace

CUIString::CUIString() : text_(buffer_) { buffer_[0] = L'\0'; }

CUIString::CUIString(const wchar_t* text, int length) : text_(buffer_) {
  buffer_[0] = L'\0';
  Assign(text, length);
}

CUIString::CUIString(const CUIString& other) : text_(buffer_) {
  buffer_[0] = L'\0';
  Assign(other.text_, -1);
}

CUIString::~CUIString() {
  if (!IsInline()) std::free(text_);
}

// Sources may lie inside this string's own storage (TrimLeft of a long text, s += s, a piece of
// itself): the old block is freed only after the copy, and copies within one buffer use memmove.
void CUIString::Assign(const wchar_t* text, int length) {
  text = OrEmpty(text);
  if (length < 0) length = static_cast<int>(std::wcslen(text));
  const size_t available = wcsnlen(text, static_cast<size_t>(length));
  wchar_t* target = text_;
  wchar_t* old_block = nullptr;
  if (length <= kMaxInlineLength) {
    target = buffer_;
    if (!IsInline()) old_block = text_;
  } else if (IsInline() || static_cast<int>(std::wcslen(text_)) < length) {
    target = AllocateText(static_cast<size_t>(length));
    if (target == nullptr) return;
    if (!IsInline()) old_block = text_;
  }
  wmemmove(target, text, available);
  wmemset(target + available, L'\0', static_cast<size_t>(length) - available + 1);
  text_ = target;
  std::free(old_block);
}

void CUIString::Append(const wchar_t* text) {
  if (text == nullptr) return;
  const size_t current = std::wcslen(text_);
  const size_t added = std::wcslen(text);
  const size_t total = current + added;
  if (total > static_cast<size_t>(kMaxInlineLength)) {
    if (total > INT32_MAX) return;
    // A fresh block rather than realloc: the appended text may lie in the old one.
    wchar_t* block = AllocateText(total);
    if (block == nullptr) return;
    wmemcpy(block, text_, current);
    wmemcpy(block + current, text, added + 1);
    if (!IsInline()) std::free(text_);
    text_ = block;
    return;
  }
  if (!IsInline()) {
    // A heap text shortened in place (SetAt, TrimRight) goes back to the inline buffer.
    wchar_t* old_block = text_;
    wmemcpy(buffer_, old_block, current);
    wmemcpy(buffer_ + current, text, added + 1);
    text_ = buffer_;
    std::free(old_block);
    return;
  }
  wmemmove(text_ + current, text, added + 1);
}

void CUIString::Empty() {
  if (!IsInline()) std::free(text_);
  text_ = buffer_;
  buffer_[0] = L'\0';
}

int CUIString::GetLength() const { return static_cast<int>(std::wcslen(text_)); }

CUIString& CUIString::operator=(const CUIString& other) {
  if (this != &other) Assign(other.text_, -1);
  return *this;
}

CUIString& CUIString::operator=(const wchar_t* text) {
  Assign(text, -1);
  return *this;
}

CUIString CUIString::operator+(const CUIString& other) const {
  CUIString result(*this);
  result.Append(other.text_);
  return result;
}

CUIString& CUIString::operator+=(const CUIString& other) {
  Append(other.text_);
  return *this;
}

CUIString& CUIString::operator+=(const wchar_t* text) {
  Append(text);
  return *this;
}

CUIString& CUIString::operator+=(wchar_t ch) {
  const wchar_t text[2] = {ch, L'\0'};
  Append(text);
  return *this;
}

int CUIString::Compare(const wchar_t* text) const { return std::wcscmp(text_, OrEmpty(text)); }

int CUIString::CompareNoCase(const wchar_t* text) const { return _wcsicmp(text_, OrEmpty(text)); }

void CUIString::MakeLower() { _wcslwr(text_); }

CUIString CUIString::Left(int count) const {
  const int length = GetLength();
  if (count < 0) count = 0;
  if (count > length) count = length;
  return CUIString(text_, count);
}

CUIString CUIString::Mid(int position, int count) const {
  const int length = GetLength();
  if (position < 0) position = 0;
  if (position >= length) return CUIString();
  if (count < 0 || count > length - position) count = length - position;
  return CUIString(text_ + position, count);
}

CUIString CUIString::Right(int count) const {
  const int length = GetLength();
  if (count < 0) count = 0;
  if (count > length) count = length;
  return CUIString(text_ + length - count, count);
}

int CUIString::Find(const wchar_t* text, int start) const {
  if (text == nullptr || start < 0 || start > GetLength()) return -1;
  const wchar_t* found = std::wcsstr(text_ + start, text);
  return found != nullptr ? static_cast<int>(found - text_) : -1;
}

int CUIString::Find(wchar_t ch, int start) const {
  if (start != 0 && (start < 1 || start > GetLength() - 1)) return -1;
  for (int i = start; text_[i] != L'\0'; ++i) {
    if (text_[i] == ch) return i;
  }
  return -1;
}

int CUIString::ReverseFind(wchar_t ch) const {
  int found = -1;
  for (int i = 0; text_[i] != L'\0'; ++i) {
    if (text_[i] == ch) found = i;
  }
  return found;
}

int CUIString::Replace(const wchar_t* from, const wchar_t* to) {
  if (from == nullptr || *from == L'\0') return 0;
  // Own copies: either text may point into this string, which changes on every step.
  const CUIString what(from);
  const CUIString with(OrEmpty(to));
  const int what_length = what.GetLength();
  const int with_length = with.GetLength();
  int count = 0;
  for (int i = Find(what.text_, 0); i >= 0; i = Find(what.text_, i + with_length)) {
    CUIString result = Left(i);
    result.Append(with.text_);
    result.Append(Mid(i + what_length).text_);
    Assign(result.text_, -1);
    ++count;
  }
  return count;
}

void CUIString::TrimLeft() {
  const wchar_t* p = text_;
  while (*p != L'\0' && std::iswspace(*p)) p = CharNextW(p);
  if (p != text_) Assign(p, -1);
}

void CUIString::TrimRight() {
  wchar_t* run = nullptr;
  for (wchar_t* p = text_; *p != L'\0'; p = CharNextW(p)) {
    if (std::iswspace(*p)) {
      if (run == nullptr) run = p;
    } else {
      run = nullptr;
    }
  }
  if (run != nullptr) *run = L'\0';
}

void CUIString::Trim() {
  TrimLeft();
  TrimRight();
}

// MinGW's C++ mode reads %s in swprintf as a narrow string; msvcrt's _vscwprintf/_vsnwprintf keep
// the Microsoft meaning that skin code is written for.
int CUIString::Format(const wchar_t* format, ...) {
  if (format == nullptr) return -1;
  va_list args;
  va_start(args, format);
  va_list measure;
  va_copy(measure, args);
  const int length = _vscwprintf(format, measure);
  va_end(measure);
  if (length < 0) {
    va_end(args);
    return -1;
  }
  wchar_t* output = static_cast<wchar_t*>(std::calloc(static_cast<size_t>(length) + 1, sizeof(wchar_t)));
  if (output == nullptr) {
    va_end(args);
    return -1;
  }
  _vsnwprintf(output, static_cast<size_t>(length), format, args);
  va_end(args);
  Assign(output, length);
  std::free(output);
  return length;
}

int CUIString::SmallFormat(const wchar_t* format, ...) {
  const CUIString pattern(format);
  wchar_t output[kInlineCapacity] = {};
  va_list args;
  va_start(args, format);
  // At most 63 characters, so the zeroed buffer always keeps its terminator.
  const int result = _vsnwprintf(output, kInlineCapacity - 1, pattern.text_, args);
  va_end(args);
  Assign(output, -1);
  return result;
}

}  // namespace Vellum
