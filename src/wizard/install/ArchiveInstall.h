#pragma once
// Page 3's archive steps in local mode: the user-data backup and question, the extraction of
// one archive part with the wizard's progress display, both parts from the setup program's
// folder, and the installation log that the download mode keeps.
#include <functional>
#include <set>
#include <string>

#include "wizard/install/ArchivePass.h"

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
};

// The archive parts, in the order they are installed; the second holds the user data.
extern const wchar_t* const ArchiveParts[2];

// One shell copy of Source into DestinationFolder, stored beside Source as "<name> - Copy"
// (then " - Copy (2)" and on) since the two collide; true when the copy is there.
bool CopyFolder(const std::wstring& Source, const std::wstring& DestinationFolder);

class TArchiveInstaller {
 public:
  explicit TArchiveInstaller(TArchiveInstallContext Context);

  // True until a file of any part could not be installed.
  bool AllInstalled = true;

  // Backs existing user data up beside itself and asks whether to overwrite it.
  void CheckUserData(bool& OverwriteUserData);
  // True when the part was opened and its extraction ended without an error.
  bool ExtractArchive(const std::wstring& ArchivePath, bool ExtractAll);
  void InstallFromLocalArchives();
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
  bool OpenAndSelect(const std::wstring& ArchivePath, bool ExtractAll);
  void ExtractSelection(bool ExtractAll);
  bool KeptFilesPassTheirChecks() const;
  void ShowProgress(double Progress);

  TArchiveInstallContext F;
  // Files the current pass wrote, so that those kept despite a failed check can be found.
  std::set<std::string> FWritten;
};
