// The extraction pass as its callers see it: event order and numbers, cancelling, the
// failure actions, existing targets and the written files' time and attributes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "ZipTestSupport.h"
#include "zip/ZipPlatform.h"

namespace {

using namespace ZipTest;

// Stored, 3 MiB + 12345 bytes: four blocks.
constexpr double kMultiBlockSize = 3 * 1024 * 1024 + 12345;

class ZipExtractTest : public testing::Test {
 protected:
  void Open(const std::string& archive, const std::string& scratchName) {
    Out = ScratchDir(scratchName) + "/out";
    Zip.FileName = ArchiverPath(ArchiveDir() + "/" + archive);
    Zip.BaseDir = ArchiverPath(Out);
    Zip.OpenArchive(fmOpenReadDenyWrite);
  }
  std::string Percent(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", value);
    return text;
  }
  TZipArchiver Zip;
  TEventLog Log;
  std::string Out;
};

TEST_F(ZipExtractTest, EventsOfOneBlockAndEmptyFilesComeInOrder) {
  Open("plain.zip", "events-small");
  Log.Attach(Zip);
  Zip.FileMasks.Add("readme.txt");
  Zip.FileMasks.Add("empty.txt");
  Zip.ExtractFiles();
  const std::vector<std::string> expected = {
      "overall 0.0000 phase=0 op=4",           "confirm readme.txt",
      "file readme.txt 0.0000 phase=0 op=4",   "extract readme.txt",
      "file readme.txt 0.0000 phase=1 op=4",   "overall 0.0000 phase=1 op=4",
      "file readme.txt 100.0000 phase=2 op=4", "confirm empty.txt",
      "file empty.txt 0.0000 phase=0 op=4",    "extract empty.txt",
      "file empty.txt 100.0000 phase=2 op=4",  "overall 100.0000 phase=2 op=4",
  };
  EXPECT_EQ(Log.Lines, expected);
  EXPECT_EQ(ReadFile(Out + "/empty.txt"), "");
}

TEST_F(ZipExtractTest, MultiBlockFileReportsEachBlockBeforeReadingIt) {
  Open("multi-block-entries.zip", "events-multi");
  Log.Attach(Zip);
  Zip.ExtractFiles("stored.bin", 10431, "");
  std::vector<std::string> expected = {"overall 0.0000 phase=0 op=4", "confirm stored.bin",
                                       "file stored.bin 0.0000 phase=0 op=4", "extract stored.bin"};
  for (int block = 0; block < 4; ++block) {
    double part = block * 1048576.0 / kMultiBlockSize * 100;
    expected.push_back("file stored.bin " + Percent(part) + " phase=1 op=4");
    expected.push_back("overall " + Percent(part) + " phase=1 op=4");
  }
  expected.push_back("file stored.bin 100.0000 phase=2 op=4");
  expected.push_back("overall 100.0000 phase=2 op=4");
  EXPECT_EQ(Log.Lines, expected);
  EXPECT_EQ(ReadFile(Out + "/stored.bin").size(), static_cast<size_t>(kMultiBlockSize));
}

// 40 MB of zeros deflate to one small block: one progress report, but the decoding is
// reported after each megabyte it gives.
TEST_F(ZipExtractTest, SmallBlockDecodingToManyMegabytesIsReportedAsItGoes) {
  Open("multi-block-entries.zip", "events-decoding");
  Log.Attach(Zip);
  int decoded = 0;
  Zip.OnDecoding = [&](TZipBaseArchiver*) { ++decoded; };
  Zip.ExtractFiles("zeros.bin", 10431, "");
  EXPECT_EQ(std::count(Log.Lines.begin(), Log.Lines.end(), "file zeros.bin 0.0000 phase=1 op=4"),
            1);
  EXPECT_GE(decoded, 40);
}

TEST_F(ZipExtractTest, OverallPercentAddsFilesDone) {
  Open("multi-block-entries.zip", "events-overall");
  std::vector<double> overall;
  Zip.OnOverallProgress = [&](TZipBaseArchiver*, double progress, TZipProcessOperation,
                              TZipProgressPhase phase, bool&) {
    if (phase == phRunning) overall.push_back(progress);
  };
  Zip.ExtractFiles("*.bin", 10431, "");
  ASSERT_FALSE(overall.empty());
  // Three files selected: the second file's reports lie between 1/3 and 2/3.
  EXPECT_NEAR(overall[4], 100.0 / 3, 1e-9);
  EXPECT_TRUE(std::is_sorted(overall.begin(), overall.end()));
  EXPECT_LT(overall.back(), 100.0);
}

TEST_F(ZipExtractTest, CancelAtPassStartExtractsNothingAndRaisesNothingMore) {
  Open("plain.zip", "cancel-start");
  Log.Attach(Zip);
  Zip.OnOverallProgress = [&](TZipBaseArchiver*, double, TZipProcessOperation,
                              TZipProgressPhase phase, bool& cancel) {
    Log.Lines.push_back("overall phase=" + std::to_string(phase));
    cancel = true;
  };
  Zip.ExtractFiles("*.*", 10431, "");
  EXPECT_EQ(Log.Lines, std::vector<std::string>{"overall phase=0"});
  EXPECT_FALSE(Exists(Out));
}

TEST_F(ZipExtractTest, CancelMidFileDeletesPartialFileAndEndsPassQuietly) {
  Open("multi-block-entries.zip", "cancel-mid");
  Log.Attach(Zip);
  Zip.OnFileProgress = [&](TZipBaseArchiver*, const std::string& name, double progress,
                           TZipProcessOperation, TZipProgressPhase phase, bool& cancel) {
    Log.Lines.push_back("file " + name + " phase=" + std::to_string(phase));
    if (phase == phRunning && progress > 50) cancel = true;
  };
  EXPECT_NO_THROW(Zip.ExtractFiles("*.*", 10431, ""));
  const std::vector<std::string> tail = {"file stored.bin phase=1", "file stored.bin phase=2",
                                         "overall 100.0000 phase=2 op=4"};
  ASSERT_GE(Log.Lines.size(), tail.size());
  EXPECT_EQ(std::vector<std::string>(Log.Lines.end() - 3, Log.Lines.end()), tail);
  EXPECT_TRUE(Log.Failures.empty());
  EXPECT_FALSE(Exists(Out + "/stored.bin"));
  EXPECT_FALSE(Exists(Out + "/deflated.bin"));
}

TEST_F(ZipExtractTest, RetryRepeatsTheFileAndAbortEndsThePass) {
  Open("crc-mismatch.zip", "retry");
  int attempts = 0;
  Zip.OnProcessFileFailure = [&](TZipBaseArchiver*, const std::string& name,
                                 TZipProcessOperation operation, int32_t native, int32_t code,
                                 const std::string& message, TZipAction& action) {
    EXPECT_EQ(name, "bad.txt");
    EXPECT_EQ(operation, opExtract);
    EXPECT_EQ(native, 8);
    EXPECT_EQ(code, 4);
    EXPECT_NE(message.find("Invalid size or check sum"), std::string::npos);
    EXPECT_EQ(action, acSkip);
    action = ++attempts < 3 ? acRetry : acSkip;
  };
  Zip.ExtractFiles("*.*", 10431, "");
  EXPECT_EQ(attempts, 3);
  EXPECT_TRUE(Exists(Out + "/after.txt"));

  Out = ScratchDir("abort") + "/out";
  Zip.BaseDir = ArchiverPath(Out);
  bool endSeen = false;
  Zip.OnOverallProgress = [&](TZipBaseArchiver*, double, TZipProcessOperation,
                              TZipProgressPhase phase, bool&) { endSeen |= phase == phEnd; };
  Zip.OnProcessFileFailure = [](TZipBaseArchiver*, const std::string&, TZipProcessOperation,
                                int32_t, int32_t, const std::string&,
                                TZipAction& action) { action = acAbort; };
  EXPECT_NO_THROW(Zip.ExtractFiles("*.*", 10431, ""));
  EXPECT_TRUE(Exists(Out + "/good.txt"));
  EXPECT_FALSE(Exists(Out + "/after.txt"));
  EXPECT_TRUE(endSeen);
}

TEST_F(ZipExtractTest, FailedEntryLeavesExistingFileAlone) {
  Open("crc-mismatch.zip", "keep-existing");
  Log.Attach(Zip);
  WriteFile(Out + "/bad.txt", "precious");
  Zip.ExtractFiles("*.*", 10431, "");
  ASSERT_EQ(Log.Failures.size(), 1u);
  EXPECT_EQ(ReadFile(Out + "/bad.txt"), "precious");
  // No temporary file is left beside it.
  EXPECT_EQ(FilesBelow(Out).size(), 3u);
}

TEST_F(ZipExtractTest, ReadOnlyTargetIsReplacedOnlyWithReplaceReadOnly) {
  Open("plain.zip", "read-only");
  Log.Attach(Zip);
  const std::string target = Out + "/docs/deep/note.txt";
  WriteFile(target, "old");
  ASSERT_TRUE(ZipPlatform::ChangeAttributes(ArchiverPath(target), faReadOnly));

  Zip.Options.ReplaceReadOnly = false;
  Zip.ExtractFiles("note.txt", 10431, "");
  EXPECT_EQ(ReadFile(target), "old");
  EXPECT_TRUE(Log.Failures.empty());

  Zip.Options.ReplaceReadOnly = true;
  Zip.ExtractFiles("note.txt", 10431, "");
  EXPECT_EQ(ReadFile(target), "note");
  EXPECT_TRUE(Log.Failures.empty());
  EXPECT_EQ(ZipPlatform::FileAttributes(ArchiverPath(target)) & faReadOnly, 0);
}

TEST_F(ZipExtractTest, OverwriteModesDecideForExistingTargets) {
  Open("plain.zip", "overwrite");
  WriteFile(Out + "/readme.txt", "old");
  Zip.Options.OverwriteMode = omNever;
  Zip.ExtractFiles("readme.txt", 10431, "");
  EXPECT_EQ(ReadFile(Out + "/readme.txt"), "old");

  // The prompt may send the file elsewhere.
  Zip.Options.OverwriteMode = omPrompt;
  Zip.OnConfirmOverwrite = [&](TZipBaseArchiver*, const std::string& source, std::string& dest,
                               bool& confirm) {
    EXPECT_EQ(source, "readme.txt");
    EXPECT_EQ(dest, ArchiverPath(Out + "/readme.txt"));
    EXPECT_FALSE(confirm);
    dest = ArchiverPath(Out + "/renamed.txt");
    confirm = true;
  };
  Zip.ExtractFiles("readme.txt", 10431, "");
  EXPECT_EQ(ReadFile(Out + "/readme.txt"), "old");
  EXPECT_GT(ReadFile(Out + "/renamed.txt").size(), 1000u);

  // The entry's stamp is 2021: an existing file written now is newer.
  Zip.Options.OverwriteMode = omIfNewer;
  Zip.ExtractFiles("readme.txt", 10431, "");
  EXPECT_EQ(ReadFile(Out + "/readme.txt"), "old");
  Zip.Options.OverwriteMode = omIfOlder;
  Zip.ExtractFiles("readme.txt", 10431, "");
  EXPECT_NE(ReadFile(Out + "/readme.txt"), "old");
}

TEST_F(ZipExtractTest, FlatExtractionAndDosTimeAndAttributes) {
  Open("plain.zip", "flat");
  Zip.Options.CreateDirs = false;
  ZipTest::ScratchDir("flat/out");
  Zip.ExtractFiles("*.*", 10431, "");
  EXPECT_EQ(ReadFile(Out + "/note.txt"), "note");
  EXPECT_FALSE(Exists(Out + "/docs"));
  // 2021-06-15 13:45:30, read as local time.
  const int32_t stamp = static_cast<int32_t>((((2021u - 1980) << 9 | 6 << 5 | 15) << 16) |
                                             (13u << 11 | 45 << 5 | 15));
  EXPECT_EQ(ZipPlatform::FileDosDateTime(ArchiverPath(Out + "/note.txt")), stamp);

  TZipArchiver attrs;
  attrs.FileName = ArchiverPath(ArchiveDir() + "/hidden-and-read-only-entries.zip");
  attrs.BaseDir = ArchiverPath(Out);
  attrs.OpenArchive(fmOpenReadDenyWrite);
  attrs.ExtractFiles("*.*", 10431, "");
  EXPECT_NE(ZipPlatform::FileAttributes(ArchiverPath(Out + "/readonly.txt")) & faReadOnly, 0);
}

TEST_F(ZipExtractTest, ShortRelativeBaseFolderIsCreated) {
  Open("plain.zip", "relative");
  const std::string scratch = ScratchDir("relative");
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(FsPath(scratch));
  Log.Attach(Zip);
  Zip.BaseDir = "zz";
  Zip.ExtractFiles("*.*", 10431, "");
  std::filesystem::current_path(previous);
  EXPECT_TRUE(Log.Failures.empty());
  EXPECT_EQ(ReadFile(scratch + "/zz/docs/deep/note.txt"), "note");
}

TEST_F(ZipExtractTest, ErrorsOutsideThePassReachTheCaller) {
  Zip.Name = "zipArchiver";
  try {
    Zip.ExtractFiles();
    FAIL() << "extracting with no archive open";
  } catch (const EZipException& e) {
    EXPECT_EQ(e.NativeError(), 13);
    EXPECT_EQ(e.Message(), "zipArchiver: Archive is not open - Native error: 00013");
  }
  Zip.FileName = "C:\\folder\\";
  try {
    Zip.OpenArchive(fmOpenReadDenyWrite);
    FAIL() << "a file name without a name part";
  } catch (const EZipException& e) {
    EXPECT_EQ(e.NativeError(), 10);
  }
  Zip.FileName = ArchiverPath(ArchiveDir() + "/missing.zip");
  try {
    Zip.OpenArchive(fmOpenReadDenyWrite);
    FAIL() << "a missing archive";
  } catch (const EZipException& e) {
    EXPECT_EQ(e.Message(),
              "zipArchiver: File \"" + Zip.FileName + "\" not found - Native error: 00012");
  }
  EXPECT_FALSE(Zip.Active());
}

TEST_F(ZipExtractTest, ArchiveCanBeReopenedAndClosedTwice) {
  Open("plain.zip", "reopen");
  int opened = 0;
  Zip.AfterOpen = [&](TZipBaseArchiver*) { ++opened; };
  Zip.OpenArchive(fmOpenReadDenyWrite);
  EXPECT_EQ(Zip.FileCount(), 5);
  Zip.CloseArchive();
  Zip.CloseArchive();
  EXPECT_FALSE(Zip.Active());
  EXPECT_EQ(opened, 1);
}

}  // namespace
