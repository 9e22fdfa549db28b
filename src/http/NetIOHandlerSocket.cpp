#include "http/NetIOHandlerSocket.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <exception>
#include <thread>

#include "http/NetDeadline.h"
#include "http/NetException.h"
#include "http/NetHeaderList.h"
#include "http/NetResourceStrings.h"
#include "http/NetSocketErrors.h"
#include "http/NetStack.h"

namespace {

constexpr int32_t SleepSlice = 125;

// Connects a binding on its own thread so the caller can give up after a time limit.
class TNetConnectThread {
 public:
  explicit TNetConnectThread(TNetSocketHandle& binding)
      : FThread([this, &binding] { Execute(binding); }) {}
  ~TNetConnectThread() {
    if (FThread.joinable()) FThread.join();
  }

  bool Finished() const { return FFinished; }
  void Join() { FThread.join(); }
  // Valid once the thread has finished.
  const std::string& ErrorMessage() const { return FErrorMessage; }
  bool Failed() const { return FFailed; }
  std::exception_ptr Error() const { return FError; }

 private:
  void Execute(TNetSocketHandle& binding) {
    try {
      binding.ConnectPeer();
    } catch (const ENetSocketError& error) {
      // The socket closed under us by a time-out: that failure is the caller's to report.
      if (error.LastError() != seBadFileNumber && error.LastError() != seNotASocket) {
        FErrorMessage = error.Message();
        FFailed = true;
        FError = std::current_exception();
      }
    } catch (const Exception& error) {
      FErrorMessage = error.Message();
      FFailed = true;
      FError = std::current_exception();
    }
    FFinished = true;
  }

  std::atomic<bool> FFinished{false};
  bool FFailed = false;
  std::string FErrorMessage;
  std::exception_ptr FError;
  std::thread FThread;
};

}  // namespace

TNetIOHandlerSocket::~TNetIOHandlerSocket() { Close(); }

void TNetIOHandlerSocket::Open() {
  if (FBinding) {
    FBinding->Reset();
  } else {
    FBinding = std::make_unique<TNetSocketHandle>();
  }
}

void TNetIOHandlerSocket::ConnectTo(const std::string& host, int32_t port,
                                    const std::string& boundIP, int32_t boundPort,
                                    int32_t boundPortMin, int32_t boundPortMax, int32_t timeout) {
  if (!FBinding) Open();
  TNetSocketHandle& binding = *FBinding;
  binding.AllocateHandle();
  binding.IP = boundIP;
  binding.Port = boundPort;
  binding.ClientPortMin = boundPortMin;
  binding.ClientPortMax = boundPortMax;
  binding.BindLocal();

  // "localhost" and address texts need no look-up.
  if (!TNetStack::IsIP(host) && !NetSameText(host, "LOCALHOST")) ReportStatus(stResolving, host);
  binding.PeerIP = SocketStack().ResolveHost(host);
  binding.PeerPort = port;
  if (!UseNagle) SocketStack().CheckSocketResult(NetSocketApi::SetNoDelay(binding.Handle, true));
  ReportStatus(stConnecting, binding.PeerIP);

  if ((timeout != -1 && timeout != 0) || OnConnectSlice) {
    TimedConnect(timeout);
  } else {
    binding.ConnectPeer();
  }
  binding.UpdateBindingLocal();
  binding.UpdateBindingPeer();
}

// Timeout -1 or 0: no limit, for a connect waited on only to keep the hook going.
void TNetIOHandlerSocket::TimedConnect(int32_t timeout) {
  TNetConnectThread thread(*FBinding);
  const bool noLimit = timeout == -1 || timeout == 0;
  const int32_t slice = OnConnectSlice ? std::max(ConnectSlice, 1) : SleepSlice;
  const TNetDeadline deadline = noLimit ? TNetDeadline::Never() : TNetDeadline::In(timeout);
  while (!thread.Finished()) {
    const int32_t left = deadline.Left();
    if (left == 0) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min(left, slice)));
    if (!OnConnectSlice || thread.Finished()) continue;
    OnConnectSlice();
    if (!IsOpen()) {  // closed by the hook, which aborts the connect under the thread
      thread.Join();
      throw ENetNotConnected(NetResourceStrings::RSNotConnected);
    }
  }
  if (!thread.Finished()) {
    Close();  // aborts the connect under the thread
    thread.Join();
    throw ENetConnectTimeout(NetResourceStrings::RSConnectTimeout);
  }
  thread.Join();
  if (!thread.Failed()) return;
  // Without a limit the thread only served the hook: its failure is the plain connect's.
  if (noLimit) std::rethrow_exception(thread.Error());
  throw ENetConnectException(thread.ErrorMessage());
}

bool TNetIOHandlerSocket::IsOpen() const { return FBinding && FBinding->HandleAllocated; }

void TNetIOHandlerSocket::Close() {
  if (FBinding) FBinding->CloseHandle();
}

bool TNetIOHandlerSocket::WaitReadable(int32_t timeout) {
  if (!IsOpen()) {
    throw ENetConnClosedGracefully(NetResourceStrings::RSConnectionClosedGracefully);
  }
  bool noLimit = timeout == -2;
  int32_t limit = noLimit ? 0 : timeout;
  return NetSocketApi::SelectReadable(FBinding->Handle, limit / 1000, (limit % 1000) * 1000,
                                      noLimit) == 1;
}

int TNetIOHandlerSocket::ReceiveSome(void* buffer, int length) {
  if (!IsOpen()) throw ENetClosedSocket(NetResourceStrings::RSClosedSocket);
  return NetSocketApi::Recv(FBinding->Handle, buffer, length);
}

int TNetIOHandlerSocket::SendSome(const void* buffer, int length) {
  if (!IsOpen()) throw ENetClosedSocket(NetResourceStrings::RSClosedSocket);
  return NetSocketApi::Send(FBinding->Handle, buffer, length);
}
