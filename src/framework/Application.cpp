#include "framework/Application.h"

#include <commctrl.h>
#include <objbase.h>

#include <exception>

#include "framework/Exception.h"
#include "framework/Form.h"
#include "framework/SystemLibrary.h"
#include "framework/Text.h"
#include "framework/Timer.h"

namespace {
const UINT kReleaseMessage = WM_APP + 1;
TApplication GApplication;
}  // namespace

TApplication* const Application = &GApplication;

TApplication::TApplication() : TComponent(nullptr) {
  wchar_t path[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring name = path;
  name = name.substr(name.find_last_of(L"\\/") + 1);
  FTitle = name.substr(0, name.rfind(L'.'));
}

TApplication::~TApplication() {
  // Owned forms go first, while the window of the application is still there.
  while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
  if (FHandle) DestroyWindow(FHandle);
}

void TApplication::Initialize() {
  // COMCTL32 is no KnownDLL: imported, the loader would take it from the program's folder.
  using TInitCommonControlsEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  static const auto init =
      SystemProc<TInitCommonControlsEx>(L"comctl32.dll", "InitCommonControlsEx");
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  if (init) init(&icc);
  Handle();
}

void TApplication::SetTitle(const std::wstring& title) { FTitle = title; }

HWND TApplication::Handle() {
  if (FHandle) return FHandle;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = Instance();
  wc.lpszClassName = L"MirpanApplication";
  RegisterClassExW(&wc);
  FHandle = CreateWindowExW(0, wc.lpszClassName, FTitle.c_str(), 0, 0, 0, 0, 0, HWND_MESSAGE,
                            nullptr, Instance(), nullptr);
  return FHandle;
}

LRESULT CALLBACK TApplication::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TApplication* app = Application;
  try {
    if (message == kReleaseMessage) {
      auto* form = reinterpret_cast<TForm*>(lParam);
      if (app->FForms.count(form)) delete form;
      return 0;
    }
    if (message == WM_TIMER) {
      auto* timer = reinterpret_cast<TTimer*>(wParam);
      if (app->FTimers.count(timer)) timer->Tick();
      return 0;
    }
  } catch (...) {
    app->HandleException();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void TApplication::ReleaseForm(TForm* form) {
  PostMessageW(Handle(), kReleaseMessage, 0, reinterpret_cast<LPARAM>(form));
}

void TApplication::FormDestroyed(TForm* form) {
  FForms.erase(form);
  if (form == FMainForm) FMainForm = nullptr;
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (msg.message == WM_QUIT) {
    FTerminated = true;
    return false;
  }
  // Tab, Enter and the arrows move between controls as in a dialog box.
  HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  if (root && dynamic_cast<TForm*>(TWinControl::FromHandle(root)) && IsDialogMessageW(root, &msg))
    return true;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
  return true;
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!ProcessMessage(msg)) break;
  }
}

namespace {

struct TAnsweredWork {
  const std::function<void()>* Work;
  std::exception_ptr Failure;
};

DWORD WINAPI RunAnsweredWork(void* Parameter) {
  auto* job = static_cast<TAnsweredWork*>(Parameter);
  // The shell's calls want COM as a window's thread has it.
  const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  try {
    (*job->Work)();
  } catch (...) {
    job->Failure = std::current_exception();
  }
  if (com) CoUninitialize();
  return 0;
}

}  // namespace

void TApplication::RunWhileAnswering(const std::function<void()>& Work) {
  TAnsweredWork job{&Work, nullptr};
  HANDLE thread = CreateThread(nullptr, 0, RunAnsweredWork, &job, 0, nullptr);
  if (!thread) {
    Work();  // no thread to spare: the work still gets done, only the window waits
    return;
  }
  while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
    ProcessMessages();
  CloseHandle(thread);
  if (job.Failure) std::rethrow_exception(job.Failure);
}

void TApplication::HandleMessage() {
  MSG msg;
  if (FTerminated) return;
  if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
    FTerminated = true;
    return;
  }
  ProcessMessage(msg);
}

void TApplication::Run() {
  if (FMainForm) FMainForm->Show();
  while (!FTerminated) HandleMessage();
}

void TApplication::Terminate() {
  if (!FTerminated) PostQuitMessage(0);
}

void TApplication::Minimize() {
  if (FMainForm && FMainForm->Handle()) ShowWindow(FMainForm->Handle(), SW_MINIMIZE);
}

void TApplication::Restore() {
  if (FMainForm && FMainForm->Handle()) ShowWindow(FMainForm->Handle(), SW_RESTORE);
}

void TApplication::HandleException() noexcept {
  try {
    std::string message;
    try {
      throw;
    } catch (const Exception& e) {
      message = e.Message();
    } catch (const std::exception& e) {
      message = e.what();
    } catch (...) {
      message = "Unknown exception";
    }
    if (OnException)
      OnException(message);
    else
      ShowException(message);
  } catch (...) {
    // The handler itself failed; there is nobody left to tell.
  }
}

void TApplication::ShowException(const std::string& message) {
  HWND owner = GetActiveWindow();
  MessageBoxW(owner, WideFromCp1255(message).c_str(), FTitle.c_str(),
              MB_OK | MB_ICONERROR | MB_TASKMODAL);
}
