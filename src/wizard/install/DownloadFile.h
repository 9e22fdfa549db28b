#pragma once
// A part's download file at the drive root, written straight through the system's file API
// so that a disk error fails the attempt at the write that met it.
#include <string>

#include "http/NetStream.h"
#include "wizard/install/InstallFiles.h"

class TDownloadFile : public TNetStream {
 public:
  // Creates FileName new and empty, replacing what was there.
  explicit TDownloadFile(const std::wstring& FileName);

  int64_t Position() const override { return FPosition; }
  void SetPosition(int64_t Position) override;
  int64_t Size() const override { return FSize; }
  void SetSize(int64_t Size) override;
  void Write(const void* Buffer, size_t Count) override;
  size_t Read(void* Buffer, size_t Count) override;

 private:
  TFileHandle FFile;
  int64_t FPosition = 0;
  int64_t FSize = 0;
};
