#include "vellum/core/base/ui_string.h"

#include <gtest/gtest.h>

#include <string>

using Vellum::CUIString;

namespace {

bool IsInlineText(const CUIString& s) {
  const auto* begin = reinterpret_cast<const char*>(&s);
  const auto* data = reinterpret_cast<const char*>(s.GetData());
  return data >= begin && data < begin + sizeof(CUIString);
}

std::wstring Text(const CUIString& s) { return s.GetData(); }

}  // namespace

TEST(UIString, ShortTextsStayInlineAndLongOnesMoveToTheHeap) {
  const std::wstring t62(62, L'x'), t63(63, L'y');
  CUIString s(t62.c_str());
  EXPECT_TRUE(IsInlineText(s));
  EXPECT_EQ(62, s.GetLength());
  s = t63.c_str();
  EXPECT_FALSE(IsInlineText(s));
  EXPECT_EQ(t63, Text(s));
  // A heap block is reused for a text that fits it, and replaced for a longer one.
  const wchar_t* block = s.GetData();
  s.Assign(t62.c_str(), 63);
  EXPECT_EQ(block, s.GetData());
  EXPECT_EQ(t62, Text(s));
  const std::wstring t200(200, L'z');
  s = t200.c_str();
  EXPECT_EQ(t200, Text(s));
  s = L"short";
  EXPECT_TRUE(IsInlineText(s));
  EXPECT_EQ(L"short", Text(s));

  CUIString appended(t62.c_str());
  appended += L'z';
  EXPECT_FALSE(IsInlineText(appended));
  EXPECT_EQ(t62 + L"z", Text(appended));

  CUIString copy(appended);
  EXPECT_NE(copy.GetData(), appended.GetData());
  EXPECT_EQ(Text(appended), Text(copy));
}

TEST(UIString, AssignHandlesLengthsAndNullTexts) {
  CUIString s(L"abcdef", 3);
  EXPECT_EQ(L"abc", Text(s));
  s.Assign(L"ab", 5);  // a shorter source is padded with NULs
  EXPECT_EQ(2, s.GetLength());
  s.Assign(nullptr);
  EXPECT_TRUE(s.IsEmpty());
  s = L"x";
  s = static_cast<const wchar_t*>(nullptr);
  EXPECT_TRUE(s.IsEmpty());
  s += static_cast<const wchar_t*>(nullptr);
  EXPECT_TRUE(s.IsEmpty());
}

TEST(UIString, HeapTextShortenedInPlaceKeepsItsCharactersWhenAppended) {
  CUIString s((std::wstring(10, L'a') + std::wstring(60, L' ')).c_str());
  ASSERT_FALSE(IsInlineText(s));
  s.TrimRight();
  EXPECT_EQ(10, s.GetLength());
  s += L"bc";
  EXPECT_TRUE(IsInlineText(s));
  EXPECT_EQ(std::wstring(10, L'a') + L"bc", Text(s));

  CUIString t(std::wstring(80, L'q').c_str());
  t.SetAt(3, L'\0');
  EXPECT_EQ(L"qqq", Text(t));
  t += L"r";
  EXPECT_EQ(L"qqqr", Text(t));
}

