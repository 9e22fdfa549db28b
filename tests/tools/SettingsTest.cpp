// The settings key as the installed application will read it: scrambled bytes read back from
// the registry, and the rules for an earlier installation's key.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "RegistryProbe.h"
#include "framework/Registry.h"
#include "tools/UinstTools.h"

namespace {

const wchar_t TestKey[] = L"Software\\Norvasto Software\\MirpanToolsTest";

// Undoes EncodeSetting: the bytes of the groups of four digits, each less the offset.
std::string Decode(const std::wstring& Stored, int Offset) {
  EXPECT_GE(Stored.size(), 2u);
  EXPECT_EQ(L'{', Stored.front());
  EXPECT_EQ(L'}', Stored.back());
  std::wstring digits = Stored.substr(1, Stored.size() - 2);
  EXPECT_EQ(0u, digits.size() % 4) << "groups of four digits";
  std::string bytes;
  for (std::size_t at = 0; at + 4 <= digits.size(); at += 4) {
    int group = std::stoi(digits.substr(at, 4));
    EXPECT_GE(group - Offset, 0);
    EXPECT_LE(group - Offset, 255);
    bytes += static_cast<char>(group - Offset);
  }
  return bytes;
}

double StoredReal(const std::wstring& Name) {
  TRawValue value = ReadRaw(HKEY_LOCAL_MACHINE, TestKey, Name);
  EXPECT_TRUE(value.Found) << "missing " << std::string(Name.begin(), Name.end());
  EXPECT_EQ(static_cast<DWORD>(REG_BINARY), value.Type);
  EXPECT_EQ(8u, value.Data.size());
  double real = 0;
  if (value.Data.size() == 8) std::memcpy(&real, value.Data.data(), 8);
  return real;
}

DWORD StoredWhole(const std::wstring& Name) {
  TRawValue value = ReadRaw(HKEY_LOCAL_MACHINE, TestKey, Name);
  EXPECT_EQ(static_cast<DWORD>(REG_DWORD), value.Type);
  EXPECT_EQ(4u, value.Data.size());
  DWORD whole = 0;
  if (value.Data.size() == 4) std::memcpy(&whole, value.Data.data(), 4);
  return whole;
}

TInstaltionRec SampleRecord(double Version) {
  TInstaltionRec rec;
  rec.Company = "Norvasto Software";
  rec.Product = "MirpanToolsTest";
  rec.MainDirectory = "D:\\Norvasto\\Mirpan\\";
  rec.FilesPath = "D:\\Norvasto\\Mirpan\\Bin";
  rec.DataBasePath = "D:\\Norvasto\\Mirpan\\Application Data";
  rec.LocalDataBasePath = "D:\\Norvasto\\Mirpan\\Local";
  rec.ProgramsPath = "D:\\Norvasto\\Mirpan\\Programs";
  rec.ImagesPath = "D:\\Norvasto\\Mirpan\\Image";
  rec.DosPath = "D:\\Norvasto\\Mirpan\\Topic";
  rec.EmptyPath = "D:\\Norvasto\\Mirpan\\Empty";
  rec.SqlPath = "D:\\Norvasto\\Mirpan\\Sql";
  rec.ClientSqlPath = "D:\\Norvasto\\Mirpan\\ClientSql";
  rec.UserdataPath = "D:\\Norvasto\\Mirpan\\UserData";
  rec.ViewersPath = "D:\\Norvasto\\Viewers";
  rec.HelpPath = "\\Norvasto\\Mirpan\\HELP";
  rec.DdfPath = "\\Norvasto\\DDF";
  rec.InstallDate = 46364;
  rec.InstallTime = 0.3125;
  rec.Version = Version;
  rec.InstallType = 2;
  rec.EngineType = 1;
  rec.PlatformType = "Windows NT";
  rec.PlatformVersion = "5.1";
  rec.PlatformName = "\xEE\xE7\xF9\xE1 7";  // Hebrew bytes above 127
  return rec;
}

class SettingsKey : public ::testing::Test {
 protected:
  void SetUp() override { RemoveKey(HKEY_LOCAL_MACHINE, TestKey); }
  void TearDown() override { RemoveKey(HKEY_LOCAL_MACHINE, TestKey); }
};

}  // namespace

TEST(EncodeSetting, GroupsOfFourDigitsPerByte) {
  EXPECT_EQ("{}", EncodeSetting("", 7585, true));
  EXPECT_EQ("", EncodeSetting("", 7585, false));
  EXPECT_EQ("{7650}", EncodeSetting("A", 7585, true));
  EXPECT_EQ("76507651", EncodeSetting("AB", 7585, false));
  // Bytes above 127 count unsigned: 0xF9 (a Hebrew letter) is 249.
  EXPECT_EQ("{" + std::to_string(8194 + 249) + "}", EncodeSetting("\xF9", 8194, true));
  // The lowest offset with the lowest byte still makes four digits.
  EXPECT_EQ("{1000}", EncodeSetting(std::string(1, '\0'), 1000, true));
  std::string hebrew = "\xF9\xEC\xE5\xED x";
  EXPECT_EQ(2 + 4 * hebrew.size(), EncodeSetting(hebrew, 9389, true).size());
}

