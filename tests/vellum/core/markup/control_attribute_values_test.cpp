#include "vellum/core/markup/control_attribute_values.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <cwchar>
#include <string>

namespace {

using namespace Vellum;

// A text whose terminator is the last character before an inaccessible page: any read past the end
// of the value faults at once instead of reading whatever follows it in memory.
class GuardedText {
 public:
  explicit GuardedText(const wchar_t* text) {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    const size_t page = info.dwPageSize;
    base_ = static_cast<BYTE*>(VirtualAlloc(nullptr, 2 * page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    DWORD old = 0;
    VirtualProtect(base_ + page, page, PAGE_NOACCESS, &old);
    const size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
    text_ = reinterpret_cast<wchar_t*>(base_ + page - bytes);
    std::memcpy(text_, text, bytes);
  }
  ~GuardedText() { VirtualFree(base_, 0, MEM_RELEASE); }
  GuardedText(const GuardedText&) = delete;
  GuardedText& operator=(const GuardedText&) = delete;
  const wchar_t* get() const { return text_; }

 private:
  BYTE* base_ = nullptr;
  wchar_t* text_ = nullptr;
};

TEST(ControlAttributeValues, IntegersReadLikeAtoi) {
  const struct {
    const wchar_t* text;
    int value;
  } cases[] = {{L"42", 42}, {L"  -7", -7}, {L"+3px", 3}, {L"x12", 0}, {L"", 0}, {L"12,5", 12}};
  for (const auto& c : cases) {
    EXPECT_EQ(ParseAttributeInt(c.text), c.value) << c.value;
  }
  EXPECT_EQ(ParseAttributeInt(nullptr), 0);
}

TEST(ControlAttributeValues, ListsSkipOneSeparatorAndFillWhatIsMissingWithZero) {
  const struct {
    const wchar_t* text;
    RECT rect;
  } cases[] = {
      {L"1,2,3,4", {1, 2, 3, 4}},
      {L"-1,10,30,40", {-1, 10, 30, 40}},
      {L"1 2 3 4", {1, 2, 3, 4}},
      {L"1, 2, 3, 4", {1, 2, 3, 4}},  // blanks before a number are skipped
      {L"1;2;3;4trailing", {1, 2, 3, 4}},
      {L"5", {5, 0, 0, 0}},
      {L"5,", {5, 0, 0, 0}},
      {L"5,6,", {5, 6, 0, 0}},
      {L"", {0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    // Every value ends right before a guard page: a list that ends early must not read on.
    GuardedText text(c.text);
    const RECT rect = ParseAttributeRect(text.get());
    EXPECT_EQ(rect.left, c.rect.left);
    EXPECT_EQ(rect.top, c.rect.top);
    EXPECT_EQ(rect.right, c.rect.right);
    EXPECT_EQ(rect.bottom, c.rect.bottom);
  }

  GuardedText one(L"7,");
  const SIZE size = ParseAttributeSize(one.get());
  EXPECT_EQ(size.cx, 7);
  EXPECT_EQ(size.cy, 0);
  GuardedText fractions(L"0.5,");
  const TFloatPercent percent = ParseFloatPercent(fractions.get());
  EXPECT_DOUBLE_EQ(percent.left, 0.5);
  EXPECT_DOUBLE_EQ(percent.top, 0.0);
  EXPECT_DOUBLE_EQ(percent.bottom, 0.0);
}

TEST(ControlAttributeValues, ColoursAndBooleans) {
  const struct {
    const wchar_t* text;
    bool skip_controls;
    DWORD color;
  } cases[] = {
      {L"#FF112233", true, 0xFF112233},
      {L"FF112233", true, 0xFF112233},
      {L" #80FFFFFF", true, 0x80FFFFFF},   // background colours skip the leading blank
      {L"\t\n#00000001", true, 0x00000001},
      {L" #80FFFFFF", false, 0},           // border colours skip only a "#" in first place
      {L"#80FFFFFF", false, 0x80FFFFFF},
      {L"ff0000", false, 0x00FF0000},
      {L"##FF", true, 0},
      {L"", true, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseAttributeColor(c.text, c.skip_controls), c.color)
        << "skip " << c.skip_controls << " expected 0x" << std::hex << c.color;
  }

  EXPECT_TRUE(ParseAttributeBool(L"true"));
  EXPECT_TRUE(ParseAttributeBool(L"TRUE"));
  EXPECT_FALSE(ParseAttributeBool(L"1"));
  EXPECT_FALSE(ParseAttributeBool(L"true "));
  EXPECT_FALSE(ParseAttributeBool(nullptr));
}

TEST(ControlAttributeValues, FloatAlignWordsSetAndClearTheirPairs) {
  const struct {
    UINT start;
    const wchar_t* words;
    UINT bits;
  } cases[] = {
      {0, L"null,right", 2},
      {10, L"center,vcenter", 5},
      {15, L"null", 0},
      {3, L"left", 0},
      {12, L"top", 0},
      {0, L"right bottom", 10},
      {5, L"RIGHT , Bottom", 10},
      {6, L"sideways", 6},  // unknown words change nothing
      {0, L"", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ApplyFloatAlignWords(c.start, c.words), c.bits) << c.start;
  }
}

TEST(ControlAttributeValues, CursorWords) {
  const struct {
    const wchar_t* word;
    WORD id;
  } cases[] = {
      {L"arrow", 32512},    {L"IBEAM", 32513},  {L"wait", 32514},     {L"cross", 32515},
      {L"uparrow", 32516},  {L"size", 32640},   {L"icon", 32641},     {L"sizenwse", 32642},
      {L"sizenesw", 32643}, {L"sizewe", 32644}, {L"sizens", 32645},   {L"SizeAll", 32646},
      {L"no", 32648},       {L"hand", 32649},   {L"pointer", 0},      {L"", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(CursorIdOfWord(c.word), c.id);
}

TEST(ControlAttributeValues, AttributeListsStopAtTheFirstMalformedPair) {
  const struct {
    const wchar_t* list;
    const wchar_t* joined;  // name=value;... of the pairs read
  } cases[] = {
      {L"a=\"1\" b=\"2\"", L"a=1;b=2;"},
      {L"a=\"1\",b=\"2\"", L"a=1;b=2;"},
      {L"a=\"1\"   b=\"2\"", L"a=1;b=2;"},
      {L"a=\"1\";b=\"2\"", L"a=1;"},               // a pair followed by anything else is the last
      {L"a=\"1\" b=2 c=\"3\"", L"a=1;"},           // "=" must be followed by a quote
      {L"a=\"1\" b=\"2", L"a=1;"},                 // no closing quote
      {L"  a=\"1\"\r\n\tb=\"x y\"  ", L"a=1;b=x y;"},
      {L"text=\"say &quot;hi&quot;\"", L"text=say ;"},  // the quote it stands for ends the value
      {L"a=\"\" b=\"2\"", L"a=;b=2;"},
      {L"", L""},
      {L"noequals", L""},
  };
  for (const auto& c : cases) {
    std::wstring joined;
    for (const auto& pair : SplitAttributeList(c.list)) {
      joined += pair.first.GetData();
      joined += L"=";
      joined += pair.second.GetData();
      joined += L";";
    }
    EXPECT_EQ(joined, c.joined);
  }
}

}  // namespace
