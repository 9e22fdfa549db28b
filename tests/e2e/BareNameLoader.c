// Loads the two libraries by bare name, as any program that does not restrict its DLL search:
// beside a planted copy, it takes the copy.
#include <windows.h>

int main(void) {
  LoadLibraryW(L"dwmapi.dll");
  LoadLibraryW(L"msimg32.dll");
  return 0;
}
