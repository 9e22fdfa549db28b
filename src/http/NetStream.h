#pragma once
// The stream a download is written to. The caller owns it; the client only writes at its
// position, grows it ahead of the data and cuts the unfilled growth off again.
#include <cstddef>
#include <cstdint>
#include <string>

class TNetStream {
 public:
  virtual ~TNetStream() = default;
  virtual int64_t Position() const = 0;
  virtual void SetPosition(int64_t position) = 0;
  virtual int64_t Size() const = 0;
  virtual void SetSize(int64_t size) = 0;  // the position stays unless beyond the new end
  virtual void Write(const void* buffer, size_t count) = 0;
  virtual size_t Read(void* buffer, size_t count) = 0;  // bytes read, 0 at the end
};

// A stream in memory; also the scratch text stream for bodies that are read and dropped.
// Growing it only records the size: memory is taken by the bytes written, not by the
// length a server announces.
class TNetMemoryStream : public TNetStream {
 public:
  int64_t Position() const override { return FPosition; }
  void SetPosition(int64_t position) override { FPosition = position; }
  int64_t Size() const override { return FSize; }
  void SetSize(int64_t size) override;
  void Write(const void* buffer, size_t count) override;
  size_t Read(void* buffer, size_t count) override;
  const std::string& DataString() const;  // Size() bytes; never written ones are zero

 private:
  mutable std::string FData;
  int64_t FPosition = 0;
  int64_t FSize = 0;
};
