#include "dialogs/UInstMirpanError.h"

namespace UInstMirpanError {

bool StyledLook = false;
TFrmInstMirpanError* FrmInstMirpanError = nullptr;

TFrmInstMirpanError::TFrmInstMirpanError(TComponent* Owner, bool DefaultNo, int LanguageMode)
    : TMessageDialogForm(Owner, DefaultNo, LanguageMode,
                         TMessageDialogLook{StyledLook, 1, L"DIALOGBACK_MIRPAN"}) {
  FrmInstMirpanError = this;
  OnDestroy = [this](TComponent*) {
    if (FrmInstMirpanError == this) FrmInstMirpanError = nullptr;
  };
}

void ShowInfoDialog(const std::wstring& Caption, const std::wstring& Text, int LanguageMode) {
  RunMessageDialog<TFrmInstMirpanError>(mdInfo, Caption, Text, LanguageMode, false);
}

void ShowErrorDialog(const std::wstring& Caption, const std::wstring& Text, int LanguageMode) {
  RunMessageDialog<TFrmInstMirpanError>(mdError, Caption, Text, LanguageMode, false);
}

bool AskYesNoDialog(const std::wstring& Caption, const std::wstring& Text, int LanguageMode,
                    bool DefaultNo) {
  return RunMessageDialog<TFrmInstMirpanError>(mdQuestion, Caption, Text, LanguageMode, DefaultNo);
}

}  // namespace UInstMirpanError
