#pragma once
// A timer that calls OnTimer on the message loop's thread every Interval milliseconds
// while enabled.
#include "framework/Control.h"

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* Owner);
  ~TTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);
  unsigned Interval() const { return FInterval; }
  void SetInterval(unsigned milliseconds);
  TNotifyEvent OnTimer;

  void Tick();

 private:
  void Update();

  bool FEnabled = true;
  unsigned FInterval = 1000;
};
