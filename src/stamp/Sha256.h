#pragma once
// SHA-256, streaming: feed any number of Update calls, then Final. Portable, no allocation;
// on a processor with SHA instructions the blocks run through them.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

using TSha256Digest = std::array<uint8_t, 32>;

class TSha256 {
 public:
  // Without ProcessorInstructions the portable rounds run even where the processor has its
  // own, so that each can be checked against the other.
  explicit TSha256(bool ProcessorInstructions = true);
  void Reset();
  void Update(const void* data, size_t count);
  // The digest of everything fed since the last Reset; the object starts over afterwards.
  TSha256Digest Final();

 private:
  void Compress(const uint8_t* block);
  void CompressBlocks(const uint8_t* data, size_t count);

  bool FProcessorBlocks;
  uint32_t FState[8];
  uint8_t FBlock[64];
  size_t FBlockUsed;
  uint64_t FTotalBytes;
};

// Lower-case hexadecimal, as sha256sum prints it.
std::string Sha256Hex(const TSha256Digest& digest);
