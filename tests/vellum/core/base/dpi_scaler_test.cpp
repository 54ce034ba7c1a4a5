#include "vellum/core/base/dpi_scaler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/base/gdi_handles.h"

using Vellum::CDpiScaler;

namespace {

class FakeDpiPlatform : public Vellum::IDpiPlatform {
 public:
  bool IsWindowsVersionOrGreater(WORD major, WORD minor, WORD) override {
    return major < version_major || (major == version_major && minor <= version_minor);
  }
  bool GetDpiForMonitor(HMONITOR monitor, HRESULT* result, UINT* dpi_x) override {
    monitors.push_back(monitor);
    if (!has_shcore) return false;
    *result = shcore_result;
    *dpi_x = shcore_dpi;
    return true;
  }
  int GetScreenDpi() override { return screen_dpi; }
  HMONITOR MonitorFromPoint(POINT point) override {
    points.push_back(point);
    return reinterpret_cast<HMONITOR>(0x1234);
  }
  void ShowMessageBox(const wchar_t* text, const wchar_t* caption) override {
    boxes.push_back(std::wstring(text) + L"|" + caption);
  }

  WORD version_major = 6, version_minor = 3;
  bool has_shcore = true;
  HRESULT shcore_result = S_OK;
  UINT shcore_dpi = 144;
  int screen_dpi = 120;
  std::vector<HMONITOR> monitors;
  std::vector<POINT> points;
  std::vector<std::wstring> boxes;
};

class DpiQueries : public testing::Test {
 protected:
  void SetUp() override { previous_ = Vellum::SetDpiPlatform(&fake_); }
  void TearDown() override { Vellum::SetDpiPlatform(previous_); }
  FakeDpiPlatform fake_;
  Vellum::IDpiPlatform* previous_ = nullptr;
};

}  // namespace

TEST_F(DpiQueries, UseTheMonitorServiceFromWindows81On) {
  EXPECT_TRUE(Vellum::IsWindows8Point1OrGreater());
  EXPECT_EQ(144, Vellum::GetMainMonitorDpi());
  ASSERT_EQ(1u, fake_.points.size());
  EXPECT_EQ(1, fake_.points[0].x);
  EXPECT_EQ(1, fake_.points[0].y);
  EXPECT_EQ(reinterpret_cast<HMONITOR>(0x1234), fake_.monitors.at(0));
  EXPECT_TRUE(fake_.boxes.empty());

  fake_.has_shcore = false;
  EXPECT_EQ(96, Vellum::GetDpiOfPoint(500, 10));
  EXPECT_TRUE(fake_.boxes.empty());
}

TEST_F(DpiQueries, AFailingMonitorServiceShowsTheBoxOnEveryCall) {
  fake_.shcore_result = E_INVALIDARG;
  EXPECT_EQ(96, Vellum::GetDpiOfMonitor(nullptr));
  EXPECT_EQ(96, Vellum::GetDpiOfMonitor(nullptr));
  EXPECT_EQ((std::vector<std::wstring>{L"GetDpiForMonitor failed|Notification",
                                       L"GetDpiForMonitor failed|Notification"}),
            fake_.boxes);
}

TEST_F(DpiQueries, UseTheScreenBeforeWindows81) {
  fake_.version_minor = 2;
  EXPECT_FALSE(Vellum::IsWindows8Point1OrGreater());
  EXPECT_EQ(120, Vellum::GetMainMonitorDpi());
  EXPECT_TRUE(fake_.monitors.empty());
}

namespace {

// The real platform with the failure box recorded instead of shown, so that a failing monitor service
// cannot leave the test waiting on a modal box.
class SystemWithoutBoxes : public Vellum::IDpiPlatform {
 public:
  // Installing null puts the real platform in place, which the second call hands back.
  SystemWithoutBoxes() : previous_(Vellum::SetDpiPlatform(nullptr)), system_(Vellum::SetDpiPlatform(this)) {}
  ~SystemWithoutBoxes() override { Vellum::SetDpiPlatform(previous_); }
  bool IsWindowsVersionOrGreater(WORD major, WORD minor, WORD sp) override {
    return system_->IsWindowsVersionOrGreater(major, minor, sp);
  }
  bool GetDpiForMonitor(HMONITOR monitor, HRESULT* result, UINT* dpi_x) override {
    return system_->GetDpiForMonitor(monitor, result, dpi_x);
  }
  int GetScreenDpi() override { return system_->GetScreenDpi(); }
  HMONITOR MonitorFromPoint(POINT point) override { return system_->MonitorFromPoint(point); }
  void ShowMessageBox(const wchar_t* text, const wchar_t*) override { boxes.push_back(text); }

