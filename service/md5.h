#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// MD5 (RFC 1321), the digest the upgrade API gives for each setup package.

// Writes the 16-byte digest of `size` bytes; false, with an all-zero digest, for a null buffer.
bool Md5(const void* data, size_t size, uint8_t digest[16]);

// The digest as 32 upper-case hexadecimal digits.
std::string Md5Hex(const uint8_t digest[16]);
