#pragma once
// Helpers shared by the archiver's tests: scratch folders that work natively and under
// Wine, the generated test archives, and reading back what an extraction left.
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "zip/ZipArchiver.h"

namespace ZipTest {

// A fresh, empty folder for one test, as a Unix-style UTF-8 path.
std::string ScratchDir(const std::string& name);
// The folder holding the generated archives.
std::string ArchiveDir();
// A Unix-style UTF-8 path as the archiver takes it (UTF-8, "\" separators, Z: under Wine)
// and as the file system takes it.
std::string ArchiverPath(const std::string& unixPath);
std::filesystem::path FsPath(const std::string& unixPath);

void WriteFile(const std::string& unixPath, const std::string& content);
std::string ReadFile(const std::string& unixPath);
bool Exists(const std::string& unixPath);
// Every regular file below Root: relative UTF-8 path with "/" -> content.
std::map<std::string, std::string> FilesBelow(const std::string& root);

// Records every event of a pass as one text line, so a sequence compares in one go.
struct TEventLog {
  std::vector<std::string> Lines;
  std::vector<std::pair<std::string, int32_t>> Failures;
  void Attach(TZipBaseArchiver& zip);
};

}  // namespace ZipTest
