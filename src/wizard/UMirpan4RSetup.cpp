// The wizard frame: start and end of the form, leaving the wizard, the title bar, the page
// navigation with each page's entry action, the link colours and the download progress.
#include "wizard/UMirpan4RSetup.h"

#include <cmath>

#include "dialogs/UInstMirpanError.h"
#include "framework/Application.h"
#include "framework/Text.h"
#include "http/NetHTTP.h"
#include "tools/MirpanProduct.h"
#include "wizard/install/ArchiveInstall.h"
#include "wizard/install/InstallFiles.h"

TFrmSetUp* FrmSetUp = nullptr;

namespace {

constexpr unsigned kRetryPause = 6000;

enum TWizardPage { pgMain, pgSetupType, pgSelectDrive, pgInstallation, pgFinal };

}  // namespace

std::wstring ProgramFolder() {
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  std::wstring folder = path;
  if (folder.empty()) {
    folder.resize(32768);
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
  } else {
    // A name without any backslash leaves nothing rather than running past the start.
    while (!folder.empty() && folder.back() != L'\\') folder.pop_back();
    if (!folder.empty()) folder.pop_back();
  }
  if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  return folder;
}

TFrmSetUp::TFrmSetUp(TComponent* Owner) : TForm(Owner, bsNone) {
  CreateLayout();
  ConnectEvents();
  FormCreate(this);
}

// Called here rather than from OnDestroy: the form's own members are gone by the time the
// base class fires that.
TFrmSetUp::~TFrmSetUp() { FormDestroy(this); }

void TFrmSetUp::ConnectEvents() {
  OnCloseQuery = [this](TComponent* s, bool& canClose) { FormCloseQuery(s, canClose); };
  btnNext->OnClick = [this](TComponent* s) { btnNextClick(s); };
  btnBack->OnClick = [this](TComponent* s) { btnBackClick(s); };
  btnExit->OnClick = [this](TComponent* s) { btnExitClick(s); };
  nbSetupWiz->OnPageChanged = [this](TComponent* s) { nbSetupWizPageChanged(s); };
  ShapeButton1->OnClick = [this](TComponent* s) { ShapeButton1Click(s); };
  ShapeButton2->OnClick = [this](TComponent* s) { ShapeButton2Click(s); };
  ShapeButton3->OnMouseDown = [this](TComponent* s, TMouseButton b, TShiftState sh, int x, int y) {
    ShapeButton3MouseDown(s, b, sh, x, y);
  };
  ShapeButton3->OnMouseMove = [this](TComponent* s, TShiftState sh, int x, int y) {
    ShapeButton3MouseMove(s, sh, x, y);
  };
  ShapeButton3->OnMouseUp = [this](TComponent* s, TMouseButton b, TShiftState sh, int x, int y) {
    ShapeButton3MouseUp(s, b, sh, x, y);
  };
  Timer->OnTimer = [this](TComponent* s) { TimerTimer(s); };
  EDrivesCombo->OnChange = [this](TComponent* s) { EDrivesComboChange(s); };
  LinkLabel1->OnMouseEnter = [this](TComponent* s) { LinkLabel1MouseEnter(s); };
  LinkLabel1->OnMouseExit = [this](TComponent* s) { LinkLabel1MouseExit(s); };
  LinkLabel2->OnMouseEnter = [this](TComponent* s) { LinkLabel2MouseEnter(s); };
  LinkLabel2->OnMouseExit = [this](TComponent* s) { LinkLabel2MouseExit(s); };
}

void TFrmSetUp::VisibleChanged() {
  TForm::VisibleChanged();
  // Centred when first shown only: a re-show after a dialog keeps where the user dragged it.
  if (FVisible) Position = poDesigned;
}

// ---- start and end

void TFrmSetUp::FormCreate(TComponent*) {
  HttpClient = std::make_unique<TNetHTTP>();
  HttpClient->OnWork = [this](TNetComponent* s, TWorkMode mode, std::int32_t count) {
    HttpClientWork(s, mode, count);
  };
  HttpClient->OnWorkBegin = [this](TNetComponent* s, TWorkMode mode, std::int32_t total) {
    HttpClientWorkBegin(s, mode, total);
  };
  HttpClient->OnWorkEnd = [this](TNetComponent*, TWorkMode) { ShowDownloadProgress(); };
  ExitRequested = false;
  Dragging = false;
  ZeroRecord(InstallRec);
  ZeroRecord(PathRec);
  PathRec.SetupFolder = FindSetupFolder();
  UInstMirpanError::StyledLook = true;
  LPath->SetCaption(L"");
  if (nbSetupWiz->PageIndex() == pgMain)
    nbSetupWizPageChanged(nbSetupWiz);  // the notebook starts there and would not fire
  else
    nbSetupWiz->SetPageIndex(pgMain);
  FillDriveList();
  LPath->SetCaption(EDrivesCombo->Text() + MirpanProduct::MakerFolder + L"\\" + ProductName());
  InstallSource = HasMarkerFile(ProgramFolder()) ? 0 : 1;
}

