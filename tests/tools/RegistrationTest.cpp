// The uninstall entry and the viewers' file types, read back from the registry.
#include <gtest/gtest.h>

#include <string>

#include "RegistryProbe.h"
#include "tools/UinstTools.h"

namespace {

const wchar_t UninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MirpanToolsTest";
const wchar_t FileExts[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\";

void ForgetFileType(const std::wstring& Ext, const std::wstring& ProgID) {
  RemoveKey(HKEY_CLASSES_ROOT, Ext);
  RemoveKey(HKEY_CLASSES_ROOT, ProgID);
  RemoveKey(HKEY_CURRENT_USER, FileExts + Ext);
}

}  // namespace

TEST(UninstallEntry, SecondRunReplacesTheFirstWhole) {
  RemoveKey(HKEY_LOCAL_MACHINE, UninstallKey);
  TInstaltionRec rec;
  rec.Product = "MirpanToolsTest";
  rec.FilesPath = "C:\\Norvasto\\MirpanToolsTest\\Bin";
  ASSERT_TRUE(WriteUninstallEntry(rec, "C:\\Norvasto\\MirpanToolsTest\\Bin\\UnInstallMrp4R.exe"));
  WriteRawString(HKEY_LOCAL_MACHINE, UninstallKey, L"NoModify", L"1");

  rec.FilesPath = "E:\\Norvasto\\MirpanToolsTest\\Bin";
  ASSERT_TRUE(WriteUninstallEntry(rec, "E:\\Norvasto\\MirpanToolsTest\\Bin\\UnInstallMrp4R.exe"));

  EXPECT_EQ(5u, ValueNames(HKEY_LOCAL_MACHINE, UninstallKey).size()) << "nothing merged";
  EXPECT_FALSE(ReadRaw(HKEY_LOCAL_MACHINE, UninstallKey, L"NoModify").Found);
  EXPECT_EQ(L"MirpanToolsTest", ReadRaw(HKEY_LOCAL_MACHINE, UninstallKey, L"DisplayName").Text());
  EXPECT_EQ(L"E:\\Norvasto\\MirpanToolsTest\\Bin\\UnInstallMrp4R.exe",
            ReadRaw(HKEY_LOCAL_MACHINE, UninstallKey, L"UninstallString").Text());
  EXPECT_EQ(L"E:\\Norvasto\\MirpanToolsTest\\Bin\\MirpanToolsTest.exe",
            ReadRaw(HKEY_LOCAL_MACHINE, UninstallKey, L"DisplayIcon").Text());
  EXPECT_EQ(L"3.12", ReadRaw(HKEY_LOCAL_MACHINE, UninstallKey, L"DisplayVersion").Text());
  TRawValue help = ReadRaw(HKEY_LOCAL_MACHINE, UninstallKey, L"HelpLink");
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), help.Type);
  EXPECT_EQ(0u, help.Text().find(L"http://"));
  RemoveKey(HKEY_LOCAL_MACHINE, UninstallKey);
}

TEST(FileTypes, NewTypeGetsProgIdCommandAndPerUserLists) {
  struct {
    void (*Register)(const std::string&);
    const wchar_t* Ext;
    const wchar_t* ProgID;
    const wchar_t* Description;
    const wchar_t* Command;
    const wchar_t* ListName;
  } types[] = {
      {RegisterReportFileType, L".QRP", L"QrpViewer", L"Vantore Reports Viewer",
       L"\"D:\\Norvasto\\viewers\\viewer.exe\" \"%1\"", L"viewer.exe"},
      {RegisterSqlFileType, L".SQL", L"SqlViewer", L"Norvasto Software SQL Editor",
       L"\"D:\\Norvasto\\viewers\\SqlViewer.exe\" \"%1\"", L"SqlViewer.exe"},
      {RegisterLanguageFileType, L".NS", L"NSViewer", L"Norvasto Software Language Editor",
       L"\"D:\\Norvasto\\viewers\\NsViewer.exe\" \"%1\"", L"NsViewer.exe"},
  };
  for (const auto& t : types) {
    SCOPED_TRACE(std::string(t.Ext, t.Ext + wcslen(t.Ext)));
    ForgetFileType(t.Ext, t.ProgID);
    t.Register("D:");
    EXPECT_EQ(t.ProgID, ReadRaw(HKEY_CLASSES_ROOT, t.Ext, L"").Text());
    EXPECT_EQ(t.Description, ReadRaw(HKEY_CLASSES_ROOT, t.ProgID, L"").Text());
    EXPECT_EQ(
        t.Command,
        ReadRaw(HKEY_CLASSES_ROOT, std::wstring(t.ProgID) + L"\\shell\\open\\command", L"").Text());
    std::wstring user = FileExts + std::wstring(t.Ext);
    TRawValue list = ReadRaw(HKEY_CURRENT_USER, user + L"\\OpenWithList", L"a");
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), list.Type);
    EXPECT_EQ(t.ListName, list.Text());
    TRawValue progid = ReadRaw(HKEY_CURRENT_USER, user + L"\\OpenWithProgids", t.ProgID);
    EXPECT_TRUE(progid.Found);
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), progid.Type);
    EXPECT_TRUE(progid.Data.empty());
    ForgetFileType(t.Ext, t.ProgID);
  }
}

TEST(FileTypes, KnownExtensionIsLeftAloneEverywhere) {
  ForgetFileType(L".SQL", L"SqlViewer");
  WriteRawString(HKEY_CLASSES_ROOT, L".SQL", L"", L"OtherEditor");
  RegisterSqlFileType("D:");
  EXPECT_EQ(L"OtherEditor", ReadRaw(HKEY_CLASSES_ROOT, L".SQL", L"").Text());
  EXPECT_EQ(1u, ValueNames(HKEY_CLASSES_ROOT, L".SQL").size());
  EXPECT_FALSE(KeyPresent(HKEY_CLASSES_ROOT, L".SQL\\OpenWithProgids"));
  EXPECT_FALSE(KeyPresent(HKEY_CLASSES_ROOT, L"SqlViewer"));
  // Nor anything for the user.
  EXPECT_FALSE(KeyPresent(HKEY_CURRENT_USER, std::wstring(FileExts) + L".SQL"));
  ForgetFileType(L".SQL", L"SqlViewer");
}
