#pragma once
// Drives the built SetUp.exe from outside, as a user would: its own process, its windows found
// by their titles, buttons clicked and the drive chosen with window messages.
#include <windows.h>

#include <string>

// What the program shows, by which the tests find its windows and buttons.
namespace SetUpText {
inline constexpr const wchar_t* Welcome = L"ברוכים הבאים";
inline constexpr const wchar_t* SetupType = L"שלב א : תצורת התקנה";
inline constexpr const wchar_t* SelectDrive = L"שלב א : מיקום התקנה";
inline constexpr const wchar_t* Installing = L"התקנת התוכנה ורישומה";
inline constexpr const wchar_t* Finished = L"ההתקנה הסתיימה";
inline constexpr const wchar_t* Next = L"&המשך >";
inline constexpr const wchar_t* Close = L"&סגור";
inline constexpr const wchar_t* Exit = L"&יציאה";
inline constexpr const wchar_t* CheckMark = L"\xF0FC";
inline constexpr const wchar_t* Cross = L"\xF0FB";
inline constexpr const wchar_t* ExitQuestionCaption = L"יציאה מהתקנה";
inline constexpr const wchar_t* ExitQuestion =
    L"ההתקנה עדין לא סיימה להתקין את תוכנת Mirpan על מחשבך.\r\nהאם לצאת בכל מקרה ?\r\n";
inline constexpr const wchar_t* ClosingNotice =
    L"לפחות אחד הרכיבים לא הותקן בהצלחה.\r\nאיתך הסליחה.\r\n";
}  // namespace SetUpText

// A wide text as UTF-8, for test failure messages.
std::string Utf8(const std::wstring& Text);

class TSetUpDriver {
 public:
  // Starts Program (SetUp.exe) in its own folder.
  explicit TSetUpDriver(const std::wstring& Program);
  ~TSetUpDriver();
  TSetUpDriver(const TSetUpDriver&) = delete;
  TSetUpDriver& operator=(const TSetUpDriver&) = delete;

  bool Started() const { return FProcess.hProcess != nullptr; }
  // The program's visible top-level window with this title, waited for; null when none came.
  HWND WaitForWindow(const std::wstring& Title, DWORD Milliseconds = 60000) const;
  // Clicks the child button showing Caption once it is enabled, without waiting for what the
  // click runs; false when no such button came.
  bool Click(HWND Window, const std::wstring& Caption) const;
  // Waits until no visible child button shows Caption; false when one still does.
  bool WaitUntilHidden(HWND Window, const std::wstring& Caption) const;
  // Selects Root (such as S:\) in the drive box as the user's choice.
  bool ChooseDrive(HWND Window, const std::wstring& Root) const;
  // The text of the drive box.
  std::wstring DriveBoxText(HWND Window) const;
  // The text of a message dialog: its read-only edit box.
  std::wstring DialogText(HWND Dialog) const;
  // Presses Enter on the control that has the focus in Dialog: its default button.
  void PressEnter(HWND Dialog) const;
  // The titles of the program's visible windows, for a test that waited in vain.
  std::wstring VisibleTitles() const;
  // Waits for the process to end; true when it did.
  bool Exited(DWORD Milliseconds) const;

  // ---- a user's steps made of the above
  // Pages 0 and 1 passed with the next button; the drive page's window, null when it did not
  // come.
  HWND WalkToTheDrivePage() const;
  // Waits for a message dialog, notes its text, answers it with Enter (its default button) or
  // the check mark, and lets it go; a text naming the visible windows when none came.
  std::wstring AnswerDialog(const std::wstring& Caption, bool Confirm = false,
                            DWORD Milliseconds = 90000) const;
  // Clicks the title bar's "X" of the wizard's Window where it is painted (the strip draws
  // it; it is no system button).
  void ClickTitleBarClose(HWND Window) const;
  // On the installation page, clicks the title bar's "X" and confirms the
  // exit question; the question's text (a note naming the visible windows when the page or
  // the question did not come).
  std::wstring LeaveDuringInstallation() const;
  // The final page, once settled, left through its close button; true when the program ended.
  bool FinishAndClose(DWORD Milliseconds = 120000) const;
  // The exit code of an ended program; STILL_ACTIVE while it runs.
  DWORD ExitCode() const;

 private:
  PROCESS_INFORMATION FProcess = {};
};
