// The real SetUp.exe in download mode: no marker beside it, the maker's download host mapped
// to a server on this machine's loopback inside a private network namespace (see
// download-test.sh, which picks the server for each suite). Driven from outside onto a
// scratch drive; read back from the installation log, the drive root and the product folder.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h, which it needs
#include <objbase.h>

#include <iostream>
#include <string>
#include <vector>

#include "../e2e/SetUpDriver.h"
#include "../install/InstallTestSupport.h"
#include "../install/InstalledState.h"

using namespace InstallTest;
using namespace SetUpText;

namespace {

std::vector<std::string> Lines(const std::string& Text) {
  std::vector<std::string> lines;
  size_t at = 0;
  for (size_t end; (end = Text.find("\r\n", at)) != std::string::npos; at = end + 2)
    lines.push_back(Text.substr(at, end - at));
  if (at < Text.size()) lines.push_back(Text.substr(at) + " (no line end)");
  return lines;
}

// The log of a run whose every attempt failed.
const std::vector<std::string> FirstPartSpendsTheFailuresTheSecondIsGivenUp = {
    "Downloading file MirpanN1.zip----> Failed (1 Try)",
    "Downloading file MirpanN1.zip----> Failed (2 Try)",
    "Downloading file MirpanN1.zip----> Failed (3 Try)",
    "Downloading file MirpanN1.zip----> Failed",
    "Installing file MirpanN1.zip----> Not Installed.",
    "Downloading file MirpanN2.zip----> Failed",
    "Installing file MirpanN2.zip----> Not Installed."};

class Download : public ::testing::Test {
 protected:
  void SetUp() override {
    // No apartment window: the program's settings broadcast must not wait on this thread.
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    ClearScratch();
    RedirectShellFolders(Root() + L"Desktop", Root() + L"Start Menu");
    ForgetInstallation();
  }
  void TearDown() override {
    FSetUp.reset();
    ClearScratch();
    CoUninitialize();
  }

  std::wstring Root() const { return ScratchRoot(); }
  std::wstring Product() const { return ScratchProduct(); }

  // SetUp.exe alone in a folder of its own, walked to page 3 onto the scratch drive; the
  // moment the installation page was asked for is kept in FStarted. Stamped, the copy
  // carries the stamp of the parts the maker serves.
  void StartDownloadOntoScratchDrive(bool Stamped = false) {
    const std::wstring source = Root() + L"Source";
    CreateDirectoryW(source.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(BuildFolder(L"bin\\SetUp.exe").c_str(), (source + L"\\SetUp.exe").c_str(),
                          FALSE));
    if (Stamped)
      StampProgram(source + L"\\SetUp.exe",
                   {BuildFolder(L"bin\\MirpanN1.zip"), BuildFolder(L"bin\\MirpanN2.zip")});
    FSetUp.reset(new TSetUpDriver(source + L"\\SetUp.exe"));
    ASSERT_TRUE(FSetUp->Started());
    HWND window = FSetUp->WalkToTheDrivePage();
    ASSERT_NE(nullptr, window) << Utf8(FSetUp->VisibleTitles());
    ASSERT_TRUE(FSetUp->ChooseDrive(window, Root()));
    FStarted = GetTickCount();
    ASSERT_TRUE(FSetUp->Click(window, Next));
  }

  // With nothing installed the window stays on the installation page, whose exit leaves
  // after the question.
  void LeaveFromTheInstallationPage() {
    HWND window = FSetUp->WaitForWindow(Installing, 5000);
    ASSERT_NE(nullptr, window) << Utf8(FSetUp->VisibleTitles());
    ASSERT_TRUE(FSetUp->Click(window, Exit));
    EXPECT_EQ(ExitQuestion, FSetUp->AnswerDialog(ExitQuestionCaption, true));
    EXPECT_TRUE(FSetUp->Exited(20000)) << Utf8(FSetUp->VisibleTitles());
  }

  // The final page, then out through its close button.
  void FinishAndClose() { EXPECT_TRUE(FSetUp->FinishAndClose()) << Utf8(FSetUp->VisibleTitles()); }

