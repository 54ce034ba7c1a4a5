#pragma once

#include <cstdint>
#include <ctime>
#include <map>
#include <string>

// Operating-system, memory, time and screen facts sent with every statistics event. Failures give
// an empty text or leave the field out; nothing is logged.

using StatFields = std::map<std::string, std::string>;

// "Windows 7", "Windows 8", "Windows 8.1", "Windows 10", "Windows 11" (10.0 from build 22000), else
// "Windows " followed by the Chinese for "unknown version", as UTF-8.
std::string OsNameFromVersion(unsigned major, unsigned minor, unsigned build);
// The name of the running system, with its build number in `*build`. "" with `*build` untouched
// when the version service is missing.
std::string GetOsName(unsigned long* build);
// "DisplayVersion" (for example 22H2), else "ReleaseId", of the system's version key; "" without either.
std::string GetOsDisplayVersion();

// "x64", "x86" or "unknown" for a PROCESSOR_ARCHITECTURE_* value.
std::string OsArchitectureName(unsigned architecture);

// Local time minus UTC in whole minutes from the two breakdowns of one instant; differences of
// more than half a day wrap, so zones east of UTC+12 come out negative.
int TimeZoneOffsetMinutes(const std::tm& local, const std::tm& utc);

// Total physical memory in GiB, rounded up, as decimal text; "0" when it cannot be read.
uint64_t RoundUpToGiB(uint64_t bytes);
std::string InstalledMemoryGiB();

// Insert "cp", "osa", "osn", "osbn", "oskv", "ctz" and "drw", "drh", "drd", "dpr"; keys already
// present keep their values. The display fields are all left out when the screen cannot be read.
void CollectSystemFields(StatFields* fields);
void CollectDisplayFields(StatFields* fields);

// Seconds from `now_ticks` (100 ns since 1970, UTC) until the next local midnight plus `jitter`.
int32_t SecondsToNextMidnightFrom(int64_t now_ticks, int jitter);
// The same from now, with a random 0 to 300 s added so that machines do not all call at once.
int32_t SecondsToNextMidnight();
