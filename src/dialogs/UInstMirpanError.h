#pragma once
// The wizard's message dialog (information, error, yes/no question). The wizard turns
// StyledLook on at start, so its dialogs show the background picture and the tiled icons.
#include <string>

#include "dialogs/JoinLines.h"
#include "dialogs/MessageDialog.h"

namespace UInstMirpanError {

// Read when a dialog is constructed; false until the wizard sets it.
extern bool StyledLook;

class TFrmInstMirpanError : public TMessageDialogForm {
 public:
  TFrmInstMirpanError(TComponent* Owner, bool DefaultNo, int LanguageMode);
};

// The dialog showing at the moment, if any.
extern TFrmInstMirpanError* FrmInstMirpanError;

void ShowInfoDialog(const std::wstring& Caption, const std::wstring& Text, int LanguageMode);
void ShowErrorDialog(const std::wstring& Caption, const std::wstring& Text, int LanguageMode);
bool AskYesNoDialog(const std::wstring& Caption, const std::wstring& Text, int LanguageMode,
                    bool DefaultNo);

}  // namespace UInstMirpanError
