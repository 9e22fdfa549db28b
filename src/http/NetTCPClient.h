#pragma once
// A TCP connection that connects itself to Host and Port, creating its own transport.
#include <cstdint>
#include <functional>
#include <string>

#include "http/NetTCPConnection.h"

class TNetTCPClient : public TNetTCPConnection {
 public:
  // Raises ENetAlreadyConnected on an open transport; drops the socket on any failure.
  virtual void Connect(int32_t timeout = -1);

  std::string Host;
  int32_t Port = 0;
  std::string BoundIP;
  int32_t BoundPort = 0;
  int32_t BoundPortMin = 0;
  int32_t BoundPortMax = 0;
  std::function<void(TNetTCPClient* sender)> OnConnected;
};
