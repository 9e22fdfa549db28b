// A copy of the built SetUp.exe stamped with the demo parts, then read back as Windows
// reads it: the program's resource through the resource API, the parts from disk. And the
// signed program of a release folder (release-test.sh), started and read back the same way.
// imagehlp.h needs windows.h before it.
// clang-format off
#include <windows.h>
#include <imagehlp.h>
// clang-format on

#include <gtest/gtest.h>

#include <string>

#include "../e2e/SetUpDriver.h"
#include "../install/InstallTestSupport.h"
#include "framework/Text.h"
#include "stamp/PeImage.h"
#include "stamp/SetUpStamp.h"
#include "wizard/install/DownloadFile.h"
#include "wizard/install/InstallFiles.h"
#include "wizard/install/StampedParts.h"

namespace {

using namespace InstallTest;

TStampedParts ReadBack(const std::wstring& exe) {
  HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  EXPECT_NE(module, nullptr);
  TStampedParts parts = LoadStampedParts(module);
  FreeLibrary(module);
  return parts;
}

class StampedSetUp : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::wstring folder = Folder.substr(0, Folder.size() - 1);
    RemoveTree(folder);
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    for (const wchar_t* name : {L"SetUp.exe", L"MirpanN1.zip", L"MirpanN2.zip"})
      ASSERT_TRUE(CopyFileW((Built + name).c_str(), (Folder + name).c_str(), FALSE));
  }

  void Stamp(const std::vector<std::wstring>& parts) {
    std::vector<std::string> paths;
    for (const std::wstring& part : parts) paths.push_back(Utf8(Folder + part));
    StampSetUp(Utf8(Exe), paths);
  }

  // The refusal's text; the program must be byte for byte what it was.
  std::string Refusal(const std::vector<std::wstring>& parts) {
    const std::string before = FileBytes(Exe);
    std::string message = "(stamped)";
    try {
      Stamp(parts);
    } catch (const EStampError& e) {
      message = e.Message();
    }
    EXPECT_EQ(FileBytes(Exe), before);
    return message;
  }

  const std::wstring Built = BuildFolder(L"bin\\");
  const std::wstring Folder = BuildFolder(L"stamp-scratch\\");
  const std::wstring Exe = Folder + L"SetUp.exe";
};

TEST_F(StampedSetUp, BuiltProgramIsUnstamped) {
  TStampedParts parts = ReadBack(Built + L"SetUp.exe");
  EXPECT_EQ(parts.State, TStampState::Unstamped);
  EXPECT_TRUE(parts.Parts.empty());
}

bool PartFileMatches(const std::wstring& FileName, const TPartStampEntry& Stamp) {
  TFileHandle file(OpenHeldPart(FileName));
  return file.Valid() && PartFileMatches(file.Get(), Stamp);
}

TEST_F(StampedSetUp, StampReadsBackAndOnlyTheMakersBytesMatch) {
  Stamp({L"MirpanN1.zip", L"MirpanN2.zip"});
  TStampedParts parts = ReadBack(Exe);
  ASSERT_EQ(parts.State, TStampState::Stamped);
  ASSERT_EQ(parts.Parts.size(), 2u);
  const TPartStampEntry* first = parts.Find(L"MirpanN1.zip");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->Size, FileBytes(Folder + L"MirpanN1.zip").size());
  EXPECT_GT(first->UnpackedSize, first->Size);  // the demo's files are deflated
  EXPECT_TRUE(PartFileMatches(Folder + L"MirpanN1.zip", *first));
  EXPECT_TRUE(PartFileMatches(Folder + L"MirpanN2.zip", *parts.Find(L"MirpanN2.zip")));

  // Another valid archive under the maker's name: same size, one byte of it changed.
  std::string tampered = FileBytes(Folder + L"MirpanN1.zip");
  tampered[tampered.size() / 2] ^= 1;
  WriteBytes(Folder + L"MirpanN1.zip", tampered);
  EXPECT_FALSE(PartFileMatches(Folder + L"MirpanN1.zip", *first));
  EXPECT_FALSE(PartFileMatches(Folder + L"MirpanN2.zip", *first));
  EXPECT_FALSE(PartFileMatches(Folder + L"missing.zip", *first));
}

// A reply that announces more bytes than the stamp gives fails before any is written.
TEST_F(StampedSetUp, DownloadLongerThanItsStampIsRefusedBeforeAByteIsWritten) {
  TPartStampEntry stamp = {};
  stamp.Size = 10;
  const std::wstring name = Folder + L"MirpanN1.zip";
  {
    TDownloadFile file(name, &stamp);
    EXPECT_THROW(file.SetSize(11), EPartMismatch);
    LARGE_INTEGER size = {};
    EXPECT_TRUE(GetFileSizeEx(file.Handle(), &size));
    EXPECT_EQ(0, size.QuadPart);
    EXPECT_THROW(file.Write("0123456789a", 11), EPartMismatch);
    file.Write("0123456789", 10);
  }
  EXPECT_EQ("0123456789", FileBytes(name));
}

TEST_F(StampedSetUp, StampOverAStampReplacesIt) {
  Stamp({L"MirpanN1.zip", L"MirpanN2.zip"});
  Stamp({L"MirpanN2.zip"});
  TStampedParts parts = ReadBack(Exe);
  ASSERT_EQ(parts.Parts.size(), 1u);
  EXPECT_EQ(parts.Parts[0].Name, "MirpanN2.zip");
}

