#pragma once
// The application object: title, message loop, deferred release of forms, timers, and the
// default exception handler that every window procedure and timer hands its exceptions to.
#include <windows.h>

#include <functional>
#include <set>
#include <string>
#include <utility>

#include "framework/Control.h"

class TForm;
class TTimer;

class TApplication : public TComponent {
 public:
  TApplication();
  ~TApplication() override;

  void Initialize();
  const std::wstring& Title() const { return FTitle; }
  void SetTitle(const std::wstring& title);

  // The first form made through CreateForm is the main form; closing it ends the program.
  template <class T, class... Args>
  T* CreateForm(Args&&... args) {
    T* form = new T(this, std::forward<Args>(args)...);
    if (!FMainForm) FMainForm = form;
    return form;
  }
  TForm* MainForm() const { return FMainForm; }

  void Run();
  // Dispatches every pending message and returns.
  void ProcessMessages();
  // Waits for one message and dispatches it.
  void HandleMessage();
  // Runs Work on a thread of its own and dispatches every message meanwhile, for a system
  // call that may block for long; returns when Work has ended and raises what Work raised.
  // Work must not touch windows.
  void RunWhileAnswering(const std::function<void()>& Work);
  void Terminate();
  bool Terminated() const { return FTerminated; }
  void Minimize();
  void Restore();

  // Call inside a catch block: shows the current exception (OnException when set, else the
  // platform's error box titled with the application title) and returns.
  void HandleException() noexcept;
  void ShowException(const std::string& message);
  std::function<void(const std::string& message)> OnException;

  HWND Handle();
  HINSTANCE Instance() const { return GetModuleHandleW(nullptr); }

  // Bookkeeping for forms and timers, so that late messages never reach a freed object.
  void ReleaseForm(TForm* form);
  void FormCreated(TForm* form) { FForms.insert(form); }
  void FormDestroyed(TForm* form);
  void TimerCreated(TTimer* timer) { FTimers.insert(timer); }
  void TimerDestroyed(TTimer* timer) { FTimers.erase(timer); }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  bool ProcessMessage(MSG& msg);

  std::wstring FTitle;
  TForm* FMainForm = nullptr;
  bool FTerminated = false;
  HWND FHandle = nullptr;
  std::set<TForm*> FForms;
  std::set<TTimer*> FTimers;
};

extern TApplication* const Application;
