// Shows one message-dialog mode for scripts/demo:
//   dialog_demo.exe info|error|question styled|plain [hebrew|english|long] [CLOSE_AFTER_MS]
// The dialog closes itself after CLOSE_AFTER_MS (default 4000) by a press of Enter.
#include <windows.h>

#include <string>

#include "dialogs/UInstError.h"
#include "dialogs/UInstMirpanError.h"
#include "framework/Application.h"

namespace {

UINT CloseAfter = 4000;

void CALLBACK PressEnter(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  HWND dialog = GetActiveWindow();
  if (dialog) {
    PostMessageW(GetFocus() ? GetFocus() : dialog, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageW(GetFocus() ? GetFocus() : dialog, WM_KEYUP, VK_RETURN, 0);
  }
}

std::wstring Text(const std::wstring& language) {
  if (language == L"english")
    return JoinLines({L"The archive part could not be opened.", L"Please try again."});
  if (language == L"long") {
    std::vector<std::wstring> lines;
    for (int i = 1; i <= 12; ++i)
      lines.push_back(L"שורה " + std::to_wstring(i) +
                      L" של הודעה ארוכה מאוד שנכתבה כדי לבדוק שהחלון גדל עם הטקסט.");
    return JoinLines(lines);
  }
  return JoinLines(
      {L"ההתקנה עדין לא סיימה להתקין את תוכנת Mirpan על מחשבך.", L"האם לצאת בכל מקרה ?"});
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring mode = argc > 1 ? argv[1] : L"question";
  std::wstring look = argc > 2 ? argv[2] : L"styled";
  std::wstring language = argc > 3 ? argv[3] : L"hebrew";
  if (argc > 4) CloseAfter = static_cast<UINT>(std::stoul(argv[4]));
  int languageMode = language == L"english" ? 1 : 2;

  Application->Initialize();
  Application->SetTitle(L"SetUp");
  SetTimer(nullptr, 0, CloseAfter, PressEnter);
  std::wstring caption = L"יציאה מהתקנה";
  if (look == L"styled") {
    UInstMirpanError::StyledLook = true;
    if (mode == L"info") UInstMirpanError::ShowInfoDialog(caption, Text(language), languageMode);
    if (mode == L"error") UInstMirpanError::ShowErrorDialog(caption, Text(language), languageMode);
    if (mode == L"question")
      UInstMirpanError::AskYesNoDialog(caption, Text(language), languageMode, false);
  } else {
    if (mode == L"info") UInstMirpanError::ShowInfoDialog(caption, Text(language), languageMode);
    if (mode == L"error") UInstError::ShowErrorDialog(caption, Text(language), languageMode);
    if (mode == L"question")
      UInstError::AskYesNoDialog(caption, Text(language), languageMode, false);
  }
  Application->ProcessMessages();
  return 0;
}
