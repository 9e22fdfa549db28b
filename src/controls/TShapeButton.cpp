#include "controls/TShapeButton.h"

#include <algorithm>

#include "framework/GdiGuards.h"

TShapeButton::TShapeButton(TComponent* Owner) : TGraphicControl(Owner) {
  ShapeFill.SetColor(clBtnFace);
  ShapeFill.SetEndColor(clBtnFace);
}

TColor TShapeButton::CaptionColor() const {
  if (FMouseInside && AllowMouseOver && EnterColorChange) return EnterColor;
  return FFont.Color();
}

void TShapeButton::Paint(TCanvas& canvas) {
  HDC dc = canvas.Handle();
  int w = FWidth, h = FHeight;
  int corner = Shape == stRoundRect ? std::min(w, h) * RoundPercent / 100 : 0;
  int saved = SaveDC(dc);
  // A path is in logical units, so the clip follows the canvas origin of this control.
  BeginPath(dc);
  RoundRect(dc, 0, 0, w, h, corner, corner);
  EndPath(dc);
  SelectClipPath(dc, RGN_AND);
  RECT face{0, 0, w, h};
  if (Mode == sbmShapeFill) {
    ShapeFill.Paint(canvas, face);
  } else {
    canvas.Brush.Color = BrushColor;
    canvas.FillRect(face);
  }
  RestoreDC(dc, saved);

  if (BevelStyle == sbOffset && Style == sbs3D) {
    // The edge is the outline drawn twice, light and dark, one pixel apart; pressing swaps them.
    TColor light = FPressed ? clBtnShadow : clBtnHighlight;
    TColor dark = FPressed ? clBtnHighlight : clBtnShadow;
    TSelection hollow(dc, GetStockObject(NULL_BRUSH));
    for (int pass = 0; pass < 2; ++pass) {
      TGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, ColorToRGB(pass == 0 ? dark : light)));
      TSelection selection(dc, pen);
      int d = pass == 0 ? 1 : 0;
      RoundRect(dc, d, d, w - 1 + d, h - 1 + d, corner, corner);
    }
  }

  if (!FCaption.empty()) {
    RECT text{OffsetX, OffsetY, w + OffsetX, h + OffsetY};
    if (FPressed) OffsetRect(&text, 1, 1);
    canvas.Font = FFont;
    canvas.Font.SetColor(CaptionColor());
    canvas.DrawText(FCaption, text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
}

void TShapeButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    FPressed = true;
    Invalidate();
  }
  TGraphicControl::MouseDown(button, shift, x, y);
}

void TShapeButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    FPressed = false;
    Invalidate();
  }
  TGraphicControl::MouseUp(button, shift, x, y);
}

void TShapeButton::MouseEnter() {
  FMouseInside = true;
  if (AllowMouseOver && EnterColorChange) Invalidate();
  TGraphicControl::MouseEnter();
}

void TShapeButton::MouseLeave() {
  FMouseInside = false;
  if (AllowMouseOver && EnterColorChange) Invalidate();
  TGraphicControl::MouseLeave();
}
