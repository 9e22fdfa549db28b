#include "http/NetStream.h"

#include <cstring>

void TNetMemoryStream::SetSize(int64_t size) {
  FSize = size;
  if (static_cast<int64_t>(FData.size()) > size) FData.resize(static_cast<size_t>(size));
  if (FPosition > size) FPosition = size;
}

void TNetMemoryStream::Write(const void* buffer, size_t count) {
  size_t position = static_cast<size_t>(FPosition);
  if (FData.size() < position + count) FData.resize(position + count);
  if (count > 0) std::memcpy(&FData[position], buffer, count);
  FPosition += static_cast<int64_t>(count);
  if (FPosition > FSize) FSize = FPosition;
}

size_t TNetMemoryStream::Read(void* buffer, size_t count) {
  const std::string& data = DataString();
  size_t position = static_cast<size_t>(FPosition);
  size_t available = position < data.size() ? data.size() - position : 0;
  if (count > available) count = available;
  if (count > 0) std::memcpy(buffer, data.data() + position, count);
  FPosition += static_cast<int64_t>(count);
  return count;
}

const std::string& TNetMemoryStream::DataString() const {
  if (static_cast<int64_t>(FData.size()) < FSize) FData.resize(static_cast<size_t>(FSize));
  return FData;
}
