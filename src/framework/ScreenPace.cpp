#include "framework/ScreenPace.h"

#include "framework/Application.h"

void TScreenPace::Report(const std::function<void()>& Paint) {
  const ULONGLONG now = GetTickCount64();
  if (!FStarted || now - FPainted >= kPaintInterval) {
    FStarted = true;
    FPainted = FAnswered = now;
    Paint();
  } else if (now - FAnswered >= kAnswerInterval) {
    FAnswered = now;
    Application->ProcessMessages();
  }
}
