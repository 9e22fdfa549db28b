#pragma once
// Sequential reading over a random-access archive stream, with a window buffer so that
// the many small records of a directory or of small entries cost one system read each.
#include <cstdint>
#include <string>
#include <vector>

#include "zip/ZipPlatform.h"

class TZipReader {
 public:
  explicit TZipReader(TZipStream& stream);

  TZipStream& Stream() { return FStream; }
  int64_t Size() const { return FSize; }
  int64_t Position() const { return FPosition; }
  void Seek(int64_t position) { FPosition = position; }
  void Skip(int64_t count) { FPosition += count; }
  // Reads up to Count bytes; fewer at the end of the stream or before position 0.
  size_t Read(void* buffer, size_t count);
  // Reads exactly Count bytes or raises "Stream read error".
  void ReadBuffer(void* buffer, size_t count);

 private:
  TZipStream& FStream;
  int64_t FSize;
  int64_t FPosition = 0;
  std::vector<uint8_t> FWindow;
  int64_t FWindowStart = 0;
  size_t FWindowLength = 0;
};

// An archive held in memory, for callers that have the bytes already.
class TZipMemoryStream : public TZipStream {
 public:
  TZipMemoryStream(const void* data, size_t size)
      : FData(static_cast<const uint8_t*>(data)), FSize(size) {}
  int64_t Size() override { return static_cast<int64_t>(FSize); }
  size_t ReadAt(int64_t position, void* buffer, size_t count) override;

 private:
  const uint8_t* FData;
  size_t FSize;
};

inline uint16_t ZipGet16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t ZipGet32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline uint64_t ZipGet64(const uint8_t* p) {
  return ZipGet32(p) | (static_cast<uint64_t>(ZipGet32(p + 4)) << 32);
}
