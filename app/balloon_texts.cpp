#include "app/balloon_texts.h"

namespace {

// "Lumavex" / "单击此图标打开设置，或使用鼠标右键退出程序"
const BalloonTexts kUpToWindows81 = {
    L"Lumavex",
    L"\u5355\u51fb\u6b64\u56fe\u6807\u6253\u5f00\u8bbe\u7f6e\uff0c\u6216\u4f7f\u7528\u9f20\u6807\u53f3\u952e"
    L"\u9000\u51fa\u7a0b\u5e8f"};

// "软件运行提示" / "单击 “Lumavex” 托盘图标打开设置，或使用鼠标右键退出程序"
const BalloonTexts kLaterWindows = {
    L"\u8f6f\u4ef6\u8fd0\u884c\u63d0\u793a",
    L"\u5355\u51fb \u201cLumavex\u201d \u6258\u76d8\u56fe\u6807\u6253\u5f00\u8bbe\u7f6e\uff0c\u6216\u4f7f\u7528"
    L"\u9f20\u6807\u53f3\u952e\u9000\u51fa\u7a0b\u5e8f"};

using RtlGetNtVersionNumbersFunction = void(WINAPI*)(DWORD* major, DWORD* minor, DWORD* build);

}  // namespace

const BalloonTexts& SelectBalloonTexts(bool known, DWORD major, DWORD minor) {
  if (known && (major < 6 || (major == 6 && minor <= 3))) return kUpToWindows81;
  return kLaterWindows;
}

bool ReadNtVersionNumbers(DWORD* major, DWORD* minor) {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  if (ntdll == nullptr) return false;
  const auto read = reinterpret_cast<RtlGetNtVersionNumbersFunction>(
      reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetNtVersionNumbers")));
  if (read == nullptr) return false;
  DWORD build = 0;
  read(major, minor, &build);
  return true;
}

const BalloonTexts& BalloonTextsForThisSystem() {
  DWORD major = 0;
  DWORD minor = 0;
  const bool known = ReadNtVersionNumbers(&major, &minor);
  return SelectBalloonTexts(known, major, minor);
}
