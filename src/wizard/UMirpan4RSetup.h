#pragma once
// The wizard window: a borderless right-to-left form of five notebook pages that drives the
// whole installation. The layout lives in UMirpan4RSetupLayout.cpp, the frame and the page
// navigation in UMirpan4RSetup.cpp, the installation steps in UMirpan4RSetupInstall.cpp, which
// hands the archive parts to the installation units of install/.
#include <cstdint>
#include <memory>
#include <string>

#include "controls/TLinkLabel.h"
#include "controls/TProgressFill.h"
#include "controls/TShapeButton.h"
#include "controls/UTopicBevel.h"
#include "framework/ExtControls.h"
#include "framework/Form.h"
#include "framework/ScreenPace.h"
#include "framework/StdControls.h"
#include "framework/Timer.h"
#include "http/NetComponent.h"
#include "tools/UinstTools.h"
#include "wizard/WizardButton.h"
#include "wizard/install/TSysInfo.h"

class TNetHTTP;
class TArchiveInstaller;

// The running program's folder, without a trailing backslash; the current directory when
// the system gives no program file name.
std::wstring ProgramFolder();

class TFrmSetUp : public TForm {
 public:
  explicit TFrmSetUp(TComponent* Owner);
  ~TFrmSetUp() override;

  // ---- layout (names as the installation's other units know them)
  TTopicBevel* TopicBevel1;
  TImage* imgSubImage;
  TShapeButton* ShapeButton3;
  TShapeButton* ShapeButton2;
  TShapeButton* ShapeButton1;
  TImage* Image1;
  TBevel* Bevel1;
  TBevel* Bevel4;
  TBevel* Bevel3;
  TNotebook* nbSetupWiz;
  TPanel* Panel1;
  TImage* Image2;
  TLinkLabel* LinkLabel1;
  TLabel* lblApplicationName;
  TWizardButton* btnNext;
  TWizardButton* btnBack;
  TWizardButton* btnExit;
  TTimer* Timer;
  TSysInfo SysInfo;
  // page 0 "Main"
  TLabel* Label4;
  TLinkLabel* LinkLabel2;
  TLabel* Label2;
  // page 1 "SetupType"
  TLabel* Label7;
  TLabel* Label8;
  TCheckBox* cbInstallEng1;
  // page 2 "SelectDrive"
  TLabel* Label9;
  TLabel* LStandAlon;
  TBevel* Bevel2;
  TComboBox* EDrivesCombo;
  TLabel* LSerchLable;
  TLabel* LInstPlace;
  TLabel* LPath;
  TCheckBox* CBAddShortCut;
  TCheckBox* cbSetWallPaper;
  // page 3 "Installation"
  TLabel* LinstallMsg;
  TLabel* LDownLoadMsg;
  TLabel* LSubject;
  TProgressFill* pbProgress;
  TLabel* Label21;
  TLabel* LFileName;
  // page 4 "PrintReport"
  TLabel* Label10;
  TLabel* LLAstProgName;

  // ---- state
  bool ExitRequested = false;
  std::unique_ptr<TNetHTTP> HttpClient;
  TInstaltionRec InstallRec;
  TPathRec PathRec;
  std::uint8_t InstallSource = 1;  // 0: parts beside the program, 1: download them
  int LastDriveIndex = 1;
  std::int32_t DownloadSize = 0;
  // Work events come with every few kilobytes; the latest count is shown at the screen's pace.
  std::int32_t Downloaded = 0;
  TScreenPace DownloadPace;
  bool Dragging = false;
  int DragX = 0;
  int DragY = 0;
  bool WaitingForTimer = false;
  bool AllInstalled = false;

  // ---- event handlers
  void FormCreate(TComponent* Sender);
  void FormDestroy(TComponent* Sender);
  void FormCloseQuery(TComponent* Sender, bool& CanClose);
  void btnExitClick(TComponent* Sender);
  void btnNextClick(TComponent* Sender);
  void btnBackClick(TComponent* Sender);
  void nbSetupWizPageChanged(TComponent* Sender);
  void ShapeButton1Click(TComponent* Sender);
  void ShapeButton2Click(TComponent* Sender);
  void ShapeButton3MouseDown(TComponent* Sender, TMouseButton Button, TShiftState Shift, int X,
                             int Y);
  void ShapeButton3MouseMove(TComponent* Sender, TShiftState Shift, int X, int Y);
  void ShapeButton3MouseUp(TComponent* Sender, TMouseButton Button, TShiftState Shift, int X,
                           int Y);
  void TimerTimer(TComponent* Sender);
  void LinkLabel1MouseEnter(TComponent* Sender);
  void LinkLabel1MouseExit(TComponent* Sender);
  void LinkLabel2MouseEnter(TComponent* Sender);
  void LinkLabel2MouseExit(TComponent* Sender);
  void EDrivesComboChange(TComponent* Sender);
  bool DriveHasRoom(const std::wstring& Root);
  void HttpClientWorkBegin(TNetComponent* Sender, TWorkMode AWorkMode, std::int32_t AWorkCountMax);
  void HttpClientWork(TNetComponent* Sender, TWorkMode AWorkMode, std::int32_t AWorkCount);
  void ShowDownloadProgress();

  // ---- routines
  bool ConfirmExit();
  void RefreshMainForm();
  void UpdateButtons(int N);
  // The product name: the hidden label's caption, read each time it is needed.
  std::wstring ProductName() const { return lblApplicationName->Caption(); }
  void FillDriveList();
  // Whether the folder holds the marker file "MirpanN.zip" that selects the local mode.
  static bool HasMarkerFile(const std::wstring& Folder);
  void InitInstallRecord();

  // The installation steps of page 3, in the order its entry action runs them.
  virtual void ApplyTargetDrive();
  virtual void InstallFromLocalArchives();
  virtual void DownloadAndInstallArchives();
  virtual void RunFinishingSteps();
  // Whether the archive steps left a product folder, that is, anything to finish.
  virtual bool ProductFolderExists();

 protected:
  void VisibleChanged() override;

 private:
  void CreateLayout();
  void CreateFrame();
  void CreatePageMain(TPage* page);
  void CreatePageSetupType(TPage* page);
  void CreatePageSelectDrive(TPage* page);
  void CreatePageInstallation(TPage* page);
  void CreatePageFinal(TPage* page);
  void ConnectEvents();
  // The pause between two download attempts: the window keeps answering while the timer runs.
  void PauseBeforeRetry();
  // The archive steps' worker, made on first use; its archiver lives for the whole run.
  TArchiveInstaller& ArchiveInstaller();
  std::unique_ptr<TArchiveInstaller> FArchiveInstaller;

  void EnterMainPage();
  void EnterSetupTypePage();
  void EnterSelectDrivePage();
  void EnterInstallationPage();
  void EnterFinalPage();

  static std::string FindSetupFolder();
};

extern TFrmSetUp* FrmSetUp;
