#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>

#include "stamp/PartCheck.h"
#include "stamp/PartStamp.h"
#include "stamp/SetUpStamp.h"

namespace {

constexpr size_t kRoom = 4112;  // what SetUp.rc keeps

TPartStampEntry Part(const std::string& name, const std::string& bytes, uint64_t unpacked) {
  TPartStampEntry part;
  part.Name = name;
  part.Size = bytes.size();
  part.UnpackedSize = unpacked;
  TSha256 hash;
  hash.Update(bytes.data(), bytes.size());
  part.Sha256 = hash.Final();
  return part;
}

std::string Message(const std::function<void()>& action) {
  try {
    action();
  } catch (const EStampError& e) {
    return e.Message();
  }
  return "(no error)";
}

TEST(PartStamp, WrittenStampReadsBackAndThePlaceholderHoldsNoParts) {
  TPartStampEntry big = Part("MirpanN1.zip", "one", 0);
  big.Size = 5'000'000'000ull;  // past 4 GiB: the fields are 64-bit
  big.UnpackedSize = 9'000'000'000ull;
  const std::vector<TPartStampEntry> parts = {big, Part("\xd7\x90.zip", "two", 12)};
  const std::vector<uint8_t> stamp = PartStampWrite(parts, kRoom);
  ASSERT_EQ(stamp.size(), kRoom);
  const std::vector<TPartStampEntry> back = PartStampRead(stamp.data(), stamp.size());
  ASSERT_EQ(back.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(back[i].Name, parts[i].Name);
    EXPECT_EQ(back[i].Size, parts[i].Size);
    EXPECT_EQ(back[i].UnpackedSize, parts[i].UnpackedSize);
    EXPECT_EQ(back[i].Sha256, parts[i].Sha256);
  }
  EXPECT_EQ(PartStampFind(back, "mirpann1.ZIP"), &back[0]);
  EXPECT_EQ(PartStampFind(back, "MirpanN2.zip"), nullptr);

  std::vector<uint8_t> placeholder(kRoom, 0);
  const uint8_t head[] = {'M', 'P', 'N', 'S', 'T', 'A', 'M', 'P', 1, 0};
  std::copy(std::begin(head), std::end(head), placeholder.begin());
  EXPECT_TRUE(PartStampRead(placeholder.data(), placeholder.size()).empty());
}

TEST(PartStamp, RefusesWhatItCannotCarry) {
  std::vector<TPartStampEntry> many(PartStampMaxParts + 1, Part("a.zip", "", 0));
  EXPECT_EQ(Message([&] { PartStampWrite(many, kRoom); }), "Too many parts: 17, at most 16");
  EXPECT_EQ(Message([] { PartStampWrite({Part(std::string(65, 'x'), "", 0)}, kRoom); }),
            "The part name " + std::string(65, 'x') + " is longer than 64 bytes");
  EXPECT_EQ(Message([] { PartStampWrite({Part("..\\MirpanN1.zip", "", 0)}, kRoom); }),
            "The part name ..\\MirpanN1.zip is not a plain file name");
  EXPECT_EQ(Message([] {
              PartStampWrite({Part("A.zip", "", 0), Part("a.ZIP", "", 0)}, kRoom);
            }),
            "The part name a.ZIP is given twice");
  EXPECT_EQ(Message([] { PartStampWrite({Part("a.zip", "", 0)}, 60); }),
            "The stamp needs 71 bytes, the program has room for 60");
}

TEST(PartStamp, DamagedStampIsRefused) {
  const std::vector<uint8_t> good = PartStampWrite({Part("a.zip", "x", 1)}, 200);
  std::vector<uint8_t> newer = good, longer = good, trailing = good, badName = good;
  newer[8] = 2;
  longer[12] += 1;  // the entries claim a byte more than they hold
  trailing[150] = 1;
  badName[18] = '/';
  EXPECT_EQ(Message([&] { PartStampRead(newer.data(), newer.size()); }),
            "The part stamp has version 2, expected 1");
  for (const std::vector<uint8_t>* bad : {&longer, &trailing, &badName})
    EXPECT_EQ(Message([&] { PartStampRead(bad->data(), bad->size()); }),
              "The part stamp is damaged");
}

TEST(PartStamp, CheckWantsTheWholePartAndNothingElse) {
  const TPartStampEntry stamp = Part("a.zip", "the maker's bytes", 0);
  TPartCheck check(stamp);
  check.Add("the maker's ", 12);
  EXPECT_FALSE(check.Matches());
  check.Add("bytes", 5);
  EXPECT_TRUE(check.Matches());
  check.Add("!", 1);
  EXPECT_TRUE(check.TooLong());
  EXPECT_FALSE(check.Matches());

  check.Restart();
  check.Add("the maker's bytez", 17);  // same size, one byte changed
  EXPECT_FALSE(check.Matches());
}

TEST(PartStamp, RoomNeededAddsTheLargestPartInDownloadMode) {
  std::vector<TPartStampEntry> parts = {Part("1.zip", "", 700), Part("2.zip", "", 300)};
  parts[0].Size = 500;
  parts[1].Size = 200;
  EXPECT_EQ(PartStampRoomNeeded(parts, false), 1000u);
  EXPECT_EQ(PartStampRoomNeeded(parts, true), 1500u);
}

// An archive of the archiver's tests, whose .expect file lists the files it holds.
std::string TestArchive(const std::string& name) {
  const char* binary = std::getenv("MIRPAN_BINARY_DIR");
#ifdef _WIN32
  return std::string("Z:") + (binary ? binary : "") + "/zip-archives/" + name;  // Wine's Unix root
#else
  return std::string(binary ? binary : "") + "/zip-archives/" + name;
#endif
}

TEST(SetUpStamp, DescribesAPartFromItsBytesAndItsDirectory) {
  const TPartStampEntry part = DescribePart(TestArchive("plain.zip"));
  std::ifstream zip(TestArchive("plain.zip"), std::ios::binary);
  const std::string bytes(std::istreambuf_iterator<char>(zip), {});
  uint64_t unpacked = 0;
  std::ifstream expect(TestArchive("plain.expect"));
  for (std::string line; std::getline(expect, line);) {
    std::istringstream fields(line);
    std::string kind, name;
    uint64_t size = 0;
    if (fields >> kind >> name >> size && kind == "file") unpacked += size;
  }
  EXPECT_EQ(part.Name, "plain.zip");
  EXPECT_EQ(part.Size, bytes.size());
  EXPECT_EQ(part.Sha256, Part("", bytes, 0).Sha256);
  EXPECT_GT(unpacked, 0u);
  EXPECT_EQ(part.UnpackedSize, unpacked);
  EXPECT_NE(Message([] {
              DescribePart(TestArchive("plain.expect"));
            }).find("plain.expect does not open as a ZIP archive"),
            std::string::npos);
}

}  // namespace