void TFrmSetUp::FormDestroy(TComponent*) {
  if (!HttpClient) return;
  HttpClient->OnWork = nullptr;
  HttpClient->OnWorkBegin = nullptr;
  HttpClient.reset();
}

std::string TFrmSetUp::FindSetupFolder() { return Cp1255FromWide(ProgramFolder()); }

// Only the marker decides; the archive parts themselves are looked for when installing.
bool TFrmSetUp::HasMarkerFile(const std::wstring& Folder) {
  return FileExists(Folder + L"\\" + MirpanProduct::MarkerPart);
}

// ---- leaving the wizard

bool TFrmSetUp::ConfirmExit() {
  std::wstring text =
      JoinLines({L"ההתקנה עדין לא סיימה להתקין את תוכנת " + ProductName() + L" על מחשבך.",
                 L"האם לצאת בכל מקרה ?"});
  bool leave = UInstMirpanError::AskYesNoDialog(L"יציאה מהתקנה", text, dlHebrew, false);
  RefreshMainForm();
  return leave;
}

void TFrmSetUp::btnExitClick(TComponent*) {
  if (!ExitRequested && !ConfirmExit()) return;
  ExitRequested = true;
  // A download in progress fails at once and, with ExitRequested set, is not retried.
  if (HttpClient->IsConnected()) HttpClient->Disconnect();
  Close();
}

void TFrmSetUp::ShapeButton1Click(TComponent* Sender) { btnExitClick(Sender); }

void TFrmSetUp::FormCloseQuery(TComponent*, bool& CanClose) {
  CanClose = ExitRequested || ConfirmExit();
}

void TFrmSetUp::RefreshMainForm() {
  Hide();
  Application->ProcessMessages();
  Show();
  Application->ProcessMessages();
}

// ---- title bar

void TFrmSetUp::ShapeButton2Click(TComponent*) { Application->Minimize(); }

void TFrmSetUp::ShapeButton3MouseDown(TComponent*, TMouseButton, TShiftState, int X, int Y) {
  DragX = X;
  DragY = Y;
  Dragging = true;
}

void TFrmSetUp::ShapeButton3MouseMove(TComponent*, TShiftState, int X, int Y) {
  if (!Dragging) return;
  SetLeft(Left() + X - DragX);
  SetTop(Top() + Y - DragY);
}

void TFrmSetUp::ShapeButton3MouseUp(TComponent*, TMouseButton, TShiftState, int, int) {
  Dragging = false;
}

void TFrmSetUp::TimerTimer(TComponent*) {
  Timer->SetEnabled(false);
  WaitingForTimer = false;
}

void TFrmSetUp::PauseBeforeRetry() {
  WaitingForTimer = true;
  Timer->SetInterval(kRetryPause);
  Timer->SetEnabled(true);
  // A bound of our own besides the timer, so a form that lost its timer cannot hang here.
  DWORD deadline = GetTickCount() + kRetryPause + 2000;
  try {
    while (WaitingForTimer) {
      Application->ProcessMessages();
      if (!WaitingForTimer) break;
      LONG left = static_cast<LONG>(deadline - GetTickCount());
      if (left <= 0) break;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
    }
  } catch (...) {
    // A failing handler ends the pause early; the next attempt follows.
  }
  WaitingForTimer = false;
  Timer->SetEnabled(false);
}

// ---- link colours

void TFrmSetUp::LinkLabel1MouseEnter(TComponent*) {
  LinkLabel1->InActiveColor = WizardColour::LinkHover;
  LinkLabel1->Font().SetColor(WizardColour::LinkHover);
}

void TFrmSetUp::LinkLabel1MouseExit(TComponent*) {
  LinkLabel1->InActiveColor = clWindow;
  LinkLabel1->Font().SetColor(clWindow);
}

void TFrmSetUp::LinkLabel2MouseEnter(TComponent*) {
  LinkLabel2->InActiveColor = WizardColour::LinkHover;
  LinkLabel2->Font().SetColor(WizardColour::LinkHover);
}

void TFrmSetUp::LinkLabel2MouseExit(TComponent*) {
  LinkLabel2->InActiveColor = WizardColour::PageText;
  LinkLabel2->Font().SetColor(WizardColour::PageText);
}

// ---- download progress

