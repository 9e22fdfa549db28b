#include "http/NetTCPClient.h"

#include "http/NetException.h"
#include "http/NetResourceStrings.h"

void TNetTCPClient::Connect(int32_t timeout) {
  if (IOHandler() == nullptr) {
    auto transport = std::make_unique<TNetIOHandlerSocket>();
    transport->OnStatus = OnStatus;
    TakeOwnedIOHandler(std::move(transport));
  } else if (IOHandler()->IsOpen()) {
    throw ENetAlreadyConnected(NetResourceStrings::RSAlreadyConnected);
  }
  TNetIOHandler& transport = *IOHandler();
  transport.OnConnectSlice = nullptr;
  if (OnWaitSlice) transport.OnConnectSlice = [this] { CallWaitSlice(); };
  transport.ConnectSlice = WaitSlice;
  try {
    IOHandler()->Open();
    ResetBuffers();
    IOHandler()->ConnectTo(Host, Port, BoundIP, BoundPort, BoundPortMin, BoundPortMax, timeout);
    ReportStatus(stConnected, Host);
    if (OnConnected) OnConnected(this);
  } catch (...) {
    DropSocket();
    throw;
  }
}
