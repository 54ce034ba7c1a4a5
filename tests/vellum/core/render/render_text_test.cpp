#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/vellum/support/dib_surface.h"
#include "tests/vellum/support/image_fixtures.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"

namespace {

using Vellum::CPaintManagerUI;
using Vellum::CRenderUI;
using Vellum::CUIString;
using testing_support::Surface;

constexpr DWORD kWhite = 0xFFFFFFFF;

bool IsInk(DWORD pixel) { return (pixel & 0xFFFFFF) != (kWhite & 0xFFFFFF); }

int CountInk(const Surface& surface, const RECT& area) {
  int count = 0;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) count += IsInk(surface.At(x, y)) ? 1 : 0;
  }
  return count;
}

bool SamePixels(const Surface& a, const Surface& b) {
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      if ((a.At(x, y) & 0xFFFFFF) != (b.At(x, y) & 0xFFFFFF)) return false;
    }
  }
  return true;
}

SIZE Extent(HDC dc, HFONT font, const wchar_t* text) {
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
  SelectObject(dc, old);
  return size;
}

int LineHeight(HDC dc, HFONT font) {
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  return tm.tmHeight + tm.tmExternalLeading;
}

// Lays out tagged text without drawing it.
RECT Measure(HDC dc, CPaintManagerUI* manager, const wchar_t* text, UINT style,
             RECT rect = RECT{0, 0, 400, 200}) {
  int no_links = 0;
  CRenderUI::DrawHtmlText(dc, manager, rect, text, 0xFF000000, nullptr, nullptr, no_links, -1,
                          style | DT_CALCRECT);
  return rect;
}

class RenderTextTest : public testing::Test {
 protected:
  CPaintManagerUI manager_;
  Surface surface_{200, 60, kWhite};
  int next_id_ = 900;
  HFONT DefaultFont() { return manager_.GetFont(-1); }
  HFONT Styled(bool bold, bool underline, bool italic) {
    const Vellum::TUIFontInfo* base = manager_.GetDefaultFontInfo();
    HFONT font = manager_.GetFont(base->face_name.GetData(), base->size, bold, underline, italic);
    return font != nullptr ? font
                           : manager_.AddFont(next_id_++, base->face_name.GetData(), base->size,
                                              bold, underline, italic);
  }
};

TEST_F(RenderTextTest, PlainTextIsDrawnInsideItsRectangleInItsColour) {
  RECT rect{10, 10, 150, 40};
  CRenderUI::DrawText(surface_.dc(), &manager_, rect, L"Hello", 0xFFFF0000, -1, DT_SINGLELINE);
  EXPECT_GT(CountInk(surface_, rect), 0);
  EXPECT_EQ(CountInk(surface_, RECT{0, 0, 200, 10}), 0);
  EXPECT_EQ(CountInk(surface_, RECT{0, 40, 200, 60}), 0);
  for (int y = 10; y < 40; ++y) {
    for (int x = 10; x < 150; ++x) {
      const DWORD pixel = surface_.At(x, y);
      if (IsInk(pixel)) {
        // Ink is red (anti-aliasing may mix it with the white behind).
        ASSERT_GE((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF);
        ASSERT_EQ((pixel >> 8) & 0xFF, pixel & 0xFF);
      }
    }
  }

  // DT_CALCRECT measures and draws nothing.
  Surface other(200, 60, kWhite);
  RECT measured{0, 0, 200, 60};
  CRenderUI::DrawText(other.dc(), &manager_, measured, L"Hello", 0xFF000000, -1,
                      DT_SINGLELINE | DT_CALCRECT);
  EXPECT_EQ(measured.right, Extent(other.dc(), DefaultFont(), L"Hello").cx);
  EXPECT_EQ(CountInk(other, RECT{0, 0, 200, 60}), 0);

  // Without text or manager nothing happens.
  RECT untouched{0, 0, 200, 60};
  CRenderUI::DrawText(other.dc(), nullptr, untouched, L"x", 0xFF000000, -1, 0);
  CRenderUI::DrawText(other.dc(), &manager_, untouched, nullptr, 0xFF000000, -1, 0);
  EXPECT_EQ(CountInk(other, untouched), 0);
}

TEST_F(RenderTextTest, CharacterCodeDrawsThatOneCharacter) {
  const wchar_t* codes[] = {L"&#x0041;", L"&#x41;", L"&#x0041 ", L"&#x0041"};
  Surface expected(200, 60, kWhite);
  RECT plain{0, 0, 200, 60};
  CRenderUI::DrawText(expected.dc(), &manager_, plain, L"A", 0xFF000000, -1, DT_SINGLELINE);
  for (const wchar_t* code : codes) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(code)));
    Surface actual(200, 60, kWhite);
    RECT rect{0, 0, 200, 60};
    CRenderUI::DrawText(actual.dc(), &manager_, rect, code, 0xFF000000, -1, DT_SINGLELINE);
    EXPECT_TRUE(SamePixels(actual, expected));
  }
}

