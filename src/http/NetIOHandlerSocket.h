#pragma once
// The transport: one outgoing IPv4 TCP connection with wait, receive and send.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "http/NetComponent.h"
#include "http/NetSocketHandle.h"

class TNetIOHandler : public TNetComponent {
 public:
  virtual void Close() = 0;
  virtual void ConnectTo(const std::string& host, int32_t port, const std::string& boundIP,
                         int32_t boundPort, int32_t boundPortMin, int32_t boundPortMax,
                         int32_t timeout) = 0;
  virtual bool IsOpen() const = 0;
  virtual void Open() = 0;
  // Timeout in ms; -2 waits without limit.
  virtual bool WaitReadable(int32_t timeout) = 0;
  virtual int ReceiveSome(void* buffer, int length) = 0;
  virtual int SendSome(const void* buffer, int length) = 0;

  // While set, a connect waits in slices of ConnectSlice ms with this called between them;
  // a hook that closes the transport ends the connect.
  std::function<void()> OnConnectSlice;
  int32_t ConnectSlice = 25;
};

class TNetIOHandlerSocket : public TNetIOHandler {
 public:
  ~TNetIOHandlerSocket() override;

  void Close() override;
  void ConnectTo(const std::string& host, int32_t port, const std::string& boundIP,
                 int32_t boundPort, int32_t boundPortMin, int32_t boundPortMax,
                 int32_t timeout) override;
  bool IsOpen() const override;
  void Open() override;
  bool WaitReadable(int32_t timeout) override;
  int ReceiveSome(void* buffer, int length) override;
  int SendSome(const void* buffer, int length) override;

  TNetSocketHandle* Binding() const { return FBinding.get(); }
  bool UseNagle = true;

 private:
  void TimedConnect(int32_t timeout);
  std::unique_ptr<TNetSocketHandle> FBinding;
};
