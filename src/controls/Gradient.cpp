#include "controls/Gradient.h"

void TGradient::SetColor(TColor color) {
  FColor = color;
  Rebuild();
}

void TGradient::SetEndColor(TColor color) {
  FEndColor = color;
  Rebuild();
}

void TGradient::SetSteps(int steps) {
  FSteps = steps < 1 ? 1 : steps;
  Rebuild();
}

void TGradient::Rebuild() {
  COLORREF from = ColorToRGB(FColor), to = ColorToRGB(FEndColor);
  FStepColors.assign(FSteps, from);
  for (int i = 0; i < FSteps; ++i) {
    // Evenly spaced from the first colour to the last, both ends included.
    int d = FSteps > 1 ? FSteps - 1 : 1;
    auto mix = [&](int a, int b) { return a + (b - a) * i / d; };
    FStepColors[i] = RGB(mix(GetRValue(from), GetRValue(to)), mix(GetGValue(from), GetGValue(to)),
                         mix(GetBValue(from), GetBValue(to)));
  }
}

void TGradient::Paint(TCanvas& canvas, const RECT& r) const {
  HDC dc = canvas.Handle();
  HPALETTE palette = nullptr, oldPalette = nullptr;
  if (PaletteRealize) {
    std::vector<BYTE> buffer(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * FStepColors.size());
    auto* log = reinterpret_cast<LOGPALETTE*>(buffer.data());
    log->palVersion = 0x300;
    log->palNumEntries = static_cast<WORD>(FStepColors.size());
    for (std::size_t i = 0; i < FStepColors.size(); ++i)
      log->palPalEntry[i] = PALETTEENTRY{GetRValue(FStepColors[i]), GetGValue(FStepColors[i]),
                                         GetBValue(FStepColors[i]), 0};
    palette = CreatePalette(log);
    oldPalette = SelectPalette(dc, palette, FALSE);
    RealizePalette(dc);
  }
  int extent = Style == gstVertical ? r.bottom - r.top : r.right - r.left;
  for (int i = 0; i < FSteps; ++i) {
    int a = extent * i / FSteps, b = extent * (i + 1) / FSteps;
    if (b <= a) continue;
    RECT band = Style == gstVertical ? RECT{r.left, r.top + a, r.right, r.top + b}
                                     : RECT{r.left + a, r.top, r.left + b, r.bottom};
    HBRUSH brush = CreateSolidBrush(FStepColors[i]);
    FillRect(dc, &band, brush);
    DeleteObject(brush);
  }
  if (palette) {
    SelectPalette(dc, oldPalette, FALSE);
    DeleteObject(palette);
  }
}
