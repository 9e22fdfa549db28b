#pragma once
// The connection's input buffer: received bytes not yet consumed. Consuming only advances
// a read offset; the unread rest moves to the front only when a receive finds too little
// room behind it, so taking many blocks out of one large receive moves no memory. Receives
// go straight into its free tail, so a byte is copied once on its way from the socket to
// the stream.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

class TNetManagedBuffer {
 public:
  size_t Size() const { return FEnd - FReadOffset; }
  const uint8_t* Data() const { return FData.get() + FReadOffset; }
  void Append(const void* bytes, size_t count);
  // Room for count more bytes at the end; Commit makes the first of them part of the buffer.
  // Moves the unread bytes, so pointers from Data() are stale afterwards.
  uint8_t* Reserve(size_t count);
  void Commit(size_t count) { FEnd += count; }
  // Copies count bytes out (when target is not null) and removes them; raises
  // ENetNotEnoughDataInBuffer when fewer are held. Fires OnBytesRemoved.
  void Remove(size_t count, void* target = nullptr);
  void Clear();  // no event

  std::function<void(size_t count)> OnBytesRemoved;

 private:
  std::unique_ptr<uint8_t[]> FData;
  size_t FCapacity = 0;
  size_t FEnd = 0;
  size_t FReadOffset = 0;
};
