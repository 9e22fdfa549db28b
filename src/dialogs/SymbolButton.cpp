#include "dialogs/SymbolButton.h"

namespace {
// Wingdings codes, taken with or without the U+F000 symbol-font offset.
const wchar_t kCheck = 0xFC;
const wchar_t kCross = 0xFB;
}  // namespace

bool TSymbolButton::FontHasGlyph() const {
  if (FCaption.empty()) return true;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, FFont.Handle());
  WORD glyph = 0xFFFF;
  GetGlyphIndicesW(dc, FCaption.c_str(), 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return glyph != 0xFFFF;
}

void TSymbolButton::DrawMark(HDC dc, const RECT& r) const {
  wchar_t code = FCaption.empty() ? 0 : static_cast<wchar_t>(FCaption[0] & 0xFF);
  int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
  int s = (r.bottom - r.top) / 4;
  HPEN pen = CreatePen(PS_SOLID, 3, ColorToRGB(FEnabled ? FFont.Color() : clGrayText));
  HGDIOBJ old = SelectObject(dc, pen);
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
  SelectObject(dc, old);
  DeleteObject(pen);
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
