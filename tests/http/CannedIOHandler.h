#pragma once
// A transport that plays back canned server bytes in pieces of a chosen size and records
// what the client sends; the end of the bytes is the server's close. Lets the connection
// and the client run without a socket (tests and fuzz targets).
#include <algorithm>
#include <cstring>
#include <string>

#include "http/NetIOHandlerSocket.h"

class TCannedIOHandler : public TNetIOHandler {
 public:
  explicit TCannedIOHandler(std::string incoming, size_t maxPiece = 1 << 20)
      : Incoming(std::move(incoming)), MaxPiece(maxPiece) {}

  void Close() override { FOpen = false; }
  void ConnectTo(const std::string&, int32_t, const std::string&, int32_t, int32_t, int32_t,
                 int32_t) override {
    FOpen = true;
    ++Connects;
  }
  bool IsOpen() const override { return FOpen; }
  void Open() override {}
  // At the end of the bytes the server either closes or stays silent (a kept-alive
  // connection: the wait times out).
  bool WaitReadable(int32_t) override { return Offset < Incoming.size() || CloseAtEnd; }
  int ReceiveSome(void* buffer, int length) override {
    size_t count = std::min({static_cast<size_t>(length), MaxPiece, Incoming.size() - Offset});
    std::memcpy(buffer, Incoming.data() + Offset, count);
    Offset += count;
    return static_cast<int>(count);
  }
  int SendSome(const void* buffer, int length) override {
    Sent.append(static_cast<const char*>(buffer), static_cast<size_t>(length));
    return length;
  }

  std::string Incoming;
  size_t MaxPiece;
  size_t Offset = 0;
  std::string Sent;
  int Connects = 0;
  bool CloseAtEnd = true;

 private:
  bool FOpen = false;
};
