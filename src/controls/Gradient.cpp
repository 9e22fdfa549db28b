#include "controls/Gradient.h"

#include "framework/GdiGuards.h"

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

namespace {

HPALETTE StepPalette(const std::vector<COLORREF>& colors) {
  std::vector<BYTE> buffer(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * colors.size());
  auto* log = reinterpret_cast<LOGPALETTE*>(buffer.data());
  log->palVersion = 0x300;
  log->palNumEntries = static_cast<WORD>(colors.size());
  for (std::size_t i = 0; i < colors.size(); ++i)
    log->palPalEntry[i] =
        PALETTEENTRY{GetRValue(colors[i]), GetGValue(colors[i]), GetBValue(colors[i]), 0};
  return CreatePalette(log);
}

// Selects and realises a palette, and selects the previous one back when it goes.
class TRealizedPalette {
 public:
  TRealizedPalette(HDC dc, HPALETTE palette)
      : FDC(dc), FOld(palette ? SelectPalette(dc, palette, FALSE) : nullptr) {
    if (palette) RealizePalette(dc);
  }
  ~TRealizedPalette() {
    if (FOld) SelectPalette(FDC, FOld, FALSE);
  }
  TRealizedPalette(const TRealizedPalette&) = delete;
  TRealizedPalette& operator=(const TRealizedPalette&) = delete;

 private:
  HDC FDC;
  HPALETTE FOld;
};

}  // namespace

void TGradient::Paint(TCanvas& canvas, const RECT& r) const {
  HDC dc = canvas.Handle();
  TGdiObject<HPALETTE> palette(PaletteRealize ? StepPalette(FStepColors) : nullptr);
  TRealizedPalette realized(dc, palette);
  int extent = Style == gstVertical ? r.bottom - r.top : r.right - r.left;
  for (int i = 0; i < FSteps; ++i) {
    int a = extent * i / FSteps, b = extent * (i + 1) / FSteps;
    if (b <= a) continue;
    RECT band = Style == gstVertical ? RECT{r.left, r.top + a, r.right, r.top + b}
                                     : RECT{r.left + a, r.top, r.left + b, r.bottom};
    TGdiObject<HBRUSH> brush(CreateSolidBrush(FStepColors[i]));
    FillRect(dc, &band, brush);
  }
}
