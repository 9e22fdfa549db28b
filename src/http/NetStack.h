#pragma once
// The one process-wide socket stack: address parsing, host resolution, the socket result
// check and the socket error texts. Created by the first TNetComponent, freed with the last.
#include <cstdint>
#include <initializer_list>
#include <string>

class TNetStack {
 public:
  TNetStack();  // starts the socket library (once per process)

  // Winsock code of the last failed call seen by CheckSocketResult.
  int32_t LastError = 0;

  // Dotted IPv4 text in its one- to four-part forms; address in host byte order.
  static bool IsIP(const std::string& text, uint32_t* address = nullptr);
  static uint32_t TranslateAddress(const std::string& text);  // raises ENetInvalidIPAddress
  static std::string AddressText(uint32_t address);
  std::string ResolveHost(const std::string& host);

  // False for a result other than SOCKET_ERROR; true for an ignored code; raises otherwise.
  bool CheckSocketResult(int result, std::initializer_list<int> ignored = {});
  [[noreturn]] void RaiseSocketError(int code);
  static std::string SocketErrorText(int code);
};

// The stack of the running process; valid while any TNetComponent lives.
TNetStack& SocketStack();
