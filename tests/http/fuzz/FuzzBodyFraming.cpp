// libFuzzer target: a canned server answer through the whole client (status line, head,
// decision, body by length, chunks or close), arriving in pieces of a size the input picks.
#include <cstddef>
#include <cstdint>
#include <string>

#include "../CannedIOHandler.h"
#include "http/NetException.h"
#include "http/NetHTTP.h"

namespace {

// Grows only logically, so a hostile Content-Length does not allocate its size.
class TSparseStream : public TNetStream {
 public:
  int64_t Position() const override { return FPosition; }
  void SetPosition(int64_t position) override { FPosition = position; }
  int64_t Size() const override { return FSize; }
  void SetSize(int64_t size) override {
    FSize = size;
    if (static_cast<int64_t>(FData.size()) > size) FData.resize(static_cast<size_t>(size));
    if (FPosition > size) FPosition = size;
  }
  void Write(const void* buffer, size_t count) override {
    if (static_cast<size_t>(FPosition) != FData.size()) __builtin_trap();  // writes are appends
    FData.append(static_cast<const char*>(buffer), count);
    FPosition += static_cast<int64_t>(count);
    if (FPosition > FSize) FSize = FPosition;
  }
  size_t Read(void*, size_t) override { return 0; }

 private:
  std::string FData;
  int64_t FPosition = 0;
  int64_t FSize = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  size_t piece = (data[0] & 0x3f) + 1;
  TCannedIOHandler transport(std::string(reinterpret_cast<const char*>(data + 1), size - 1), piece);
  transport.CloseAtEnd = (data[0] & 0x40) != 0;
  TNetHTTP http;
  http.HandleRedirects = (data[0] & 0x80) != 0;
  http.SetIOHandler(&transport);
  TSparseStream stream;
  try {
    http.Get("http://files.example/uploads/MirpanN1.zip", stream);
    http.Get("http://files.example/uploads/MirpanN2.zip", stream);
  } catch (const Exception&) {
  }
  if (stream.Size() != stream.Position()) __builtin_trap();  // the growth is always cut
  return 0;
}
