// The settings key as the installed application will read it: scrambled bytes read back from
// the registry, and the rules for an earlier installation's key.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "RegistryProbe.h"
#include "tools/UinstTools.h"

namespace {

const wchar_t TestKey[] = L"Software\\Norvasto Software\\MirpanToolsTest";

// What the installed application expects: value name, offset, and the field it holds.
const struct {
  const wchar_t* Name;
  int Offset;
  std::string TInstaltionRec::*Field;
} StringValues[] = {
    {L"Program Main Directory", 7585, &TInstaltionRec::MainDirectory},
    {L"Application Files Path", 6431, &TInstaltionRec::FilesPath},
    {L"Application DataBase Path", 8029, &TInstaltionRec::DataBasePath},
    {L"Local DataBase Path", 9389, &TInstaltionRec::LocalDataBasePath},
    {L"Application Programs Path", 5751, &TInstaltionRec::ProgramsPath},
    {L"Application Images Path", 5822, &TInstaltionRec::ImagesPath},
    {L"Application Dos Path", 8700, &TInstaltionRec::DosPath},
    {L"Application Empty Path", 6039, &TInstaltionRec::EmptyPath},
    {L"Application Sql Path", 7923, &TInstaltionRec::SqlPath},
    {L"Application Client Sql Path", 8924, &TInstaltionRec::ClientSqlPath},
    {L"Application Userdata Path", 5763, &TInstaltionRec::UserdataPath},
    {L"Application Sound Path", 8566, &TInstaltionRec::SoundPath},
    {L"Application Viewers Path", 6821, &TInstaltionRec::ViewersPath},
    {L"Application Help Path", 5730, &TInstaltionRec::HelpPath},
    {L"Application DLL Path", 5884, &TInstaltionRec::DllPath},
    {L"Application DDF Path", 8250, &TInstaltionRec::DdfPath},
    {L"Platform Type", 8194, &TInstaltionRec::PlatformType},
    {L"Platform Version", 5817, &TInstaltionRec::PlatformVersion},
    {L"Platform Name", 7178, &TInstaltionRec::PlatformName},
};

// Undoes the scrambling: braces around groups of four digits, each a byte plus the offset.
std::string Decode(const std::wstring& Stored, int Offset) {
  EXPECT_EQ(Stored.size() - 1, Stored.find_first_not_of(L"0123456789", 1)) << "digits only";
  EXPECT_TRUE(Stored.size() >= 2 && Stored.front() == L'{' && Stored.back() == L'}');
  EXPECT_EQ(2u, Stored.size() % 4);
  std::string bytes;
  for (std::size_t at = 1; at + 4 < Stored.size(); at += 4) {
    int group = std::stoi(Stored.substr(at, 4));
    EXPECT_TRUE(group >= Offset && group <= Offset + 255) << group;
    bytes += static_cast<char>(group - Offset);
  }
  return bytes;
}

// A REG_BINARY of 8 bytes or a REG_DWORD, by the size of T.
template <typename T>
T Stored(const wchar_t* Name) {
  TRawValue value = ReadRaw(HKEY_LOCAL_MACHINE, TestKey, Name);
  EXPECT_EQ(static_cast<DWORD>(sizeof(T) == 8 ? REG_BINARY : REG_DWORD), value.Type);
  T number{};
  EXPECT_EQ(sizeof number, value.Data.size());
  if (value.Data.size() == sizeof number) std::memcpy(&number, value.Data.data(), sizeof number);
  return number;
}

TInstaltionRec SampleRecord(double Version) {
  TInstaltionRec rec;
  int n = 0;
  for (const auto& value : StringValues) rec.*value.Field = "D:\\Path" + std::to_string(++n);
  rec.SoundPath.clear();                    // the wizard leaves two paths empty
  rec.PlatformName = "\xEE\xE7\xF9\xE1 7";  // Hebrew bytes above 127
  rec.Company = "Norvasto Software";
  rec.Product = "MirpanToolsTest";
  rec.InstallDate = 46364;
  rec.InstallTime = 0.3125;
  rec.Version = Version;
  rec.InstallType = 2;
  rec.EngineType = 1;
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
  EXPECT_EQ("76507651", EncodeSetting("AB", 7585, false));
  // Bytes above 127 count unsigned: 0xF9 (a Hebrew letter) is 249.
  EXPECT_EQ("{8443}", EncodeSetting("\xF9", 8194, true));
  EXPECT_EQ("{1000}", EncodeSetting(std::string(1, '\0'), 1000, true));
}

TEST_F(SettingsKey, FullRecordIsStoredScrambledValueByValue) {
  TInstaltionRec rec = SampleRecord(3.12);
  ASSERT_TRUE(WriteInstallationSettings(rec));
  for (const auto& value : StringValues) {
    SCOPED_TRACE(std::string(value.Name, value.Name + std::wcslen(value.Name)));
    TRawValue stored = ReadRaw(HKEY_LOCAL_MACHINE, TestKey, value.Name);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), stored.Type);
    EXPECT_EQ(2 + 4 * (rec.*value.Field).size(), stored.Text().size());
    EXPECT_EQ(rec.*value.Field, Decode(stored.Text(), value.Offset));
  }
  EXPECT_EQ(L"{}", ReadRaw(HKEY_LOCAL_MACHINE, TestKey, L"Application Sound Path").Text());
  EXPECT_EQ(46364.0 * 6019, Stored<double>(L"Installtion Date"));
  EXPECT_EQ(0.3125 * 8855, Stored<double>(L"Installtion Time"));
  EXPECT_EQ(3.12, Stored<double>(L"Application Version") / 8220);
  EXPECT_EQ(2u + 5775, Stored<DWORD>(L"Installtion Type"));
  EXPECT_EQ(1u + 8885, Stored<DWORD>(L"Engine Type"));
  EXPECT_EQ(24u, ValueNames(HKEY_LOCAL_MACHINE, TestKey).size());
}

