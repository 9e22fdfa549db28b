// The built SetUp.exe as a user meets it: its own process, found on the screen, driven with
// window messages from outside, and left through the exit question.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

namespace {

std::wstring Text(HWND window) {
  wchar_t buffer[256] = L"";
  GetWindowTextW(window, buffer, 256);
  return buffer;
}

struct TSearch {
  std::function<bool(HWND)> Match;
  HWND Found;
};

BOOL CALLBACK Visit(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<TSearch*>(param);
  if (!search->Match(window)) return TRUE;
  search->Found = window;
  return FALSE;
}

// The first top-level window (or child of `parent`) that `match` accepts.
HWND FindWhere(HWND parent, std::function<bool(HWND)> match) {
  TSearch search{std::move(match), nullptr};
  if (parent)
    EnumChildWindows(parent, Visit, reinterpret_cast<LPARAM>(&search));
  else
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
  return search.Found;
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
    ASSERT_TRUE(CreateProcessW(program.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &Process));
  }
  void TearDown() override {
    if (!Exited(0)) TerminateProcess(Process.hProcess, 99);
    CloseHandle(Process.hThread);
    CloseHandle(Process.hProcess);
  }

  // The program's visible top-level window with this title, waited for.
  HWND WaitForWindow(const std::wstring& title, DWORD milliseconds = 30000) {
    for (DWORD end = GetTickCount() + milliseconds; GetTickCount() < end; Sleep(50)) {
      HWND found = FindWhere(nullptr, [&](HWND w) {
        DWORD process = 0;
        GetWindowThreadProcessId(w, &process);
        return process == Process.dwProcessId && IsWindowVisible(w) && Text(w) == title;
      });
      if (found) return found;
    }
    return nullptr;
  }
  bool Exited(DWORD milliseconds) {
    return WaitForSingleObject(Process.hProcess, milliseconds) == WAIT_OBJECT_0;
  }
  // Closes the window and answers the exit question with the button showing `glyph`.
  void CloseAndAnswer(HWND window, const wchar_t* glyph) {
    PostMessageW(window, WM_CLOSE, 0, 0);
    HWND question = WaitForWindow(L"יציאה מהתקנה", 10000);
    ASSERT_NE(question, nullptr);
    HWND button = FindWhere(question, [&](HWND w) { return Text(w) == glyph; });
    ASSERT_NE(button, nullptr);
    PostMessageW(button, BM_CLICK, 0, 0);
  }

  PROCESS_INFORMATION Process{};
};

TEST_F(SetUpProgramTest, StartsCentredWithoutFrameAndMinimisesFromTheTitleBar) {
  HWND window = WaitForWindow(L"ברוכים הבאים");
  ASSERT_NE(window, nullptr);
  RECT r;
  GetWindowRect(window, &r);
  EXPECT_EQ(r.right - r.left, 688);
  EXPECT_EQ(r.bottom - r.top, 467);
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 688) / 2);
  EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 467) / 2);
  EXPECT_FALSE(GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION);
  EXPECT_TRUE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_RTLREADING);

  HWND next = FindWhere(window, [](HWND w) { return Text(w) == L"&המשך >"; });
  ASSERT_NE(next, nullptr);
  SendMessageW(next, BM_CLICK, 0, 0);
  EXPECT_NE(WaitForWindow(L"שלב א : תצורת התקנה", 5000), nullptr);

  // "_" of the title bar, clicked where it is painted.
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(661, 9));
  PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(661, 9));
  for (DWORD end = GetTickCount() + 5000; !IsIconic(window) && GetTickCount() < end;) Sleep(50);
  EXPECT_TRUE(IsIconic(window));
  EXPECT_FALSE(Exited(0));
}

TEST_F(SetUpProgramTest, CloseAsksAndOnlyAConfirmEndsTheProgram) {
  HWND window = WaitForWindow(L"ברוכים הבאים");
  ASSERT_NE(window, nullptr);
  CloseAndAnswer(window, L"\xF0FB");  // the cross
  EXPECT_FALSE(Exited(1500));
  EXPECT_NE(WaitForWindow(L"ברוכים הבאים", 5000), nullptr);

  CloseAndAnswer(window, L"\xF0FC");  // the check mark
  ASSERT_TRUE(Exited(10000));
  DWORD code = 99;
  GetExitCodeProcess(Process.hProcess, &code);
  EXPECT_EQ(code, 0u);
}

}  // namespace
