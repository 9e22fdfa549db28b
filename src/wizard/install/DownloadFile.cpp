#include "wizard/install/DownloadFile.h"

namespace {

// Deleting an old file first and then creating only a new one, never opening what is there,
// means a link planted under the part's name is removed or refused, never written through.
HANDLE CreateNewDownloadFile(const std::wstring& FileName) {
  DeleteIfThere(FileName);
  return CreateFileW(FileName.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                     CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

}  // namespace

TDownloadFile::TDownloadFile(const std::wstring& FileName, const TPartStampEntry* Stamp)
    : FFile(CreateNewDownloadFile(FileName)) {
  if (!FFile.Valid()) throw Exception("Cannot create file");
  if (Stamp) {
    FCheck = std::make_unique<TPartCheck>(*Stamp);
    FStampedSize = Stamp->Size;
  }
}

void TDownloadFile::GoOnAtEnd() {
  // A part that goes on is checked over all of its bytes; the kept ones were hashed as they
  // came unless they came out of order.
  if (FCheck && (FCheckLost || FCheck->BytesSeen() != static_cast<uint64_t>(FSize))) {
    SetPosition(0);
    HashKeptBytes();
  }
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
