#pragma once
// The stack's fixed message texts, as users and logs see them.

namespace NetResourceStrings {
inline constexpr const char* RSStatusResolving = "Resolving hostname %s.";
inline constexpr const char* RSStatusConnecting = "Connecting to %s.";
inline constexpr const char* RSStatusConnected = "Connected.";
inline constexpr const char* RSStatusDisconnecting = "Disconnecting.";
inline constexpr const char* RSStatusDisconnected = "Disconnected.";
inline constexpr const char* RSStatusText = "%s";

inline constexpr const char* RSWS2CallError = "Error on call Winsock2 library function %s";
inline constexpr const char* RSWS2LoadError = "Error on loading Winsock2 library (%s)";
inline constexpr const char* RSWinsockInitializationError = "Winsock Initialization Error.";
inline constexpr const char* RSInvalidIPAddress = "%s is not a valid IP address.";
inline constexpr const char* RSSetSizeExceeded = "Set Size Exceeded.";
inline constexpr const char* RSCannotAllocateSocket = "Cannot allocate socket.";
inline constexpr const char* RSCouldNotBindSocket =
    "Could not bind socket. Address and port are already in use.";
inline constexpr const char* RSInvalidPortRange = "Invalid Port Range (%d - %d)";
inline constexpr const char* RSCannotBindRange = "Can not bind in port range (%d - %d)";
inline constexpr const char* RSConnectTimeout = "Connect timed out.";
inline constexpr const char* RSConnectionClosedGracefully = "Connection Closed Gracefully.";
inline constexpr const char* RSClosedSocket = "Disconnected.";
inline constexpr const char* RSSocketError = "Socket Error # %d\r\n%s";

inline constexpr const char* RSAlreadyConnected = "Already connected.";
inline constexpr const char* RSNotConnected = "Not Connected";
inline constexpr const char* RSReadTimeout = "Read Timeout";
inline constexpr const char* RSMaxLineLengthExceeded = "Max line length exceeded.";
inline constexpr const char* RSNotEnoughDataInBuffer = "Not enough data in buffer.";

inline constexpr const char* RSURINoProto = "Protocol field is empty";
inline constexpr const char* RSURINoHost = "Host field is empty";
inline constexpr const char* RSIOHandlerPropInvalid = "IOHandler value is not valid";
inline constexpr const char* RSHTTPChunkStarted = "Chunk Started";
inline constexpr const char* RSHTTPMethodRequiresVersion =
    "This request method is supported in HTTP 1.1";
inline constexpr const char* RSHTTPUnknownResponseCode = "Undefined situation";
inline constexpr const char* RSHTTPUnsupportedProtocol = "Protocol %s is not supported";
inline constexpr const char* RSHTTPInvalidChunkSize = "Invalid chunk size line: %s";
inline constexpr const char* RSHTTPHeaderTooLarge = "Response header too large";
inline constexpr const char* RSHTTPInvalidHeaderValue = "Invalid character in header %s";
// "URL" or "header <name>"
inline constexpr const char* RSHTTPInvalidRequestText = "Invalid character in request %s";

// Text of a Winsock error code; empty for codes outside the table.
const char* SocketErrorText(int code);
}  // namespace NetResourceStrings
