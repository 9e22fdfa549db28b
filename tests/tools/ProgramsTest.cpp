// Child programs: exit codes, the command-line limit, and the wait that only repaints.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "controls/TProgressFill.h"
#include "framework/Text.h"
#include "tools/UinstTools.h"

namespace {

std::string BinFolder() {
  wchar_t path[MAX_PATH];
  std::wstring self(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  return Cp1255FromWide(self.substr(0, self.rfind(L'\\') + 1));
}

std::string TempFile(const char* Name) {
  wchar_t temp[MAX_PATH];
  std::string name = Cp1255FromWide(std::wstring(temp, GetTempPathW(MAX_PATH, temp))) + Name;
  DeleteFileW(WideFromCp1255(name).c_str());
  return name;
}

bool FileThere(const std::string& Name) {
  return GetFileAttributesW(WideFromCp1255(Name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// "child.exe" MILLISECONDS EXITCODE FILE
std::string Child(int Milliseconds, int ExitCode, const std::string& File) {
  return "\"" + BinFolder() + "tools_test_child.exe\" " + std::to_string(Milliseconds) + " " +
         std::to_string(ExitCode) + " " + File;
}

void AwaitFile(const std::string& Name) {
  for (int i = 0; i < 200 && !FileThere(Name); ++i) Sleep(50);
}

}  // namespace

TEST(RunProgram, ReportsTheExitCodeOrMinusOne) {
  std::string done = TempFile("mirpan-child-done");
  EXPECT_EQ(7, RunProgram(Child(0, 7, done), SW_SHOWNORMAL, true, nullptr));
  EXPECT_TRUE(FileThere(done));
  EXPECT_EQ(-1, RunProgram("Z:\\no\\such\\program.exe", SW_SHOWNORMAL, true, nullptr));
  EXPECT_EQ(-1, RunProgram("", SW_SHOWNORMAL, true, nullptr));
}

TEST(RunProgram, CommandLineLongerThan512IsRefusedUnstarted) {
  std::string refused = TempFile("mirpan-child-refused");
  std::string accepted = TempFile("mirpan-child-accepted");
  std::string tooLong = Child(0, 5, refused);
  tooLong.resize(MaxCommandLine + 1, ' ');
  std::string longest = Child(0, 5, accepted);
  longest.resize(MaxCommandLine, ' ');
  EXPECT_EQ(-1, RunProgram(tooLong, SW_SHOWNORMAL, true, nullptr));
  EXPECT_EQ(5, RunProgram(longest, SW_SHOWNORMAL, true, nullptr));
  EXPECT_TRUE(FileThere(accepted));
  EXPECT_FALSE(FileThere(refused));
}

TEST(RunProgram, WithoutWaitReturnsWhileTheChildRuns) {
  std::string done = TempFile("mirpan-child-later");
  EXPECT_EQ(static_cast<std::int32_t>(STILL_ACTIVE),
            RunProgram(Child(1500, 0, done), SW_SHOWNORMAL, false, nullptr));
  EXPECT_FALSE(FileThere(done));
  AwaitFile(done);  // the child goes on by itself
  EXPECT_TRUE(FileThere(done));
}

namespace {

// A window that records the bar at each paint and asks for a few more paints, and notes
// which other messages reach it while the child runs.
struct TPumpProbe {
  TProgressFill* Bar = nullptr;
  std::vector<int> PositionsAtPaint;
  int PaintsLeft = 0;
  std::string ChildDoneFile;
  bool SentHandled = false;
  bool ChildHadEndedWhenSent = false;
  bool PostedHandled = false;
};
TPumpProbe Probe;

const UINT SentProbe = WM_APP + 1;
const UINT PostedProbe = WM_APP + 2;

LRESULT CALLBACK ProbeWindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  switch (Message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(Window, &paint);
      EndPaint(Window, &paint);
      Probe.PositionsAtPaint.push_back(Probe.Bar->Position());
      if (--Probe.PaintsLeft > 0) InvalidateRect(Window, nullptr, FALSE);
      return 0;
    }
    case SentProbe:
      Probe.SentHandled = true;
      Probe.ChildHadEndedWhenSent = FileThere(Probe.ChildDoneFile);
      return 1;
    case PostedProbe:
      Probe.PostedHandled = true;
      return 0;
    default:
      return DefWindowProcW(Window, Message, WParam, LParam);
  }
}

HWND MakeProbeWindow() {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = ProbeWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"MirpanPumpProbe";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, L"MirpanPumpProbe", L"probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                10, 10, 200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
  // Settle what creating the window queued, so that the test decides what is pending.
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  return window;
}

}  // namespace

TEST(RunProgramWithProgress, WaitRepaintsAndStepsTheBarButHoldsInput) {
  HWND window = MakeProbeWindow();
  ASSERT_NE(nullptr, window);
  TProgressFill bar;
  Probe = TPumpProbe();
  Probe.Bar = &bar;
  Probe.PaintsLeft = 10;
  Probe.ChildDoneFile = TempFile("mirpan-child-pumped");
  InvalidateRect(window, nullptr, FALSE);
  PostMessageW(window, PostedProbe, 0, 0);
  std::thread sender([window] {
    Sleep(300);
    SendMessageW(window, SentProbe, 0, 0);
  });

  RunProgramWithProgress(Child(1500, 0, Probe.ChildDoneFile), true, &bar);
  sender.join();

  EXPECT_TRUE(FileThere(Probe.ChildDoneFile)) << "returned before the child ended";
  ASSERT_GE(Probe.PositionsAtPaint.size(), 8u);
  EXPECT_EQ((std::vector<int>{0, 15, 30, 45, 60, 75, 90, 100}),
            std::vector<int>(Probe.PositionsAtPaint.begin(), Probe.PositionsAtPaint.begin() + 8));
  EXPECT_EQ(100, bar.Position());
  EXPECT_TRUE(Probe.SentHandled);
  EXPECT_FALSE(Probe.ChildHadEndedWhenSent) << "sent messages are served during the wait";
  EXPECT_FALSE(Probe.PostedHandled) << "input waits until the child has ended";
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, window, PostedProbe, PostedProbe, PM_REMOVE));
  DestroyWindow(window);
}

TEST(RunProgramWithProgress, WithoutWaitReturnsAtOnce) {
  TProgressFill bar;
  std::string done = TempFile("mirpan-child-unwaited");
  RunProgramWithProgress(Child(1500, 0, done), false, &bar);
  EXPECT_FALSE(FileThere(done));
  EXPECT_EQ(0, bar.Position());
  AwaitFile(done);
}
