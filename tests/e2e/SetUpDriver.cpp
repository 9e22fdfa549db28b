#include "SetUpDriver.h"

#include <functional>

#include "framework/Text.h"

std::string Utf8(const std::wstring& Text) {
  return Utf8FromU16(std::u16string(Text.begin(), Text.end()));
}

namespace {

std::wstring Text(HWND Window) {
  wchar_t buffer[2048] = L"";
  GetWindowTextW(Window, buffer, 2048);
  return buffer;
}

std::wstring ClassOf(HWND Window) {
  wchar_t buffer[64] = L"";
  GetClassNameW(Window, buffer, 64);
  return buffer;
}

struct TSearch {
  std::function<bool(HWND)> Match;
  HWND Found;
};

BOOL CALLBACK Visit(HWND Window, LPARAM Param) {
  auto* search = reinterpret_cast<TSearch*>(Param);
  if (!search->Match(Window)) return TRUE;
  search->Found = Window;
  return FALSE;
}

// The first top-level window (or child of Parent) that Match accepts.
HWND FindWhere(HWND Parent, std::function<bool(HWND)> Match) {
  TSearch search{std::move(Match), nullptr};
  if (Parent)
    EnumChildWindows(Parent, Visit, reinterpret_cast<LPARAM>(&search));
  else
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

}  // namespace

TSetUpDriver::TSetUpDriver(const std::wstring& Program) {
  const std::wstring folder = Program.substr(0, Program.rfind(L'\\'));
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  if (!CreateProcessW(Program.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &startup, &FProcess))
    FProcess = {};
}

TSetUpDriver::~TSetUpDriver() {
  if (!FProcess.hProcess) return;
  if (!Exited(0)) TerminateProcess(FProcess.hProcess, 99);
  WaitForSingleObject(FProcess.hProcess, 5000);
  CloseHandle(FProcess.hThread);
  CloseHandle(FProcess.hProcess);
}

HWND TSetUpDriver::WaitForWindow(const std::wstring& Title, DWORD Milliseconds) const {
  for (DWORD end = GetTickCount() + Milliseconds; GetTickCount() < end; Sleep(50)) {
    HWND found = FindWhere(nullptr, [&](HWND w) {
      DWORD process = 0;
      GetWindowThreadProcessId(w, &process);
      return process == FProcess.dwProcessId && IsWindowVisible(w) && Text(w) == Title;
    });
    if (found) return found;
    if (Exited(0)) return nullptr;
  }
  return nullptr;
}

bool TSetUpDriver::Click(HWND Window, const std::wstring& Caption) const {
  // A page sets a button's caption before it enables it; a disabled button ignores clicks.
  for (DWORD end = GetTickCount() + 10000; GetTickCount() < end; Sleep(50)) {
    HWND button = FindWhere(Window, [&](HWND w) {
      return ClassOf(w) == L"Button" && IsWindowVisible(w) && IsWindowEnabled(w) &&
             Text(w) == Caption;
    });
    if (button) {
      PostMessageW(button, BM_CLICK, 0, 0);
      return true;
    }
  }
  return false;
}

bool TSetUpDriver::WaitUntilHidden(HWND Window, const std::wstring& Caption) const {
  // The button's own style: while the program hides its window for a moment, every child
  // counts as invisible.
  for (DWORD end = GetTickCount() + 10000; GetTickCount() < end; Sleep(50)) {
    if (!FindWhere(Window, [&](HWND w) {
          return (GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE) && Text(w) == Caption;
        }))
      return true;
  }
  return false;
}

bool TSetUpDriver::ChooseDrive(HWND Window, const std::wstring& Root) const {
  HWND box = FindWhere(Window, [](HWND w) { return ClassOf(w) == L"ComboBox"; });
  if (!box) return false;
  const LRESULT index = SendMessageW(box, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(Root.c_str()));
  if (index == CB_ERR) return false;
  // The selection and what the box tells its parent when the user picks an item, both posted:
  // they stay in order with earlier choices, and a refusal answers with a modal dialog that the
  // caller must be free to answer.
  PostMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  PostMessageW(GetParent(box), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(box));
  return true;
}

std::wstring TSetUpDriver::DriveBoxText(HWND Window) const {
  HWND box = FindWhere(Window, [](HWND w) { return ClassOf(w) == L"ComboBox"; });
  wchar_t buffer[64] = L"";
  if (box) SendMessageW(box, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

std::wstring TSetUpDriver::DialogText(HWND Dialog) const {
  HWND memo = FindWhere(Dialog, [](HWND w) { return ClassOf(w) == L"Edit"; });
  if (!memo) return L"(no text)";
  // Another process's control: only the message reaches its text.
  wchar_t buffer[2048] = L"";
  SendMessageW(memo, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

void TSetUpDriver::PressEnter(HWND Dialog) const {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(Dialog, nullptr), &info);
  HWND target = info.hwndFocus ? info.hwndFocus : Dialog;
  PostMessageW(target, WM_KEYDOWN, VK_RETURN, 1);
  PostMessageW(target, WM_KEYUP, VK_RETURN, 0xC0000001);
}

bool TSetUpDriver::Exited(DWORD Milliseconds) const {
  return WaitForSingleObject(FProcess.hProcess, Milliseconds) == WAIT_OBJECT_0;
}

DWORD TSetUpDriver::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(FProcess.hProcess, &code);
  return code;
}

std::wstring TSetUpDriver::VisibleTitles() const {
  std::wstring titles;
  FindWhere(nullptr, [&](HWND w) {
    DWORD process = 0;
    GetWindowThreadProcessId(w, &process);
    if (process == FProcess.dwProcessId && IsWindowVisible(w)) titles += L"[" + Text(w) + L"] ";
    return false;
  });
  return titles;
}

HWND TSetUpDriver::WalkToTheDrivePage() const {
  for (const wchar_t* page : {SetUpText::Welcome, SetUpText::SetupType}) {
    HWND window = WaitForWindow(page);
    if (!window || !Click(window, SetUpText::Next)) return nullptr;
  }
  return WaitForWindow(SetUpText::SelectDrive);
}

std::wstring TSetUpDriver::AnswerDialog(const std::wstring& Caption, bool Confirm,
                                        DWORD Milliseconds) const {
  HWND dialog = WaitForWindow(Caption, Milliseconds);
  if (!dialog) return L"(no dialog; showing: " + VisibleTitles() + L")";
  std::wstring text = DialogText(dialog);
  Sleep(200);  // until the dialog takes its keys
  if (Confirm)
    Click(dialog, SetUpText::CheckMark);
  else
    PressEnter(dialog);
  // The next dialog may have the same title: let this one go first.
  for (int i = 0; i < 200 && IsWindow(dialog) && IsWindowVisible(dialog); ++i) Sleep(50);
  return text;
}

void TSetUpDriver::ClickTitleBarClose(HWND Window) const {
  PostMessageW(Window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(679, 9));
  PostMessageW(Window, WM_LBUTTONUP, 0, MAKELPARAM(679, 9));
}

std::wstring TSetUpDriver::LeaveDuringInstallation() const {
  HWND window = WaitForWindow(SetUpText::Installing);
  if (!window) return L"(no installation page; showing: " + VisibleTitles() + L")";
  ClickTitleBarClose(window);
  return AnswerDialog(SetUpText::ExitQuestionCaption, true);
}

bool TSetUpDriver::FinishAndClose(DWORD Milliseconds) const {
  HWND window = WaitForWindow(SetUpText::Finished, Milliseconds);
  // The page has settled (and leaving needs no question) once the next button is gone.
  return window && WaitUntilHidden(window, SetUpText::Next) && Click(window, SetUpText::Close) &&
         Exited(20000);
}