TEST(UIString, SourcesInsideTheStringItselfAreReadBeforeTheyMove) {
  const std::wstring long_text(100, L'k');
  struct Case {
    const char* name;
    std::wstring initial;
    void (*operation)(CUIString&);
    std::wstring expected;
  };
  const Case cases[] = {
      {"trim left of a long text to a short one", std::wstring(70, L' ') + L"tail",
       [](CUIString& s) { s.TrimLeft(); }, L"tail"},
      {"trim left of a long text staying long", L"  " + long_text, [](CUIString& s) { s.TrimLeft(); },
       long_text},
      {"append itself inline to heap", std::wstring(40, L'a'), [](CUIString& s) { s += s; },
       std::wstring(80, L'a')},
      {"append itself on the heap", long_text, [](CUIString& s) { s += s; }, long_text + long_text},
      {"append a piece of itself", L"0123456789" + long_text,
       [](CUIString& s) { s += s.GetData() + 10; }, L"0123456789" + long_text + long_text},
      {"assign a tail of itself", L"abc" + long_text, [](CUIString& s) { s = s.GetData() + 3; }, long_text},
      {"assign itself", long_text, [](CUIString& s) { s = s.GetData(); }, long_text},
      {"assign a longer padded piece of itself", L"xy" + std::wstring(65, L'z'),
       [](CUIString& s) { s.Assign(s.GetData() + 2, 90); }, std::wstring(65, L'z')},
      {"assign from past the terminator of a shortened heap text", std::wstring(80, L'k'),
       [](CUIString& s) {
         s.SetAt(3, L'\0');
         s.Assign(s.GetData() + 10, 70);
       },
       std::wstring(70, L'k')},
      {"append from past the terminator of a shortened heap text", std::wstring(80, L'k'),
       [](CUIString& s) {
         s.SetAt(3, L'\0');
         s += s.GetData() + 10;
       },
       std::wstring(73, L'k')},
      {"append a piece of itself back inline", std::wstring(70, L'm'),
       [](CUIString& s) {
         s.SetAt(5, L'\0');
         s += s.GetData() + 2;
       },
       std::wstring(8, L'm')},
      {"replace with itself", L"a-b", [](CUIString& s) { s.Replace(L"-", s.GetData()); }, L"aa-bb"},
      {"small format of its own text", L"n=%d", [](CUIString& s) { s.SmallFormat(s.GetData(), 7); }, L"n=7"},
      {"format with its own text as argument", long_text,
       [](CUIString& s) { s.Format(L"<%s>", s.GetData()); }, L"<" + long_text + L">"},
  };
  for (const Case& c : cases) {
    CUIString s(c.initial.c_str());
    c.operation(s);
    EXPECT_EQ(c.expected, Text(s)) << c.name;
    EXPECT_EQ(static_cast<int>(c.expected.size()), s.GetLength()) << c.name;
  }
}

TEST(UIString, SubstringsClampTheirRanges) {
  const CUIString abc(L"abc");
  struct Case {
    CUIString actual;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {abc.Mid(3), L""},       {abc.Mid(1, 10), L"bc"},  {abc.Mid(1), L"bc"},    {abc.Mid(0, 0), L""},
      {abc.Mid(7, 2), L""},    {abc.Mid(1, 1), L"b"},    {abc.Left(-2), L""},    {abc.Left(2), L"ab"},
      {abc.Left(10), L"abc"},  {abc.Right(10), L"abc"},  {abc.Right(1), L"c"},   {abc.Right(0), L""},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    EXPECT_STREQ(cases[i].expected, cases[i].actual.GetData()) << "case " << i;
  }
}

TEST(UIString, FindReportsPositionsAndRejectsStartsOutOfRange) {
  const CUIString s(L"abcabc");
  EXPECT_EQ(1, s.Find(L"bc"));
  EXPECT_EQ(4, s.Find(L"bc", 2));
  EXPECT_EQ(-1, s.Find(L"bc", 5));
  EXPECT_EQ(-1, s.Find(L"c", 6));  // start equal to the length
  EXPECT_EQ(-1, s.Find(L"a", 7));
  EXPECT_EQ(-1, s.Find(L"a", -1));
  EXPECT_EQ(-1, s.Find(L"x"));

  EXPECT_EQ(2, s.Find(L'c'));
  EXPECT_EQ(5, s.Find(L'c', 3));
  EXPECT_EQ(5, s.Find(L'c', 5));
  EXPECT_EQ(-1, s.Find(L'c', 6));  // start equal to the length
  EXPECT_EQ(-1, s.Find(L'a', -1));
  EXPECT_EQ(-1, CUIString().Find(L'a', 0));
  EXPECT_EQ(5, s.ReverseFind(L'c'));
  EXPECT_EQ(-1, s.ReverseFind(L'x'));
}

