// The registry side of UinstTools: the scrambled settings key, the uninstall entry and the
// viewers' file types.
#include "tools/UinstTools.h"

#include <cstddef>
#include <string>

#include "dialogs/JoinLines.h"
#include "dialogs/UInstError.h"
#include "framework/Registry.h"
#include "framework/Text.h"
#include "tools/MirpanProduct.h"

const TStringSetting PathSettings[16] = {
    {&TInstaltionRec::MainDirectory, {L"Program Main Directory", 7585}},
    {&TInstaltionRec::FilesPath, {L"Application Files Path", 6431}},
    {&TInstaltionRec::DataBasePath, {L"Application DataBase Path", 8029}},
    {&TInstaltionRec::LocalDataBasePath, {L"Local DataBase Path", 9389}},
    {&TInstaltionRec::ProgramsPath, {L"Application Programs Path", 5751}},
    {&TInstaltionRec::ImagesPath, {L"Application Images Path", 5822}},
    {&TInstaltionRec::DosPath, {L"Application Dos Path", 8700}},
    {&TInstaltionRec::EmptyPath, {L"Application Empty Path", 6039}},
    {&TInstaltionRec::SqlPath, {L"Application Sql Path", 7923}},
    {&TInstaltionRec::ClientSqlPath, {L"Application Client Sql Path", 8924}},
    {&TInstaltionRec::UserdataPath, {L"Application Userdata Path", 5763}},
    {&TInstaltionRec::SoundPath, {L"Application Sound Path", 8566}},
    {&TInstaltionRec::ViewersPath, {L"Application Viewers Path", 6821}},
    {&TInstaltionRec::HelpPath, {L"Application Help Path", 5730}},
    {&TInstaltionRec::DllPath, {L"Application DLL Path", 5884}},
    {&TInstaltionRec::DdfPath, {L"Application DDF Path", 8250}},
};
const TStringSetting PlatformSettings[3] = {
    {&TInstaltionRec::PlatformType, {L"Platform Type", 8194}},
    {&TInstaltionRec::PlatformVersion, {L"Platform Version", 5817}},
    {&TInstaltionRec::PlatformName, {L"Platform Name", 7178}},
};
// "Installtion" is how the installed application spells these names.
const TSettingScramble InstallDateSetting = {L"Installtion Date", 6019};
const TSettingScramble InstallTimeSetting = {L"Installtion Time", 8855};
const TSettingScramble VersionSetting = {L"Application Version", 8220};
const TSettingScramble InstallTypeSetting = {L"Installtion Type", 5775};
const TSettingScramble EngineTypeSetting = {L"Engine Type", 8885};

namespace {

// A key without a readable version is taken for this one, so it always counts as different.
constexpr double UnknownInstalledVersion = 99.0;

const wchar_t UninstallKeyBase[] = L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const wchar_t FileExtsKeyBase[] =
    L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\";
const wchar_t HelpLinkText[] = L"http://www.norvasto.co.il";

void WriteEncodedString(TRegistry& Registry, const TInstaltionRec& Rec,
                        const TStringSetting& Setting) {
  Registry.WriteString(
      Setting.Scramble.Name,
      WideFromCp1255(EncodeSetting(Rec.*Setting.Field, Setting.Scramble.Parameter, true)));
}

void WriteSettingValues(TRegistry& Registry, const TInstaltionRec& Rec) {
  for (const TStringSetting& setting : PathSettings) WriteEncodedString(Registry, Rec, setting);
  Registry.WriteFloat(InstallDateSetting.Name, Rec.InstallDate * InstallDateSetting.Parameter);
  Registry.WriteFloat(InstallTimeSetting.Name, Rec.InstallTime * InstallTimeSetting.Parameter);
  Registry.WriteFloat(VersionSetting.Name, Rec.Version * VersionSetting.Parameter);
  Registry.WriteInteger(InstallTypeSetting.Name, Rec.InstallType + InstallTypeSetting.Parameter);
  Registry.WriteInteger(EngineTypeSetting.Name, Rec.EngineType + EngineTypeSetting.Parameter);
  for (const TStringSetting& setting : PlatformSettings) WriteEncodedString(Registry, Rec, setting);
}

struct TFileType {
  const wchar_t* Ext;
  const wchar_t* ProgID;
  const wchar_t* Description;
  const wchar_t* Program;  // below the drive root
  const wchar_t* ListName;
};

const TFileType ReportFileType = {L".QRP", L"QrpViewer", L"Vantore Reports Viewer",
                                  L"\\Norvasto\\viewers\\viewer.exe", L"viewer.exe"};
const TFileType SqlFileType = {L".SQL", L"SqlViewer", L"Norvasto Software SQL Editor",
                               L"\\Norvasto\\viewers\\SqlViewer.exe", L"SqlViewer.exe"};
const TFileType LanguageFileType = {L".NS", L"NSViewer", L"Norvasto Software Language Editor",
                                    L"\\Norvasto\\viewers\\NsViewer.exe", L"NsViewer.exe"};

// Creates Key and writes one value into it; a key that cannot be made is passed over.
void WriteIntoNewKey(TRegistry& Registry, const std::wstring& Key, const std::wstring& Name,
                     const std::wstring& Value) {
  if (!Registry.CreateKey(Key)) return;
  if (Registry.OpenKey(Key, false)) Registry.WriteString(Name, Value);
  Registry.CloseKey();
}

void RegisterFileType(const TFileType& Type, const std::string& DriveRoot) {
  TRegistry registry(HKEY_CLASSES_ROOT);
  // A known extension belongs to someone else: leave it, here and for the user.
  if (registry.KeyExists(Type.Ext)) return;
  WriteIntoNewKey(registry, Type.Ext, L"", Type.ProgID);
  WriteIntoNewKey(registry, Type.ProgID, L"", Type.Description);
  WriteIntoNewKey(registry, std::wstring(Type.ProgID) + L"\\shell\\open\\command", L"",
                  L"\"" + WideFromCp1255(DriveRoot) + Type.Program + L"\" \"%1\"");

  registry.SetRootKey(HKEY_CURRENT_USER);
  std::wstring exts = FileExtsKeyBase + std::wstring(Type.Ext);
  WriteIntoNewKey(registry, exts + L"\\OpenWithList", L"a", Type.ListName);
  std::wstring progids = exts + L"\\OpenWithProgids";
  if (registry.CreateKey(progids) && registry.OpenKey(progids, false))
    registry.WriteBinaryData(Type.ProgID, nullptr, 0);
  registry.CloseKey();
}

}  // namespace

