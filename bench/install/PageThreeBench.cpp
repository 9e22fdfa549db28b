// Times page 3 of the real SetUp.exe against zipx.exe on the same parts, and measures how long
// the wizard's window takes to answer a message sent every 20 ms while page 3 runs.
// Run by bench/install/run on a scratch drive (MIRPAN_SCRATCH_DRIVE) under Wine:
//   PageThreeBench.exe SETUP_EXE ZIPX_EXE PAYLOAD_FOLDER
//   PageThreeBench.exe --download SETUP_EXE SILENCE_FILE   (SetUp.exe alone, its parts coming
//                       from the download host; the server keeps SILENCE_FILE while silent)
#include <windows.h>
// after windows.h
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "../../tests/e2e/SetUpDriver.h"

namespace {

constexpr DWORD kProbeInterval = 20;
constexpr double kSlowWait = 100;  // milliseconds

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::wstring ScratchRoot() {
  wchar_t letter[8] = L"";
  GetEnvironmentVariableW(L"MIRPAN_SCRATCH_DRIVE", letter, 8);
  return std::wstring(1, letter[0] ? letter[0] : L'Q') + L":\\";
}

bool Copy(const std::wstring& From, const std::wstring& To) {
  if (CopyFileW(From.c_str(), To.c_str(), FALSE)) return true;
  std::fprintf(stderr, "cannot copy %s\n", Utf8(From).c_str());
  return false;
}

// Runs a command line to its end; its exit code, or -1 when it did not start.
int Run(const std::wstring& CommandLine) {
  std::wstring line = CommandLine;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return -1;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

bool Exists(const std::wstring& Name) {
  return GetFileAttributesW(Name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

const wchar_t* const kUninstallKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Mirpan";

bool UninstallEntryExists() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

std::wstring DesktopLink() {
  wchar_t desktop[MAX_PATH] = L"";
  SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop);
  return std::wstring(desktop) + L"\\Mirpan.lnk";
}

std::wstring SilenceFile;  // download mode only

// The steps of page 3 in their order, each known from outside by what the step before it
// left: the product folder comes with the extraction, the first-run marker with the first
// finishing step, and so on. A step is "reached" once what marks it is there.
struct TStep {
  const char* Name;
  std::function<bool()> Reached;
};

class TPhases {
 public:
  explicit TPhases(const std::wstring& Root) : FRoot(Root) {
    const std::wstring product = Root + L"Norvasto\\Mirpan";
    FSteps = {
        {"before extraction", [] { return true; }},
        {"extraction", [=] { return Exists(product); }},
        {"settings key, uninstall entry", [=] { return Exists(product + L"\\firstTime.dat"); }},
        {"file types, links, wallpaper", [] { return UninstallEntryExists(); }},
        {"folder icons, page 4", [=] { return Exists(product + L"\\desktop.ini"); }},
    };
  }

  // Where page 3 is now. A downloaded part lies at the drive root from its request to the end
  // of its extraction, and the server keeps the silence file while it is silent.
  std::string Now() {
    while (FAt + 1 < FSteps.size() && FSteps[FAt + 1].Reached()) ++FAt;
    if (!SilenceFile.empty()) {
      if (Exists(SilenceFile)) return "server silent";
      if (Exists(FRoot + L"MirpanN1.zip"))
        return FAt >= 1 ? "part 1 extraction" : "part 1 download";
      if (Exists(FRoot + L"MirpanN2.zip")) return "part 2 download or extraction";
    }
    return FSteps[FAt].Name;
  }

 private:
  std::wstring FRoot;
  std::vector<TStep> FSteps;
  size_t FAt = 0;  // never goes back
};

struct TAnswer {
  double At;       // seconds since Next on page 2
  double Latency;  // milliseconds
  std::string Phase;
  std::wstring Showing;
};

// Sends WM_NULL every 20 ms until told to stop, and keeps how long each answer took.
class TProbe {
 public:
  TProbe(HWND Window, const TSetUpDriver& SetUp, const std::wstring& Root, double Start)
      : FWindow(Window), FSetUp(SetUp), FPhases(Root), FStart(Start), FThread([this] { Loop(); }) {}
  ~TProbe() { Stop(); }
  void Stop() {
    FStop = true;
    if (FThread.joinable()) FThread.join();
  }
  const std::vector<TAnswer>& Answers() const { return FAnswers; }

 private:
  void Loop() {
    while (!FStop) {
      const std::string phase = FPhases.Now();
      const double sent = Now();
      DWORD_PTR result = 0;
      SendMessageTimeoutW(FWindow, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
      const double latency = (Now() - sent) * 1000;
      TAnswer answer{sent - FStart, latency, phase, L""};
      // Where it happened: the window's title is its page, a dialog shows as one more title.
      if (latency > kSlowWait) answer.Showing = FSetUp.VisibleTitles();
      FAnswers.push_back(answer);
      const double spent = (Now() - sent) * 1000;
      if (spent < kProbeInterval) Sleep(static_cast<DWORD>(kProbeInterval - spent));
    }
  }

  HWND FWindow;
  const TSetUpDriver& FSetUp;
  TPhases FPhases;
  double FStart;
  std::atomic<bool> FStop{false};
  std::vector<TAnswer> FAnswers;
  std::thread FThread;
};

double Percentile(std::vector<double> Values, double Fraction) {
  if (Values.empty()) return 0;
  std::sort(Values.begin(), Values.end());
  size_t at = static_cast<size_t>(Fraction * static_cast<double>(Values.size() - 1) + 0.5);
  return Values[std::min(at, Values.size() - 1)];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const bool download = argc == 4 && std::wstring(argv[1]) == L"--download";
  if (argc != 4) {
    std::fprintf(stderr,
                 "usage: PageThreeBench SETUP_EXE ZIPX_EXE PAYLOAD_FOLDER\n"
                 "       PageThreeBench --download SETUP_EXE SILENCE_FILE\n");
    return 2;
  }
  const std::wstring setupExe = argv[download ? 2 : 1], zipx = argv[2], payload = argv[3];
  if (download) SilenceFile = argv[3];
  const std::wstring root = ScratchRoot();
  const std::wstring source = root + L"Source";
  CreateDirectoryW(source.c_str(), nullptr);
  if (!download)
    for (const wchar_t* name : {L"MirpanN.zip", L"MirpanN1.zip", L"MirpanN2.zip"})
      if (!Copy(payload + L"\\" + name, source + L"\\" + name)) return 1;
  if (!Copy(setupExe, source + L"\\SetUp.exe")) return 1;

  // The archiver alone, on the same parts and the same drive.
  const std::wstring out = root + L"zipx-out";
  double zipxSeconds = 0;
  for (const wchar_t* name : {L"MirpanN1.zip", L"MirpanN2.zip"}) {
    if (download) break;
    const double start = Now();
    int code =
        Run(L"\"" + zipx + L"\" extract \"" + source + L"\\" + name + L"\" \"" + out + L"\"");
    zipxSeconds += Now() - start;
    if (code != 0) std::fprintf(stderr, "zipx exited %d on %s\n", code, Utf8(name).c_str());
  }

  // Traces of an earlier run would mark steps as reached before their time.
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, kUninstallKey);
  DeleteFileW(DesktopLink().c_str());

  TSetUpDriver setUp(source + L"\\SetUp.exe");
  HWND window = setUp.Started() ? setUp.WalkToTheDrivePage() : nullptr;
  if (!window || !setUp.ChooseDrive(window, root)) {
    std::fprintf(stderr, "the drive page did not come\n");
    return 1;
  }
  Sleep(500);  // the drive choice settles
  const double start = Now();
  TProbe probe(window, setUp, root, start);
  if (!setUp.Click(window, SetUpText::Next)) return 1;
  const bool finished = setUp.WaitForWindow(SetUpText::Finished, 900000) != nullptr;
  const double pageThree = Now() - start;
  probe.Stop();
  setUp.FinishAndClose();
  if (!finished) {
    std::fprintf(stderr, "page 4 did not come: %s\n", Utf8(setUp.VisibleTitles()).c_str());
    return 1;
  }

  std::vector<double> latencies;
  for (const TAnswer& answer : probe.Answers()) latencies.push_back(answer.Latency);
  if (download)
    std::printf("page 3: %.2f s (download mode)\n", pageThree);
  else
    std::printf("page 3: %.2f s   zipx.exe: %.2f s   ratio: %.2f\n", pageThree, zipxSeconds,
                pageThree / zipxSeconds);
  std::printf("answers: %zu   median: %.1f ms   p99: %.1f ms   max: %.1f ms\n", latencies.size(),
              Percentile(latencies, 0.5), Percentile(latencies, 0.99), Percentile(latencies, 1.0));
  // Each step apart, in the order first seen: the time spent in it (from each probe to the
  // next) and its answers.
  const std::vector<TAnswer>& answers = probe.Answers();
  std::vector<std::string> phases;
  for (const TAnswer& answer : answers)
    if (std::find(phases.begin(), phases.end(), answer.Phase) == phases.end())
      phases.push_back(answer.Phase);
  for (const std::string& phase : phases) {
    std::vector<double> some;
    double seconds = 0;
    for (size_t i = 0; i < answers.size(); ++i) {
      if (answers[i].Phase != phase) continue;
      some.push_back(answers[i].Latency);
      seconds += (i + 1 < answers.size() ? answers[i + 1].At : pageThree) - answers[i].At;
    }
    std::printf(
        "  %-30s %6.2f s   answers: %5zu   median: %5.1f ms   p99: %6.1f ms   max: %6.1f ms\n",
        phase.c_str(), seconds, some.size(), Percentile(some, 0.5), Percentile(some, 0.99),
        Percentile(some, 1.0));
  }
  for (const TAnswer& answer : probe.Answers())
    if (answer.Latency > kSlowWait)
      std::printf("  wait %.0f ms at %.2f s after Next, %s, showing: %s\n", answer.Latency,
                  answer.At, answer.Phase.c_str(), Utf8(answer.Showing).c_str());
  return 0;
}
