#include "http/NetBuffer.h"

#include <cstring>

#include "http/NetException.h"
#include "http/NetResourceStrings.h"

uint8_t* TNetManagedBuffer::Reserve(size_t count) {
  if (FCapacity - FEnd < count && FReadOffset > 0) {
    std::memmove(FData.get(), FData.get() + FReadOffset, FEnd - FReadOffset);
    FEnd -= FReadOffset;
    FReadOffset = 0;
  }
  if (FCapacity - FEnd < count) {
    size_t capacity = FCapacity == 0 ? 4096 : FCapacity;
    while (capacity - FEnd < count) capacity *= 2;
    std::unique_ptr<uint8_t[]> data(new uint8_t[capacity]);
    if (FEnd > 0) std::memcpy(data.get(), FData.get(), FEnd);
    FData = std::move(data);
    FCapacity = capacity;
  }
  return FData.get() + FEnd;
}

void TNetManagedBuffer::Append(const void* bytes, size_t count) {
  if (count == 0) return;
  std::memcpy(Reserve(count), bytes, count);
  Commit(count);
}

void TNetManagedBuffer::Remove(size_t count, void* target) {
  if (count > Size()) throw ENetNotEnoughDataInBuffer(NetResourceStrings::RSNotEnoughDataInBuffer);
  if (target != nullptr && count > 0) std::memcpy(target, Data(), count);
  FReadOffset += count;
  if (FReadOffset == FEnd) Clear();
  if (OnBytesRemoved) OnBytesRemoved(count);
}

void TNetManagedBuffer::Clear() {
  FEnd = 0;
  FReadOffset = 0;
}
