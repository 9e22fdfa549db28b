// Links, wallpaper, first-run marker and ini files, read back from the files and the registry
// they went to.
#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "RegistryProbe.h"
#include "framework/IniFile.h"
#include "framework/Text.h"
#include "tools/UinstTools.h"

namespace {

const wchar_t ShellFolders[] =
    L"Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const wchar_t UserShellFolders[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

bool FileThere(const std::wstring& Name) {
  return GetFileAttributesW(Name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string FileBytes(const std::wstring& Name) {
  HANDLE file =
      CreateFileW(Name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes(4096, '\0');
  DWORD got = 0;
  ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
  CloseHandle(file);
  bytes.resize(got);
  return bytes;
}

void PutFile(const std::wstring& Name, const std::string& Bytes) {
  HANDLE file = CreateFileW(Name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, Bytes.data(), static_cast<DWORD>(Bytes.size()), &written, nullptr);
  CloseHandle(file);
}

void RemoveTree(const std::wstring& Folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((Folder + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = Folder + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path);
      else
        DeleteFileW(path.c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(Folder.c_str());
}

struct TLinkContent {
  std::wstring Path, Arguments, WorkingDirectory, IconFile;
  int IconIndex = -1;
};

TLinkContent ReadLink(const std::wstring& FileName) {
  TLinkContent content;
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  EXPECT_EQ(S_OK, CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)));
  if (!link) return content;
  link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  if (file && SUCCEEDED(file->Load(FileName.c_str(), STGM_READ))) {
    wchar_t text[MAX_PATH];
    if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH))) content.Path = text;
    if (SUCCEEDED(link->GetArguments(text, MAX_PATH))) content.Arguments = text;
    if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH))) content.WorkingDirectory = text;
    if (SUCCEEDED(link->GetIconLocation(text, MAX_PATH, &content.IconIndex)))
      content.IconFile = text;
  }
  if (file) file->Release();
  link->Release();
  return content;
}

// A scratch folder with its own desktop and Start Menu for the test. Both folder tables are
// redirected: the shell rewrites "Shell Folders" from "User Shell Folders" whenever it looks a
// folder up, and the prefix's own desktop is the Unix home folder.
class ShellFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    FRoot = std::wstring(temp) + L"mirpan-tools-shell";
    RemoveTree(FRoot);
    CreateDirectoryW(FRoot.c_str(), nullptr);
    CreateDirectoryW(Desktop().c_str(), nullptr);
    for (const wchar_t* table : {ShellFolders, UserShellFolders}) {
      for (const wchar_t* name : {L"Desktop", L"Start Menu"}) {
        FSaved.push_back({table, name, ReadRaw(HKEY_CURRENT_USER, table, name)});
      }
      WriteRawString(HKEY_CURRENT_USER, table, L"Desktop", Desktop());
      WriteRawString(HKEY_CURRENT_USER, table, L"Start Menu", StartMenu());
    }
  }
  void TearDown() override {
    for (const TSaved& saved : FSaved) Restore(saved);
    RemoveTree(FRoot);
    CoUninitialize();
  }

  std::wstring Desktop() const { return FRoot + L"\\Desktop"; }
  std::wstring StartMenu() const { return FRoot + L"\\Start Menu"; }  // not made in advance
  std::wstring Root() const { return FRoot; }

 private:
  struct TSaved {
    const wchar_t* Table;
    const wchar_t* Name;
    TRawValue Value;
  };

  static void Restore(const TSaved& Saved) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Saved.Table, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
      return;
    if (Saved.Value.Found)
      RegSetValueExW(key, Saved.Name, 0, Saved.Value.Type, Saved.Value.Data.data(),
                     static_cast<DWORD>(Saved.Value.Data.size()));
    else
      RegDeleteValueW(key, Saved.Name);
    RegCloseKey(key);
  }

  std::wstring FRoot;
  std::vector<TSaved> FSaved;
};

}  // namespace

TEST_F(ShellFiles, EverywhereMakesThreeEqualLinks) {
  std::wstring folder = Root() + L"\\Programs";
  CreateDirectoryW(folder.c_str(), nullptr);
  std::string target = "C:\\Norvasto\\Mirpan\\Bin\\Mirpan.exe";
  std::string name = "\xEE\xE9\xF8\xF4\xEF";  // a Hebrew link name
  CreateShortcut(target, Cp1255FromWide(folder), "/quiet", ShortcutEverywhere, name);

  std::wstring file = WideFromCp1255(name) + L".lnk";
  for (const std::wstring& where : {Desktop(), StartMenu(), folder}) {
    SCOPED_TRACE(Cp1255FromWide(where));
    ASSERT_TRUE(FileThere(where + L"\\" + file));
    TLinkContent link = ReadLink(where + L"\\" + file);
    EXPECT_EQ(L"C:\\Norvasto\\Mirpan\\Bin\\Mirpan.exe", link.Path);
    EXPECT_EQ(L"/quiet", link.Arguments);
    EXPECT_EQ(L"C:\\Norvasto\\Mirpan\\Bin\\", link.WorkingDirectory);
    EXPECT_EQ(L"C:\\Norvasto\\Mirpan\\Bin\\Mirpan.exe", link.IconFile);
    EXPECT_EQ(0, link.IconIndex);
  }
}

