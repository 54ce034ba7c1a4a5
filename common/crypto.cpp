#include "common/crypto.h"

#include <windows.h>
#include <wincrypt.h>

#include <cstring>
#include <utility>

namespace {

#include "common/blowfish_tables.inc"

constexpr int kRounds = 16;
constexpr size_t kPWords = kRounds + 2;
constexpr size_t kSBoxWords = 256;

class CryptContext {
 public:
  CryptContext() {
    if (!CryptAcquireContextW(&handle_, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT)) handle_ = 0;
  }
  ~CryptContext() {
    if (handle_ != 0) CryptReleaseContext(handle_, 0);
  }
  CryptContext(const CryptContext&) = delete;
  CryptContext& operator=(const CryptContext&) = delete;
  HCRYPTPROV get() const { return handle_; }

 private:
  HCRYPTPROV handle_ = 0;
};

class CryptHash {
 public:
  CryptHash(HCRYPTPROV provider, ALG_ID algorithm) {
    if (!CryptCreateHash(provider, algorithm, 0, 0, &handle_)) handle_ = 0;
  }
  ~CryptHash() {
    if (handle_ != 0) CryptDestroyHash(handle_);
  }
  CryptHash(const CryptHash&) = delete;
  CryptHash& operator=(const CryptHash&) = delete;
  HCRYPTHASH get() const { return handle_; }

