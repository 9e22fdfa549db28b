// setup-stamp: a step of the maker's release (scripts/release). Writes each archive part's name,
// size, unpacked size and SHA-256 into a built SetUp.exe, which then installs only those parts.
// It comes before signing: a signed program is refused.
//   setup-stamp SETUP_EXE PART...
// Exit 0 when stamped, 1 when refused (the program is left as it was), 2 on wrong arguments.
#include <cstdio>
#include <string>
#include <vector>

#include "framework/Text.h"
#include "stamp/SetUpStamp.h"

namespace {

int Run(const std::vector<std::string>& args) {
  if (args.size() < 2) {
    std::fputs("usage: setup-stamp SETUP_EXE PART...\n", stderr);
    return 2;
  }
  try {
    StampSetUp(args[0], std::vector<std::string>(args.begin() + 1, args.end()));
  } catch (const Exception& e) {
    std::string line = "setup-stamp: " + Utf8FromCp1255(e.Message()) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    return 1;
  }
  std::printf("stamped %s with %zu part(s)\n", args[0].c_str(), args.size() - 1);
  return 0;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) { return Run(Utf8Arguments(argc, argv)); }
#else
int main(int argc, char** argv) { return Run(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