TEST_F(ShellFiles, EachPlaceAloneAndAMissingFolderGivesNoLink) {
  std::string target = "D:\\Norvasto\\Mirpan\\Bin\\Mirpan.exe";
  std::wstring missing = Root() + L"\\not-there";
  CreateShortcut(target, Cp1255FromWide(missing), "", ShortcutInFolder, "Mirpan");
  EXPECT_FALSE(FileThere(missing + L"\\Mirpan.lnk"));
  EXPECT_FALSE(FileThere(Desktop() + L"\\Mirpan.lnk"));

  CreateShortcut(target, "", "", ShortcutOnDesktop, "Mirpan");
  EXPECT_TRUE(FileThere(Desktop() + L"\\Mirpan.lnk"));
  EXPECT_FALSE(FileThere(StartMenu() + L"\\Mirpan.lnk"));

  CreateShortcut(target, "", "", ShortcutInStartMenu, "Mirpan");
  EXPECT_TRUE(FileThere(StartMenu() + L"\\Mirpan.lnk")) << "the Start Menu folder is made";
  EXPECT_EQ(L"D:\\Norvasto\\Mirpan\\Bin\\",
            ReadLink(StartMenu() + L"\\Mirpan.lnk").WorkingDirectory);
}

TEST_F(ShellFiles, FirstTimeMarkerWithOrWithoutBackslashOverwrites) {
  std::wstring marker = Root() + L"\\firstTime.dat";
  PutFile(marker, "an older and much longer marker text\r\n");
  WriteFirstTimeMarker(Cp1255FromWide(Root()));
  EXPECT_EQ("Vantore is still new\r\n", FileBytes(marker));
  DeleteFileW(marker.c_str());
  WriteFirstTimeMarker(Cp1255FromWide(Root() + L"\\"));
  EXPECT_EQ("Vantore is still new\r\n", FileBytes(marker));
}

TEST(Wallpaper, BothValuesAreWrittenAndTheSystemAccepts) {
  EXPECT_TRUE(SetDesktopWallpaper("D:\\Norvasto\\Mirpan\\Bin\\NovsWallpaper.bmp", 1));
  TRawValue wallpaper = ReadRaw(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"Wallpaper");
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), wallpaper.Type);
  EXPECT_EQ(L"D:\\Norvasto\\Mirpan\\Bin\\NovsWallpaper.bmp", wallpaper.Text());
  TRawValue stretch = ReadRaw(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"StretchWallpaper");
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), stretch.Type);
  EXPECT_EQ(L"1", stretch.Text());
  SetDesktopWallpaper("", 0);
  EXPECT_EQ(L"0",
            ReadRaw(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"StretchWallpaper").Text());
}

TEST_F(ShellFiles, IniFileKeepsWhatItIsNotTold) {
  std::wstring name = Root() + L"\\desktop.ini";
  PutFile(name, "[Other]\r\nKeep=yes\r\n[.ShellClassInfo]\r\nInfoTip=old\r\nConfirm=0\r\n");
  {
    TIniFile ini(name);
    ini.WriteString(L".ShellClassInfo", L"IconFile",
                    L"D:\\norvasto\\Mirpan\\bin\\MirpanFolder.ico");
    ini.WriteString(L".ShellClassInfo", L"InfoTip", L"Mirpan Folder");
    ini.UpdateFile();
  }
  TIniFile check(name);
  EXPECT_EQ(L"yes", check.ReadString(L"Other", L"Keep", L""));
  EXPECT_EQ(L"0", check.ReadString(L".ShellClassInfo", L"Confirm", L""));
  EXPECT_EQ(L"Mirpan Folder", check.ReadString(L".ShellClassInfo", L"InfoTip", L""));
  EXPECT_EQ(L"D:\\norvasto\\Mirpan\\bin\\MirpanFolder.ico",
            check.ReadString(L".ShellClassInfo", L"IconFile", L""));
  EXPECT_EQ(L"none", check.ReadString(L".ShellClassInfo", L"IconIndex", L"none"));
}

TEST_F(ShellFiles, IniFileInAMissingFolderRaisesUnableToWrite) {
  std::wstring name = Root() + L"\\not-there\\desktop.ini";
  TIniFile ini(name);
  try {
    ini.WriteString(L".ShellClassInfo", L"IconIndex", L"0");
    FAIL() << "no exception";
  } catch (const EIniFileException& error) {
    EXPECT_EQ("Unable to write to " + Cp1255FromWide(name), error.Message());
  }
}
