#include "tests/vellum/support/zip_builder.h"

#include <zlib.h>

namespace testing_support {

namespace {

void Put16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

std::string RawDeflate(const std::string& data) {
  z_stream z{};
  deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&z, data.size()) + 16, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(&out[0]);
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

class Encrypter {
 public:
  explicit Encrypter(const std::string& password) {
    for (char c : password) Update(static_cast<uint8_t>(c));
  }
  uint8_t Encrypt(uint8_t plain) {
    const uint32_t t = (keys_[2] | 2) & 0xFFFF;
    const uint8_t c = plain ^ static_cast<uint8_t>((t * (t ^ 1)) >> 8);
    Update(plain);
    return c;
  }

 private:
  static uint32_t Crc(uint32_t crc, uint8_t b) {
    return get_crc_table()[(crc ^ b) & 0xFF] ^ (crc >> 8);
  }
  void Update(uint8_t c) {
    keys_[0] = Crc(keys_[0], c);
    keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
    keys_[2] = Crc(keys_[2], static_cast<uint8_t>(keys_[1] >> 24));
  }
  uint32_t keys_[3] = {0x12345678u, 0x23456789u, 0x34567890u};
};

}  // namespace

std::string ExtendedTimestamp(uint8_t flags, const std::vector<uint32_t>& times) {
  std::string body(1, static_cast<char>(flags));
  for (uint32_t t : times) Put32(body, t);
  std::string out;
  Put16(out, 0x5455);
  Put16(out, static_cast<uint32_t>(body.size()));
  return out + body;
}

std::string BuildZip(const std::vector<ZipFixtureEntry>& entries) {
  std::string out, central;
  for (const ZipFixtureEntry& e : entries) {
    const uint32_t crc = static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size())));
    std::string payload = e.deflate ? RawDeflate(e.data) : e.data;
    uint16_t flags = 0x0800;  // UTF-8 names
    if (!e.password.empty()) {
      flags |= 1;
      Encrypter enc(e.password);
      std::string header(12, '\0');
      for (int i = 0; i < 11; ++i) header[i] = static_cast<char>(0x5A + i * 7);
      header[11] = static_cast<char>(e.data_descriptor ? (e.dos_time >> 8) : (crc >> 24));
      std::string sealed;
      for (char c : header + payload) sealed += static_cast<char>(enc.Encrypt(static_cast<uint8_t>(c)));
      payload = sealed;
    }
    if (e.data_descriptor) flags |= 8;
    const uint32_t size = e.declared_size >= 0 ? static_cast<uint32_t>(e.declared_size)
                                               : static_cast<uint32_t>(e.data.size());
    const uint32_t csize = e.declared_compressed_size >= 0
                               ? static_cast<uint32_t>(e.declared_compressed_size)
                               : static_cast<uint32_t>(payload.size());
    const uint32_t dcrc = e.declared_crc >= 0 ? static_cast<uint32_t>(e.declared_crc) : crc;
    const uint16_t method = e.deflate ? 8 : 0;
    const uint32_t offset = static_cast<uint32_t>(out.size());

    Put32(out, 0x04034b50);
    Put16(out, 20);
    Put16(out, flags);
    Put16(out, method);
    Put16(out, e.dos_time);
    Put16(out, e.dos_date);
    Put32(out, e.data_descriptor ? 0 : dcrc);
    Put32(out, e.data_descriptor ? 0 : csize);
    Put32(out, e.data_descriptor ? 0 : size);
    Put16(out, static_cast<uint32_t>(e.name.size()));
    Put16(out, static_cast<uint32_t>(e.local_extra.size()));
    out += e.name + e.local_extra + payload;
    if (e.data_descriptor) {
      Put32(out, 0x08074b50);
      Put32(out, dcrc);
      Put32(out, csize);
      Put32(out, size);
    }

    Put32(central, 0x02014b50);
    Put16(central, e.version_made_by);
    Put16(central, 20);
    Put16(central, flags);
    Put16(central, method);
    Put16(central, e.dos_time);
    Put16(central, e.dos_date);
    Put32(central, dcrc);
    Put32(central, csize);
    Put32(central, size);
    Put16(central, static_cast<uint32_t>(e.name.size()));
    Put16(central, static_cast<uint32_t>(e.central_extra.size()));
    Put16(central, 0);  // comment
    Put16(central, 0);  // disk
    Put16(central, 0);  // internal attributes
    Put32(central, e.external_attr);
    Put32(central, offset);
    central += e.name + e.central_extra;
  }
  const uint32_t central_offset = static_cast<uint32_t>(out.size());
  out += central;
  Put32(out, 0x06054b50);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, static_cast<uint32_t>(entries.size()));
  Put16(out, static_cast<uint32_t>(entries.size()));
  Put32(out, static_cast<uint32_t>(central.size()));
  Put32(out, central_offset);
  Put16(out, 0);
  return out;
}

}  // namespace testing_support
