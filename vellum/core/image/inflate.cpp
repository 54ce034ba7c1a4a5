#include "vellum/core/image/inflate.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace Vellum {
namespace {

constexpr int kMaxCodeBits = 15;
// Codes up to this long are decoded with one table look-up; longer ones (rare) bit by bit.
constexpr int kFastBits = 10;
constexpr int kLiteralCodes = 288;
constexpr int kDistanceCodes = 32;
constexpr int kEndOfBlock = 256;

constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t kDistanceBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,
                                        33,  49,  65,  97,  129, 193,  257,  385,  513,  769,
                                        1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6,
                                        6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// The order in which a dynamic block gives the lengths of its code-length code.
constexpr uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// Reads the stream's bits from the least significant end of each byte. Past the end it supplies
// zero bytes and counts them, so a truncated stream is caught by `Overran` rather than by a check on
// every read.
class BitReader {
 public:
  BitReader(const uint8_t* in, size_t size) : at_(in), end_(in + size) {}

  uint32_t Peek(int count) {
    if (count_ < count) Refill();
    return static_cast<uint32_t>(bits_ & ((uint64_t{1} << count) - 1));
  }
  void Drop(int count) {
    bits_ >>= count;
    count_ -= count;
  }
  uint32_t Take(int count) {
    if (count == 0) return 0;
    const uint32_t value = Peek(count);
    Drop(count);
    return value;
  }
  // Skips to the next byte boundary, as a stored block begins.
  void Align() { Drop(count_ % 8); }
  // Whole bytes left in the bit buffer and then in the input, for a stored block's raw copy.
  bool TakeBytes(uint8_t* out, size_t size) {
    for (; size > 0 && count_ >= 8; --size) *out++ = static_cast<uint8_t>(Take(8));
    if (Overran()) return false;
    if (size == 0) return true;
    // The buffer is empty; what a refill read ahead above it is left behind by the copy.
    bits_ = 0;
    if (size > static_cast<size_t>(end_ - at_)) return false;
    std::memcpy(out, at_, size);
    at_ += size;
    return true;
  }
  // True once bits past the end of the input have been used.
  bool Overran() const { return padding_ * 8 > static_cast<size_t>(count_); }

 private:
  void Refill() {
    if (end_ - at_ >= 8) {
      // Eight bytes at once; those beyond the whole bytes taken land where the next refill puts
      // them again, so they may stay in the buffer. The stream is little-endian, as the host is.
      uint64_t word;
      std::memcpy(&word, at_, 8);
      bits_ |= word << count_;
      at_ += (63 - count_) >> 3;
      count_ |= 56;
      return;
    }
    while (count_ <= 56) {
      uint64_t byte = 0;
      if (at_ < end_) {
        byte = *at_++;
      } else {
        ++padding_;
      }
      bits_ |= byte << count_;
      count_ += 8;
    }
  }

  const uint8_t* at_;
  const uint8_t* end_;
  uint64_t bits_ = 0;
  int count_ = 0;
  size_t padding_ = 0;  // zero bytes supplied past the end; stays 0 for a whole stream
};

// A canonical Huffman code, built from its code lengths as the format defines them.
class Huffman {
 public:
  // False for a set of lengths that over-subscribes the code or leaves it incomplete (a code with a
  // single symbol excepted, which encoders write for a block with one distance).
  bool Build(const uint8_t* lengths, int symbols) {
    std::fill(std::begin(count_), std::end(count_), uint16_t{0});
    std::fill(std::begin(fast_), std::end(fast_), uint16_t{0});
    for (int s = 0; s < symbols; ++s) ++count_[lengths[s]];
    count_[0] = 0;
    int left = 1;
    int used = 0;
    for (int length = 1; length <= kMaxCodeBits; ++length) {
      left = left * 2 - count_[length];
      if (left < 0) return false;
      used += count_[length];
    }
    if (left > 0 && !(used == 1 && count_[1] == 1)) return false;

    uint16_t offset[kMaxCodeBits + 2] = {};
    for (int length = 1; length <= kMaxCodeBits; ++length) offset[length + 1] = offset[length] + count_[length];
    uint16_t next[kMaxCodeBits + 2];
    std::copy(std::begin(offset), std::end(offset), std::begin(next));
    for (int s = 0; s < symbols; ++s) {
      if (lengths[s] != 0) symbol_[next[lengths[s]]++] = static_cast<uint16_t>(s);
    }

    // Codes are sent from their most significant bit and read from the least significant end, so a
    // code's table slots are at its bits reversed, repeated for every value of the bits after it.
    uint32_t code = 0;
    for (int length = 1; length <= kFastBits; ++length) {
      for (int i = 0; i < count_[length]; ++i, ++code) {
        uint32_t reversed = 0;
        for (int bit = 0; bit < length; ++bit) reversed |= ((code >> bit) & 1u) << (length - 1 - bit);
        const uint16_t entry = static_cast<uint16_t>(length << 9 | symbol_[offset[length] + i]);
        for (uint32_t slot = reversed; slot < (1u << kFastBits); slot += 1u << length) fast_[slot] = entry;
      }
      code <<= 1;
    }
    return true;
  }

