#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// One entry of an archive built in memory. The declared_* fields, when set, replace the true values
// in both headers, so that the archive lies consistently.
struct ZipFixtureEntry {
  std::string name;
  std::string data;
  bool deflate = true;
  std::string password;  // traditional PKWARE encryption when not empty
  bool data_descriptor = false;
  uint16_t dos_time = (12 << 11) | (34 << 5) | (56 / 2);
  uint16_t dos_date = ((2021 - 1980) << 9) | (3 << 5) | 14;
  uint16_t version_made_by = 20;  // host 0: DOS attribute bits
  uint32_t external_attr = 0x20;
  std::string local_extra;
  std::string central_extra;
  int64_t declared_size = -1;
  int64_t declared_compressed_size = -1;
  int64_t declared_crc = -1;
};

std::string BuildZip(const std::vector<ZipFixtureEntry>& entries);

// An "UT" extra block with the given Unix times (flags say which follow: 1 mtime, 2 atime, 4 ctime).
std::string ExtendedTimestamp(uint8_t flags, const std::vector<uint32_t>& times);

}  // namespace testing_support
