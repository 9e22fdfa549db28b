// The installation side of the wizard: the drive list of page 2, the installation record and
// the steps that page 3's entry action runs in order. Until the archive installation is in
// place its steps fail with a message, so the wizard never reaches its "finished" page
// without having installed anything.
#include <algorithm>
#include <cwctype>

#include "framework/Exception.h"
#include "framework/StringList.h"
#include "framework/Text.h"
#include "wizard/UMirpan4RSetup.h"

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

// The record's fields come with the installation record; until then it stays as cleared.
void TFrmSetUp::InitInstallRecord() {}

// Puts the chosen drive in front of the record's paths; comes with the installation record.
void TFrmSetUp::ApplyTargetDrive() {}

// Extracts the archive parts lying beside the program; comes with the archive installation.
void TFrmSetUp::InstallFromLocalArchives() {
  throw Exception("This SetUp cannot install the archive parts yet");
}

// Downloads and extracts the archive parts one by one; comes with the archive download.
void TFrmSetUp::DownloadAndInstallArchives() {
  throw Exception("This SetUp cannot download the archive parts yet");
}

// Registers the installation and dresses it (marker, settings, uninstall entry, file types,
// shortcuts, wallpaper, folder icons); comes with the finishing sequence.
void TFrmSetUp::RunFinishingSteps() {}
