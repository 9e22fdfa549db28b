#include "dialogs/UInstError.h"

namespace UInstError {

bool StyledLook = false;

TFrmInstError::TFrmInstError(TComponent* Owner, bool DefaultNo, int LanguageMode)
    : TMessageDialogForm(Owner, DefaultNo, LanguageMode,
                         TMessageDialogLook{StyledLook, 2, L"DIALOGBACK_TOOLS"}) {}

void ShowErrorDialog(const std::wstring& Caption, const std::wstring& Text, int LanguageMode) {
  RunMessageDialog<TFrmInstError>(mdError, Caption, Text, LanguageMode, false);
}

bool AskYesNoDialog(const std::wstring& Caption, const std::wstring& Text, int LanguageMode,
                    bool DefaultNo) {
  return RunMessageDialog<TFrmInstError>(mdQuestion, Caption, Text, LanguageMode, DefaultNo);
}

}  // namespace UInstError
