// Fuzz target: open an archive held in memory, read its directory, and run a selection
// pass that declines every file, so the whole directory and mask path is exercised
// without writing.
#include <cstddef>
#include <cstdint>

#include "zip/ZipArchiver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TZipMemoryStream stream(data, size);
  TZipArchiver zip;
  zip.Options.OEMFileNames = size % 2 == 0;
  zip.OnConfirmProcessFile = [](TZipBaseArchiver*, const std::string&, TZipProcessOperation,
                                bool& confirm) { confirm = false; };
  try {
    zip.OpenArchive(stream);
    for (int i = 0; i < zip.FileCount(); ++i) (void)zip.Entry(i).Name.size();
    zip.FileMasks.Add("*.*");
    zip.ExclusionMasks.Add("UserData\\*.*");
    zip.ExtractFiles();
    zip.ExtractFiles("*.txt", 0, "");
  } catch (const Exception&) {
  }
  return 0;
}
