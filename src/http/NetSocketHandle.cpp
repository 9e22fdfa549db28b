#include "http/NetSocketHandle.h"

#include "http/NetException.h"
#include "http/NetResourceStrings.h"
#include "http/NetSocketErrors.h"
#include "http/NetStack.h"

TNetSocketHandle::~TNetSocketHandle() { CloseHandle(); }

void TNetSocketHandle::AllocateHandle() {
  CloseHandle();
  TNetSocket handle = NetSocketApi::Socket();
  if (handle == NetInvalidSocket) {
    throw ENetInvalidSocket(NetResourceStrings::RSCannotAllocateSocket);
  }
  Handle = handle;
  HandleAllocated = true;
}

bool TNetSocketHandle::TryBind(int32_t port, bool raiseInUse) {
  uint32_t address = IP.empty() ? 0 : TNetStack::TranslateAddress(IP);
  int result = NetSocketApi::Bind(Handle, address, static_cast<uint16_t>(port));
  if (result != NetSocketError) return true;
  TNetStack& stack = SocketStack();
  stack.LastError = NetSocketApi::LastError();
  if (stack.LastError != seAddressInUse) stack.RaiseSocketError(stack.LastError);
  if (raiseInUse) throw ENetCouldNotBindSocket(NetResourceStrings::RSCouldNotBindSocket);
  return false;
}

void TNetSocketHandle::BindLocal() {
  if (Port != 0 || ClientPortMin == 0 || ClientPortMax == 0) {
    TryBind(Port, true);
  } else if (ClientPortMin > ClientPortMax) {
    throw ENetInvalidPortRange(
        NetFormat(NetResourceStrings::RSInvalidPortRange, ClientPortMin, ClientPortMax));
  } else {
    bool bound = false;
    for (int32_t port = ClientPortMax; port >= ClientPortMin && !bound; --port) {
      bound = TryBind(port, false);
    }
    if (!bound) {
      throw ENetCanNotBindPortInRange(
          NetFormat(NetResourceStrings::RSCannotBindRange, ClientPortMin, ClientPortMax));
    }
  }
  UpdateBindingLocal();
}

void TNetSocketHandle::CloseHandle() {
  if (!HandleAllocated) return;
  HandleAllocated = false;
  NetSocketApi::Shutdown(Handle, NetSendShutdown);
  NetSocketApi::CloseSocket(Handle);
  Handle = NetInvalidSocket;
}

void TNetSocketHandle::ConnectPeer() {
  uint32_t address = TNetStack::TranslateAddress(PeerIP);
  int result = NetSocketApi::Connect(Handle, address, static_cast<uint16_t>(PeerPort));
  SocketStack().CheckSocketResult(result);
}

void TNetSocketHandle::UpdateBindingLocal() {
  uint32_t address = 0;
  uint16_t port = 0;
  if (NetSocketApi::GetSockName(Handle, address, port) != NetSocketError) {
    IP = TNetStack::AddressText(address);
    Port = port;
  }
}

void TNetSocketHandle::UpdateBindingPeer() {
  uint32_t address = 0;
  uint16_t port = 0;
  if (NetSocketApi::GetPeerName(Handle, address, port) != NetSocketError) {
    PeerIP = TNetStack::AddressText(address);
    PeerPort = port;
  }
}

void TNetSocketHandle::Reset() {
  CloseHandle();
  IP.clear();
  PeerIP.clear();
  Port = PeerPort = ClientPortMin = ClientPortMax = 0;
}
