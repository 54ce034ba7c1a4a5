// The framework's tagged text: inline colours, fonts, images and links, laid out line by line.

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <map>
#include <vector>

#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"
#include "vellum/core/render/render_internal.h"

namespace Vellum {

namespace {

bool IsAsciiLetter(wchar_t ch) { return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z'); }

const wchar_t* SkipBlanks(const wchar_t* p) {
  while (*p == L' ' || *p == L'\t') ++p;
  return p;
}

// Lays out and draws tagged text line by line: each line is collected first (its height depends
// on everything on it) and drawn when it ends.
class TaggedText {
 public:
  TaggedText(HDC dc, CPaintManagerUI* manager, const RECT& rect, UINT style, RECT* links,
             CUIString* link_texts, int link_capacity, DWORD color, int font)
      : dc_(dc),
        manager_(manager),
        rect_(rect),
        style_(style),
        drawing_((style & DT_CALCRECT) == 0),
        single_line_((style & DT_SINGLELINE) != 0),
        links_(links),
        link_texts_(link_texts),
        link_capacity_(links != nullptr ? link_capacity : 0) {
    recorded_.assign(static_cast<size_t>(link_capacity_), false);
    fonts_.push_back(manager->GetFont(font));
    colors_.push_back(color);
    x_ = rect.left;
    y_ = rect.top;
    line_floor_ = FontHeight(CurrentFont());
    // The link under the mouse, as the previous pass laid the links out.
    const POINT mouse = manager->GetMousePos();
    for (int i = 0; i < link_capacity_; ++i) {
      if (PtInRect(&links_[i], mouse)) {
        if (link_texts_ != nullptr) hovered_ = link_texts_[i];
        break;
      }
    }
  }

  void Run(const wchar_t* text) {
    const wchar_t* p = text;
    while (*p != L'\0' && !stopped_) {
      if (raw_) {
        p = RawRun(p);
        continue;
      }
      const wchar_t ch = *p;
      if (ch == L'\n') {
        EndLine();
        ++p;
        continue;
      }
      if (ch == L'<' || ch == L'{') {
        // Three-character escapes: <{> <}> draw the brace, {<} {>} the bracket.
        const wchar_t closing = ch == L'<' ? L'>' : L'}';
        const bool escape = ch == L'<' ? (p[1] == L'{' || p[1] == L'}')
                                       : (p[1] == L'<' || p[1] == L'>');
        if (escape && p[2] == closing) {
          AddText(p + 1, 1);
          p += 3;
          continue;
        }
        if (std::iswlower(p[1]) && p[1] < 0x80 &&
            (p[2] == L' ' || p[2] == L'>' || p[2] == L'}')) {
          const wchar_t* end = TagEnd(p + 2);
          OpenTag(p[1], CUIString(SkipBlanks(p + 2), static_cast<int>(end - SkipBlanks(p + 2))));
          p = *end != L'\0' ? end + 1 : end;
          continue;
        }
        if (p[1] == L'/' && std::iswlower(p[2]) && p[2] < 0x80) {
          const wchar_t* end = TagEnd(p + 3);
          CloseTag(p[2]);
          p = *end != L'\0' ? end + 1 : end;
          continue;
        }
      }
      if (ch == L' ') {
        AddBlank();
        ++p;
        continue;
      }
      const wchar_t* end = p + 1;
      while (*end != L'\0' && *end != L'<' && *end != L'{' && *end != L'\n') ++end;
      AddText(p, static_cast<int>(end - p));
      p = end;
    }
    if (!stopped_ && (!pieces_.empty() || lines_ == 0)) EndLine();
  }

  int links_filled() const { return std::min(link_index_, link_capacity_); }
  int widest() const { return widest_; }
  int height() const { return y_ - rect_.top; }

 private:
  struct Piece {
    bool is_image = false;
    int x = 0;
    int width = 0;
    CUIString text;
    HFONT font = nullptr;
    DWORD color = 0;
    bool selected = false;
    int link_slot = -1;
    TUIImageInfo* image = nullptr;
    RECT source{};
  };

  static const wchar_t* TagEnd(const wchar_t* p) {
    while (*p != L'\0' && *p != L'>' && *p != L'}') ++p;
    return p;
  }

  HFONT CurrentFont() const { return fonts_.back(); }
  DWORD CurrentColor() const { return colors_.back(); }

  const TEXTMETRICW& Metrics(HFONT font) {
    auto found = metrics_.find(font);
    if (found != metrics_.end()) return found->second;
    TEXTMETRICW tm{};
    ScopedFont selected(dc_, font);
    GetTextMetricsW(dc_, &tm);
    return metrics_.emplace(font, tm).first->second;
  }
  int FontHeight(HFONT font) {
    const TEXTMETRICW& tm = Metrics(font);
    return tm.tmHeight + tm.tmExternalLeading;
  }

  // A variant of the current font with some styles added, from the manager's tables or made there.
  HFONT Variant(bool bold, bool underline, bool italic) {
    const TUIFontInfo* base = manager_->GetFontInfo(CurrentFont());
    if (base == nullptr) return CurrentFont();
    return FindOrAddFont(base->face_name.GetData(), base->size, base->bold || bold,
                         base->underline || underline, base->italic || italic);
  }
  HFONT FindOrAddFont(const wchar_t* face, int size, bool bold, bool underline, bool italic) {
    HFONT font = manager_->GetFont(face, size, bold, underline, italic);
    if (font != nullptr) return font;
    // Fonts that only tagged text asks for get ids far above what a skin uses.
    static int next_id = 0x40000000;
    font = manager_->AddFont(next_id++, face, size, bold, underline, italic);
    return font != nullptr ? font : CurrentFont();
  }
  void PopFont() {
    if (fonts_.size() <= 1) return;
    const HFONT closing = fonts_.back();
    fonts_.pop_back();
    // An italic run leans into what follows: leave it room.
    if (Metrics(closing).tmItalic != 0 && Metrics(CurrentFont()).tmItalic == 0) {
      ScopedFont selected(dc_, closing);
      ABC abc{};
      if (GetCharABCWidthsW(dc_, L' ', L' ', &abc)) x_ += std::abs(abc.abcC) / 2;
    }
  }

  int LineRight() const { return rect_.right; }

  void AddPiece(Piece piece, int height) {
    piece.link_slot = link_open_ && link_index_ < link_capacity_ ? link_index_ : -1;
    if (piece.link_slot >= 0) link_used_ = true;
    line_floor_ = std::max(line_floor_, height);
    pieces_.push_back(std::move(piece));
  }

  void AddTextPiece(const wchar_t* text, int length, int width) {
    Piece piece;
    piece.x = x_;
    piece.width = width;
    piece.text = CUIString(text, length);
    piece.font = CurrentFont();
    piece.color = CurrentColor();
    piece.selected = selected_;
    AddPiece(std::move(piece), FontHeight(CurrentFont()));
    x_ += width;
  }

  void AddBlank() {
    ScopedFont selected(dc_, CurrentFont());
    SIZE size{};
    GetTextExtentPoint32W(dc_, L" ", 1, &size);
    if (x_ + size.cx > LineRight() && !pieces_.empty() && !single_line_) {
      // A blank at the end of a line breaks it and is not carried over.
      EndLine();
      return;
    }
    // Drawn too: an underlined font underlines blanks.
    AddTextPiece(L" ", 1, size.cx);
  }

  void AddText(const wchar_t* text, int length) {
    while (length > 0 && !stopped_) {
      ScopedFont selected(dc_, CurrentFont());
      const int room = std::max(LineRight() - x_, 0);
      int fit = 0;
      SIZE size{};
      GetTextExtentExPointW(dc_, text, length, room, &fit, nullptr, &size);
      if (x_ + size.cx <= LineRight()) {
        AddTextPiece(text, length, size.cx);
        return;
      }
      int cut = fit;
      if ((style_ & DT_WORDBREAK) != 0) {
        for (int i = fit - 1; i >= 0; --i) {
          if (!IsAsciiLetter(text[i])) {
            cut = i + 1;
            break;
          }
        }
      }
      const bool ellipsis = (style_ & DT_END_ELLIPSIS) != 0;
      if (ellipsis) cut = std::max(cut - 2, 0);
      // A line that has nothing yet takes at least one character, so that layout moves on.
      if (cut == 0 && pieces_.empty() && !ellipsis) cut = std::max(fit, 1);
      if (cut > 0) {
        SIZE part{};
        GetTextExtentPoint32W(dc_, text, cut, &part);
        AddTextPiece(text, cut, part.cx);
      }
      if (ellipsis) {
        SIZE dots{};
        GetTextExtentPoint32W(dc_, L"...", 3, &dots);
        AddTextPiece(L"...", 3, dots.cx);
        x_ = std::max(x_, static_cast<int>(LineRight()));
      }
      text += cut;
      length -= cut;
      EndLine();
      if (ellipsis) return;  // the rest of the run is what the dots stand for
    }
  }

  const wchar_t* RawRun(const wchar_t* p) {
    const wchar_t* end = p;
    while (*end != L'\0' && *end != L'\n' && std::wcsncmp(end, L"</r>", 4) != 0 &&
           std::wcsncmp(end, L"{/r}", 4) != 0) {
      ++end;
    }
    if (end > p) AddText(p, static_cast<int>(end - p));
    if (*end == L'\n') {
      EndLine();
      return end + 1;
    }
    if (*end != L'\0') {
      raw_ = false;
      return end + 4;
    }
    return end;
  }

  void AddImage(const CUIString& arguments) {
    CUIString name;
    CUIString type;
    int count = 1;
    int index = 0;
    const wchar_t* p = arguments.GetData();
    if (std::wcsncmp(p, L"file=", 5) == 0 || std::wcsncmp(p, L"res=", 4) == 0 ||
        std::wcsncmp(p, L"restype=", 8) == 0) {
      while (*p != L'\0') {
        p = SkipBlanks(p);
        const wchar_t* key = p;
        while (*p != L'\0' && *p != L'=') ++p;
        const CUIString key_text(key, static_cast<int>(p - key));
        if (*p != L'=' || p[1] != L'\'') break;
        p += 2;
        const wchar_t* value = p;
        while (*p != L'\0' && *p != L'\'') ++p;
        const CUIString value_text(value, static_cast<int>(p - value));
        if (*p == L'\'') ++p;
        if (key_text == L"file" || key_text == L"res") name = value_text;
        if (key_text == L"restype") type = value_text;
      }
    } else {
      const wchar_t* end = p;
      while (*end != L'\0' && *end != L' ') ++end;
      name = CUIString(p, static_cast<int>(end - p));
      p = SkipBlanks(end);
      if (*p != L'\0') {
        wchar_t* next = nullptr;
        count = static_cast<int>(std::wcstol(p, &next, 10));
        index = static_cast<int>(std::wcstol(next, nullptr, 10));
      }
    }
    count = std::max(count, 1);
    if (index < 0 || index >= count) index = 0;
    TUIImageInfo* image = manager_->GetOrLoadImage(name.GetData(),
                                                   type.IsEmpty() ? nullptr : type.GetData());
    if (image == nullptr) return;
    const int width = image->width / count;
    if (x_ + width > LineRight() && !pieces_.empty() && !single_line_) EndLine();
    if (stopped_) return;
    Piece piece;
    piece.is_image = true;
    piece.x = x_;
    piece.width = width;
    piece.image = image;
    piece.source = RECT{index * width, 0, (index + 1) * width, image->height};
    AddPiece(std::move(piece), image->height);
    x_ += width;
  }

  void OpenTag(wchar_t tag, const CUIString& arguments) {
    const wchar_t* args = arguments.GetData();
    switch (tag) {
      case L'a': {
        link_open_ = true;
        link_text_ = arguments;
        if (link_index_ < link_capacity_ && link_texts_ != nullptr) {
          link_texts_[link_index_] = link_text_;
        }
        const bool hovered = !hovered_.IsEmpty() && hovered_ == link_text_;
        colors_.push_back(hovered ? manager_->GetDefaultLinkHoverFontColor()
                                  : manager_->GetDefaultLinkFontColor());
        fonts_.push_back(Variant(false, true, false));
        break;
      }
      case L'b':
        fonts_.push_back(Variant(true, false, false));
        break;
      case L'c': {
        const wchar_t* p = SkipBlanks(args);
        if (*p == L'#') ++p;
        colors_.push_back(static_cast<DWORD>(std::wcstoul(p, nullptr, 16)));
        break;
      }
      case L'f': {
        const wchar_t* p = SkipBlanks(args);
        if (std::iswdigit(*p)) {
          fonts_.push_back(manager_->GetFont(static_cast<int>(std::wcstol(p, nullptr, 10))));
        } else {
          const wchar_t* end = p;
          while (*end != L'\0' && *end != L' ') ++end;
          const CUIString face(p, static_cast<int>(end - p));
          p = SkipBlanks(end);
          int size = 10;
          if (std::iswdigit(*p)) {
            wchar_t* next = nullptr;
            size = static_cast<int>(std::wcstol(p, &next, 10));
            p = next;
          }
          CUIString words(p);
          words.MakeLower();
          fonts_.push_back(FindOrAddFont(face.GetData(), size, words.Find(L"bold") >= 0,
                                         words.Find(L"underline") >= 0,
                                         words.Find(L"italic") >= 0));
        }
        break;
      }
      case L'i':
        if (SkipBlanks(args)[0] == L'\0') {
          fonts_.push_back(Variant(false, false, true));
        } else {
          AddImage(CUIString(SkipBlanks(args)));
        }
        break;
      case L'n':
        if (!single_line_) EndLine();
        break;
      case L'p': {
        if (!single_line_ && !pieces_.empty()) EndLine();
        spacings_.push_back(static_cast<int>(std::wcstol(SkipBlanks(args), nullptr, 10)));
        break;
      }
      case L'r':
        raw_ = true;
        break;
      case L's':
        selected_ = !selected_;
        break;
      case L'u':
        fonts_.push_back(Variant(false, true, false));
        break;
      case L'x':
        x_ += static_cast<int>(std::wcstol(SkipBlanks(args), nullptr, 10));
        break;
      case L'y':
        line_height_ = static_cast<int>(std::wcstol(SkipBlanks(args), nullptr, 10));
        break;
      default:
        break;
    }
  }

  void CloseTag(wchar_t tag) {
    switch (tag) {
      case L'a':
        if (link_used_) ++link_index_;
        link_used_ = false;
        link_open_ = false;
        if (colors_.size() > 1) colors_.pop_back();
        PopFont();
        break;
      case L'b':
      case L'f':
      case L'i':
      case L'u':
        PopFont();
        break;
      case L'c':
        if (colors_.size() > 1) colors_.pop_back();
        break;
      case L'p':
        // The paragraph's last line still gets its spacing.
        if (!single_line_ && !pieces_.empty()) EndLine();
        if (!spacings_.empty()) spacings_.pop_back();
        break;
      case L's':
        selected_ = !selected_;
        break;
      default:
        break;
    }
  }

  void EndLine() {
    int height = std::max(line_floor_, line_height_);
    if (!spacings_.empty()) height = std::max(height, spacings_.back() + FontHeight(CurrentFont()));
    const int line_width = x_ - rect_.left;
    widest_ = std::max(widest_, line_width);

    // Without single-line layout the line is aligned as a whole (single lines were placed by
    // narrowing the rectangle before).
    int shift = 0;
    if (!single_line_) {
      const int room = rect_.right - rect_.left - line_width;
      if ((style_ & DT_CENTER) != 0) {
        shift = room / 2;
      } else if ((style_ & DT_RIGHT) != 0) {
        shift = room;
      }
    }
    if (drawing_ && y_ < rect_.bottom) DrawLine(height, shift);
    RecordLinks(height, shift);

    y_ += height;
    ++lines_;
    x_ = rect_.left;
    pieces_.clear();
    line_height_ = 0;
    line_floor_ = FontHeight(CurrentFont());
    if (link_open_ && link_used_) {
      // A link that wraps gets one rectangle per line.
      ++link_index_;
      link_used_ = false;
      if (link_index_ < link_capacity_ && link_texts_ != nullptr) {
        link_texts_[link_index_] = link_text_;
      }
    }
    if (single_line_ || (drawing_ && y_ >= rect_.bottom)) stopped_ = true;
  }

  void DrawLine(int height, int shift) {
    for (const Piece& piece : pieces_) {
      const int x = piece.x + shift;
      if (piece.is_image) {
        const RECT dest{x, y_ + height - piece.image->height, x + piece.width, y_ + height};
        CRenderUI::DrawImage(dc_, piece.image->bitmap, dest, rect_, piece.source, RECT{},
                             manager_->IsLayered() || piece.image->has_alpha);
        continue;
      }
      const TEXTMETRICW& tm = Metrics(piece.font);
      ScopedFont selected(dc_, piece.font);
      SetTextColor(dc_, ToColorRef(piece.color));
      SetBkMode(dc_, piece.selected ? OPAQUE : TRANSPARENT);
      TextOutW(dc_, x, y_ + height - tm.tmHeight - tm.tmExternalLeading, piece.text.GetData(),
               piece.text.GetLength());
    }
  }

  void RecordLinks(int height, int shift) {
    for (const Piece& piece : pieces_) {
      if (piece.link_slot < 0) continue;
      RECT& link = links_[piece.link_slot];
      const RECT part{piece.x + shift, y_, piece.x + shift + piece.width, y_ + height};
      if (!recorded_[piece.link_slot]) {
        link = part;
        recorded_[piece.link_slot] = true;
      } else {
        UnionRect(&link, &link, &part);
      }
    }
  }

  HDC dc_;
  CPaintManagerUI* manager_;
  RECT rect_;
  UINT style_;
  bool drawing_;
  bool single_line_;
  RECT* links_;
  CUIString* link_texts_;
  int link_capacity_;
  std::vector<bool> recorded_;  // per link rectangle: filled in this pass

  std::vector<HFONT> fonts_;
  std::vector<DWORD> colors_;
  std::vector<int> spacings_;
  std::map<HFONT, TEXTMETRICW> metrics_;
  std::vector<Piece> pieces_;

  CUIString hovered_;
  CUIString link_text_;
  int link_index_ = 0;
  bool link_open_ = false;
  bool link_used_ = false;
  bool raw_ = false;
  bool selected_ = false;
  bool stopped_ = false;
  int x_ = 0;
  int y_ = 0;
  int line_floor_ = 0;   // the tallest thing on the line so far
  int line_height_ = 0;  // set by a "y" tag
  int lines_ = 0;
  int widest_ = 0;
};

}  // namespace

void CRenderUI::DrawHtmlText(HDC dc, CPaintManagerUI* manager, RECT& rect, const wchar_t* text,
                             DWORD color, RECT* links, CUIString* link_texts, int& link_count,
                             int font, UINT style) {
  const int link_capacity = links != nullptr ? link_count : 0;
  if (dc == nullptr || manager == nullptr || text == nullptr || *text == L'\0' ||
      IsRectEmpty(&rect)) {
    // Nothing drawn, no link found: callers pass their free room in and count what comes back.
    link_count = 0;
    return;
  }
  const bool calculating = (style & DT_CALCRECT) != 0;

  if (!calculating && (style & (DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM)) != 0) {
    RECT measured{rect.left, rect.top, rect.left + 9999, rect.top + 99};
    int no_links = 0;
    DrawHtmlText(dc, manager, measured, text, color, nullptr, nullptr, no_links, font,
                 style | DT_CALCRECT);
    const int width = measured.right - measured.left;
    const int height = measured.bottom - measured.top;
    if ((style & DT_SINGLELINE) != 0) {
      if ((style & DT_CENTER) != 0) {
        rect.left += (rect.right - rect.left - width) / 2;
        rect.right = rect.left + width;
      } else if ((style & DT_RIGHT) != 0) {
        rect.left = rect.right - width;
      }
    }
    if ((style & DT_VCENTER) != 0) {
      rect.top += (rect.bottom - rect.top - height) / 2;
      rect.bottom = rect.top + height;
    } else if ((style & DT_BOTTOM) != 0) {
      rect.top = rect.bottom - height;
    }
  }

  CClipRegionUI clip;
  if (!calculating) ClipToRect(dc, rect, clip);
  const int old_mode = SetBkMode(dc, TRANSPARENT);
  const COLORREF old_background = SetBkColor(dc, ToColorRef(manager->GetDefaultSelectedBkColor()));
  const COLORREF old_text = GetTextColor(dc);
  HGDIOBJ old_font = GetCurrentObject(dc, OBJ_FONT);

  TaggedText layout(dc, manager, rect, style, links, link_texts, link_capacity, color, font);
  layout.Run(text);
  if (links != nullptr) link_count = layout.links_filled();

  SelectObject(dc, old_font);
  SetTextColor(dc, old_text);
  SetBkColor(dc, old_background);
  SetBkMode(dc, old_mode);
  if (calculating) {
    rect.bottom = rect.top + layout.height();
    rect.right = std::min(rect.right, rect.left + layout.widest());
  }
}

}  // namespace Vellum
