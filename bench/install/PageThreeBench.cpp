// Times page 3 of the real SetUp.exe against zipx.exe on the same parts, and measures how long
// the wizard's window takes to answer a message sent every 20 ms while page 3 runs.
// Run by bench/install/run on a scratch drive (MIRPAN_SCRATCH_DRIVE) under Wine:
//   PageThreeBench.exe SETUP_EXE ZIPX_EXE PAYLOAD_FOLDER
//   PageThreeBench.exe --download SETUP_EXE SILENCE_FILE   (SetUp.exe alone, its parts coming
//                       from the download host; the server keeps SILENCE_FILE while silent)
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
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

std::wstring SilenceFile;  // download mode only

// Which step of page 3 runs, as seen from outside: the product folder comes with the
// extraction, the first-run marker with the first finishing step. A downloaded part lies at
// the drive root from its request to the end of its extraction.
const char* Phase(const std::wstring& Root) {
  const std::wstring product = Root + L"Norvasto\\Mirpan";
  if (!SilenceFile.empty()) {
    if (Exists(SilenceFile)) return "server silent";
    if (Exists(Root + L"MirpanN1.zip"))
      return Exists(product) ? "part 1 extraction" : "part 1 download";
    if (Exists(Root + L"MirpanN2.zip")) return "part 2 download or extraction";
  }
  if (GetFileAttributesW(product.c_str()) == INVALID_FILE_ATTRIBUTES) return "before extraction";
  if (GetFileAttributesW((product + L"\\firstTime.dat").c_str()) == INVALID_FILE_ATTRIBUTES)
    return "extraction";
  return "finishing steps";
}

struct TAnswer {
  double At;       // seconds since Next on page 2
  double Latency;  // milliseconds
  const char* Phase;
  std::wstring Showing;
};

// Sends WM_NULL every 20 ms until told to stop, and keeps how long each answer took.
class TProbe {
 public:
  TProbe(HWND Window, const TSetUpDriver& SetUp, const std::wstring& Root, double Start)
      : FWindow(Window), FSetUp(SetUp), FRoot(Root), FStart(Start), FThread([this] { Loop(); }) {}
  ~TProbe() { Stop(); }
  void Stop() {
    FStop = true;
    if (FThread.joinable()) FThread.join();
  }
  const std::vector<TAnswer>& Answers() const { return FAnswers; }

 private:
  void Loop() {
    while (!FStop) {
      const char* phase = Phase(FRoot);
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
  std::wstring FRoot;
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
  // A download's steps apart: a part on its way, a silent server, an extraction.
  std::vector<std::string> phases;
  for (const TAnswer& answer : probe.Answers())
    if (download && std::find(phases.begin(), phases.end(), answer.Phase) == phases.end())
      phases.push_back(answer.Phase);
  for (const std::string& phase : phases) {
    std::vector<double> some;
    for (const TAnswer& answer : probe.Answers())
      if (phase == answer.Phase) some.push_back(answer.Latency);
    std::printf("  %-30s answers: %5zu   median: %5.1f ms   p99: %6.1f ms   max: %6.1f ms\n",
                phase.c_str(), some.size(), Percentile(some, 0.5), Percentile(some, 0.99),
                Percentile(some, 1.0));
  }
  for (const TAnswer& answer : probe.Answers())
    if (answer.Latency > kSlowWait)
      std::printf("  wait %.0f ms at %.2f s after Next, %s, showing: %s\n", answer.Latency,
                  answer.At, answer.Phase, Utf8(answer.Showing).c_str());
  return 0;
}
