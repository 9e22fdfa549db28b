#pragma once
// Exceptions of the socket and HTTP stack. Every failure of the stack is reported by one of
// these, with a fixed English text from NetResourceStrings.h.
#include <cstdint>
#include <string>

#include "framework/Exception.h"

// printf-style formatting of the stack's message texts.
std::string NetFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

#define MIRPAN_NET_EXCEPTION(Name, Base) \
  class Name : public Base {             \
   public:                               \
    using Base::Base;                    \
    MIRPAN_EXCEPTION_CLASS(Name)         \
  };

class ENetException : public Exception {
 public:
  using Exception::Exception;
  MIRPAN_EXCEPTION_CLASS(ENetException)
};

MIRPAN_NET_EXCEPTION(ENetSilentException, ENetException)
MIRPAN_NET_EXCEPTION(ENetConnClosedGracefully, ENetSilentException)

MIRPAN_NET_EXCEPTION(ENetStackError, ENetException)
MIRPAN_NET_EXCEPTION(ENetStackInitializationFailed, ENetStackError)
MIRPAN_NET_EXCEPTION(ENetStackSetSizeExceeded, ENetStackError)
MIRPAN_NET_EXCEPTION(ENetInvalidIPAddress, ENetStackError)

MIRPAN_NET_EXCEPTION(ENetSocketHandleError, ENetException)
MIRPAN_NET_EXCEPTION(ENetCouldNotBindSocket, ENetSocketHandleError)
MIRPAN_NET_EXCEPTION(ENetCanNotBindPortInRange, ENetSocketHandleError)
MIRPAN_NET_EXCEPTION(ENetInvalidPortRange, ENetSocketHandleError)

MIRPAN_NET_EXCEPTION(ENetInvalidSocket, ENetException)
MIRPAN_NET_EXCEPTION(ENetClosedSocket, ENetException)
MIRPAN_NET_EXCEPTION(ENetConnectTimeout, ENetException)
MIRPAN_NET_EXCEPTION(ENetConnectException, ENetException)
MIRPAN_NET_EXCEPTION(ENetReadTimeout, ENetException)
MIRPAN_NET_EXCEPTION(ENetAlreadyConnected, ENetException)
MIRPAN_NET_EXCEPTION(ENetReadLnMaxLineLengthExceeded, ENetException)
MIRPAN_NET_EXCEPTION(ENetURIException, ENetException)
MIRPAN_NET_EXCEPTION(ENetUnknownProtocol, ENetException)
// A response the client refuses: a head past its bounds, or a header value with a control
// character that would be copied into a request; the connection is dropped with it.
MIRPAN_NET_EXCEPTION(ENetHTTPHeaderTooLarge, ENetException)
MIRPAN_NET_EXCEPTION(ENetHTTPInvalidCharacter, ENetException)

MIRPAN_NET_EXCEPTION(ENetTCPConnectionError, ENetException)
MIRPAN_NET_EXCEPTION(ENetNotConnected, ENetTCPConnectionError)
MIRPAN_NET_EXCEPTION(ENetNotEnoughDataInBuffer, ENetTCPConnectionError)
MIRPAN_NET_EXCEPTION(ENetIOHandlerPropInvalid, ENetTCPConnectionError)
MIRPAN_NET_EXCEPTION(ENetNoDataToRead, ENetTCPConnectionError)
MIRPAN_NET_EXCEPTION(ENetFileNotFound, ENetTCPConnectionError)

// Failure to load or call the socket library. Windows error seNotInitialised means "library
// not loaded".
// The text already carries the system's message for the error when there is one.
class ENetWS2StubError : public ENetException {
 public:
  ENetWS2StubError(int win32Error, const std::string& text)
      : ENetException(text), FWin32Error(win32Error) {}
  int Win32Error() const noexcept { return FWin32Error; }
  MIRPAN_EXCEPTION_CLASS(ENetWS2StubError)

 private:
  int FWin32Error;
};

class ENetSocketError : public ENetException {
 public:
  ENetSocketError(int lastError, const std::string& text)
      : ENetException(text), FLastError(lastError) {}
  int32_t LastError() const noexcept { return FLastError; }
  MIRPAN_EXCEPTION_CLASS(ENetSocketError)

 private:
  int32_t FLastError;
};

class ENetProtocolReplyError : public ENetException {
 public:
  ENetProtocolReplyError(int replyCode, const std::string& text)
      : ENetException(text), FReplyCode(replyCode) {}
  int32_t ReplyErrorCode() const noexcept { return FReplyCode; }
  MIRPAN_EXCEPTION_CLASS(ENetProtocolReplyError)

 private:
  int32_t FReplyCode;
};

// An HTTP status that ends the request: the text is the status line, the error message the
// body the server sent with it.
class ENetHTTPProtocolException : public ENetProtocolReplyError {
 public:
  ENetHTTPProtocolException(int errorCode, const std::string& text, std::string errorMessage)
      : ENetProtocolReplyError(errorCode, text), FErrorMessage(std::move(errorMessage)) {}
  int32_t ErrorCode() const noexcept { return ReplyErrorCode(); }
  const std::string& ErrorMessage() const noexcept { return FErrorMessage; }
  MIRPAN_EXCEPTION_CLASS(ENetHTTPProtocolException)

 private:
  std::string FErrorMessage;
};
