#pragma once
// UinstTools: the installation's plain routines that touch the system. Strings are 8-bit
// windows-1255 text, as the settings record holds them; they reach Windows as UTF-16.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/Exception.h"

class TRegistry;
class TStringList;

// The sixteen folder paths that both records below hold.
struct TInstallPaths {
  std::string MainDirectory;
  std::string FilesPath;
  std::string DataBasePath;
  std::string LocalDataBasePath;
  std::string ProgramsPath;
  std::string ImagesPath;
  std::string DosPath;
  std::string EmptyPath;
  std::string SqlPath;
  std::string ClientSqlPath;
  std::string UserdataPath;
  std::string SoundPath;
  std::string ViewersPath;
  std::string HelpPath;
  std::string DllPath;
  std::string DdfPath;
};

// The settings the installed application reads back from its registry key.
struct TInstaltionRec : TInstallPaths {
  std::string Company;
  std::string Product;
  double InstallDate = 0;  // whole days since 30 Dec 1899
  double InstallTime = 0;  // fraction of a day
  double Version = 0;
  std::uint8_t InstallType = 0;
  std::uint8_t EngineType = 0;
  std::string PlatformType;
  std::string PlatformVersion;
  std::string PlatformName;
};

// The wizard's relative copies of the paths, and what it knows of the run.
struct TPathRec : TInstallPaths {
  std::string SetupFolder;  // no trailing backslash
  std::string TargetDrive;  // two characters, such as D:
  std::string Reserved;     // never filled
  bool AddShortcut = false;
};

// The COM layer refused a call; the message is the system's text for the result code.
class EOleSysError : public Exception {
 public:
  EOleSysError(const std::string& Message, HRESULT ErrorCode)
      : Exception(Message), FErrorCode(ErrorCode) {}
  MIRPAN_EXCEPTION_CLASS(EOleSysError)
  HRESULT ErrorCode() const { return FErrorCode; }

 private:
  HRESULT FErrorCode;
};

// One scrambled value of the settings key: its name and its offset or factor.
struct TSettingScramble {
  const wchar_t* Name;
  int Parameter;
};

// The string values in the order they are written, each with the record field it stores.
struct TStringSetting {
  std::string TInstaltionRec::*Field;
  TSettingScramble Scramble;
};
extern const TStringSetting PathSettings[16];
extern const TStringSetting PlatformSettings[3];
extern const TSettingScramble InstallDateSetting;  // real, factor
extern const TSettingScramble InstallTimeSetting;  // real, factor
extern const TSettingScramble VersionSetting;      // real, factor
extern const TSettingScramble InstallTypeSetting;  // whole number, offset
extern const TSettingScramble EngineTypeSetting;   // whole number, offset

// Strings, numbers and flags back to their empty state.
void ZeroRecord(TInstaltionRec& Rec);
void ZeroRecord(TPathRec& Rec);

// Each character becomes the four digits of Offset + its byte value.
std::string EncodeSetting(const std::string& S, int Offset, bool Braces);

// "\Software\" + Company + "\" + Product
std::string InstallationKeyPath(const TInstaltionRec& Rec);

// True when a key exists at KeyPath and its stored version differs from NewVersion; a key
// without a readable version counts as version 99.
bool CompareInstalledVersion(TRegistry& Registry, const std::string& KeyPath, double NewVersion,
                             double& Installed);

// Writes the settings key below HKEY_LOCAL_MACHINE; false (after asking the user's pardon in
// the tools' dialog) when the key cannot be created.
bool WriteInstallationSettings(const TInstaltionRec& Rec);

// Replaces the product's entry in the system's list of installed programs.
bool WriteUninstallEntry(const TInstaltionRec& Rec, const std::string& UninstallCommand);

// Associate the maker's file types with its viewers, unless the extension is known already.
// DriveRoot is a drive such as "C:" without a backslash.
void RegisterReportFileType(const std::string& DriveRoot);
void RegisterSqlFileType(const std::string& DriveRoot);
void RegisterLanguageFileType(const std::string& DriveRoot);

// Where: 0 desktop, 1 Start Menu folder, 2 Folder, 3 all three.
enum : std::uint8_t {
  ShortcutOnDesktop = 0,
  ShortcutInStartMenu = 1,
  ShortcutInFolder = 2,
  ShortcutEverywhere = 3
};
void CreateShortcut(const std::string& Target, const std::string& Folder,
                    const std::string& Arguments, std::uint8_t Where, const std::string& LinkName);

// True when the system accepted the wallpaper change.
bool SetDesktopWallpaper(const std::string& FileName, std::uint8_t Stretch);

// Writes Folder\firstTime.dat; an error is shown in the tools' dialog, not raised.
void WriteFirstTimeMarker(const std::string& Folder);

// Clears List and adds every logical drive as "X:\", in the system's order.
void ListLogicalDrives(TStringList* List);

// Free bytes for the caller and total bytes of a drive; −1 and false when it cannot be
// queried. The process's current directory is the same afterwards.
bool GetDriveSpace(char Letter, std::int64_t& FreeAvailable, std::int64_t& Total);

// Whether the drive named by Path's first character has more than 150 whole MB free.
bool HasEnoughDiskSpace(const std::string& Path);
// Whether the drive named by Path's first character has at least Bytes free.
bool HasRoomFor(const std::string& Path, std::uint64_t Bytes);

// Longest command line RunProgram takes.
constexpr std::size_t MaxCommandLine = 512;

// Called once for every paint dispatched while waiting for a child, so that the caller's
// progress display keeps moving (the wizard's bar steps by WaitProgressStep up to 100).
using TWaitStep = std::function<void()>;
constexpr int WaitProgressStep = 15;

// Starts CommandLine and, when Wait is set, waits for it with WaitWithMessagePump. Result: the
// exit code, 259 when the program still runs, −1 when it could not be started (or the command
// line is too long).
std::int32_t RunProgram(const std::string& CommandLine, WORD ShowCommand, bool Wait,
                        const TWaitStep& Step);

// Waits for Process while dispatching only paint and sent messages, with a Step (when given)
// after each dispatched paint.
void WaitWithMessagePump(HANDLE Process, const TWaitStep& Step);

void RunProgramWithProgress(const std::string& CommandLine, bool Wait, const TWaitStep& Step);
