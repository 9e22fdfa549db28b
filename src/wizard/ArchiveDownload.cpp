// Download mode of page 3: each archive part is fetched from the maker's download server into
// a file at the root of the target drive and installed right after it arrived. Downloads are
// retried after a pause, extractions at once; every step leaves a line in the installation log.
#include <windows.h>

#include <string>

#include "dialogs/UInstMirpanError.h"
#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/StringList.h"
#include "framework/Text.h"
#include "http/NetHTTP.h"
#include "http/NetStream.h"
#include "wizard/UMirpan4RSetup.h"
#include "wizard/install/ArchiveInstall.h"

namespace {

constexpr int kFailureBudget = 4;  // failed downloads of the whole run before parts are given up
constexpr int kExtractAttempts = 4;
constexpr unsigned kRetryPause = 6000;
constexpr int32_t kDownloadReadTimeout = 12000;
constexpr int32_t kReadTimeout = 4000;

// A part's download file, written straight through the system's file API so that a disk
// error fails the attempt at the write that met it.
class TDownloadFile : public TNetStream {
 public:
  explicit TDownloadFile(const std::wstring& FileName)
      : FHandle(CreateFileW(FileName.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                            nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)) {
    if (FHandle == INVALID_HANDLE_VALUE) throw Exception("Cannot create file");
  }
  ~TDownloadFile() override { CloseHandle(FHandle); }
  TDownloadFile(const TDownloadFile&) = delete;
  TDownloadFile& operator=(const TDownloadFile&) = delete;

  int64_t Position() const override { return FPosition; }
  void SetPosition(int64_t position) override {
    LARGE_INTEGER at;
    at.QuadPart = position;
    if (!SetFilePointerEx(FHandle, at, nullptr, FILE_BEGIN)) throw Exception("Stream seek error");
    FPosition = position;
  }
  int64_t Size() const override { return FSize; }
  void SetSize(int64_t size) override {
    int64_t keep = FPosition > size ? size : FPosition;
    SetPosition(size);
    if (!SetEndOfFile(FHandle)) throw Exception("Stream write error");
    FSize = size;
    SetPosition(keep);
  }
  void Write(const void* buffer, size_t count) override {
    DWORD written = 0;
    if (!WriteFile(FHandle, buffer, static_cast<DWORD>(count), &written, nullptr) ||
        written != count)
      throw Exception("Stream write error");
    FPosition += static_cast<int64_t>(count);
    if (FPosition > FSize) FSize = FPosition;
  }
  size_t Read(void* buffer, size_t count) override {
    DWORD read = 0;
    if (!ReadFile(FHandle, buffer, static_cast<DWORD>(count), &read, nullptr)) return 0;
    FPosition += read;
    return read;
  }

