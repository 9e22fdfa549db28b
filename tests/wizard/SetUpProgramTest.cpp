// The built SetUp.exe as a user meets it: started as its own process, found on the screen,
// driven with window messages from outside, and left through the exit question.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

const wchar_t kConfirmGlyph[] = L"\xF0FC";
const wchar_t kCancelGlyph[] = L"\xF0FB";

std::wstring Text(HWND window) {
  wchar_t buffer[256] = L"";
  GetWindowTextW(window, buffer, 256);
  return buffer;
}

struct TSearch {
  DWORD Process;
  std::wstring Title;
  HWND Found = nullptr;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<TSearch*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == search->Process && IsWindowVisible(window) && Text(window) == search->Title) {
    search->Found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK MatchChild(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<TSearch*>(param);
  if (Text(window) == search->Title) {
    search->Found = window;
    return FALSE;
  }
  return TRUE;
}

class SetUpProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring program = path;
    program = program.substr(0, program.rfind(L'\\')) + L"\\SetUp.exe";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    std::wstring commandLine = L"\"" + program + L"\"";
    ASSERT_TRUE(CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                               nullptr, nullptr, &startup, &FProcess));
  }
  void TearDown() override {
    if (WaitForSingleObject(FProcess.hProcess, 0) == WAIT_TIMEOUT)
      TerminateProcess(FProcess.hProcess, 99);
    CloseHandle(FProcess.hThread);
    CloseHandle(FProcess.hProcess);
  }

  // The program's visible top-level window with this title, waited for.
  HWND WaitForWindow(const std::wstring& title, DWORD milliseconds = 30000) {
    DWORD end = GetTickCount() + milliseconds;
    do {
      TSearch search{FProcess.dwProcessId, title};
      EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
      if (search.Found) return search.Found;
      Sleep(50);
    } while (GetTickCount() < end);
    return nullptr;
  }
  static HWND Child(HWND parent, const std::wstring& text) {
    TSearch search{0, text};
    EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.Found;
  }
  bool Exited(DWORD milliseconds) {
    return WaitForSingleObject(FProcess.hProcess, milliseconds) == WAIT_OBJECT_0;
  }
  DWORD ExitCode() {
    DWORD code = 0;
    GetExitCodeProcess(FProcess.hProcess, &code);
    return code;
  }

  PROCESS_INFORMATION FProcess{};
};

TEST_F(SetUpProgramTest, StartsCentredOnTheWelcomePageAndMinimisesFromTheTitleBar) {
  HWND window = WaitForWindow(L"ברוכים הבאים");
  ASSERT_NE(window, nullptr);
  RECT r;
  GetWindowRect(window, &r);
  EXPECT_EQ(r.right - r.left, 688);
  EXPECT_EQ(r.bottom - r.top, 467);
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 688) / 2);
  EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 467) / 2);
  EXPECT_FALSE(GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION);

  HWND next = Child(window, L"&המשך >");
  ASSERT_NE(next, nullptr);
  SendMessageW(next, BM_CLICK, 0, 0);
  EXPECT_NE(WaitForWindow(L"שלב א : תצורת התקנה", 5000), nullptr);

  // "_" of the title bar, clicked where it is painted.
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(661, 9));
  PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(661, 9));
  DWORD end = GetTickCount() + 5000;
  while (!IsIconic(window) && GetTickCount() < end) Sleep(50);
  EXPECT_TRUE(IsIconic(window));
  EXPECT_FALSE(Exited(0));
}

TEST_F(SetUpProgramTest, CloseAsksAndOnlyAConfirmEndsTheProgram) {
  HWND window = WaitForWindow(L"ברוכים הבאים");
  ASSERT_NE(window, nullptr);

  PostMessageW(window, WM_CLOSE, 0, 0);
  HWND question = WaitForWindow(L"יציאה מהתקנה", 10000);
  ASSERT_NE(question, nullptr);
  HWND cancel = Child(question, kCancelGlyph);
  ASSERT_NE(cancel, nullptr);
  PostMessageW(cancel, BM_CLICK, 0, 0);
  EXPECT_FALSE(Exited(1500));
  EXPECT_NE(WaitForWindow(L"ברוכים הבאים", 5000), nullptr);

  PostMessageW(window, WM_CLOSE, 0, 0);
  question = WaitForWindow(L"יציאה מהתקנה", 10000);
  ASSERT_NE(question, nullptr);
  HWND confirm = Child(question, kConfirmGlyph);
  ASSERT_NE(confirm, nullptr);
  PostMessageW(confirm, BM_CLICK, 0, 0);
  ASSERT_TRUE(Exited(10000));
  EXPECT_EQ(ExitCode(), 0u);
}

}  // namespace