TEST_F(RenderTextTest, TextSizeIsTheExtentInTheManagersFont) {
  const SIZE size = CRenderUI::GetTextSize(surface_.dc(), &manager_, L"Measure me", -1);
  const SIZE expected = Extent(surface_.dc(), DefaultFont(), L"Measure me");
  EXPECT_EQ(size.cx, expected.cx);
  EXPECT_EQ(size.cy, expected.cy);
  EXPECT_GT(size.cx, 0);
  const SIZE none = CRenderUI::GetTextSize(surface_.dc(), &manager_, nullptr, -1);
  EXPECT_EQ(none.cx, 0);
  EXPECT_EQ(none.cy, 0);
  const SIZE no_manager = CRenderUI::GetTextSize(surface_.dc(), nullptr, L"x", -1);
  EXPECT_EQ(no_manager.cx, 0);
}

TEST_F(RenderTextTest, TaggedTextWidths) {
  HDC dc = surface_.dc();
  HFONT normal = DefaultFont();
  HFONT bold = Styled(true, false, false);
  const struct {
    const wchar_t* text;
    int width;
  } cases[] = {
      {L"word", Extent(dc, normal, L"word").cx},
      {L"<b>word</b>", Extent(dc, bold, L"word").cx},
      {L"{b}word{/b}", Extent(dc, bold, L"word").cx},
      {L"a <b>b</b>", Extent(dc, normal, L"a ").cx + Extent(dc, bold, L"b").cx},
      // Escapes draw the brace or bracket itself.
      {L"a<{>b<}>", Extent(dc, normal, L"a{b}").cx},
      {L"a{<}b{>}", Extent(dc, normal, L"a<b>").cx},
      // Raw text is not read for tags.
      {L"<r><b>x</b></r>", Extent(dc, normal, L"<b>x</b>").cx},
      {L"x<x 10>y", Extent(dc, normal, L"x").cx + 10 + Extent(dc, normal, L"y").cx},
      // A colour changes no size; an unknown tag is read and ignored.
      {L"<c #FFFF0000>red</c>", Extent(dc, normal, L"red").cx},
      {L"<q>red</q>", Extent(dc, normal, L"red").cx},
      // A "<" that opens no tag is text.
      {L"1 < 2", Extent(dc, normal, L"1 < 2").cx},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
    const RECT rect = Measure(dc, &manager_, c.text, DT_SINGLELINE);
    EXPECT_EQ(rect.right - rect.left, c.width);
    EXPECT_EQ(rect.bottom - rect.top, LineHeight(dc, normal));
  }
}

