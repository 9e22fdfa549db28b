// The child-program side of UinstTools: start a program and wait for it while the wizard's
// window keeps repainting and its progress display keeps moving.
#include <string>

#include "framework/Text.h"
#include "tools/UinstTools.h"

namespace {

// Closes the process and thread handles of a started child on every path.
class TChildHandles {
 public:
  explicit TChildHandles(const PROCESS_INFORMATION& Info) : FInfo(Info) {}
  ~TChildHandles() {
    CloseHandle(FInfo.hThread);
    CloseHandle(FInfo.hProcess);
  }
  TChildHandles(const TChildHandles&) = delete;
  TChildHandles& operator=(const TChildHandles&) = delete;

 private:
  PROCESS_INFORMATION FInfo;
};

}  // namespace

std::int32_t RunProgram(const std::string& CommandLine, WORD ShowCommand, bool Wait,
                        const TWaitStep& Step) {
  // The command line goes through a buffer of fixed size; a longer one is refused rather
  // than cut or run over the buffer's end.
  const std::wstring command = WideFromCp1255(CommandLine);
  if (CommandLine.size() > MaxCommandLine || command.size() > MaxCommandLine) return -1;
  wchar_t buffer[MaxCommandLine + 1] = {};
  command.copy(buffer, MaxCommandLine);

  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = ShowCommand;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(nullptr, buffer, nullptr, nullptr, FALSE,
                      CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup,
                      &info))
    return -1;
  TChildHandles handles(info);
  if (Wait) WaitWithMessagePump(info.hProcess, Step);
  DWORD code = 0;
  GetExitCodeProcess(info.hProcess, &code);  // STILL_ACTIVE (259) while it runs
  return static_cast<std::int32_t>(code);
}

void WaitWithMessagePump(HANDLE Process, const TWaitStep& Step) {
  for (;;) {
    // Paint and sent messages only: the window redraws, but clicks and keys wait until
    // the child has ended.
    DWORD woke = MsgWaitForMultipleObjects(1, &Process, FALSE, INFINITE, QS_PAINT | QS_SENDMESSAGE);
    if (woke == WAIT_OBJECT_0) return;
    if (woke != WAIT_OBJECT_0 + 1) return;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
      DispatchMessageW(&msg);
      if (Step) Step();
    }
  }
}

void RunProgramWithProgress(const std::string& CommandLine, bool Wait, const TWaitStep& Step) {
  RunProgram(CommandLine, SW_SHOWNORMAL, Wait, Step);
}
