#include "wizard/install/InstallFiles.h"

#include <memory>
#include <vector>

bool FileExists(const std::wstring& Name) {
  DWORD attributes = GetFileAttributesW(Name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& Name) {
  DWORD attributes = GetFileAttributesW(Name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void DeleteIfThere(const std::wstring& Name) {
  if (FileExists(Name)) DeleteFileW(Name.c_str());
}

HANDLE OpenHeldPart(const std::wstring& Name) {
  return CreateFileW(Name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                     FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

bool CopiedWhole(const std::wstring& Source, const std::wstring& Copy) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((Source + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return FolderExists(Copy);
  const std::unique_ptr<void, decltype(&FindClose)> closer(search, FindClose);
  bool whole = true;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring from = Source + L"\\" + name;
    const std::wstring to = Copy + L"\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      whole = CopiedWhole(from, to);
    } else {
      WIN32_FILE_ATTRIBUTE_DATA copied;
      whole = GetFileAttributesExW(to.c_str(), GetFileExInfoStandard, &copied) &&
              copied.nFileSizeLow == found.nFileSizeLow &&
              copied.nFileSizeHigh == found.nFileSizeHigh;
    }
  } while (whole && FindNextFileW(search, &found));
  return whole;
}

bool ReadInBlocks(HANDLE File,
                  const std::function<bool(const uint8_t* Data, size_t Count)>& Block) {
  std::vector<uint8_t> block(1 << 20);
  DWORD got = 0;
  for (;;) {
    if (!ReadFile(File, block.data(), static_cast<DWORD>(block.size()), &got, nullptr))
      return false;
    if (got == 0) return true;
    if (!Block(block.data(), got)) return false;
  }
}
