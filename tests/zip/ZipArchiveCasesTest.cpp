// Every generated archive, named for its defect, opened and extracted as zipx does; the
// result must be exactly what its .expect file says.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "ZipTestSupport.h"
#include "framework/Text.h"
#include "zip/ZipArchiver.h"

namespace {

using namespace ZipTest;

struct TExpectation {
  std::string Open = "ok";
  bool KeepCorrupted = false;
  bool ExcludeUserData = false;
  std::vector<std::string> Entries;
  std::map<std::string, std::pair<size_t, std::string>> Files;  // size, crc32 hex
  std::vector<std::string> Failures;                            // "name native"
};

TExpectation ReadExpectation(const std::string& name) {
  TExpectation e;
  std::istringstream in(ReadFile(ArchiveDir() + "/" + name + ".expect"));
  std::string line;
  while (std::getline(in, line)) {
    std::string kind = line.substr(0, line.find(' '));
    std::string rest = line.substr(kind.size() + 1);
    if (kind == "open") {
      e.Open = rest;
    } else if (kind == "option") {
      e.KeepCorrupted |= rest == "keep-corrupted";
      e.ExcludeUserData |= rest == "exclude-userdata";
    } else if (kind == "entry") {
      e.Entries.push_back(rest);
    } else if (kind == "file") {
      size_t crcAt = rest.rfind(' '), sizeAt = rest.rfind(' ', crcAt - 1);
      e.Files[rest.substr(0, sizeAt)] = {std::stoul(rest.substr(sizeAt + 1, crcAt - sizeAt - 1)),
                                         rest.substr(crcAt + 1)};
    } else if (kind == "fail") {
      e.Failures.push_back(rest);
    }
  }
  return e;
}

std::string Crc32Hex(const std::string& data) {
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char c : data) {
    crc ^= c;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  char text[16];
  std::snprintf(text, sizeof text, "%08x", ~crc);
  return text;
}

std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  std::error_code ignored;
  for (auto& entry : std::filesystem::directory_iterator(FsPath(ArchiveDir()), ignored))
    if (entry.path().extension() == ".expect") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

class ZipArchiveCase : public testing::TestWithParam<std::string> {};

TEST_P(ZipArchiveCase, OpensAndExtractsAsExpected) {
  const std::string name = GetParam();
  const TExpectation expected = ReadExpectation(name);
  const std::string scratch = ScratchDir("case-" + name);
  const std::string out = scratch + "/out";

  TZipArchiver zip;
  TEventLog log;
  log.Attach(zip);
  zip.FileName = ArchiverPath(ArchiveDir() + "/" + name + ".zip");
  zip.BaseDir = ArchiverPath(out);
  zip.Options.CreateDirs = true;
  zip.ExtractCorruptedFiles = expected.KeepCorrupted;
  try {
    zip.OpenArchive(fmOpenReadDenyWrite);
    ASSERT_EQ(expected.Open, "ok");
  } catch (const EZipException& e) {
    ASSERT_EQ(expected.Open, std::to_string(e.NativeError())) << e.Message();
    EXPECT_FALSE(zip.Active());
    return;
  }

  std::vector<std::string> entries;
  for (int i = 0; i < zip.FileCount(); ++i) entries.push_back(zip.Entry(i).UnicodeName);
  EXPECT_EQ(entries, expected.Entries);

  if (expected.ExcludeUserData) {
    zip.FileMasks.Add("*.*");
    zip.ExclusionMasks.Add("UserData");
    zip.ExclusionMasks.Add("UserData\\*.*");
    zip.ExtractFiles();
  } else {
    zip.ExtractFiles("*.*", 10431, "");
  }

  std::vector<std::string> failures;
  for (auto& [file, native] : log.Failures) {
    std::string shown = Utf8FromCp1255(file);
    std::replace(shown.begin(), shown.end(), '\\', '/');
    failures.push_back(shown + " " + std::to_string(native));
  }
  EXPECT_EQ(failures, expected.Failures);

  std::map<std::string, std::pair<size_t, std::string>> files;
  if (Exists(out))
    for (auto& [file, content] : FilesBelow(out)) files[file] = {content.size(), Crc32Hex(content)};
  EXPECT_EQ(files, expected.Files);
  // Nothing may appear beside the extraction base.
  EXPECT_EQ(FilesBelow(scratch).size(), files.size());
}

INSTANTIATE_TEST_SUITE_P(Generated, ZipArchiveCase, testing::ValuesIn(CaseNames()),
                         [](const testing::TestParamInfo<std::string>& info) {
                           std::string id = info.param;
                           std::replace(id.begin(), id.end(), '-', '_');
                           return id;
                         });

TEST(ZipArchiveCases, AllGeneratedArchivesArePresent) {
  EXPECT_GE(CaseNames().size(), 20u) << "no archives in " << ArchiveDir();
}

}  // namespace
