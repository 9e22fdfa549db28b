// The archive steps of local mode on a scratch drive: the demo parts, existing user data and its
// backup, a file kept despite its failed check, a pass that raises, a missing part, leaving
// mid-way, the log's place.
// The program as a whole meets damaged parts and both answers in the end-to-end tests.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h, which it needs
#include <sddl.h>

#include <algorithm>

#include "InstallTestSupport.h"
#include "InstalledState.h"
#include "framework/Exception.h"
#include "framework/StringList.h"
#include "framework/Text.h"
#include "tools/MirpanProduct.h"
#include "tools/ProtectedFolder.h"
#include "wizard/install/ArchiveInstall.h"
#include "wizard/install/ArchivePass.h"

using namespace InstallTest;

namespace {

const std::wstring BackupCaption = L"גיבוי נתוני חברה לעבודה";
const std::wstring NotAllInstalled = L"לפחות אחד הרכיבים לא הותקן בהצלחה.\r\nאיתך הסליחה.\r\n";

std::string Describe(const std::vector<TSeenDialog>& Seen) {
  std::string text;
  for (const TSeenDialog& dialog : Seen)
    text += Utf8FromU16(std::u16string(dialog.Caption.begin(), dialog.Caption.end())) + ": " +
            Utf8FromU16(std::u16string(dialog.Text.begin(), dialog.Text.end())) + "\n";
  return text;
}

class ArchiveInstall : public ::testing::Test {
 protected:
  void SetUp() override { ClearScratch(); }
  void TearDown() override { ClearScratch(); }

  // An installer wired to the host form, taking its parts from PartsFolder.
  TArchiveInstaller& Installer(const std::wstring& PartsFolder) {
    TArchiveInstallContext context;
    context.DriveRoot = [] { return ScratchRoot(); };
    context.SetupFolder = PartsFolder;
    context.LSubject = FHost.LSubject;
    context.Label21 = FHost.Label21;
    context.LFileName = FHost.LFileName;
    context.pbProgress = FHost.pbProgress;
    // Asked at every progress report of the archiver, so a test can act mid-pass here.
    context.ExitRequested = [this] { return FAtProgress ? FAtProgress() : FExitRequested; };
    context.RefreshMainForm = [this] { ++FRefreshes; };
    FInstaller.reset(new TArchiveInstaller(context));
    return *FInstaller;
  }

  std::wstring Product() const { return ScratchProduct(); }
  std::wstring DemoParts() const { return BuildFolder(L"bin"); }
  std::wstring Damaged(const wchar_t* Defect) const {
    return BuildFolder(L"tests/install/test-parts/") + Defect;
  }

  // Folders beside UserData that hold a copy of the user's data.
  std::vector<std::wstring> Backups() const {
    std::vector<std::wstring> found;
    for (const std::wstring& name : FolderEntries(Product()))
      if (name != L"UserData" && FileBytes(Product() + name + L"\\UserData.mdb") == PlantedUserData)
        found.push_back(name);
    return found;
  }

  THostForm FHost;
  bool FExitRequested = false;
  std::function<bool()> FAtProgress;
  int FRefreshes = 0;
  std::unique_ptr<TArchiveInstaller> FInstaller;
};

}  // namespace

TEST_F(ArchiveInstall, DemoPartsGoInWholeWithoutAWord) {
  TArchiveInstaller& installer = Installer(DemoParts());
  TDialogAnswerer answerer;
  installer.InstallFromLocalArchives();
  EXPECT_TRUE(answerer.Seen().empty()) << Describe(answerer.Seen());
  EXPECT_TRUE(installer.AllInstalled);
  ExpectDemoProductIn(Product());
  EXPECT_EQ(L"התקנה ורישום המערכת", FHost.LSubject->Caption());
  EXPECT_TRUE(FHost.Label21->Visible());
  EXPECT_EQ(100, FHost.pbProgress->Position());
  EXPECT_FALSE(FileThere(Product() + L"Install.log")) << "local mode keeps no log";
  EXPECT_FALSE(FileThere(ScratchRoot() + L"Install.log"));
}

