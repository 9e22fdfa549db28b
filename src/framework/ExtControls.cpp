#include "framework/ExtControls.h"

// ---- TBevel

void TBevel::SetShape(TBevelShape shape) {
  FShape = shape;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle style) {
  FStyle = style;
  Invalidate();
}

void TBevel::Paint(TCanvas& canvas) {
  TColor first = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
  TColor second = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
  int w = FWidth, h = FHeight;
  switch (FShape) {
    case bsBox: {
      RECT r{0, 0, w, h};
      canvas.Frame3D(r, first, second);
      break;
    }
    case bsFrame: {
      // Two one-pixel frames, the outer shifted against the inner: an etched edge.
      RECT inner{1, 1, w, h};
      canvas.Frame3D(inner, second, second);
      RECT outer{0, 0, w - 1, h - 1};
      canvas.Frame3D(outer, first, first);
      break;
    }
    case bsTopLine:
      canvas.Line(0, 0, w, 0, first);
      canvas.Line(0, 1, w, 1, second);
      break;
    case bsBottomLine:
      canvas.Line(0, h - 2, w, h - 2, first);
      canvas.Line(0, h - 1, w, h - 1, second);
      break;
    case bsLeftLine:
      canvas.Line(0, 0, 0, h, first);
      canvas.Line(1, 0, 1, h, second);
      break;
    case bsRightLine:
      canvas.Line(w - 2, 0, w - 2, h, first);
      canvas.Line(w - 1, 0, w - 1, h, second);
      break;
    case bsSpacer:
      break;
  }
}

// ---- TImage

void TImage::Paint(TCanvas& canvas) {
  if (FPicture.Empty()) return;
  if (Stretch)
    canvas.StretchDraw(RECT{0, 0, FWidth, FHeight}, FPicture);
  else if (Transparent)
    canvas.DrawTransparent(0, 0, FPicture);
  else
    canvas.Draw(0, 0, FPicture);
}

// ---- TPanel

TPanel::TPanel(TComponent* Owner) : TWinControl(Owner) {}

void TPanel::SetBevelOuter(TPanelBevel bevel) {
  FBevelOuter = bevel;
  Invalidate();
}

void TPanel::PaintWindow(TCanvas& canvas) {
  RECT r{0, 0, ClientWidth(), ClientHeight()};
  canvas.Brush.Color = FColor;
  canvas.FillRect(r);
  if (FBevelOuter == bvRaised) canvas.Frame3D(r, clBtnHighlight, clBtnShadow);
  if (FBevelOuter == bvLowered) canvas.Frame3D(r, clBtnShadow, clBtnHighlight);
  if (!FCaption.empty()) {
    canvas.Font = FFont;
    canvas.DrawText(FCaption, r,
                    DrawTextBiDiModeFlags(DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX));
  }
  RECT dirty;
  GetClipBox(canvas.Handle(), &dirty);
  PaintGraphicChildren(canvas, dirty);
}

// ---- TNotebook and its pages

TPage::TPage(TComponent* Owner, const std::wstring& name) : TWinControl(Owner) {
  Name = name;
  FCaption = name;
  FVisible = false;
}

TNotebook::TNotebook(TComponent* Owner) : TWinControl(Owner) {}

TPage* TNotebook::AddPage(const std::wstring& name) {
  auto* page = new TPage(this, name);
  page->SetBounds(0, 0, ClientWidth(), ClientHeight());
  page->SetAnchors(akLeft | akTop | akRight | akBottom);
  page->SetParent(this);
  FPages.push_back(page);
  if (FPageIndex < 0) {
    FPageIndex = 0;
    page->Show();
  }
  return page;
}

void TNotebook::SetPageIndex(int index) {
  if (index < 0 || index >= PageCount() || index == FPageIndex) return;
  TPage* old = FPageIndex >= 0 ? FPages[FPageIndex] : nullptr;
  FPageIndex = index;
  FPages[index]->Show();
  if (old) old->Hide();
  if (OnPageChanged) OnPageChanged(this);
}

void TNotebook::Resized() {
  TWinControl::Resized();
  for (TPage* page : FPages) page->SetBounds(0, 0, ClientWidth(), ClientHeight());
}
