// Child programs: exit codes, the command-line limit, and the wait that only repaints.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "controls/TProgressFill.h"
#include "framework/Text.h"
#include "tools/UinstTools.h"

namespace {

// The wizard's way of moving its bar while a child runs.
TWaitStep StepsOf(TProgressFill& Bar) {
  return [&Bar] {
    if (Bar.Position() < 100) Bar.SetPosition(Bar.Position() + WaitProgressStep);
  };
}

std::string TempFile(const char* Name) {
  wchar_t temp[MAX_PATH];
  std::wstring name = std::wstring(temp, GetTempPathW(MAX_PATH, temp)) + WideFromCp1255(Name);
  DeleteFileW(name.c_str());
  return Cp1255FromWide(name);
}

bool FileThere(const std::string& Name) {
  return GetFileAttributesW(WideFromCp1255(Name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void AwaitFile(const std::string& Name) {
  for (int i = 0; i < 200 && !FileThere(Name); ++i) Sleep(50);
}

// The helper beside the test: sleeps, then creates File and exits with ExitCode.
std::string Child(int Milliseconds, int ExitCode, const std::string& File) {
  wchar_t path[MAX_PATH];
  std::wstring self(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  return "\"" + Cp1255FromWide(self.substr(0, self.rfind(L'\\'))) + "\\tools_test_child.exe\" " +
         std::to_string(Milliseconds) + " " + std::to_string(ExitCode) + " " + File;
}

// Records the bar at each paint and asks for a few more paints.
TProgressFill* ProbeBar = nullptr;
std::vector<int> PositionsAtPaint;
int PaintsLeft = 0;
bool InputHandled = false;

LRESULT CALLBACK ProbeWindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  if (Message == WM_PAINT) {
    PAINTSTRUCT paint;
    BeginPaint(Window, &paint);
    EndPaint(Window, &paint);
    PositionsAtPaint.push_back(ProbeBar->Position());
    if (--PaintsLeft > 0) InvalidateRect(Window, nullptr, FALSE);
    return 0;
  }
  if (Message == WM_APP) InputHandled = true;
  return DefWindowProcW(Window, Message, WParam, LParam);
}

}  // namespace

TEST(RunProgram, ExitCodeOrMinusOneAndLongCommandLinesRefusedUnstarted) {
  std::string refused = TempFile("mirpan-child-refused");
  std::string accepted = TempFile("mirpan-child-accepted");
  std::string tooLong = Child(0, 5, refused);
  tooLong.resize(MaxCommandLine + 1, ' ');
  std::string longest = Child(0, 7, accepted);
  longest.resize(MaxCommandLine, ' ');
  EXPECT_EQ(-1, RunProgram(tooLong, SW_SHOWNORMAL, true, nullptr));
  EXPECT_EQ(7, RunProgram(longest, SW_SHOWNORMAL, true, nullptr));
  EXPECT_TRUE(FileThere(accepted));
  EXPECT_FALSE(FileThere(refused));
  EXPECT_EQ(-1, RunProgram("Z:\\no\\such\\program.exe", SW_SHOWNORMAL, true, nullptr));
}

TEST(RunProgramWithProgress, WaitRepaintsAndStepsTheBarButHoldsInput) {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = ProbeWindowProc;
  windowClass.lpszClassName = L"MirpanPumpProbe";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, L"MirpanPumpProbe", L"probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                10, 10, 200, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, window);
  TProgressFill bar(nullptr);
  ProbeBar = &bar;
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  PositionsAtPaint.clear();
  PaintsLeft = 10;
  InvalidateRect(window, nullptr, FALSE);
  PostMessageW(window, WM_APP, 0, 0);
  std::string done = TempFile("mirpan-child-pumped");

  RunProgramWithProgress(Child(1000, 0, done), true, StepsOf(bar));

  EXPECT_TRUE(FileThere(done)) << "returned before the child ended";
  ASSERT_GE(PositionsAtPaint.size(), 8u);
  EXPECT_EQ((std::vector<int>{0, 15, 30, 45, 60, 75, 90, 100}),
            std::vector<int>(PositionsAtPaint.begin(), PositionsAtPaint.begin() + 8));
  EXPECT_EQ(100, bar.Position());
  EXPECT_FALSE(InputHandled) << "input waits until the child has ended";
  EXPECT_TRUE(PeekMessageW(&msg, window, WM_APP, WM_APP, PM_REMOVE));
  DestroyWindow(window);
}

TEST(RunProgramWithProgress, WithoutWaitReturnsWhileTheChildRuns) {
  TProgressFill bar(nullptr);
  std::string done = TempFile("mirpan-child-unwaited");
  EXPECT_EQ(static_cast<std::int32_t>(STILL_ACTIVE),
            RunProgram(Child(1500, 0, done), SW_SHOWNORMAL, false, StepsOf(bar)));
  RunProgramWithProgress(Child(1500, 0, done), false, StepsOf(bar));
  EXPECT_FALSE(FileThere(done));
  EXPECT_EQ(0, bar.Position());
  AwaitFile(done);
}
