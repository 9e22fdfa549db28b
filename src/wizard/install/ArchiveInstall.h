#pragma once
// Page 3's archive steps: the user-data backup and question, the extraction of one archive
// part with the wizard's progress display, the local mode (both parts from the setup
// program's folder), the closing notice, and the installation log that the download mode
// (ArchiveDownload.h) keeps.
#include <windows.h>

#include <functional>
#include <set>
#include <string>

#include "framework/ScreenPace.h"
#include "wizard/install/ArchivePass.h"
#include "wizard/install/StampedParts.h"

class TLabel;
class TProgressFill;
class TStringList;

// What the form hands over: its components and the ways to read its state.
struct TArchiveInstallContext {
  std::function<std::wstring()> DriveRoot;  // the text of EDrivesCombo, such as D:\ .
  std::wstring SetupFolder;                 // where the parts lie; no trailing backslash
  TLabel* LSubject = nullptr;
  TLabel* Label21 = nullptr;
  TLabel* LFileName = nullptr;
  TProgressFill* pbProgress = nullptr;
  std::function<bool()> ExitRequested;
  std::function<void()> RefreshMainForm;
  TStampedParts Stamp;  // the maker's stamp the program carries
};

// One shell copy of Source into DestinationFolder, stored beside Source as "<name> - Copy"
// (then " - Copy (2)" and on) since the two collide; true when the copy is there.
bool CopyFolder(const std::wstring& Source, const std::wstring& DestinationFolder);

class TArchiveInstaller {
 public:
  explicit TArchiveInstaller(TArchiveInstallContext Context);

  // True until a file of any part could not be installed.
  bool AllInstalled = true;

  const TArchiveInstallContext& Context() const { return F; }

  // The start both modes share: the waiting caption, the maker's folder made or taken over
  // for administrators, then CheckUserData, which answers OverwriteUserData. False, after
  // telling the user why, when the folder could not be made theirs: nothing is installed.
  bool BeginInstallation(bool& OverwriteUserData);
  // Removes the maker's folder when the run left it empty, as when no part could be installed.
  void RemoveEmptyMakerFolder();
  // Backs existing user data up beside itself and asks whether to overwrite it.
  void CheckUserData(bool& OverwriteUserData);
  // Whether Part is extracted with every entry: all but the user-data part when the user
  // chose to keep the data.
  static bool ExtractsWhole(const std::wstring& Part, bool OverwriteUserData);
  // True when the part was opened and its extraction ended without an error.
  bool ExtractArchive(const std::wstring& ArchivePath, bool ExtractAll);
  // The same through Part, a handle the caller holds (see OpenHeldPart) so that nobody can
  // swap the file between its check and its extraction; ArchivePath names it.
  bool ExtractArchive(HANDLE Part, const std::wstring& ArchivePath, bool ExtractAll);
  void InstallFromLocalArchives();
  // Whether the part read through Part may be installed: any part when the program carries
  // no stamp, otherwise only one that matches its stamp.
  bool IsTheMakersPart(const std::wstring& PartName, HANDLE Part);
  // "Not every part installed", once, at the end of a mode that left AllInstalled false.
  void ShowClosingNoticeIfIncomplete();
  // Why the last archive step that raised failed: opening or an extraction pass.
  const std::string& LastFailure() const { return FLastFailure; }
  // Shows the latest progress and dispatches pending messages when the screen's pace says
  // so; also for long steps that report no progress of their own, such as checking a part
  // against its stamp.
  void KeepAnswering();
  // Writes the collected lines to Install.log in the product folder, else the drive root.
  void SaveInstallLog(const TStringList& InstallLog);

  // The archiver's event handlers.
  void ZipFileProgress(const std::string& FileName, double Progress, bool Finished, bool& Cancel);
  void ZipOverallProgress(double Progress, bool& Cancel);
  void ZipFileFailure(const std::string& FileName);

  // The form's archiver; ExtractCorruptedFiles, once on, stays on for the rest of the run.
  TArchivePass zipArchiver;

  // The product folder the parts go into: drive root + "Norvasto\Mirpan".
  std::wstring ProductFolder() const;
  bool ProductFolderExists() const;

 private:
  bool OpenAndSelect(HANDLE Part, const std::wstring& ArchivePath, bool ExtractAll);
  void ReportPartNotInstallable(const std::wstring& ArchivePath);
  void ExtractSelection(bool ExtractAll);
  bool KeptFilesPassTheirChecks() const;
  void ShowProgress(double Progress);
  void ShowLatestProgress();

  TArchiveInstallContext F;
  // Files the current pass wrote, so that those kept despite a failed check can be found.
  std::set<std::string> FWritten;
  std::string FLastFailure;
  bool FFolderRefused = false;
  // The archiver reports thousands of times a second; what it reported last is shown at the
  // screen's pace and once more when a pass ends.
  TScreenPace FPace;
  std::string FReportedFile;
  int FReportedPosition = 0;
};
