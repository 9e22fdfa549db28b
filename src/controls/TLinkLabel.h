#pragma once
// A hyperlink label: a click opens its target with the shell. An internet link whose target
// cannot be opened turns itself inert and greyed.
#include <string>

#include "framework/StdControls.h"

enum TJumpMode { jmInternet, jmApplication, jmNone, jmCustom };

class TLinkLabel : public TLabel {
 public:
  explicit TLinkLabel(TComponent* Owner);

  std::wstring Jump;
  TJumpMode JumpMode = jmInternet;
  TColor ActiveColor = clRed;
  TColor InActiveColor = clWindowText;
  TNotifyEvent OnMouseExit;

  // The target a click opens: Jump, or when Jump is blank the caption ("mailto:" in front
  // when the caption holds an "@").
  std::wstring Target() const;

  void Click() override;
  void MouseEnter() override;
  void MouseLeave() override;

 protected:
  // Opens the target with the shell's default verb, through the desktop's shell (the user's
  // rights) where there is one; false when the shell reports failure. The desktop's shell
  // opens asynchronously: a target it cannot open shows its own message there.
  virtual bool OpenTarget(const std::wstring& target);
};