  // The next symbol, or -1 for bits that are no code.
  int Decode(BitReader* bits) const {
    const uint16_t entry = fast_[bits->Peek(kFastBits)];
    if (entry != 0) {
      bits->Drop(entry >> 9);
      return entry & 0x1FF;
    }
    int code = 0;
    int first = 0;
    int index = 0;
    for (int length = 1; length <= kMaxCodeBits; ++length) {
      code |= static_cast<int>(bits->Take(1));
      const int count = count_[length];
      if (code - first < count) return symbol_[index + code - first];
      index += count;
      first = (first + count) << 1;
      code <<= 1;
    }
    return -1;
  }

 private:
  uint16_t count_[kMaxCodeBits + 1] = {};
  uint16_t symbol_[kLiteralCodes] = {};
  uint16_t fast_[1 << kFastBits] = {};  // length << 9 | symbol; 0 where the code is longer
};

enum class BlockEnd { kEnd, kFull, kError };

class Inflater {
 public:
  Inflater(const uint8_t* in, size_t in_size, uint8_t* out, size_t out_size)
      : bits_(in, in_size), begin_(out), out_(out), end_(out + out_size) {}

  bool Run() {
    if (!Header()) return false;
    for (;;) {
      if (out_ == end_) return true;
      const bool last = bits_.Take(1) != 0;
      BlockEnd result;
      switch (bits_.Take(2)) {
        case 0:
          result = Stored();
          break;
        case 1:
          result = Codes(FixedCodes().literal, FixedCodes().distance);
          break;
        case 2:
          result = Dynamic();
          break;
        default:
          return false;
      }
      if (result == BlockEnd::kError || bits_.Overran()) return false;
      if (result == BlockEnd::kFull) return true;
      if (last) return out_ == end_;
    }
  }

 private:
  struct CodePair {
    Huffman literal;
    Huffman distance;
  };

  static const CodePair& FixedCodes() {
    static const CodePair fixed = [] {
      CodePair codes;
      uint8_t lengths[kLiteralCodes];
      std::fill(lengths, lengths + 144, uint8_t{8});
      std::fill(lengths + 144, lengths + 256, uint8_t{9});
      std::fill(lengths + 256, lengths + 280, uint8_t{7});
      std::fill(lengths + 280, lengths + kLiteralCodes, uint8_t{8});
      codes.literal.Build(lengths, kLiteralCodes);
      std::fill(lengths, lengths + kDistanceCodes, uint8_t{5});
      codes.distance.Build(lengths, kDistanceCodes);
      return codes;
    }();
    return fixed;
  }

  // Deflate, a window the format allows, no preset dictionary, and the header's own check.
  bool Header() {
    const uint32_t cmf = bits_.Take(8);
    const uint32_t flags = bits_.Take(8);
    return (cmf & 0x0F) == 8 && (cmf >> 4) <= 7 && (flags & 0x20) == 0 && (cmf * 256 + flags) % 31 == 0 &&
           !bits_.Overran();
  }

  BlockEnd Stored() {
    bits_.Align();
    const uint32_t length = bits_.Take(16);
    if ((bits_.Take(16) ^ 0xFFFF) != length || bits_.Overran()) return BlockEnd::kError;
    const size_t room = static_cast<size_t>(end_ - out_);
    const size_t size = std::min<size_t>(length, room);
    if (!bits_.TakeBytes(out_, size)) return BlockEnd::kError;
    out_ += size;
    return size < length || out_ == end_ ? BlockEnd::kFull : BlockEnd::kEnd;
  }

