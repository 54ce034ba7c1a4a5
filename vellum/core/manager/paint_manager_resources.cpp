// The paint manager's life cycle, its resource tables (fonts, images, parsed image descriptions,
// default attribute lists, styles, option groups, colours), the window attributes and DPI.

#include <windows.h>
#include <commctrl.h>
#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <vector>

#include "vellum/core/manager/control.h"
#include "vellum/core/base/dpi_scaler.h"
#include "vellum/core/image/image_draw_info.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/manager/paint_manager_internal.h"
#include "vellum/core/manager/paint_manager_rules.h"
#include "vellum/core/render/paint_pass.h"
#include "vellum/core/render/render_engine.h"
#include "vellum/core/resources/resource_location.h"
#include "vellum/core/window/shadow_window.h"

namespace Vellum {

namespace {

// Font files are small; anything larger is not a font a skin would carry.
constexpr size_t kMaxFontFileSize = 64u * 1024u * 1024u;

struct ProcessState {
  CUIPtrArray managers;
  std::vector<CPaintManagerUI*> living;
  bool shared_initialised = false;
  bool use_hsl = false;
  short hue = 180;
  short saturation = 100;
  short lightness = 100;
  HPEN update_rect_pen = nullptr;
  std::vector<PluginControlCreator> creators;
};

ProcessState& Process() {
  static ProcessState state;
  return state;
}

// GDI+ is started once for the whole process and never shut down: images and fonts that use it are
// shared between windows and may outlive the manager that loaded them, so no manager may end it.
void StartGdiplusOnce() {
  static const bool started = [] {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
  }();
  (void)started;
}

LOGFONTW StockGuiLogFont() {
  LOGFONTW font{};
  ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
  return font;
}

void FreeFontInfo(TUIFontInfo* info) {
  if (info == nullptr) return;
  if (info->handle != nullptr) ::DeleteObject(info->handle);
  delete info;
}

template <typename T>
void ForEachValue(const CUIStringMap& map, T fn) {
  for (int i = 0; i < map.GetSize(); ++i) {
    const wchar_t* key = map.GetAt(i);
    if (key != nullptr) fn(key, map.Find(key, false));
  }
}

void FreeStringTable(CUIStringMap& map) {
  ForEachValue(map, [](const wchar_t*, void* data) { delete static_cast<CUIString*>(data); });
  map.RemoveAll();
}

CUIString FontKey(int id) {
  CUIString key;
  key.SmallFormat(L"%d", id);
  return key;
}

}  // namespace

HPEN GetUpdateRectPen() { return Process().update_rect_pen; }

CPaintManagerUI::TResourceSet& CPaintManagerUI::Shared() {
  static TResourceSet shared;
  return shared;
}

CPaintManagerUI::CPaintManagerUI() : resources_(new TResourceSet), dc_pool_(new CPaintDCPoolUI) {
  ProcessState& process = Process();
  TResourceSet& shared = Shared();
  if (!process.shared_initialised) {
    process.shared_initialised = true;
    shared.disabled_color = 0xFFA7A6AA;
    shared.font_color = 0xFF000000;
    shared.link_color = 0xFF0000FF;
    shared.link_hover_color = 0xFFD3215F;
    shared.selected_bk_color = 0xFFBAE4FF;
    LOGFONTW font = StockGuiLogFont();
    font.lfCharSet = DEFAULT_CHARSET;
    shared.default_font.handle = ::CreateFontIndirectW(&font);
    shared.default_font.face_name = font.lfFaceName;
    shared.default_font.size = -font.lfHeight;
    shared.default_font.bold = font.lfWeight >= FW_BOLD;
    shared.default_font.underline = font.lfUnderline != FALSE;
    shared.default_font.italic = font.lfItalic != FALSE;
    process.update_rect_pen = ::CreatePen(PS_SOLID, 1, RGB(220, 0, 0));
    ::InitCommonControls();
    ::LoadLibraryW(L"msimg32.dll");
  }
  resources_->disabled_color = shared.disabled_color;
  resources_->font_color = shared.font_color;
  resources_->link_color = shared.link_color;
  resources_->link_hover_color = shared.link_hover_color;
  resources_->selected_bk_color = shared.selected_bk_color;

  StartGdiplusOnce();
  CShadowUI::RegisterShadowWindowClass(GetInstance());
  shadow_ = new CShadowUI;
  Process().living.push_back(this);
}

CPaintManagerUI::~CPaintManagerUI() {
  for (int i = 0; i < delayed_cleanup_.GetSize(); ++i) {
    delete static_cast<CControlUI*>(delayed_cleanup_[i]);
  }
  delayed_cleanup_.Empty();
  for (int i = 0; i < async_notify_.GetSize(); ++i) {
    delete static_cast<TUINotification*>(async_notify_[i]);
  }
  async_notify_.Empty();

  CControlUI* root = root_;
  root_ = nullptr;
  delete root;

  if (resources_->default_font.handle != nullptr) ::DeleteObject(resources_->default_font.handle);
  resources_->default_font.handle = nullptr;
  RemoveAllFonts(false);
  RemoveAllImages(false);
  RemoveAllStyle(false);
  RemoveAllDefaultAttributeList(false);
  RemoveAllOptionGroups();
  FreeStringTable(custom_attributes_);
  RemoveAllDrawInfos();
  RemoveAllTimers();

  if (tooltip_window_ != nullptr) {
    ::DestroyWindow(tooltip_window_);
    tooltip_window_ = nullptr;
  }
  for (HANDLE font : font_resources_) ::RemoveFontMemResourceEx(font);
  font_resources_.clear();

  DeleteOffscreen();
  if (paint_dc_ != nullptr) ::ReleaseDC(window_, paint_dc_);
  paint_dc_ = nullptr;
  CUIPtrArray& managers = Process().managers;
  const int index = managers.Find(this);
  if (index >= 0) managers.Remove(index);
  // Last: the controls deleted above are forgotten by this manager too.
  std::vector<CPaintManagerUI*>& living = Process().living;
  living.erase(std::remove(living.begin(), living.end(), this), living.end());
  if (drag_snapshot_ != nullptr) ::DeleteObject(drag_snapshot_);
  delete shadow_;
  delete dpi_scaler_;
}

bool CPaintManagerUI::GetHSL(short* hue, short* saturation, short* lightness) {
  const ProcessState& process = Process();
  if (hue != nullptr) *hue = process.hue;
  if (saturation != nullptr) *saturation = process.saturation;
  if (lightness != nullptr) *lightness = process.lightness;
  return process.use_hsl;
}

std::vector<PluginControlCreator>& CPaintManagerUI::GetControlCreators() {
  return Process().creators;
}

const CUIPtrArray& CPaintManagerUI::GetPaintManagers() { return Process().managers; }

std::vector<CPaintManagerUI*>& LivingPaintManagers() { return Process().living; }

void CPaintManagerUI::Init(HWND window, const wchar_t* name) {
  name_map_.Resize(83);
  RemoveAllFonts(false);
  RemoveAllImages(false);
  RemoveAllStyle(false);
  RemoveAllDefaultAttributeList(false);
  FreeStringTable(custom_attributes_);
  RemoveAllOptionGroups();
  RemoveAllTimers();
  name_ = name != nullptr ? name : L"";
  if (window != window_) {
    if (paint_dc_ != nullptr) ::ReleaseDC(window_, paint_dc_);
    window_ = window;
    paint_dc_ = window != nullptr ? ::GetDC(window) : nullptr;
    CUIPtrArray& managers = Process().managers;
    if (managers.Find(this) < 0) managers.Add(this);
  }
}

// ---- DPI ----

CDpiScaler* CPaintManagerUI::GetDpiScaler() {
  if (dpi_scaler_ == nullptr) dpi_scaler_ = new CDpiScaler;
  return dpi_scaler_;
}

void CPaintManagerUI::SetDPI(int dpi) {
  CDpiScaler* scaler = GetDpiScaler();
  const int old_scale = scaler->GetScale();
  scaler->SetScale(dpi);
  ResetDPIAssets();
  // Before the window exists there is nothing to move, lay out or tell.
  if (window_ == nullptr || !::IsWindow(window_)) return;
  if (!::IsZoomed(window_)) {
    RECT rect{};
    ::GetWindowRect(window_, &rect);
    if ((::GetWindowLongPtrW(window_, GWL_STYLE) & WS_CHILD) != 0) {
      ::MapWindowPoints(HWND_DESKTOP, ::GetParent(window_), reinterpret_cast<POINT*>(&rect), 2);
    }
    const SIZE size = ScaleWindowSize({rect.right - rect.left, rect.bottom - rect.top}, old_scale,
                                      scaler->GetScale());
    ::SetWindowPos(window_, nullptr, rect.left, rect.top, size.cx, size.cy,
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (root_ != nullptr) root_->NeedUpdate();
  ::PostMessageW(window_, kDpiChangedMessage, 0, 0);
}

void CPaintManagerUI::ResetDPIAssets() {
  RemoveAllDrawInfos();
  RemoveAllImages(false);
  const LOGFONTW stock = StockGuiLogFont();
  CDpiScaler* scaler = GetDpiScaler();
  auto rebuild = [&](TUIFontInfo* info) {
    if (info == nullptr || info->handle == nullptr) return;
    LOGFONTW font = MakeSkinLogFont(stock, info->face_name.GetData(), scaler->Scale(info->size),
                                    info->bold, info->underline, info->italic, true);
    font.lfQuality = CLEARTYPE_QUALITY;
    HFONT handle = ::CreateFontIndirectW(&font);
    if (handle == nullptr) return;
    ::DeleteObject(info->handle);
    info->handle = handle;
    info->tm = {};
    MeasureFont(info);
  };
  ForEachValue(resources_->fonts, [&](const wchar_t*, void* data) {
    rebuild(static_cast<TUIFontInfo*>(data));
  });
  rebuild(&resources_->default_font);
  ForEachValue(Shared().fonts, [&](const wchar_t*, void* data) {
    rebuild(static_cast<TUIFontInfo*>(data));
  });
  rebuild(&Shared().default_font);
  // The layered image's rectangles were scaled for the old DPI.
  if (layered_image_ != nullptr) {
    ParseLayeredImage();
    layered_changed_ = true;
  }

  if (root_ == nullptr) return;
  CUIPtrArray* rich_edits = FindControlsByClass(root_, L"RichEditUI");
  for (int i = 0; i < rich_edits->GetSize(); ++i) {
    auto* control = static_cast<CControlUI*>(rich_edits->GetAt(i));
    auto* refresh = static_cast<IFontRefreshUI*>(control->GetInterface(kFontRefreshInterface));
    if (refresh != nullptr) refresh->RefreshFont();
  }
}

// ---- Colours ----

#define VELLUM_DEFAULT_COLOR(Name, field)                                  \
  DWORD CPaintManagerUI::GetDefault##Name() const { return resources_->field; } \
  void CPaintManagerUI::SetDefault##Name(DWORD color, bool shared) {       \
    if (shared) {                                                          \
      const DWORD old = Shared().field;                                    \
      Shared().field = color;                                              \
      if (resources_->field == old) resources_->field = color;             \
    } else {                                                               \
      resources_->field = color;                                           \
    }                                                                      \
  }
VELLUM_DEFAULT_COLOR(DisabledColor, disabled_color)
VELLUM_DEFAULT_COLOR(FontColor, font_color)
VELLUM_DEFAULT_COLOR(LinkFontColor, link_color)
VELLUM_DEFAULT_COLOR(LinkHoverFontColor, link_hover_color)
VELLUM_DEFAULT_COLOR(SelectedBkColor, selected_bk_color)
#undef VELLUM_DEFAULT_COLOR

// ---- Fonts ----

TUIFontInfo* CPaintManagerUI::MeasureFont(TUIFontInfo* info) {
  if (info == nullptr || info->tm.tmHeight != 0 || paint_dc_ == nullptr || info->handle == nullptr) {
    return info;
  }
  HGDIOBJ old = ::SelectObject(paint_dc_, info->handle);
  ::GetTextMetricsW(paint_dc_, &info->tm);
  ::SelectObject(paint_dc_, old);
  return info;
}

CUIStringMap& CPaintManagerUI::FontTable(bool shared) {
  return shared || force_shared_ ? Shared().fonts : resources_->fonts;
}

HFONT CPaintManagerUI::AddFont(int id, const wchar_t* face, int size, bool bold, bool underline,
                               bool italic, bool shared) {
  const LOGFONTW font = MakeSkinLogFont(StockGuiLogFont(), face, GetDpiScaler()->Scale(size), bold,
                                        underline, italic, false);
  HFONT handle = ::CreateFontIndirectW(&font);
  if (handle == nullptr) return nullptr;
  auto* info = new TUIFontInfo;
  info->handle = handle;
  info->face_name = font.lfFaceName;
  info->size = size;
  info->bold = bold;
  info->underline = underline;
  info->italic = italic;
  MeasureFont(info);

  CUIStringMap& table = FontTable(shared);
  const CUIString key = FontKey(id);
  FreeFontInfo(static_cast<TUIFontInfo*>(table.Set(key.GetData(), info)));
  return handle;
}

void CPaintManagerUI::SetDefaultFont(const wchar_t* face, int size, bool bold, bool underline,
                                     bool italic, bool shared) {
  const LOGFONTW font = MakeSkinLogFont(StockGuiLogFont(), face, GetDpiScaler()->Scale(size), bold,
                                        underline, italic, true);
  HFONT handle = ::CreateFontIndirectW(&font);
  if (handle == nullptr) return;
  TUIFontInfo& target = shared ? Shared().default_font : resources_->default_font;
  if (target.handle != nullptr) ::DeleteObject(target.handle);
  target.handle = handle;
  target.face_name = font.lfFaceName;
  target.size = size;
  target.bold = bold;
  target.underline = underline;
  target.italic = italic;
  target.tm = {};
  MeasureFont(&target);
}

TUIFontInfo* CPaintManagerUI::GetDefaultFontInfo() {
  TUIFontInfo* info = resources_->default_font.face_name.IsEmpty() ? &Shared().default_font
                                                                   : &resources_->default_font;
  return MeasureFont(info);
}

HFONT CPaintManagerUI::GetFont(int id) { return GetFontInfo(id)->handle; }

TUIFontInfo* CPaintManagerUI::GetFontInfo(int id) {
  if (id < 0) return GetDefaultFontInfo();
  const CUIString key = FontKey(id);
  auto* info = static_cast<TUIFontInfo*>(resources_->fonts.Find(key.GetData()));
  if (info == nullptr) info = static_cast<TUIFontInfo*>(Shared().fonts.Find(key.GetData()));
  if (info == nullptr) return GetDefaultFontInfo();
  return MeasureFont(info);
}

HFONT CPaintManagerUI::GetFont(const wchar_t* face, int size, bool bold, bool underline,
                               bool italic) {
  HFONT found = nullptr;
  auto match = [&](const wchar_t*, void* data) {
    const auto* info = static_cast<const TUIFontInfo*>(data);
    if (found == nullptr && info->face_name == (face != nullptr ? face : L"") &&
        info->size == size && info->bold == bold && info->underline == underline &&
        info->italic == italic) {
      found = info->handle;
    }
  };
  ForEachValue(resources_->fonts, match);
  if (found == nullptr) ForEachValue(Shared().fonts, match);
  return found;
}

TUIFontInfo* CPaintManagerUI::GetFontInfo(HFONT font) {
  TUIFontInfo* found = nullptr;
  auto match = [&](const wchar_t*, void* data) {
    auto* info = static_cast<TUIFontInfo*>(data);
    if (found == nullptr && info->handle == font) found = info;
  };
  ForEachValue(resources_->fonts, match);
  if (found == nullptr) ForEachValue(Shared().fonts, match);
  if (found == nullptr) return GetDefaultFontInfo();
  return MeasureFont(found);
}

bool CPaintManagerUI::AddFontFile(const wchar_t* file_name) {
  if (file_name == nullptr || file_name[0] == L'\0') return false;
  std::vector<BYTE> bytes;
  if (ReadResourceFile(file_name, kMaxFontFileSize, &bytes) != ResourceReadResult::kOk) {
    bytes.clear();
    if (ReadWholeFile(file_name, kMaxFontFileSize, &bytes) != ResourceReadResult::kOk) return false;
  }
  DWORD count = 0;
  HANDLE font = ::AddFontMemResourceEx(bytes.data(), static_cast<DWORD>(bytes.size()), nullptr,
                                       &count);
  if (font == nullptr) return false;
  font_resources_.push_back(font);
  return true;
}

void CPaintManagerUI::RemoveAllFonts(bool shared) {
  CUIStringMap& table = shared ? Shared().fonts : resources_->fonts;
  ForEachValue(table, [](const wchar_t*, void* data) {
    FreeFontInfo(static_cast<TUIFontInfo*>(data));
  });
  table.RemoveAll();
}

// ---- Images ----

namespace {

TUIImageInfo* LoadNamedImage(const wchar_t* name, DWORD mask, bool gdiplus, HINSTANCE instance) {
  return gdiplus ? CRenderUI::LoadImageGdiplus(name, nullptr, mask, instance)
                 : CRenderUI::LoadImage(name, nullptr, mask, instance);
}

// HSL adjustment works on a pixel block apart from the bitmap: the adjusted pixels are written
// into the bitmap, the untouched copy stays for the next adjustment.
void KeepHslPixels(TUIImageInfo* image) {
  DIBSECTION dib{};
  if (image->bitmap == nullptr ||
      ::GetObjectW(image->bitmap, sizeof(dib), &dib) != static_cast<int>(sizeof(dib)) ||
      dib.dsBm.bmBits == nullptr) {
    return;
  }
  const size_t size = static_cast<size_t>(image->width) * image->height * 4;
  image->bits = static_cast<BYTE*>(std::malloc(size));
  image->hsl_bits = static_cast<BYTE*>(std::malloc(size));
  if (image->bits == nullptr || image->hsl_bits == nullptr) {
    std::free(image->bits);
    std::free(image->hsl_bits);
    image->bits = image->hsl_bits = nullptr;
    return;
  }
  std::memcpy(image->bits, dib.dsBm.bmBits, size);
  std::memcpy(image->hsl_bits, dib.dsBm.bmBits, size);
}

}  // namespace

TUIImageInfo* CPaintManagerUI::AddImage(const wchar_t* name, const wchar_t* type, DWORD mask,
                                        bool use_hsl, bool gdiplus, bool shared,
                                        HINSTANCE instance) {
  if (name == nullptr || name[0] == L'\0') return nullptr;
  TUIImageInfo* image = nullptr;
  if (type != nullptr && type[0] != L'\0') {
    if (!std::iswdigit(name[0])) return nullptr;
    const UINT id = static_cast<UINT>(_wtoi(name));
    image = gdiplus ? CRenderUI::LoadImageGdiplus(MAKEINTRESOURCEW(id), type, mask, instance)
                    : CRenderUI::LoadImage(id, type, mask, instance);
  } else {
    image = LoadNamedImage(name, mask, gdiplus, instance);
    const CUIString written(name);
    CUIString plain;
    if (image == nullptr && written.Find(L'@') >= 0 && written.Find(L'.') >= 0 &&
        CutDpiSuffix(written, &plain)) {
      image = LoadNamedImage(plain.GetData(), mask, gdiplus, instance);
    }
    // A folder with a dot in its name got a scale mark too, which the cut above leaves in place.
    CUIString original;
    if (image == nullptr && RemoveDpiMarks(written, &original) && original != plain) {
      image = LoadNamedImage(original.GetData(), mask, gdiplus, instance);
    }
  }
  if (image == nullptr) return nullptr;

  image->use_hsl = use_hsl;
  image->res_type = type != nullptr ? type : L"";
  image->mask = mask;
  if (use_hsl) KeepHslPixels(image);
  short hue = 180, saturation = 100, lightness = 100;
  if (GetHSL(&hue, &saturation, &lightness)) {
    CRenderUI::AdjustImage(true, image, hue, saturation, lightness);
  }

  CUIStringMap& table = shared || force_shared_ ? Shared().images : resources_->images;
  auto* old = static_cast<TUIImageInfo*>(table.Set(name, image));
  if (old != nullptr && old != image) CRenderUI::FreeImage(old);
  return image;
}

TUIImageInfo* CPaintManagerUI::GetImage(const wchar_t* name) {
  if (name == nullptr) return nullptr;
  auto* image = static_cast<TUIImageInfo*>(resources_->images.Find(name));
  if (image == nullptr) image = static_cast<TUIImageInfo*>(Shared().images.Find(name));
  return image;
}

TUIImageInfo* CPaintManagerUI::GetOrLoadImage(const wchar_t* name, const wchar_t* type,
                                              DWORD mask, bool use_hsl, bool gdiplus,
                                              HINSTANCE instance) {
  TUIImageInfo* image = GetImage(name);
  if (image == nullptr) image = AddImage(name, type, mask, use_hsl, gdiplus, false, instance);
  return image;
}

void CPaintManagerUI::RemoveAllImages(bool shared) {
  CUIStringMap& table = shared ? Shared().images : resources_->images;
  ForEachValue(table, [](const wchar_t*, void* data) {
    CRenderUI::FreeImage(static_cast<TUIImageInfo*>(data));
  });
  table.RemoveAll();
}

// ---- Parsed image descriptions ----

TImageDrawInfo* CPaintManagerUI::GetDrawInfo(const wchar_t* image, const wchar_t* modify) {
  CUIString key(image);
  key += CUIString(modify);
  if (key.IsEmpty()) return nullptr;
  auto* info = static_cast<TImageDrawInfo*>(draw_infos_.Find(key.GetData()));
  if (info != nullptr) return info;
  info = new TImageDrawInfo;
  info->Parse(image, modify, *GetDpiScaler());
  draw_infos_.Insert(key.GetData(), info);
  return info;
}

void CPaintManagerUI::RemoveAllDrawInfos() {
  ForEachValue(draw_infos_, [](const wchar_t*, void* data) {
    delete static_cast<TImageDrawInfo*>(data);
  });
  draw_infos_.RemoveAll();
}

// ---- Default attribute lists and styles ----

void CPaintManagerUI::AddDefaultAttributeList(const wchar_t* class_name, const wchar_t* attributes,
                                              bool shared) {
  if (class_name == nullptr) return;
  CUIStringMap& table =
      shared || force_shared_ ? Shared().attribute_lists : resources_->attribute_lists;
  delete static_cast<CUIString*>(table.Set(class_name, new CUIString(attributes)));
}

const wchar_t* CPaintManagerUI::GetDefaultAttributeList(const wchar_t* class_name) const {
  if (class_name == nullptr) return nullptr;
  auto* text = static_cast<CUIString*>(resources_->attribute_lists.Find(class_name));
  if (text == nullptr) text = static_cast<CUIString*>(Shared().attribute_lists.Find(class_name));
  return text != nullptr ? text->GetData() : nullptr;
}

void CPaintManagerUI::RemoveAllDefaultAttributeList(bool shared) {
  FreeStringTable(shared ? Shared().attribute_lists : resources_->attribute_lists);
}

void CPaintManagerUI::AddStyle(const wchar_t* name, const wchar_t* attributes, bool shared) {
  if (name == nullptr) return;
  CUIStringMap& table = shared || force_shared_ ? Shared().styles : resources_->styles;
  auto* text = new CUIString(attributes);
  if (!table.Insert(name, text)) delete text;  // the first definition stays
}

const wchar_t* CPaintManagerUI::GetStyle(const wchar_t* name) const {
  if (name == nullptr) return nullptr;
  auto* text = static_cast<CUIString*>(resources_->styles.Find(name));
  if (text == nullptr) text = static_cast<CUIString*>(Shared().styles.Find(name));
  return text != nullptr ? text->GetData() : nullptr;
}

void CPaintManagerUI::RemoveAllStyle(bool shared) {
  FreeStringTable(shared ? Shared().styles : resources_->styles);
}

// ---- Option groups ----

bool CPaintManagerUI::AddOptionGroup(const wchar_t* group, CControlUI* control) {
  if (group == nullptr) return false;
  auto* controls = static_cast<CUIPtrArray*>(option_groups_.Find(group));
  if (controls == nullptr) {
    controls = new CUIPtrArray(6);
    option_groups_.Insert(group, controls);
  }
  if (controls->Find(control) >= 0) return false;
  return controls->Add(control);
}

CUIPtrArray* CPaintManagerUI::GetOptionGroup(const wchar_t* group) {
  if (group == nullptr) return nullptr;
  return static_cast<CUIPtrArray*>(option_groups_.Find(group));
}

void CPaintManagerUI::RemoveOptionGroup(const wchar_t* group, CControlUI* control) {
  CUIPtrArray* controls = GetOptionGroup(group);
  if (controls == nullptr) return;
  const int index = controls->Find(control);
  if (index >= 0) controls->Remove(index);
  if (controls->IsEmpty()) {
    delete controls;
    option_groups_.Remove(group);
  }
}

void CPaintManagerUI::RemoveAllOptionGroups() {
  ForEachValue(option_groups_, [](const wchar_t*, void* data) {
    delete static_cast<CUIPtrArray*>(data);
  });
  option_groups_.RemoveAll();
}

// ---- Window attributes ----

void CPaintManagerUI::SetInitSize(int cx, int cy) {
  init_size_ = {cx, cy};
  if (root_ == nullptr && window_ != nullptr) {
    ::SetWindowPos(window_, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
  }
}

RECT CPaintManagerUI::GetSizeBox() { return GetDpiScaler()->Scale(size_box_); }
RECT CPaintManagerUI::GetCaptionRect() { return GetDpiScaler()->Scale(caption_); }
SIZE CPaintManagerUI::GetRoundCorner() { return GetDpiScaler()->Scale(round_corner_); }
SIZE CPaintManagerUI::GetMinInfo() { return GetDpiScaler()->Scale(min_info_); }
SIZE CPaintManagerUI::GetMaxInfo() { return GetDpiScaler()->Scale(max_info_); }

CShadowUI* CPaintManagerUI::GetShadow() { return shadow_; }

}  // namespace Vellum