  // Both parts installed completely, their downloaded files gone from the drive root.
  void ExpectBothPartsInstalled() {
    EXPECT_TRUE(FileBytes(BuildFolder(L"demo\\Mirpan.exe")) ==
                FileBytes(Product() + L"Bin\\Mirpan.exe"));
    for (const wchar_t* name : {L"Bin\\MirpanFolder.ico", L"UserData\\UserData.mdb",
                                L"HELP\\ReadMe.txt", L"ClientSql\\ReadMe.txt"})
      EXPECT_TRUE(FileThere(Product() + name)) << Utf8(name);
    EXPECT_EQ("Vantore is still new\r\n", FileBytes(Product() + L"firstTime.dat"));
    ExpectNoPartAtTheRoot();
  }
  void ExpectNoPartAtTheRoot() {
    EXPECT_FALSE(FileThere(Root() + L"MirpanN1.zip"));
    EXPECT_FALSE(FileThere(Root() + L"MirpanN2.zip"));
  }

  // Both parts cut once at about 40% by the server (download-test.sh), each fetched again
  // after the pause; answers the server's lines of the requests, with the body bytes it sent
  // in all.
  std::vector<std::string> InstallThroughOneCutPerPart(const wchar_t* Server, size_t& Sent) {
    StartDownloadOntoScratchDrive(true);
    FinishAndClose();
    EXPECT_EQ((std::vector<std::string>{"Downloading file MirpanN1.zip----> Failed (1 Try)",
                                        "Downloading file MirpanN1.zip----> completed.",
                                        "Installing file MirpanN1.zip----> Complited",
                                        "Downloading file MirpanN2.zip----> Failed (2 Try)",
                                        "Downloading file MirpanN2.zip----> completed.",
                                        "Installing file MirpanN2.zip----> Complited"}),
              Lines(FileBytes(Product() + L"Install.log")));
    ExpectBothPartsInstalled();
    std::string text =
        FileBytes(BuildFolder(L"download-" + std::wstring(Server) + L"\\log\\requests.log"));
    std::vector<std::string> requests;
    Sent = 0;
    for (size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
      requests.push_back(text.substr(at, end - at));
      Sent += std::stoul(requests.back().substr(requests.back().rfind("sent=") + 5));
    }
    std::cout << "body bytes the server sent: " << Sent << "\n";
    return requests;
  }
  size_t PartsSize() const {
    return FileBytes(BuildFolder(L"bin\\MirpanN1.zip")).size() +
           FileBytes(BuildFolder(L"bin\\MirpanN2.zip")).size();
  }

  double SecondsSinceStart() const { return (GetTickCount() - FStarted) / 1000.0; }

  std::unique_ptr<TSetUpDriver> FSetUp;
  DWORD FStarted = 0;
};

// Suites by the server download-test.sh puts behind the download host.
class DownloadFromNginx : public Download {};
class DownloadRefused : public Download {};
class DownloadFaults : public Download {};
class DownloadStamped : public Download {};
class DownloadResume : public Download {};
class DownloadWithoutRanges : public Download {};
class DownloadThroughRelay : public Download {};
class DownloadSilent : public Download {};

}  // namespace

TEST_F(DownloadFromNginx, BothPartsArriveAndInstallOnTheFirstTry) {
  StartDownloadOntoScratchDrive();
  FinishAndClose();
  EXPECT_EQ((std::vector<std::string>{"Downloading file MirpanN1.zip----> completed.",
                                      "Installing file MirpanN1.zip----> Complited",
                                      "Downloading file MirpanN2.zip----> completed.",
                                      "Installing file MirpanN2.zip----> Complited"}),
            Lines(FileBytes(Product() + L"Install.log")));
  ExpectBothPartsInstalled();
  EXPECT_FALSE(FileThere(Root() + L"Install.log"));
  // The finishing steps ran on what was downloaded, as after a local installation.
  const std::wstring drive = Root().substr(0, 2);
  ExpectSettingsKeyFor(drive);
  ExpectUninstallEntryAndFileTypesFor(drive);
  ExpectLinksAndWallpaperFor(drive, Root() + L"Desktop", Root() + L"Start Menu");
  ExpectFolderIconsBelow(Root());
}

TEST_F(DownloadFromNginx, KeepingTheUserDataLeavesItOutOfTheSecondPart) {
  PlantUserData();
  StartDownloadOntoScratchDrive();
  const std::wstring question = FSetUp->AnswerDialog(L"גיבוי נתוני חברה לעבודה");  // keep
  EXPECT_NE(std::wstring::npos, question.find(L"ושמרה אותו ב-" + Product())) << Utf8(question);
  FinishAndClose();
  EXPECT_EQ(PlantedUserData, FileBytes(Product() + L"UserData\\UserData.mdb"));
  EXPECT_EQ(PlantedUserData, FileBytes(Product() + L"UserData - Copy\\UserData.mdb"));
  EXPECT_TRUE(FileThere(Product() + L"Bin\\Mirpan.exe"));
  EXPECT_EQ(4u, Lines(FileBytes(Product() + L"Install.log")).size());
  ExpectNoPartAtTheRoot();
}

