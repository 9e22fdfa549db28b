#pragma once
// A colour gradient in a fixed number of bands, as the button faces and the progress fill
// paint it. The list of band colours is rebuilt whenever an end colour or the count changes.
#include <vector>

#include "framework/Graphics.h"

// Vertical: Color at the top, EndColor at the bottom; horizontal: left to right.
enum TGradientStyle { gstHorizontal, gstVertical };

class TGradient {
 public:
  TColor Color() const { return FColor; }
  TColor EndColor() const { return FEndColor; }
  int Steps() const { return FSteps; }
  void SetColor(TColor color);
  void SetEndColor(TColor color);
  void SetSteps(int steps);
  TGradientStyle Style = gstVertical;
  // Selects and realises a palette made of the band colours before painting (for displays
  // of 256 colours; a no-op on true-colour screens).
  bool PaletteRealize = false;

  const std::vector<COLORREF>& StepColors() const { return FStepColors; }
  void Paint(TCanvas& canvas, const RECT& r) const;

 private:
  void Rebuild();

  TColor FColor = clWhite;
  TColor FEndColor = clBlack;
  int FSteps = 16;
  std::vector<COLORREF> FStepColors = std::vector<COLORREF>(16, 0);
};
