#pragma once
// Download mode of page 3: each archive part is fetched from the maker's download server into
// a file at the root of the target drive and installed right after it arrived. Downloads are
// retried after a pause, extractions at once; every step leaves a line in the installation
// log. The extraction, the user-data question and the closing notice are the installer's.
#include <functional>
#include <string>

class TArchiveInstaller;
class TNetHTTP;
class TPartFetch;
class TStringList;

class TArchiveDownloader {
 public:
  // PauseBeforeRetry waits out the pause between two attempts with the window answering.
  TArchiveDownloader(TArchiveInstaller& Installer, TNetHTTP& HttpClient,
                     std::function<void()> PauseBeforeRetry);

  void DownloadAndInstallArchives();

  // Why the last failed download attempt failed, as the client raised it.
  const std::string& LastFailure() const { return FLastFailure; }

 private:
  // One attempt: the part fetched whole into the file Fetch holds (going on from what an
  // attempt before left) and, when the program is stamped, matching its stamp. A part counts
  // as downloaded only when this answers true; false leaves the reason in LastFailure.
  bool DownloadAttempt(TPartFetch& Fetch, const std::wstring& PartName);
  // The attempts for one part, within the run's failure budget.
  bool DownloadPart(TPartFetch& Fetch, const std::wstring& PartName);
  // Up to four extraction attempts of a downloaded part, through the file Fetch holds; the
  // file goes once the part is in.
  bool InstallPart(TPartFetch& Fetch, const std::wstring& PartName, const std::wstring& FileName,
                   bool OverwriteUserData);
  void ShowPartCaptions(int Number);
  void FinishRun();

  TArchiveInstaller& FInstaller;
  TNetHTTP& FHttpClient;
  std::function<void()> FPauseBeforeRetry;
  TStringList* FInstallLog = nullptr;  // lives for one run
  int FFailures = 1;                   // failed download attempts of the whole run, plus one
  std::string FLastFailure;
};
