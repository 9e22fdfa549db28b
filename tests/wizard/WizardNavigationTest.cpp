// Page navigation of the real wizard form: buttons per page, back and forward, the
// installation page and the final page, and leaving the wizard with and without a question.
#include "WizardFixture.h"

namespace WizardTest {
namespace {

struct TButtonsState {
  bool Next, Back, Exit;
};

// Window caption and enabled buttons on each page before the installation.
TEST_F(WizardFormTest, EachPageSetsItsCaptionAndButtons) {
  struct {
    const wchar_t* Caption;
    TButtonsState Buttons;
  } expected[] = {{L"ברוכים הבאים", {true, false, true}},
                  {L"שלב א : תצורת התקנה", {true, true, true}},
                  {L"שלב א : מיקום התקנה", {true, true, true}}};
  for (int page = 0; page < 3; ++page) {
    SCOPED_TRACE(page);
    ASSERT_EQ(Page(), page);
    EXPECT_EQ(Form->Caption(), expected[page].Caption);
    EXPECT_TRUE(IsWindowEnabled(Form->btnNext->Handle()) == expected[page].Buttons.Next);
    EXPECT_TRUE(IsWindowEnabled(Form->btnBack->Handle()) == expected[page].Buttons.Back);
    EXPECT_TRUE(IsWindowEnabled(Form->btnExit->Handle()) == expected[page].Buttons.Exit);
    if (page < 2) Press(Form->btnNext);
  }
  Press(Form->btnBack);
  Press(Form->btnBack);
  EXPECT_EQ(Page(), 0);
  EXPECT_EQ(Form->Caption(), L"ברוכים הבאים");
  EXPECT_FALSE(Form->btnBack->Enabled());
}

TEST_F(WizardFormTest, BackFromDrivePageAndForwardAgainKeepsTargetAndMessage) {
  Form->InstallSource = 1;
  Press(Form->btnNext);
  EXPECT_EQ(Form->InstallRec.MainDirectory, "\\Norvasto\\Mirpan\\");
  Press(Form->btnNext);
  // As if the target drive had been applied: page 1 must bring the relative forms back.
  Form->InstallRec.MainDirectory = "D:\\Norvasto\\Mirpan\\";
  Form->InstallRec.InstallType = 7;
  std::wstring target = Form->LPath->Caption();
  EXPECT_EQ(target, Form->EDrivesCombo->Text() + L"Norvasto\\Mirpan");
  Press(Form->btnBack);
  EXPECT_EQ(Page(), 1);
  EXPECT_EQ(Form->Caption(), L"שלב א : תצורת התקנה");
  EXPECT_EQ(Form->InstallRec.MainDirectory, "\\Norvasto\\Mirpan\\");
  Press(Form->btnNext);
  EXPECT_EQ(Page(), 2);
  EXPECT_EQ(Form->InstallRec.InstallType, 0);
  EXPECT_EQ(Form->Caption(), L"שלב א : מיקום התקנה");
  EXPECT_EQ(Form->LPath->Caption(), target);
  // The download text waits on page 3, the other stays hidden however often page 2 is
  // entered.
  EXPECT_TRUE(Form->LDownLoadMsg->Visible());
  EXPECT_FALSE(Form->LinstallMsg->Visible());
  EXPECT_TRUE(Form->btnNext->Enabled() && Form->btnBack->Enabled() && Form->btnExit->Enabled());
}

// Choosing a drive in the box, as the user does, moves the target path to it.
TEST_F(WizardFormTest, ChosenDriveWithRoomBecomesTheTarget) {
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
}

TEST_F(WizardFormTest, LocalSourceShowsTheLocalTextAndInstallsFromBesideTheProgram) {
  Form->InstallSource = 0;
  Press(Form->btnNext);
  Press(Form->btnNext);
  EXPECT_TRUE(Form->LinstallMsg->Visible());
  EXPECT_FALSE(Form->LDownLoadMsg->Visible());
  Press(Form->btnNext);
  EXPECT_EQ(Form->Steps, (std::vector<std::string>{"ApplyTargetDrive", "InstallFromLocalArchives",
                                                   "RunFinishingSteps"}));
}

// While page 3 installs, the navigation is locked: clicks do nothing, a close request asks
// first and a cancel leaves everything as it was.
TEST_F(WizardFormTest, InstallationPageLocksNavigationAndAsksBeforeClosing) {
  int pageDuring = -1, questionsDuring = 0;
  bool nextEnabled = true, backEnabled = true, exitVisible = true, stillShown = false;
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
    // Clicks by message and by mouse on both buttons.
    Press(Form->btnNext);
    Press(Form->btnBack);
    ClickAt(Form->btnNext->Handle(), 30, 10);
    ClickAt(Form->btnBack->Handle(), 30, 10);
    TAnswerDialogs cancel(false);
    PostMessageW(Form->Handle(), WM_CLOSE, 0, 0);
    Pump(400);
    questionsDuring = cancel.Watch().Shown;
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
  EXPECT_EQ(questionsDuring, 1);
  EXPECT_TRUE(stillShown);
  // The clicks re-entered nothing: each step ran once, in order, and page 4 followed.
  EXPECT_EQ(Form->Steps, (std::vector<std::string>{"ApplyTargetDrive", "DownloadAndInstallArchives",
                                                   "RunFinishingSteps"}));
  EXPECT_EQ(Page(), 4);
}

TEST_F(WizardFormTest, FinalPageOffersOnlyCloseAndLeavesWithoutQuestion) {
  for (int i = 0; i < 3; ++i) Press(Form->btnNext);
  ASSERT_EQ(Page(), 4);
  EXPECT_EQ(Form->Caption(), L"ההתקנה הסתיימה");
  EXPECT_EQ(Form->btnExit->Caption(), L"&סגור");
  EXPECT_EQ(Form->btnExit->Left(), 200);
  RECT place;
  GetWindowRect(Form->btnExit->Handle(), &place);
  MapWindowPoints(HWND_DESKTOP, Form->Handle(), reinterpret_cast<POINT*>(&place), 2);
  EXPECT_EQ(place.left, 200);
  EXPECT_EQ(place.top, 444);
  EXPECT_TRUE(IsWindowVisible(Form->btnExit->Handle()) && IsWindowEnabled(Form->btnExit->Handle()));
  EXPECT_FALSE(IsWindowVisible(Form->btnNext->Handle()));
  EXPECT_FALSE(IsWindowVisible(Form->btnBack->Handle()));
  EXPECT_TRUE(Form->ExitRequested);

  TAnswerDialogs watch(false);
  PostMessageW(Form->Handle(), WM_CLOSE, 0, 0);
  Pump(300);
  EXPECT_EQ(watch.Watch().Shown, 0);
  EXPECT_FALSE(IsWindowVisible(Form->Handle()));
}

TEST_F(WizardFormTest, ExitQuestionNamesTheProductAndCancelKeepsTheWizard) {
  Press(Form->btnNext);
  struct {
    const char* Way;
    std::function<void()> Request;
  } ways[] = {{"exit button", [&] { Press(Form->btnExit); }},
              {"title-bar X", [&] { ClickAt(Form->Handle(), 678, 10); }},
              {"system close", [&] { PostMessageW(Form->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }}};
  for (auto& way : ways) {
    SCOPED_TRACE(way.Way);
    TAnswerDialogs cancel(false);
    way.Request();
    Pump(400);
    EXPECT_EQ(cancel.Watch().Shown, 1);
    EXPECT_EQ(cancel.Watch().Caption, L"יציאה מהתקנה");
    EXPECT_EQ(cancel.Watch().Text,
              L"ההתקנה עדין לא סיימה להתקין את תוכנת Mirpan על מחשבך.\r\nהאם לצאת בכל מקרה ?\r\n");
    EXPECT_TRUE(IsWindowVisible(Form->Handle()));
    EXPECT_FALSE(Form->ExitRequested);
    EXPECT_EQ(Page(), 1);
  }
}

TEST_F(WizardFormTest, ConfirmedExitClosesAndOnlyTheButtonsSetTheFlag) {
  {
    TAnswerDialogs confirm(true);
    PostMessageW(Form->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump(400);
    EXPECT_EQ(confirm.Watch().Shown, 1);
  }
  EXPECT_FALSE(IsWindowVisible(Form->Handle()));
  EXPECT_FALSE(Form->ExitRequested);  // a running installation is not cut short

  Form->Show();
  Pump(100);
  TAnswerDialogs confirm(true);
  Press(Form->btnExit);
  Pump(400);
  EXPECT_EQ(confirm.Watch().Shown, 1);
  EXPECT_TRUE(Form->ExitRequested);
  EXPECT_FALSE(IsWindowVisible(Form->Handle()));
}

}  // namespace
}  // namespace WizardTest
