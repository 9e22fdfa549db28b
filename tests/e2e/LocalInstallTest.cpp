// The real SetUp.exe in local mode, driven from outside onto a Wine drive backed by a scratch
// folder: the whole road to the final page, existing user data with both answers, and
// damaged parts; each read back from the tree, the registry, the links and the files.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h, which it needs
#include <objbase.h>

#include <cstdlib>

#include "../install/InstallTestSupport.h"
#include "../install/InstalledState.h"
#include "SetUpDriver.h"

using namespace InstallTest;
using namespace SetUpText;

namespace {

const std::string OwnData = "the user's own company data";

class LocalInstall : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    ClearScratch();
    RedirectShellFolders(Root() + L"Desktop", Root() + L"Start Menu");
    ForgetInstallation();
    SetRegText(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"Wallpaper", L"before");
  }
  void TearDown() override {
    FSetUp.reset();
    ClearScratch();
    CoUninitialize();
  }

  std::wstring Root() const { return ScratchRoot(); }
  std::wstring Drive() const { return Root().substr(0, 2); }
  std::wstring Product() const { return Root() + L"Norvasto\\Mirpan\\"; }

  // Starts the program and walks to page 2; null when it did not get there.
  HWND StartAndWalkToTheDrivePage(const std::wstring& Program) {
    FSetUp.reset(new TSetUpDriver(Program));
    return FSetUp->Started() ? FSetUp->WalkToTheDrivePage() : nullptr;
  }

  // Walks pages 0 to 2, choosing the scratch drive, and starts the installation.
  void StartAndChooseScratchDrive(const std::wstring& Program) {
    HWND window = StartAndWalkToTheDrivePage(Program);
    ASSERT_NE(nullptr, window) << Utf8(FSetUp->VisibleTitles());
    ASSERT_TRUE(FSetUp->ChooseDrive(window, Root()));
    ASSERT_TRUE(FSetUp->Click(window, Next));
  }

  // The final page, then out through its close button.
  void FinishAndClose() { EXPECT_TRUE(FSetUp->FinishAndClose()) << Utf8(FSetUp->VisibleTitles()); }

  // SetUp.exe and the marker in a folder of their own beside the parts of one test case.
  std::wstring SourceWith(const std::wstring& Part1, const std::wstring& Part2,
                          const std::wstring& Folder = L"Source") {
    const std::wstring source = Root() + Folder;
    CreateDirectoryW(source.c_str(), nullptr);
    const std::pair<std::wstring, const wchar_t*> files[] = {
        {BuildFolder(L"bin\\SetUp.exe"), L"SetUp.exe"},
        {BuildFolder(L"bin\\MirpanN.zip"), L"MirpanN.zip"},
        {Part1, L"MirpanN1.zip"},
        {Part2, L"MirpanN2.zip"}};
    for (const auto& [from, name] : files)
      EXPECT_TRUE(CopyFileW(from.c_str(), (source + L"\\" + name).c_str(), FALSE)) << Utf8(from);
    return source;
  }
  std::wstring TestPart(const wchar_t* Case, const wchar_t* Name) const {
    return BuildFolder(L"tests\\install\\test-parts\\") + Case + L"\\" + Name;
  }

  void PlantUserData() {
    CreateDirectoryW((Root() + L"Norvasto").c_str(), nullptr);
    CreateDirectoryW(Product().c_str(), nullptr);
    CreateDirectoryW((Product() + L"UserData").c_str(), nullptr);
    WriteBytes(Product() + L"UserData\\UserData.mdb", OwnData);
  }

  // The notice of a part that cannot be installed, then the one of the incomplete installation.
  void ExpectPartReportedAndTheClosingNotice(const std::wstring& Part) {
    EXPECT_EQ(L"הרכיב " + Part + L" פגום.\r\nלא ניתן להתקינו.\r\nאיתך הסליחה.",
              FSetUp->AnswerDialog(L"התקנת Mirpan"));
    EXPECT_EQ(L"לפחות אחד הרכיבים לא הותקן בהצלחה.\r\nאיתך הסליחה.\r\n",
              FSetUp->AnswerDialog(L"התקנת Mirpan"));
  }

  // SetUp.exe stamped with Part1 and the demo's second part, beside them, on page 2.
  HWND StartStampedToTheDrivePage(const std::wstring& Part1) {
    const std::wstring source = SourceWith(Part1, BuildFolder(L"bin\\MirpanN2.zip"));
    StampProgram(source + L"\\SetUp.exe", {source + L"\\MirpanN1.zip", source + L"\\MirpanN2.zip"});
    return StartAndWalkToTheDrivePage(source + L"\\SetUp.exe");
  }

  // The drive of 100 MB the runner makes.
  static std::wstring SmallDrive() {
    const char* letter = std::getenv("MIRPAN_SMALL_DRIVE");
    return std::wstring(1, static_cast<wchar_t>(letter ? *letter : L'?')) + L":\\";
  }

  // The full-disk message, and the scratch drive chosen before back in the box.
  void ExpectRefusedBackOnTheScratchDrive(HWND Window) {
    EXPECT_EQ(
        L"בדיסק אותו בחרת אין מספיק מקום להתקנת התוכנה.\r\nלהתקנה דרוש מינמום 150 מ\"ב\r\n"
        L"איתך הסליחה.\r\n",
        FSetUp->AnswerDialog(L"דיסק מלא"));
    for (DWORD end = GetTickCount() + 10000;
         FSetUp->DriveBoxText(Window) != Root() && GetTickCount() < end;)
      Sleep(50);
    EXPECT_EQ(Root(), FSetUp->DriveBoxText(Window));
  }

  std::unique_ptr<TSetUpDriver> FSetUp;
};

}  // namespace

