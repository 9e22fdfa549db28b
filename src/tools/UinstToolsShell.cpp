// The shell side of UinstTools: links, the desktop wallpaper and the first-run marker.
#include <objbase.h>
#include <shlobj.h>

#include <string>

#include "dialogs/UInstError.h"
#include "framework/Application.h"
#include "framework/ComGuards.h"
#include "framework/Registry.h"
#include "framework/Text.h"
#include "tools/MirpanProduct.h"
#include "tools/ProtectedFolder.h"
#include "tools/UinstTools.h"

namespace {

std::string SystemMessage(DWORD Code) {
  wchar_t* text = nullptr;
  DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, Code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message(text ? text : L"", length);
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' ||
                              message.back() == L'.' || message.back() == L' '))
    message.pop_back();
  if (message.empty()) message = L"System error " + std::to_wstring(Code);
  return Cp1255FromWide(message);
}

void CheckOle(HRESULT Result) {
  if (FAILED(Result)) throw EOleSysError(SystemMessage(static_cast<DWORD>(Result)), Result);
}

std::wstring LinkFileName(const std::wstring& Folder, const std::string& LinkName) {
  return Folder + L"\\" + WideFromCp1255(LinkName) + L".lnk";
}

}  // namespace

void CreateShortcut(const std::string& Target, const std::string& Folder,
                    const std::string& Arguments, std::uint8_t Where, const std::string& LinkName) {
  TComScope com;
  TComPtr<IShellLinkW> link;
  CheckOle(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                            link.Out()));
  TComPtr<IPersistFile> file;
  CheckOle(link->QueryInterface(IID_IPersistFile, file.Out()));

  const std::wstring target = WideFromCp1255(Target);
  link->SetPath(target.c_str());
  link->SetArguments(WideFromCp1255(Arguments).c_str());
  link->SetIconLocation(target.c_str(), 0);
  std::size_t slash = target.rfind(L'\\');
  link->SetWorkingDirectory(slash == std::wstring::npos ? L""
                                                        : target.substr(0, slash + 1).c_str());

  // Save results are not looked at: a folder that is not there simply gets no link.
  TRegIniFile explorer(L"Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer");
  if (Where == ShortcutOnDesktop || Where == ShortcutEverywhere) {
    std::wstring desktop = explorer.ReadString(L"Shell Folders", L"Desktop", L"");
    file->Save(LinkFileName(desktop, LinkName).c_str(), FALSE);
  }
  if (Where == ShortcutInStartMenu || Where == ShortcutEverywhere) {
    std::wstring startMenu = explorer.ReadString(L"Shell Folders", L"Start Menu", L"");
    CreateDirectoryW(startMenu.c_str(), nullptr);
    file->Save(LinkFileName(startMenu, LinkName).c_str(), FALSE);
  }
  if (Where == ShortcutInFolder || Where == ShortcutEverywhere) {
    try {
      file->Save(LinkFileName(WideFromCp1255(Folder), LinkName).c_str(), FALSE);
    } catch (const std::exception& error) {
      MessageBoxW(nullptr, WideFromCp1255(error.what()).c_str(), Application->Title().c_str(),
                  MB_OK);
    }
  }
}

bool SetDesktopWallpaper(const std::string& FileName, std::uint8_t Stretch) {
  {
    TRegIniFile desktop(L"Control Panel\\Desktop");
    desktop.WriteString(L"", L"Wallpaper", WideFromCp1255(FileName));
    desktop.WriteString(L"", L"StretchWallpaper", std::to_wstring(Stretch));
  }
  // No file name: the desktop reloads the values just written.
  return SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, nullptr, SPIF_SENDWININICHANGE) != FALSE;
}

void WriteFirstTimeMarker(const std::string& Folder) {
  if (Folder.empty()) return;
  std::wstring name = WideFromCp1255(Folder);
  if (name.back() != L'\\') name += L'\\';
  name += L"firstTime.dat";
  static const char Line[] = "Vantore is still new\r\n";
  const std::wstring refusal = LinkRefusal(name);
  if (!refusal.empty()) {
    UInstError::ShowErrorDialog(L"התקנת מערכת", refusal, dlHebrew);
    return;
  }
  HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD error = 0;
  if (file == INVALID_HANDLE_VALUE) {
    error = GetLastError();
  } else {
    DWORD written = 0;
    if (!WriteFile(file, Line, sizeof Line - 1, &written, nullptr) || written != sizeof Line - 1)
      error = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
    if (!CloseHandle(file) && !error) error = GetLastError();
  }
  if (error)
    UInstError::ShowErrorDialog(L"התקנת מערכת", WideFromCp1255(SystemMessage(error)), dlHebrew);
}
