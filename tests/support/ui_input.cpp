#include "tests/support/ui_input.h"

namespace testing_support {

void PumpFor(DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
  }
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeout_ms) {
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  for (;;) {
    if (done()) return true;
    if (GetTickCount64() >= deadline) return done();
    PumpFor(20);
  }
}

bool ClickAt(POINT screen_point) {
  SetCursorPos(screen_point.x, screen_point.y);
  PumpFor(50);
  INPUT inputs[2] = {};
  inputs[0].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[1].type = INPUT_MOUSE;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  return SendInput(2, inputs, sizeof(INPUT)) == 2;
}

bool PressKey(WORD vk) {
  INPUT inputs[2] = {};
  for (auto& input : inputs) {
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    // Without the scan code Wine delivers some keys under another virtual key.
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, 0));
  }
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  return SendInput(2, inputs, sizeof(INPUT)) == 2;
}

bool MoveMouse(const std::vector<POINT>& deltas) {
  std::vector<INPUT> inputs(deltas.size());
  for (size_t i = 0; i < deltas.size(); ++i) {
    inputs[i].type = INPUT_MOUSE;
    inputs[i].mi.dx = deltas[i].x;
    inputs[i].mi.dy = deltas[i].y;
    inputs[i].mi.dwFlags = MOUSEEVENTF_MOVE;
  }
  if (inputs.empty()) return true;
  const UINT count = static_cast<UINT>(inputs.size());
  return SendInput(count, inputs.data(), sizeof(INPUT)) == count;
}

}  // namespace testing_support
