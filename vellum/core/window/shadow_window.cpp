#include "vellum/core/window/shadow_window.h"

#include <cstring>
#include <map>
#include <vector>

#include "vellum/core/image/image_draw_info.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"
#include "vellum/core/render/shadow_kernel.h"

namespace Vellum {

namespace {

constexpr wchar_t kShadowClassName[] = L"TovelShadowWnd";
constexpr int kMaxOffset = 35;

// A subclassed parent: its shadow (null once the shadow is gone while the subclass could not be
// taken off) and the procedure every message still goes on to.
struct ParentEntry {
  CShadowUI* shadow = nullptr;
  WNDPROC previous = nullptr;
};

std::map<HWND, ParentEntry>& Parents() {
  static std::map<HWND, ParentEntry> parents;
  return parents;
}

// The window's shape as one span per row: the leftmost and rightmost pixel inside its region, or
// the whole row when the window has no region.
std::vector<ShadowSpan> ShapeSpans(HWND parent, int width, int height, int size) {
  std::vector<ShadowSpan> spans(static_cast<size_t>(height + 2 * size));
  HRGN region = CreateRectRgn(0, 0, width, height);
  const bool shaped = region != nullptr && GetWindowRgn(parent, region) != ERROR;
  for (int row = 0; row < height; ++row) {
    const int index = row + size;
    if (index < 0 || index >= static_cast<int>(spans.size())) continue;
    ShadowSpan span;
    if (!shaped) {
      span.left = 0;
      span.right = width - 1;
    } else {
      int left = 0;
      while (left < width && !PtInRegion(region, left, row)) ++left;
      if (left == width) continue;
      int right = width - 1;
      while (right > left && !PtInRegion(region, right, row)) --right;
      span.left = left;
      span.right = right;
    }
    span.left += size;
    span.right += size;
    spans[index] = span;
  }
  if (region != nullptr) DeleteObject(region);
  return spans;
}

}  // namespace

CShadowUI::~CShadowUI() {
  // A manager that goes before its window takes the subclass with it.
  if (parent_ != nullptr) {
    auto& parents = Parents();
    auto entry = parents.find(parent_);
    if (entry != parents.end() && entry->second.shadow == this) {
      if (IsWindow(parent_) && parent_proc_ != nullptr &&
          GetWindowLongPtrW(parent_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&ParentProc)) {
        SetWindowLongPtrW(parent_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(parent_proc_));
        parents.erase(entry);
      } else {
        // Someone subclassed the parent after us: our procedure stays in the chain and passes
        // every message on.
        entry->second.shadow = nullptr;
      }
    }
  }
  if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
}

bool CShadowUI::RegisterShadowWindowClass(HINSTANCE instance) {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.style = CS_HREDRAW | CS_VREDRAW;
  window_class.lpfnWndProc = DefWindowProcW;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  window_class.lpszClassName = kShadowClassName;
  registered = RegisterClassExW(&window_class) != 0 ||
               GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  return registered;
}

void CShadowUI::Create(CPaintManagerUI* manager) {
  if (!show_ || manager == nullptr) return;
  HWND parent = manager->GetPaintWindow();
  if (parent == nullptr) return;

  // Attaching a root again must not subclass the window a second time (each subclass would call
  // the previous one: itself).
  if (window_ != nullptr && parent == parent_ && IsWindow(window_)) {
    manager_ = manager;
    Update(parent);
    return;
  }

  manager_ = manager;
  parent_ = parent;
  auto& parents = Parents();
  auto existing = parents.find(parent);
  const bool already_subclassed = existing != parents.end();
  if (already_subclassed) {
    parent_proc_ = existing->second.previous;
    existing->second.shadow = this;
  }

  const LONG parent_style = GetWindowLongW(parent, GWL_STYLE);
  window_ = CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT, kShadowClassName, nullptr,
                            static_cast<DWORD>((parent_style & 0x00400000L) | 0x80880000L),
                            CW_USEDEFAULT, 0, 0, 0, parent, nullptr,
                            CPaintManagerUI::GetInstance(), nullptr);

  if ((parent_style & WS_VISIBLE) == 0) {
    status_ = kStatusEnabled;
  } else if ((parent_style & (WS_MAXIMIZE | WS_MINIMIZE)) != 0) {
    status_ = kStatusEnabled | kStatusParentVisible;
  } else {
    status_ = kStatusEnabled | kStatusVisible | kStatusParentVisible;
    if (window_ != nullptr) ShowWindow(window_, SW_SHOWNOACTIVATE);
    Update(parent);
  }

  if (!already_subclassed) {
    parent_proc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ParentProc)));
    parents[parent] = ParentEntry{this, parent_proc_};
  }
}

