#include "controls/UTopicBevel.h"

void TTopicBevel::SetColor(TColor value) {
  FColor = value;
  Invalidate();
}

void TTopicBevel::Paint(TCanvas& canvas) {
  canvas.Brush.Color = FColor;
  canvas.Brush.Style = bsSolid;
  canvas.Rectangle(0, 0, FWidth, FHeight);
  TBevel::Paint(canvas);
}
