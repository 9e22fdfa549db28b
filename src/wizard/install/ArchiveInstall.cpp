#include "wizard/install/ArchiveInstall.h"

#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>
#include <zlib.h>

#include <cmath>

#include "controls/TProgressFill.h"
#include "dialogs/UInstMirpanError.h"
#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/StdControls.h"
#include "framework/StringList.h"
#include "framework/Text.h"
#include "tools/MirpanProduct.h"
#include "tools/ProtectedFolder.h"
#include "wizard/install/InstallFiles.h"

using namespace UInstMirpanError;

namespace {

const wchar_t* const InstallCaption = L"התקנת Mirpan";
const wchar_t* const CrLf = L"\r\n";

// Size and CRC-32 of a file on disk; false when it cannot be read.
bool FileChecksum(const std::wstring& Name, uint64_t& Size, uint32_t& Crc) {
  TFileHandle file(CreateFileW(Name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.Valid()) return false;
  uLong crc = crc32(0, nullptr, 0);
  Size = 0;
  const bool read = ReadInBlocks(file.Get(), [&](const uint8_t* Data, size_t Count) {
    crc = crc32(crc, Data, static_cast<uInt>(Count));
    Size += Count;
    return true;
  });
  Crc = static_cast<uint32_t>(crc);
  return read;
}

}  // namespace

bool CopyFolder(const std::wstring& Source, const std::wstring& DestinationFolder) {
  // The copy always collides with Source. Not every shell renames on collision (some answer
  // success and copy nothing), so the copy is given the collision name here. Some also answer
  // success when a file could not be read; the question then promised a backup that lacks the
  // data. So the copy counts only when every file of Source is in it.
  std::wstring folder = DestinationFolder;
  if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
  const std::wstring name = Source.substr(Source.find_last_of(L'\\') + 1);
  std::wstring target = folder + name + L" - Copy";
  for (int n = 2; GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES; ++n)
    target = folder + name + L" - Copy (" + std::to_wstring(n) + L")";

  std::wstring from = Source + L'\0';  // the lists end in two zeros
  std::wstring to = target + L'\0';
  SHFILEOPSTRUCTW operation = {};
  operation.wFunc = FO_COPY;
  operation.pFrom = from.c_str();
  operation.pTo = to.c_str();
  operation.fFlags = 668;  // silent, rename on collision, no questions, files only
  return SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted &&
         FolderExists(target) && CopiedWhole(Source, target);
}

TArchiveInstaller::TArchiveInstaller(TArchiveInstallContext Context) : F(std::move(Context)) {
  zipArchiver.OnFileProgress = [this](const std::string& FileName, double Progress, bool Finished,
                                      bool& Cancel) {
    ZipFileProgress(FileName, Progress, Finished, Cancel);
  };
  zipArchiver.OnOverallProgress = [this](double Progress, bool& Cancel) {
    ZipOverallProgress(Progress, Cancel);
  };
  zipArchiver.OnDecoding = [this] { KeepAnswering(); };
  zipArchiver.OnFileFailure = [this](const std::string& FileName) { ZipFileFailure(FileName); };
}

std::wstring TArchiveInstaller::ProductFolder() const {
  return F.DriveRoot() + MirpanProduct::ProductFolder;
}

// A folder that could not be made the administrators' holds nothing this run installed.
bool TArchiveInstaller::ProductFolderExists() const {
  return !FFolderRefused && FolderExists(ProductFolder());
}

bool TArchiveInstaller::BeginInstallation(bool& OverwriteUserData) {
  F.LSubject->SetCaption(L"המתן בבקשה ...");
  Application->ProcessMessages();
  OverwriteUserData = true;
  const std::wstring refused = SecureMakerFolder(F.DriveRoot() + MirpanProduct::MakerFolder);
  if (!refused.empty()) {
    FFolderRefused = true;
    FLastFailure = Cp1255FromWide(refused);
    AllInstalled = false;
    ShowErrorDialog(InstallCaption, JoinLines({refused, L"ההתקנה הופסקה."}), dlHebrew);
    F.RefreshMainForm();
    return false;
  }
  CheckUserData(OverwriteUserData);
  return true;
}

void TArchiveInstaller::RemoveEmptyMakerFolder() {
  // Fails, as it should, on a folder that holds anything.
  RemoveDirectoryW((F.DriveRoot() + MirpanProduct::MakerFolder).c_str());
}

bool TArchiveInstaller::ExtractsWhole(const std::wstring& Part, bool OverwriteUserData) {
  return OverwriteUserData || Part != MirpanProduct::UserDataPart;
}

void TArchiveInstaller::CheckUserData(bool& OverwriteUserData) {
  const std::wstring folder = ProductFolder() + L"\\UserData";
  OverwriteUserData = true;
  const std::wstring base = folder.substr(folder.find_last_of(L'\\') + 1);
  if (!FolderExists(folder) || !FileExists(folder + L"\\" + base + L".mdb")) return;
  // A link in its place would have the backup copy someone else's files where users can read
  // them; the extraction refuses to write through it anyway.
  if (!LinkRefusal(folder).empty()) return;

  const std::wstring target = ProductFolder() + L"\\";
  bool copied = false;
  try {
    // The shell copies the whole folder in one call, which may take long.
    Application->RunWhileAnswering([&] { copied = CopyFolder(folder, target); });
  } catch (const std::exception& E) {
    FLastFailure = E.what();
    copied = false;
  }
  std::wstring note = copied ? std::wstring(L"תוכנת ההתקנה יצרה עותק של מחיצת החברה לעבודה") +
                                   CrLf + L"ושמרה אותו ב-" + target
                             : std::wstring(L"שים לב !") + CrLf +
                                   L"תוכנת ההתקנה לא הצליחה ליצור עותק של החברה לעבודה";
  std::wstring text = std::wstring(L"תוכנת ההתקנה זיהתה, שקיימים נתונים") + CrLf +
                      L"בחברה לעבודה (חברה מספר 1)." + CrLf + note + CrLf +
                      L"האם לדרוס את הנתונים בחברה לעבודה," + CrLf +
                      L"ולהחליפם בחברה לעבודה חדשה (ריקה) ?";
  OverwriteUserData = AskYesNoDialog(L"גיבוי נתוני חברה לעבודה", text, dlHebrew, true);
  F.RefreshMainForm();
}

bool TArchiveInstaller::OpenAndSelect(HANDLE Part, const std::wstring& ArchivePath,
                                      bool ExtractAll) {
  try {
    // Reading the directory of a part with thousands of entries takes a while.
    const std::wstring product = ProductFolder();
    if (Part == INVALID_HANDLE_VALUE)
      throw Exception("Cannot open file " +
                      Utf8FromU16(std::u16string(ArchivePath.begin(), ArchivePath.end())));
    Application->RunWhileAnswering(
        [&] { zipArchiver.Open(Part, ArchivePath, product, ExtractAll); });
    return true;
  } catch (const std::exception& E) {
    FLastFailure = E.what();
    zipArchiver.Close();
    ReportPartNotInstallable(ArchivePath);
    return false;
  }
}

void TArchiveInstaller::ReportPartNotInstallable(const std::wstring& ArchivePath) {
  ShowInfoDialog(
      InstallCaption,
      L"הרכיב " + ArchivePath + L" פגום." + CrLf + L"לא ניתן להתקינו." + CrLf + L"איתך הסליחה.",
      dlHebrew);
  F.RefreshMainForm();
}

bool TArchiveInstaller::IsTheMakersPart(const std::wstring& PartName, HANDLE Part) {
  if (F.Stamp.State == TStampState::Unstamped) return true;
  const TPartStampEntry* stamp = F.Stamp.Find(PartName);
  return stamp && PartFileMatches(Part, *stamp, [this] { KeepAnswering(); });
}

void TArchiveInstaller::ExtractSelection(bool ExtractAll) {
  FWritten.clear();
  FPace.Restart();
  zipArchiver.Extract(ExtractAll);
}

bool TArchiveInstaller::ExtractArchive(const std::wstring& ArchivePath, bool ExtractAll) {
  TFileHandle part(OpenHeldPart(ArchivePath));
  return ExtractArchive(part.Get(), ArchivePath, ExtractAll);
}

bool TArchiveInstaller::ExtractArchive(HANDLE Part, const std::wstring& ArchivePath,
                                       bool ExtractAll) {
  if (!OpenAndSelect(Part, ArchivePath, ExtractAll)) return false;
  F.LSubject->SetCaption(L"התקנה ורישום המערכת");

  bool result = true;
  try {
    ExtractSelection(ExtractAll);
  } catch (const std::exception& E) {
    FLastFailure = E.what();
    zipArchiver.SetExtractCorruptedFiles(true);
    try {
      ExtractSelection(ExtractAll);
    } catch (const std::exception& Again) {
      FLastFailure = Again.what();
      result = false;
    }
  }
  ShowLatestProgress();
  // A part whose extraction broke off has files missing, whatever the single files said.
  if (!result) AllInstalled = false;
  if (zipArchiver.ExtractCorruptedFiles()) {
    // Reads back every file the pass wrote.
    bool checked = true;
    Application->RunWhileAnswering([&] { checked = KeptFilesPassTheirChecks(); });
    if (!checked) AllInstalled = false;
  }
  zipArchiver.Close();
  return result;
}

// With ExtractCorruptedFiles on the archiver keeps a file that fails its size or CRC-32
// check without a word; such a file is not installed, so look at what the pass wrote.
bool TArchiveInstaller::KeptFilesPassTheirChecks() const {
  const std::wstring base = ProductFolder() + L"\\";
  for (const TArchivePass::TEntry& entry : zipArchiver.Entries()) {
    if (entry.Folder || !FWritten.count(entry.Name)) continue;
    uint64_t size = 0;
    uint32_t crc = 0;
    if (!FileChecksum(base + entry.Path, size, crc)) return false;
    if (size != entry.Size || crc != entry.Crc32) return false;
  }
  return true;
}

void TArchiveInstaller::ShowProgress(double Progress) {
  FReportedPosition = static_cast<int>(std::lround(Progress));
  KeepAnswering();
}

void TArchiveInstaller::ShowLatestProgress() {
  if (!FReportedFile.empty()) F.LFileName->SetCaption(WideFromCp1255(FReportedFile));
  F.pbProgress->SetPosition(FReportedPosition);
  Application->ProcessMessages();
}

void TArchiveInstaller::KeepAnswering() {
  FPace.Report([this] { ShowLatestProgress(); });
}

void TArchiveInstaller::ZipFileProgress(const std::string& FileName, double Progress, bool Finished,
                                        bool& Cancel) {
  FReportedFile = FileName;
  // A file whose pass was cancelled before its end was removed again, so it was not written.
  if (Finished && !Cancel) FWritten.insert(FileName);
  ShowProgress(Progress);
  if (F.ExitRequested()) Cancel = true;
}

void TArchiveInstaller::ZipOverallProgress(double Progress, bool& Cancel) {
  ShowProgress(Progress);
  if (F.ExitRequested()) Cancel = true;
}

void TArchiveInstaller::ZipFileFailure(const std::string&) { AllInstalled = false; }

void TArchiveInstaller::InstallFromLocalArchives() {
  F.Label21->Hide();
  F.pbProgress->SetPosition(0);
  AllInstalled = true;
  bool overwriteUserData = true;
  if (!BeginInstallation(overwriteUserData)) return;
  F.LSubject->SetCaption(L"מעתיק רכיבים דרושים.");
  for (const wchar_t* part : MirpanProduct::ArchiveParts) {
    F.Label21->Show();
    const std::wstring file = F.SetupFolder + L"\\" + part;
    // Held from the first byte checked to the end of its extraction. A part that is not the
    // maker's is never extracted, and the installation is incomplete.
    TFileHandle held(OpenHeldPart(file));
    if (!IsTheMakersPart(part, held.Get())) {
      ReportPartNotInstallable(file);
      AllInstalled = false;
      continue;
    }
    ExtractArchive(held.Get(), file, ExtractsWhole(part, overwriteUserData));
  }
  RemoveEmptyMakerFolder();
  ShowClosingNoticeIfIncomplete();
}

void TArchiveInstaller::ShowClosingNoticeIfIncomplete() {
  if (!AllInstalled)
    ShowInfoDialog(InstallCaption,
                   JoinLines({L"לפחות אחד הרכיבים לא הותקן בהצלחה.", L"איתך הסליחה."}), dlHebrew);
}

void TArchiveInstaller::SaveInstallLog(const TStringList& InstallLog) {
  std::wstring place = ProductFolder() + L"\\";
  if (!FolderExists(place)) place = F.DriveRoot();
  WriteFileNoLinks(place + L"Install.log", InstallLog.Text());
}
