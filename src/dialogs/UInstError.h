#pragma once
// The tools' message dialog: the plain-look twin of UInstMirpanError.
#include <string>

#include "dialogs/JoinLines.h"
#include "dialogs/MessageDialog.h"

namespace UInstError {

// Read when a dialog is constructed; never set by the program, so tools' dialogs stay plain.
extern bool StyledLook;

class TFrmInstError : public TMessageDialogForm {
 public:
  TFrmInstError(TComponent* Owner, bool DefaultNo, int LanguageMode);
};

void ShowErrorDialog(const std::wstring& Caption, const std::wstring& Text, int LanguageMode);
bool AskYesNoDialog(const std::wstring& Caption, const std::wstring& Text, int LanguageMode,
                    bool DefaultNo);

}  // namespace UInstError