TEST_F(DownloadRefused, FirstPartSpendsTheFailuresTheSecondIsGivenUpAtOnce) {
  StartDownloadOntoScratchDrive();
  // In the first pause the window still answers.
  HWND window = FSetUp->WaitForWindow(Installing);
  ASSERT_NE(nullptr, window);
  Sleep(3000);
  DWORD_PTR result = 0;
  EXPECT_NE(0, SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result));
  EXPECT_EQ(ClosingNotice, FSetUp->AnswerDialog(L"התקנת Mirpan"));
  // Three pauses of 6 seconds for the first part, none for the second.
  double seconds = SecondsSinceStart();
  EXPECT_GE(seconds, 17.5);
  EXPECT_LT(seconds, 23.5);
  // Nothing was installed, so nothing is registered or dressed.
  LeaveFromTheInstallationPage();
  EXPECT_EQ(L"(none)", RegText(HKEY_LOCAL_MACHINE, UninstallKey, L"DisplayName"));
  EXPECT_FALSE(FileThere(Root() + L"Desktop\\Mirpan.lnk"));
  EXPECT_FALSE(FileThere(Root() + L"norvasto\\desktop.ini"));
  EXPECT_FALSE(FileThere(Product()));
  EXPECT_EQ(FirstPartSpendsTheFailuresTheSecondIsGivenUp,
            Lines(FileBytes(Root() + L"Install.log")));
  ExpectNoPartAtTheRoot();
}

// The server's plan (download-test.sh): the first part is reset mid-body, then cut short of
// its length, then sent whole; the second answers 404, then is sent whole.
TEST_F(DownloadFaults, ResetShortBodyAndNotFoundAreRetriedUntilAGoodAttempt) {
  StartDownloadOntoScratchDrive();
  FinishAndClose();
  EXPECT_EQ((std::vector<std::string>{"Downloading file MirpanN1.zip----> Failed (1 Try)",
                                      "Downloading file MirpanN1.zip----> Failed (2 Try)",
                                      "Downloading file MirpanN1.zip----> completed.",
                                      "Installing file MirpanN1.zip----> Complited",
                                      "Downloading file MirpanN2.zip----> Failed (3 Try)",
                                      "Downloading file MirpanN2.zip----> completed.",
                                      "Installing file MirpanN2.zip----> Complited"}),
            Lines(FileBytes(Product() + L"Install.log")));
  ExpectBothPartsInstalled();
}

// Then the first part stalls past the read time-out once before it is sent whole; the second
// comes in chunks with no length announced.
TEST_F(DownloadFaults, StallPastTheReadTimeOutIsRetried) {
  StartDownloadOntoScratchDrive();
  FinishAndClose();
  // 12 seconds of silence, then the pause of 6.
  EXPECT_GE(SecondsSinceStart(), 17.5);
  EXPECT_EQ((std::vector<std::string>{"Downloading file MirpanN1.zip----> Failed (1 Try)",
                                      "Downloading file MirpanN1.zip----> completed.",
                                      "Installing file MirpanN1.zip----> Complited",
                                      "Downloading file MirpanN2.zip----> completed.",
                                      "Installing file MirpanN2.zip----> Complited"}),
            Lines(FileBytes(Product() + L"Install.log")));
  ExpectBothPartsInstalled();
}

// Then the second part arrives whole but is no archive: four extraction attempts, each
// reported, and the part is counted as not installed.
TEST_F(DownloadFaults, PartThatIsNoArchiveGetsFourExtractionAttempts) {
  StartDownloadOntoScratchDrive();
  for (int attempt = 1; attempt <= 4; ++attempt)
    EXPECT_EQ(L"הרכיב " + Root() + L"MirpanN2.zip פגום.\r\nלא ניתן להתקינו.\r\nאיתך הסליחה.",
              FSetUp->AnswerDialog(L"התקנת Mirpan"))
        << attempt;
  EXPECT_EQ(ClosingNotice, FSetUp->AnswerDialog(L"התקנת Mirpan"));
  FinishAndClose();
  EXPECT_EQ((std::vector<std::string>{"Downloading file MirpanN1.zip----> completed.",
                                      "Installing file MirpanN1.zip----> Complited",
                                      "Downloading file MirpanN2.zip----> completed.",
                                      "Installing file MirpanN2.zip----> Failed (1 Try)",
                                      "Installing file MirpanN2.zip----> Failed (2 Try)",
                                      "Installing file MirpanN2.zip----> Failed (3 Try)",
                                      "Installing file MirpanN2.zip----> Failed"}),
            Lines(FileBytes(Product() + L"Install.log")));
  EXPECT_TRUE(FileThere(Product() + L"Bin\\Mirpan.exe"));
  EXPECT_FALSE(FileThere(Root() + L"MirpanN1.zip"));
}

