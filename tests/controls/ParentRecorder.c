// Opened by a link: writes the id of the process that started it to "<its own path>.parent".
// tlhelp32.h needs windows.h before it.
// clang-format off
#include <windows.h>
#include <tlhelp32.h>
// clang-format on

#include <stdio.h>

int main(void) {
  DWORD self = GetCurrentProcessId(), parent = 0;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry;
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
    if (entry.th32ProcessID == self) parent = entry.th32ParentProcessID;
  CloseHandle(snapshot);
  wchar_t path[MAX_PATH + 16], partial[MAX_PATH + 16];
  DWORD length = GetModuleFileNameW(NULL, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 1;
  lstrcatW(path, L".parent");
  lstrcpyW(partial, path);
  lstrcatW(partial, L"~");
  // Written aside and renamed, so a reader never sees half a number.
  FILE* file = _wfopen(partial, L"w");
  if (!file) return 1;
  fprintf(file, "%lu", (unsigned long)parent);
  fclose(file);
  return MoveFileExW(partial, path, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
