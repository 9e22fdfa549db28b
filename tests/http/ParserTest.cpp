// The parsers and composers of the client as plain functions: no socket involved.
#include <gtest/gtest.h>

#include "http/NetAuthentication.h"
#include "http/NetBuffer.h"
#include "http/NetException.h"
#include "http/NetHTTP.h"
#include "http/NetHTTPHeaderInfo.h"
#include "http/NetHeaderList.h"
#include "http/NetStack.h"
#include "http/NetURI.h"

namespace {

struct TUriParts {
  const char* Text;
  const char* Protocol;
  const char* Host;
  const char* Port;
  const char* Path;
  const char* Document;
  const char* Params;
  const char* Bookmark;
};

TEST(NetURI, SplitsTheFormsTheClientMeets) {
  const TUriParts cases[] = {
      {"http://files.example/uploads/MirpanN1.zip", "http", "files.example", "", "/uploads/",
       "MirpanN1.zip", "", ""},
      {"http://h:8080/a/b.zip", "http", "h", "8080", "/a/", "b.zip", "", ""},
      {"http://h", "http", "h", "", "/", "", "", ""},
      {"http:\\\\h\\a\\b.zip", "http", "h", "", "/a/", "b.zip", "", ""},
      {"http://h/a/x.cgi?q=1/2#top", "http", "h", "", "/a/", "x.cgi", "?q=1/2", "top"},
      {"http://h/p/doc#frag", "http", "h", "", "/p/", "doc", "", "frag"},
      {"http://h/run=1", "http", "h", "", "/", "run", "=1", ""},
      {"/rel/path/file.txt", "", "", "", "/rel/path/", "file.txt", "", ""},
      {"file.txt", "", "", "", "", "file.txt", "", ""},
  };
  for (const TUriParts& c : cases) {
    SCOPED_TRACE(c.Text);
    TNetURI uri(c.Text);
    EXPECT_EQ(uri.Protocol, c.Protocol);
    EXPECT_EQ(uri.Host, c.Host);
    EXPECT_EQ(uri.Port, c.Port);
    EXPECT_EQ(uri.Path, c.Path);
    EXPECT_EQ(uri.Document, c.Document);
    EXPECT_EQ(uri.Params, c.Params);
    EXPECT_EQ(uri.Bookmark, c.Bookmark);
  }
}

TEST(NetURI, UserPartAndBuilding) {
  TNetURI uri("http://ann:secret@h:81/d/f?x=1#b");
  EXPECT_EQ(uri.Username, "ann");
  EXPECT_EQ(uri.Password, "secret");
  EXPECT_EQ(uri.GetFullURI(), "http://ann:secret@h:81/d/f?x=1#b");
  EXPECT_EQ(uri.GetFullURI(false, false), "http://h:81/d/f?x=1");
  TNetURI noUser("http://:pw@h/");
  EXPECT_EQ(noUser.Username, "");
  EXPECT_EQ(noUser.Password, "");

  TNetURI relative("/a/b");
  EXPECT_THROW(relative.GetFullURI(), ENetURIException);
  relative.Protocol = "http";
  try {
    relative.GetFullURI();
    FAIL();
  } catch (const ENetURIException& e) {
    EXPECT_EQ(e.Message(), "Host field is empty");
  }
}

TEST(NetURI, MergePathAndCutToken) {
  EXPECT_EQ(TNetURI::MergePath("/a/b/", "/uploads/"), "/uploads/");
  EXPECT_EQ(TNetURI::MergePath("/a/b/", "c/"), "/a/b/c/");
  EXPECT_EQ(TNetURI::MergePath("/a/b/", "../c/"), "/a/c/");
  EXPECT_EQ(TNetURI::MergePath("/a/", "./"), "/a/");
  EXPECT_EQ(TNetURI::MergePath("/", "../../x/"), "/x/");
  EXPECT_EQ(TNetURI::MergePath("/a/", ""), "/a/");

  std::string text = "a:b:c";
  EXPECT_EQ(CutToken(text, ":"), "a");
  EXPECT_EQ(text, "b:c");
  text = "abc";
  EXPECT_EQ(CutToken(text, ":"), "abc");
  EXPECT_EQ(text, "");
}

TEST(NetHeaderList, FindsUnfoldsAndSets) {
  TNetHeaderList list;
  list.Add("content-length:123");
  list.Add("X-Long: first");
  list.Add("\tsecond  ");
  list.Add(" third");
  list.Add("Set-Cookie: a=1");
  list.Add("Set-Cookie: b=2");
  EXPECT_EQ(list.GetValue("Content-Length"), "123");
  EXPECT_EQ(list.GetValue("x-long"), "first second third");
  EXPECT_EQ(list.GetValue("Missing"), "");
  EXPECT_EQ(list.Values("set-cookie"), (std::vector<std::string>{"a=1", "b=2"}));

  list.SetValue("X-Long", "short");  // replaced in place, continuation lines gone
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"content-length:123", "X-Long: short",
                                                    "Set-Cookie: a=1", "Set-Cookie: b=2"}));
  list.SetValue("Content-Length", "");
  EXPECT_EQ(list.Count(), 3u);
  list.SetValue("New", "v");
  EXPECT_EQ(list[3], "New: v");

  TNetHeaderList narrow(19);
  narrow.SetValue("Name", "aaaa bbbb cccc dddd");
  EXPECT_EQ(narrow.Lines(), (std::vector<std::string>{"Name: aaaa bbbb", " cccc dddd"}));
  EXPECT_EQ(narrow.GetValue("Name"), "aaaa bbbb cccc dddd");

  // A tab and 8-bit text may stand in a header value; no other control character may.
  EXPECT_FALSE(NetHasControlCharacter("a\tb \xE9~"));
  for (const char* bad : {"a\rb", "a\nb", "\x01", "\x1F", "a\x7F"}) {
    EXPECT_TRUE(NetHasControlCharacter(bad)) << bad;
  }
}