TEST_F(LocalInstall, WholeRoadFromTheWelcomePageToTheClosedProgram) {
  StartAndChooseScratchDrive(BuildFolder(L"bin\\SetUp.exe"));
  FinishAndClose();

  ExpectDemoProductIn(Product());
  EXPECT_EQ("Vantore is still new\r\n", FileBytes(Product() + L"firstTime.dat"));
  ExpectSettingsKeyFor(Drive());
  ExpectUninstallEntryAndFileTypesFor(Drive());
  ExpectLinksAndWallpaperFor(Drive(), Root() + L"Desktop", Root() + L"Start Menu");
  ExpectFolderIconsBelow(Root());
  EXPECT_FALSE(FileThere(Product() + L"Install.log"));
  EXPECT_FALSE(FileThere(Root() + L"Install.log"));
}

TEST_F(LocalInstall, RunsFromAFolderNamedInAnyScript) {
  const std::wstring source = SourceWith(BuildFolder(L"bin\\MirpanN1.zip"),
                                         BuildFolder(L"bin\\MirpanN2.zip"), L"Дмитрий 日本");
  StartAndChooseScratchDrive(source + L"\\SetUp.exe");
  FinishAndClose();
  EXPECT_TRUE(FileBytes(BuildFolder(L"demo\\Mirpan.exe")) ==
              FileBytes(Product() + L"Bin\\Mirpan.exe"));
  EXPECT_TRUE(FileThere(Product() + L"UserData\\UserData.mdb"));
}

TEST_F(LocalInstall, ExistingUserDataKeptOnTheDefaultAnswerWithTheBackupBeside) {
  PlantUserData();
  StartAndChooseScratchDrive(BuildFolder(L"bin\\SetUp.exe"));
  std::wstring question = FSetUp->AnswerDialog(L"גיבוי נתוני חברה לעבודה");
  EXPECT_NE(std::wstring::npos, question.find(L"ושמרה אותו ב-" + Product())) << Utf8(question);
  FinishAndClose();
  EXPECT_EQ(OwnData, FileBytes(Product() + L"UserData\\UserData.mdb"));
  EXPECT_EQ(OwnData, FileBytes(Product() + L"UserData - Copy\\UserData.mdb"));
  EXPECT_TRUE(FileThere(Product() + L"Bin\\Mirpan.exe"));
}

TEST_F(LocalInstall, ExistingUserDataOverwrittenOnConfirmTheBackupStays) {
  PlantUserData();
  StartAndChooseScratchDrive(BuildFolder(L"bin\\SetUp.exe"));
  FSetUp->AnswerDialog(L"גיבוי נתוני חברה לעבודה", true);
  FinishAndClose();
  EXPECT_EQ(0u, FileBytes(Product() + L"UserData\\UserData.mdb").find("Standard Jet DB"));
  EXPECT_EQ(OwnData, FileBytes(Product() + L"UserData - Copy\\UserData.mdb"));
}

TEST_F(LocalInstall, DamagedPartsAreReportedAndTheRestInstalled) {
  // A first part with a bad CRC and a second that is no archive.
  const std::wstring source = SourceWith(TestPart(L"crc-mismatch", L"MirpanN1.zip"),
                                         TestPart(L"not-a-zip", L"MirpanN2.zip"));
  StartAndChooseScratchDrive(source + L"\\SetUp.exe");
  ExpectPartReportedAndTheClosingNotice(source + L"\\MirpanN2.zip");
  FinishAndClose();
  EXPECT_FALSE(FileThere(Product() + L"HELP\\ReadMe.txt"));
  EXPECT_TRUE(FileThere(Product() + L"Topic\\ReadMe.txt"));
  EXPECT_TRUE(FileThere(Product() + L"Bin\\Mirpan.exe"));
  EXPECT_FALSE(FolderThere(Product() + L"UserData"));
  ExpectFolderIconsBelow(Root());
}