TEST_F(SettingsKey, FullRecordIsStoredScrambledValueByValue) {
  TInstaltionRec rec = SampleRecord(3.12);
  ASSERT_TRUE(WriteInstallationSettings(rec));

  struct {
    const wchar_t* Name;
    int Offset;
    std::string Expected;
  } strings[] = {
      {L"Program Main Directory", 7585, rec.MainDirectory},
      {L"Application Files Path", 6431, rec.FilesPath},
      {L"Application DataBase Path", 8029, rec.DataBasePath},
      {L"Local DataBase Path", 9389, rec.LocalDataBasePath},
      {L"Application Programs Path", 5751, rec.ProgramsPath},
      {L"Application Images Path", 5822, rec.ImagesPath},
      {L"Application Dos Path", 8700, rec.DosPath},
      {L"Application Empty Path", 6039, rec.EmptyPath},
      {L"Application Sql Path", 7923, rec.SqlPath},
      {L"Application Client Sql Path", 8924, rec.ClientSqlPath},
      {L"Application Userdata Path", 5763, rec.UserdataPath},
      {L"Application Sound Path", 8566, ""},
      {L"Application Viewers Path", 6821, rec.ViewersPath},
      {L"Application Help Path", 5730, rec.HelpPath},
      {L"Application DLL Path", 5884, ""},
      {L"Application DDF Path", 8250, rec.DdfPath},
      {L"Platform Type", 8194, rec.PlatformType},
      {L"Platform Version", 5817, rec.PlatformVersion},
      {L"Platform Name", 7178, rec.PlatformName},
  };
  for (const auto& s : strings) {
    SCOPED_TRACE(std::string(s.Name, s.Name + std::wcslen(s.Name)));
    TRawValue value = ReadRaw(HKEY_LOCAL_MACHINE, TestKey, s.Name);
    ASSERT_TRUE(value.Found);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), value.Type);
    std::wstring text = value.Text();
    EXPECT_EQ(2 + 4 * s.Expected.size(), text.size());
    EXPECT_EQ(std::wstring::npos, text.find_first_not_of(L"{}0123456789"));
    EXPECT_EQ(s.Expected, Decode(text, s.Offset));
  }
  EXPECT_EQ(L"{}", ReadRaw(HKEY_LOCAL_MACHINE, TestKey, L"Application Sound Path").Text());

  EXPECT_EQ(46364.0 * 6019, StoredReal(L"Installtion Date"));
  EXPECT_EQ(0.3125 * 8855, StoredReal(L"Installtion Time"));
  EXPECT_EQ(3.12 * 8220, StoredReal(L"Application Version"));
  EXPECT_EQ(3.12, StoredReal(L"Application Version") / 8220);
  EXPECT_EQ(2u + 5775, StoredWhole(L"Installtion Type"));
  EXPECT_EQ(1u + 8885, StoredWhole(L"Engine Type"));
  EXPECT_EQ(24u, ValueNames(HKEY_LOCAL_MACHINE, TestKey).size());
}

TEST_F(SettingsKey, EqualVersionKeepsValuesOfOtherWriters) {
  ASSERT_TRUE(WriteInstallationSettings(SampleRecord(3.12)));
  WriteRawString(HKEY_LOCAL_MACHINE, TestKey, L"Licence", L"kept");
  TInstaltionRec again = SampleRecord(3.12);
  again.EngineType = 4;
  ASSERT_TRUE(WriteInstallationSettings(again));
  EXPECT_EQ(L"kept", ReadRaw(HKEY_LOCAL_MACHINE, TestKey, L"Licence").Text());
  EXPECT_EQ(4u + 8885, StoredWhole(L"Engine Type"));
}

TEST_F(SettingsKey, DifferentOrMissingVersionRemovesTheWholeKeyFirst) {
  for (double earlier : {3.11, 3.13}) {
    ASSERT_TRUE(WriteInstallationSettings(SampleRecord(earlier)));
    WriteRawString(HKEY_LOCAL_MACHINE, TestKey, L"Licence", L"dropped");
    WriteRawString(HKEY_LOCAL_MACHINE, std::wstring(TestKey) + L"\\Forms", L"Left", L"10");
    ASSERT_TRUE(WriteInstallationSettings(SampleRecord(3.12)));
    EXPECT_FALSE(ReadRaw(HKEY_LOCAL_MACHINE, TestKey, L"Licence").Found) << earlier;
    EXPECT_FALSE(KeyPresent(HKEY_LOCAL_MACHINE, std::wstring(TestKey) + L"\\Forms")) << earlier;
    EXPECT_EQ(3.12 * 8220, StoredReal(L"Application Version"));
  }
  // A key another program made, without any version: taken as 99 and replaced.
  RemoveKey(HKEY_LOCAL_MACHINE, TestKey);
  WriteRawString(HKEY_LOCAL_MACHINE, TestKey, L"Licence", L"dropped");
  ASSERT_TRUE(WriteInstallationSettings(SampleRecord(3.12)));
  EXPECT_FALSE(ReadRaw(HKEY_LOCAL_MACHINE, TestKey, L"Licence").Found);
}

TEST_F(SettingsKey, CompareInstalledVersionReadsTheStoredVersion) {
  TRegistry registry(HKEY_LOCAL_MACHINE);
  const std::string path = "\\Software\\Norvasto Software\\MirpanToolsTest";
  double installed = -1;
  EXPECT_FALSE(CompareInstalledVersion(registry, path, 3.12, installed)) << "no key";

  ASSERT_TRUE(WriteInstallationSettings(SampleRecord(3.12)));
  EXPECT_FALSE(CompareInstalledVersion(registry, path, 3.12, installed));
  EXPECT_EQ(3.12, installed);
  EXPECT_TRUE(CompareInstalledVersion(registry, path, 3.2, installed));
  EXPECT_TRUE(CompareInstalledVersion(registry, path, 3.0, installed));

  // A version that is not an 8-byte binary counts as 99.
  WriteRawString(HKEY_LOCAL_MACHINE, TestKey, L"Application Version", L"25664.4");
  EXPECT_TRUE(CompareInstalledVersion(registry, path, 3.12, installed));
  EXPECT_EQ(99.0, installed);
  EXPECT_FALSE(CompareInstalledVersion(registry, path, 99.0, installed));
}