TEST_F(RenderTextTest, TaggedTextLines) {
  HDC dc = surface_.dc();
  const int line = LineHeight(dc, DefaultFont());
  const int narrow = Extent(dc, DefaultFont(), L"aaa bbb ").cx + 2;
  const struct {
    const wchar_t* text;
    UINT style;
    int right;
    int lines;
  } cases[] = {
      {L"one<n>two", 0, 400, 2},
      {L"one\ntwo\nthree", 0, 400, 3},
      {L"one<n>two", DT_SINGLELINE, 400, 1},
      {L"aaa bbb ccc", DT_WORDBREAK, narrow, 2},
      {L"aaa bbb ccc", DT_WORDBREAK | DT_SINGLELINE, narrow, 1},
      {L"<p>one</p>two", 0, 400, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
    const RECT rect = Measure(dc, &manager_, c.text, c.style, RECT{0, 0, c.right, 200});
    EXPECT_EQ(rect.bottom, c.lines * line);
    EXPECT_LE(rect.right, c.right);
  }
  // A word break happens after the last blank that fits: the first line holds "aaa bbb ".
  const RECT broken = Measure(dc, &manager_, L"aaa bbb ccc", DT_WORDBREAK, RECT{0, 0, narrow, 200});
  EXPECT_EQ(broken.right, Extent(dc, DefaultFont(), L"aaa bbb ").cx);
  // Without word break the line takes what fits, in the middle of a word.
  const int cut = Extent(dc, DefaultFont(), L"aaa bb").cx + 1;
  const RECT cut_rect = Measure(dc, &manager_, L"aaa bbbccc", 0, RECT{0, 0, cut, 200});
  EXPECT_EQ(cut_rect.right, Extent(dc, DefaultFont(), L"aaa bb").cx);
  EXPECT_EQ(cut_rect.bottom, 2 * line);

  // A paragraph is at least its spacing plus the font high; "y" sets the line height.
  EXPECT_EQ(Measure(dc, &manager_, L"<p 20>text</p>", 0).bottom, 20 + line);
  EXPECT_EQ(Measure(dc, &manager_, L"<y 40>text", 0).bottom, 40);
}

TEST_F(RenderTextTest, EllipsisEndsTheLineAtTheRightEdge) {
  HDC dc = surface_.dc();
  const int right = Extent(dc, DefaultFont(), L"A long").cx;
  const RECT rect = Measure(dc, &manager_, L"A long text that does not fit",
                            DT_SINGLELINE | DT_END_ELLIPSIS, RECT{0, 0, right, 50});
  EXPECT_EQ(rect.right, right);
  EXPECT_EQ(rect.bottom, LineHeight(dc, DefaultFont()));

  // Drawn, it stays inside its rectangle.
  RECT draw{10, 10, 10 + right, 40};
  int no_links = 0;
  CRenderUI::DrawHtmlText(dc, &manager_, draw, L"A long text that does not fit", 0xFF000000,
                          nullptr, nullptr, no_links, -1, DT_SINGLELINE | DT_END_ELLIPSIS);
  EXPECT_GT(CountInk(surface_, draw), 0);
  EXPECT_EQ(CountInk(surface_, RECT{10 + right, 0, 200, 60}), 0);
}

TEST_F(RenderTextTest, TaggedTextDrawsLikeTheSameTextInItsFontAndColour) {
  HDC dc = surface_.dc();
  const struct {
    const wchar_t* tagged;
    const wchar_t* plain;
    HFONT font;
    COLORREF color;
  } cases[] = {
      {L"<b>word</b>", L"word", Styled(true, false, false), RGB(0, 0, 0)},
      {L"<c #FFFF0000>word</c>", L"word", DefaultFont(), RGB(255, 0, 0)},
      {L"<c FF00FF00>word</c>", L"word", DefaultFont(), RGB(0, 255, 0)},
      {L"<u>word</u>", L"word", Styled(false, true, false), RGB(0, 0, 0)},
      {L"<i>word</i>", L"word", Styled(false, false, true), RGB(0, 0, 0)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.tagged)));
    Surface tagged(200, 60, kWhite);
    RECT rect{5, 5, 195, 55};
    int no_links = 0;
    CRenderUI::DrawHtmlText(tagged.dc(), &manager_, rect, c.tagged, 0xFF000000, nullptr, nullptr,
                            no_links, -1, DT_SINGLELINE);
    Surface plain(200, 60, kWhite);
    HGDIOBJ old = SelectObject(plain.dc(), c.font);
    SetBkMode(plain.dc(), TRANSPARENT);
    SetTextColor(plain.dc(), c.color);
    TextOutW(plain.dc(), 5, 5, c.plain, static_cast<int>(wcslen(c.plain)));
    SelectObject(plain.dc(), old);
    EXPECT_TRUE(SamePixels(tagged, plain));
    EXPECT_GT(CountInk(tagged, RECT{0, 0, 200, 60}), 0);
  }
  (void)dc;
}

