// What a resumed download needs of the client: the Range and If-Range of the request head,
// byte for byte, and the check of a 206 before its body is appended.
#include <gtest/gtest.h>

#include "CannedIOHandler.h"
#include "http/NetContentRange.h"
#include "http/NetException.h"
#include "http/NetHTTP.h"

namespace {

TEST(Resume, RangeRequestCarriesTheFirstRepliesValidator) {
  // The first reply is cut after two of its four bytes.
  TCannedIOHandler transport(
      "HTTP/1.1 200 OK\r\nETag: \"v1\"\r\nLast-Modified: Tue, 08 Dec 2026 10:00:00 GMT\r\n"
      "Content-Range: bytes 0-3/4\r\nContent-Length: 4\r\n\r\nab");
  transport.CloseAtEnd = false;
  TNetHTTP http;
  http.SetIOHandler(&transport);
  http.ReadTimeout = 1;
  TNetMemoryStream stream;
  EXPECT_THROW(http.Get("http://h/uploads/p.zip", stream), ENetReadTimeout);
  const std::string validator = http.Response().ResumeValidator();
  EXPECT_EQ(validator, "\"v1\"");
  EXPECT_FALSE(http.Response().ResumesAt(0, 4)) << "a 200 continues nothing, whatever its range";

  transport.Incoming =
      "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 2-3/4\r\nContent-Length: 2\r\n\r\ncd";
  transport.Offset = 0;
  transport.Sent.clear();
  http.Request().ContentRangeStart = 2;
  http.Request().IfRange = validator;
  stream.SetPosition(2);
  http.Get("http://h/uploads/p.zip", stream);
  EXPECT_EQ(transport.Sent,
            "GET /uploads/p.zip HTTP/1.1\r\nHost: h\r\nAccept: text/html, */*\r\n"
            "User-Agent: Mozilla/3.0 (compatible; Mirpan SetUp)\r\nRange: bytes=2-\r\n"
            "If-Range: \"v1\"\r\n\r\n");
  EXPECT_TRUE(http.Response().ResumesAt(2, 4));
  EXPECT_EQ(stream.DataString(), "abcd");

  // Without an ETag the date stands in, as the server wrote it; without both, nothing.
  TNetResponseHeaderInfo dated;
  dated.RawHeaders.Add("Last-Modified: Tue, 08 Dec 2026 10:00:00 GMT");
  dated.ProcessHeaders();
  EXPECT_EQ(dated.ResumeValidator(), "Tue, 08 Dec 2026 10:00:00 GMT");
  dated.RawHeaders.Clear();
  dated.ProcessHeaders();
  EXPECT_EQ(dated.ResumeValidator(), "");
}

TEST(Resume, ContentRangeMustCompleteTheKnownTotal) {
  struct TCase {
    const char* Text;
    bool Completes;
  };
  const TCase cases[] = {
      {"bytes 100-199/200", true},
      {"Bytes 100-199/200", true},
      {"bytes 100-150/200", false},  // ends short of the total
      {"bytes 0-199/200", false},    // starts over
      {"bytes 100-199/300", false},  // the file changed size
      {"bytes 100-199/*", false},
      {"bytes */200", false},
      {"bytes 100-199/199", false},
      {"items 100-199/200", false},
      {"bytes 100-199/200x", false},
      {"bytes -100-199/200", false},
      {"", false},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(NetContentRangeCompletes(c.Text, 100, 200), c.Completes) << c.Text;
  }
  TNetContentRange range;
  ASSERT_TRUE(NetParseContentRange("bytes 0-0/*", range));
  EXPECT_EQ(range.Complete, -1);
}

}  // namespace
