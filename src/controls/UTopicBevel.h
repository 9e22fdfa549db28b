#pragma once
// The title-bar strip of the borderless wizard window: a bevel whose area is filled with
// its own colour before the bevel edges are drawn over it.
#include "framework/ExtControls.h"

class TTopicBevel : public TBevel {
 public:
  using TBevel::TBevel;
  // The fill colour; black until set. Shadows the control colour on purpose: the strip
  // never takes its parent's colour.
  TColor Color() const { return FColor; }
  void SetColor(TColor value);
  void Paint(TCanvas& canvas) override;

 private:
  TColor FColor = clBlack;
};