// Last, the first part comes slowly and the user leaves during it.
TEST_F(DownloadFaults, LeavingDuringTheDownloadCutsItAndLogsTheAbort) {
  StartDownloadOntoScratchDrive();
  // The first part comes slowly: it is still on its way once its file is there.
  ASSERT_TRUE(WaitForFile(Root() + L"MirpanN1.zip", 30000));
  EXPECT_EQ(ExitQuestion, FSetUp->LeaveDuringInstallation());

  // No retry pause of 6 seconds holds the program after the user chose to leave.
  const DWORD confirmed = GetTickCount();
  EXPECT_TRUE(FSetUp->Exited(60000)) << Utf8(FSetUp->VisibleTitles());
  EXPECT_LT((GetTickCount() - confirmed) / 1000.0, 5.0);
  EXPECT_EQ(nullptr, FSetUp->WaitForWindow(Finished, 0));
  // Nothing was extracted, so the log lies at the drive root.
  EXPECT_EQ((std::vector<std::string>{"Downloading file MirpanN1.zip----> Failed (1 Try)",
                                      "Downloading file MirpanN1.zip----> Failed",
                                      "Installtion aborted by user !!"}),
            Lines(FileBytes(Root() + L"Install.log")));
  ExpectNoPartAtTheRoot();
  EXPECT_FALSE(FileThere(Product() + L"Bin\\Mirpan.exe"));
}

// Last, the first part is one whose extraction takes a while, and the user leaves during it:
// the extraction stops, and the second part is not fetched any more.
TEST_F(DownloadFaults, LeavingDuringAnExtractionFetchesNoFurtherPart) {
  StartDownloadOntoScratchDrive();
  ASSERT_TRUE(WaitForFile(Product() + L"Bin\\Archive.dat", 60000));
  EXPECT_EQ(ExitQuestion, FSetUp->LeaveDuringInstallation());

  EXPECT_TRUE(FSetUp->Exited(60000)) << Utf8(FSetUp->VisibleTitles());
  EXPECT_EQ(nullptr, FSetUp->WaitForWindow(Finished, 0));
  EXPECT_EQ((std::vector<std::string>{"Downloading file MirpanN1.zip----> completed.",
                                      "Installing file MirpanN1.zip----> Complited",
                                      "Downloading file MirpanN2.zip----> Failed",
                                      "Installtion aborted by user !!"}),
            Lines(FileBytes(Product() + L"Install.log")));
  ExpectNoPartAtTheRoot();
  EXPECT_FALSE(FileThere(Product() + L"Bin\\Archive.dat")) << "the cut-off file is removed";
  EXPECT_FALSE(FileThere(Product() + L"UserData\\UserData.mdb"));
}

// The server's plan (download-test.sh): the first part comes as another archive of its own
// size, then as one of another size, twice each; the second part as another archive once.
TEST_F(DownloadStamped, PartsThatAreNotTheMakersAreRefusedOnEveryAttempt) {
  StartDownloadOntoScratchDrive(true);
  EXPECT_EQ(ClosingNotice, FSetUp->AnswerDialog(L"התקנת Mirpan"));
  LeaveFromTheInstallationPage();
  EXPECT_EQ(FirstPartSpendsTheFailuresTheSecondIsGivenUp,
            Lines(FileBytes(Root() + L"Install.log")));
  EXPECT_FALSE(FileThere(Root() + L"Norvasto"));
  ExpectNoPartAtTheRoot();
}

