// Links, wallpaper, first-run marker and the ini-file error, read back from the files and the
// registry they went to.
#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "../support/TestFiles.h"
#include "RegistryProbe.h"
#include "framework/IniFile.h"
#include "framework/Text.h"
#include "tools/UinstTools.h"

using namespace TestFiles;

namespace {

// A scratch folder with its own desktop and Start Menu. Both folder tables are redirected:
// the shell rewrites "Shell Folders" from "User Shell Folders" whenever it looks a folder up,
// and the prefix's own desktop is the Unix home folder.
class ShellFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    wchar_t temp[MAX_PATH];
    FRoot = std::wstring(temp, GetTempPathW(MAX_PATH, temp)) + L"mirpan-tools-shell";
    RemoveTree(FRoot);
    CreateDirectoryW(FRoot.c_str(), nullptr);
    CreateDirectoryW(Desktop().c_str(), nullptr);
    for (const wchar_t* table : {L"Shell Folders", L"User Shell Folders"}) {
      for (const wchar_t* name : {L"Desktop", L"Start Menu"})
        FSaved.push_back(
            {Explorer + table, name, ReadRaw(HKEY_CURRENT_USER, Explorer + table, name)});
      WriteRawString(HKEY_CURRENT_USER, Explorer + table, L"Desktop", Desktop());
      WriteRawString(HKEY_CURRENT_USER, Explorer + table, L"Start Menu", StartMenu());
    }
  }
  void TearDown() override {
    for (const TSaved& saved : FSaved) {
      if (saved.Value.Found)
        RegSetKeyValueW(HKEY_CURRENT_USER, saved.Key.c_str(), saved.Name, saved.Value.Type,
                        saved.Value.Data.data(), static_cast<DWORD>(saved.Value.Data.size()));
      else
        RegDeleteKeyValueW(HKEY_CURRENT_USER, saved.Key.c_str(), saved.Name);
    }
    RemoveTree(FRoot);
    CoUninitialize();
  }

  std::wstring Desktop() const { return FRoot + L"\\Desktop"; }
  std::wstring StartMenu() const { return FRoot + L"\\Start Menu"; }  // not made in advance
  std::wstring FRoot;

 private:
  const std::wstring Explorer = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
  struct TSaved {
    std::wstring Key;
    const wchar_t* Name;
    TRawValue Value;
  };
  std::vector<TSaved> FSaved;
};

}  // namespace

TEST_F(ShellFiles, EverywhereMakesThreeEqualLinks) {
  std::wstring folder = FRoot + L"\\Programs";
  CreateDirectoryW(folder.c_str(), nullptr);
  std::string name = "\xEE\xE9\xF8\xF4\xEF";  // a Hebrew link name
  CreateShortcut("C:\\Norvasto\\Mirpan\\Bin\\Mirpan.exe", Cp1255FromWide(folder), "/quiet",
                 ShortcutEverywhere, name);
  std::wstring file = L"\\" + WideFromCp1255(name) + L".lnk";
  for (const std::wstring& where : {Desktop(), StartMenu(), folder}) {
    SCOPED_TRACE(Cp1255FromWide(where));
    ASSERT_TRUE(FileThere(where + file));
    TLinkContent link = ReadLink(where + file);
    EXPECT_EQ(L"C:\\Norvasto\\Mirpan\\Bin\\Mirpan.exe", link.Path);
    EXPECT_EQ(L"/quiet", link.Arguments);
    EXPECT_EQ(L"C:\\Norvasto\\Mirpan\\Bin\\", link.WorkingDirectory);
    EXPECT_EQ(L"C:\\Norvasto\\Mirpan\\Bin\\Mirpan.exe", link.IconFile);
    EXPECT_EQ(0, link.IconIndex);
  }
}

TEST_F(ShellFiles, OnePlaceOnlyAndNoLinkInAMissingFolder) {
  std::wstring missing = FRoot + L"\\not-there";
  CreateShortcut("D:\\Mirpan.exe", Cp1255FromWide(missing), "", ShortcutInFolder, "Mirpan");
  CreateShortcut("D:\\Mirpan.exe", "", "", ShortcutOnDesktop, "Mirpan");
  EXPECT_FALSE(FileThere(missing + L"\\Mirpan.lnk"));
  EXPECT_TRUE(FileThere(Desktop() + L"\\Mirpan.lnk"));
  EXPECT_FALSE(FolderThere(StartMenu()));
}

TEST_F(ShellFiles, FirstTimeMarkerWithOrWithoutBackslashOverwrites) {
  for (const std::wstring& folder : {FRoot, FRoot + L"\\"}) {
    HANDLE old = CreateFileW((FRoot + L"\\firstTime.dat").c_str(), GENERIC_WRITE, 0, nullptr,
                             CREATE_ALWAYS, 0, nullptr);
    DWORD written;
    WriteFile(old, "an older, longer marker text", 28, &written, nullptr);
    CloseHandle(old);
    WriteFirstTimeMarker(Cp1255FromWide(folder));
    EXPECT_EQ("Vantore is still new\r\n", FileBytes(FRoot + L"\\firstTime.dat"));
  }
}

TEST_F(ShellFiles, IniFileInAMissingFolderRaisesUnableToWrite) {
  std::wstring name = FRoot + L"\\not-there\\desktop.ini";
  TIniFile ini(name);
  try {
    ini.WriteString(L".ShellClassInfo", L"IconIndex", L"0");
    ADD_FAILURE() << "no exception";
  } catch (const EIniFileException& error) {
    EXPECT_EQ("Unable to write to " + Cp1255FromWide(name), error.Message());
  }
}

TEST(Wallpaper, BothValuesAreWrittenAndTheSystemAccepts) {
  EXPECT_TRUE(SetDesktopWallpaper("D:\\Norvasto\\Mirpan\\Bin\\NovsWallpaper.bmp", 1));
  TRawValue wallpaper = ReadRaw(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"Wallpaper");
  TRawValue stretch = ReadRaw(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"StretchWallpaper");
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), wallpaper.Type);
  EXPECT_EQ(L"D:\\Norvasto\\Mirpan\\Bin\\NovsWallpaper.bmp", wallpaper.Text());
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), stretch.Type);
  EXPECT_EQ(L"1", stretch.Text());
}
