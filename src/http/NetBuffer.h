#pragma once
// The connection's input buffer: received bytes not yet consumed. Consuming only advances
// a read offset; the unread rest moves to the front once 32768 bytes have been consumed,
// so taking small pieces does not move memory each time.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

class TNetManagedBuffer {
 public:
  size_t Size() const { return FData.size() - FReadOffset; }
  const uint8_t* Data() const { return FData.data() + FReadOffset; }
  void Append(const void* bytes, size_t count);
  // Copies count bytes out (when target is not null) and removes them; raises
  // ENetNotEnoughDataInBuffer when fewer are held. Fires OnBytesRemoved.
  void Remove(size_t count, void* target = nullptr);
  void Clear();  // no event

  std::function<void(size_t count)> OnBytesRemoved;
  static constexpr size_t CompactThreshold = 32768;

 private:
  std::vector<uint8_t> FData;
  size_t FReadOffset = 0;
};
