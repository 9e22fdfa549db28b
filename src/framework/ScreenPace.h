#pragma once
// Long work on the window's thread reports progress far more often than a screen can show it
// or a user can act on it. The pace lets that work repaint and answer messages at a steady
// rate, showing the latest state, instead of at every report.
#include <windows.h>

class TScreenPace {
 public:
  // About two frames of a common screen: the bar moves smoothly, and a message waits well
  // under a tenth of a second.
  static constexpr ULONGLONG kInterval = 30;  // milliseconds

  // True on the first call after construction or Restart, then at most once per interval.
  bool Due() {
    const ULONGLONG now = GetTickCount64();
    if (FStarted && now - FLast < kInterval) return false;
    FStarted = true;
    FLast = now;
    return true;
  }
  void Restart() { FStarted = false; }

 private:
  bool FStarted = false;
  ULONGLONG FLast = 0;
};
