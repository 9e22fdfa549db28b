#pragma once
// The wizard's navigation buttons: standard push buttons whose caption is drawn in the
// button's font colour, which a plain push button ignores.
#include "framework/StdControls.h"

class TWizardButton : public TButton {
 public:
  using TButton::TButton;
  bool DrawItem(const DRAWITEMSTRUCT& item) override;
  // A disabled or hidden button does not click, whoever sends it the click: the system's
  // button still reports BM_CLICK and the mnemonic while disabled.
  void Click() override;

 protected:
  TCreateParams CreateParams() override;
};
