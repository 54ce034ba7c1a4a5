// A drag started from a control, dropped back on the same window (needs the test session's
// display). DoDragDrop is modal; with no button really held it drops at once where the cursor is.

#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <vector>

#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/core/manager/control.h"
#include "vellum/core/ole/drag_drop.h"
#include "vellum/core/manager/paint_manager.h"

namespace Vellum {
namespace {

using testing_support::EventLog;
using testing_support::ManagedWindow;
using testing_support::RecordingControl;
using testing_support::TestContainer;

class RecordingTarget : public CIDropTarget {
 public:
  explicit RecordingTarget(HWND window) : CIDropTarget(window) {
    AddSupportedFormat({CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI});
  }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD key_state, POINTL point,
                                 DWORD* effect) override {
    FORMATETC metafile{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
    had_metafile = data->QueryGetData(&metafile) == S_OK;
    return CIDropTarget::Drop(data, key_state, point, effect);
  }
  bool OnDrop(FORMATETC* format, STGMEDIUM& medium, DWORD*) override {
    ++drops;
    if (format->cfFormat == CF_BITMAP) {
      BITMAP info{};
      ::GetObjectW(medium.hBitmap, sizeof(info), &info);
      bitmap_size = {info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
    }
    return true;
  }

  int drops = 0;
  bool had_metafile = false;
  SIZE bitmap_size{};
};

struct Forbid : IDragPermissionUI {
  bool ForbidDrag(CControlUI* pushed) override {
    asked_for = pushed;
    return true;
  }
  CControlUI* asked_for = nullptr;
};

class PaintManagerDrag : public testing::Test {
 protected:
  PaintManagerDrag() : window_(false, 100, 50), target_(window_.hwnd()) {}

  void SetUp() override {
    ASSERT_HRESULT_SUCCEEDED(::OleInitialize(nullptr));
    ASSERT_HRESULT_SUCCEEDED(::RegisterDragDrop(window_.hwnd(), &target_));
    auto* root = new TestContainer;
    root->SetBkColor(0xFFFFFFFFu);
    a_ = new RecordingControl(L"a", &log_);
    a_->SetBkColor(0xFF00FF00u);
    a_->SetDragEnabled(true);
    root->Add(a_, RECT{10, 10, 40, 30});
    ASSERT_TRUE(m().AttachRootControl(root));
    m().SetDragDropEnabled(true);
    window_.ShowAndPaint();
    POINT centre{50, 25};
    ::ClientToScreen(window_.hwnd(), &centre);
    ::SetCursorPos(centre.x, centre.y);
  }
  void TearDown() override {
    ::RevokeDragDrop(window_.hwnd());
    ::OleUninitialize();
  }

  CPaintManagerUI& m() { return window_.manager(); }
  void PressAndMove() {
    ::SendMessageW(window_.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    ::SendMessageW(window_.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(25, 20));
  }

  ManagedWindow window_;
  RecordingTarget target_;
  EventLog log_;
  RecordingControl* a_ = nullptr;
};

TEST_F(PaintManagerDrag, TheControlsPictureTravelsAsBitmapAndMetafile) {
  ::SendMessageW(window_.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
  EXPECT_TRUE(m().IsDragPending());
  ASSERT_NE(m().GetDragSnapshot(), nullptr) << "taken when the button went down";
  ::SendMessageW(window_.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(25, 20));
  EXPECT_FALSE(m().IsDragPending());
  EXPECT_EQ(target_.drops, 1);
  EXPECT_EQ(target_.bitmap_size.cx, 30);
  EXPECT_EQ(target_.bitmap_size.cy, 20);
  EXPECT_TRUE(target_.had_metafile);
}

TEST_F(PaintManagerDrag, ThePermissionCallbackCanForbidTheDrag) {
  Forbid forbid;
  m().SetDragPermission(&forbid);
  PressAndMove();
  EXPECT_EQ(forbid.asked_for, a_);
  EXPECT_FALSE(m().IsDragPending());
  EXPECT_EQ(target_.drops, 0);
  m().SetDragPermission(nullptr);
}

TEST_F(PaintManagerDrag, ControlsWithoutDragStayPut) {
  a_->SetDragEnabled(false);
  PressAndMove();
  EXPECT_FALSE(m().IsDragPending());
  EXPECT_EQ(target_.drops, 0);
  EXPECT_EQ(log_.OfType(UIEVENT_MOUSEMOVE).size(), 1u) << "an ordinary move of the pushed control";
}

}  // namespace
}  // namespace Vellum
