#include "wizard/install/DownloadFile.h"

#include "framework/Exception.h"

TDownloadFile::TDownloadFile(const std::wstring& FileName)
    : FFile(CreateFileW(FileName.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)) {
  if (!FFile.Valid()) throw Exception("Cannot create file");
}

void TDownloadFile::SetPosition(int64_t Position) {
  LARGE_INTEGER at;
  at.QuadPart = Position;
  if (!SetFilePointerEx(FFile.Get(), at, nullptr, FILE_BEGIN)) throw Exception("Stream seek error");
  FPosition = Position;
}

void TDownloadFile::SetSize(int64_t Size) {
  int64_t keep = FPosition > Size ? Size : FPosition;
  SetPosition(Size);
  if (!SetEndOfFile(FFile.Get())) throw Exception("Stream write error");
  FSize = Size;
  SetPosition(keep);
}

void TDownloadFile::Write(const void* Buffer, size_t Count) {
  DWORD written = 0;
  if (!WriteFile(FFile.Get(), Buffer, static_cast<DWORD>(Count), &written, nullptr) ||
      written != Count)
    throw Exception("Stream write error");
  FPosition += static_cast<int64_t>(Count);
  if (FPosition > FSize) FSize = FPosition;
}

size_t TDownloadFile::Read(void* Buffer, size_t Count) {
  DWORD read = 0;
  if (!ReadFile(FFile.Get(), Buffer, static_cast<DWORD>(Count), &read, nullptr)) return 0;
  FPosition += read;
  return read;
}