LRESULT CALLBACK CShadowUI::ParentProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto& parents = Parents();
  auto entry = parents.find(window);
  if (entry == parents.end()) return DefWindowProcW(window, message, wparam, lparam);
  CShadowUI* shadow = entry->second.shadow;
  const WNDPROC previous = entry->second.previous;
  if (shadow != nullptr) shadow->OnParentMessage(window, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    parents.erase(window);
    if (shadow != nullptr) shadow->parent_ = nullptr;
  }
  return previous != nullptr ? CallWindowProcW(previous, window, message, wparam, lparam)
                             : DefWindowProcW(window, message, wparam, lparam);
}

void CShadowUI::OnParentMessage(HWND parent, UINT message, WPARAM wparam, LPARAM lparam) {
  const bool enabled = (status_ & kStatusEnabled) != 0;
  switch (message) {
    case WM_DESTROY:
      if (window_ != nullptr) DestroyWindow(window_);
      window_ = nullptr;
      break;
    case WM_MOVE:
      if ((status_ & kStatusVisible) != 0) MoveShadow(parent);
      break;
    case WM_SIZE:
      if (!enabled) break;
      if (wparam == SIZE_MAXIMIZED || wparam == SIZE_MINIMIZED) {
        HideShadowWindow(false);
      } else if ((status_ & kStatusParentVisible) != 0) {
        const bool grew = LOWORD(lparam) > LOWORD(last_parent_size_) ||
                          HIWORD(lparam) > HIWORD(last_parent_size_);
        // Shown first, so that an immediate redraw is not refused as invisible.
        const bool was_hidden = (status_ & kStatusVisible) == 0;
        if (was_hidden) status_ |= kStatusVisible;
        if (grew) {
          // A growing window paints its new area later; the shadow waits for that paint.
          update_pending_ = true;
        } else {
          Update(parent);
        }
        if (was_hidden && window_ != nullptr) ShowWindow(window_, SW_SHOWNOACTIVATE);
      }
      last_parent_size_ = lparam;
      break;
    case WM_PAINT:
      if (update_pending_) {
        Update(parent);
        update_pending_ = false;
      }
      break;
    case WM_SHOWWINDOW:
      if (!enabled) break;
      if (wparam != 0) {
        status_ |= kStatusParentVisible;
        if ((status_ & kStatusVisible) == 0) ShowShadowWindow(parent, true);
      } else {
        HideShadowWindow(true);
      }
      break;
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:
      if (enabled && window_ != nullptr) {
        SetWindowPos(window_, parent, 0, 0, 0, 0,
                     SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOMOVE | SWP_NOSIZE);
      }
      break;
    case WM_WINDOWPOSCHANGED: {
      MoveShadow(parent);
      const auto* position = reinterpret_cast<const WINDOWPOS*>(lparam);
      if (position == nullptr || !enabled) break;
      if ((position->flags & SWP_SHOWWINDOW) != 0 && (status_ & kStatusParentVisible) == 0) {
        status_ |= kStatusParentVisible;
        ShowShadowWindow(parent, true);
      } else if ((position->flags & SWP_HIDEWINDOW) != 0) {
        HideShadowWindow(true);
      }
      break;
    }
    case WM_EXITSIZEMOVE:
      if ((status_ & kStatusVisible) != 0) Update(parent);
      break;
    default:
      break;
  }
}

void CShadowUI::ShowShadowWindow(HWND parent, bool update) {
  status_ |= kStatusVisible;
  if (window_ != nullptr) ShowWindow(window_, SW_SHOWNOACTIVATE);
  if (update) Update(parent);
}

void CShadowUI::HideShadowWindow(bool clear_parent_visible) {
  if (window_ != nullptr) ShowWindow(window_, SW_HIDE);
  status_ &= static_cast<BYTE>(~kStatusVisible);
  if (clear_parent_visible) status_ &= static_cast<BYTE>(~kStatusParentVisible);
}

void CShadowUI::MoveShadow(HWND parent) {
  if (window_ == nullptr) return;
  RECT parent_rect;
  if (!GetWindowRect(parent, &parent_rect)) return;
  const int x = parent_rect.left + (image_mode_ ? 0 : x_offset_) - size_;
  const int y = parent_rect.top + (image_mode_ ? 0 : y_offset_) - size_;
  SetWindowPos(window_, nullptr, x, y, 0, 0,
               SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOREDRAW);
}

