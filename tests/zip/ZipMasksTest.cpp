// Wildcard matching and entry selection by masks and attributes.
#include <gtest/gtest.h>

#include "ZipTestSupport.h"
#include "zip/ZipMasks.h"

namespace {

using namespace ZipTest;

struct TMaskCase {
  const char* Name;
  const char* Mask;
  bool Matches;
};

TEST(ZipMasks, MaskMatchesWildcards) {
  const TMaskCase cases[] = {
      {"anything\\at\\all.txt", "*.*", true},
      {"sub\\a.txt", "*.txt", true},  // "*" runs over "\" too
      {"a.txt", "*", true},
      {"a", "a?", false},  // "?" never matches an empty rest
      {"ab", "a?", true},
      {"a", "a*", true},
      {"abc", "a*c", true},
      {"ab", "a*c", false},
      {"", "*x", false},
      {"abc", "ab", false},
      {"ab", "abc", false},
      {"ABC.TXT", "abc.txt", true},
      {"x.bin", "*.txt", false},
      {"a.b.c", "*.c", true},
  };
  for (const TMaskCase& c : cases)
    EXPECT_EQ(MaskMatches(c.Name, c.Mask, true), c.Matches) << c.Name << " ~ " << c.Mask;
  EXPECT_FALSE(MaskMatches("ABC", "abc", false));
}

TEST(ZipMasks, EntryMaskRules) {
  const TMaskCase cases[] = {
      {"UserData\\db.mdb", "UserData\\*.*", true},
      {"UserData\\", "UserData\\*.*", true},  // "*.*" has become "*"
      {"UserData", "UserData", true},
      {"AppData\\UserData.txt", "UserData", false},
      {"AppData\\UserData.txt", "UserData\\*.*", false},
      {"userdata\\x", "USERDATA\\*.*", true},
      {"abc", "abc.", true},  // a final dot asks for no extension
      {"abc.", "abc.", true},
      {"abc.txt", "abc.", false},
      {"abc.txt", "", false},
      {"dir.d\\file", "*.", true},  // the extension is the name part's
      {"dir\\file.x", "*.", false},
      {"dir.d\\file", "*", true},
  };
  for (const TMaskCase& c : cases)
    EXPECT_EQ(EntryMatchesMask(c.Name, c.Mask), c.Matches) << c.Name << " ~ " << c.Mask;
}

TEST(ZipMasks, HebrewLettersCompareAsThemselves) {
  // windows-1255 alef and bet are distinct letters without case. (Whether a final letter
  // equals its plain form is the locale's choice.)
  EXPECT_TRUE(MaskMatches("\xE0\xE1.txt", "\xE0?.TXT", true));
  EXPECT_FALSE(MaskMatches("\xE0", "\xE1", true));
  EXPECT_FALSE(MaskMatches("\xE0", "a", true));
}

TEST(ZipMasks, PathParts) {
  EXPECT_EQ(ZipExtractFilePath("a\\b\\c.txt"), "a\\b\\");
  EXPECT_EQ(ZipExtractFileName("a\\b\\c.txt"), "c.txt");
  EXPECT_EQ(ZipExtractFileName("C:x.txt"), "x.txt");
  EXPECT_EQ(ZipExtractFileExt("a.dir\\file"), "");
  EXPECT_EQ(ZipExtractFileExt("a\\file.tar.gz"), ".gz");
}

// Runs a selection and answers every confirmation with No, so nothing is written.
std::vector<std::string> Selected(TZipArchiver& zip, const std::function<void()>& select) {
  std::vector<std::string> names;
  zip.OnConfirmProcessFile = [&](TZipBaseArchiver*, const std::string& name, TZipProcessOperation,
                                 bool& confirm) {
    names.push_back(name);
    confirm = false;
  };
  select();
  return names;
}

class ZipSelection : public testing::Test {
 protected:
  void Open(const std::string& archive) {
    Zip.FileName = ArchiverPath(ArchiveDir() + "/" + archive);
    Zip.BaseDir = ArchiverPath(ScratchDir("selection") + "/out");
    Zip.OpenArchive(fmOpenReadDenyWrite);
  }
  TZipArchiver Zip;
};

TEST_F(ZipSelection, WizardMasksKeepUserDataOut) {
  Open("masks-mixed-case.zip");
  Zip.FileMasks.Add("*.*");
  Zip.ExclusionMasks.Add("UserData");
  Zip.ExclusionMasks.Add("UserData\\*.*");
  auto names = Selected(Zip, [&] { Zip.ExtractFiles(); });
  EXPECT_EQ(names, (std::vector<std::string>{"AppData\\UserData.txt", "a.txt", "sub\\A.TXT"}));

  // An empty include list selects nothing.
  Zip.FileMasks.Clear();
  EXPECT_TRUE(Selected(Zip, [&] { Zip.ExtractFiles(); }).empty());
}

TEST_F(ZipSelection, ExplicitMaskMatchesFullNameOrNamePart) {
  Open("masks-mixed-case.zip");
  auto names = Selected(Zip, [&] { Zip.ExtractFiles("*.txt", 10431, ""); });
  EXPECT_EQ(names, (std::vector<std::string>{"userdata\\x.txt", "AppData\\UserData.txt", "a.txt",
                                             "sub\\A.TXT"}));
  // A drive in front of the mask is dropped.
  names = Selected(Zip, [&] { Zip.ExtractFiles("C:sub\\a.txt", 10431, ""); });
  EXPECT_EQ(names, std::vector<std::string>{"sub\\A.TXT"});
}

TEST_F(ZipSelection, AttributeFilterHoldsBackHiddenAndFolders) {
  Open("hidden-and-read-only-entries.zip");
  EXPECT_EQ(Selected(Zip, [&] { Zip.ExtractFiles("*.*", 0, ""); }),
            std::vector<std::string>{"readonly.txt"});
  Open("masks-mixed-case.zip");
  auto names = Selected(Zip, [&] { Zip.ExtractFiles("*.*", 0, ""); });
  EXPECT_EQ(std::count(names.begin(), names.end(), "UserData\\"), 0);
  EXPECT_EQ(names.size(), 6u);
}

TEST_F(ZipSelection, RecurseOffKeepsToTheMasksFolder) {
  Open("masks-mixed-case.zip");
  Zip.Options.Recurse = false;
  EXPECT_EQ(Selected(Zip, [&] { Zip.ExtractFiles("sub\\*.*", 10431, ""); }),
            std::vector<std::string>{"sub\\A.TXT"});
}

}  // namespace
