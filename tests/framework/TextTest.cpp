#include <gtest/gtest.h>

#include "framework/Text.h"

TEST(Text, HebrewRoundTripsThroughAllThreeForms) {
  const std::string cp1255 = "\xee\xe9\xf8\xf4\xef 3.12";  // "מירפן 3.12"
  const std::u16string u16 = u"\u05DE\u05D9\u05E8\u05E4\u05DF 3.12";
  EXPECT_EQ(u16, U16FromCp1255(cp1255));
  EXPECT_EQ(cp1255, Cp1255FromU16(u16));
  EXPECT_EQ("\xd7\x9e\xd7\x99\xd7\xa8\xd7\xa4\xd7\x9f 3.12", Utf8FromCp1255(cp1255));
  EXPECT_EQ(cp1255, Cp1255FromUtf8(Utf8FromCp1255(cp1255)));
}

TEST(Text, UnmappableAndMalformedInputDegradeInsteadOfFailing) {
  EXPECT_EQ("a?b", Cp1255FromU16(u"a\u4E2Db"));               // no windows-1255 form
  EXPECT_EQ(u"\uFFFDx", U16FromUtf8("\xC3x"));                // lead byte without its tail
  EXPECT_EQ(u"\uFFFD\uFFFD", U16FromUtf8("\xE2\x82"));        // cut short: one per byte
  EXPECT_EQ(u"\U0001F600", U16FromUtf8("\xF0\x9F\x98\x80"));  // beyond the BMP
  EXPECT_EQ("\xF0\x9F\x98\x80", Utf8FromU16(u"\U0001F600"));
}