TEST_F(LocalInstall, PartThatIsNotTheMakersIsNotOpenedBesideAStampedProgram) {
  // A valid archive, but not the one the program was stamped with.
  const std::wstring source =
      SourceWith(TestPart(L"long-extraction", L"MirpanN1.zip"), BuildFolder(L"bin\\MirpanN2.zip"));
  StampProgram(source + L"\\SetUp.exe",
               {BuildFolder(L"bin\\MirpanN1.zip"), BuildFolder(L"bin\\MirpanN2.zip")});
  StartAndChooseScratchDrive(source + L"\\SetUp.exe");
  ExpectPartReportedAndTheClosingNotice(source + L"\\MirpanN1.zip");
  FinishAndClose();
  EXPECT_FALSE(FileThere(Product() + L"Bin\\Archive.dat"));
  EXPECT_TRUE(FileThere(Product() + L"UserData\\UserData.mdb"));
}

TEST_F(LocalInstall, LeavingDuringTheExtractionFinishesTheStepsWithoutTheFinalPage) {
  PlantUserData();
  const std::wstring source =
      SourceWith(TestPart(L"long-extraction", L"MirpanN1.zip"), BuildFolder(L"bin\\MirpanN2.zip"));
  StartAndChooseScratchDrive(source + L"\\SetUp.exe");
  FSetUp->AnswerDialog(L"גיבוי נתוני חברה לעבודה");  // keep the user's data
  // The long file is being written: the title-bar "X", where it is painted.
  ASSERT_TRUE(WaitForFile(Product() + L"Bin\\Archive.dat", 30000));
  EXPECT_EQ(ExitQuestion, FSetUp->LeaveDuringInstallation());

  EXPECT_TRUE(FSetUp->Exited(60000)) << Utf8(FSetUp->VisibleTitles());
  EXPECT_EQ(nullptr, FSetUp->WaitForWindow(Finished, 0));
  EXPECT_FALSE(FileThere(Product() + L"Bin\\Archive.dat")) << "the cut-off file is removed";
  EXPECT_EQ(OwnData, FileBytes(Product() + L"UserData\\UserData.mdb"));
  // The steps after the extraction still ran.
  EXPECT_EQ("Vantore is still new\r\n", FileBytes(Product() + L"firstTime.dat"));
  ExpectUninstallEntryAndFileTypesFor(Drive());
  ExpectFolderIconsBelow(Root());
}

TEST_F(LocalInstall, DriveWithoutRoomIsRefusedAndThePreviousOneReturns) {
  const std::wstring small = SmallDrive();
  HWND window = StartAndWalkToTheDrivePage(BuildFolder(L"bin\\SetUp.exe"));
  ASSERT_NE(nullptr, window) << Utf8(FSetUp->VisibleTitles());
  ASSERT_TRUE(FSetUp->ChooseDrive(window, Root()));
  ASSERT_TRUE(FSetUp->ChooseDrive(window, small));
  ExpectRefusedBackOnTheScratchDrive(window);
  ASSERT_TRUE(FSetUp->Click(window, Next));
  FinishAndClose();
  EXPECT_TRUE(FileThere(Product() + L"Bin\\Mirpan.exe"));
  EXPECT_FALSE(FolderThere(small + L"Norvasto"));
}

TEST_F(LocalInstall, StampedProgramWantsRoomForWhatItsPartsUnpackTo) {
  const std::wstring small = SmallDrive();
  // 256 MB more unpacked than the small drive holds.
  HWND window = StartStampedToTheDrivePage(TestPart(L"big-unpacked", L"MirpanN1.zip"));
  ASSERT_NE(nullptr, window) << Utf8(FSetUp->VisibleTitles());
  ASSERT_TRUE(FSetUp->ChooseDrive(window, Root()));
  ASSERT_TRUE(FSetUp->ChooseDrive(window, small));
  ExpectRefusedBackOnTheScratchDrive(window);
  FSetUp.reset();

  // The demo parts need far less than the 150 MB an unstamped program asks for.
  window = StartStampedToTheDrivePage(BuildFolder(L"bin\\MirpanN1.zip"));
  ASSERT_NE(nullptr, window) << Utf8(FSetUp->VisibleTitles());
  ASSERT_TRUE(FSetUp->ChooseDrive(window, small));
  ASSERT_TRUE(FSetUp->Click(window, Next));
  FinishAndClose();
  EXPECT_TRUE(FileThere(small + L"Norvasto\\Mirpan\\Bin\\Mirpan.exe"));
}
