#pragma once
// The percentage progress bar: a value between MinValue and MaxValue shown as a whole
// percent, the filled part painted with a gradient, the percent written over it. It
// repaints at once, but only when the whole percent changes (and always at 0), so long
// steps can update it often.
#include <cstdint>
#include <string>

#include "controls/Gradient.h"
#include "framework/Control.h"

enum TOptionsText { toNoText, toCaption, toPercent };
enum TProgressDirection { mdHorizontal, mdVertical, mdHorizontalReverse, mdVerticalReverse };
enum TBar3D { lsNone, lsRaisedspb, lsLoweredspb };

class TProgressFill : public TGraphicControl {
 public:
  explicit TProgressFill(TComponent* Owner);

  std::int32_t MinValue() const { return FMinValue; }
  std::int32_t MaxValue() const { return FMaxValue; }
  void SetMinValue(std::int32_t value);
  void SetMaxValue(std::int32_t value);
  std::int32_t UserValue() const { return FUserValue; }
  // A value outside [MinValue, MaxValue] is ignored.
  void SetUserValue(std::int32_t value);
  // The whole percent shown, 0..100.
  int Position() const { return FPosition; }
  // Above 100 is stored as 100, below 0 as 0.
  void SetPosition(int percent);
  std::int32_t Step = 10;
  // Position advances by Step percent (up to 100).
  void StepIt();

  TOptionsText OptionsText = toPercent;
  TProgressDirection Direction = mdHorizontal;
  bool UseFontColor = false;
  TColor BrushBackColor = clWhite;
  TBar3D Bar3D = lsNone;
  TGradient Fill;
  // The text drawn with toPercent or toCaption.
  std::wstring Text() const;

  void Paint(TCanvas& canvas) override;
  // The inner rectangle and the filled part of it for the current position.
  RECT InnerRect() const;
  RECT FilledRect() const;

 private:
  void PositionChanged();

  std::int32_t FMinValue = 0;
  std::int32_t FMaxValue = 100;
  std::int32_t FUserValue = 0;
  int FPosition = 0;
  int FLastPainted = -1;
};
