#include "http/NetBuffer.h"

#include <cstring>

#include "http/NetException.h"
#include "http/NetResourceStrings.h"

void TNetManagedBuffer::Append(const void* bytes, size_t count) {
  const uint8_t* begin = static_cast<const uint8_t*>(bytes);
  FData.insert(FData.end(), begin, begin + count);
}

void TNetManagedBuffer::Remove(size_t count, void* target) {
  if (count > Size()) throw ENetNotEnoughDataInBuffer(NetResourceStrings::RSNotEnoughDataInBuffer);
  if (target != nullptr && count > 0) std::memcpy(target, Data(), count);
  FReadOffset += count;
  if (FReadOffset == FData.size()) {
    Clear();
  } else if (FReadOffset >= CompactThreshold) {
    FData.erase(FData.begin(), FData.begin() + static_cast<std::ptrdiff_t>(FReadOffset));
    FReadOffset = 0;
  }
  if (OnBytesRemoved) OnBytesRemoved(count);
}

void TNetManagedBuffer::Clear() {
  FData.clear();
  FReadOffset = 0;
}
