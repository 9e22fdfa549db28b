#include "wizard/WizardButton.h"

TCreateParams TWizardButton::CreateParams() {
  TCreateParams p = TButton::CreateParams();
  p.Style = (p.Style & ~BS_TYPEMASK) | BS_OWNERDRAW;
  return p;
}

void TWizardButton::Click() {
  if (!FEnabled || !FVisible) return;
  TButton::Click();
}

bool TWizardButton::DrawItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  bool pushed = item.itemState & ODS_SELECTED;
  bool focused = item.itemState & ODS_FOCUS;
  if (focused) {
    FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&r, -1, -1);
  }
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
  RECT face = r;
  if (pushed) OffsetRect(&face, 1, 1);
  TCanvas canvas(dc);
  canvas.Font = FFont;
  UINT format = DrawTextBiDiModeFlags(DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  // The mnemonic's underline shows only while the system shows keyboard cues.
  if (item.itemState & ODS_NOACCEL) format |= DT_HIDEPREFIX;
  if (FEnabled) {
    canvas.DrawText(FCaption, face, format);
  } else {
    // Disabled: the etched look of a standard button, light first and shifted by a pixel.
    RECT light = face;
    OffsetRect(&light, 1, 1);
    canvas.Font.SetColor(clBtnHighlight);
    canvas.DrawText(FCaption, light, format);
    canvas.Font.SetColor(clGrayText);
    canvas.DrawText(FCaption, face, format);
  }
  if (focused) {
    RECT f = r;
    InflateRect(&f, -4, -4);
    DrawFocusRect(dc, &f);
  }
  return true;
}
