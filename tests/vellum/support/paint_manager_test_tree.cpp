#include "tests/vellum/support/paint_manager_test_tree.h"

#include <algorithm>

namespace testing_support {

using Vellum::CControlUI;

std::vector<std::wstring> EventLog::Summary() const {
  std::vector<std::wstring> lines;
  for (const RecordedEvent& event : events_) {
    lines.push_back(event.control + L":" + std::to_wstring(event.type));
  }
  return lines;
}

std::vector<RecordedEvent> EventLog::OfType(int type) const {
  std::vector<RecordedEvent> found;
  for (const RecordedEvent& event : events_) {
    if (event.type == type) found.push_back(event);
  }
  return found;
}

RecordingControl::RecordingControl(const wchar_t* name, EventLog* log, UINT flags)
    : log_(log), flags_(flags) {
  SetName(name);
}

void RecordingControl::DoEvent(Vellum::TUIEvent& event) {
  log_->Add({GetName().GetData(), event.type, event.sender, event.wParam, event.lParam});
  CControlUI::DoEvent(event);
}

TestContainer::~TestContainer() {
  for (Child& child : children_) delete child.control;
}

void TestContainer::Add(CControlUI* child, const RECT& rect) {
  children_.push_back({child, rect});
  if (GetManager() != nullptr) child->SetManager(GetManager(), this, true);
}

void TestContainer::Detach(CControlUI* child) {
  children_.erase(std::remove_if(children_.begin(), children_.end(),
                                 [child](const Child& c) { return c.control == child; }),
                  children_.end());
}

void TestContainer::SetManager(Vellum::CPaintManagerUI* manager, CControlUI* parent, bool init) {
  for (Child& child : children_) child.control->SetManager(manager, this, init);
  CControlUI::SetManager(manager, parent, init);
}

void TestContainer::SetPos(RECT rect, bool invalidate) {
  CControlUI::SetPos(rect, invalidate);
  for (Child& child : children_) child.control->SetPos(child.rect, invalidate);
}

CControlUI* TestContainer::FindControl(Vellum::FINDCONTROLPROC proc, LPVOID data, UINT flags) {
  if ((flags & Vellum::UIFIND_VISIBLE) != 0 && !IsVisible()) return nullptr;
  if ((flags & Vellum::UIFIND_ENABLED) != 0 && !IsEnabled()) return nullptr;
  if ((flags & Vellum::UIFIND_HITTEST) != 0 &&
      (!IsMouseEnabled() || !::PtInRect(&GetPos(), *static_cast<POINT*>(data)))) {
    return nullptr;
  }
  if ((flags & Vellum::UIFIND_UPDATETEST) != 0 && IsUpdateNeeded()) return proc(this, data);
  if ((flags & Vellum::UIFIND_ME_FIRST) != 0) {
    if (CControlUI* found = proc(this, data)) return found;
  }
  const bool top_first = (flags & Vellum::UIFIND_TOP_FIRST) != 0;
  const int count = static_cast<int>(children_.size());
  for (int i = 0; i < count; ++i) {
    CControlUI* child = children_[top_first ? count - 1 - i : i].control;
    if (CControlUI* found = child->FindControl(proc, data, flags)) return found;
  }
  if ((flags & Vellum::UIFIND_ME_FIRST) == 0) return proc(this, data);
  return nullptr;
}

bool TestContainer::DoPaint(HDC dc, const RECT& paint, CControlUI* stop) {
  CControlUI::DoPaint(dc, paint, stop);
  for (Child& child : children_) {
    if (!child.control->IsVisible()) continue;
    if (!child.control->Paint(dc, paint, stop)) return false;
  }
  return true;
}

namespace {

const wchar_t kWindowClass[] = L"VellumPaintManagerTestWindow";

void RegisterTestClass() {
  static const bool registered = [] {
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof(window_class);
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.hInstance = ::GetModuleHandleW(nullptr);
    window_class.lpszClassName = kWindowClass;
    window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    return ::RegisterClassExW(&window_class) != 0;
  }();
  (void)registered;
}

}  // namespace

ManagedWindow::ManagedWindow(bool message_only, int width, int height, DWORD ex_style) {
  RegisterTestClass();
  if (message_only) {
    hwnd_ = ::CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, width, height, HWND_MESSAGE, nullptr,
                              ::GetModuleHandleW(nullptr), nullptr);
  } else {
    RECT rect{0, 0, width, height};
    ::AdjustWindowRectEx(&rect, WS_POPUP, FALSE, ex_style);
    hwnd_ = ::CreateWindowExW(ex_style, kWindowClass, L"", WS_POPUP, 40, 40, rect.right - rect.left,
                              rect.bottom - rect.top, nullptr, nullptr, ::GetModuleHandleW(nullptr),
                              nullptr);
  }
  ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ManagedWindow::Proc));
  manager_ = new Vellum::CPaintManagerUI;
  manager_->Init(hwnd_, L"test");
}

ManagedWindow::~ManagedWindow() {
  ResetManager();
  if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
}

void ManagedWindow::ResetManager() {
  delete manager_;
  manager_ = nullptr;
}

void ManagedWindow::ReplaceManager() {
  ResetManager();
  manager_ = new Vellum::CPaintManagerUI;
  manager_->Init(hwnd_, L"test");
}

void ManagedWindow::ShowAndPaint() {
  ::ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  PaintNow();
}

void ManagedWindow::PaintNow() {
  // A layered first paint asks for a second one; deferred work arrives as posted messages.
  for (int i = 0; i < 4; ++i) {
    ::UpdateWindow(hwnd_);
    Pump();
  }
  ::GdiFlush();
}

std::vector<MSG> ManagedWindow::TakeQueued(UINT message) {
  std::vector<MSG> taken;
  MSG msg;
  while (::PeekMessageW(&msg, hwnd_, message, message, PM_REMOVE)) taken.push_back(msg);
  return taken;
}

void ManagedWindow::Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, hwnd_, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

int ManagedWindow::SeenCount(UINT message) const {
  return static_cast<int>(std::count_if(seen_.begin(), seen_.end(),
                                        [message](const MSG& m) { return m.message == message; }));
}

LRESULT CALLBACK ManagedWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<ManagedWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self != nullptr) {
    MSG seen{};
    seen.hwnd = hwnd;
    seen.message = message;
    seen.wParam = wParam;
    seen.lParam = lParam;
    self->seen_.push_back(seen);
    if (self->manager_ != nullptr) {
      LRESULT result = 0;
      if (self->manager_->MessageHandler(message, wParam, lParam, result)) return result;
    }
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace testing_support
