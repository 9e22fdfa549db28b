#pragma once
// The product's fixed names and numbers: where it is installed, its version, where it is
// downloaded from, the wizard's colours and the language its dialogs speak. Everything
// that installs or shows the product takes them from here.
#include "framework/Graphics.h"

namespace MirpanProduct {

// The maker's folder at the drive root and the product folder inside it. These fixed texts,
// not the product-name label, are what the archive steps and the installation log use.
constexpr wchar_t MakerFolder[] = L"Norvasto";
constexpr wchar_t ProductFolder[] = L"Norvasto\\Mirpan";
// The folder icons spell the maker's folder in lower case; Windows does not mind, the
// desktop.ini files keep the spelling they always had.
constexpr wchar_t MakerFolderLowerCase[] = L"norvasto";
constexpr wchar_t ProductFolderLowerCase[] = L"norvasto\\Mirpan";
// The 8-bit form the installation record is written in.
constexpr char MakerFolderText[] = "Norvasto";
constexpr char CompanyName[] = "Norvasto Software";

// One spelling of the version, as a number for the settings record and as text for the
// uninstall entry.
#define MIRPAN_PRODUCT_VERSION 3.12
#define MIRPAN_WIDE_TEXT_OF(x) MIRPAN_WIDE_TEXT_OF_(x)
#define MIRPAN_WIDE_TEXT_OF_(x) L## #x
constexpr double Version = MIRPAN_PRODUCT_VERSION;
constexpr wchar_t VersionText[] = MIRPAN_WIDE_TEXT_OF(MIRPAN_PRODUCT_VERSION);

// The marker beside the setup program that selects the local mode, and the archive parts in
// the order they are installed; the second holds the user data.
constexpr wchar_t MarkerPart[] = L"MirpanN.zip";
constexpr const wchar_t* ArchiveParts[] = {L"MirpanN1.zip", L"MirpanN2.zip"};
constexpr int ArchivePartCount = sizeof ArchiveParts / sizeof ArchiveParts[0];
constexpr const wchar_t* UserDataPart = ArchiveParts[1];

// The maker's web site (usage agreement) and the host the archive parts are fetched from.
constexpr wchar_t MakerWebSite[] = L"www.norvasto.co.il";
constexpr char MakerDownloadHost[] = "download.norvasto.co.il";

}  // namespace MirpanProduct

// The wizard's colours (0x00BBGGRR).
namespace WizardColour {
constexpr TColor PageText = 5581568;   // the dark blue of every page text
constexpr TColor LinkHover = 3063277;  // a link under the mouse
constexpr TColor TitleBar = 13821149;
constexpr TColor SidePanel = 6898949;
constexpr TColor HoverCaption = 8172701;  // a wizard button's caption under the mouse
constexpr TColor ProgressBack = 11845824;
constexpr TColor ProgressFrom = 8109993;
constexpr TColor ProgressTo = 3348992;
constexpr TColor ProgressText = 15398129;
}  // namespace WizardColour

// The LanguageMode of the message dialogs: 2 lays them out in Hebrew, right to left; 0 and 1
// in English, left to right (1 also widens the dialog to its text). The product speaks
// Hebrew only.
enum TDialogLanguage : int { dlEnglish = 0, dlEnglishFitted = 1, dlHebrew = 2 };
