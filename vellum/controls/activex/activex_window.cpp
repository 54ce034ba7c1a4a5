#include "vellum/controls/activex/activex_window.h"

#include <ole2.h>

#include "vellum/controls/activex/activex.h"
#include "vellum/controls/activex/activex_site.h"
#include "vellum/core/manager/paint_manager.h"

namespace Vellum {
namespace {

// The caret line of a printed window flips after this many blink-time ticks.
constexpr int kTicksPerCaretFlip = 10;

CPaintManagerUI* ManagerOf(CActiveXCtrl* site) {
  CActiveXUI* owner = site != nullptr ? site->GetOwner() : nullptr;
  return owner != nullptr ? owner->GetManager() : nullptr;
}

}  // namespace

CActiveXWnd::CActiveXWnd(CActiveXCtrl* site) : site_(site) {}

CActiveXWnd::~CActiveXWnd() = default;

const wchar_t* CActiveXWnd::GetWindowClassName() const { return L"ActiveXWnd"; }

HWND CActiveXWnd::Init(HWND parent) {
  if (Create(parent, L"UIActiveX", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
             0, 0, 0) == nullptr) {
    return nullptr;
  }
  // A layered window shows no child windows: it prints this one with its own content.
  CPaintManagerUI* manager = ManagerOf(site_);
  if (manager != nullptr && manager->IsLayered()) manager->AddNativeWindow(site_->GetOwner(), hwnd_);
  return hwnd_;
}

void CActiveXWnd::DoVerb(LONG verb) {
  CActiveXUI* owner = site_ != nullptr ? site_->GetOwner() : nullptr;
  if (owner == nullptr || owner->object_ == nullptr) return;
  RECT rect = owner->GetPos();
  owner->object_->DoVerb(verb, nullptr, static_cast<IOleClientSite*>(site_), 0, hwnd_, &rect);
}

void CActiveXWnd::PrintObject(HDC dc) {
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  if (site_ != nullptr) site_->DrawView(dc, client);
  if (!caret_shown_) return;
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!::GetGUIThreadInfo(::GetCurrentThreadId(), &info) || info.hwndCaret == nullptr) return;
  RECT caret = info.rcCaret;
  ::MapWindowPoints(info.hwndCaret, hwnd_, reinterpret_cast<POINT*>(&caret), 2);
  POINT top_left{caret.left, caret.top};
  if (!::PtInRect(&client, top_left)) return;
  HPEN pen = ::CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
  HGDIOBJ old = ::SelectObject(dc, pen);
  ::MoveToEx(dc, caret.left, caret.top, nullptr);
  ::LineTo(dc, caret.left, caret.bottom);
  ::SelectObject(dc, old);
  ::DeleteObject(pen);
}

LRESULT CActiveXWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  CActiveXUI* owner = site_ != nullptr ? site_->GetOwner() : nullptr;
  CPaintManagerUI* manager = ManagerOf(site_);
  const bool layered = manager != nullptr && manager->IsLayered();
  switch (message) {
    case WM_CREATE:
      if (layered) ::SetTimer(hwnd_, kCaretTimerId, ::GetCaretBlinkTime(), nullptr);
      return 0;
    case WM_SETFOCUS:
      if (site_ != nullptr) {
        site_->SetFocused(true);
        if (!site_->IsUIActive()) DoVerb(OLEIVERB_UIACTIVATE);
      }
      break;
    case WM_KILLFOCUS:
      if (site_ != nullptr) site_->SetFocused(false);
      break;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      ::BeginPaint(hwnd_, &ps);
      ::EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      if (site_ != nullptr && site_->GetViewObject() != nullptr) return 1;
      break;
    case WM_MOUSEACTIVATE:
      if (owner != nullptr && owner->object_ != nullptr) {
        DWORD misc_status = 0;
        owner->object_->GetMiscStatus(DVASPECT_CONTENT, &misc_status);
        if ((misc_status & OLEMISC_NOUIACTIVATE) == 0 && !site_->IsInPlaceActive()) {
          DoVerb(OLEIVERB_INPLACEACTIVATE);
        }
      }
      break;
    case WM_TIMER:
      if (wParam == kCaretTimerId) {
        if (layered && ++caret_ticks_ >= kTicksPerCaretFlip) {
          caret_ticks_ = 0;
          caret_shown_ = !caret_shown_;
        }
        return 0;
      }
      break;
    case WM_MOUSEWHEEL:
      return 0;
    case WM_PRINT:
      PrintObject(reinterpret_cast<HDC>(wParam));
      return 0;
    default:
      break;
  }
  return CWindowWnd::HandleMessage(message, wParam, lParam);
}

void CActiveXWnd::OnFinalMessage(HWND hwnd) {
  CPaintManagerUI* manager = ManagerOf(site_);
  if (manager != nullptr && manager->IsLayered()) manager->RemoveNativeWindow(hwnd);
}

}  // namespace Vellum