void TFrmSetUp::HttpClientWorkBegin(TNetComponent*, TWorkMode, std::int32_t AWorkCountMax) {
  pbProgress->SetPosition(0);
  DownloadSize = AWorkCountMax;
  Downloaded = 0;
  DownloadPace.Restart();
  // Without a total there is no percent to show; the bar carries the amount instead.
  pbProgress->OptionsText = DownloadSize > 0 ? toPercent : toCaption;
}

void TFrmSetUp::HttpClientWork(TNetComponent*, TWorkMode, std::int32_t AWorkCount) {
  Downloaded = AWorkCount;
  DownloadPace.Report([this] { ShowDownloadProgress(); });
}

void TFrmSetUp::ShowDownloadProgress() {
  auto kilobytes = [](double bytes) { return std::to_wstring(std::lround(bytes / 1024)); };
  if (DownloadSize > 0) {
    pbProgress->SetPosition(static_cast<int>(std::lround(double(Downloaded) / DownloadSize * 100)));
    LFileName->SetCaption(L"הורדו " + kilobytes(Downloaded) + L" (KB)" + L" מתוך " +
                          kilobytes(DownloadSize) + L" (KB)");
  } else {
    // No announced total: the amount so far in the label and on the bar, which fills once per
    // megabyte so that it keeps moving while data comes.
    const std::wstring amount = L"הורדו " + kilobytes(Downloaded) + L" (KB)";
    const std::int32_t megabyte = 1024 * 1024;
    LFileName->SetCaption(amount);
    pbProgress->SetCaption(amount);
    pbProgress->SetPosition(static_cast<int>(std::int64_t{Downloaded % megabyte} * 100 / megabyte));
  }
  pbProgress->Repaint();
  Application->ProcessMessages();
}

// ---- pages

void TFrmSetUp::btnNextClick(TComponent*) { nbSetupWiz->SetPageIndex(nbSetupWiz->PageIndex() + 1); }

void TFrmSetUp::btnBackClick(TComponent*) { nbSetupWiz->SetPageIndex(nbSetupWiz->PageIndex() - 1); }

void TFrmSetUp::UpdateButtons(int N) {
  btnNext->SetEnabled(N < 5);
  btnBack->SetEnabled(N >= 0 && N <= 4);
  btnExit->SetEnabled(N < 6);
}

void TFrmSetUp::nbSetupWizPageChanged(TComponent*) {
  int page = nbSetupWiz->PageIndex();
  UpdateButtons(page - 1);
  switch (page) {
    case pgMain:
      EnterMainPage();
      break;
    case pgSetupType:
      EnterSetupTypePage();
      break;
    case pgSelectDrive:
      EnterSelectDrivePage();
      break;
    case pgInstallation:
      EnterInstallationPage();
      break;
    case pgFinal:
      EnterFinalPage();
      break;
    default:
      break;
  }
}

void TFrmSetUp::EnterMainPage() { SetCaption(L"ברוכים הבאים"); }

void TFrmSetUp::EnterSetupTypePage() {
  SetCaption(L"שלב א : תצורת התקנה");
  // Passing this page again restores the relative paths the target drive is put before.
  InitInstallRecord();
}

void TFrmSetUp::EnterSelectDrivePage() {
  InstallRec.InstallType = 0;
  InstallRec.EngineType = 0;
  SetCaption(L"שלב א : מיקום התקנה");
  if (InstallSource == 0) LinstallMsg->Show();
  if (InstallSource == 1) LDownLoadMsg->Show();
}

// The whole installation runs inside this entry action; the navigation buttons stay
// disabled throughout, so clicks on them while it runs do nothing.
void TFrmSetUp::EnterInstallationPage() {
  ApplyTargetDrive();
  btnExit->Hide();
  btnNext->SetEnabled(false);
  btnBack->SetEnabled(false);
  SetCaption(L"התקנת התוכנה ורישומה");
  RefreshMainForm();
  if (InstallSource == 0)
    InstallFromLocalArchives();
  else
    DownloadAndInstallArchives();
  // With no product folder nothing was installed. The finishing steps would register an
  // installation that is not there, point the links and the wallpaper at missing files and
  // fail on the folder icons; so they are skipped, and the window stays here with its exit.
  const bool installed = ProductFolderExists();
  if (installed) RunFinishingSteps();
  btnExit->Show();
  if (installed && !ExitRequested) nbSetupWiz->SetPageIndex(nbSetupWiz->PageIndex() + 1);
}

void TFrmSetUp::EnterFinalPage() {
  SetCaption(L"ההתקנה הסתיימה");
  btnExit->SetCaption(L"&סגור");
  RefreshMainForm();
  btnExit->SetLeft(200);
  btnExit->SetEnabled(true);
  // From here on leaving needs no confirmation.
  ExitRequested = true;
  btnBack->Hide();
  btnNext->Hide();
  Application->ProcessMessages();
}
