#pragma once
// The steps after the archive parts: first-run marker, settings key, uninstall entry, file
// types, shortcuts, wallpaper and the folder icons. An error a step raises is not caught
// here: it ends the sequence and reaches the application's handler.
#include <functional>
#include <string>

#include "tools/UinstTools.h"

// What the page hands over besides the record (after ApplyTargetDrive).
struct TFinishingChoices {
  std::wstring DriveRoot;    // the text of EDrivesCombo, such as D:\ .
  std::wstring ProductName;  // the caption of lblApplicationName
  bool AddShortcut = true;   // CBAddShortCut
  bool SetWallPaper = true;  // cbSetWallPaper
};

// Sets today's date, writes the settings key and the uninstall entry, registers the types.
void RegisterInstallation(TInstaltionRec& InstallRec);
void CreateShortcuts(const TInstaltionRec& InstallRec, const TFinishingChoices& Choices);
void ApplyWallpaper(const TInstaltionRec& InstallRec, const TFinishingChoices& Choices);
// desktop.ini in the maker's folder and the product folder, both folders marked system.
void SetFolderIcons(const TFinishingChoices& Choices);

// How each step is run: in place when not given. The wizard runs them beside its message
// loop, since a step may wait long on the system (the wallpaper's change is announced to
// every window there is).
using TStepRunner = std::function<void(const std::function<void()>& Step)>;

// All of the above, in order, the first-run marker first.
void RunFinishingSequence(TInstaltionRec& InstallRec, const TFinishingChoices& Choices,
                          const TStepRunner& RunStep = {});
