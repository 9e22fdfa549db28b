// Page navigation of the real wizard form: buttons per page, back and forward, the
// installation page and the final page, and leaving the wizard with and without a question.
#include "WizardFixture.h"

namespace WizardTest {
namespace {

// Forward to page 2, back to page 1 and forward again: captions, enabled buttons, the
// relative record restored on page 1, the target and page 3's text kept.
TEST_F(WizardFormTest, WalkingThePagesSetsCaptionsButtonsAndRecord) {
  Form->InstallSource = 0;
  auto expectPage = [&](int page, const wchar_t* caption, bool back) {
    EXPECT_EQ(Page(), page);
    EXPECT_EQ(Form->Caption(), caption);
    EXPECT_TRUE(IsWindowEnabled(Form->btnNext->Handle()));
    EXPECT_EQ(IsWindowEnabled(Form->btnBack->Handle()) != FALSE, back);
    EXPECT_TRUE(IsWindowEnabled(Form->btnExit->Handle()));
  };
  expectPage(0, L"ברוכים הבאים", false);
  Press(Form->btnNext);
  expectPage(1, L"שלב א : תצורת התקנה", true);
  Press(Form->btnNext);
  expectPage(2, L"שלב א : מיקום התקנה", true);
  std::wstring target = Form->LPath->Caption();
  // As if the target drive had been applied: page 1 must bring the relative forms back.
  Form->InstallRec.MainDirectory = "D:\\Norvasto\\Mirpan\\";
  Form->InstallRec.InstallType = 7;
  Press(Form->btnBack);
  expectPage(1, L"שלב א : תצורת התקנה", true);
  EXPECT_EQ(Form->InstallRec.MainDirectory, "\\Norvasto\\Mirpan\\");
  Press(Form->btnNext);
  expectPage(2, L"שלב א : מיקום התקנה", true);
  EXPECT_EQ(Form->InstallRec.InstallType, 0);
  EXPECT_EQ(Form->LPath->Caption(), target);
  EXPECT_TRUE(Form->LinstallMsg->Visible());
  EXPECT_FALSE(Form->LDownLoadMsg->Visible());
  Press(Form->btnBack);
  Press(Form->btnBack);
  expectPage(0, L"ברוכים הבאים", false);
}

// Choosing a drive in the box, as the user does, moves the target path to it when it has
// room.
TEST_F(WizardFormTest, ChosenDriveBecomesTheTargetOnlyWithRoom) {
  Press(Form->btnNext);
  Press(Form->btnNext);
  TComboBox* box = Form->EDrivesCombo;
  auto choose = [&](int index) {
    SendMessageW(box->Handle(), CB_SETCURSEL, index, 0);
    SendMessageW(CurrentPage()->Handle(), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(box->Handle()), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(box->Handle()));
    Pump();
  };
  int other = -1;
  for (int i = 0; i < box->ItemCount(); ++i)
    if (box->Item(i) == L"Z:\\") other = i;  // Wine's view of the Unix root
  ASSERT_GE(other, 0);
  choose(other);
  EXPECT_EQ(Form->LPath->Caption(), L"Z:\\Norvasto\\Mirpan\\");
  EXPECT_EQ(Form->LastDriveIndex, other);
  choose(0);
  EXPECT_EQ(Form->LPath->Caption(), box->Item(0).substr(0, 2) + L"\\Norvasto\\Mirpan\\");
  EXPECT_EQ(Form->LastDriveIndex, 0);

  // A drive that is not ready counts as full: refused once, the previous one returns.
  box->AddItem(L"Q:\\");
  TDialogAnswerer dismiss(TDialogAnswerer::Confirm);
  choose(box->ItemCount() - 1);
  ASSERT_EQ(dismiss.Seen().size(), 1u);
  EXPECT_EQ(dismiss.Seen()[0].Caption, L"דיסק מלא");
  EXPECT_EQ(box->ItemIndex(), 0);
  EXPECT_EQ(Form->LPath->Caption(), box->Item(0).substr(0, 2) + L"\\Norvasto\\Mirpan\\");
}

// While page 3 installs, the navigation is locked: clicks do nothing, a close request asks
// first and a cancel leaves everything as it was.
TEST_F(WizardFormTest, InstallationPageLocksNavigationAndAsksBeforeClosing) {
  int pageDuring = -1, questionsDuring = 0;
  bool nextEnabled = true, backEnabled = true, exitVisible = true, stillShown = false;
  bool downloadText = false;
  std::wstring captionDuring;
  Form->InstallSource = 1;
  bool ran = false;
  Form->WhileInstalling = [&] {
    if (ran) return;  // a click that got through would enter the installation again
    ran = true;
    pageDuring = Page();
    captionDuring = Form->Caption();
    nextEnabled = Form->btnNext->Enabled();
    backEnabled = Form->btnBack->Enabled();
    exitVisible = Form->btnExit->Visible();
    downloadText = Form->LDownLoadMsg->Showing() && !Form->LinstallMsg->Showing();
    // Clicks by message and by mouse on both buttons.
    Press(Form->btnNext);
    Press(Form->btnBack);
    ClickAt(Form->btnNext->Handle(), 30, 10);
    ClickAt(Form->btnBack->Handle(), 30, 10);
    TDialogAnswerer cancel(TDialogAnswerer::Cancel);
    PostMessageW(Form->Handle(), WM_CLOSE, 0, 0);
    Pump(400);
    questionsDuring = static_cast<int>(cancel.Seen().size());
    stillShown = IsWindowVisible(Form->Handle()) != FALSE;
  };
  Press(Form->btnNext);
  Press(Form->btnNext);
  Press(Form->btnNext);

  EXPECT_EQ(pageDuring, 3);
  EXPECT_EQ(captionDuring, L"התקנת התוכנה ורישומה");
  EXPECT_FALSE(nextEnabled);
  EXPECT_FALSE(backEnabled);
  EXPECT_FALSE(exitVisible);
  EXPECT_TRUE(downloadText);
  EXPECT_EQ(questionsDuring, 1);
  EXPECT_TRUE(stillShown);
  // The clicks re-entered nothing: each step ran once, in order, and page 4 followed.
  EXPECT_EQ(Form->Steps, (std::vector<std::string>{"ApplyTargetDrive", "DownloadAndInstallArchives",
                                                   "RunFinishingSteps"}));
  EXPECT_EQ(Page(), 4);
}

// Leaving through the title-bar X during the installation: the remaining steps still run,
// the final page is not entered, and the window closes.
TEST_F(WizardFormTest, ConfirmedExitDuringInstallationSkipsTheFinalPage) {
  Form->WhileInstalling = [&] {
    TDialogAnswerer confirm(TDialogAnswerer::Confirm);
    ClickAt(Form->Handle(), 678, 10);
    EXPECT_EQ(confirm.Seen().size(), 1u);
    EXPECT_TRUE(Form->ExitRequested);
  };
  for (int i = 0; i < 3; ++i) Press(Form->btnNext);
  EXPECT_EQ(Form->Steps.back(), "RunFinishingSteps");
  EXPECT_EQ(Page(), 3);
  EXPECT_FALSE(IsWindowVisible(Form->Handle()));
}

// When the archive steps installed nothing, there is nothing to register or dress: the
// finishing steps are skipped, page 3 stays with its exit button, which leaves after asking.
TEST_F(WizardFormTest, NothingInstalledSkipsTheFinishingStepsAndKeepsTheExit) {
  Form->InstallSource = 1;
  Form->Installed = false;
  for (int i = 0; i < 3; ++i) Press(Form->btnNext);
  EXPECT_EQ(Form->Steps,
            (std::vector<std::string>{"ApplyTargetDrive", "DownloadAndInstallArchives"}));
  EXPECT_EQ(Page(), 3);
  EXPECT_EQ(Form->Caption(), L"התקנת התוכנה ורישומה");
  EXPECT_TRUE(IsWindowVisible(Form->btnExit->Handle()) && IsWindowEnabled(Form->btnExit->Handle()));
  EXPECT_EQ(Form->btnExit->Caption(), L"&יציאה");
  EXPECT_FALSE(Form->ExitRequested);

  TDialogAnswerer confirm(TDialogAnswerer::Confirm);
  Press(Form->btnExit);
  Pump(300);
  EXPECT_EQ(confirm.Seen().size(), 1u);
  EXPECT_FALSE(IsWindowVisible(Form->Handle()));
}

TEST_F(WizardFormTest, FinalPageOffersOnlyCloseAndLeavesWithoutQuestion) {
  for (int i = 0; i < 3; ++i) Press(Form->btnNext);
  ASSERT_EQ(Page(), 4);
  EXPECT_EQ(Form->Caption(), L"ההתקנה הסתיימה");
  EXPECT_EQ(Form->btnExit->Caption(), L"&סגור");
  RECT place;
  GetWindowRect(Form->btnExit->Handle(), &place);
  MapWindowPoints(HWND_DESKTOP, Form->Handle(), reinterpret_cast<POINT*>(&place), 2);
  EXPECT_EQ(place.left, 200);
  EXPECT_EQ(place.top, 444);
  EXPECT_TRUE(IsWindowVisible(Form->btnExit->Handle()) && IsWindowEnabled(Form->btnExit->Handle()));
  EXPECT_FALSE(IsWindowVisible(Form->btnNext->Handle()));
  EXPECT_FALSE(IsWindowVisible(Form->btnBack->Handle()));
  EXPECT_TRUE(Form->ExitRequested);

  TDialogAnswerer watch(TDialogAnswerer::Cancel);
  PostMessageW(Form->Handle(), WM_CLOSE, 0, 0);
  Pump(300);
  EXPECT_TRUE(watch.Seen().empty());
  EXPECT_FALSE(IsWindowVisible(Form->Handle()));
}

// Every way out before the end asks; a cancel keeps everything, a confirm closes, and only
// the buttons set the abort flag (a system close lets a running installation finish).
TEST_F(WizardFormTest, LeavingBeforeTheEndAsksFirst) {
  Press(Form->btnNext);
  auto exitButton = [&] { Press(Form->btnExit); };
  auto titleBarX = [&] { ClickAt(Form->Handle(), 678, 10); };
  auto systemClose = [&] { PostMessageW(Form->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); };
  struct {
    const char* Way;
    std::function<void()> Request;
    bool Confirm, FlagAfter;
  } ways[] = {{"exit button, cancel", exitButton, false, false},
              {"title-bar X, cancel", titleBarX, false, false},
              {"system close, cancel", systemClose, false, false},
              {"system close, confirm", systemClose, true, false},
              {"exit button, confirm", exitButton, true, true}};
  for (auto& way : ways) {
    SCOPED_TRACE(way.Way);
    Form->Show();
    Pump(50);
    TDialogAnswerer answer(way.Confirm ? TDialogAnswerer::Confirm : TDialogAnswerer::Cancel);
    way.Request();
    Pump(400);
    ASSERT_EQ(answer.Seen().size(), 1u);
    EXPECT_EQ(answer.Seen()[0].Caption, L"יציאה מהתקנה");
    EXPECT_EQ(answer.Seen()[0].Text,
              L"ההתקנה עדין לא סיימה להתקין את תוכנת Mirpan על מחשבך.\r\nהאם לצאת בכל מקרה ?\r\n");
    EXPECT_EQ(IsWindowVisible(Form->Handle()) != FALSE, !way.Confirm);
    EXPECT_EQ(Form->ExitRequested, way.FlagAfter);
    EXPECT_EQ(Page(), 1);
  }
}

}  // namespace
}  // namespace WizardTest