TEST_F(ArchiveInstall, ExistingUserDataKeptOnTheDefaultAnswerAndBackedUpBeside) {
  PlantUserData();
  TArchiveInstaller& installer = Installer(DemoParts());
  TDialogAnswerer answerer(TDialogAnswerer::PressEnter);
  installer.InstallFromLocalArchives();
  ASSERT_EQ(1u, answerer.Seen().size());
  EXPECT_EQ(BackupCaption, answerer.Seen()[0].Caption);
  EXPECT_EQ(
      L"תוכנת ההתקנה זיהתה, שקיימים נתונים\r\nבחברה לעבודה (חברה מספר 1).\r\n"
      L"תוכנת ההתקנה יצרה עותק של מחיצת החברה לעבודה\r\nושמרה אותו ב-" +
          Product() +
          L"\r\nהאם לדרוס את הנתונים בחברה לעבודה,\r\nולהחליפם בחברה לעבודה חדשה (ריקה) ?",
      answerer.Seen()[0].Text);
  EXPECT_EQ(PlantedUserData, FileBytes(Product() + L"UserData\\UserData.mdb"));
  EXPECT_EQ(1u, Backups().size());
  EXPECT_TRUE(FileThere(Product() + L"Bin\\Mirpan.exe")) << "the first part goes in whole";
  EXPECT_TRUE(installer.AllInstalled);
  EXPECT_GE(FRefreshes, 1);
}

TEST_F(ArchiveInstall, FileKeptDespiteItsCrcStillCountsAsNotInstalled) {
  TArchiveInstaller& installer = Installer(Damaged(L"crc-mismatch"));
  // As after a run that raised an error: damaged files now stay on disk.
  installer.zipArchiver.SetExtractCorruptedFiles(true);
  TDialogAnswerer answerer;
  installer.InstallFromLocalArchives();
  EXPECT_TRUE(FileThere(Product() + L"HELP\\ReadMe.txt"));
  EXPECT_FALSE(installer.AllInstalled);
  ASSERT_EQ(1u, answerer.Seen().size());
  EXPECT_EQ(L"התקנת Mirpan", answerer.Seen()[0].Caption);
  EXPECT_EQ(NotAllInstalled, answerer.Seen()[0].Text);
}

TEST_F(ArchiveInstall, GoodPartsPassTheCheckOfKeptFiles) {
  TArchiveInstaller& installer = Installer(DemoParts());
  installer.zipArchiver.SetExtractCorruptedFiles(true);
  TDialogAnswerer answerer;
  installer.InstallFromLocalArchives();
  EXPECT_TRUE(installer.AllInstalled);
  EXPECT_TRUE(answerer.Seen().empty());
}

// A maker's folder that cannot be made the administrators' stops the installation before
// anything is written; here a file stands in its place.
TEST_F(ArchiveInstall, MakersFolderThatCannotBeSecuredStopsTheInstallation) {
  const std::wstring maker = ScratchRoot() + MirpanProduct::MakerFolder;
  WriteBytes(maker, "not a folder");
  TArchiveInstaller& installer = Installer(DemoParts());
  TDialogAnswerer answerer;
  installer.InstallFromLocalArchives();
  EXPECT_FALSE(installer.AllInstalled);
  EXPECT_FALSE(installer.ProductFolderExists());
  ASSERT_EQ(1u, answerer.Seen().size()) << Describe(answerer.Seen());
  EXPECT_EQ(L"תוכנת ההתקנה לא הצליחה לקבוע את הרשאות " + maker + L".\r\nההתקנה הופסקה.\r\n",
            answerer.Seen()[0].Text);
  EXPECT_EQ(std::vector<std::wstring>{MirpanProduct::MakerFolder}, FolderEntries(ScratchRoot()));
}

