#include "dialogs/SymbolButton.h"

#include "framework/GdiGuards.h"

namespace {
// Wingdings codes, taken with or without the U+F000 symbol-font offset.
const wchar_t kCheck = 0xFC;
const wchar_t kCross = 0xFB;
}  // namespace

bool TSymbolButton::FontHasGlyph() const {
  if (FCaption.empty()) return true;
  TWindowDC screen;
  TSelection font(screen, FFont.Handle());
  WORD glyph = 0xFFFF;
  GetGlyphIndicesW(screen, FCaption.c_str(), 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS);
  return glyph != 0xFFFF;
}

void TSymbolButton::DrawMark(HDC dc, const RECT& r) const {
  wchar_t code = FCaption.empty() ? 0 : static_cast<wchar_t>(FCaption[0] & 0xFF);
  int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
  int s = (r.bottom - r.top) / 4;
  TGdiObject<HPEN> pen(CreatePen(PS_SOLID, 3, ColorToRGB(FEnabled ? FFont.Color() : clGrayText)));
  TSelection selection(dc, pen);
  if (code == kCross) {
    MoveToEx(dc, cx - s, cy - s, nullptr);
    LineTo(dc, cx + s, cy + s);
    MoveToEx(dc, cx + s, cy - s, nullptr);
    LineTo(dc, cx - s, cy + s);
  } else if (code == kCheck) {
    MoveToEx(dc, cx - s, cy, nullptr);
    LineTo(dc, cx - s / 3, cy + s);
    LineTo(dc, cx + s, cy - s);
  }
}

void TSymbolButton::DrawFace(HDC dc, const RECT& Face, UINT) {
  if (!FontHasGlyph()) {
    DrawMark(dc, Face);
    return;
  }
  TCanvas canvas(dc);
  canvas.Font = FFont;
  if (!FEnabled) canvas.Font.SetColor(clGrayText);
  RECT face = Face;
  canvas.DrawText(FCaption, face, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}