  Vellum::IDpiPlatform* system() { return system_; }
  std::vector<std::wstring> boxes;

 private:
  Vellum::IDpiPlatform* previous_;
  Vellum::IDpiPlatform* system_;
};

}  // namespace

TEST(DpiSystem, MatchesTheScreenOfThisSystem) {
  SystemWithoutBoxes platform;
  EXPECT_TRUE(Vellum::IsWindowsVersionOrGreater(5, 1, 0));
  EXPECT_FALSE(Vellum::IsWindowsVersionOrGreater(99, 0, 0));
  const ScopedScreenDc screen(GetDC(nullptr));
  ASSERT_NE(nullptr, screen);
  const int screen_dpi = GetDeviceCaps(screen.get(), LOGPIXELSX);
  // Both paths report the same value here: Shcore's effective DPI follows the same setting.
  EXPECT_EQ(screen_dpi, Vellum::GetMainMonitorDpi());
  EXPECT_TRUE(platform.boxes.empty());

  // The real monitor service, found by name, whatever version the system reports.
  Vellum::IDpiPlatform* system = platform.system();
  HRESULT result = E_FAIL;
  UINT dpi_x = 0;
  ASSERT_TRUE(system->GetDpiForMonitor(system->MonitorFromPoint(POINT{1, 1}), &result, &dpi_x));
  EXPECT_EQ(S_OK, result);
  EXPECT_EQ(static_cast<UINT>(screen_dpi), dpi_x);
}

TEST(DpiScaler, ScalesValuesWithoutLosingNonZeroLengths) {
  struct Case {
    int dpi;
    int value;
    int scaled;
  };
  const Case cases[] = {
      {144, 1, 2}, {144, 3, 5}, {144, -1, -2}, {144, 0, 0}, {120, 1, 1}, {120, 2, 3},
      {96, 7, 7},  {96, -7, -7}, {48, 1, 1},   {48, -1, -1}, {48, 3, 2},  {192, 10, 20},
  };
  for (const Case& c : cases) {
    CDpiScaler scaler;
    scaler.SetScale(c.dpi);
    EXPECT_EQ(c.scaled, scaler.Scale(c.value)) << c.dpi << " dpi, value " << c.value;
  }
  CDpiScaler scaler;
  EXPECT_EQ(100, scaler.GetScale());
  EXPECT_EQ(96, scaler.GetDPI());
  scaler.SetScale(144);
  EXPECT_EQ(150, scaler.GetScale());
  EXPECT_EQ(144, scaler.GetDPI());
  EXPECT_EQ(10, scaler.Unscale(15));
}

TEST(DpiScaler, ScalesRectanglesByEdgeAndExtent) {
  CDpiScaler scaler;
  scaler.SetScale(144);
  RECT r = {1, 1, 2, 2};
  const RECT scaled = scaler.Scale(r);
  EXPECT_EQ(2, scaled.left);
  EXPECT_EQ(2, scaled.top);
  EXPECT_EQ(4, scaled.right);  // left 2 + width 1 -> 2
  EXPECT_EQ(4, scaled.bottom);
  scaler.Scale(&r);
  EXPECT_EQ(4, r.right);

  RECT wide = {10, 20, 110, 60};
  scaler.Scale(&wide);
  EXPECT_EQ(15, wide.left);
  EXPECT_EQ(30, wide.top);
  EXPECT_EQ(165, wide.right);
  EXPECT_EQ(90, wide.bottom);
  scaler.Unscale(&wide);
  EXPECT_EQ(10, wide.left);
  EXPECT_EQ(110, wide.right);
  EXPECT_EQ(60, wide.bottom);

  SIZE size = scaler.Scale(SIZE{3, 0});
  EXPECT_EQ(5, size.cx);
  EXPECT_EQ(0, size.cy);
  POINT point = {-1, 4};
  scaler.Scale(&point);
  EXPECT_EQ(-2, point.x);
  EXPECT_EQ(6, point.y);
}
