// The finishing sequence on a scratch drive, read back from the registry, the links, the
// desktop.ini files and the folder attributes it leaves.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h, which they need
#include <objbase.h>
#include <shlobj.h>

#include "InstallTestSupport.h"
#include "framework/IniFile.h"
#include "framework/Text.h"
#include "wizard/install/FinishingSequence.h"
#include "wizard/install/InstallRecord.h"

using namespace InstallTest;

namespace {

const std::wstring SettingsKey = L"Software\\Norvasto Software\\Mirpan";
const std::wstring UninstallKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Mirpan";
const std::wstring Explorer = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";

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

// Braces around groups of four digits, each a byte plus the value's offset.
std::string Decode(const std::wstring& Stored, int Offset) {
  std::string bytes;
  if (Stored.size() < 2 || Stored.front() != L'{' || Stored.back() != L'}') return "(not braced)";
  for (std::size_t at = 1; at + 4 < Stored.size(); at += 4)
    bytes += static_cast<char>(std::stoi(Stored.substr(at, 4)) - Offset);
  return bytes;
}

double StoredReal(const wchar_t* Name) {
  double value = 0;
  DWORD size = sizeof value;
  RegGetValueW(HKEY_LOCAL_MACHINE, SettingsKey.c_str(), Name, RRF_RT_REG_BINARY, nullptr, &value,
               &size);
  return value;
}

std::wstring LinkTarget(const std::wstring& FileName) {
  std::wstring target = L"(unreadable)";
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                   reinterpret_cast<void**>(&link));
  if (link) link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  wchar_t text[MAX_PATH];
  if (file && SUCCEEDED(file->Load(FileName.c_str(), STGM_READ)) &&
      SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH)))
    target = text;
  if (file) file->Release();
  if (link) link->Release();
  return target;
}

std::wstring IniText(const std::wstring& File, const wchar_t* Section, const wchar_t* Key) {
  wchar_t text[512];
  GetPrivateProfileStringW(Section, Key, L"(none)", text, 512, File.c_str());
  return text;
}

// Desktop and Start Menu on the scratch drive, so links land where the test can see them.
class FinishingSequence : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    ClearScratch();
    for (const wchar_t* table : {L"Shell Folders", L"User Shell Folders"}) {
      SetRegText(HKEY_CURRENT_USER, Explorer + table, L"Desktop", Desktop());
      SetRegText(HKEY_CURRENT_USER, Explorer + table, L"Start Menu", StartMenu());
    }
    CreateDirectoryW(Desktop().c_str(), nullptr);
    CreateDirectoryW(StartMenu().c_str(), nullptr);
    RemoveKey(HKEY_LOCAL_MACHINE, SettingsKey);
    RemoveKey(HKEY_LOCAL_MACHINE, UninstallKey);
    for (const wchar_t* ext : {L".QRP", L".SQL", L".NS"}) RemoveKey(HKEY_CLASSES_ROOT, ext);
    SetRegText(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"Wallpaper", L"before");

    TSysInfo sysInfo;
    InitInstallRecord(FRec, L"Mirpan", sysInfo);
    TPathRec paths;
    ApplyTargetDrive(FRec, paths, Root().substr(0, 2) + L"\\Norvasto\\Mirpan\\", true);
    FChoices.DriveRoot = Root();
    FChoices.ProductName = L"Mirpan";
  }
  void TearDown() override {
    ClearScratch();
    CoUninitialize();
  }

  std::wstring Root() const { return ScratchRoot(); }
  std::wstring Drive() const { return Root().substr(0, 2); }
  std::wstring Desktop() const { return Root() + L"Desktop"; }
  std::wstring StartMenu() const { return Root() + L"Start Menu"; }
  std::wstring Product() const { return Root() + L"Norvasto\\Mirpan\\"; }
  void MakeProductFolder() {
    CreateDirectoryW((Root() + L"Norvasto").c_str(), nullptr);
    CreateDirectoryW(Product().c_str(), nullptr);
    CreateDirectoryW((Product() + L"Bin").c_str(), nullptr);
  }

  TInstaltionRec FRec;
  TFinishingChoices FChoices;
};

}  // namespace

TEST_F(FinishingSequence, RegistersTheInstallationOnTheChosenDrive) {
  MakeProductFolder();
  FRec.InstallDate = 1;  // the registration step sets today's date
  RunFinishingSequence(FRec, FChoices);

  EXPECT_EQ("Vantore is still new\r\n", FileBytes(Product() + L"firstTime.dat"));
  const std::string drive = Cp1255FromWide(Drive());
  const std::pair<std::string, std::string> paths[] = {
      {"Program Main Directory", drive + "\\Norvasto\\Mirpan\\"},
      {"Application Files Path", drive + "\\Norvasto\\Mirpan\\Bin"},
      {"Application Userdata Path", drive + "\\Norvasto\\Mirpan\\UserData"},
      {"Application Viewers Path", drive + "\\Norvasto\\Viewers"},
      {"Application Help Path", "\\Norvasto\\Mirpan\\HELP"},
      {"Application DDF Path", "\\Norvasto\\DDF"},
      {"Application Sound Path", ""},
      {"Platform Type", "Windows NT"}};
  for (const auto& [name, expected] : paths) {
    int offset = -1;
    for (const TStringSetting& s : PathSettings)
      if (Cp1255FromWide(s.Scramble.Name) == name) offset = s.Scramble.Parameter;
    for (const TStringSetting& s : PlatformSettings)
      if (Cp1255FromWide(s.Scramble.Name) == name) offset = s.Scramble.Parameter;
    ASSERT_NE(-1, offset) << name;
    EXPECT_EQ(expected,
              Decode(RegText(HKEY_LOCAL_MACHINE, SettingsKey, WideFromCp1255(name)), offset))
        << name;
  }
  EXPECT_EQ(DateOfToday(), FRec.InstallDate);
  EXPECT_EQ(0u, RegText(HKEY_LOCAL_MACHINE, SettingsKey, L"Program Main Directory").find(L"{"));
  EXPECT_NE(0.0, StoredReal(VersionSetting.Name)) << "the version is stored";

  EXPECT_EQ(Drive() + L"\\Norvasto\\Mirpan\\Bin\\UnInstallMrp4R.exe",
            RegText(HKEY_LOCAL_MACHINE, UninstallKey, L"UninstallString"));
  EXPECT_EQ(L"Mirpan", RegText(HKEY_LOCAL_MACHINE, UninstallKey, L"DisplayName"));
  EXPECT_EQ(L"\"" + Drive() + L"\\Norvasto\\viewers\\viewer.exe\" \"%1\"",
            RegText(HKEY_CLASSES_ROOT, L"QrpViewer\\shell\\open\\command", L""));
  EXPECT_EQ(L"SqlViewer", RegText(HKEY_CLASSES_ROOT, L".SQL", L""));
  EXPECT_EQ(L"NSViewer", RegText(HKEY_CLASSES_ROOT, L".NS", L""));
}

