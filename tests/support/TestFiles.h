#pragma once
// Files and links as the Windows-side tests read and make them.
#include <windows.h>

#include <string>
#include <vector>

namespace TestFiles {

bool FileThere(const std::wstring& Name);    // a file, not a folder
bool FolderThere(const std::wstring& Name);  // a folder, not a file
// Waits until the file is there; false when it did not come in time.
bool WaitForFile(const std::wstring& Name, DWORD Milliseconds);
// The whole content; empty when the file cannot be read.
std::string FileBytes(const std::wstring& Name);
void WriteBytes(const std::wstring& Name, const std::string& Bytes);
// The folder and all below it, through the shell.
void RemoveTree(const std::wstring& Folder);
// Names of the entries of a folder, without "." and "..".
std::vector<std::wstring> FolderEntries(const std::wstring& Folder);

// What a link file holds; Loaded is false (and the rest empty) when it cannot be read.
struct TLinkContent {
  bool Loaded = false;
  std::wstring Path, Arguments, WorkingDirectory, IconFile;
  int IconIndex = -1;
};
// Needs COM initialised on the calling thread.
TLinkContent ReadLink(const std::wstring& FileName);

}  // namespace TestFiles
