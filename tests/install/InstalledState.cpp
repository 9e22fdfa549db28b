#include "InstalledState.h"

#include <gtest/gtest.h>

// after windows.h, which they need
#include <objbase.h>
#include <oleauto.h>
#include <shlobj.h>

#include "../support/TestFiles.h"
#include "InstallTestSupport.h"
#include "framework/Text.h"
#include "tools/UinstTools.h"

namespace InstallTest {

const std::wstring SettingsKey = L"Software\\Norvasto Software\\Mirpan";
const std::wstring UninstallKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Mirpan";

std::wstring RegText(HKEY Root, const std::wstring& Path, const std::wstring& Name) {
  wchar_t text[2048];
  DWORD size = sizeof text;
  if (RegGetValueW(Root, Path.c_str(), Name.c_str(), RRF_RT_REG_SZ, nullptr, text, &size) !=
      ERROR_SUCCESS)
    return L"(none)";
  return text;
}

void SetRegText(HKEY Root, const std::wstring& Path, const std::wstring& Name,
                const std::wstring& Text) {
  RegSetKeyValueW(Root, Path.c_str(), Name.c_str(), REG_SZ, Text.c_str(),
                  static_cast<DWORD>((Text.size() + 1) * sizeof(wchar_t)));
}

void RemoveKey(HKEY Root, const std::wstring& Path) { RegDeleteTreeW(Root, Path.c_str()); }

std::string DecodedSetting(const std::wstring& Name) {
  int offset = -1;
  for (const TStringSetting& s : PathSettings)
    if (Name == s.Scramble.Name) offset = s.Scramble.Parameter;
  for (const TStringSetting& s : PlatformSettings)
    if (Name == s.Scramble.Name) offset = s.Scramble.Parameter;
  if (offset < 0) return "(unknown value)";
  // Braces around groups of four digits, each a byte plus the value's offset.
  const std::wstring stored = RegText(HKEY_LOCAL_MACHINE, SettingsKey, Name);
  if (stored.size() < 2 || stored.front() != L'{' || stored.back() != L'}') return "(not braced)";
  std::string bytes;
  for (std::size_t at = 1; at + 4 < stored.size(); at += 4)
    bytes += static_cast<char>(std::stoi(stored.substr(at, 4)) - offset);
  return bytes;
}

double StoredReal(const TSettingScramble& Setting) {
  double value = 0;
  DWORD size = sizeof value;
  RegGetValueW(HKEY_LOCAL_MACHINE, SettingsKey.c_str(), Setting.Name, RRF_RT_REG_BINARY, nullptr,
               &value, &size);
  return value / Setting.Parameter;
}

std::wstring LinkTarget(const std::wstring& FileName) {
  TestFiles::TLinkContent link = TestFiles::ReadLink(FileName);
  return link.Loaded ? link.Path : L"(unreadable)";
}

std::wstring IniText(const std::wstring& File, const wchar_t* Section, const wchar_t* Key) {
  wchar_t text[512];
  GetPrivateProfileStringW(Section, Key, L"(none)", text, 512, File.c_str());
  return text;
}

void ForgetInstallation() {
  RemoveKey(HKEY_LOCAL_MACHINE, SettingsKey);
  RemoveKey(HKEY_LOCAL_MACHINE, UninstallKey);
  for (const wchar_t* key : {L".QRP", L".SQL", L".NS", L"QrpViewer", L"SqlViewer", L"NSViewer"})
    RemoveKey(HKEY_CLASSES_ROOT, key);
}

void RedirectShellFolders(const std::wstring& Desktop, const std::wstring& StartMenu) {
  const std::wstring explorer = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
  for (const wchar_t* table : {L"Shell Folders", L"User Shell Folders"}) {
    SetRegText(HKEY_CURRENT_USER, explorer + table, L"Desktop", Desktop);
    SetRegText(HKEY_CURRENT_USER, explorer + table, L"Start Menu", StartMenu);
  }
  CreateDirectoryW(Desktop.c_str(), nullptr);
  CreateDirectoryW(StartMenu.c_str(), nullptr);
}

void ExpectSettingsKeyFor(const std::wstring& Drive) {
  const std::string drive = Cp1255FromWide(Drive);
  const std::pair<const wchar_t*, std::string> values[] = {
      {L"Program Main Directory", drive + "\\Norvasto\\Mirpan\\"},
      {L"Application Files Path", drive + "\\Norvasto\\Mirpan\\Bin"},
      {L"Application DataBase Path", drive + "\\Norvasto\\Mirpan\\Application Data"},
      {L"Local DataBase Path", drive + "\\Norvasto\\Mirpan\\Local"},
      {L"Application Programs Path", drive + "\\Norvasto\\Mirpan\\Programs"},
      {L"Application Images Path", drive + "\\Norvasto\\Mirpan\\Image"},
      {L"Application Dos Path", drive + "\\Norvasto\\Mirpan\\Topic"},
      {L"Application Empty Path", drive + "\\Norvasto\\Mirpan\\Empty"},
      {L"Application Sql Path", drive + "\\Norvasto\\Mirpan\\Sql"},
      {L"Application Client Sql Path", drive + "\\Norvasto\\Mirpan\\ClientSql"},
      {L"Application Userdata Path", drive + "\\Norvasto\\Mirpan\\UserData"},
      {L"Application Sound Path", ""},
      {L"Application Viewers Path", drive + "\\Norvasto\\Viewers"},
      {L"Application Help Path", "\\Norvasto\\Mirpan\\HELP"},
      {L"Application DLL Path", ""},
      {L"Application DDF Path", "\\Norvasto\\DDF"},
      {L"Platform Type", "Windows NT"}};
  for (const auto& [name, expected] : values)
    EXPECT_EQ(expected, DecodedSetting(name)) << Cp1255FromWide(name);
  EXPECT_DOUBLE_EQ(3.12, StoredReal(VersionSetting));
  SYSTEMTIME now;
  GetLocalTime(&now);
  double today = 0;
  SystemTimeToVariantTime(&now, &today);
  EXPECT_EQ(static_cast<int>(today), static_cast<int>(StoredReal(InstallDateSetting) + 0.5));
}

void ExpectUninstallEntryAndFileTypesFor(const std::wstring& Drive) {
  EXPECT_EQ(L"Mirpan", RegText(HKEY_LOCAL_MACHINE, UninstallKey, L"DisplayName"));
  EXPECT_EQ(Drive + L"\\Norvasto\\Mirpan\\Bin\\UnInstallMrp4R.exe",
            RegText(HKEY_LOCAL_MACHINE, UninstallKey, L"UninstallString"));
  EXPECT_EQ(Drive + L"\\Norvasto\\Mirpan\\Bin\\Mirpan.exe",
            RegText(HKEY_LOCAL_MACHINE, UninstallKey, L"DisplayIcon"));
  const std::pair<const wchar_t*, const wchar_t*> types[] = {
      {L".QRP", L"QrpViewer"}, {L".SQL", L"SqlViewer"}, {L".NS", L"NSViewer"}};
  for (const auto& [ext, progId] : types) EXPECT_EQ(progId, RegText(HKEY_CLASSES_ROOT, ext, L""));
  EXPECT_EQ(L"\"" + Drive + L"\\Norvasto\\viewers\\viewer.exe\" \"%1\"",
            RegText(HKEY_CLASSES_ROOT, L"QrpViewer\\shell\\open\\command", L""));
}

void ExpectLinksAndWallpaperFor(const std::wstring& Drive, const std::wstring& Desktop,
                                const std::wstring& StartMenu) {
  const std::wstring program = Drive + L"\\Norvasto\\Mirpan\\Bin\\Mirpan.exe";
  EXPECT_EQ(program, LinkTarget(Desktop + L"\\Mirpan.lnk"));
  EXPECT_EQ(program, LinkTarget(StartMenu + L"\\Mirpan.lnk"));
  EXPECT_EQ(Drive + L"\\Norvasto\\Mirpan\\Bin\\NovsWallpaper.bmp",
            RegText(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"Wallpaper"));
  EXPECT_EQ(L"1", RegText(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"StretchWallpaper"));
}

void ExpectDemoProductIn(const std::wstring& Product) {
  EXPECT_TRUE(TestFiles::FileBytes(BuildFolder(L"demo\\Mirpan.exe")) ==
              TestFiles::FileBytes(Product + L"Bin\\Mirpan.exe"));
  for (const wchar_t* name :
       {L"Bin\\MirpanFolder.ico", L"Bin\\NovsFolder.ico", L"Bin\\NovsWallpaper.bmp",
        L"UserData\\UserData.mdb", L"HELP\\ReadMe.txt", L"Application Data\\ReadMe.txt",
        L"ClientSql\\ReadMe.txt"})
    EXPECT_TRUE(TestFiles::FileThere(Product + name)) << Cp1255FromWide(name);
}

void ExpectFolderIconsBelow(const std::wstring& Root) {
  const std::wstring productIni = Root + L"Norvasto\\Mirpan\\desktop.ini";
  const std::wstring makerIni = Root + L"Norvasto\\desktop.ini";
  EXPECT_EQ(Root + L"norvasto\\Mirpan\\bin\\MirpanFolder.ico",
            IniText(productIni, L".ShellClassInfo", L"IconFile"));
  EXPECT_EQ(L"0", IniText(productIni, L".ShellClassInfo", L"IconIndex"));
  EXPECT_EQ(L"Mirpan Folder", IniText(productIni, L".ShellClassInfo", L"InfoTip"));
  EXPECT_EQ(Root + L"norvasto\\Mirpan\\bin\\NovsFolder.ico",
            IniText(makerIni, L".ShellClassInfo", L"IconFile"));
  EXPECT_EQ(L"0", IniText(makerIni, L".ShellClassInfo", L"IconIndex"));
  EXPECT_EQ(L"Norvasto Folder", IniText(makerIni, L".ShellClassInfo", L"InfoTip"));
  for (const std::wstring& folder : {Root + L"Norvasto", Root + L"Norvasto\\Mirpan"})
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY),
              GetFileAttributesW(folder.c_str()))
        << Cp1255FromWide(folder);
}

}  // namespace InstallTest
