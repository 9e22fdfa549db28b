#include "http/NetTCPConnection.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "http/NetDeadline.h"
#include "http/NetException.h"
#include "http/NetResourceStrings.h"
#include "http/NetSocketErrors.h"
#include "http/NetStack.h"

namespace {

[[noreturn]] void RaiseClosedGracefully() {
  throw ENetConnClosedGracefully(NetResourceStrings::RSConnectionClosedGracefully);
}

// Receives are body-sized for the time of a scope, also when the read raises.
class TBodyReceive {
 public:
  explicit TBodyReceive(bool& flag) : FFlag(flag), FWas(flag) { flag = true; }
  ~TBodyReceive() { FFlag = FWas; }

 private:
  bool& FFlag;
  bool FWas;
};

}  // namespace

TNetTCPConnection::TNetTCPConnection() {
  InputBuffer.OnBytesRemoved = [this](size_t count) {
    AddWork(wkRead, static_cast<int32_t>(count));
  };
}

TNetTCPConnection::~TNetTCPConnection() {
  InputBuffer.OnBytesRemoved = nullptr;
  if (FIOHandler != nullptr) FIOHandler->Close();
}

void TNetTCPConnection::SetIOHandler(TNetIOHandler* handler) {
  FOwnedIOHandler.reset();
  FIOHandler = handler;
}

void TNetTCPConnection::TakeOwnedIOHandler(std::unique_ptr<TNetIOHandler> handler) {
  FIOHandler = handler.get();
  FOwnedIOHandler = std::move(handler);
}

void TNetTCPConnection::ResetBuffers() {
  InputBuffer.Clear();
  ClosedGracefully = false;
}

void TNetTCPConnection::DoOnDisconnected() {
  if (OnDisconnected) OnDisconnected(this);
}

void TNetTCPConnection::CheckDisconnect(bool raise, bool ignoreBuffer) {
  bool closed = false;
  if (FIOHandler != nullptr) {
    if (ClosedGracefully) {
      if (FIOHandler->IsOpen()) {
        DropSocket();
        ReportStatus(stDisconnected);
        DoOnDisconnected();
      }
      closed = true;
    } else {
      closed = !FIOHandler->IsOpen();
    }
  }
  if (closed && raise && (InputBuffer.Size() == 0 || ignoreBuffer)) RaiseClosedGracefully();
}

bool TNetTCPConnection::IsConnected() {
  CheckDisconnect(false, false);
  return FIOHandler != nullptr && FIOHandler->IsOpen();
}

void TNetTCPConnection::ProbeGracefulClose(bool raise) { FillInputBuffer(raise, 1, false); }

void TNetTCPConnection::DropSocket() {
  if (FIOHandler == nullptr) return;
  ClosedGracefully = true;
  FIOHandler->Close();
}

void TNetTCPConnection::Disconnect() {
  bool wasConnected = IsConnected();
  if (wasConnected) {
    ReportStatus(stDisconnecting);
    DropSocket();
  }
  if (FOwnedIOHandler && FWaitDepth == 0) {
    FOwnedIOHandler.reset();
    FIOHandler = nullptr;
  }
  if (wasConnected) {
    DoOnDisconnected();
    ReportStatus(stDisconnected);
  }
}

int TNetTCPConnection::FillInputBuffer(bool raise, int32_t timeout, bool raiseOnTimeout) {
  if (timeout == -1) timeout = ReadTimeout == 0 ? -2 : ReadTimeout;
  CheckDisconnect(raise, false);
  if (!IsConnected()) {
    if (raise) throw ENetNotConnected(NetResourceStrings::RSNotConnected);
    return 0;
  }
  const int recvSize =
      std::max(FReadingBody ? std::max(BodyRecvBufferSize, RecvBufferSize) : RecvBufferSize, 1);
  TNetStack& stack = SocketStack();
  int result = 0;
  do {
    if (!WaitReadable(timeout)) {
      if (raiseOnTimeout) throw ENetReadTimeout(NetResourceStrings::RSReadTimeout);
      return -1;
    }
    uint8_t* space = InputBuffer.Reserve(static_cast<size_t>(recvSize));
    result = FIOHandler->ReceiveSome(space, recvSize);
    ClosedGracefully = result == 0;
    if (result != 0) {
      if (stack.CheckSocketResult(result, {seShutdown, seConnectionAborted})) {
        DropSocket();
        if (InputBuffer.Size() == 0) stack.RaiseSocketError(stack.LastError);
        result = 0;
      } else {
        InputBuffer.Commit(static_cast<size_t>(result));
      }
    }
    CheckDisconnect(raise, false);
  } while (result == 0 && IsConnected());
  return result;
}

