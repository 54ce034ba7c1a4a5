#pragma once

#include <windows.h>

namespace Vellum {

// The framework's wide string. Texts of up to 62 characters live in the inline buffer; longer ones
// in a heap block that grows but never shrinks while the text stays on the heap. The length is not
// stored: every length query scans for the terminator. Used on the UI thread only.
class CUIString {
 public:
  CUIString();
  // A length of -1 takes the whole text; a null text is the empty text.
  CUIString(const wchar_t* text, int length = -1);
  CUIString(const CUIString& other);
  ~CUIString();

  // A negative length takes the whole text; a source shorter than length is padded with NULs.
  void Assign(const wchar_t* text, int length = -1);
  void Append(const wchar_t* text);
  void Empty();

  int GetLength() const;
  bool IsEmpty() const { return text_[0] == L'\0'; }
  const wchar_t* GetData() const { return text_; }

  // Neither tests the index. Writing NUL shortens the text in place.
  wchar_t GetAt(int index) const { return text_[index]; }
  wchar_t operator[](int index) const { return text_[index]; }
  void SetAt(int index, wchar_t ch) { text_[index] = ch; }

  CUIString& operator=(const CUIString& other);
  CUIString& operator=(const wchar_t* text);

  CUIString operator+(const CUIString& other) const;
  CUIString& operator+=(const CUIString& other);
  CUIString& operator+=(const wchar_t* text);
  CUIString& operator+=(wchar_t ch);

  bool operator==(const wchar_t* text) const { return Compare(text) == 0; }
  bool operator!=(const wchar_t* text) const { return Compare(text) != 0; }
  bool operator==(const CUIString& other) const { return Compare(other.text_) == 0; }
  bool operator!=(const CUIString& other) const { return Compare(other.text_) != 0; }
  // The order of every ordered container keyed by CUIString.
  bool operator<(const wchar_t* text) const { return Compare(text) < 0; }
  bool operator<(const CUIString& other) const { return Compare(other.text_) < 0; }

  int Compare(const wchar_t* text) const;
  int CompareNoCase(const wchar_t* text) const;
  void MakeLower();

  CUIString Left(int count) const;
  CUIString Mid(int position, int count = -1) const;
  CUIString Right(int count) const;

  int Find(const wchar_t* text, int start = 0) const;
  int Find(wchar_t ch, int start = 0) const;
  int ReverseFind(wchar_t ch) const;
  int Replace(const wchar_t* from, const wchar_t* to);

  void TrimLeft();
  void TrimRight();
  void Trim();

  // printf-style with the Microsoft meaning of %s (a wide string). Keeps output of any length and
  // returns the formatted character count (-1 when formatting failed).
  int Format(const wchar_t* format, ...);
  // For short fixed-shape texts: output is cut at 63 characters; returns -1 when it was cut.
  int SmallFormat(const wchar_t* format, ...);

  static constexpr int kInlineCapacity = 64;
  // Longest text kept in the inline buffer.
  static constexpr int kMaxInlineLength = kInlineCapacity - 2;

 private:
  bool IsInline() const { return text_ == buffer_; }

  wchar_t* text_;
  wchar_t buffer_[kInlineCapacity];
};

}  // namespace Vellum
