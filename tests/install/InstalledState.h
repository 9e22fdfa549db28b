#pragma once
// Reads back what an installation left for Windows: registry values, the settings key's
// scrambled strings, links and profile files; and points the desktop and the Start Menu at a
// folder of the test's choosing.
#include <windows.h>

#include <string>

#include "tools/UinstTools.h"

namespace InstallTest {

extern const std::wstring SettingsKey;   // below HKEY_LOCAL_MACHINE
extern const std::wstring UninstallKey;  // below HKEY_LOCAL_MACHINE

// "(none)" when the value is missing.
std::wstring RegText(HKEY Root, const std::wstring& Path, const std::wstring& Name);
void SetRegText(HKEY Root, const std::wstring& Path, const std::wstring& Name,
                const std::wstring& Text);
void RemoveKey(HKEY Root, const std::wstring& Path);

// A string value of the settings key, unscrambled with its offset; "(not braced)" when the
// stored text has not the scrambled form, "(unknown value)" for a name not in the tables.
std::string DecodedSetting(const std::wstring& Name);
// A real value of the settings key divided by its factor, 0 when missing.
double StoredReal(const TSettingScramble& Setting);

// The target path of a link file, "(unreadable)" when it cannot be loaded.
std::wstring LinkTarget(const std::wstring& FileName);
// A key of a profile file, "(none)" when missing.
std::wstring IniText(const std::wstring& File, const wchar_t* Section, const wchar_t* Key);

// The demo product's tree below Product (such as S:\Norvasto\Mirpan\): the program as built
// and a file of each part, the record's folders included.
void ExpectDemoProductIn(const std::wstring& Product);
// The checks of a finished installation of Mirpan on Drive (two characters such as S:),
// reported through the test framework.
void ExpectSettingsKeyFor(const std::wstring& Drive);
void ExpectUninstallEntryAndFileTypesFor(const std::wstring& Drive);
void ExpectLinksAndWallpaperFor(const std::wstring& Drive, const std::wstring& Desktop,
                                const std::wstring& StartMenu);
// Both desktop.ini files below Root (such as S:\) and the system attribute on both folders.
void ExpectFolderIconsBelow(const std::wstring& Root);

// Removes the product's registry traces, so that each installation starts from none.
void ForgetInstallation();
// Both folder tables of the shell name Desktop and StartMenu (both are made here).
void RedirectShellFolders(const std::wstring& Desktop, const std::wstring& StartMenu);

}  // namespace InstallTest
