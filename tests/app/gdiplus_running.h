#pragma once

#include <windows.h>

#include <gdiplus.h>
#include <gtest/gtest.h>

// Keeps GDI+ started for one test, as the program keeps it started around a cursor build.
class GdiplusRunning : public testing::Test {
 protected:
  void SetUp() override {
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
  }
  void TearDown() override { Gdiplus::GdiplusShutdown(token_); }

 private:
  ULONG_PTR token_ = 0;
};
