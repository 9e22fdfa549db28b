#pragma once
// The archiver's one exception class. Every failure the component detects itself is raised
// as an EZipException whose text comes from a fixed message table, selected by the native
// error number given where the failure happens.
#include <cstdint>
#include <string>
#include <vector>

#include "framework/Exception.h"

class TZipBaseArchiver;

class EZipException : public Exception {
 public:
  MIRPAN_EXCEPTION_CLASS(EZipException)

  // Archiver may be null (the directory object and array pass none); Args fill the
  // message's %s and %d placeholders in order.
  EZipException(int32_t nativeError, const TZipBaseArchiver* archiver = nullptr,
                const std::vector<std::string>& args = {});

  int32_t ErrorCode() const noexcept { return FErrorCode; }
  int32_t NativeError() const noexcept { return FNativeError; }

 private:
  int32_t FErrorCode;
  int32_t FNativeError;
};

// The message number for a native error (0 when the table has no row for it).
int32_t ZipMessageNumber(int32_t nativeError);
// The raw message text with that number (message 0 for an unknown number).
const char* ZipMessageText(int32_t messageNumber);
// The full exception text: optional "Name: " prefix, the formatted message and the
// " - Native error: 000NN" tail.
std::string ZipErrorText(int32_t nativeError, const std::string& archiverName,
                         const std::vector<std::string>& args);

// Failures of the archive stream itself: these are not EZipException, so inside an
// extraction pass they end the pass instead of becoming a per-file failure.
class EZipStreamError : public Exception {
 public:
  MIRPAN_EXCEPTION_CLASS(EStreamError)
  using Exception::Exception;
};
