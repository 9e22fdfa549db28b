#pragma once
// A push button that draws its own face: the standard frame, pushed look, default-button frame
// and focus rectangle come from here, the caption from the subclass. Unlike the system's
// button it does not click while disabled or hidden, whoever sends it the click (the system's
// button still reports BM_CLICK and the mnemonic then).
#include "framework/StdControls.h"

class TOwnerDrawButton : public TButton {
 public:
  using TButton::TButton;
  bool DrawItem(const DRAWITEMSTRUCT& item) override;
  void Click() override;

 protected:
  TCreateParams CreateParams() override;
  // Draws the caption into Face, which already follows a pushed button by a pixel.
  virtual void DrawFace(HDC dc, const RECT& Face, UINT ItemState) = 0;
};
