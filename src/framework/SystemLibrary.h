#pragma once
// DLLs from the system folder only. The program runs elevated from a folder others may write to
// (a Downloads folder, a stick), so no DLL is ever looked up beside it or along the path.
#include <windows.h>

// Restricts every later DLL search of the process to the system folder. The program's entry
// calls it before the runtime starts; systems without the default-directories call keep
// their search, minus the current folder.
void RestrictDllSearchToSystem();

// Loads a DLL of the system folder by its bare name (the manifest's side-by-side versions still
// apply where the system has the search flags); nullptr when it cannot.
HMODULE LoadSystemLibrary(const wchar_t* Name);

// An entry point of a DLL from the system folder, which stays loaded; nullptr when either is
// missing.
template <typename TFunction>
TFunction SystemProc(const wchar_t* Library, const char* Name) {
  HMODULE module = LoadSystemLibrary(Library);
  return module ? reinterpret_cast<TFunction>(reinterpret_cast<void*>(GetProcAddress(module, Name)))
                : nullptr;
}
