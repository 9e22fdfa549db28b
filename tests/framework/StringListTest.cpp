// The string list that the installation log is written with.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "framework/StringList.h"

namespace {

std::filesystem::path ScratchFile(const char* name) {
  return std::filesystem::temp_directory_path() / name;
}

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(StringListTest, SavesEveryLineEndedByCrLfTheLastIncluded) {
  TStringList list;
  list.Add("Download MirpanN1.zip");
  list.Add("");
  list.Add("\xF9\xEC\xE5\xED");  // windows-1255 bytes go out unchanged
  auto path = ScratchFile("mirpan-stringlist-save.log");
  list.SaveToFile(path);
  EXPECT_EQ(ReadBytes(path), "Download MirpanN1.zip\r\n\r\n\xF9\xEC\xE5\xED\r\n");
  TStringList empty;
  empty.SaveToFile(path);
  EXPECT_EQ(ReadBytes(path), "");
  std::filesystem::remove(path);
}

TEST(StringListTest, SplitsAtEveryKindOfLineBreakWithoutATrailingEmptyLine) {
  TStringList list;
  list.SetText("a\r\nb\nc\rd\r\n");
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list[0], "a");
  EXPECT_EQ(list[3], "d");
  list.SetText("a\r\n\r\nb");
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list[1], "");
  EXPECT_EQ(list.Text(), "a\r\n\r\nb\r\n");
}

TEST(StringListTest, LoadReadsBackWhatWasSaved) {
  TStringList list, loaded;
  for (int i = 0; i < 1000; ++i) list.Add("line " + std::to_string(i));
  auto path = ScratchFile("mirpan-stringlist-roundtrip.log");
  list.SaveToFile(path);
  loaded.LoadFromFile(path);
  EXPECT_EQ(loaded.Text(), list.Text());
  std::filesystem::remove(path);
}

TEST(StringListTest, FilesThatCannotBeOpenedRaiseStreamErrors) {
  TStringList list;
  list.Add("x");
  auto missing = ScratchFile("mirpan-no-such-folder") / "Install.log";
  try {
    list.SaveToFile(missing);
    FAIL() << "saved into a missing folder";
  } catch (const EStreamError& e) {
    EXPECT_EQ(e.Message().rfind("Cannot create file ", 0), 0u) << e.Message();
    EXPECT_STREQ(e.ClassName(), "EStreamError");
  }
  EXPECT_THROW(list.LoadFromFile(missing), EStreamError);
}

TEST(StringListTest, IndexesOutsideTheListAreRefused) {
  TStringList list;
  list.Add("a");
  EXPECT_THROW(list.Insert(2, "b"), Exception);
  EXPECT_THROW(list.Delete(1), Exception);
  EXPECT_THROW(list.Delete(-1), Exception);
  list.Insert(0, "first");
  list.Delete(1);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.IndexOf("first"), 0);
  EXPECT_EQ(list.IndexOf("a"), -1);
}

}  // namespace
