#include "framework/StdControls.h"

namespace {
const int kBoxSize = 13;
const int kTextGap = 4;
}  // namespace

TCheckBox::TCheckBox(TComponent* Owner) : TWinControl(Owner) { TabStop = true; }

TCreateParams TCheckBox::CreateParams() {
  TCreateParams p;
  p.ClassName = L"BUTTON";
  p.Style = WS_CHILD | WS_TABSTOP | BS_OWNERDRAW;
  return p;
}

void TCheckBox::SetChecked(bool checked) {
  if (checked == FChecked) return;
  FChecked = checked;
  Invalidate();
}

void TCheckBox::CommandNotify(WORD code) {
  // An owner-drawn button reports a quick second click as a double click.
  if (code != BN_CLICKED && code != BN_DOUBLECLICKED) return;
  SetChecked(!FChecked);
  Click();
}

LRESULT TCheckBox::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case BM_GETCHECK:
      return FChecked ? BST_CHECKED : BST_UNCHECKED;
    case BM_SETCHECK:
      SetChecked(wParam == BST_CHECKED);
      return 0;
    default:
      return TWinControl::WndProc(message, wParam, lParam);
  }
}

bool TCheckBox::DrawItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  const RECT r = item.rcItem;
  HBRUSH background = CtlColor(dc);
  FillRect(dc, &r, background);

  const bool boxAtRight = UseRightToLeftAlignment();
  const int top = r.top + (r.bottom - r.top - kBoxSize) / 2;
  RECT box{boxAtRight ? r.right - kBoxSize : r.left, top, 0, top + kBoxSize};
  box.right = box.left + kBoxSize;
  UINT state = DFCS_BUTTONCHECK;
  if (FChecked) state |= DFCS_CHECKED;
  if (item.itemState & ODS_SELECTED) state |= DFCS_PUSHED;
  if (!FEnabled) state |= DFCS_INACTIVE;
  DrawFrameControl(dc, &box, DFC_BUTTON, state);

  RECT text = r;
  if (boxAtRight)
    text.right = box.left - kTextGap;
  else
    text.left = box.right + kTextGap;
  TCanvas canvas(dc);
  canvas.Font = FFont;
  if (!FEnabled) canvas.Font.SetColor(clGrayText);
  UINT format = DrawTextBiDiModeFlags(DT_SINGLELINE | DT_VCENTER);
  if (item.itemState & ODS_NOACCEL) format |= DT_HIDEPREFIX;
  canvas.DrawText(FCaption, text, format);
  if (item.itemState & ODS_FOCUS) {
    RECT used = text;
    canvas.DrawText(FCaption, used, format | DT_CALCRECT);
    const int width = used.right - used.left;
    if (format & DT_RIGHT) OffsetRect(&used, text.right - used.right, 0);
    used.top = text.top;
    used.bottom = text.bottom;
    used.right = used.left + width;
    DrawFocusRect(dc, &used);
  }
  return true;
}
