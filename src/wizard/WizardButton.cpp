#include "wizard/WizardButton.h"

void TWizardButton::DrawFace(HDC dc, const RECT& Face, UINT ItemState) {
  TCanvas canvas(dc);
  canvas.Font = FFont;
  UINT format = DrawTextBiDiModeFlags(DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  // The mnemonic's underline shows only while the system shows keyboard cues.
  if (ItemState & ODS_NOACCEL) format |= DT_HIDEPREFIX;
  RECT face = Face;
  if (FEnabled) {
    canvas.DrawText(FCaption, face, format);
    return;
  }
  // Disabled: the etched look of a standard button, light first and shifted by a pixel.
  RECT light = Face;
  OffsetRect(&light, 1, 1);
  canvas.Font.SetColor(clBtnHighlight);
  canvas.DrawText(FCaption, light, format);
  canvas.Font.SetColor(clGrayText);
  canvas.DrawText(FCaption, face, format);
}