TEST(UIString, ReplaceCountsAndNeverSearchesInsertedText) {
  CUIString s(L"aaa");
  EXPECT_EQ(3, s.Replace(L"a", L"aa"));
  EXPECT_EQ(L"aaaaaa", Text(s));
  EXPECT_EQ(0, s.Replace(L"b", L"c"));
  EXPECT_EQ(L"aaaaaa", Text(s));
  CUIString path(L"skin\\images\\a.png");
  EXPECT_EQ(2, path.Replace(L"\\", L"/"));
  EXPECT_EQ(L"skin/images/a.png", Text(path));
  CUIString shrink(L"<b>x</b>");
  EXPECT_EQ(2, shrink.Replace(L"b>", L""));
  EXPECT_EQ(L"<x</", Text(shrink));
}

TEST(UIString, TrimRemovesWhiteSpaceOnEachSide) {
  struct Case {
    const wchar_t* input;
    const wchar_t* left;
    const wchar_t* right;
    const wchar_t* both;
  };
  const Case cases[] = {
      {L"  a b  ", L"a b  ", L"  a b", L"a b"},
      {L"\t\r\n x", L"x", L"\t\r\n x", L"x"},
      {L"   ", L"", L"", L""},
      {L"", L"", L"", L""},
      {L"\x3000wide\x3000", L"wide\x3000", L"\x3000wide", L"wide"},
  };
  for (const Case& c : cases) {
    CUIString left(c.input), right(c.input), both(c.input);
    left.TrimLeft();
    right.TrimRight();
    both.Trim();
    EXPECT_STREQ(c.left, left.GetData());
    EXPECT_STREQ(c.right, right.GetData());
    EXPECT_STREQ(c.both, both.GetData());
  }
}

TEST(UIString, FormatReadsWideStringsAndKeepsLongOutput) {
  CUIString s;
  EXPECT_EQ(9, s.Format(L"C%sUI", L"Button"));
  EXPECT_EQ(L"CButtonUI", Text(s));
  const std::wstring long_arg(1000, L'w');
  EXPECT_EQ(1004, s.Format(L"%s-%03d", long_arg.c_str(), 7));
  EXPECT_EQ(long_arg + L"-007", Text(s));
  EXPECT_EQ(0, s.Format(L"%s", L""));
  EXPECT_TRUE(s.IsEmpty());
}

TEST(UIString, SmallFormatCutsAtSixtyThreeCharacters) {
  CUIString s;
  EXPECT_EQ(9, s.SmallFormat(L"#%08X", 0xFF00FF00u));
  EXPECT_EQ(L"#FF00FF00", Text(s));
  EXPECT_EQ(3, s.SmallFormat(L"%s", L"abc"));
  EXPECT_EQ(L"abc", Text(s));
  const std::wstring exact(63, L'e');
  EXPECT_EQ(63, s.SmallFormat(L"%s", exact.c_str()));
  EXPECT_EQ(exact, Text(s));
  const std::wstring longer(100, L'L');
  EXPECT_EQ(-1, s.SmallFormat(L"%s", longer.c_str()));
  EXPECT_EQ(std::wstring(63, L'L'), Text(s));
}

TEST(UIString, ComparisonsAndCaseFolding) {
  CUIString s(L"Button");
  EXPECT_TRUE(s == L"Button");
  EXPECT_TRUE(s != L"button");
  EXPECT_EQ(0, s.CompareNoCase(L"BUTTON"));
  EXPECT_LT(s.Compare(L"Buttons"), 0);
  EXPECT_TRUE(s < L"C");
  EXPECT_FALSE(s < L"Button");
  EXPECT_TRUE(CUIString(L"a") < CUIString(L"b"));
  s.MakeLower();
  EXPECT_EQ(L"button", Text(s));
  EXPECT_EQ(L"buttonUI", Text(s + CUIString(L"UI")));
  s.SetAt(0, L'B');
  EXPECT_EQ(L'B', s[0]);
  EXPECT_EQ(L'u', s.GetAt(1));
  s.Empty();
  EXPECT_TRUE(s.IsEmpty());
  EXPECT_TRUE(IsInlineText(s));
}
