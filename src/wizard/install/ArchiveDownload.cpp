#include "wizard/install/ArchiveDownload.h"

#include "controls/TProgressFill.h"
#include "framework/Application.h"
#include "framework/ScreenPace.h"
#include "framework/StdControls.h"
#include "framework/StringList.h"
#include "framework/Text.h"
#include "http/NetHTTP.h"
#include "tools/MirpanProduct.h"
#include "wizard/install/ArchiveInstall.h"
#include "wizard/install/DownloadFile.h"
#include "wizard/install/InstallFiles.h"
#include "wizard/install/PartFetch.h"

using namespace MirpanProduct;

namespace {

constexpr int kFailureBudget = 4;  // failed downloads of the whole run before parts are given up
constexpr int kExtractAttempts = 4;
constexpr int32_t kDownloadReadTimeout = 12000;
constexpr int32_t kReadTimeout = 4000;

std::string Ascii(const std::wstring& Text) { return Cp1255FromWide(Text); }

std::string DownloadAddress(const std::wstring& PartName) {
  return std::string("http://") + MakerDownloadHost + "/uploads/" + Ascii(PartName);
}

}  // namespace

TArchiveDownloader::TArchiveDownloader(TArchiveInstaller& Installer, TNetHTTP& HttpClient,
                                       std::function<void()> PauseBeforeRetry)
    : FInstaller(Installer),
      FHttpClient(HttpClient),
      FPauseBeforeRetry(std::move(PauseBeforeRetry)) {}

bool TArchiveDownloader::DownloadAttempt(TPartFetch& Fetch, const std::wstring& PartName) {
  const TStampedParts& stamp = FInstaller.Context().Stamp;
  const bool stamped = stamp.State != TStampState::Unstamped;
  const TPartStampEntry* expected = stamp.Find(PartName);
  try {
    // A part the stamp does not know (or a stamp that cannot be read) is never the maker's.
    if (stamped && !expected) throw EPartMismatch("The stamp has no such part");
    const TDownloadFile::TVerdict verdict = Fetch.Attempt();
    if (!stamped || verdict == TDownloadFile::TVerdict::Matches ||
        (verdict == TDownloadFile::TVerdict::Unknown &&
         PartFileMatches(Fetch.File(), *expected, [this] { FInstaller.KeepAnswering(); })))
      return true;
    throw EPartMismatch("The part is not the maker's");
  } catch (const EPartMismatch& E) {
    FLastFailure = E.what();
    // Never extracted, so never left lying where it could be taken for the part, nor kept
    // for a later attempt to go on from.
    Fetch.Forget();
    Fetch.Discard();
  } catch (const std::exception& E) {
    FLastFailure = E.what();
  }
  // A connection left mid-answer must not carry into the next attempt.
  try {
    if (FHttpClient.IsConnected()) FHttpClient.Disconnect();
  } catch (const std::exception&) {
    // Already cut; the attempt's own failure is the one that counts.
  }
  return false;
}

bool TArchiveDownloader::DownloadPart(TPartFetch& Fetch, const std::wstring& PartName) {
  const TArchiveInstallContext& form = FInstaller.Context();
  bool downloaded = false;
  // The flag is tested before every attempt, the first one included: once the user chose to
  // leave (during the extraction of a part before), no part is fetched any more.
  while (!downloaded && !form.ExitRequested()) {
    downloaded = DownloadAttempt(Fetch, PartName);
    if (downloaded) break;
    if (FFailures >= kFailureBudget) break;
    FInstallLog->Add("Downloading file " + Ascii(PartName) + "----> Failed (" +
                     std::to_string(FFailures) + " Try)");
    ++FFailures;
    // No pause when the failure was the user's leaving: nothing follows it.
    if (!form.ExitRequested()) FPauseBeforeRetry();
  }
  // A part given up leaves no cut-off file at the drive root.
  if (!downloaded) Fetch.Discard();
  return downloaded;
}

bool TArchiveDownloader::InstallPart(TPartFetch& Fetch, const std::wstring& PartName,
                                     const std::wstring& FileName, bool OverwriteUserData) {
  const bool extractAll = TArchiveInstaller::ExtractsWhole(PartName, OverwriteUserData);
  for (int attempt = 1;; ++attempt) {
    if (FInstaller.ExtractArchive(Fetch.File(), FileName, extractAll)) {
      Fetch.Discard();
      return true;
    }
    if (attempt >= kExtractAttempts) return false;
    FInstallLog->Add("Installing file " + Ascii(PartName) + "----> Failed (" +
                     std::to_string(attempt) + " Try)");
  }
}

void TArchiveDownloader::ShowPartCaptions(int Number) {
  const TArchiveInstallContext& form = FInstaller.Context();
  form.Label21->SetCaption(L"מוריד רכיב מספר " + std::to_wstring(Number) + L" מתוך " +
                           std::to_wstring(ArchivePartCount) + L" הרכיבים המבוקשים.");
  form.Label21->Show();
  form.LSubject->SetCaption(L"מוריד מהאינטרנט רכיבים דרושים.");
  form.LFileName->SetBiDiMode(bdRightToLeft);
}

void TArchiveDownloader::FinishRun() {
  FHttpClient.ReadTimeout = kReadTimeout;
  FHttpClient.OnWaitSlice = nullptr;
  FInstaller.SaveInstallLog(*FInstallLog);
  FInstaller.RemoveEmptyMakerFolder();
}

void TArchiveDownloader::DownloadAndInstallArchives() {
  const TArchiveInstallContext& form = FInstaller.Context();
  FInstaller.AllInstalled = true;
  bool overwriteUserData = true;
  if (!FInstaller.BeginInstallation(overwriteUserData)) return;
  FHttpClient.ReadTimeout = kDownloadReadTimeout;
  // A silent server or a slow connect must not freeze the page: the window is served between
  // the slices of every wait, and leaving by its X ends the attempt there.
  FHttpClient.OnWaitSlice = [](TNetTCPConnection*) { Application->ProcessMessages(); };
  FHttpClient.WaitSlice = static_cast<int32_t>(TScreenPace::kAnswerInterval);
  FHttpClient.Response().SetKeepAlive(true);

  FFailures = 1;
  TStringList installLog;
  FInstallLog = &installLog;
  for (int i = 0; i < ArchivePartCount; ++i) {
    const std::wstring part = ArchiveParts[i];
    const std::string name = Ascii(part);
    const std::wstring file = form.DriveRoot() + part;
    ShowPartCaptions(i + 1);

    TPartFetch fetch(FHttpClient, DownloadAddress(part), file, form.Stamp.Find(part));
    const bool downloaded = DownloadPart(fetch, part);
    form.pbProgress->OptionsText = toPercent;  // for the extraction, whatever the download showed
    installLog.Add("Downloading file " + name + (downloaded ? "----> completed." : "----> Failed"));
    form.LFileName->SetBiDiMode(bdLeftToRight);

    if (form.ExitRequested()) {
      fetch.Discard();
      installLog.Add("Installtion aborted by user !!");
      FinishRun();
      return;
    }

    form.Label21->Show();
    const bool installed = downloaded && InstallPart(fetch, part, file, overwriteUserData);
    fetch.Release();
    // A part that never arrived or never extracted is as much a failure as a file that could
    // not be written, so the closing notice covers it too.
    if (!installed) FInstaller.AllInstalled = false;
    installLog.Add("Installing file " + name +
                   (installed    ? "----> Complited"
                    : downloaded ? "----> Failed"
                                 : "----> Not Installed."));
  }
  FinishRun();
  FInstaller.ShowClosingNoticeIfIncomplete();
}
