#pragma once
// The archiver's one exception class. Every failure the component detects itself is raised
// as an EZipException whose text comes from a fixed message table, selected by the native
// error number given where the failure happens.
#include <cstdint>
#include <string>
#include <vector>

#include "framework/Exception.h"

class TZipBaseArchiver;

// The native error numbers the archiver raises; the number selects the message (see
// ZipMessageNumber). Numbers not listed belong to the writing side and are never raised.
enum TZipNativeError : int32_t {
  zeItemsPut = 1,             // replacing a directory entry out of range
  zeItemsGet = 2,             // reading a directory entry out of range
  zeItemsItem = 3,            // addressing a directory entry out of range
  zeCompressionMode = 5,      // CompressionMode above 9
  zeBadData = 8,              // size or CRC-32 check failed, inflate error, short read or write
  zeBlankFileName = 10,       // FileName has no name part
  zeArchiveMissing = 12,      // the archive file doesn't exist; argument: FileName
  zeNotOpen = 13,             // extraction while no archive is open
  zeEntryIndex = 16,          // extraction of an entry index outside the directory
  zeCreateFile = 19,          // output file can't be created or is unsafe; argument: its path
  zeCreateFolder = 20,        // output folder can't be created; argument: its path
  zeUpdatePending = 26,       // extraction while an update of the writing side is pending
  zeInMemory = 28,            // opening for reading with InMemory set; argument: FileName
  zeNoLocalHeader = 35,       // the repair scan found no local header
  zeZip64EndMissing = 40,     // a Zip64 locator without its end record
  zeVolumeRequest = 45,       // a volume couldn't be opened or its request was cancelled
  zeNoEndRecord = 48,         // no end record and RepairOnOpen off
  zeDeflate64 = 55,           // an entry uses method 9
  zeSizesTooLarge = 57,       // sizes add up past the archive (RepairOnOpen off), or data overlap
  zeNameIndexOutOfStep = 58,  // the name index and the entries disagree
  zeNameConflict = 59,        // setting a name that the index holds at another position
  zeMethodUnsupported = 61,   // an entry's method can't be decoded; arguments: number, name
  zeWrittenThisPass = 62,     // an entry would replace a file this pass wrote; argument: path
  zeMultiPart = 63,           // the archive is one part of a split or spanned set
  zeLinkOnPath = 64,          // a link or junction below the base folder; argument: its path
  zeReservedName = 65,        // a name part is a device or ends in a dot or space; argument: name
};

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
