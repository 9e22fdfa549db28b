// Fuzz target: open an archive held in memory and extract every entry into a scratch
// folder, which must afterwards hold nothing outside itself.
#include <ftw.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "zip/ZipArchiver.h"

namespace {

int RemoveOne(const char* path, const struct stat*, int, struct FTW*) {
  ::remove(path);
  return 0;
}

const std::string& Scratch() {
  static const std::string dir = [] {
    const char* base = std::getenv("ZIP_FUZZ_SCRATCH");
    return std::string(base ? base : "/tmp") + "/zip-fuzz-" + std::to_string(::getpid());
  }();
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string out = Scratch() + "/out";
  TZipMemoryStream stream(data, size);
  TZipArchiver zip;
  zip.BaseDir = out;  // no "\" in it: the same text on POSIX
  zip.ExtractCorruptedFiles = size % 3 == 0;
  zip.OnProcessFileFailure = [](TZipBaseArchiver*, const std::string&, TZipProcessOperation,
                                int32_t, int32_t, const std::string&,
                                TZipAction& action) { action = acSkip; };
  try {
    zip.OpenArchive(stream);
    zip.ExtractFiles("*.*", 10431, "");
  } catch (const Exception&) {
  }
  // Whatever the names, nothing lands beside the base folder.
  const std::string outside = Scratch() + "/escape";
  if (::access(outside.c_str(), F_OK) == 0) std::abort();
  ::nftw(Scratch().c_str(), RemoveOne, 16, FTW_DEPTH | FTW_PHYS);
  return 0;
}