TEST(NetHTTPHeaderInfo, RequestComposeOrderAndCredentials) {
  TNetRequestHeaderInfo request;
  request.Host = "files.example";
  request.SetHeaders();
  EXPECT_EQ(request.RawHeaders.Lines(),
            (std::vector<std::string>{"Host: files.example", "Accept: text/html, */*",
                                      "User-Agent: Mozilla/3.0 (compatible; Mirpan SetUp)"}));

  request.Connection = "keep-alive";
  request.Referer = "http://r/";
  request.ContentRangeStart = 100;
  request.CustomHeaders.Add("X-Custom: 1");
  request.SetContentLength(7);
  request.Username = "user";
  request.Password = "pass";
  request.BasicAuthentication = true;
  request.SetHeaders();
  EXPECT_EQ(request.RawHeaders.Lines(),
            (std::vector<std::string>{"Connection: keep-alive", "Content-Length: 7", "X-Custom: 1",
                                      "Host: files.example", "Accept: text/html, */*",
                                      "Referer: http://r/",
                                      "User-Agent: Mozilla/3.0 (compatible; Mirpan SetUp)",
                                      "Range: bytes=100-", "Authorization: Basic dXNlcjpwYXNz"}));

  EXPECT_EQ(EncodeBase64(""), "");
  EXPECT_EQ(EncodeBase64("f"), "Zg==");
  EXPECT_EQ(EncodeBase64("fo"), "Zm8=");
  EXPECT_EQ(EncodeBase64("foo"), "Zm9v");
  EXPECT_EQ(EncodeBase64("\xff\xfe"), "//4=");
}

TEST(NetHTTPHeaderInfo, ResponseParse) {
  TNetResponseHeaderInfo response;
  EXPECT_EQ(response.ContentType, "text/html");
  response.RawHeaders.Add("Content-Length: 12a");
  response.RawHeaders.Add("Location: /next");
  response.RawHeaders.Add("Content-Range: bytes 10-19/100");
  response.RawHeaders.Add("WWW-Authenticate: Basic realm=\"x\"");
  response.RawHeaders.Add("Date: Sun, 06 Nov 1994 08:49:37 GMT");
  response.ProcessHeaders();
  EXPECT_EQ(response.ContentLength(), -1);
  EXPECT_FALSE(response.HasContentLength());
  EXPECT_EQ(response.Location, "/next");
  EXPECT_EQ(response.ContentRangeStart, 10);
  EXPECT_EQ(response.ContentRangeEnd, 19);
  EXPECT_EQ(response.WWWAuthenticate.Count(), 1u);
  EXPECT_EQ(NetFormatDate(response.Date), "Sun, 06 Nov 1994 08:49:37 GMT");

  response.RawHeaders.Clear();
  response.RawHeaders.Add("Content-Length: 2147483648");
  response.ProcessHeaders();
  EXPECT_FALSE(response.HasContentLength());
  EXPECT_EQ(response.ContentRangeStart, 0);
  EXPECT_EQ(NetParseDate("yesterday"), 0);
}

