#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Codecs shared by the statistics body, the device identifier and the upgrade protocol.

// SHA-1 through the platform's cryptography service: the 20 raw digest bytes, or "" when any step of
// the service fails.
std::string Sha1Digest(const void* data, size_t size);
std::string Sha1Digest(const std::string& bytes);

// Base64 with the standard alphabet and "=" padding, no line breaks. `output` must hold at least
// 4 * ceil(length / 3) + 1 bytes; it is zero-terminated. Returns the number of characters written.
size_t Base64EncodeRaw(char* output, const unsigned char* input, size_t length);
// Replaces `*output` with the encoding; false only for a null output or null input with a length.
bool Base64Encode(std::string* output, const void* input, size_t length);

// Strict Base64 decoding: the length must be a multiple of 4, "=" may only pad the last group, and any
// character outside the standard alphabet (blanks and line ends included) fails. `output` must hold
// length / 4 * 3 bytes. Returns the number of bytes written, or -1.
long Base64Decode(const char* input, size_t length, unsigned char* output);

// The Blowfish block cipher (64-bit blocks, 16 rounds), used in ECB mode with zero padding. Words
// are read from and written to bytes big-endian.
class Blowfish {
 public:
  Blowfish();
  // Scheduled for `key` at once (see SetKey).
  explicit Blowfish(const std::string& key);
  ~Blowfish();
  Blowfish(const Blowfish&) = delete;
  Blowfish& operator=(const Blowfish&) = delete;

  // The standard key schedule; the key bytes are used cyclically. An empty key leaves the initial
  // tables unmixed by key bytes.
  void SetKey(const unsigned char* key, size_t length);
  void SetKey(const std::string& key) {
    SetKey(reinterpret_cast<const unsigned char*>(key.data()), key.size());
  }

  // Enciphers one block in place; DecryptBlock is its inverse.
  void EncryptBlock(uint32_t* left, uint32_t* right) const;
  void DecryptBlock(uint32_t* left, uint32_t* right) const;

  // Pads `length` up to a multiple of 8 with zero bytes and enciphers each block on its own.
  // `input` and `output` may be the same buffer; `output` must hold the padded length, which is
  // returned (0 for an empty input, no extra block when `length` already is a multiple of 8).
  size_t Encrypt(const unsigned char* input, unsigned char* output, size_t length) const;
  // Deciphers ceil(length / 8) blocks, so `output` must hold the padded length, which is returned.
  size_t Decrypt(const unsigned char* input, unsigned char* output, size_t length) const;

  static size_t PaddedLength(size_t length) { return (length + 7) & ~static_cast<size_t>(7); }

 private:
  using BlockOperation = void (Blowfish::*)(uint32_t*, uint32_t*) const;
  // Copies the input to the output, pads it with zero bytes to whole blocks and runs the operation on
  // each block in place; returns the padded length.
  size_t EachBlock(const unsigned char* input, unsigned char* output, size_t length,
                   BlockOperation operation) const;
  uint32_t F(uint32_t x) const;

  std::unique_ptr<uint32_t[]> p_array;  // 18 words
  std::unique_ptr<uint32_t[]> s_boxes;  // 4 boxes of 256 words, one after the other
};

// Blowfish-ECB under `key` (zero padding), then Base64: the form in which statistics bodies travel.
// False, with `output` left empty, for an empty text or an empty key.
bool BlowfishEncryptToBase64(const std::string& key, const std::string& plain, std::string* output);
// The same with a cipher already scheduled for its key: the schedule costs 521 block encipherments,
// far more than a short text, so a fixed key is better scheduled once. Enciphering only reads the
// cipher, so one cipher may serve several threads at once. False, with `output` left empty, for an
// empty text.
bool BlowfishEncryptToBase64(const Blowfish& cipher, const std::string& plain, std::string* output);

// The inverse of BlowfishEncryptToBase64: Base64, then Blowfish-ECB under `key`, with the trailing zero
// bytes of the padding dropped (a text of nothing but zero bytes gives one zero byte). False, with
// `output` left empty, for an empty text or key or text that is not Base64.
bool BlowfishDecryptFromBase64(const std::string& key, const std::string& base64, std::string* output);