void TNetTCPConnection::CallWaitSlice() {
  ++FWaitDepth;
  try {
    OnWaitSlice(this);
  } catch (...) {
    --FWaitDepth;
    throw;
  }
  --FWaitDepth;
}

bool TNetTCPConnection::WaitReadable(int32_t timeout) {
  if (!OnWaitSlice) return FIOHandler->WaitReadable(timeout);
  const TNetDeadline deadline = timeout == -2 ? TNetDeadline::Never() : TNetDeadline::In(timeout);
  const int32_t slice = std::max(WaitSlice, 1);
  for (;;) {
    const int32_t left = deadline.Left();
    // Bytes that came while the hook ran count, even when its time ran past the limit.
    if (FIOHandler->WaitReadable(std::min(left, slice))) return true;
    if (left <= slice) return false;
    CallWaitSlice();
    // Not a graceful close: a body read until the close must not pass as whole.
    if (FIOHandler == nullptr || !FIOHandler->IsOpen())
      throw ENetNotConnected(NetResourceStrings::RSNotConnected);
  }
}

bool TNetTCPConnection::WaitForBytes(size_t count, int32_t timeout) {
  while (InputBuffer.Size() < count) {
    int result = FillInputBuffer(true, timeout, timeout == -1);
    CheckDisconnect(true, true);
    if (result == -1) return false;
  }
  return true;
}

bool TNetTCPConnection::ReadBytes(void* buffer, int32_t count, int32_t timeout) {
  if (count <= 0) return true;
  if (!WaitForBytes(static_cast<size_t>(count), timeout)) return false;
  InputBuffer.Remove(static_cast<size_t>(count), buffer);
  return true;
}

std::string TNetTCPConnection::ReadLine(const std::string& terminator, int32_t timeout,
                                        int32_t maxLength) {
  const std::string term = terminator.empty() ? std::string("\n") : terminator;
  if (maxLength == -1) maxLength = MaxLineLength;
  const size_t limit = static_cast<size_t>(maxLength);
  ReadLnSplit = false;
  ReadLnTimedOut = false;
  size_t searchFrom = 0;
  for (;;) {
    const char* data = reinterpret_cast<const char*>(InputBuffer.Data());
    const size_t size = InputBuffer.Size();
    const char* end = data + size;
    const char* found =
        std::search(data + std::min(searchFrom, size), end, term.begin(), term.end());
    size_t position = found == end ? std::string::npos : static_cast<size_t>(found - data);
    bool tooLong =
        maxLength != 0 && (position == std::string::npos ? size > limit : position > limit);
    if (tooLong) {
      if (MaxLineAction == maException) {
        throw ENetReadLnMaxLineLengthExceeded(NetResourceStrings::RSMaxLineLengthExceeded);
      }
      std::string line(data, limit);
      InputBuffer.Remove(limit);
      ReadLnSplit = true;
      return line;
    }
    if (position != std::string::npos) {
      std::string line(data, position);
      InputBuffer.Remove(position + term.size());
      if (term == "\n" && !line.empty() && line.back() == '\r') line.pop_back();
      return line;
    }
    // A terminator may straddle the old end and the bytes to come.
    searchFrom = size >= term.size() ? size - term.size() + 1 : 0;
    CheckDisconnect(true, true);
    if (FillInputBuffer(true, timeout, timeout == -1) == -1) {
      ReadLnTimedOut = true;
      return std::string();
    }
  }
}

void TNetTCPConnection::WriteText(const std::string& text) {
  if (!text.empty()) SendBytes(text.data(), text.size());
}

void TNetTCPConnection::WriteLine(const std::string& text) { WriteText(text + "\r\n"); }

