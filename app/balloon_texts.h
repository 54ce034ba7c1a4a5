#pragma once

#include <windows.h>

// The start-up balloon tip's title and text. Windows 8.1 and older show the tip beside the icon
// itself, so "this icon" is enough there; later versions show it as a toast away from the tray and
// name the icon instead.
struct BalloonTexts {
  const wchar_t* title;
  const wchar_t* text;
};

// The pair for Windows major.minor; `known` false (the version could not be read) takes the newer pair.
const BalloonTexts& SelectBalloonTexts(bool known, DWORD major, DWORD minor);

// The true Windows version from ntdll's RtlGetNtVersionNumbers, which no compatibility shim or
// missing manifest lowers (GetVersionEx would claim 6.2 on later systems). False when ntdll lacks it.
bool ReadNtVersionNumbers(DWORD* major, DWORD* minor);

// The pair for the system this process runs on.
const BalloonTexts& BalloonTextsForThisSystem();
