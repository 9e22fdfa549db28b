#include "TestFiles.h"

// after windows.h, which they need
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

namespace TestFiles {

namespace {
DWORD Attributes(const std::wstring& Name) { return GetFileAttributesW(Name.c_str()); }
}  // namespace

bool FileThere(const std::wstring& Name) {
  DWORD a = Attributes(Name);
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderThere(const std::wstring& Name) {
  DWORD a = Attributes(Name);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool WaitForFile(const std::wstring& Name, DWORD Milliseconds) {
  for (DWORD end = GetTickCount() + Milliseconds; !FileThere(Name); Sleep(10))
    if (GetTickCount() >= end) return false;
  return true;
}

std::string FileBytes(const std::wstring& Name) {
  HANDLE file =
      CreateFileW(Name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "";
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

void WriteBytes(const std::wstring& Name, const std::string& Bytes) {
  HANDLE file = CreateFileW(Name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, Bytes.data(), static_cast<DWORD>(Bytes.size()), &written, nullptr);
  CloseHandle(file);
}

void RemoveTree(const std::wstring& Folder) {
  std::wstring from = Folder + L'\0';  // the list ends in two zeros
  SHFILEOPSTRUCTW operation = {};
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.fFlags = FOF_NO_UI;
  SHFileOperationW(&operation);
}

std::vector<std::wstring> FolderEntries(const std::wstring& Folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  std::wstring pattern = Folder;
  if (pattern.empty() || pattern.back() != L'\\') pattern += L'\\';
  HANDLE search = FindFirstFileW((pattern + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

TLinkContent ReadLink(const std::wstring& FileName) {
  TLinkContent content;
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                   reinterpret_cast<void**>(&link));
  if (link) link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  if (file && SUCCEEDED(file->Load(FileName.c_str(), STGM_READ))) {
    content.Loaded = true;
    wchar_t text[MAX_PATH];
    if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH))) content.Path = text;
    if (SUCCEEDED(link->GetArguments(text, MAX_PATH))) content.Arguments = text;
    if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH))) content.WorkingDirectory = text;
    if (SUCCEEDED(link->GetIconLocation(text, MAX_PATH, &content.IconIndex)))
      content.IconFile = text;
  }
  if (file) file->Release();
  if (link) link->Release();
  return content;
}

}  // namespace TestFiles
