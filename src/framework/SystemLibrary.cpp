#include "framework/SystemLibrary.h"

#include <string>

namespace {

FARPROC KernelProc(const char* Name) {
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  return kernel ? GetProcAddress(kernel, Name) : nullptr;
}

// The LOAD_LIBRARY_SEARCH_* flags came with the default-directories call (Windows 8, or 7 with
// its update); where it is missing, LoadLibraryExW refuses them.
bool HasSearchFlags() {
  static const bool has = KernelProc("SetDefaultDllDirectories") != nullptr;
  return has;
}

}  // namespace

void RestrictDllSearchToSystem() {
  using TSetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
  auto setDefault = reinterpret_cast<TSetDefaultDllDirectories>(
      reinterpret_cast<void*>(KernelProc("SetDefaultDllDirectories")));
  if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
  SetDllDirectoryW(L"");
}

HMODULE LoadSystemLibrary(const wchar_t* Name) {
  if (HasSearchFlags()) return LoadLibraryExW(Name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  std::wstring path(folder, length);
  path += L'\\';
  path += Name;
  return LoadLibraryW(path.c_str());
}
