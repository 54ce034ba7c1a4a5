// The skins ask for the face "微软雅黑", which Wine does not have: the prefix set-up names the CJK font
// that tools/bootstrap.sh installs in its place. A label of the skin's face must draw the Chinese
// glyphs of that font, not those of the fallback the system picks for an unknown face.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include "tests/vellum/support/dib_surface.h"
#include "vellum/core/base_controls/label.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/layout/vertical_layout.h"

namespace {

using testing_support::Surface;

constexpr wchar_t kSkinFace[] = L"\u5FAE\u8F6F\u96C5\u9ED1";  // the face the three skins name
constexpr wchar_t kInstalledFace[] = L"WenQuanYi Micro Hei";
// A face the system has, without Chinese glyphs: what an unknown face falls back to draws no better.
constexpr wchar_t kLatinFace[] = L"DejaVu Sans";
constexpr wchar_t kText[] = L"\u8BBE\u7F6E\u6307\u9488\u653E\u5927\u500D\u6570";  // "pointer magnification factor"
constexpr int kWidth = 200;
constexpr int kHeight = 40;
constexpr DWORD kWhite = 0xFFFFFFFF;

class SkinFontTest : public testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, kWidth, kHeight, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    manager_.Init(window_);
    root_ = new Vellum::CVerticalLayoutUI();
    manager_.AttachRootControl(root_);
  }
  void TearDown() override { DestroyWindow(window_); }

  // Which pixels the label's text inks with the face, painted through the label's own paint path.
  std::vector<bool> Ink(int id, const wchar_t* face) {
    EXPECT_NE(manager_.AddFont(id, face, 16, false, false, false), nullptr) << id;
    auto* label = new Vellum::CLabelUI();
    root_->Add(label);
    manager_.InitControls(label, root_);
    label->SetFont(id);
    label->SetTextColor(0xFF000000);
    label->SetText(kText);
    const RECT rect = {0, 0, kWidth, kHeight};
    label->SetPos(rect, false);
    Surface surface(kWidth, kHeight, kWhite);
    label->Paint(surface.dc(), rect);
    std::vector<bool> ink;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) ink.push_back((surface.At(x, y) & 0x00FFFFFF) != 0x00FFFFFF);
    }
    return ink;
  }

  // How many characters of kText the face the system gives for `face` has no glyph for.
  static int MissingGlyphs(const wchar_t* face) {
    LOGFONTW font = {};
    font.lfHeight = -16;
    font.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    HFONT handle = CreateFontIndirectW(&font);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, handle);
    WORD glyphs[16] = {};
    const int length = static_cast<int>(wcslen(kText));
    GetGlyphIndicesW(dc, kText, length, glyphs, GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(handle);
    int missing = 0;
    for (int i = 0; i < length; ++i) missing += glyphs[i] == 0xFFFF ? 1 : 0;
    return missing;
  }

  HWND window_ = nullptr;
  Vellum::CPaintManagerUI manager_;
  Vellum::CVerticalLayoutUI* root_ = nullptr;
};

TEST_F(SkinFontTest, TheSkinsFaceIsTheInstalledCjkFont) {
  ASSERT_EQ(MissingGlyphs(kInstalledFace), 0) << "fonts-wqy-microhei is not installed (tools/bootstrap.sh)";
  EXPECT_EQ(MissingGlyphs(kSkinFace), 0) << "the prefix names no font for the skins' face (tools/wine-session.sh)";
  EXPECT_GT(MissingGlyphs(kLatinFace), 0);
}

TEST_F(SkinFontTest, ALabelInTheSkinsFaceDrawsTheCjkFontsGlyphs) {
  const std::vector<bool> skin = Ink(1, kSkinFace);
  const std::vector<bool> installed = Ink(2, kInstalledFace);
  const std::vector<bool> latin = Ink(3, kLatinFace);
  ASSERT_GT(std::count(installed.begin(), installed.end(), true), 100) << "the text drew nothing";
  EXPECT_TRUE(skin == installed) << "the skins' face is drawn with another font";
  EXPECT_FALSE(skin == latin);
}

}  // namespace