// Which folders found at the drive root are taken over: any that someone besides the
// administrators may change, or that inherits from the root.
TEST(MakersFolderRights, OnlyAnAdministratorsOnlyFolderIsLeftAsItIs) {
  struct TCase {
    const wchar_t* Rights;
    bool LeftAsItIs;
  } cases[] = {
      {L"O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)", true},
      {L"O:SYD:P(A;OICI;FA;;;BA)(D;;FA;;;WD)", true},
      {L"O:BUD:P(A;OICI;FA;;;BA)", false},                        // a user's own folder
      {L"O:BAD:(A;OICI;FA;;;BA)", false},                         // inherits from the root
      {L"O:BAD:P(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;AU)", false},  // users may modify
      {L"O:BAD:P(A;OICI;FA;;;BA)(A;;WD;;;WD)", false},            // anyone may change its rights
      {L"O:BA", false},                                           // no list: open to all
  };
  for (const TCase& test : cases) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(test.Rights, SDDL_REVISION_1,
                                                                     &descriptor, nullptr));
    EXPECT_EQ(test.LeftAsItIs, OnlyAdministratorsMayChange(descriptor))
        << Utf8FromU16(std::u16string(test.Rights, test.Rights + wcslen(test.Rights)));
    LocalFree(descriptor);
  }
}

TEST_F(ArchiveInstall, MissingPartAnswersFalse) {
  TArchiveInstaller& installer = Installer(DemoParts());
  TDialogAnswerer answerer;
  EXPECT_FALSE(installer.ExtractArchive(ScratchRoot() + L"MirpanN9.zip", true));
  ASSERT_EQ(1u, answerer.Seen().size());
  EXPECT_EQ(0u, answerer.Seen()[0].Text.find(L"הרכיב " + ScratchRoot() + L"MirpanN9.zip פגום."));
}

