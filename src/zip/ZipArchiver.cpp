#include "zip/ZipArchiver.h"

#include <algorithm>

#include "framework/Text.h"
#include "zip/ZipPlatform.h"

namespace {

std::string Fill(const char* format, const std::string& a, const std::string& b = "") {
  std::string text;
  int next = 0;
  for (const char* p = format; *p; ++p) {
    if (p[0] == '%' && p[1] == 's') {
      text += next++ == 0 ? a : b;
      ++p;
    } else {
      text += *p;
    }
  }
  return text;
}

}  // namespace

TZipBaseArchiver::TZipBaseArchiver(void* owner) : FOwner(owner) {}

TZipBaseArchiver::~TZipBaseArchiver() { CloseArchive(); }

void TZipBaseArchiver::SetCompressionMode(uint8_t mode) {
  if (mode > 9) throw EZipException(zeCompressionMode, this);
  FCompressionMode = mode;
}

void TZipBaseArchiver::OpenArchive(uint16_t mode) {
  if (!InMemory && ZipExtractFileName(FileName).empty()) throw EZipException(zeBlankFileName, this);
  // Messages are windows-1255 text; the path itself stays Unicode.
  const std::string shown = Cp1255FromUtf8(FileName);
  if (!ZipPlatform::FileExists(FileName) && SpanningMode != smSpanning &&
      !ZipPlatform::IsRemovableDrive(FileName))
    throw EZipException(zeArchiveMissing, this, {shown});
  if (InMemory) throw EZipException(zeInMemory, this, {shown});
  CloseArchive();
  FOpenMode = mode;
  SpanningMode = smNone;
  FDirectory.reset();
  FDirectory =
      std::make_unique<TZipDirectory>(ZipPlatform::OpenArchiveFile(FileName, mode).release(), true);
  ReadNewDirectory();
}

void TZipBaseArchiver::OpenArchive(TZipStream& stream) {
  CloseArchive();
  FOpenMode = fmOpenReadDenyWrite;
  SpanningMode = smNone;
  FDirectory = std::make_unique<TZipDirectory>(&stream, false);
  ReadNewDirectory();
}

void TZipBaseArchiver::ReadNewDirectory() {
  int64_t position = 0;
  if (!FDirectory->FindEndRecord(position) && !RepairOnOpen) {
    FDirectory.reset();
    throw EZipException(zeNoEndRecord, this);
  }
  FDirectory->ReadDirectory(Options.OEMFileNames, RepairOnOpen);
  FActive = true;
  DoAfterOpen();
}

void TZipBaseArchiver::CloseArchive() {
  FActive = false;
  FDirectory.reset();
}

int TZipBaseArchiver::FileCount() const {
  return FActive && FDirectory ? FDirectory->Items().Count() : 0;
}

TDirItem TZipBaseArchiver::Entry(int index) const {
  if (!FActive || !FDirectory) throw EZipException(zeNotOpen, this);
  return FDirectory->Items().Get(index);
}

const std::string& TZipBaseArchiver::Comment() const {
  static const std::string kNone;
  return FActive && FDirectory ? FDirectory->Comment() : kNone;
}

// --- event dispatch ---

void TZipBaseArchiver::DoOnFileProgress(const std::string& fileName, double progress,
                                        TZipProcessOperation operation, TZipProgressPhase phase,
                                        bool& cancel) {
  if (OnFileProgress)
    OnFileProgress(this, ZipSlashesToBackslashes(fileName), progress, operation, phase, cancel);
  else
    cancel = false;
}

void TZipBaseArchiver::DoOnOverallProgress(double progress, TZipProcessOperation operation,
                                           TZipProgressPhase phase, bool& cancel) {
  if (OnOverallProgress)
    OnOverallProgress(this, progress, operation, phase, cancel);
  else
    cancel = false;
}

void TZipBaseArchiver::DoOnProcessFileFailure(const std::string& fileName,
                                              TZipProcessOperation operation, int32_t nativeError,
                                              int32_t errorCode, const std::string& errorMessage,
                                              TZipAction& action) {
  if (OnProcessFileFailure) {
    action = acSkip;
    OnProcessFileFailure(this, fileName, operation, nativeError, errorCode, errorMessage, action);
    return;
  }
  if (nativeError == 45) {
    action = acAbort;
    return;
  }
  switch (ZipPlatform::AskAbortRetryIgnore(
      Fill("%s. File processing error, possibly disk is full", errorMessage))) {
    case TZipDialogAnswer::Retry:
      action = acRetry;
      break;
    case TZipDialogAnswer::Ignore:
      action = acSkip;
      break;
    default:
      action = acAbort;
      break;
  }
}

void TZipBaseArchiver::DoOnConfirmProcessFile(const std::string& fileName,
                                              TZipProcessOperation operation, bool& confirm) {
  confirm = true;
  if (OnConfirmProcessFile) OnConfirmProcessFile(this, fileName, operation, confirm);
}

void TZipBaseArchiver::DoOnConfirmOverwrite(const std::string& sourceFileName,
                                            std::string& destFileName, bool& confirm) {
  confirm = false;
  if (OnConfirmOverwrite) {
    OnConfirmOverwrite(this, sourceFileName, destFileName, confirm);
    return;
  }
  switch (ZipPlatform::AskOverwrite(
      Fill("Overwrite file \"%s\" with \"%s\"", destFileName, sourceFileName))) {
    case TZipDialogAnswer::Yes:
      confirm = true;
      break;
    case TZipDialogAnswer::YesToAll:
      confirm = true;
      Options.OverwriteMode = omAlways;
      break;
    case TZipDialogAnswer::NoToAll:
      Options.OverwriteMode = omNever;
      break;
    default:
      break;
  }
}

void TZipBaseArchiver::DoOnExtractFile(std::string& fileName, uint32_t& fileAttr,
                                       const std::string& comment) {
  fileName = ZipSlashesToBackslashes(fileName);
  if (OnExtractFile) OnExtractFile(this, fileName, fileAttr, comment);
}

void TZipBaseArchiver::DoAfterOpen() {
  if (AfterOpen) AfterOpen(this);
}

TZipArchiver::TZipArchiver(void* owner) : TZipBaseArchiver(owner) {}
