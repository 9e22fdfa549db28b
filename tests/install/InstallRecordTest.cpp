// The installation record as the wizard fills it, and the system information it reads.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h, which it needs
#include <oleauto.h>

#include <cmath>
#include <regex>

#include "framework/Text.h"
#include "wizard/install/InstallRecord.h"

namespace {

TInstaltionRec FreshRecord(const std::wstring& Product = L"Mirpan") {
  TInstaltionRec rec;
  TSysInfo sysInfo;
  InitInstallRecord(rec, Product, sysInfo);
  return rec;
}

}  // namespace

TEST(InstallRecord, RelativeFormsVersionAndNamesAtStart) {
  TInstaltionRec rec = FreshRecord();
  EXPECT_EQ("Norvasto Software", rec.Company);
  EXPECT_EQ("Mirpan", rec.Product);
  EXPECT_EQ("\\Norvasto\\Mirpan\\", rec.MainDirectory);
  EXPECT_EQ("\\Norvasto\\Mirpan\\Bin", rec.FilesPath);
  EXPECT_EQ("\\Norvasto\\Mirpan\\Application Data", rec.DataBasePath);
  EXPECT_EQ("\\Norvasto\\Mirpan\\Local", rec.LocalDataBasePath);
  EXPECT_EQ("\\Norvasto\\Mirpan\\Programs", rec.ProgramsPath);
  EXPECT_EQ("\\Norvasto\\Mirpan\\Image", rec.ImagesPath);
  EXPECT_EQ("\\Norvasto\\Mirpan\\Topic", rec.DosPath);
  EXPECT_EQ("\\Norvasto\\Mirpan\\Empty", rec.EmptyPath);
  EXPECT_EQ("\\Norvasto\\Mirpan\\Sql", rec.SqlPath);
  EXPECT_EQ("\\Norvasto\\Mirpan\\ClientSql", rec.ClientSqlPath);
  EXPECT_EQ("\\Norvasto\\Mirpan\\UserData", rec.UserdataPath);
  EXPECT_EQ("\\Norvasto\\Viewers", rec.ViewersPath);
  EXPECT_EQ("\\Norvasto\\Mirpan\\HELP", rec.HelpPath);
  EXPECT_EQ("\\Norvasto\\DDF", rec.DdfPath);
  EXPECT_EQ("", rec.SoundPath);
  EXPECT_EQ("", rec.DllPath);
  EXPECT_EQ(3.12, rec.Version);  // exactly the double the application compares with
  EXPECT_EQ(0, rec.InstallType);
  EXPECT_EQ(0, rec.EngineType);
}

TEST(InstallRecord, ProductNameIsTakenAsWindows1255) {
  TInstaltionRec rec = FreshRecord(L"מירפן");
  const std::string hebrew = "\xEE\xE9\xF8\xF4\xEF";
  EXPECT_EQ(hebrew, rec.Product);
  EXPECT_EQ("\\Norvasto\\" + hebrew + "\\UserData", rec.UserdataPath);
  EXPECT_EQ("\\Norvasto\\Viewers", rec.ViewersPath);
}

TEST(InstallRecord, DateAndTimeAreTodayAsTheSystemCountsThem) {
  SYSTEMTIME before;
  GetLocalTime(&before);
  TInstaltionRec rec = FreshRecord();
  // The platform's own count of days since 30 Dec 1899 for the same moment.
  double expected = 0;
  ASSERT_TRUE(SystemTimeToVariantTime(&before, &expected));
  EXPECT_EQ(std::floor(expected), rec.InstallDate);
  EXPECT_EQ(rec.InstallDate, DateOfToday());
  EXPECT_GE(rec.InstallTime, 0.0);
  EXPECT_LT(rec.InstallTime, 1.0);
  const double fraction = expected - std::floor(expected);
  EXPECT_NEAR(fraction, rec.InstallTime, 5.0 / 86400) << "within seconds of now";
}

