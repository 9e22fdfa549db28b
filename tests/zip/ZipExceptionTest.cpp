// Message texts of the archiver's exception: table, mapping and the text around them.
#include <gtest/gtest.h>

#include "zip/ZipArchiver.h"

namespace {

TEST(ZipException, TextCarriesNamePrefixMessageAndFiveDigits) {
  TZipArchiver zip;
  zip.Name = "zipArchiver";
  EZipException named(12, &zip, {"a.zip"});
  EXPECT_EQ(named.Message(), "zipArchiver: File \"a.zip\" not found - Native error: 00012");
  EXPECT_EQ(named.ErrorCode(), 6);
  EXPECT_EQ(named.NativeError(), 12);
  EXPECT_STREQ(named.ClassName(), "EZipException");

  zip.Name.clear();
  EXPECT_EQ(EZipException(12, &zip, {"a.zip"}).Message(),
            "File \"a.zip\" not found - Native error: 00012");
  EXPECT_EQ(EZipException(59).Message(), "MakeSFX error - Native error: 00059");
  EXPECT_EQ(EZipException(123456).Message(), "Unknown error - Native error: 123456");
}

TEST(ZipException, UnknownNativeErrorsGiveMessageZero) {
  for (int native : {60, 66, 100, -1}) {
    EXPECT_EQ(EZipException(native).ErrorCode(), 0) << native;
    EXPECT_EQ(EZipException(native).Message().rfind("Unknown error", 0), 0u) << native;
  }
}

TEST(ZipException, MappingOfEveryRow) {
  // Message number for native errors 0..59.
  const int expected[60] = {0,  1,  1,  1,  1,  2,  3,  1,  4, 5,  5,  6,  6,  7,  7,
                            6,  1,  8,  6,  9,  10, 1,  11, 9, 1,  11, 13, 14, 15, 5,
                            6,  6,  16, 12, 17, 18, 19, 20, 6, 21, 22, 23, 6,  23, 24,
                            24, 25, 26, 27, 28, 29, 30, 31, 6, 6,  32, 33, 27, 33, 33};
  for (int native = 0; native < 60; ++native)
    EXPECT_EQ(ZipMessageNumber(native), expected[native]) << native;
}

TEST(ZipException, MessagesNeedingArgumentsAreFilled) {
  EXPECT_EQ(EZipException(19, nullptr, {"D:\\x.txt"}).Message(),
            "Cannot create file \"D:\\x.txt\" - Native error: 00019");
  EXPECT_EQ(EZipException(36, nullptr, {"x"}).Message(),
            "Cannot create output file. Probably file is locked by another process. "
            "FileName = 'x'. - Native error: 00036");
  EXPECT_EQ(EZipException(20, nullptr, {"D:\\dir\\"}).Message(),
            "Cannot create directory \"D:\\dir\\\" - Native error: 00020");
  EXPECT_EQ(EZipException(34, nullptr, {"10", "20"}).Message(),
            "Invalid compressed size, rfs.size = 10, count = 20 - Native error: 00034");
  EXPECT_EQ(EZipException(zeMethodUnsupported, nullptr, {"12", "BZip2"}).Message(),
            "compression method 12 (BZip2) is not supported - Native error: 00061");
}

}  // namespace
