#include <gtest/gtest.h>

#include <string>

#include "stamp/Sha256.h"

namespace {

// Each case runs with the processor's SHA instructions (where it has them) and with the
// portable rounds.
const bool kPaths[] = {true, false};

std::string HexOf(const std::string& text, bool processor) {
  TSha256 hash(processor);
  hash.Update(text.data(), text.size());
  return Sha256Hex(hash.Final());
}

TEST(Sha256, KnownVectors) {
  for (bool processor : kPaths) {
    EXPECT_EQ(HexOf("", processor),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(HexOf("abc", processor),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // 56 bytes: the length no longer fits the first block, so the padding takes a second one.
    EXPECT_EQ(HexOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", processor),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  }
}

// A million "a" fed in pieces of every size from 1 to 130 bytes, so that the pieces end at
// every place inside a block and straddle blocks, then the same object used again.
TEST(Sha256, StreamingMatchesWholeAndStartsOverAfterFinal) {
  const std::string million(1000000, 'a');
  for (bool processor : kPaths) {
    TSha256 hash(processor);
    for (size_t at = 0, piece = 1; at < million.size(); at += piece, piece = piece % 130 + 1)
      hash.Update(million.data() + at, std::min(piece, million.size() - at));
    EXPECT_EQ(Sha256Hex(hash.Final()),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    hash.Update("abc", 3);
    EXPECT_EQ(Sha256Hex(hash.Final()),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  }
}

}  // namespace
