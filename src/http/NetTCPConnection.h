#pragma once
// A blocking byte and line connection over a transport: input buffer, waits limited by
// ReadTimeout, exact byte counts and lines, write batches, detection of the peer's close.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "http/NetBuffer.h"
#include "http/NetComponent.h"
#include "http/NetIOHandlerSocket.h"
#include "http/NetStream.h"

enum TNetMaxLineAction { maException, maSplit };

class TNetTCPConnection : public TNetComponent {
 public:
  TNetTCPConnection();
  ~TNetTCPConnection() override;

  // Timeouts in ms: -1 uses ReadTimeout (no limit when it is 0), -2 never gives up.
  virtual void ResetBuffers();
  // Drops a socket the peer has closed; raises ENetConnClosedGracefully when closed and
  // nothing (or, with ignoreBuffer, anything) is left to read.
  virtual void CheckDisconnect(bool raise = true, bool ignoreBuffer = false);
  // Notices a close by the peer before a kept-alive connection is reused.
  virtual void ProbeGracefulClose(bool raise = true);
  virtual bool IsConnected();
  virtual void Disconnect();
  virtual void DropSocket();
  // Byte count of the last receive, or -1 on a time-out without raise.
  virtual int FillInputBuffer(bool raise = true, int32_t timeout = -1, bool raiseOnTimeout = true);
  virtual std::string ReadLine(const std::string& terminator = "\n", int32_t timeout = -1,
                               int32_t maxLength = -1);
  virtual void WriteText(const std::string& text);
  virtual void WriteLine(const std::string& text);

  // False only when an explicit timeout passed without the bytes.
  bool ReadBytes(void* buffer, int32_t count, int32_t timeout = -1);
  // count bytes, or until the peer closes; count -1 without untilClose reads a 32-bit
  // big-endian length first.
  void ReadToStream(TNetStream& stream, int64_t count = -1, bool untilClose = false);
  void SendBytes(const void* buffer, size_t count, bool now = false);
  void BeginWriteBatch(int32_t threshold = -1);
  void FlushWriteBatch();

  TNetIOHandler* IOHandler() const { return FIOHandler; }
  void SetIOHandler(TNetIOHandler* handler);  // not owned
  bool OwnsIOHandler() const { return static_cast<bool>(FOwnedIOHandler); }

  TNetManagedBuffer InputBuffer;
  bool ClosedGracefully = false;
  int32_t ReadTimeout = 0;
  int32_t RecvBufferSize = 32768;  // the block of a body's work events, and a receive's size
  // A receive's size while a body is read (not less than RecvBufferSize): one receive then
  // brings many blocks, and the fewer receives cost the system less per byte.
  int32_t BodyRecvBufferSize = 1048576;
  int32_t SendBufferSize = 32768;
  int32_t MaxLineLength = 16384;
  TNetMaxLineAction MaxLineAction = maException;
  bool ReadLnSplit = false;     // the last line was cut at the longest length
  bool ReadLnTimedOut = false;  // the last line came back empty after a time-out
  std::function<void(TNetTCPConnection* sender)> OnDisconnected;
  // While set, a wait for bytes or for a connect is cut into slices of WaitSlice ms with this
  // called between them, so a caller on the same thread keeps its own work going. It may
  // disconnect, which ends the wait; a read time-out still counts the whole silence.
  std::function<void(TNetTCPConnection* sender)> OnWaitSlice;
  int32_t WaitSlice = 25;

 protected:
  virtual void DoOnDisconnected();
  void TakeOwnedIOHandler(std::unique_ptr<TNetIOHandler> handler);
  void CallWaitSlice();

 private:
  bool WaitReadable(int32_t timeout);
  bool WaitForBytes(size_t count, int32_t timeout);
  void DrainInputBuffer(TNetStream& stream);
  void CloseReadPhase(TNetStream& stream);

  TNetIOHandler* FIOHandler = nullptr;
  std::unique_ptr<TNetIOHandler> FOwnedIOHandler;
  std::unique_ptr<std::string> FWriteBatch;
  int32_t FWriteBatchThreshold = -1;
  int FWaitDepth = 0;  // a transport in use by a wait is kept past a disconnect from the hook
  bool FReadingBody = false;
};
