#pragma once
// Long work on the window's thread reports progress far more often than a screen can show it
// or a user can act on it. The pace lets that work repaint and answer messages at a steady
// rate, showing the latest state, instead of at every report.
#include <windows.h>

#include <functional>

class TScreenPace {
 public:
  // About two frames of a common screen: the bar moves smoothly without costing the work.
  static constexpr ULONGLONG kPaintInterval = 30;  // milliseconds
  // Messages are looked at more often: it costs little, and a click is answered at once.
  static constexpr ULONGLONG kAnswerInterval = 10;

  // At a report: Paint (which shows the latest state and dispatches messages) on the first
  // report after Restart and then once per paint interval; between paints, pending messages
  // are dispatched once per answer interval.
  void Report(const std::function<void()>& Paint);
  void Restart() { FStarted = false; }

 private:
  bool FStarted = false;
  ULONGLONG FPainted = 0;
  ULONGLONG FAnswered = 0;
};