// Then the first part comes as another archive once more, and next as the maker's.
TEST_F(DownloadStamped, TheMakersPartAfterAnotherOneInstalls) {
  StartDownloadOntoScratchDrive(true);
  FinishAndClose();
  EXPECT_EQ((std::vector<std::string>{"Downloading file MirpanN1.zip----> Failed (1 Try)",
                                      "Downloading file MirpanN1.zip----> completed.",
                                      "Installing file MirpanN1.zip----> Complited",
                                      "Downloading file MirpanN2.zip----> completed.",
                                      "Installing file MirpanN2.zip----> Complited"}),
            Lines(FileBytes(Product() + L"Install.log")));
  ExpectBothPartsInstalled();
  EXPECT_FALSE(FileThere(Product() + L"Bin\\Archive.dat"));
}

TEST_F(DownloadResume, CutPartsGoOnFromTheirKeptBytes) {
  size_t sent = 0;
  const std::vector<std::string> requests = InstallThroughOneCutPerPart(L"resume", sent);
  ASSERT_EQ(4u, requests.size());
  for (size_t second : {1, 3}) {
    const std::string& request = requests[second];
    EXPECT_NE(std::string::npos, request.find(" ok Range=bytes=")) << request;
    EXPECT_NE(std::string::npos, request.find(" If-Range=\"")) << request;
  }
  EXPECT_LE(sent, PartsSize() * 12 / 10);
}

// Then each part is cut once more, and the server does not send the rest it is asked for (a
// 206 of another range, a 416): the same attempt fetches the part whole.
TEST_F(DownloadResume, RestRefusedTheSameAttemptStartsFromZero) {
  size_t sent = 0;
  const std::vector<std::string> requests = InstallThroughOneCutPerPart(L"resume", sent);
  ASSERT_EQ(10u, requests.size());
  EXPECT_NE(std::string::npos, requests[5].find("MirpanN1.zip shifted Range=bytes="));
  EXPECT_EQ(0u,
            requests[6].find("MirpanN1.zip ok Range=- If-Range=- sent=" +
                             std::to_string(FileBytes(BuildFolder(L"bin\\MirpanN1.zip")).size())));
  EXPECT_NE(std::string::npos, requests[8].find("MirpanN2.zip 416 Range=bytes="));
  EXPECT_EQ(0u, requests[9].find("MirpanN2.zip ok Range=- If-Range=- sent="));
}

TEST_F(DownloadWithoutRanges, CutPartsComeAgainWhole) {
  size_t sent = 0;
  InstallThroughOneCutPerPart(L"norange", sent);
  EXPECT_GT(sent, PartsSize() * 13 / 10);
}

// nginx's own ETag, 206 and Content-Range, behind a relay that cuts each part once.
TEST_F(DownloadThroughRelay, CutPartsGoOnFromTheirKeptBytes) {
  size_t sent = 0;
  const std::vector<std::string> requests = InstallThroughOneCutPerPart(L"relay", sent);
  ASSERT_EQ(4u, requests.size());
  for (size_t second : {1, 3})
    EXPECT_NE(std::string::npos, requests[second].find(" ok Range=bytes=")) << requests[second];
  EXPECT_LE(sent, PartsSize() * 12 / 10);
}

// The server falls silent in the middle of the first part until the program closes the
// connection (download-test.sh), far past the read time-out of 12 seconds. The window still
// answers its X in the silence, and leaving ends the attempt there, as during a transfer.
TEST_F(DownloadSilent, LeavingDuringASilenceEndsTheAttemptThere) {
  StartDownloadOntoScratchDrive();
  const std::wstring silence = BuildFolder(L"download-silent\\log\\silent");
  ASSERT_TRUE(WaitForFile(silence, 30000));
  Sleep(1500);  // the few bytes before the silence are read: a click now finds the wait
  HWND window = FSetUp->WaitForWindow(Installing, 5000);
  ASSERT_NE(nullptr, window);
  FSetUp->ClickTitleBarClose(window);
  ASSERT_NE(nullptr, FSetUp->WaitForWindow(ExitQuestionCaption));
  EXPECT_TRUE(FileThere(silence)) << "the question came only once the connection was given up";
  EXPECT_EQ(ExitQuestion, FSetUp->AnswerDialog(ExitQuestionCaption, true));

  EXPECT_TRUE(FSetUp->Exited(60000)) << Utf8(FSetUp->VisibleTitles());
  EXPECT_EQ((std::vector<std::string>{"Downloading file MirpanN1.zip----> Failed (1 Try)",
                                      "Downloading file MirpanN1.zip----> Failed",
                                      "Installtion aborted by user !!"}),
            Lines(FileBytes(Root() + L"Install.log")));
  ExpectNoPartAtTheRoot();
}
