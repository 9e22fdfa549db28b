#pragma once
// The shaped push button of the wizard's title bar: a rounded rectangle filled with a
// gradient, an offset edge, the caption centred and shifted by the layout's offsets, and
// the caption recoloured while the pointer is over it.
#include "controls/Gradient.h"
#include "framework/Control.h"

enum TShapeButtonShape { stRectangle, stRoundRect };
enum TShapeBevelStyle { sbNone, sbOffset };
enum TShapeButtonMode { sbmNormal, sbmShapeFill };
enum TShapeButtonStyle { sbsFlat, sbs3D };

class TShapeButton : public TGraphicControl {
 public:
  explicit TShapeButton(TComponent* Owner);

  TShapeButtonShape Shape = stRoundRect;
  int RoundPercent = 40;          // corner diameter in percent of the shorter side
  TColor BrushColor = clBtnFace;  // the face when Mode is sbmNormal
  TShapeBevelStyle BevelStyle = sbOffset;
  TShapeButtonMode Mode = sbmShapeFill;
  TShapeButtonStyle Style = sbs3D;
  TGradient ShapeFill;
  int OffsetX = 0;
  int OffsetY = 0;
  bool AllowMouseOver = true;
  bool EnterColorChange = true;
  TColor EnterColor = clWhite;

  bool MouseInside() const { return FMouseInside; }
  // The colour the caption is drawn in now.
  TColor CaptionColor() const;

  void Paint(TCanvas& canvas) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseEnter() override;
  void MouseLeave() override;

 private:
  bool FMouseInside = false;
  bool FPressed = false;
};
