#include "stamp/Sha256.h"

#include <cstring>

#include "stamp/Sha256Blocks.h"

namespace {

inline uint32_t RotateRight(uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

// One round. The eight words change roles from round to round instead of being moved, so
// only D and H are written; eight rounds bring them back where they started.
inline void Round(uint32_t a, uint32_t b, uint32_t c, uint32_t& d, uint32_t e, uint32_t f,
                  uint32_t g, uint32_t& h, uint32_t constantPlusWord) {
  uint32_t t1 = h + (RotateRight(e, 6) ^ RotateRight(e, 11) ^ RotateRight(e, 25)) +
                ((e & f) ^ (~e & g)) + constantPlusWord;
  d += t1;
  h = t1 + (RotateRight(a, 2) ^ RotateRight(a, 13) ^ RotateRight(a, 22)) +
      ((a & b) ^ (a & c) ^ (b & c));
}

inline uint32_t LoadBigEndian(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

}  // namespace

TSha256::TSha256(bool ProcessorInstructions)
    : FProcessorBlocks(ProcessorInstructions && [] {
        static const bool available = Sha256ProcessorBlocksAvailable();
        return available;
      }()) {
  Reset();
}

void TSha256::Reset() {
  static constexpr uint32_t kInitial[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                           0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  std::memcpy(FState, kInitial, sizeof FState);
  FBlockUsed = 0;
  FTotalBytes = 0;
}

void TSha256::Compress(const uint8_t* block) {
  uint32_t w[64];
  for (int i = 0; i < 16; ++i) w[i] = LoadBigEndian(block + 4 * i);
  for (int i = 16; i < 64; ++i) {
    uint32_t s0 = RotateRight(w[i - 15], 7) ^ RotateRight(w[i - 15], 18) ^ (w[i - 15] >> 3);
    uint32_t s1 = RotateRight(w[i - 2], 17) ^ RotateRight(w[i - 2], 19) ^ (w[i - 2] >> 10);
    w[i] = w[i - 16] + s0 + w[i - 7] + s1;
  }
  uint32_t a = FState[0], b = FState[1], c = FState[2], d = FState[3];
  uint32_t e = FState[4], f = FState[5], g = FState[6], h = FState[7];
  for (int i = 0; i < 64; i += 8) {
    Round(a, b, c, d, e, f, g, h, Sha256RoundConstants[i] + w[i]);
    Round(h, a, b, c, d, e, f, g, Sha256RoundConstants[i + 1] + w[i + 1]);
    Round(g, h, a, b, c, d, e, f, Sha256RoundConstants[i + 2] + w[i + 2]);
    Round(f, g, h, a, b, c, d, e, Sha256RoundConstants[i + 3] + w[i + 3]);
    Round(e, f, g, h, a, b, c, d, Sha256RoundConstants[i + 4] + w[i + 4]);
    Round(d, e, f, g, h, a, b, c, Sha256RoundConstants[i + 5] + w[i + 5]);
    Round(c, d, e, f, g, h, a, b, Sha256RoundConstants[i + 6] + w[i + 6]);
    Round(b, c, d, e, f, g, h, a, Sha256RoundConstants[i + 7] + w[i + 7]);
  }
  FState[0] += a;
  FState[1] += b;
  FState[2] += c;
  FState[3] += d;
  FState[4] += e;
  FState[5] += f;
  FState[6] += g;
  FState[7] += h;
}

void TSha256::CompressBlocks(const uint8_t* data, size_t count) {
  if (FProcessorBlocks) return Sha256ProcessorBlocks(FState, data, count);
  for (; count > 0; --count, data += 64) Compress(data);
}

void TSha256::Update(const void* data, size_t count) {
  const uint8_t* p = static_cast<const uint8_t*>(data);
  FTotalBytes += count;
  if (FBlockUsed > 0) {
    size_t take = count < 64 - FBlockUsed ? count : 64 - FBlockUsed;
    std::memcpy(FBlock + FBlockUsed, p, take);
    FBlockUsed += take;
    p += take;
    count -= take;
    if (FBlockUsed < 64) return;
    CompressBlocks(FBlock, 1);
    FBlockUsed = 0;
  }
  // Whole blocks straight from the caller's buffer: no copy on the long path.
  CompressBlocks(p, count / 64);
  p += count / 64 * 64;
  count %= 64;
  std::memcpy(FBlock, p, count);
  FBlockUsed = count;
}

TSha256Digest TSha256::Final() {
  const uint64_t bitLength = FTotalBytes * 8;
  static constexpr uint8_t kPadding[64] = {0x80};
  Update(kPadding, FBlockUsed < 56 ? 56 - FBlockUsed : 120 - FBlockUsed);
  uint8_t length[8];
  for (int i = 0; i < 8; ++i) length[i] = static_cast<uint8_t>(bitLength >> (56 - 8 * i));
  Update(length, 8);
  TSha256Digest digest;
  for (int i = 0; i < 8; ++i)
    for (int j = 0; j < 4; ++j) digest[4 * i + j] = static_cast<uint8_t>(FState[i] >> (24 - 8 * j));
  Reset();
  return digest;
}

std::string Sha256Hex(const TSha256Digest& digest) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (uint8_t byte : digest) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 15];
  }
  return hex;
}
