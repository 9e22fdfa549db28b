// The installation side of the wizard: the drive list of page 2, the installation record and
// the steps that page 3's entry action runs in order, handed to the installation units.
#include <algorithm>
#include <cwctype>

#include "dialogs/UInstMirpanError.h"
#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/StringList.h"
#include "framework/Text.h"
#include "tools/MirpanProduct.h"
#include "wizard/UMirpan4RSetup.h"
#include "wizard/install/ArchiveDownload.h"
#include "wizard/install/ArchiveInstall.h"
#include "wizard/install/FinishingSequence.h"
#include "wizard/install/InstallRecord.h"

namespace {

std::wstring UpperCase(std::wstring text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(std::towupper(c)); });
  return text;
}

// The drive part of the system directory, such as "C:".
std::wstring SystemDrive() {
  wchar_t buffer[MAX_PATH + 1] = L"";
  UINT length = GetSystemDirectoryW(buffer, MAX_PATH);
  std::wstring folder(buffer, length <= MAX_PATH ? length : 0);
  if (folder.empty() || folder.back() != L'\\') folder += L'\\';
  if (folder.size() >= 2 && folder[1] == L':') return folder.substr(0, 2);
  return L"";
}

}  // namespace

void TFrmSetUp::FillDriveList() {
  TStringList drives;
  ListLogicalDrives(&drives);
  EDrivesCombo->Clear();
  for (int i = 0; i < drives.Count(); ++i) EDrivesCombo->AddItem(WideFromCp1255(drives[i]));
  std::wstring systemDrive = SystemDrive();
  LPath->SetCaption(systemDrive + WideFromCp1255(InstallRec.MainDirectory));
  for (int i = 0; i < EDrivesCombo->ItemCount(); ++i) {
    if (UpperCase(EDrivesCombo->Item(i)).find(UpperCase(systemDrive)) != std::wstring::npos) {
      EDrivesCombo->SetItemIndex(i);
      break;
    }
  }
  LastDriveIndex = 1;
}

// A drive is taken only with room for what the stamp says is coming (more than 150 MB free
// when the program carries no stamp); otherwise the one chosen before returns.
bool TFrmSetUp::DriveHasRoom(const std::wstring& Root) {
  const TStampedParts stamp = LoadStampedParts();
  if (stamp.State == TStampState::Unstamped) return HasEnoughDiskSpace(Cp1255FromWide(Root));
  return HasRoomFor(Cp1255FromWide(Root), stamp.RoomNeeded(InstallSource == 1));
}

void TFrmSetUp::EDrivesComboChange(TComponent* Sender) {
  std::wstring root = EDrivesCombo->Text();
  std::wstring target =
      root.substr(0, root.empty() ? 0 : root.size() - 1) + WideFromCp1255(InstallRec.MainDirectory);
  if (LPath->Caption().empty() || DriveHasRoom(root)) {
    LPath->SetCaption(target);
    LastDriveIndex = EDrivesCombo->ItemIndex();
    return;
  }
  UInstMirpanError::ShowErrorDialog(L"דיסק מלא",
                                    JoinLines({L"בדיסק אותו בחרת אין מספיק מקום להתקנת התוכנה.",
                                               L"להתקנה דרוש מינמום 150 מ\"ב", L"איתך הסליחה."}),
                                    dlHebrew);
  RefreshMainForm();
  if (EDrivesCombo->ItemIndex() != LastDriveIndex && LastDriveIndex >= 0 &&
      LastDriveIndex < EDrivesCombo->ItemCount()) {
    EDrivesCombo->SetItemIndex(LastDriveIndex);
    EDrivesComboChange(Sender);
  }
}

void TFrmSetUp::InitInstallRecord() { ::InitInstallRecord(InstallRec, ProductName(), SysInfo); }

void TFrmSetUp::ApplyTargetDrive() {
  ::ApplyTargetDrive(InstallRec, PathRec, LPath->Caption(), CBAddShortCut->Checked());
}

TArchiveInstaller& TFrmSetUp::ArchiveInstaller() {
  if (!FArchiveInstaller) {
    TArchiveInstallContext context;
    context.DriveRoot = [this] { return EDrivesCombo->Text(); };
    context.SetupFolder = ProgramFolder();  // the record's copy is windows-1255
    context.LSubject = LSubject;
    context.Label21 = Label21;
    context.LFileName = LFileName;
    context.pbProgress = pbProgress;
    context.ExitRequested = [this] { return ExitRequested; };
    context.RefreshMainForm = [this] { RefreshMainForm(); };
    context.Stamp = LoadStampedParts();
    FArchiveInstaller = std::make_unique<TArchiveInstaller>(std::move(context));
  }
  return *FArchiveInstaller;
}

void TFrmSetUp::InstallFromLocalArchives() {
  TArchiveInstaller& installer = ArchiveInstaller();
  installer.InstallFromLocalArchives();
  AllInstalled = installer.AllInstalled;
}

void TFrmSetUp::DownloadAndInstallArchives() {
  TArchiveInstaller& installer = ArchiveInstaller();
  TArchiveDownloader downloader(installer, *HttpClient, [this] { PauseBeforeRetry(); });
  downloader.DownloadAndInstallArchives();
  AllInstalled = installer.AllInstalled;
}

bool TFrmSetUp::ProductFolderExists() { return ArchiveInstaller().ProductFolderExists(); }

void TFrmSetUp::RunFinishingSteps() {
  TFinishingChoices choices;
  choices.DriveRoot = EDrivesCombo->Text();
  choices.ProductName = ProductName();
  choices.AddShortcut = CBAddShortCut->Checked();
  choices.SetWallPaper = cbSetWallPaper->Checked();
  RunFinishingSequence(InstallRec, choices, [](const std::function<void()>& Step) {
    Application->RunWhileAnswering(Step);
  });
}
