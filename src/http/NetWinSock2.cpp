// Winsock 2 bound by name at run time. The library is never in the import table: every
// entry point is a named slot that first holds a resolver, which looks the name up in the
// loaded library, stores the address in the slot and calls through it.
#include <windows.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <mutex>

#include "framework/SystemLibrary.h"
#include "framework/Text.h"
#include "http/NetException.h"
#include "http/NetResourceStrings.h"
#include "http/NetSocketApi.h"
#include "http/NetSocketErrors.h"

namespace {

constexpr const wchar_t* WinsockLibraryName = L"WS2_32.DLL";

// name, result type, parameter types
#define MIRPAN_WINSOCK_SLOTS(X)                                  \
  X(WSAStartup, int, WORD, LPWSADATA)                            \
  X(WSACleanup, int)                                             \
  X(WSAGetLastError, int)                                        \
  X(socket, SOCKET, int, int, int)                               \
  X(bind, int, SOCKET, const sockaddr*, int)                     \
  X(connect, int, SOCKET, const sockaddr*, int)                  \
  X(select, int, int, fd_set*, fd_set*, fd_set*, const timeval*) \
  X(recv, int, SOCKET, char*, int, int)                          \
  X(send, int, SOCKET, const char*, int, int)                    \
  X(shutdown, int, SOCKET, int)                                  \
  X(closesocket, int, SOCKET)                                    \
  X(gethostbyname, hostent*, const char*)                        \
  X(getsockname, int, SOCKET, sockaddr*, int*)                   \
  X(getpeername, int, SOCKET, sockaddr*, int*)                   \
  X(setsockopt, int, SOCKET, int, int, const char*, int)         \
  X(htons, u_short, u_short)                                     \
  X(ntohs, u_short, u_short)

#define MIRPAN_SLOT_ENUM(name, ...) ws_##name,
enum TWinsockSlot { MIRPAN_WINSOCK_SLOTS(MIRPAN_SLOT_ENUM) WinsockSlotCount };

#define MIRPAN_SLOT_NAME(name, ...) #name,
const char* const SlotNames[WinsockSlotCount] = {MIRPAN_WINSOCK_SLOTS(MIRPAN_SLOT_NAME)};

#define MIRPAN_SLOT_TYPE(name, result, ...) using T_##name = result(WSAAPI*)(__VA_ARGS__);
MIRPAN_WINSOCK_SLOTS(MIRPAN_SLOT_TYPE)

HMODULE GLibrary = nullptr;
bool GStarted = false;
std::mutex GLoadLock;

std::string SystemMessage(DWORD code) {
  wchar_t* text = nullptr;
  DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message(text != nullptr ? text : L"", length);
  if (text != nullptr) LocalFree(text);
  while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' ||
                              message.back() == L' ' || message.back() == L'.')) {
    message.pop_back();
  }
  return Cp1255FromWide(message);
}

[[noreturn]] void RaiseStubError(DWORD code, const std::string& text) {
  std::string message = text;
  if (code != 0) message = SystemMessage(code) + ": " + text;
  throw ENetWS2StubError(static_cast<int>(code), message);
}

extern void* GSlots[];

void* ResolveSlot(int index) {
  const char* name = SlotNames[index];
  if (GLibrary == nullptr) {
    RaiseStubError(seNotInitialised, NetFormat(NetResourceStrings::RSWS2CallError, name));
  }
  FARPROC address = GetProcAddress(GLibrary, name);
  if (address == nullptr) {
    RaiseStubError(GetLastError(), NetFormat(NetResourceStrings::RSWS2CallError, name));
  }
  GSlots[index] = reinterpret_cast<void*>(address);
  return GSlots[index];
}

template <int Index, typename TFunction>
struct TLazySlot;

template <int Index, typename TResult, typename... TArgs>
struct TLazySlot<Index, TResult(WSAAPI*)(TArgs...)> {
  static TResult WSAAPI Resolve(TArgs... args) {
    return reinterpret_cast<TResult(WSAAPI*)(TArgs...)>(ResolveSlot(Index))(args...);
  }
};

