#include "wizard/install/DownloadFile.h"

TDownloadFile::TDownloadFile(const std::wstring& FileName, const TPartStampEntry* Stamp,
                             bool KeepBytes)
    : FFile(CreateFileW(FileName.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                        KeepBytes ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)) {
  if (!FFile.Valid()) throw Exception("Cannot create file");
  if (Stamp) {
    FCheck = std::make_unique<TPartCheck>(*Stamp);
    FStampedSize = Stamp->Size;
  }
  if (!KeepBytes) return;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(FFile.Get(), &size)) throw Exception("Stream seek error");
  FSize = size.QuadPart;
  // A part that goes on is checked over all of its bytes, the kept ones first.
  if (FCheck) HashKeptBytes();
  SetPosition(FSize);
}

void TDownloadFile::HashKeptBytes() {
  ReadInBlocks(FFile.Get(), [this](const uint8_t* Data, size_t Count) {
    FCheck->Add(Data, Count);
    return true;
  });
  if (FCheck->BytesSeen() != static_cast<uint64_t>(FSize)) FCheckLost = true;
}

void TDownloadFile::StartOver() {
  SetPosition(0);
  SetSize(0);
}

void TDownloadFile::SetPosition(int64_t Position) {
  LARGE_INTEGER at;
  at.QuadPart = Position;
  if (!SetFilePointerEx(FFile.Get(), at, nullptr, FILE_BEGIN)) throw Exception("Stream seek error");
  FPosition = Position;
  // A body begun again from the start is hashed again from the start.
  if (FCheck && Position == 0) {
    FCheck->Restart();
    FCheckLost = false;
  }
}

void TDownloadFile::SetSize(int64_t Size) {
  // Grown ahead for a reply's announced length, which may follow kept bytes it then replaces.
  if (FCheck && Size > FPosition && static_cast<uint64_t>(Size - FPosition) > FStampedSize)
    throw EPartMismatch("The part is longer than the maker's");
  int64_t keep = FPosition > Size ? Size : FPosition;
  SetPosition(Size);
  if (!SetEndOfFile(FFile.Get())) throw Exception("Stream write error");
  FSize = Size;
  SetPosition(keep);
}

void TDownloadFile::Write(const void* Buffer, size_t Count) {
  if (FCheck) {
    if (static_cast<uint64_t>(FPosition) + Count > FStampedSize)
      throw EPartMismatch("The part is longer than the maker's");
    if (static_cast<uint64_t>(FPosition) != FCheck->BytesSeen()) FCheckLost = true;
    if (!FCheckLost) FCheck->Add(Buffer, Count);
  }
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

TDownloadFile::TVerdict TDownloadFile::StampVerdict() const {
  if (!FCheck) return TVerdict::Unknown;
  if (static_cast<uint64_t>(FSize) != FStampedSize) return TVerdict::Differs;
  if (FCheckLost || FCheck->BytesSeen() != FStampedSize) return TVerdict::Unknown;
  return FCheck->Matches() ? TVerdict::Matches : TVerdict::Differs;
}
