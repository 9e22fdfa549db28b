// The built SetUp.exe as a user meets it: its own process, found on the screen, driven with
// window messages from outside, and left through the exit question.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "../e2e/SetUpDriver.h"

using namespace SetUpText;

namespace {

class SetUpProgramTest : public ::testing::Test {
 protected:
  static std::wstring ProgramBesideThisTest() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring program = path;
    return program.substr(0, program.rfind(L'\\')) + L"\\SetUp.exe";
  }

  // Closes the window and answers the exit question with the button showing Glyph.
  void CloseAndAnswer(HWND Window, const wchar_t* Glyph) {
    PostMessageW(Window, WM_CLOSE, 0, 0);
    HWND question = SetUp.WaitForWindow(L"יציאה מהתקנה", 10000);
    ASSERT_NE(question, nullptr) << Utf8(SetUp.VisibleTitles());
    ASSERT_TRUE(SetUp.Click(question, Glyph));
  }

  TSetUpDriver SetUp{ProgramBesideThisTest()};
};

TEST_F(SetUpProgramTest, StartsCentredWithoutFrameAndMinimisesFromTheTitleBar) {
  HWND window = SetUp.WaitForWindow(Welcome);
  ASSERT_NE(window, nullptr);
  RECT r;
  GetWindowRect(window, &r);
  EXPECT_EQ(r.right - r.left, 688);
  EXPECT_EQ(r.bottom - r.top, 467);
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 688) / 2);
  EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 467) / 2);
  EXPECT_FALSE(GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION);
  EXPECT_TRUE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_RTLREADING);

  ASSERT_TRUE(SetUp.Click(window, Next));
  EXPECT_NE(SetUp.WaitForWindow(SetupType, 5000), nullptr);

  // "_" of the title bar, clicked where it is painted.
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(661, 9));
  PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(661, 9));
  for (DWORD end = GetTickCount() + 5000; !IsIconic(window) && GetTickCount() < end;) Sleep(50);
  EXPECT_TRUE(IsIconic(window));
  EXPECT_FALSE(SetUp.Exited(0));
}

TEST_F(SetUpProgramTest, CloseAsksAndOnlyAConfirmEndsTheProgram) {
  HWND window = SetUp.WaitForWindow(Welcome);
  ASSERT_NE(window, nullptr);
  CloseAndAnswer(window, Cross);
  EXPECT_FALSE(SetUp.Exited(1500));
  EXPECT_NE(SetUp.WaitForWindow(Welcome, 5000), nullptr);

  CloseAndAnswer(window, CheckMark);
  ASSERT_TRUE(SetUp.Exited(10000));
  EXPECT_EQ(SetUp.ExitCode(), 0u);
}

}  // namespace
