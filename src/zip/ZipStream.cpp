#include "zip/ZipStream.h"

#include <algorithm>
#include <cstring>

#include "zip/ZipException.h"

namespace {
// Large enough to hold a typical directory run or several small entries; larger reads go
// straight to the stream.
constexpr size_t kWindowSize = 64 * 1024;
}  // namespace

TZipReader::TZipReader(TZipStream& stream) : FStream(stream), FSize(stream.Size()) {}

size_t TZipReader::Read(void* buffer, size_t count) {
  if (FPosition < 0 || FPosition >= FSize || count == 0) return 0;
  count = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count), FSize - FPosition));
  uint8_t* out = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  while (done < count) {
    int64_t at = FPosition + static_cast<int64_t>(done);
    if (at >= FWindowStart && at < FWindowStart + static_cast<int64_t>(FWindowLength)) {
      size_t offset = static_cast<size_t>(at - FWindowStart);
      size_t take = std::min(count - done, FWindowLength - offset);
      std::memcpy(out + done, FWindow.data() + offset, take);
      done += take;
    } else if (count - done >= kWindowSize) {
      size_t got = FStream.ReadAt(at, out + done, count - done);
      done += got;
      break;
    } else {
      FWindow.resize(kWindowSize);
      FWindowStart = at;
      FWindowLength = FStream.ReadAt(at, FWindow.data(), kWindowSize);
      if (FWindowLength == 0) break;
    }
  }
  FPosition += static_cast<int64_t>(done);
  return done;
}

void TZipReader::ReadBuffer(void* buffer, size_t count) {
  if (Read(buffer, count) != count) throw EZipStreamError("Stream read error");
}

size_t TZipMemoryStream::ReadAt(int64_t position, void* buffer, size_t count) {
  if (position < 0 || static_cast<uint64_t>(position) >= FSize) return 0;
  size_t take = std::min(count, FSize - static_cast<size_t>(position));
  std::memcpy(buffer, FData + position, take);
  return take;
}