  BlockEnd Dynamic() {
    const int literals = static_cast<int>(bits_.Take(5)) + 257;
    const int distances = static_cast<int>(bits_.Take(5)) + 1;
    const int code_lengths = static_cast<int>(bits_.Take(4)) + 4;
    if (literals > 286 || distances > 30) return BlockEnd::kError;

    uint8_t lengths[kLiteralCodes + kDistanceCodes] = {};
    for (int i = 0; i < code_lengths; ++i) lengths[kCodeLengthOrder[i]] = static_cast<uint8_t>(bits_.Take(3));
    Huffman length_code;
    if (!length_code.Build(lengths, 19)) return BlockEnd::kError;

    std::fill(std::begin(lengths), std::end(lengths), uint8_t{0});
    const int total = literals + distances;
    for (int at = 0; at < total;) {
      const int symbol = length_code.Decode(&bits_);
      if (symbol < 0 || bits_.Overran()) return BlockEnd::kError;
      if (symbol < 16) {
        lengths[at++] = static_cast<uint8_t>(symbol);
        continue;
      }
      uint8_t value = 0;
      int repeat;
      if (symbol == 16) {
        if (at == 0) return BlockEnd::kError;
        value = lengths[at - 1];
        repeat = 3 + static_cast<int>(bits_.Take(2));
      } else if (symbol == 17) {
        repeat = 3 + static_cast<int>(bits_.Take(3));
      } else {
        repeat = 11 + static_cast<int>(bits_.Take(7));
      }
      if (at + repeat > total) return BlockEnd::kError;
      std::fill(lengths + at, lengths + at + repeat, value);
      at += repeat;
    }
    if (lengths[kEndOfBlock] == 0) return BlockEnd::kError;

    // Distances follow the literals directly; a block of literals alone may have no distance code.
    Huffman literal;
    Huffman distance;
    if (!literal.Build(lengths, literals)) return BlockEnd::kError;
    const bool no_distances = std::all_of(lengths + literals, lengths + total, [](uint8_t l) { return l == 0; });
    if (!no_distances && !distance.Build(lengths + literals, distances)) return BlockEnd::kError;
    return Codes(literal, distance);
  }

  // A truncated stream decodes the zero bits supplied past its end until the block or the output
  // ends; the caller then finds the overrun.
  BlockEnd Codes(const Huffman& literal, const Huffman& distance) {
    for (;;) {
      const int symbol = literal.Decode(&bits_);
      if (symbol < 0) return BlockEnd::kError;
      if (symbol < 256) {
        *out_++ = static_cast<uint8_t>(symbol);
        if (out_ == end_) return BlockEnd::kFull;
        continue;
      }
      if (symbol == kEndOfBlock) return BlockEnd::kEnd;
      const int length_symbol = symbol - 257;
      if (length_symbol >= 29) return BlockEnd::kError;
      size_t length = kLengthBase[length_symbol] + bits_.Take(kLengthExtra[length_symbol]);
      const int distance_symbol = distance.Decode(&bits_);
      if (distance_symbol < 0 || distance_symbol >= 30) return BlockEnd::kError;
      const size_t back = kDistanceBase[distance_symbol] + bits_.Take(kDistanceExtra[distance_symbol]);
      if (back > static_cast<size_t>(out_ - begin_)) return BlockEnd::kError;
      length = std::min(length, static_cast<size_t>(end_ - out_));
      Copy(back, length);
      if (out_ == end_) return BlockEnd::kFull;
    }
  }

  // Copies `length` bytes from `back` bytes behind the output. Where the two overlap, the bytes
  // behind repeat with period `back`: the repeated stretch doubles with every block copy.
  void Copy(size_t back, size_t length) {
    const uint8_t* from = out_ - back;
    if (back >= length) {
      std::memcpy(out_, from, length);
      out_ += length;
      return;
    }
    uint8_t* const stop = out_ + length;
    while (out_ < stop) {
      const size_t block = std::min(static_cast<size_t>(out_ - from), static_cast<size_t>(stop - out_));
      std::memcpy(out_, from, block);
      out_ += block;
    }
  }

  BitReader bits_;
  uint8_t* const begin_;
  uint8_t* out_;
  uint8_t* const end_;
};

}  // namespace

bool InflateZlib(const uint8_t* in, size_t in_size, uint8_t* out, size_t out_size) {
  if (in == nullptr || out == nullptr) return false;
  return Inflater(in, in_size, out, out_size).Run();
}

}  // namespace Vellum
