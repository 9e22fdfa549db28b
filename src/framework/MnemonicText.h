#pragma once
// Captions with a shortcut letter ("&") that read right to left. The system's DrawText puts
// the letter's underline where the letter would stand if the caption ran left to right (under
// the arrow of "&המשך >"), so the caption is drawn without prefix handling and the underline
// is drawn here, under the glyph where the reordered text really shows it.
#include <windows.h>

#include <string>

struct TMnemonicCaption {
  std::wstring Shown;  // the caption as shown: "&" markers removed, "&&" as one "&"
  int Letter = -1;     // index of the underlined letter in Shown; -1 when there is none
};

TMnemonicCaption SplitMnemonic(const std::wstring& Caption);

// DrawTextW for a single-line right-to-left caption with the DC's current font and colour;
// the underline follows DT_HIDEPREFIX as the system's does. Answers the text height.
int DrawRightToLeftMnemonic(HDC DC, const std::wstring& Caption, RECT& R, UINT Format);
