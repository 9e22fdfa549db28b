// The program's main block: no command-line options, one form, the message loop.
#include <windows.h>

#include "framework/Application.h"
#include "framework/SystemLibrary.h"
#include "wizard/UMirpan4RSetup.h"

extern "C" int WinMainCRTStartup();

// The program's entry, ahead of the runtime's: the DLL search is restricted before any static
// initialiser or window can load a DLL. Only kernel32 calls run here, the runtime is not up yet.
extern "C" int SetUpEntry() {
  RestrictDllSearchToSystem();
  return WinMainCRTStartup();
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  try {
    Application->Initialize();
    Application->SetTitle(L"SetUp");
    FrmSetUp = Application->CreateForm<TFrmSetUp>();
    FrmSetUp->lblApplicationName->SetCaption(L"Mirpan");
    FrmSetUp->InitInstallRecord();
    Application->Run();
  } catch (...) {
    Application->HandleException();
    return 1;
  }
  // The form goes while the message window and the socket stack are still there.
  delete FrmSetUp;
  FrmSetUp = nullptr;
  return 0;
}
