// A real drag within one window (needs the test session's display): DoDragDrop with the
// framework's drop source and data object over a window registered with its drop target.

#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "vellum/core/ole/drag_drop.h"

namespace {

using Vellum::CIDataObject;
using Vellum::CIDropSource;
using Vellum::CIDropTarget;

class TextTarget : public CIDropTarget {
 public:
  explicit TextTarget(HWND window) : CIDropTarget(window) {}
  bool OnDrop(FORMATETC* format, STGMEDIUM& medium, DWORD* effect) override {
    ++drops;
    format_seen = format->cfFormat;
    const char* text = static_cast<const char*>(GlobalLock(medium.hGlobal));
    received = text != nullptr ? text : "";
    GlobalUnlock(medium.hGlobal);
    effect_seen = *effect;
    return true;
  }
  int drops = 0;
  CLIPFORMAT format_seen = 0;
  std::string received;
  DWORD effect_seen = 0;
};

TEST(DragDropLoopback, ReleasedButtonDropsTheDataOnTheTarget) {
  ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = DefWindowProcW;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = L"VellumDropLoopback";
  RegisterClassExW(&window_class);
  HWND window = CreateWindowExW(WS_EX_TOPMOST, L"VellumDropLoopback", L"drop", WS_POPUP | WS_VISIBLE,
                                50, 50, 200, 150, nullptr, nullptr, GetModuleHandleW(nullptr),
                                nullptr);
  ASSERT_NE(window, nullptr);
  UpdateWindow(window);

  TextTarget* target = new TextTarget(window);
  target->AddSupportedFormat(FORMATETC{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
  ASSERT_EQ(RegisterDragDrop(window, target), S_OK);
  SetCursorPos(120, 110);

  CIDropSource* source = new CIDropSource;
  CIDataObject* data = new CIDataObject(source);
  FORMATETC format{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium{};
  medium.tymed = TYMED_HGLOBAL;
  medium.hGlobal = GlobalAlloc(GMEM_MOVEABLE, 8);
  std::memcpy(GlobalLock(medium.hGlobal), "carried", 8);
  GlobalUnlock(medium.hGlobal);
  ASSERT_EQ(data->SetData(&format, &medium, TRUE), S_OK);

  DWORD effect = DROPEFFECT_NONE;
  // No button is held, so the first question to the source ends the drag with a drop.
  const HRESULT result = DoDragDrop(data, source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
  EXPECT_EQ(result, DRAGDROP_S_DROP);
  EXPECT_TRUE(source->IsDropped());
  EXPECT_EQ(target->drops, 1);
  EXPECT_EQ(target->format_seen, CF_TEXT);
  EXPECT_EQ(target->received, "carried");
  EXPECT_EQ(target->effect_seen, static_cast<DWORD>(DROPEFFECT_COPY));

  RevokeDragDrop(window);
  data->Release();
  source->Release();
  DestroyWindow(window);
  delete target;
  OleUninitialize();
}

}  // namespace
