#pragma once
// What the installation tests share: the scratch drive the wrapper script maps, file helpers,
// a host form with the page-3 status controls, and the answerer of the modal dialogs.
#include <windows.h>

#include <string>
#include <vector>

#include "../support/TestFiles.h"
#include "controls/TProgressFill.h"
#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/StdControls.h"
#include "support/DialogAnswerer.h"

namespace InstallTest {

// The drive root the wrapper maps to an empty scratch folder, such as Q:\ .
std::wstring ScratchRoot();
// Removes everything below the scratch root.
void ClearScratch();
// A folder of the build tree as Wine sees it (Z:...), from MIRPAN_BINARY_DIR.
std::wstring BuildFolder(const std::wstring& Relative);

using namespace TestFiles;

// Writes the maker's stamp of Parts into the program file, as the release step does.
void StampProgram(const std::wstring& Program, const std::vector<std::wstring>& Parts);

// The product folder on the scratch drive, with a trailing backslash.
std::wstring ScratchProduct();
// What PlantUserData puts into UserData\UserData.mdb, as a user's company data.
extern const char* const PlantedUserData;
// An earlier installation's user data in the product folder of the scratch drive.
void PlantUserData();

// The page-3 controls the installation writes to, on a hidden form.
struct THostForm {
  THostForm();
  ~THostForm();
  TForm* Form;
  TLabel* LSubject;
  TLabel* Label21;
  TLabel* LFileName;
  TProgressFill* pbProgress;
};

using TestDialogs::TDialogAnswerer;
using TestDialogs::TSeenDialog;

}  // namespace InstallTest