TEST_F(RenderTextTest, LinksFillRectanglesAndTheCount) {
  HDC dc = surface_.dc();
  RECT links[4] = {};
  CUIString texts[4];
  int count = 4;
  RECT rect{10, 5, 190, 55};
  CRenderUI::DrawHtmlText(dc, &manager_, rect, L"go <a http://x>here</a> now", 0xFF000000, links,
                          texts, count, -1, DT_SINGLELINE);
  ASSERT_EQ(count, 1);
  EXPECT_EQ(texts[0], L"http://x");
  const int before = Extent(dc, DefaultFont(), L"go ").cx;
  const int width = Extent(dc, Styled(false, true, false), L"here").cx;
  EXPECT_EQ(links[0].left, 10 + before);
  EXPECT_EQ(links[0].right, 10 + before + width);
  EXPECT_EQ(links[0].top, 5);
  EXPECT_EQ(links[0].bottom, 5 + LineHeight(dc, DefaultFont()));
  // The link is drawn in the manager's link colour (blue by default).
  bool blue = false;
  for (int x = links[0].left; x < links[0].right; ++x) {
    for (int y = links[0].top; y < links[0].bottom; ++y) {
      const DWORD pixel = surface_.At(x, y);
      if ((pixel & 0xFFFFFF) == 0x0000FF) blue = true;
    }
  }
  EXPECT_TRUE(blue);

  // A link that wraps gets one rectangle per line; room for fewer only fills what fits.
  RECT wrapped[4] = {};
  CUIString wrapped_texts[4];
  int wrapped_count = 4;
  const int narrow = Extent(dc, Styled(false, true, false), L"aaa bbb").cx + 2;
  RECT box{0, 0, narrow, 100};
  CRenderUI::DrawHtmlText(dc, &manager_, box, L"<a l>aaa bbb ccc</a>", 0xFF000000, wrapped,
                          wrapped_texts, wrapped_count, -1, DT_WORDBREAK);
  EXPECT_EQ(wrapped_count, 2);
  EXPECT_EQ(wrapped_texts[1], L"l");
  EXPECT_EQ(wrapped[1].top, wrapped[0].bottom);
  int one = 1;
  RECT single[1] = {};
  CUIString single_text[1];
  RECT box2{0, 0, narrow, 100};
  CRenderUI::DrawHtmlText(dc, &manager_, box2, L"<a l>aaa bbb ccc</a> <a m>x</a>", 0xFF000000,
                          single, single_text, one, -1, DT_WORDBREAK);
  EXPECT_EQ(one, 1);
}

TEST_F(RenderTextTest, SelectionHasAnOpaqueBackground) {
  RECT rect{5, 5, 195, 55};
  int no_links = 0;
  CRenderUI::DrawHtmlText(surface_.dc(), &manager_, rect, L"<s>chosen</s> not", 0xFF000000,
                          nullptr, nullptr, no_links, -1, DT_SINGLELINE);
  const DWORD selected = manager_.GetDefaultSelectedBkColor() & 0xFFFFFF;
  const int chosen = Extent(surface_.dc(), DefaultFont(), L"chosen").cx;
  int background = 0;
  for (int x = 5; x < 195; ++x) {
    const DWORD pixel = surface_.At(x, 6) & 0xFFFFFF;
    if (pixel == selected) {
      ++background;
      EXPECT_LT(x, 5 + chosen);
    }
  }
  EXPECT_GT(background, chosen / 2);
}

