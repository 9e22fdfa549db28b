#pragma once
// The socket operations the stack needs, as a small platform interface. On Windows they
// are Winsock 2 calls bound by name at run time (NetWinSock2.cpp); elsewhere POSIX calls
// that report failures with the same Winsock error codes (NetSocketApiPosix.cpp).
// Addresses are IPv4 in host byte order; every call returns -1 (SOCKET_ERROR) on failure
// and leaves the Winsock code for LastError.
#include <cstdint>
#include <string>

using TNetSocket = intptr_t;
constexpr TNetSocket NetInvalidSocket = -1;
constexpr int NetSocketError = -1;
constexpr int NetSendShutdown = 1;  // SD_SEND

namespace NetSocketApi {

// Loads the library and starts it (version 2.2). Raises ENetWS2StubError or
// ENetStackInitializationFailed.
void Startup();
int LastError();
TNetSocket Socket();
int Bind(TNetSocket socket, uint32_t address, uint16_t port);
int Connect(TNetSocket socket, uint32_t address, uint16_t port);
// Count of ready sockets, 0 on time-out; a negative timeout waits without limit.
int SelectReadable(TNetSocket socket, int32_t seconds, int32_t microseconds, bool noLimit);
int Recv(TNetSocket socket, void* buffer, int length);
int Send(TNetSocket socket, const void* buffer, int length);
int Shutdown(TNetSocket socket, int how);
int CloseSocket(TNetSocket socket);
// The first IPv4 address of the name; false with LastError set on failure.
bool GetHostByName(const std::string& name, uint32_t& address);
int GetSockName(TNetSocket socket, uint32_t& address, uint16_t& port);
int GetPeerName(TNetSocket socket, uint32_t& address, uint16_t& port);
int SetNoDelay(TNetSocket socket, bool on);

}  // namespace NetSocketApi
