#pragma once
// SHA-256, streaming: feed any number of Update calls, then Final. Portable, no allocation.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

using TSha256Digest = std::array<uint8_t, 32>;

class TSha256 {
 public:
  TSha256() { Reset(); }
  void Reset();
  void Update(const void* data, size_t count);
  // The digest of everything fed since the last Reset; the object starts over afterwards.
  TSha256Digest Final();

 private:
  void Compress(const uint8_t* block);

  uint32_t FState[8];
  uint8_t FBlock[64];
  size_t FBlockUsed;
  uint64_t FTotalBytes;
};

// Lower-case hexadecimal, as sha256sum prints it.
std::string Sha256Hex(const TSha256Digest& digest);