TEST_F(RenderTextTest, InlineImageSliceIsDrawnAndTakesItsWidth) {
  // Two 4 x 3 slices side by side: red then blue.
  std::vector<testing_support::Rgba> pixels;
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 8; ++x) {
      pixels.push_back(x < 4 ? testing_support::Rgba{255, 0, 0, 255}
                             : testing_support::Rgba{0, 0, 255, 255});
    }
  }
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring path = std::wstring(folder) + L"vellum_text_slices.png";
  {
    const std::string png = testing_support::EncodePng(8, 3, pixels);
    FILE* file = _wfopen(path.c_str(), L"wb");
    ASSERT_NE(file, nullptr);
    fwrite(png.data(), 1, png.size(), file);
    fclose(file);
  }
  const std::wstring text = L"<i " + path + L" 2 1>";
  HDC dc = surface_.dc();
  const RECT measured = Measure(dc, &manager_, text.c_str(), DT_SINGLELINE);
  EXPECT_EQ(measured.right - measured.left, 4);

  RECT rect{0, 0, 200, 60};
  int no_links = 0;
  CRenderUI::DrawHtmlText(dc, &manager_, rect, text.c_str(), 0xFF000000, nullptr, nullptr,
                          no_links, -1, DT_SINGLELINE);
  const int line = LineHeight(dc, DefaultFont());
  // Bottom-aligned in the line: the second (blue) slice.
  EXPECT_EQ(surface_.At(1, line - 1) & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(surface_.At(4, line - 1) & 0xFFFFFF, 0xFFFFFFu);
  DeleteFileW(path.c_str());
}

TEST_F(RenderTextTest, HoveredLinkTakesTheHoverColour) {
  HDC dc = surface_.dc();
  RECT links[2] = {};
  CUIString texts[2];
  int count = 2;
  RECT rect{0, 0, 200, 30};
  CRenderUI::DrawHtmlText(dc, &manager_, rect, L"<a one>first</a> <a two>second</a>", 0xFF000000,
                          links, texts, count, -1, DT_SINGLELINE);
  ASSERT_EQ(count, 2);
  EXPECT_LE(links[0].right, links[1].left);
  // The mouse rests on the second link (as the last button-up left it); the next pass draws
  // that link, and only that one, in the hover colour.
  // The manager hears of the mouse through its window: a message-only one does.
  HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  manager_.Init(window);
  LRESULT result = 0;
  manager_.MessageHandler(WM_LBUTTONUP, 0, MAKELPARAM(links[1].left + 1, links[1].top + 1),
                          result);
  ASSERT_EQ(manager_.GetMousePos().x, links[1].left + 1);
  Surface hovered(200, 30, kWhite);
  RECT again{0, 0, 200, 30};
  CRenderUI::DrawHtmlText(hovered.dc(), &manager_, again, L"<a one>first</a> <a two>second</a>",
                          0xFF000000, links, texts, count, -1, DT_SINGLELINE);
  const DWORD hover = manager_.GetDefaultLinkHoverFontColor() & 0xFFFFFF;
  const DWORD link = manager_.GetDefaultLinkFontColor() & 0xFFFFFF;
  auto has = [&](const RECT& area, DWORD color) {
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) {
        if ((hovered.At(x, y) & 0xFFFFFF) == color) return true;
      }
    }
    return false;
  };
  EXPECT_TRUE(has(links[1], hover));
  EXPECT_FALSE(has(links[1], link));
  EXPECT_TRUE(has(links[0], link));
  EXPECT_FALSE(has(links[0], hover));
  DestroyWindow(window);
}

