// The finishing sequence on a scratch drive, read back from the registry, the links, the
// desktop.ini files and the folder attributes it leaves.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h, which they need
#include <objbase.h>

#include "InstallTestSupport.h"
#include "InstalledState.h"
#include "framework/IniFile.h"
#include "framework/Text.h"
#include "wizard/install/FinishingSequence.h"
#include "wizard/install/InstallRecord.h"

using namespace InstallTest;

namespace {

// Desktop and Start Menu on the scratch drive, so links land where the test can see them.
class FinishingSequence : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    ClearScratch();
    RedirectShellFolders(Desktop(), StartMenu());
    ForgetInstallation();
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
  EXPECT_EQ(DateOfToday(), FRec.InstallDate);
  ExpectSettingsKeyFor(Drive());
  ExpectUninstallEntryAndFileTypesFor(Drive());
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
  WriteBytes(makerIni,
             "[.ShellClassInfo]\r\nConfirmFileOp=0\r\nIconIndex=7\r\n[Other]\r\nKept=yes\r\n");
  SetFileAttributesW((Root() + L"Norvasto").c_str(), FILE_ATTRIBUTE_READONLY);
  SetFolderIcons(FChoices);

  ExpectFolderIconsBelow(Root());
  EXPECT_EQ(L"0", IniText(makerIni, L".ShellClassInfo", L"ConfirmFileOp"));
  EXPECT_EQ(L"yes", IniText(makerIni, L"Other", L"Kept"));
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
