#include "wizard/install/FinishingSequence.h"

#include <windows.h>

#include "framework/IniFile.h"
#include "framework/Text.h"
#include "tools/MirpanProduct.h"
#include "tools/ProtectedFolder.h"
#include "wizard/install/InstallRecord.h"

namespace {

const wchar_t* const ShellClassInfo = L".ShellClassInfo";

void WriteFolderIni(const std::wstring& FileName, const std::wstring& IconFile,
                    const std::wstring& InfoTip) {
  TIniFile ini(FileName);
  ini.WriteString(ShellClassInfo, L"IconFile", IconFile);
  ini.WriteString(ShellClassInfo, L"IconIndex", L"0");
  ini.WriteString(ShellClassInfo, L"InfoTip", InfoTip);
  ini.UpdateFile();
}

}  // namespace

void RegisterInstallation(TInstaltionRec& InstallRec) {
  InstallRec.InstallDate = DateOfToday();
  WriteInstallationSettings(InstallRec);
  std::string uninstall = InstallRec.FilesPath;
  if (uninstall.empty() || uninstall.back() != '\\') uninstall += '\\';
  WriteUninstallEntry(InstallRec, uninstall + "UnInstallMrp4R.exe");
  const std::string drive = InstallRec.FilesPath.substr(0, 2);
  RegisterReportFileType(drive);
  RegisterSqlFileType(drive);
  RegisterLanguageFileType(drive);
}

void CreateShortcuts(const TInstaltionRec& InstallRec, const TFinishingChoices& Choices) {
  if (!Choices.AddShortcut) return;
  const std::string product = Cp1255FromWide(Choices.ProductName);
  const std::string target = InstallRec.FilesPath + "\\" + product + ".exe";
  CreateShortcut(target, "", "", ShortcutOnDesktop, product);
  CreateShortcut(target, "", "", ShortcutInStartMenu, product);
}

void ApplyWallpaper(const TInstaltionRec& InstallRec, const TFinishingChoices& Choices) {
  if (Choices.SetWallPaper) SetDesktopWallpaper(InstallRec.FilesPath + "\\NovsWallpaper.bmp", 1);
}

void SetFolderIcons(const TFinishingChoices& Choices) {
  using namespace MirpanProduct;
  const std::wstring product = Choices.DriveRoot + ProductFolderLowerCase;
  const std::wstring maker = Choices.DriveRoot + MakerFolderLowerCase;
  RefuseLinksOnTheWay(product + L"\\desktop.ini");
  RefuseLinksOnTheWay(maker + L"\\desktop.ini");
  WriteFolderIni(product + L"\\desktop.ini", product + L"\\bin\\MirpanFolder.ico",
                 L"Mirpan Folder");
  SetFileAttributesW(product.c_str(), FILE_ATTRIBUTE_SYSTEM);
  WriteFolderIni(maker + L"\\desktop.ini",
                 maker + L"\\" + Choices.ProductName + L"\\bin\\NovsFolder.ico",
                 L"Norvasto Folder");
  SetFileAttributesW(maker.c_str(), FILE_ATTRIBUTE_SYSTEM);
}

void RunFinishingSequence(TInstaltionRec& InstallRec, const TFinishingChoices& Choices,
                          const TStepRunner& RunStep) {
  const std::function<void()> steps[] = {
      [&] { WriteFirstTimeMarker(InstallRec.MainDirectory); },
      [&] { RegisterInstallation(InstallRec); },
      [&] { CreateShortcuts(InstallRec, Choices); },
      [&] { ApplyWallpaper(InstallRec, Choices); },
      [&] { SetFolderIcons(Choices); },
  };
  for (const auto& step : steps) RunStep ? RunStep(step) : step();
}