TEST_F(RenderTextTest, FontTagsAndSingleLineAlignment) {
  HDC dc = surface_.dc();
  const Vellum::TUIFontInfo* base = manager_.GetDefaultFontInfo();
  HFONT big = manager_.AddFont(7, base->face_name.GetData(), 24, false, false, false);
  ASSERT_NE(big, nullptr);
  RECT by_id = Measure(dc, &manager_, L"<f 7>Big</f>", DT_SINGLELINE);
  EXPECT_EQ(by_id.right, Extent(dc, big, L"Big").cx);
  EXPECT_EQ(by_id.bottom, LineHeight(dc, big));
  // By face, size and words: made in the manager's tables on first use, found there after.
  RECT by_face = Measure(dc, &manager_, L"<f Tahoma 20 Bold Underline>Big</f>", DT_SINGLELINE);
  HFONT made = manager_.GetFont(L"Tahoma", 20, true, true, false);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(by_face.right, Extent(dc, made, L"Big").cx);
  EXPECT_EQ(Measure(dc, &manager_, L"<f Tahoma 20 bold underline>Big</f>", DT_SINGLELINE).right,
            by_face.right);
  const Vellum::TUIFontInfo* info = manager_.GetFontInfo(made);
  EXPECT_TRUE(info->bold);
  EXPECT_TRUE(info->underline);
  EXPECT_FALSE(info->italic);
  // Without a size the face comes at 10.
  Measure(dc, &manager_, L"<f Tahoma>x</f>", DT_SINGLELINE);
  EXPECT_NE(manager_.GetFont(L"Tahoma", 10, false, false, false), nullptr);

  // Centred both ways in a single line: the ink sits around the middle of the rectangle.
  RECT rect{0, 0, 200, 60};
  int no_links = 0;
  CRenderUI::DrawHtmlText(dc, &manager_, rect, L"mid", 0xFF000000, nullptr, nullptr, no_links,
                          -1, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  const SIZE size = Extent(dc, DefaultFont(), L"mid");
  const int left = (200 - size.cx) / 2;
  const int top = (60 - LineHeight(dc, DefaultFont())) / 2;
  EXPECT_EQ(CountInk(surface_, RECT{0, 0, left, 60}), 0);
  EXPECT_EQ(CountInk(surface_, RECT{left + size.cx, 0, 200, 60}), 0);
  EXPECT_EQ(CountInk(surface_, RECT{0, 0, 200, top}), 0);
  EXPECT_GT(CountInk(surface_, RECT{left, top, left + size.cx, 60 - top}), 0);

  // Right-aligned lines without single-line layout end at the right edge.
  Surface right(200, 60, kWhite);
  RECT right_rect{0, 0, 200, 60};
  CRenderUI::DrawHtmlText(right.dc(), &manager_, right_rect, L"end", 0xFF000000, nullptr,
                          nullptr, no_links, -1, DT_RIGHT);
  const int width = Extent(dc, DefaultFont(), L"end").cx;
  EXPECT_EQ(CountInk(right, RECT{0, 0, 200 - width, 60}), 0);
  EXPECT_GT(CountInk(right, RECT{200 - width, 0, 200, 60}), 0);
}

TEST_F(RenderTextTest, GdiplusTextDrawsAndMeasures) {
  manager_.SetUseGdiplusText(true);
  RECT rect{10, 10, 190, 50};
  CRenderUI::DrawText(surface_.dc(), &manager_, rect, L"Gdiplus", 0xFF0000FF, -1,
                      DT_SINGLELINE | DT_VCENTER);
  EXPECT_GT(CountInk(surface_, rect), 0);
  EXPECT_EQ(CountInk(surface_, RECT{0, 0, 200, 10}), 0);
  EXPECT_EQ(CountInk(surface_, RECT{0, 50, 200, 60}), 0);

  RECT measured{0, 0, 400, 100};
  CRenderUI::DrawText(surface_.dc(), &manager_, measured, L"Gdiplus", 0xFF000000, -1,
                      DT_SINGLELINE | DT_CALCRECT);
  const int gdi_width = Extent(surface_.dc(), DefaultFont(), L"Gdiplus").cx;
  EXPECT_GT(measured.right, gdi_width / 2);
  EXPECT_LT(measured.right, gdi_width * 2);
  EXPECT_GT(measured.bottom, 0);
}

TEST_F(RenderTextTest, LeavingItalicLeavesRoomForItsLean) {
  HDC dc = surface_.dc();
  HFONT italic = Styled(false, false, true);
  HGDIOBJ old = SelectObject(dc, italic);
  ABC blank{};
  ASSERT_TRUE(GetCharABCWidthsW(dc, L' ', L' ', &blank));
  SelectObject(dc, old);
  const RECT rect = Measure(dc, &manager_, L"<i>ab</i>c", DT_SINGLELINE);
  EXPECT_EQ(rect.right, Extent(dc, italic, L"ab").cx + std::abs(blank.abcC) / 2 +
                            Extent(dc, DefaultFont(), L"c").cx);
}

}  // namespace
