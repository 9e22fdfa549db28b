// A child program for the program-running tests.
// Usage: tools_test_child MILLISECONDS EXITCODE [FILE]: sleeps, creates FILE when given, exits.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  Sleep(static_cast<DWORD>(std::atoi(argv[1])));
  if (argc > 3) {
    HANDLE file = CreateFileA(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
  return std::atoi(argv[2]);
}
