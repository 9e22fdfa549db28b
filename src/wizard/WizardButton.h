#pragma once
// The wizard's navigation buttons: push buttons whose caption is drawn in the button's font
// colour, which a plain push button ignores.
#include "framework/OwnerDrawButton.h"

class TWizardButton : public TOwnerDrawButton {
 public:
  using TOwnerDrawButton::TOwnerDrawButton;

 protected:
  void DrawFace(HDC dc, const RECT& Face, UINT ItemState) override;
};
