// zipx: drives the archiver from the command line, for tests and benchmarks.
//   zipx list ARCHIVE          one line per entry: its method, a tab, its name
//   zipx extract ARCHIVE DESTDIR [--exclude-userdata] [--keep-corrupted]
// Exit 0 when every file came out, 1 when at least one failed ("failed: NAME native=N" on
// stdout, the error's text on stderr), 2 when the archive could not be opened (or the
// arguments were wrong).
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "framework/Text.h"
#include "zip/ZipArchiver.h"
#include "zip/ZipMethods.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

// Paths reach the archiver as UTF-8 with "\" separators.
std::string ArchiverPath(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

void PrintUtf8(std::FILE* to, const std::string& utf8Line) {
  std::string line = utf8Line + "\n";
  std::fwrite(line.data(), 1, line.size(), to);
}

// The archiver's messages are windows-1255 text.
void Print(std::FILE* to, const std::string& cp1255Line) {
  PrintUtf8(to, Utf8FromCp1255(cp1255Line));
}

int Usage() {
  std::fputs(
      "usage: zipx list ARCHIVE\n"
      "       zipx extract ARCHIVE DESTDIR [--exclude-userdata] [--keep-corrupted]\n",
      stderr);
  return 2;
}

bool Open(TZipArchiver& zip, const std::string& archive) {
  zip.FileName = ArchiverPath(archive);
  try {
    zip.OpenArchive(fmOpenReadDenyWrite);
    return true;
  } catch (const Exception& e) {
    Print(stderr, e.Message());
    return false;
  }
}

int List(const std::string& archive) {
  TZipArchiver zip;
  if (!Open(zip, archive)) return 2;
  for (int i = 0; i < zip.FileCount(); ++i) {
    const TDirItem item = zip.Entry(i);
    PrintUtf8(stdout, ZipMethodName(item.Header.Method) + "\t" + item.UnicodeName);
  }
  return 0;
}

int Extract(const std::string& archive, const std::string& dest, bool excludeUserData,
            bool keepCorrupted) {
  TZipArchiver zip;
  bool failed = false;
  zip.OnProcessFileFailure = [&](TZipBaseArchiver*, const std::string&, TZipProcessOperation,
                                 int32_t nativeError, int32_t, const std::string& message,
                                 TZipAction& action) {
    // The event's name is windows-1255; the entry's own is Unicode.
    std::string name = zip.Entry(zip.CurrentEntry()).UnicodeName;
    std::replace(name.begin(), name.end(), '\\', '/');
    PrintUtf8(stdout, "failed: " + name + " native=" + std::to_string(nativeError));
    PrintUtf8(stderr, name + ": " + Utf8FromCp1255(message));
    failed = true;
    action = acSkip;
  };
  zip.Options.CreateDirs = true;
  zip.BaseDir = ArchiverPath(dest);
  zip.ExtractCorruptedFiles = keepCorrupted;
  if (!Open(zip, archive)) return 2;
  zip.ExclusionMasks.Clear();
  zip.FileMasks.Clear();
  if (excludeUserData) {
    zip.ExclusionMasks.Add("UserData");
    zip.ExclusionMasks.Add("UserData\\*.*");
    zip.FileMasks.Add("*.*");
  }
  auto run = [&] {
    if (excludeUserData)
      zip.ExtractFiles();
    else
      zip.ExtractFiles("*.*", 10431, "");
  };
  // As the installer does: a pass that ends on a damaged archive is run once more,
  // keeping what can be read.
  try {
    run();
  } catch (const Exception& first) {
    Print(stderr, first.Message());
    failed = true;
    zip.ExtractCorruptedFiles = true;
    try {
      run();
    } catch (const Exception& second) {
      Print(stderr, second.Message());
    }
  }
  try {
    zip.CloseArchive();
  } catch (...) {
  }
  return failed ? 1 : 0;
}

int Run(const std::vector<std::string>& args) {
  if (args.size() == 2 && args[0] == "list") return List(args[1]);
  if (args.size() >= 3 && args[0] == "extract") {
    bool excludeUserData = false, keepCorrupted = false;
    for (size_t i = 3; i < args.size(); ++i) {
      if (args[i] == "--exclude-userdata")
        excludeUserData = true;
      else if (args[i] == "--keep-corrupted")
        keepCorrupted = true;
      else
        return Usage();
    }
    return Extract(args[1], args[2], excludeUserData, keepCorrupted);
  }
  return Usage();
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  return Run(Utf8Arguments(argc, argv));
}
#else
int main(int argc, char** argv) { return Run(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