 private:
  HANDLE FHandle;
  int64_t FPosition = 0;
  int64_t FSize = 0;
};

bool FileExists(const std::wstring& FileName) {
  DWORD attributes = GetFileAttributesW(FileName.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void DeleteIfThere(const std::wstring& FileName) {
  if (FileExists(FileName)) DeleteFileW(FileName.c_str());
}

std::string Ascii(const std::wstring& Text) { return Cp1255FromWide(Text); }

std::string DownloadAddress(const std::wstring& PartName) {
  return std::string("http://") + MakerDownloadHost + "/uploads/" + Ascii(PartName);
}

}  // namespace

const char* const MakerDownloadHost = "download.norvasto.co.il";

// The retry pause: the window keeps repainting and answering while the form's timer runs.
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

bool TFrmSetUp::DownloadPart(const std::wstring& PartName, const std::wstring& FileName,
                             int& Failures, TStringList& InstallLog) {
  const std::string url = DownloadAddress(PartName);
  bool downloaded = false;
  // The flag is tested before every attempt, the first one included: once the user chose to
  // leave (during the extraction of a part before), no part is fetched any more.
  while (!downloaded && !ExitRequested) {
    try {
      DeleteIfThere(FileName);
      TDownloadFile file(FileName);
      HttpClient->Get(url, file);
      downloaded = true;
    } catch (...) {
      // A connection left mid-answer must not carry into the next attempt.
      try {
        if (HttpClient->IsConnected()) HttpClient->Disconnect();
      } catch (...) {
      }
      if (Failures >= kFailureBudget) break;
      InstallLog.Add("Downloading file " + Ascii(PartName) + "----> Failed (" +
                     std::to_string(Failures) + " Try)");
      ++Failures;
      // No pause when the failure was the user's leaving: nothing follows it.
      if (!ExitRequested) PauseBeforeRetry();
    }
  }
  // A part given up leaves no cut-off file at the drive root.
  if (!downloaded) DeleteIfThere(FileName);
  return downloaded;
}

void TFrmSetUp::DownloadAndInstallArchives() {
  LSubject->SetCaption(L"המתן בבקשה ...");
  Application->ProcessMessages();
  TArchiveInstaller& installer = ArchiveInstaller();
  bool overwriteUserData = true;
  installer.CheckUserData(overwriteUserData);
  HttpClient->ReadTimeout = kDownloadReadTimeout;
  HttpClient->Response().SetKeepAlive(true);

  int failures = 1;
  WaitingForTimer = false;
  TStringList InstallLog;
  installer.AllInstalled = true;
  bool everyPartInstalled = true;
  const int count = static_cast<int>(sizeof ArchiveParts / sizeof ArchiveParts[0]);
  for (int i = 0; i < count; ++i) {
    const std::wstring part = ArchiveParts[i];
    const std::string name = Ascii(part);
    const std::wstring file = EDrivesCombo->Text() + part;
    Label21->SetCaption(L"מוריד רכיב מספר " + std::to_wstring(i + 1) + L" מתוך " +
                        std::to_wstring(count) + L" הרכיבים המבוקשים.");
    Label21->Show();
    LSubject->SetCaption(L"מוריד מהאינטרנט רכיבים דרושים.");
    LFileName->SetBiDiMode(bdRightToLeft);

    bool downloaded = DownloadPart(part, file, failures, InstallLog);
    pbProgress->OptionsText = toPercent;  // for the extraction, whatever the download showed
    InstallLog.Add("Downloading file " + name + (downloaded ? "----> completed." : "----> Failed"));
    LFileName->SetBiDiMode(bdLeftToRight);

    if (ExitRequested) {
      DeleteIfThere(file);
      HttpClient->ReadTimeout = kReadTimeout;
      InstallLog.Add("Installtion aborted by user !!");
      installer.SaveInstallLog(InstallLog);
      AllInstalled = installer.AllInstalled;
      return;
    }

    Label21->Show();
    bool installed = false;
    for (int attempt = 1; downloaded && !installed; ++attempt) {
      bool extractAll = overwriteUserData || part != L"MirpanN2.zip";
      if (installer.ExtractArchive(file, extractAll)) {
        installed = true;
        DeleteIfThere(file);
      } else if (attempt >= kExtractAttempts) {
        break;
      } else {
        InstallLog.Add("Installing file " + name + "----> Failed (" + std::to_string(attempt) +
                       " Try)");
      }
    }
    // A part that never arrived or never extracted is as much a failure as a file that could
    // not be written, so the closing notice covers it too.
    if (!installed) everyPartInstalled = false;
    InstallLog.Add("Installing file " + name +
                   (installed    ? "----> Complited"
                    : downloaded ? "----> Failed"
                                 : "----> Not Installed."));
  }
  HttpClient->ReadTimeout = kReadTimeout;
  installer.SaveInstallLog(InstallLog);
  AllInstalled = installer.AllInstalled && everyPartInstalled;
  if (!AllInstalled)
    UInstMirpanError::ShowInfoDialog(
        L"התקנת Mirpan", JoinLines({L"לפחות אחד הרכיבים לא הותקן בהצלחה.", L"איתך הסליחה."}), 2);
}
