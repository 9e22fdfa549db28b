#include "wizard/install/InstallFiles.h"

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
