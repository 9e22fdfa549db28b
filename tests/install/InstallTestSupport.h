#pragma once
// What the installation tests share: the scratch drive the wrapper script maps, file helpers,
// a host form with the page-3 status controls, and a driver for the modal dialogs.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "../support/TestFiles.h"
#include "controls/TProgressFill.h"
#include "dialogs/MessageDialog.h"
#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/StdControls.h"

namespace InstallTest {

// The drive root the wrapper maps to an empty scratch folder, such as Q:\ .
std::wstring ScratchRoot();
// Removes everything below the scratch root.
void ClearScratch();
// A folder of the build tree as Wine sees it (Z:...), from MIRPAN_BINARY_DIR.
std::wstring BuildFolder(const std::wstring& Relative);

using namespace TestFiles;

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

// One dialog as it showed: caption, text, and the answer given.
struct TSeenDialog {
  std::wstring Caption;
  std::wstring Text;
};

// Answers every message dialog that shows while it lives: Enter (the default button), or
// the given result. Records what it saw.
class TDialogAnswerer {
 public:
  enum TAnswer { PressEnter, Confirm, Cancel };
  explicit TDialogAnswerer(TAnswer Answer = PressEnter);
  ~TDialogAnswerer();
  const std::vector<TSeenDialog>& Seen() const { return FSeen; }

 private:
  static void CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD);
  void Answer(TMessageDialogForm& Form);
  TAnswer FAnswer;
  UINT_PTR FTimer;
  TMessageDialogForm* FLast = nullptr;
  std::vector<TSeenDialog> FSeen;
};

}  // namespace InstallTest
