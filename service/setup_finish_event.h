#pragma once

#include <windows.h>

#include <cstdint>

// The named event "Global\LumavexSetupFinish" through which the installer helper tells the service that
// a setup has finished. SYSTEM and Administrators have full control; everyone else may only set it
// and wait for it, so no other program can delete, take over or hand on its handle. The handle is not
// inheritable. An event that already exists is opened. Null on failure.
HANDLE CreateSetupFinishEvent();

// Whole days of service uptime from two wall-clock readings in 100 ns ticks: whole hours first, then
// whole days, both truncated toward zero (a clock set back gives 0 or less).
int64_t OnlineDays(int64_t start_ticks, int64_t now_ticks);

// The wall clock in 100 ns ticks since 1970-01-01 UTC.
int64_t SystemClockTicks();
