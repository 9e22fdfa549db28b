// Drive list and free-space test against real drives: drive-space-test.sh maps M: to a
// 150 MB file system, N: to a 151 MB one and O: to a drive without a medium.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/StringList.h"
#include "tools/UinstTools.h"

namespace {

constexpr std::int64_t MB = 1024 * 1024;

std::wstring CurrentDirectory() {
  wchar_t path[MAX_PATH];
  DWORD length = GetCurrentDirectoryW(MAX_PATH, path);
  return std::wstring(path, length);
}

class Drives : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SetCurrentDirectoryW(L"C:\\windows"));
    FStart = CurrentDirectory();
  }
  void ExpectCurrentDirectoryUnchanged() { EXPECT_EQ(FStart, CurrentDirectory()); }

 private:
  std::wstring FStart;
};

}  // namespace

TEST_F(Drives, ExactlyOneHundredFiftyMegabytesIsNotEnough) {
  std::int64_t available = 0, total = 0;
  ASSERT_TRUE(GetDriveSpace('M', available, total)) << "run through drive-space-test.sh";
  EXPECT_EQ(150 * MB, available);
  EXPECT_EQ(150 * MB, total);
  ExpectCurrentDirectoryUnchanged();
  EXPECT_FALSE(HasEnoughDiskSpace("M:\\"));
  ExpectCurrentDirectoryUnchanged();
}

TEST_F(Drives, OneHundredFiftyOneMegabytesIsEnough) {
  std::int64_t available = 0, total = 0;
  ASSERT_TRUE(GetDriveSpace('N', available, total));
  EXPECT_EQ(151 * MB, available);
  EXPECT_TRUE(HasEnoughDiskSpace("N:\\"));
  EXPECT_TRUE(HasEnoughDiskSpace("n:\\")) << "the letter's case does not matter";
  ExpectCurrentDirectoryUnchanged();
}

TEST_F(Drives, NoMediumOrNoDriveIsRefusedAndLeavesTheCurrentDirectory) {
  for (char letter : {'O', 'Q'}) {
    std::int64_t available = 0, total = 0;
    EXPECT_FALSE(GetDriveSpace(letter, available, total)) << letter;
    EXPECT_EQ(-1, available);
    EXPECT_EQ(-1, total);
    EXPECT_FALSE(HasEnoughDiskSpace(std::string(1, letter) + ":\\"));
    ExpectCurrentDirectoryUnchanged();
  }
  EXPECT_FALSE(HasEnoughDiskSpace(""));
  ExpectCurrentDirectoryUnchanged();
}

TEST(DriveList, EveryLogicalDriveInTheSystemsOrder) {
  std::vector<std::string> expected;
  DWORD mask = GetLogicalDrives();
  for (int bit = 0; bit < 26; ++bit)
    if (mask & (1u << bit))
      expected.push_back(std::string(1, static_cast<char>('A' + bit)) + ":\\");
  TStringList list;
  list.Add("stale entry");
  ListLogicalDrives(&list);
  std::vector<std::string> listed;
  for (int i = 0; i < list.Count(); ++i) listed.push_back(list[i]);
  EXPECT_EQ(expected, listed);
  EXPECT_NE(-1, list.IndexOf("M:\\"));
  EXPECT_NE(-1, list.IndexOf("N:\\"));
  ListLogicalDrives(nullptr);  // no list, nothing to do
}