TEST_F(StampedSetUp, HeaderChecksumIsKeptRight) {
  std::string bytes = FileBytes(Exe);
  const size_t checksum = *reinterpret_cast<const uint32_t*>(&bytes[0x3C]) + 24 + 64;
  bytes.replace(checksum, 4, std::string("\1\0\0\0", 4));  // stale, but not zero
  WriteBytes(Exe, bytes);
  Stamp({L"MirpanN1.zip"});
  DWORD inHeader = 0, computed = 0;
  ASSERT_EQ(MapFileAndCheckSumW(const_cast<wchar_t*>(Exe.c_str()), &inHeader, &computed),
            CHECKSUM_SUCCESS);
  EXPECT_NE(inHeader, 1u);
  EXPECT_EQ(inHeader, computed);
}

TEST_F(StampedSetUp, RefusalsLeaveTheProgramAsItWas) {
  WriteBytes(Folder + L"notes.zip", "not an archive");
  EXPECT_NE(
      Refusal({L"MirpanN1.zip", L"notes.zip"}).find("notes.zip does not open as a ZIP archive"),
      std::string::npos);
  EXPECT_EQ(Refusal({L"MirpanN1.zip", L"MirpanN1.zip"}),
            "The part name MirpanN1.zip is given twice");

  // A signed program: the stamp would break its signature. The Security directory's size is
  // what tells it.
  {
    std::string bytes = FileBytes(Exe);
    const uint32_t optional = *reinterpret_cast<const uint32_t*>(&bytes[0x3C]) + 24;
    const size_t security = optional + (bytes[optional + 1] == 0x02 ? 112 : 96) + 8 * 4;
    bytes.replace(security, 8, std::string("\0\x10\0\0\x40\0\0\0", 8));
    WriteBytes(Exe, bytes);
    EXPECT_NE(
        Refusal({L"MirpanN1.zip"}).find("SetUp.exe is already signed: stamp it before signing it"),
        std::string::npos);
  }

  // A program, but one built without the room for a stamp: this test.
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  ASSERT_TRUE(CopyFileW(self, Exe.c_str(), FALSE));
  EXPECT_NE(Refusal({L"MirpanN1.zip"}).find("SetUp.exe has no room for a stamp"),
            std::string::npos);

  // An optional header of neither program kind (magic 0x107, a ROM image).
  ASSERT_TRUE(CopyFileW((Built + L"SetUp.exe").c_str(), Exe.c_str(), FALSE));
  std::string bytes = FileBytes(Exe);
  const uint32_t magic = *reinterpret_cast<const uint32_t*>(&bytes[0x3C]) + 24;
  bytes[magic] = 0x07;
  bytes[magic + 1] = 0x01;
  WriteBytes(Exe, bytes);
  EXPECT_NE(Refusal({L"MirpanN1.zip"}).find("SetUp.exe is not a PE32 or PE32+ image"),
            std::string::npos);
}

TEST_F(StampedSetUp, DamagedStampIsNotTakenForNone) {
  Stamp({L"MirpanN1.zip"});
  const std::string file = FileBytes(Exe);
  std::vector<uint8_t> bytes(file.begin(), file.end());
  TPeFileSpan stamp;
  ASSERT_TRUE(TPeImage(bytes, "SetUp.exe")
                  .LocateResource(PartStampResourceType, PartStampResourceName, stamp));
  bytes[stamp.Offset + 12] += 1;  // the entries claim a byte more than they hold
  WriteBytes(Exe, std::string(bytes.begin(), bytes.end()));
  TStampedParts parts = ReadBack(Exe);
  EXPECT_EQ(parts.State, TStampState::Damaged);
  EXPECT_EQ(parts.Find(L"MirpanN1.zip"), nullptr);
}

// Run by release-test.sh on the release folder it made: the signed program reads the stamp of
// the parts beside it through the resource API, as it does when it runs, and comes up.
TEST(StampedRelease, SignedProgramStartsAndReadsItsStamp) {
  const wchar_t* folder = _wgetenv(L"MIRPAN_RELEASE_DIR");
  ASSERT_NE(folder, nullptr) << "MIRPAN_RELEASE_DIR names no release folder";
  const std::wstring release = std::wstring(folder) + L"\\";
  TStampedParts parts = ReadBack(release + L"SetUp.exe");
  ASSERT_EQ(parts.State, TStampState::Stamped);
  ASSERT_EQ(parts.Parts.size(), 2u);
  for (const wchar_t* name : {L"MirpanN1.zip", L"MirpanN2.zip"}) {
    const TPartStampEntry* stamp = parts.Find(name);
    ASSERT_NE(stamp, nullptr) << Utf8(name);
    EXPECT_TRUE(PartFileMatches(release + name, *stamp)) << Utf8(name);
  }

  TSetUpDriver setUp(release + L"SetUp.exe");
  ASSERT_TRUE(setUp.Started());
  EXPECT_NE(setUp.WaitForWindow(SetUpText::Welcome), nullptr) << Utf8(setUp.VisibleTitles());
}

}  // namespace
