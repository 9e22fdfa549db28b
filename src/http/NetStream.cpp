#include "http/NetStream.h"

#include <cstring>

void TNetMemoryStream::SetSize(int64_t size) {
  FData.resize(static_cast<size_t>(size));
  if (FPosition > size) FPosition = size;
}

void TNetMemoryStream::Write(const void* buffer, size_t count) {
  size_t end = static_cast<size_t>(FPosition) + count;
  if (end > FData.size()) FData.resize(end);
  if (count > 0) std::memcpy(&FData[static_cast<size_t>(FPosition)], buffer, count);
  FPosition = static_cast<int64_t>(end);
}

size_t TNetMemoryStream::Read(void* buffer, size_t count) {
  size_t position = static_cast<size_t>(FPosition);
  size_t available = position < FData.size() ? FData.size() - position : 0;
  if (count > available) count = available;
  if (count > 0) std::memcpy(buffer, FData.data() + position, count);
  FPosition += static_cast<int64_t>(count);
  return count;
}