TEST_F(SettingsKey, EqualVersionKeepsValuesOfOtherWriters) {
  ASSERT_TRUE(WriteInstallationSettings(SampleRecord(3.12)));
  WriteRawString(HKEY_LOCAL_MACHINE, TestKey, L"Licence", L"kept");
  TInstaltionRec again = SampleRecord(3.12);
  again.EngineType = 4;
  ASSERT_TRUE(WriteInstallationSettings(again));
  EXPECT_EQ(L"kept", ReadRaw(HKEY_LOCAL_MACHINE, TestKey, L"Licence").Text());
  EXPECT_EQ(4u + 8885, Stored<DWORD>(L"Engine Type"));
}

TEST_F(SettingsKey, DifferentOrMissingVersionRemovesTheWholeKeyFirst) {
  // Older and newer installations, then a key without any version (taken as 99).
  for (double earlier : {3.11, 3.13, 0.0}) {
    if (earlier) {
      ASSERT_TRUE(WriteInstallationSettings(SampleRecord(earlier)));
    }
    WriteRawString(HKEY_LOCAL_MACHINE, TestKey, L"Licence", L"dropped");
    WriteRawString(HKEY_LOCAL_MACHINE, std::wstring(TestKey) + L"\\Forms", L"Left", L"10");
    ASSERT_TRUE(WriteInstallationSettings(SampleRecord(3.12)));
    EXPECT_FALSE(ReadRaw(HKEY_LOCAL_MACHINE, TestKey, L"Licence").Found) << earlier;
    EXPECT_FALSE(KeyPresent(HKEY_LOCAL_MACHINE, std::wstring(TestKey) + L"\\Forms")) << earlier;
    EXPECT_EQ(3.12 * 8220, Stored<double>(L"Application Version"));
    RemoveKey(HKEY_LOCAL_MACHINE, TestKey);
  }
}