TEST_F(FinishingSequence, BothBoxesTickedGiveTwoLinksAndTheWallpaper) {
  MakeProductFolder();
  RunFinishingSequence(FRec, FChoices);
  const std::wstring program = Drive() + L"\\Norvasto\\Mirpan\\Bin\\Mirpan.exe";
  EXPECT_EQ(program, LinkTarget(Desktop() + L"\\Mirpan.lnk"));
  EXPECT_EQ(program, LinkTarget(StartMenu() + L"\\Mirpan.lnk"));
  EXPECT_EQ(Drive() + L"\\Norvasto\\Mirpan\\Bin\\NovsWallpaper.bmp",
            RegText(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"Wallpaper"));
  EXPECT_EQ(L"1", RegText(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"StretchWallpaper"));
}

TEST_F(FinishingSequence, BothBoxesClearedLeaveLinksAndWallpaperAlone) {
  MakeProductFolder();
  FChoices.AddShortcut = false;
  FChoices.SetWallPaper = false;
  RunFinishingSequence(FRec, FChoices);
  EXPECT_FALSE(FileThere(Desktop() + L"\\Mirpan.lnk"));
  EXPECT_FALSE(FileThere(StartMenu() + L"\\Mirpan.lnk"));
  EXPECT_EQ(L"before", RegText(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"Wallpaper"));
  EXPECT_EQ(L"Mirpan", RegText(HKEY_LOCAL_MACHINE, UninstallKey, L"DisplayName"));
  EXPECT_TRUE(FileThere(Product() + L"desktop.ini"));
}

TEST_F(FinishingSequence, FolderIconsKeepOtherKeysAndMarkBothFoldersSystem) {
  MakeProductFolder();
  const std::wstring makerIni = Root() + L"Norvasto\\desktop.ini";
  const std::wstring productIni = Product() + L"desktop.ini";
  WriteBytes(makerIni,
             "[.ShellClassInfo]\r\nConfirmFileOp=0\r\nIconIndex=7\r\n[Other]\r\nKept=yes\r\n");
  SetFileAttributesW((Root() + L"Norvasto").c_str(), FILE_ATTRIBUTE_READONLY);
  SetFolderIcons(FChoices);

  EXPECT_EQ(Root() + L"norvasto\\Mirpan\\bin\\MirpanFolder.ico",
            IniText(productIni, L".ShellClassInfo", L"IconFile"));
  EXPECT_EQ(L"0", IniText(productIni, L".ShellClassInfo", L"IconIndex"));
  EXPECT_EQ(L"Mirpan Folder", IniText(productIni, L".ShellClassInfo", L"InfoTip"));
  EXPECT_EQ(Root() + L"norvasto\\Mirpan\\bin\\NovsFolder.ico",
            IniText(makerIni, L".ShellClassInfo", L"IconFile"));
  EXPECT_EQ(L"0", IniText(makerIni, L".ShellClassInfo", L"IconIndex"));
  EXPECT_EQ(L"Norvasto Folder", IniText(makerIni, L".ShellClassInfo", L"InfoTip"));
  EXPECT_EQ(L"0", IniText(makerIni, L".ShellClassInfo", L"ConfirmFileOp"));
  EXPECT_EQ(L"yes", IniText(makerIni, L"Other", L"Kept"));

  for (const std::wstring& folder : {Root() + L"Norvasto", Product()}) {
    DWORD attributes = GetFileAttributesW(folder.c_str());
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY), attributes)
        << Cp1255FromWide(folder);
  }
}

TEST_F(FinishingSequence, MissingProductFolderEndsTheSequenceAtTheFirstIcon) {
  TDialogAnswerer answerer;  // the marker cannot be written either and says so
  try {
    RunFinishingSequence(FRec, FChoices);
    ADD_FAILURE() << "no exception";
  } catch (const EIniFileException& error) {
    EXPECT_EQ("Unable to write to " + Cp1255FromWide(Root()) + "norvasto\\Mirpan\\desktop.ini",
              error.Message());
  }
  ASSERT_EQ(1u, answerer.Seen().size());
  EXPECT_EQ(L"התקנת מערכת", answerer.Seen()[0].Caption);
  EXPECT_EQ(L"Mirpan", RegText(HKEY_LOCAL_MACHINE, UninstallKey, L"DisplayName"))
      << "the steps before the icons ran";
  EXPECT_FALSE(FileThere(Root() + L"Norvasto\\desktop.ini")) << "the steps after did not";
}
