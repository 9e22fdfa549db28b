#pragma once
// A part's download file at the drive root, written straight through the system's file API
// so that a disk error fails the attempt at the write that met it. Given the part's stamp,
// it hashes the bytes as they arrive. It is held open, others may only read it, from its
// first byte written until it goes, so that the bytes checked are the bytes extracted.
#include <memory>
#include <string>

#include "framework/Exception.h"
#include "http/NetStream.h"
#include "stamp/PartCheck.h"
#include "wizard/install/InstallFiles.h"

// The bytes arriving are not the maker's part.
class EPartMismatch : public Exception {
 public:
  MIRPAN_EXCEPTION_CLASS(EPartMismatch)
  using Exception::Exception;
};

class TDownloadFile : public TNetStream {
 public:
  // Creates FileName new and empty, replacing a file that was there; a link or a folder of
  // that name is not replaced. With a Stamp, growing it past the stamped size raises
  // EPartMismatch.
  explicit TDownloadFile(const std::wstring& FileName, const TPartStampEntry* Stamp = nullptr);
  // Drops the bytes there, for a part that comes again from its start.
  void StartOver();
  // Goes on after the bytes there, for an attempt that continues them.
  void GoOnAtEnd();
  HANDLE Handle() const { return FFile.Get(); }

  int64_t Position() const override { return FPosition; }
  void SetPosition(int64_t Position) override;
  int64_t Size() const override { return FSize; }
  void SetSize(int64_t Size) override;
  void Write(const void* Buffer, size_t Count) override;
  size_t Read(void* Buffer, size_t Count) override;

  enum class TVerdict { Matches, Differs, Unknown };
  // What the bytes hashed on their way say of the stamp; Unknown when the writes did not run
  // in order from the start, so the file has to be read back.
  TVerdict StampVerdict() const;

 private:
  void HashKeptBytes();

  TFileHandle FFile;
  int64_t FPosition = 0;
  int64_t FSize = 0;
  std::unique_ptr<TPartCheck> FCheck;
  uint64_t FStampedSize = 0;
  bool FCheckLost = false;
};