void CShadowUI::Update(HWND parent) {
  if (!show_ || (status_ & kStatusVisible) == 0 || window_ == nullptr) return;
  RECT parent_rect;
  if (!GetWindowRect(parent, &parent_rect)) return;
  if (image_mode_ ? image_.IsEmpty() : size_ == 0) return;

  const int parent_width = parent_rect.right - parent_rect.left;
  const int parent_height = parent_rect.bottom - parent_rect.top;
  const int width = parent_width + 2 * size_;
  const int height = parent_height + 2 * size_;
  if (width <= 0 || height <= 0) return;

  // Without its bitmap or DC the shadow has nothing to show: it stops here.
  HDC dc = CreateCompatibleDC(nullptr);
  if (dc == nullptr) return;
  BYTE* bits = nullptr;
  HBITMAP bitmap = CRenderUI::Create32BitDib(dc, width, -height, &bits);
  if (bitmap == nullptr || bits == nullptr) {
    if (bitmap != nullptr) DeleteObject(bitmap);
    DeleteDC(dc);
    return;
  }
  HGDIOBJ old_bitmap = SelectObject(dc, bitmap);
  std::memset(bits, 0, static_cast<size_t>(width) * height * 4);

  bool painted = true;
  if (image_mode_) {
    painted = PaintImage(dc, width, height);
  } else {
    PaintColor(parent, reinterpret_cast<DWORD*>(bits), width, height);
  }

  if (painted) {
    const int x = parent_rect.left + (image_mode_ ? 0 : x_offset_) - size_;
    const int y = parent_rect.top + (image_mode_ ? 0 : y_offset_) - size_;
    MoveWindow(window_, x, y, width, height, FALSE);
    POINT destination{x, y};
    POINT source{0, 0};
    SIZE extent{width, height};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(window_, nullptr, &destination, &extent, dc, &source, 0, &blend,
                        ULW_ALPHA);
  }
  SelectObject(dc, old_bitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

bool CShadowUI::PaintImage(HDC dc, int width, int height) {
  if (manager_ == nullptr) return false;
  const TImageDrawInfo* info = manager_->GetDrawInfo(image_.GetData(), nullptr);
  if (info == nullptr) return false;
  TUIImageInfo* image = manager_->GetOrLoadImage(
      info->name.GetData(), info->res_type.IsEmpty() ? nullptr : info->res_type.GetData(),
      info->mask);
  if (image == nullptr) return false;
  RECT source = info->source;
  if (source.left == 0 && source.top == 0 && source.right == 0 && source.bottom == 0) {
    source = RECT{0, 0, image->width, image->height};
  }
  const RECT whole{0, 0, width, height};
  CRenderUI::DrawImage(dc, image->bitmap, whole, whole, source, corner_, true);
  return true;
}

void CShadowUI::PaintColor(HWND parent, DWORD* pixels, int width, int height) {
  RECT parent_rect;
  GetWindowRect(parent, &parent_rect);
  std::vector<ShadowSpan> spans =
      ShapeSpans(parent, parent_rect.right - parent_rect.left,
                 parent_rect.bottom - parent_rect.top, size_);
  if (sharpness_ > size_) ShrinkShadowSpans(&spans, sharpness_ - size_);
  const ShadowKernel kernel = MakeShadowKernel(size_, sharpness_, darkness_, color_);
  PaintShadow(pixels, width, height, spans, kernel);
}

void CShadowUI::Redraw() {
  if (window_ != nullptr && parent_ != nullptr && (status_ & kStatusVisible) != 0) {
    Update(parent_);
  }
}

void CShadowUI::ShowShadow(bool show) { show_ = show; }

bool CShadowUI::SetSize(int size) {
  if (size < -kMaxOffset || size > kMaxOffset) return false;
  size_ = static_cast<signed char>(size);
  Redraw();
  return true;
}

bool CShadowUI::SetSharpness(unsigned int sharpness) {
  if (sharpness > static_cast<unsigned int>(kMaxOffset)) return false;
  sharpness_ = static_cast<BYTE>(sharpness);
  Redraw();
  return true;
}

bool CShadowUI::SetDarkness(unsigned int darkness) {
  if (darkness > 255) return false;
  darkness_ = static_cast<BYTE>(darkness);
  Redraw();
  return true;
}

bool CShadowUI::SetPosition(int x, int y) {
  if (x < -kMaxOffset || x > kMaxOffset || y < -kMaxOffset || y > kMaxOffset) return false;
  x_offset_ = static_cast<signed char>(x);
  y_offset_ = static_cast<signed char>(y);
  Redraw();
  return true;
}

bool CShadowUI::SetColor(COLORREF color) {
  color_ = color;
  Redraw();
  return true;
}

bool CShadowUI::SetShadowCorner(RECT corner) {
  if (corner.left < 0 || corner.top < 0 || corner.right < 0 || corner.bottom < 0) return false;
  corner_ = corner;
  Redraw();
  return true;
}

bool CShadowUI::SetImage(const wchar_t* image) {
  if (image == nullptr) return false;
  image_mode_ = true;
  image_ = image;
  Redraw();
  return true;
}

bool CShadowUI::CopyShadow(CShadowUI* other) {
  if (other == nullptr) return false;
  if (image_mode_) {
    other->SetImage(image_.GetData());
    other->SetShadowCorner(corner_);
    other->SetSize(size_);
  } else {
    other->SetSize(size_);
    other->SetSharpness(sharpness_);
    other->SetDarkness(darkness_);
    other->SetColor(color_);
    other->SetPosition(x_offset_, y_offset_);
  }
  other->ShowShadow(show_);
  return true;
}

}  // namespace Vellum
