// POSIX sockets behind the stack's platform interface. Failures are translated into the
// Winsock codes the rest of the stack (and its callers) test for.
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "http/NetSocketApi.h"
#include "http/NetSocketErrors.h"

namespace {

thread_local int GLastError = 0;

struct TErrnoCode {
  int Errno;
  TNetSocketErrorCode Code;
};

const TErrnoCode ErrnoCodes[] = {
    {EINTR, seInterrupted},
    {EBADF, seBadFileNumber},
    {EACCES, seAccessDenied},
    {EFAULT, seBadAddress},
    {EINVAL, seInvalidArgument},
    {EMFILE, seTooManyOpenFiles},
    {EWOULDBLOCK, seWouldBlock},
    {EINPROGRESS, seInProgress},
    {EALREADY, seAlreadyInProgress},
    {ENOTSOCK, seNotASocket},
    {EDESTADDRREQ, seDestinationRequired},
    {EMSGSIZE, seMessageTooLong},
    {EPROTOTYPE, seWrongProtocolType},
    {ENOPROTOOPT, seBadProtocolOption},
    {EPROTONOSUPPORT, seProtocolNotSupported},
    {ESOCKTNOSUPPORT, seSocketTypeNotSupported},
    {EOPNOTSUPP, seOperationNotSupported},
    {EPFNOSUPPORT, seProtocolFamilyNotSupported},
    {EAFNOSUPPORT, seAddressFamilyNotSupported},
    {EADDRINUSE, seAddressInUse},
    {EADDRNOTAVAIL, seAddressNotAvailable},
    {ENETDOWN, seNetworkDown},
    {ENETUNREACH, seNetworkUnreachable},
    {ENETRESET, seNetworkReset},
    {ECONNABORTED, seConnectionAborted},
    {ECONNRESET, seConnectionReset},
    {ENOBUFS, seNoBufferSpace},
    {EISCONN, seAlreadyConnected},
    {ENOTCONN, seNotConnected},
    {EPIPE, seShutdown},  // sending after our own shutdown
    {ESHUTDOWN, seShutdown},
    {ETIMEDOUT, seTimedOut},
    {ECONNREFUSED, seConnectionRefused},
    {ELOOP, seSymbolicLinkLoop},
    {ENAMETOOLONG, seNameTooLong},
    {EHOSTDOWN, seHostDown},
    {EHOSTUNREACH, seHostUnreachable},
    {ENOTEMPTY, seDirectoryNotEmpty},
};

int WinsockCode(int error) {
  for (const TErrnoCode& entry : ErrnoCodes) {
    if (entry.Errno == error) return entry.Code;
  }
  return error == 0 ? 0 : 10000 + error;
}

int Fail() {
  GLastError = WinsockCode(errno);
  return NetSocketError;
}

sockaddr_in MakeAddress(uint32_t address, uint16_t port) {
  sockaddr_in result;
  std::memset(&result, 0, sizeof result);
  result.sin_family = AF_INET;
  result.sin_addr.s_addr = htonl(address);
  result.sin_port = htons(port);
  return result;
}

template <typename TGetName>
int ReadName(TGetName getName, TNetSocket socket, uint32_t& address, uint16_t& port) {
  sockaddr_in name;
  socklen_t length = sizeof name;
  if (getName(static_cast<int>(socket), reinterpret_cast<sockaddr*>(&name), &length) != 0) {
    return Fail();
  }
  address = ntohl(name.sin_addr.s_addr);
  port = ntohs(name.sin_port);
  return 0;
}

}  // namespace

namespace NetSocketApi {

void Startup() {}

int LastError() { return GLastError; }

TNetSocket Socket() {
  int handle = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (handle < 0) Fail();
  return handle < 0 ? NetInvalidSocket : handle;
}

int Bind(TNetSocket socket, uint32_t address, uint16_t port) {
  sockaddr_in name = MakeAddress(address, port);
  if (::bind(static_cast<int>(socket), reinterpret_cast<sockaddr*>(&name), sizeof name) != 0) {
    return Fail();
  }
  return 0;
}

int Connect(TNetSocket socket, uint32_t address, uint16_t port) {
  sockaddr_in name = MakeAddress(address, port);
  int result;
  do {
    result = ::connect(static_cast<int>(socket), reinterpret_cast<sockaddr*>(&name), sizeof name);
  } while (result != 0 && errno == EINTR);
  return result == 0 ? 0 : Fail();
}

int SelectReadable(TNetSocket socket, int32_t seconds, int32_t microseconds, bool noLimit) {
  pollfd entry{static_cast<int>(socket), POLLIN, 0};
  int timeout = noLimit ? -1 : seconds * 1000 + (microseconds + 999) / 1000;
  int result = ::poll(&entry, 1, timeout);
  return result < 0 ? Fail() : result;
}

int Recv(TNetSocket socket, void* buffer, int length) {
  ssize_t result = ::recv(static_cast<int>(socket), buffer, static_cast<size_t>(length), 0);
  return result < 0 ? Fail() : static_cast<int>(result);
}

int Send(TNetSocket socket, const void* buffer, int length) {
  // No SIGPIPE: a peer that went away is an error code like any other.
  ssize_t result =
      ::send(static_cast<int>(socket), buffer, static_cast<size_t>(length), MSG_NOSIGNAL);
  return result < 0 ? Fail() : static_cast<int>(result);
}

int Shutdown(TNetSocket socket, int how) {
  return ::shutdown(static_cast<int>(socket), how) == 0 ? 0 : Fail();
}

int CloseSocket(TNetSocket socket) { return ::close(static_cast<int>(socket)) == 0 ? 0 : Fail(); }

bool GetHostByName(const std::string& name, uint32_t& address) {
  addrinfo hints;
  std::memset(&hints, 0, sizeof hints);
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  int result = ::getaddrinfo(name.c_str(), nullptr, &hints, &found);
  if (result != 0 || found == nullptr) {
    // The resolver's answers as Winsock names them: not found, try again, no recovery.
    GLastError = result == EAI_AGAIN  ? seTryAgain
                 : result == EAI_FAIL ? seNoRecovery
                                      : seHostNotFound;
    return false;
  }
  address = ntohl(reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
  ::freeaddrinfo(found);
  return true;
}

int GetSockName(TNetSocket socket, uint32_t& address, uint16_t& port) {
  return ReadName(::getsockname, socket, address, port);
}

int GetPeerName(TNetSocket socket, uint32_t& address, uint16_t& port) {
  return ReadName(::getpeername, socket, address, port);
}

int SetNoDelay(TNetSocket socket, bool on) {
  int value = on ? 1 : 0;
  if (::setsockopt(static_cast<int>(socket), IPPROTO_TCP, TCP_NODELAY, &value, sizeof value) != 0) {
    return Fail();
  }
  return 0;
}

}  // namespace NetSocketApi
