// Answers the tools' dialogs without a window while the real dialogs are not built.
#include "dialogs/UInstError.h"

namespace UInstError {

bool StyledLook = false;

void ShowErrorDialog(const std::wstring&, const std::wstring&, int) {}

bool AskYesNoDialog(const std::wstring&, const std::wstring&, int, bool) { return false; }

}  // namespace UInstError
