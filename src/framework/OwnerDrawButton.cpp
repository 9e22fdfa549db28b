#include "framework/OwnerDrawButton.h"

TCreateParams TOwnerDrawButton::CreateParams() {
  TCreateParams p = TButton::CreateParams();
  p.Style = (p.Style & ~BS_TYPEMASK) | BS_OWNERDRAW;
  return p;
}

void TOwnerDrawButton::Click() {
  if (!FEnabled || !FVisible) return;
  TButton::Click();
}

bool TOwnerDrawButton::DrawItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  bool pushed = item.itemState & ODS_SELECTED;
  bool focused = item.itemState & ODS_FOCUS;
  if (focused) {
    // The button Enter presses wears the dark frame of a default button.
    FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&r, -1, -1);
  }
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
  RECT face = r;
  if (pushed) OffsetRect(&face, 1, 1);
  DrawFace(dc, face, item.itemState);
  if (focused) {
    RECT f = r;
    InflateRect(&f, -4, -4);
    DrawFocusRect(dc, &f);
  }
  return true;
}