TEST(NetHTTP, StatusLineAndChunkSizes) {
  EXPECT_EQ(NetResponseCode("HTTP/1.1 404 Not Found"), 404);
  EXPECT_EQ(NetResponseCode("HTTP/1.0 200"), 200);
  EXPECT_EQ(NetResponseCode("HTTP/1.1   301   Moved"), 301);
  EXPECT_EQ(NetResponseCode("HTTP/1.1 OK"), -1);
  EXPECT_EQ(NetResponseCode("garbage"), -1);
  EXPECT_EQ(NetResponseCode(""), -1);

  TNetHTTPProtocolVersion version = pv1_1;
  EXPECT_TRUE(NetResponseVersion("HTTP/1.0 200 OK", version));
  EXPECT_EQ(version, pv1_0);
  EXPECT_FALSE(NetResponseVersion("HTTP/2 200", version));
  EXPECT_EQ(version, pv1_0);

  EXPECT_EQ(NetChunkSize("5"), 5);
  EXPECT_EQ(NetChunkSize("1a;x=y"), 0x1a);
  EXPECT_EQ(NetChunkSize("1A ; ext"), 0x1a);
  EXPECT_EQ(NetChunkSize("ff trailing"), 255);
  EXPECT_EQ(NetChunkSize("0"), 0);
  EXPECT_EQ(NetChunkSize("zz"), 0);
  EXPECT_EQ(NetChunkSize(""), 0);
  EXPECT_EQ(NetChunkSize("80000000"), 0);
  EXPECT_EQ(NetChunkSize("7fffffff"), 0x7fffffff);
  EXPECT_EQ(NetChunkSize("100000005"), 0) << "nine digits must not wrap round to 5";
  EXPECT_EQ(NetChunkSize("0000000005"), 5);
}

TEST(NetStack, AddressFormsAndErrorTexts) {
  uint32_t address = 0;
  EXPECT_TRUE(TNetStack::IsIP("10.1", &address));
  EXPECT_EQ(TNetStack::AddressText(address), "10.0.0.1");
  EXPECT_TRUE(TNetStack::IsIP("127.1.258", &address));
  EXPECT_EQ(TNetStack::AddressText(address), "127.1.1.2");
  EXPECT_TRUE(TNetStack::IsIP("4294967295", &address));
  EXPECT_EQ(TNetStack::AddressText(address), "255.255.255.255");
  EXPECT_TRUE(TNetStack::IsIP("192.168.0.1", &address));
  EXPECT_EQ(address, 0xC0A80001u);
  for (const char* bad : {"256.1.1.1", "4294967296", "1.2.3.4.5", "1..2", "", "a.b.c.d", "1.2.3.",
                          "-1", "1.16777216", "1.2.65536"}) {
    EXPECT_FALSE(TNetStack::IsIP(bad)) << bad;
  }
  EXPECT_THROW(TNetStack::TranslateAddress("host.example"), ENetInvalidIPAddress);

  EXPECT_EQ(TNetStack::SocketErrorText(10061), "Socket Error # 10061\r\nConnection refused.");
  EXPECT_EQ(TNetStack::SocketErrorText(11001), "Socket Error # 11001\r\nHost not found.");
  EXPECT_EQ(TNetStack::SocketErrorText(12345), "Socket Error # 12345\r\n");
}

TEST(NetManagedBuffer, CompactsAndCountsRemovals) {
  TNetManagedBuffer buffer;
  size_t removed = 0;
  buffer.OnBytesRemoved = [&removed](size_t n) { removed += n; };
  std::string data(40000, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i % 251);
  buffer.Append(data.data(), data.size());
  char piece[100];
  size_t taken = 0;
  while (taken + 100 <= 33000) {  // crosses the compaction threshold
    buffer.Remove(100, piece);
    ASSERT_EQ(std::string(piece, 100), data.substr(taken, 100));
    taken += 100;
  }
  EXPECT_EQ(buffer.Size(), data.size() - taken);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.Data()), 10), data.substr(taken, 10));
  EXPECT_EQ(removed, taken);
  EXPECT_THROW(buffer.Remove(buffer.Size() + 1), ENetNotEnoughDataInBuffer);
  buffer.Remove(buffer.Size());
  EXPECT_EQ(buffer.Size(), 0u);
}

}  // namespace