// Whoever can write where the part lies must not write, rename or delete it while it is
// held, from its check to the end of its extraction.
TEST_F(ArchiveInstall, PartCannotBeSwappedWhileItIsExtracted) {
  TArchiveInstaller& installer = Installer(DemoParts());
  const std::wstring part = ScratchRoot() + L"MirpanN1.zip";
  ASSERT_TRUE(CopyFileW((DemoParts() + L"\\MirpanN1.zip").c_str(), part.c_str(), FALSE));
  int swaps = 0, tries = 0;
  FAtProgress = [&] {
    if (tries++ > 0) return false;
    HANDLE writer = CreateFileW(part.c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (writer != INVALID_HANDLE_VALUE) ++swaps, CloseHandle(writer);
    if (MoveFileW(part.c_str(), (part + L".old").c_str())) ++swaps;
    if (DeleteFileW(part.c_str())) ++swaps;
    return false;
  };
  TDialogAnswerer answerer;
  EXPECT_TRUE(installer.ExtractArchive(part, true));
  EXPECT_GT(tries, 0);
  EXPECT_EQ(0, swaps);
}

TEST_F(ArchiveInstall, LeavingStopsThePassWithoutAFailure) {
  TArchiveInstaller& installer = Installer(DemoParts());
  FExitRequested = true;
  TDialogAnswerer answerer;
  EXPECT_TRUE(installer.ExtractArchive(DemoParts() + L"\\MirpanN1.zip", true));
  EXPECT_TRUE(installer.AllInstalled);
  EXPECT_FALSE(FileThere(Product() + L"Bin\\NovsWallpaper.bmp"));
  EXPECT_TRUE(answerer.Seen().empty());
}

TEST_F(ArchiveInstall, LogGoesToTheProductFolderElseTheDriveRoot) {
  TArchiveInstaller& installer = Installer(DemoParts());
  TStringList log;
  log.Add("Downloading file MirpanN1.zip----> Failed");
  log.Add("Installing file MirpanN1.zip----> Not Installed.");
  installer.SaveInstallLog(log);
  const std::string expected =
      "Downloading file MirpanN1.zip----> Failed\r\n"
      "Installing file MirpanN1.zip----> Not Installed.\r\n";
  EXPECT_EQ(expected, FileBytes(ScratchRoot() + L"Install.log"));
  PlantUserData();
  installer.SaveInstallLog(log);
  EXPECT_EQ(expected, FileBytes(Product() + L"Install.log"));
}

// A pass that raises is run once more with damaged files kept, and that setting stays for
// the rest of the run; a second raise fails the part and keeps why.
TEST_F(ArchiveInstall, PassThatRaisesIsRunOnceMoreKeepingDamagedFiles) {
  TArchiveInstaller& installer = Installer(DemoParts());
  int raises = 1;
  FAtProgress = [&] {
    if (raises > 0 && raises--) throw Exception("The drive went away");
    return false;
  };
  TDialogAnswerer answerer;
  installer.InstallFromLocalArchives();
  EXPECT_TRUE(answerer.Seen().empty()) << Describe(answerer.Seen());
  EXPECT_TRUE(installer.zipArchiver.ExtractCorruptedFiles());
  EXPECT_TRUE(installer.AllInstalled);
  EXPECT_TRUE(FileThere(Product() + L"Bin\\Mirpan.exe"));
  EXPECT_TRUE(FileThere(Product() + L"UserData\\UserData.mdb"));

  raises = 2;
  EXPECT_FALSE(installer.ExtractArchive(DemoParts() + L"\\MirpanN1.zip", true));
  EXPECT_FALSE(installer.AllInstalled);
  EXPECT_EQ("The drive went away", installer.LastFailure());
}
// Leaving in the middle of a file, with damaged files kept, removes that file; it is not a
// file that failed, so no notice follows the user's choice to leave.
TEST_F(ArchiveInstall, LeavingMidFileWithDamagedFilesKeptShowsNoNotice) {
  TArchiveInstaller& installer = Installer(Damaged(L"long-extraction"));
  installer.zipArchiver.SetExtractCorruptedFiles(true);
  FAtProgress = [this] {
    const int done = FHost.pbProgress->Position();
    FExitRequested = FExitRequested ||
                     (FHost.LFileName->Caption() == L"Bin\\Archive.dat" && done > 0 && done < 100);
    return FExitRequested;
  };
  TDialogAnswerer answerer;
  installer.InstallFromLocalArchives();
  ASSERT_TRUE(FExitRequested);
  EXPECT_FALSE(FileThere(Product() + L"Bin\\Archive.dat"));
  EXPECT_TRUE(answerer.Seen().empty()) << Describe(answerer.Seen());
  EXPECT_TRUE(installer.AllInstalled);
}

TEST_F(ArchiveInstall, BackupThatFailsSaysSoAndTheDataIsKept) {
  PlantUserData();
  // Held open by another program, the data cannot be copied.
  HANDLE held = CreateFileW((Product() + L"UserData\\UserData.mdb").c_str(), GENERIC_READ, 0,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  TArchiveInstaller& installer = Installer(DemoParts());
  TDialogAnswerer answerer(TDialogAnswerer::PressEnter);
  installer.InstallFromLocalArchives();
  CloseHandle(held);
  ASSERT_EQ(1u, answerer.Seen().size()) << Describe(answerer.Seen());
  EXPECT_NE(std::wstring::npos,
            answerer.Seen()[0].Text.find(
                L"שים לב !\r\nתוכנת ההתקנה לא הצליחה ליצור עותק של החברה לעבודה\r\n"))
      << Describe(answerer.Seen());
  EXPECT_EQ(PlantedUserData, FileBytes(Product() + L"UserData\\UserData.mdb"));
  EXPECT_TRUE(Backups().empty());
}

// Names Windows resolves to UserData stay out with it: short names are left out, names
// ending in a dot or a space fail; the file beside them comes out.
TEST_F(ArchiveInstall, NamesOfTheUserDataFolderStayOut) {
  PlantUserData();
  const std::wstring part = Damaged(L"userdata-aliases\\MirpanN1.zip");
  HANDLE handle =
      CreateFileW(part.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  std::vector<std::string> failed;
  {
    TArchivePass pass;
    pass.OnFileFailure = [&](const std::string& Name) { failed.push_back(Name); };
    pass.Open(handle, part, Product(), false);
    pass.Extract(false);
  }
  CloseHandle(handle);
  EXPECT_EQ(failed,
            (std::vector<std::string>{"UserData.\\UserData.mdb", "UserData \\UserData.mdb"}));
  EXPECT_EQ(FileBytes(Product() + L"kept.txt"), "replaced");
  EXPECT_EQ(PlantedUserData, FileBytes(Product() + L"UserData\\UserData.mdb"));
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((Product() + L"*").c_str(), &found);
  std::vector<std::wstring> names;
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
    if (found.cFileName[0] != L'.') names.push_back(found.cFileName);
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::wstring>{L"UserData", L"kept.txt"}));
}
