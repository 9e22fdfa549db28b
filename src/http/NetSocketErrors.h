#pragma once
// The Winsock error codes the stack knows, each with its name in the code and the text that
// follows "Socket Error # %d" in its message. The POSIX backend reports its failures with
// these codes too, so callers test for the same numbers on both platforms. A code whose text
// is empty shows the first line only.

// name, code, text
#define MIRPAN_NET_SOCKET_ERRORS(X)                                                         \
  X(seInterrupted, 10004, "Interrupted system call.")                                       \
  X(seBadFileNumber, 10009, "Bad file number.")                                             \
  X(seAccessDenied, 10013, "Access denied.")                                                \
  X(seBadAddress, 10014, "Bad address.")                                                    \
  X(seInvalidArgument, 10022, "Invalid argument.")                                          \
  X(seTooManyOpenFiles, 10024, "Too many open files.")                                      \
  X(seWouldBlock, 10035, "Operation would block. ")                                         \
  X(seInProgress, 10036, "Operation now in progress.")                                      \
  X(seAlreadyInProgress, 10037, "Operation already in progress.")                           \
  X(seNotASocket, 10038, "Socket operation on non-socket.")                                 \
  X(seDestinationRequired, 10039, "Destination address required.")                          \
  X(seMessageTooLong, 10040, "Message too long.")                                           \
  X(seWrongProtocolType, 10041, "Protocol wrong type for socket.")                          \
  X(seBadProtocolOption, 10042, "Bad protocol option.")                                     \
  X(seProtocolNotSupported, 10043, "Protocol not supported.")                               \
  X(seSocketTypeNotSupported, 10044, "Socket type not supported.")                          \
  X(seOperationNotSupported, 10045, "Operation not supported on socket.")                   \
  X(seProtocolFamilyNotSupported, 10046, "Protocol family not supported.")                  \
  X(seAddressFamilyNotSupported, 10047, "Address family not supported by protocol family.") \
  X(seAddressInUse, 10048, "Address already in use.")                                       \
  X(seAddressNotAvailable, 10049, "Cannot assign requested address.")                       \
  X(seNetworkDown, 10050, "Network is down.")                                               \
  X(seNetworkUnreachable, 10051, "Network is unreachable.")                                 \
  X(seNetworkReset, 10052, "Net dropped connection or reset.")                              \
  X(seConnectionAborted, 10053, "Software caused connection abort.")                        \
  X(seConnectionReset, 10054, "Connection reset by peer.")                                  \
  X(seNoBufferSpace, 10055, "No buffer space available.")                                   \
  X(seAlreadyConnected, 10056, "Socket is already connected.")                              \
  X(seNotConnected, 10057, "Socket is not connected.")                                      \
  X(seShutdown, 10058, "Cannot send or receive after socket is closed.")                    \
  X(seTooManyReferences, 10059, "Too many references, cannot splice.")                      \
  X(seTimedOut, 10060, "Connection timed out.")                                             \
  X(seConnectionRefused, 10061, "Connection refused.")                                      \
  X(seSymbolicLinkLoop, 10062, "Too many levels of symbolic links.")                        \
  X(seNameTooLong, 10063, "File name too long.")                                            \
  X(seHostDown, 10064, "Host is down.")                                                     \
  X(seHostUnreachable, 10065, "No route to host.")                                          \
  X(seDirectoryNotEmpty, 10066, "Directory not empty")                                      \
  X(seNotInitialised, 10093, "")                                                            \
  X(seHostNotFound, 11001, "Host not found.")                                               \
  X(seTryAgain, 11002, "")                                                                  \
  X(seNoRecovery, 11003, "")

#define MIRPAN_NET_SOCKET_ERROR_ENUM(name, code, text) name = code,
enum TNetSocketErrorCode : int { MIRPAN_NET_SOCKET_ERRORS(MIRPAN_NET_SOCKET_ERROR_ENUM) };
#undef MIRPAN_NET_SOCKET_ERROR_ENUM
