#include "controls/TProgressFill.h"

#include <cmath>

TProgressFill::TProgressFill(TComponent* Owner) : TGraphicControl(Owner) {
  Fill.SetColor(clWhite);
  Fill.SetEndColor(clBlack);
}

void TProgressFill::SetMinValue(std::int32_t value) { FMinValue = value; }
void TProgressFill::SetMaxValue(std::int32_t value) { FMaxValue = value; }

void TProgressFill::SetUserValue(std::int32_t value) {
  if (value < FMinValue || value > FMaxValue) return;
  FUserValue = value;
  double range = double(FMaxValue) - FMinValue;
  double percent = range > 0 ? std::round((double(value) - FMinValue) / range * 100) : 100;
  FPosition = percent < 0 ? 0 : percent > 100 ? 100 : static_cast<int>(percent);
  PositionChanged();
}

void TProgressFill::SetPosition(int percent) {
  FPosition = percent < 0 ? 0 : percent > 100 ? 100 : percent;
  FUserValue = FMinValue + static_cast<std::int32_t>(
                               std::round(FPosition * 0.01 * (double(FMaxValue) - FMinValue)));
  PositionChanged();
}

void TProgressFill::StepIt() { SetPosition(FPosition + Step); }

void TProgressFill::PositionChanged() {
  if (FPosition != 0 && FPosition == FLastPainted) return;
  Repaint();
}

std::wstring TProgressFill::Text() const {
  if (OptionsText == toPercent) return std::to_wstring(FPosition) + L"%";
  if (OptionsText == toCaption) return FCaption;
  return L"";
}

RECT TProgressFill::InnerRect() const { return RECT{1, 1, FWidth - 1, FHeight - 1}; }

RECT TProgressFill::FilledRect() const {
  RECT r = InnerRect();
  int w = r.right - r.left, h = r.bottom - r.top;
  int fw = w * FPosition / 100, fh = h * FPosition / 100;
  switch (Direction) {
    case mdHorizontal:
      r.right = r.left + fw;
      break;
    case mdHorizontalReverse:
      r.left = r.right - fw;
      break;
    case mdVertical:
      r.bottom = r.top + fh;
      break;
    case mdVerticalReverse:
      r.top = r.bottom - fh;
      break;
  }
  return r;
}

void TProgressFill::Paint(TCanvas& canvas) {
  FLastPainted = FPosition;
  RECT client{0, 0, FWidth, FHeight};
  canvas.Brush.Color = FColor;
  canvas.FillRect(client);
  RECT edge = client;
  canvas.Frame3D(edge, clBtnShadow, clBtnHighlight);

  RECT inner = InnerRect();
  int w = inner.right - inner.left, h = inner.bottom - inner.top;
  if (w <= 0 || h <= 0) return;
  // Drawn off-screen and copied in one go.
  TBitmap buffer(w, h);
  TCanvas off = buffer.Canvas();
  off.Brush.Color = BrushBackColor;
  off.FillRect(RECT{0, 0, w, h});
  RECT filled = FilledRect();
  OffsetRect(&filled, -inner.left, -inner.top);
  if (FPosition > 0 && filled.right > filled.left && filled.bottom > filled.top) {
    Fill.Paint(off, filled);
    if (Bar3D == lsRaisedspb) off.Frame3D(filled, clBtnHighlight, clBtnShadow);
    if (Bar3D == lsLoweredspb) off.Frame3D(filled, clBtnShadow, clBtnHighlight);
  }
  std::wstring text = Text();
  if (!text.empty()) {
    const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
    off.Font = FFont;
    RECT all{0, 0, w, h};
    if (UseFontColor) {
      off.DrawText(text, all, format);
    } else {
      // Without the font colour the text stays legible on both parts: font colour over the
      // empty part, background colour over the filled part.
      int saved = SaveDC(off.Handle());
      ExcludeClipRect(off.Handle(), filled.left, filled.top, filled.right, filled.bottom);
      off.DrawText(text, all, format);
      RestoreDC(off.Handle(), saved);
      saved = SaveDC(off.Handle());
      IntersectClipRect(off.Handle(), filled.left, filled.top, filled.right, filled.bottom);
      off.Font.SetColor(BrushBackColor);
      off.DrawText(text, all, format);
      RestoreDC(off.Handle(), saved);
    }
  }
  BitBlt(canvas.Handle(), inner.left, inner.top, w, h, buffer.DC(), 0, 0, SRCCOPY);
}
