#include "framework/Timer.h"

#include "framework/Application.h"

TTimer::TTimer(TComponent* Owner) : TComponent(Owner) {
  Application->TimerCreated(this);
  Update();
}

TTimer::~TTimer() {
  KillTimer(Application->Handle(), reinterpret_cast<UINT_PTR>(this));
  Application->TimerDestroyed(this);
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  Update();
}

void TTimer::SetInterval(unsigned milliseconds) {
  if (milliseconds == FInterval) return;
  FInterval = milliseconds;
  Update();
}

void TTimer::Update() {
  HWND window = Application->Handle();
  KillTimer(window, reinterpret_cast<UINT_PTR>(this));
  if (FEnabled && FInterval > 0)
    SetTimer(window, reinterpret_cast<UINT_PTR>(this), FInterval, nullptr);
}

void TTimer::Tick() {
  if (FEnabled && OnTimer) OnTimer(this);
}
