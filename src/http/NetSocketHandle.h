#pragma once
// One socket with its local and peer address.
#include <cstdint>
#include <string>

#include "http/NetSocketApi.h"

class TNetSocketHandle {
 public:
  virtual ~TNetSocketHandle();

  TNetSocket Handle = NetInvalidSocket;
  bool HandleAllocated = false;
  std::string IP;  // local
  std::string PeerIP;
  int32_t Port = 0;  // local
  int32_t PeerPort = 0;
  int32_t ClientPortMin = 0;
  int32_t ClientPortMax = 0;

  void AllocateHandle();  // raises ENetInvalidSocket
  // Binds to IP and Port, or to the first free port of the client range, highest first.
  void BindLocal();
  virtual void CloseHandle();
  virtual void ConnectPeer();  // blocking connect to PeerIP:PeerPort
  void UpdateBindingLocal();
  void UpdateBindingPeer();
  void Reset();  // no handle, addresses and ports cleared

 private:
  bool TryBind(int32_t port, bool raiseInUse);
};