void TNetTCPConnection::BeginWriteBatch(int32_t threshold) {
  FWriteBatch = std::make_unique<std::string>();
  FWriteBatchThreshold = threshold;
}

void TNetTCPConnection::FlushWriteBatch() {
  std::unique_ptr<std::string> batch = std::move(FWriteBatch);
  if (batch) SendBytes(batch->data(), batch->size(), true);
}

void TNetTCPConnection::SendBytes(const void* buffer, size_t count, bool now) {
  if (count == 0) return;
  CheckDisconnect(true, true);
  if (!IsConnected()) throw ENetNotConnected(NetResourceStrings::RSNotConnected);
  const char* bytes = static_cast<const char*>(buffer);
  if (FWriteBatch && !now) {
    FWriteBatch->append(bytes, count);
    size_t threshold = static_cast<size_t>(FWriteBatchThreshold);
    if (FWriteBatchThreshold > 0 && FWriteBatch->size() >= threshold) {
      std::string early = FWriteBatch->substr(0, threshold);
      FWriteBatch->erase(0, threshold);
      SendBytes(early.data(), early.size(), true);
    }
    return;
  }
  TNetStack& stack = SocketStack();
  size_t sent = 0;
  while (sent < count) {
    int piece = static_cast<int>(std::min<size_t>(count - sent, INT_MAX));
    int result = FIOHandler->SendSome(bytes + sent, piece);
    ClosedGracefully = result == 0;
    CheckDisconnect(true, false);
    if (stack.CheckSocketResult(result, {seShutdown, seConnectionAborted, seConnectionReset})) {
      DropSocket();
      stack.RaiseSocketError(stack.LastError);
    }
    AddWork(wkWrite, result);
    sent += static_cast<size_t>(result);
  }
}

// The last piece before a close is written without a work event.
void TNetTCPConnection::DrainInputBuffer(TNetStream& stream) {
  if (InputBuffer.Size() > 0) stream.Write(InputBuffer.Data(), InputBuffer.Size());
  InputBuffer.Clear();
}

void TNetTCPConnection::CloseReadPhase(TNetStream& stream) {
  FinishWork(wkRead);
  // Cut off the part of the growth that no data filled.
  if (stream.Size() > stream.Position()) stream.SetSize(stream.Position());
}

void TNetTCPConnection::ReadToStream(TNetStream& stream, int64_t count, bool untilClose) {
  if (count == -1 && !untilClose) {
    uint8_t length[4];
    ReadBytes(length, 4);
    count = (int64_t{length[0]} << 24) | (length[1] << 16) | (length[2] << 8) | length[3];
  }
  // Grown once to its final size, so a file is not extended piece by piece.
  if (count >= 0) stream.SetSize(stream.Position() + count);

  int64_t remaining = untilClose ? INT32_MAX : count;
  StartWork(wkRead, untilClose ? 0 : static_cast<int32_t>(std::min<int64_t>(count, INT32_MAX)));
  try {
    size_t first = static_cast<size_t>(std::min<int64_t>(remaining, InputBuffer.Size()));
    if (first > 0) {
      stream.Write(InputBuffer.Data(), first);
      InputBuffer.Remove(first);
      remaining -= static_cast<int64_t>(first);
    }
    const int64_t block = std::min<int64_t>(remaining, RecvBufferSize);
    TBodyReceive bodyReceive(FReadingBody);
    while (remaining > 0 && IsConnected()) {
      const size_t piece = static_cast<size_t>(std::min(remaining, block));
      try {
        WaitForBytes(piece, -1);
      } catch (const ENetConnClosedGracefully&) {
        // Whatever arrived before the close is kept, also short of a counted length.
        DrainInputBuffer(stream);
        if (untilClose) break;
        throw;
      }
      // Written straight from the input buffer, one block at a time even when a receive
      // brought many: large writes cost the file system more; a block that failed adds
      // nothing.
      stream.Write(InputBuffer.Data(), piece);
      InputBuffer.Remove(piece);
      remaining -= static_cast<int64_t>(piece);
    }
    // A counted body whose connection was found closed before it began is short as well.
    if (!untilClose && remaining > 0) RaiseClosedGracefully();
  } catch (...) {
    CloseReadPhase(stream);
    throw;
  }
  CloseReadPhase(stream);
}
