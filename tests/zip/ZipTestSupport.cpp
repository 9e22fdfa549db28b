#include "ZipTestSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "framework/Text.h"

namespace fs = std::filesystem;

namespace ZipTest {

namespace {
std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}
}  // namespace

fs::path FsPath(const std::string& unixPath) {
#ifdef _WIN32
  std::u16string wide = U16FromUtf8("Z:" + unixPath);
  std::wstring w(wide.begin(), wide.end());
  std::replace(w.begin(), w.end(), L'/', L'\\');
  return fs::path(w);
#else
  return fs::path(unixPath);
#endif
}

std::string ArchiverPath(const std::string& unixPath) {
#ifdef _WIN32
  std::string path = "Z:" + unixPath;
#else
  std::string path = unixPath;
#endif
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

std::string ScratchDir(const std::string& name) {
  std::string dir = Env("MIRPAN_BINARY_DIR") + "/zip-scratch/" + name;
  std::error_code ignored;
  // Read-only leftovers of an earlier run must not stop the clean-up.
  if (fs::exists(FsPath(dir), ignored))
    for (auto& entry : fs::recursive_directory_iterator(FsPath(dir), ignored))
      fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ignored);
  fs::remove_all(FsPath(dir), ignored);
  fs::create_directories(FsPath(dir));
  return dir;
}

std::string ArchiveDir() { return Env("MIRPAN_BINARY_DIR") + "/zip-archives"; }

void WriteFile(const std::string& unixPath, const std::string& content) {
  fs::create_directories(FsPath(unixPath).parent_path());
  std::ofstream out(FsPath(unixPath), std::ios::binary | std::ios::trunc);
  out << content;
}

std::string ReadFile(const std::string& unixPath) {
  std::ifstream in(FsPath(unixPath), std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

bool Exists(const std::string& unixPath) {
  std::error_code ignored;
  return fs::exists(FsPath(unixPath), ignored);
}

std::map<std::string, std::string> FilesBelow(const std::string& root) {
  std::map<std::string, std::string> files;
  fs::path base = FsPath(root);
  for (auto& entry : fs::recursive_directory_iterator(base)) {
    if (!entry.is_regular_file()) continue;
    std::u16string relative = fs::relative(entry.path(), base).generic_u16string();
    std::string name = Utf8FromU16(relative);
    std::replace(name.begin(), name.end(), '\\', '/');
    files[name] = ReadFile(root + "/" + name);
  }
  return files;
}

void TEventLog::Attach(TZipBaseArchiver& zip) {
  auto number = [](double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", value);
    return std::string(text);
  };
  zip.OnFileProgress = [this, number](TZipBaseArchiver*, const std::string& fileName,
                                      double progress, TZipProcessOperation operation,
                                      TZipProgressPhase phase, bool&) {
    Lines.push_back("file " + fileName + " " + number(progress) +
                    " phase=" + std::to_string(phase) + " op=" + std::to_string(operation));
  };
  zip.OnOverallProgress = [this, number](TZipBaseArchiver*, double progress,
                                         TZipProcessOperation operation, TZipProgressPhase phase,
                                         bool&) {
    Lines.push_back("overall " + number(progress) + " phase=" + std::to_string(phase) +
                    " op=" + std::to_string(operation));
  };
  zip.OnConfirmProcessFile = [this](TZipBaseArchiver*, const std::string& fileName,
                                    TZipProcessOperation,
                                    bool&) { Lines.push_back("confirm " + fileName); };
  zip.OnExtractFile = [this](TZipBaseArchiver*, std::string& fileName, uint32_t&,
                             const std::string&) { Lines.push_back("extract " + fileName); };
  zip.OnProcessFileFailure = [this](TZipBaseArchiver*, const std::string& fileName,
                                    TZipProcessOperation, int32_t nativeError, int32_t,
                                    const std::string&, TZipAction& action) {
    Lines.push_back("failure " + fileName + " " + std::to_string(nativeError));
    Failures.emplace_back(fileName, nativeError);
    action = acSkip;
  };
}

}  // namespace ZipTest
