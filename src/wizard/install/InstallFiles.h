#pragma once
// The file-system questions and small chores of the installation steps, on Unicode paths.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

bool FileExists(const std::wstring& Name);
bool FolderExists(const std::wstring& Name);
// Deletes the file when it is there; a file that cannot be deleted is left as it is.
void DeleteIfThere(const std::wstring& Name);
// Whether every file below the folder Source stands below the folder Copy too, at the same
// place and of the same size.
bool CopiedWhole(const std::wstring& Source, const std::wstring& Copy);

// Opens a part to read it from its check to the end of its extraction: while the handle
// is open, others may read the file but not write, rename or delete it, so the bytes that
// were checked are the bytes extracted. INVALID_HANDLE_VALUE when it cannot be opened.
HANDLE OpenHeldPart(const std::wstring& Name);

// Reads File from where it stands to its end in large blocks, handing each to Block, which
// answers whether to go on. False when a read failed or Block stopped the reading.
bool ReadInBlocks(HANDLE File, const std::function<bool(const uint8_t* Data, size_t Count)>& Block);

// Closes a file handle when it goes.
class TFileHandle {
 public:
  explicit TFileHandle(HANDLE Handle) : FHandle(Handle) {}
  ~TFileHandle() {
    if (Valid()) CloseHandle(FHandle);
  }
  TFileHandle(const TFileHandle&) = delete;
  TFileHandle& operator=(const TFileHandle&) = delete;
  bool Valid() const { return FHandle != INVALID_HANDLE_VALUE && FHandle != nullptr; }
  HANDLE Get() const { return FHandle; }

 private:
  HANDLE FHandle;
};