#define MIRPAN_SLOT_RESOLVER(name, ...) \
  reinterpret_cast<void*>(&TLazySlot<ws_##name, T_##name>::Resolve),
// Statically initialised, so a call during another unit's start-up finds the resolvers.
void* GSlots[WinsockSlotCount] = {MIRPAN_WINSOCK_SLOTS(MIRPAN_SLOT_RESOLVER)};

void ResetSlots() {
  void* const resolvers[WinsockSlotCount] = {MIRPAN_WINSOCK_SLOTS(MIRPAN_SLOT_RESOLVER)};
  std::copy(std::begin(resolvers), std::end(resolvers), GSlots);
}

// Winsock is cleaned up and the library freed when the program ends.
struct TWinsockUnloader {
  ~TWinsockUnloader() {
    if (GStarted) reinterpret_cast<T_WSACleanup>(GSlots[ws_WSACleanup])();
    GStarted = false;
    if (GLibrary != nullptr) FreeLibrary(GLibrary);
    GLibrary = nullptr;
    ResetSlots();
  }
} GUnloader;

#define MIRPAN_CALL(name) reinterpret_cast<T_##name>(GSlots[ws_##name])

// Windows runs little-endian only, so a 32-bit address is swapped into network order.
sockaddr_in MakeAddress(uint32_t address, uint16_t port) {
  sockaddr_in result{};
  result.sin_family = AF_INET;
  result.sin_addr.s_addr = __builtin_bswap32(address);
  result.sin_port = MIRPAN_CALL(htons)(port);
  return result;
}

uint32_t HostOrder(uint32_t networkOrder) { return __builtin_bswap32(networkOrder); }

template <typename TGetName>
int ReadName(TGetName getName, TNetSocket socket, uint32_t& address, uint16_t& port) {
  sockaddr_in name{};
  int length = sizeof name;
  int result = getName(static_cast<SOCKET>(socket), reinterpret_cast<sockaddr*>(&name), &length);
  if (result == 0) {
    address = HostOrder(name.sin_addr.s_addr);
    port = MIRPAN_CALL(ntohs)(name.sin_port);
  }
  return result;
}

}  // namespace

namespace NetSocketApi {

void Startup() {
  std::lock_guard<std::mutex> lock(GLoadLock);
  if (GLibrary == nullptr) {
    GLibrary = LoadSystemLibrary(WinsockLibraryName);
    if (GLibrary == nullptr) {
      RaiseStubError(GetLastError(), NetFormat(NetResourceStrings::RSWS2LoadError, "WS2_32.DLL"));
    }
  }
  if (!GStarted) {
    WSADATA data;
    if (MIRPAN_CALL(WSAStartup)(MAKEWORD(2, 2), &data) != 0) {
      throw ENetStackInitializationFailed(NetResourceStrings::RSWinsockInitializationError);
    }
    GStarted = true;
  }
}

int LastError() { return MIRPAN_CALL(WSAGetLastError)(); }

TNetSocket Socket() {
  SOCKET handle = MIRPAN_CALL(socket)(AF_INET, SOCK_STREAM, 0);
  return handle == INVALID_SOCKET ? NetInvalidSocket : static_cast<TNetSocket>(handle);
}

int Bind(TNetSocket socket, uint32_t address, uint16_t port) {
  sockaddr_in name = MakeAddress(address, port);
  return MIRPAN_CALL(bind)(static_cast<SOCKET>(socket), reinterpret_cast<sockaddr*>(&name),
                           sizeof name);
}

int Connect(TNetSocket socket, uint32_t address, uint16_t port) {
  sockaddr_in name = MakeAddress(address, port);
  return MIRPAN_CALL(connect)(static_cast<SOCKET>(socket), reinterpret_cast<sockaddr*>(&name),
                              sizeof name);
}

int SelectReadable(TNetSocket socket, int32_t seconds, int32_t microseconds, bool noLimit) {
  fd_set readable;
  readable.fd_count = 1;
  readable.fd_array[0] = static_cast<SOCKET>(socket);
  timeval limit{seconds, microseconds};
  return MIRPAN_CALL(select)(0, &readable, nullptr, nullptr, noLimit ? nullptr : &limit);
}

int Recv(TNetSocket socket, void* buffer, int length) {
  return MIRPAN_CALL(recv)(static_cast<SOCKET>(socket), static_cast<char*>(buffer), length, 0);
}

int Send(TNetSocket socket, const void* buffer, int length) {
  return MIRPAN_CALL(send)(static_cast<SOCKET>(socket), static_cast<const char*>(buffer), length,
                           0);
}

int Shutdown(TNetSocket socket, int how) {
  return MIRPAN_CALL(shutdown)(static_cast<SOCKET>(socket), how);
}

int CloseSocket(TNetSocket socket) { return MIRPAN_CALL(closesocket)(static_cast<SOCKET>(socket)); }

bool GetHostByName(const std::string& name, uint32_t& address) {
  hostent* host = MIRPAN_CALL(gethostbyname)(name.c_str());
  if (host == nullptr || host->h_addrtype != AF_INET || host->h_addr_list[0] == nullptr) {
    return false;
  }
  uint32_t networkOrder;
  std::memcpy(&networkOrder, host->h_addr_list[0], sizeof networkOrder);
  address = HostOrder(networkOrder);
  return true;
}

int GetSockName(TNetSocket socket, uint32_t& address, uint16_t& port) {
  return ReadName(MIRPAN_CALL(getsockname), socket, address, port);
}

int GetPeerName(TNetSocket socket, uint32_t& address, uint16_t& port) {
  return ReadName(MIRPAN_CALL(getpeername), socket, address, port);
}

int SetNoDelay(TNetSocket socket, bool on) {
  BOOL value = on ? TRUE : FALSE;
  return MIRPAN_CALL(setsockopt)(static_cast<SOCKET>(socket), IPPROTO_TCP, TCP_NODELAY,
                                 reinterpret_cast<const char*>(&value), sizeof value);
}

}  // namespace NetSocketApi
