// Prints the SHA-256 of a file as sha256sum does, hashing it in 1 MiB blocks with the
// program's own SHA-256: the work SetUp.exe adds to each part it checks.
#include <cstdio>
#include <vector>

#include "stamp/Sha256.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: HashFile FILE\n", stderr);
    return 2;
  }
  std::FILE* file = std::fopen(argv[1], "rb");
  if (!file) {
    std::perror(argv[1]);
    return 1;
  }
  std::vector<unsigned char> block(1 << 20);
  TSha256 hash;
  for (size_t got; (got = std::fread(block.data(), 1, block.size(), file)) > 0;)
    hash.Update(block.data(), got);
  std::fclose(file);
  std::printf("%s  %s\n", Sha256Hex(hash.Final()).c_str(), argv[1]);
  return 0;
}
