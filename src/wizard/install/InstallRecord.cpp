#include "wizard/install/InstallRecord.h"

#include <windows.h>

#include "framework/Dates.h"
#include "framework/Text.h"
#include "tools/MirpanProduct.h"

namespace {

// The paths the record copies keep, in record order; HelpPath and DdfPath stay without a drive.
struct TPathCopy {
  std::string TInstallPaths::*Path;
  bool DriveInFront;
};
const TPathCopy PathCopies[] = {
    {&TInstallPaths::MainDirectory, true}, {&TInstallPaths::FilesPath, true},
    {&TInstallPaths::DataBasePath, true},  {&TInstallPaths::LocalDataBasePath, true},
    {&TInstallPaths::ProgramsPath, true},  {&TInstallPaths::ImagesPath, true},
    {&TInstallPaths::DosPath, true},       {&TInstallPaths::EmptyPath, true},
    {&TInstallPaths::SqlPath, true},       {&TInstallPaths::ClientSqlPath, true},
    {&TInstallPaths::UserdataPath, true},  {&TInstallPaths::ViewersPath, true},
    {&TInstallPaths::HelpPath, false},     {&TInstallPaths::DdfPath, false}};

}  // namespace

double DateOfToday() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return static_cast<double>(DaysFromCivil(now.wYear, now.wMonth, now.wDay)) + UnixEpochDay;
}

double TimeOfDayNow() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  const double milliseconds =
      ((now.wHour * 60.0 + now.wMinute) * 60.0 + now.wSecond) * 1000.0 + now.wMilliseconds;
  return milliseconds / 86400000.0;
}

void InitInstallRecord(TInstaltionRec& InstallRec, const std::wstring& ProductName,
                       const TSysInfo& SysInfo) {
  const std::string product = Cp1255FromWide(ProductName);
  const std::string maker = std::string("\\") + MirpanProduct::MakerFolderText;
  const std::string folder = maker + "\\" + product;
  InstallRec.Company = MirpanProduct::CompanyName;
  InstallRec.Product = product;
  InstallRec.MainDirectory = folder + "\\";
  InstallRec.FilesPath = folder + "\\Bin";
  InstallRec.DataBasePath = folder + "\\Application Data";
  InstallRec.LocalDataBasePath = folder + "\\Local";
  InstallRec.ProgramsPath = folder + "\\Programs";
  InstallRec.ImagesPath = folder + "\\Image";
  InstallRec.DosPath = folder + "\\Topic";
  InstallRec.EmptyPath = folder + "\\Empty";
  InstallRec.SqlPath = folder + "\\Sql";
  InstallRec.ViewersPath = maker + "\\Viewers";
  InstallRec.HelpPath = folder + "\\HELP";
  InstallRec.DdfPath = maker + "\\DDF";
  InstallRec.ClientSqlPath = folder + "\\ClientSql";
  InstallRec.UserdataPath = folder + "\\UserData";
  InstallRec.InstallDate = DateOfToday();
  InstallRec.InstallTime = TimeOfDayNow();
  InstallRec.Version = MirpanProduct::Version;
  InstallRec.PlatformType = SysInfo.Item(siPlatform);
  InstallRec.PlatformVersion = SysInfo.Item(siPlatformVersion);
  InstallRec.PlatformName = SysInfo.Item(siComputerName);
}

void ApplyTargetDrive(TInstaltionRec& InstallRec, TPathRec& PathRec,
                      const std::wstring& TargetPathCaption, bool AddShortcut) {
  PathRec.TargetDrive = Cp1255FromWide(TargetPathCaption.substr(0, 2));
  for (const TPathCopy& copy : PathCopies) {
    PathRec.*copy.Path = InstallRec.*copy.Path;
    if (copy.DriveInFront) InstallRec.*copy.Path = PathRec.TargetDrive + PathRec.*copy.Path;
  }
  PathRec.AddShortcut = AddShortcut;
}