 private:
  HCRYPTHASH handle_ = 0;
};

const char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

uint32_t LoadBigEndian(const unsigned char* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

void StoreBigEndian(uint32_t v, unsigned char* p) {
  p[0] = static_cast<unsigned char>(v >> 24);
  p[1] = static_cast<unsigned char>(v >> 16);
  p[2] = static_cast<unsigned char>(v >> 8);
  p[3] = static_cast<unsigned char>(v);
}

}  // namespace

std::string Sha1Digest(const void* data, size_t size) {
  if (data == nullptr && size != 0) return std::string();
  CryptContext context;
  if (context.get() == 0) return std::string();
  CryptHash hash(context.get(), CALG_SHA1);
  if (hash.get() == 0) return std::string();

  // CryptHashData takes a 32-bit length: feed larger inputs in pieces.
  const BYTE* bytes = static_cast<const BYTE*>(data);
  do {
    const DWORD piece = static_cast<DWORD>(size > 0x40000000u ? 0x40000000u : size);
    if (!CryptHashData(hash.get(), bytes, piece, 0)) return std::string();
    bytes += piece;
    size -= piece;
  } while (size != 0);

  DWORD hash_size = 0;
  DWORD field_size = sizeof(hash_size);
  if (!CryptGetHashParam(hash.get(), HP_HASHSIZE, reinterpret_cast<BYTE*>(&hash_size), &field_size, 0) ||
      hash_size == 0) {
    return std::string();
  }
  std::string digest(hash_size, '\0');
  if (!CryptGetHashParam(hash.get(), HP_HASHVAL, reinterpret_cast<BYTE*>(&digest[0]), &hash_size, 0)) {
    return std::string();
  }
  digest.resize(hash_size);
  return digest;
}

std::string Sha1Digest(const std::string& bytes) { return Sha1Digest(bytes.data(), bytes.size()); }

size_t Base64EncodeRaw(char* output, const unsigned char* input, size_t length) {
  char* out = output;
  size_t i = 0;
  for (; i + 3 <= length; i += 3) {
    const uint32_t group = (static_cast<uint32_t>(input[i]) << 16) | (static_cast<uint32_t>(input[i + 1]) << 8) |
                           input[i + 2];
    *out++ = kBase64Alphabet[(group >> 18) & 0x3F];
    *out++ = kBase64Alphabet[(group >> 12) & 0x3F];
    *out++ = kBase64Alphabet[(group >> 6) & 0x3F];
    *out++ = kBase64Alphabet[group & 0x3F];
  }
  const size_t rest = length - i;
  if (rest != 0) {
    uint32_t group = static_cast<uint32_t>(input[i]) << 16;
    if (rest == 2) group |= static_cast<uint32_t>(input[i + 1]) << 8;
    *out++ = kBase64Alphabet[(group >> 18) & 0x3F];
    *out++ = kBase64Alphabet[(group >> 12) & 0x3F];
    *out++ = rest == 2 ? kBase64Alphabet[(group >> 6) & 0x3F] : '=';
    *out++ = '=';
  }
  *out = '\0';
  return static_cast<size_t>(out - output);
}

bool Base64Encode(std::string* output, const void* input, size_t length) {
  if (output == nullptr || (input == nullptr && length != 0)) return false;
  if (length / 3 >= output->max_size() / 4 - 1) return false;
  const size_t encoded = 4 * ((length + 2) / 3);
  // One byte more for the terminator the raw encoder writes.
  output->assign(encoded + 1, '\0');
  output->resize(Base64EncodeRaw(&(*output)[0], static_cast<const unsigned char*>(input), length));
  return true;
}

Blowfish::Blowfish() : p_array(new uint32_t[kPWords]), s_boxes(new uint32_t[4 * kSBoxWords]) {
  SetKey(nullptr, 0);
}

Blowfish::Blowfish(const std::string& key)
    : p_array(new uint32_t[kPWords]), s_boxes(new uint32_t[4 * kSBoxWords]) {
  SetKey(key);
}

Blowfish::~Blowfish() = default;

void Blowfish::SetKey(const unsigned char* key, size_t length) {
  std::memcpy(p_array.get(), kInitialP, sizeof(kInitialP));
  std::memcpy(s_boxes.get(), kInitialS0, sizeof(kInitialS0));
  std::memcpy(s_boxes.get() + kSBoxWords, kInitialS1, sizeof(kInitialS1));
  std::memcpy(s_boxes.get() + 2 * kSBoxWords, kInitialS2, sizeof(kInitialS2));
  std::memcpy(s_boxes.get() + 3 * kSBoxWords, kInitialS3, sizeof(kInitialS3));

  if (key != nullptr && length != 0) {
    size_t k = 0;
    for (size_t i = 0; i < kPWords; ++i) {
      uint32_t word = 0;
      for (int b = 0; b < 4; ++b) {
        word = (word << 8) | key[k];
        k = (k + 1) % length;
      }
      p_array[i] ^= word;
    }
  }

  uint32_t left = 0;
  uint32_t right = 0;
  for (size_t i = 0; i < kPWords; i += 2) {
    EncryptBlock(&left, &right);
    p_array[i] = left;
    p_array[i + 1] = right;
  }
  for (size_t i = 0; i < 4 * kSBoxWords; i += 2) {
    EncryptBlock(&left, &right);
    s_boxes[i] = left;
    s_boxes[i + 1] = right;
  }
}

uint32_t Blowfish::F(uint32_t x) const {
  const uint32_t* s = s_boxes.get();
  return ((s[x >> 24] + s[kSBoxWords + ((x >> 16) & 0xFF)]) ^ s[2 * kSBoxWords + ((x >> 8) & 0xFF)]) +
         s[3 * kSBoxWords + (x & 0xFF)];
}

void Blowfish::EncryptBlock(uint32_t* left, uint32_t* right) const {
  uint32_t l = *left;
  uint32_t r = *right;
  for (int i = 0; i < kRounds; ++i) {
    l ^= p_array[i];
    r ^= F(l);
    std::swap(l, r);
  }
  std::swap(l, r);
  r ^= p_array[kRounds];
  l ^= p_array[kRounds + 1];
  *left = l;
  *right = r;
}

void Blowfish::DecryptBlock(uint32_t* left, uint32_t* right) const {
  uint32_t l = *left;
  uint32_t r = *right;
  for (int i = kRounds + 1; i > 1; --i) {
    l ^= p_array[i];
    r ^= F(l);
    std::swap(l, r);
  }
  std::swap(l, r);
  r ^= p_array[1];
  l ^= p_array[0];
  *left = l;
  *right = r;
}

size_t Blowfish::Encrypt(const unsigned char* input, unsigned char* output, size_t length) const {
  return EachBlock(input, output, length, &Blowfish::EncryptBlock);
}

size_t Blowfish::Decrypt(const unsigned char* input, unsigned char* output, size_t length) const {
  return EachBlock(input, output, length, &Blowfish::DecryptBlock);
}

size_t Blowfish::EachBlock(const unsigned char* input, unsigned char* output, size_t length,
                           BlockOperation operation) const {
  if (length == 0) return 0;
  if (input != output) std::memmove(output, input, length);
  const size_t padded = PaddedLength(length);
  std::memset(output + length, 0, padded - length);
  for (size_t i = 0; i < padded; i += 8) {
    uint32_t left = LoadBigEndian(output + i);
    uint32_t right = LoadBigEndian(output + i + 4);
    (this->*operation)(&left, &right);
    StoreBigEndian(left, output + i);
    StoreBigEndian(right, output + i + 4);
  }
  return padded;
}

bool BlowfishEncryptToBase64(const std::string& key, const std::string& plain, std::string* output) {
  output->clear();
  if (key.empty() || plain.empty()) return false;
  return BlowfishEncryptToBase64(Blowfish(key), plain, output);
}

bool BlowfishEncryptToBase64(const Blowfish& cipher, const std::string& plain, std::string* output) {
  output->clear();
  if (plain.empty()) return false;
  std::string buffer(Blowfish::PaddedLength(plain.size()), '\0');
  plain.copy(&buffer[0], plain.size());
  auto* bytes = reinterpret_cast<unsigned char*>(&buffer[0]);
  const size_t length = cipher.Encrypt(bytes, bytes, plain.size());
  return Base64Encode(output, bytes, length);
}

namespace {

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

long Base64Decode(const char* input, size_t length, unsigned char* output) {
  if (length == 0) return 0;
  if (input == nullptr || output == nullptr || length % 4 != 0) return -1;
  size_t data = length;
  if (input[data - 1] == '=') --data;
  if (input[data - 1] == '=') --data;
  if (length - data > 2 || data % 4 == 1) return -1;
  size_t out = 0;
  uint32_t bits = 0;
  int count = 0;
  for (size_t i = 0; i < data; ++i) {
    const int v = Base64Value(input[i]);
    if (v < 0) return -1;
    bits = (bits << 6) | static_cast<uint32_t>(v);
    if (++count == 4) {
      output[out++] = static_cast<unsigned char>(bits >> 16);
      output[out++] = static_cast<unsigned char>(bits >> 8);
      output[out++] = static_cast<unsigned char>(bits);
      bits = 0;
      count = 0;
    }
  }
  if (count == 2) {
    output[out++] = static_cast<unsigned char>(bits >> 4);
  } else if (count == 3) {
    output[out++] = static_cast<unsigned char>(bits >> 10);
    output[out++] = static_cast<unsigned char>(bits >> 2);
  }
  return static_cast<long>(out);
}

bool BlowfishDecryptFromBase64(const std::string& key, const std::string& base64, std::string* output) {
  output->clear();
  if (key.empty() || base64.empty()) return false;
  std::string bytes(base64.size() / 4 * 3 + 8, '\0');
  auto* raw = reinterpret_cast<unsigned char*>(&bytes[0]);
  const long decoded = Base64Decode(base64.data(), base64.size(), raw);
  if (decoded < 0) return false;
  Blowfish cipher;
  cipher.SetKey(key);
  bytes.resize(cipher.Decrypt(raw, raw, static_cast<size_t>(decoded)));
  const size_t end = bytes.find_last_not_of('\0');
  if (end == std::string::npos) {
    if (bytes.empty()) return false;
    *output = std::string(1, '\0');
  } else {
    *output = bytes.substr(0, end + 1);
  }
  return true;
}