void ZeroRecord(TInstaltionRec& Rec) { Rec = TInstaltionRec(); }

void ZeroRecord(TPathRec& Rec) { Rec = TPathRec(); }

std::string EncodeSetting(const std::string& S, int Offset, bool Braces) {
  std::string digits;
  for (char c : S) {
    digits += std::to_string(Offset + static_cast<unsigned char>(c));
    while (digits.size() <= 3) digits.insert(0, "0");
  }
  return Braces ? "{" + digits + "}" : digits;
}

std::string InstallationKeyPath(const TInstaltionRec& Rec) {
  return "\\Software\\" + Rec.Company + "\\" + Rec.Product;
}

bool CompareInstalledVersion(TRegistry& Registry, const std::string& KeyPath, double NewVersion,
                             double& Installed) {
  if (!Registry.OpenKeyReadOnly(WideFromCp1255(KeyPath))) return false;
  double stored = 0;
  Installed = Registry.ReadFloat(VersionSetting.Name, stored) ? stored / VersionSetting.Parameter
                                                              : UnknownInstalledVersion;
  Registry.CloseKey();
  return Installed < NewVersion || Installed > NewVersion;
}

bool WriteInstallationSettings(const TInstaltionRec& Rec) {
  TRegistry registry(HKEY_LOCAL_MACHINE);
  const std::string path = InstallationKeyPath(Rec);
  const std::wstring key = WideFromCp1255(path);
  double installed = 0;
  if (registry.KeyExists(key) && CompareInstalledVersion(registry, path, Rec.Version, installed))
    registry.DeleteKey(key);
  if (!registry.CreateKey(key)) {
    UInstError::AskYesNoDialog(
        L"כישלון רישום התוכנה",
        JoinLines({L"ניכשל ניסיון רישום התוכנה במערכת החלונות שברשותך.",
                   L"נא פנה ל- NORVASTO SOFTARE לבקשת עזרה.", L"איתך הסליחה"}),
        dlHebrew, false);
    return false;
  }
  // Created a moment ago, but access can still be refused; a closed key makes every write
  // below fail with the registry's own message.
  registry.OpenKey(key, false);
  WriteSettingValues(registry, Rec);
  registry.CloseKey();
  return true;
}

bool WriteUninstallEntry(const TInstaltionRec& Rec, const std::string& UninstallCommand) {
  TRegistry registry(HKEY_LOCAL_MACHINE);
  const std::wstring product = WideFromCp1255(Rec.Product);
  const std::wstring key = UninstallKeyBase + product;
  // An old entry is replaced whole, never merged with the new one.
  if (registry.KeyExists(key)) registry.DeleteKey(key);
  if (!registry.CreateKey(key)) return false;
  registry.OpenKey(key, false);
  registry.WriteString(L"DisplayName", product);
  registry.WriteString(L"UninstallString", WideFromCp1255(UninstallCommand));
  registry.WriteString(L"DisplayIcon", WideFromCp1255(Rec.FilesPath + "\\" + Rec.Product + ".exe"));
  registry.WriteString(L"DisplayVersion", MirpanProduct::VersionText);
  registry.WriteString(L"HelpLink", HelpLinkText);
  registry.CloseKey();
  return true;
}

void RegisterReportFileType(const std::string& DriveRoot) {
  RegisterFileType(ReportFileType, DriveRoot);
}

void RegisterSqlFileType(const std::string& DriveRoot) { RegisterFileType(SqlFileType, DriveRoot); }

void RegisterLanguageFileType(const std::string& DriveRoot) {
  RegisterFileType(LanguageFileType, DriveRoot);
}