TEST(InstallRecord, TargetDriveGoesInFrontOfAllButHelpAndDdf) {
  TInstaltionRec rec = FreshRecord();
  TPathRec paths;
  paths.SetupFolder = "C:\\Setup";
  ApplyTargetDrive(rec, paths, L"E:\\Norvasto\\Mirpan\\", true);
  EXPECT_EQ("E:", paths.TargetDrive);
  EXPECT_TRUE(paths.AddShortcut);
  EXPECT_EQ("C:\\Setup", paths.SetupFolder);
  EXPECT_EQ("E:\\Norvasto\\Mirpan\\", rec.MainDirectory);
  EXPECT_EQ("E:\\Norvasto\\Mirpan\\Bin", rec.FilesPath);
  EXPECT_EQ("E:\\Norvasto\\Mirpan\\Application Data", rec.DataBasePath);
  EXPECT_EQ("E:\\Norvasto\\Mirpan\\Local", rec.LocalDataBasePath);
  EXPECT_EQ("E:\\Norvasto\\Mirpan\\Programs", rec.ProgramsPath);
  EXPECT_EQ("E:\\Norvasto\\Mirpan\\Image", rec.ImagesPath);
  EXPECT_EQ("E:\\Norvasto\\Mirpan\\Topic", rec.DosPath);
  EXPECT_EQ("E:\\Norvasto\\Mirpan\\Empty", rec.EmptyPath);
  EXPECT_EQ("E:\\Norvasto\\Mirpan\\Sql", rec.SqlPath);
  EXPECT_EQ("E:\\Norvasto\\Mirpan\\ClientSql", rec.ClientSqlPath);
  EXPECT_EQ("E:\\Norvasto\\Mirpan\\UserData", rec.UserdataPath);
  EXPECT_EQ("E:\\Norvasto\\Viewers", rec.ViewersPath);
  EXPECT_EQ("\\Norvasto\\Mirpan\\HELP", rec.HelpPath);
  EXPECT_EQ("\\Norvasto\\DDF", rec.DdfPath);
  EXPECT_EQ("", rec.SoundPath);
  EXPECT_EQ("", rec.DllPath);
  // The copies keep the relative forms.
  EXPECT_EQ("\\Norvasto\\Mirpan\\", paths.MainDirectory);
  EXPECT_EQ("\\Norvasto\\Mirpan\\UserData", paths.UserdataPath);
  EXPECT_EQ("\\Norvasto\\Viewers", paths.ViewersPath);
  EXPECT_EQ("\\Norvasto\\Mirpan\\HELP", paths.HelpPath);
  EXPECT_EQ("\\Norvasto\\DDF", paths.DdfPath);
  EXPECT_EQ("", paths.SoundPath);
  EXPECT_EQ("", paths.DllPath);
  EXPECT_EQ("", paths.Reserved);
}

TEST(InstallRecord, PassingPageOneAgainGivesTheNextDriveOneDriveOnly) {
  TInstaltionRec rec = FreshRecord();
  TPathRec paths;
  ApplyTargetDrive(rec, paths, L"E:\\Norvasto\\Mirpan\\", true);
  InitInstallRecord(rec, L"Mirpan", TSysInfo());
  ApplyTargetDrive(rec, paths, L"D:\\Norvasto\\Mirpan", false);
  EXPECT_EQ("D:\\Norvasto\\Mirpan\\Bin", rec.FilesPath);
  EXPECT_EQ("\\Norvasto\\Mirpan\\Bin", paths.FilesPath);
  EXPECT_EQ("D:", paths.TargetDrive);
  EXPECT_FALSE(paths.AddShortcut);
}

TEST(SysInfo, PlatformFamilies) {
  EXPECT_EQ("Win32s", TSysInfo::PlatformFamily(VER_PLATFORM_WIN32s));
  EXPECT_EQ("Windows 95", TSysInfo::PlatformFamily(VER_PLATFORM_WIN32_WINDOWS));
  EXPECT_EQ("Windows NT", TSysInfo::PlatformFamily(VER_PLATFORM_WIN32_NT));
  EXPECT_EQ("(Unknown)", TSysInfo::PlatformFamily(3));
}

TEST(SysInfo, RecordGetsTheRunningSystemsItems) {
  TInstaltionRec rec = FreshRecord();
  EXPECT_EQ("Windows NT", rec.PlatformType);
  std::smatch version;
  ASSERT_TRUE(std::regex_match(rec.PlatformVersion, version, std::regex("(\\d+)\\.(\\d+)")))
      << rec.PlatformVersion;
  EXPECT_GE(std::stoi(version[1]), 5);
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
  ASSERT_TRUE(GetComputerNameW(name, &length));
  EXPECT_EQ(Cp1255FromWide(std::wstring(name, length)), rec.PlatformName);
  EXPECT_LE(rec.PlatformName.size(), 15u);
  EXPECT_FALSE(rec.PlatformName.empty());
}
