// The connection and the client over a canned transport: exact block and event sequences
// and body framing without any timing of a real network.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "CannedIOHandler.h"
#include "http/NetException.h"
#include "http/NetHTTP.h"
#include "http/NetTCPConnection.h"

namespace {

std::string Pattern(size_t n, size_t from = 0) {
  std::string data(n, '\0');
  for (size_t i = 0; i < n; ++i) data[i] = static_cast<char>((from + i) % 251);
  return data;
}

// Records the work events of a component as text lines.
struct TEventLog {
  explicit TEventLog(TNetComponent& component) {
    component.OnWorkBegin = [this](TNetComponent*, TWorkMode, int32_t max) {
      Lines.push_back("begin " + std::to_string(max));
    };
    component.OnWork = [this](TNetComponent*, TWorkMode, int32_t count) {
      Lines.push_back("work " + std::to_string(count));
    };
    component.OnWorkEnd = [this](TNetComponent*, TWorkMode) { Lines.push_back("end"); };
  }
  std::vector<std::string> Lines;
};

struct TCannedConnection {
  explicit TCannedConnection(std::string incoming, size_t maxPiece = 1 << 20)
      : Transport(std::move(incoming), maxPiece) {
    Connection.SetIOHandler(&Transport);
    Transport.ConnectTo("", 0, "", 0, 0, 0, 0);
  }
  TCannedIOHandler Transport;
  TNetTCPConnection Connection;
};

TEST(ReadToStream, BlocksAfterTheFirstPieceGiveOneEventEach) {
  TCannedConnection canned(Pattern(100000), 1000);
  TNetTCPConnection& connection = canned.Connection;
  connection.FillInputBuffer();      // the piece that came with the head
  canned.Transport.MaxPiece = 7000;  // the network's division must not matter
  TEventLog events(connection);

  TNetMemoryStream stream;
  stream.Write("0123456789abcdefghij", 20);
  stream.SetPosition(10);
  connection.ReadToStream(stream, 100000);

  EXPECT_EQ(events.Lines,
            (std::vector<std::string>{"begin 100000", "work 1000", "work 33768", "work 66536",
                                      "work 99304", "work 100000", "end"}));
  EXPECT_EQ(stream.Size(), 100010);
  EXPECT_EQ(stream.DataString().substr(0, 10), "0123456789");
  EXPECT_EQ(stream.DataString().substr(10), Pattern(100000));
  EXPECT_EQ(connection.WorkInfo(wkRead).WorkLevel, 0);
}

TEST(ReadToStream, ShortCountedBodyRaisesAndKeepsEveryByte) {
  TCannedConnection canned(Pattern(50000), 4096);
  TEventLog events(canned.Connection);
  TNetMemoryStream stream;
  try {
    canned.Connection.ReadToStream(stream, 100000);
    FAIL() << "a body short of its length must not pass as complete";
  } catch (const ENetConnClosedGracefully& e) {
    EXPECT_EQ(e.Message(), "Connection Closed Gracefully.");
  }
  EXPECT_EQ(stream.DataString(), Pattern(50000));
  EXPECT_EQ(events.Lines.back(), "end");
}

TEST(ReadToStream, UntilCloseTakesTheLastPieceWithoutEvent) {
  TCannedConnection canned(Pattern(40000), 8192);
  TEventLog events(canned.Connection);
  TNetMemoryStream stream;
  canned.Connection.ReadToStream(stream, -1, true);
  EXPECT_EQ(stream.DataString(), Pattern(40000));
  EXPECT_EQ(events.Lines, (std::vector<std::string>{"begin 0", "work 32768", "end"}));
  EXPECT_FALSE(canned.Connection.IsConnected());
}

TEST(ReadToStream, RaisingHandlerStillClosesThePhaseAndCutsTheStream) {
  TCannedConnection canned(Pattern(100000));
  canned.Connection.OnWork = [](TNetComponent*, TWorkMode, int32_t count) {
    if (count > 40000) throw Exception("cancelled");
  };
  TNetMemoryStream stream;
  EXPECT_THROW(canned.Connection.ReadToStream(stream, 100000), Exception);
  EXPECT_EQ(canned.Connection.WorkInfo(wkRead).WorkLevel, 0);
  EXPECT_EQ(stream.Size(), stream.Position());
  EXPECT_EQ(stream.DataString(), Pattern(static_cast<size_t>(stream.Size())));
}

// A whole response through the client, the server's bytes arriving in small pieces.
std::string CannedGet(const std::string& response, size_t piece, TNetMemoryStream& stream,
                      std::string* sent = nullptr) {
  TCannedIOHandler transport(response, piece);
  TNetHTTP http;
  http.SetIOHandler(&transport);
  http.Get("http://files.example/uploads/MirpanN1.zip", stream);
  if (sent != nullptr) *sent = transport.Sent;
  return stream.DataString();
}

TEST(CannedHTTP, FramingSurvivesAnySplit) {
  const std::string chunked =
      "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
      "5\r\nhello\r\n1a;x=y\r\nabcdefghijklmnopqrstuvwxyz\r\n0\r\nX-Trailer: 1\r\n\r\n";
  const std::string counted = "HTTP/1.1 200 OK\r\ncontent-length:7\r\n\r\npayload";
  for (size_t piece : {1, 2, 3, 7, 4096}) {
    SCOPED_TRACE(piece);
    TNetMemoryStream a, b;
    std::string sent;
    EXPECT_EQ(CannedGet(chunked, piece, a, &sent), "helloabcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(
        sent,
        "GET /uploads/MirpanN1.zip HTTP/1.1\r\nHost: files.example\r\n"
        "Accept: text/html, */*\r\nUser-Agent: Mozilla/3.0 (compatible; Mirpan SetUp)\r\n\r\n");
    EXPECT_EQ(CannedGet(counted, piece, b), "payload");
  }
}

// Head and body in one go: the head's receive brings at most one block with it, and a
// body receive that brings many still counts them one by one.
TEST(CannedHTTP, BodyArrivingAtOnceCountsBlockByBlock) {
  const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n";
  TCannedIOHandler transport(head + Pattern(100000));
  TNetHTTP http;
  http.SetIOHandler(&transport);
  TEventLog events(http);
  TNetMemoryStream stream;
  http.Get("http://files.example/uploads/MirpanN1.zip", stream);
  std::vector<std::string> expected{"begin 100000"};
  for (size_t count = 32768 - head.size(); count < 100000; count += 32768) {
    expected.push_back("work " + std::to_string(count));
  }
  expected.insert(expected.end(), {"work 100000", "end"});
  EXPECT_EQ(events.Lines, expected);
  EXPECT_EQ(stream.DataString(), Pattern(100000));
}

TEST(CannedHTTP, HeadCutByTheCloseIsUndefined) {
  TNetMemoryStream stream;
  try {
    CannedGet("HTTP/1.1 200 OK\r\nContent-Length: 3\r\n", 4096, stream);
    FAIL();
  } catch (const ENetException& e) {
    EXPECT_EQ(e.Message(), "Undefined situation");
  }
}

TEST(CannedHTTP, HugeLengthOfAnErrorBodyTakesNoMemoryAhead) {
  TNetMemoryStream stream;
  try {
    CannedGet("HTTP/1.1 404 Not Found\r\nContent-Length: 2000000000\r\n\r\nshort", 4096, stream);
    FAIL();
  } catch (const ENetHTTPProtocolException& e) {
    EXPECT_EQ(e.ErrorCode(), 404);
    EXPECT_EQ(e.ErrorMessage(), "short");
  }
  EXPECT_EQ(stream.Size(), 0);
}

TEST(CannedHTTP, FifteenthRedirectIsReturnedUnchanged) {
  std::string responses;
  for (int i = 0; i < 15; ++i) {
    responses += "HTTP/1.1 302 Found\r\nLocation: /r" + std::to_string(i) +
                 "\r\nContent-Length: 2\r\n\r\nxx";
  }
  TCannedIOHandler transport(responses, 4096);
  transport.CloseAtEnd = false;
  TNetHTTP http;
  http.HandleRedirects = true;
  http.SetIOHandler(&transport);
  TNetMemoryStream stream;
  http.Get("http://h/start", stream);
  EXPECT_EQ(http.Response().ResponseCode(), 302);
  EXPECT_EQ(http.Response().Location, "/r14");
  EXPECT_EQ(stream.Size(), 0);
  EXPECT_NE(transport.Sent.find("GET /r13 HTTP/1.1\r\n"), std::string::npos);
  EXPECT_EQ(transport.Sent.find("GET /r14 HTTP/1.1\r\n"), std::string::npos);
  EXPECT_EQ(http.RedirectCount(), 0);
}

TEST(CannedHTTP, UploadAndProxyRequestLines) {
  TCannedIOHandler transport("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", 4096);
  transport.CloseAtEnd = false;
  TNetHTTP http;
  http.SetIOHandler(&transport);
  TNetMemoryStream source;
  source.Write("abc", 3);
  http.PerformRequest(mtPost, "http://h:8080/form", &source, nullptr);
  EXPECT_EQ(transport.Sent,
            "POST /form HTTP/1.1\r\nContent-Length: 3\r\nHost: h:8080\r\n"
            "Accept: text/html, */*\r\nUser-Agent: Mozilla/3.0 (compatible; Mirpan SetUp)\r\n"
            "\r\nabc");

  TCannedIOHandler viaProxy("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok", 4096);
  TNetHTTP proxied;
  proxied.ProxyParams.SetProxyServer("proxy.example");
  proxied.ProxyParams.SetProxyPort(3128);
  proxied.SetIOHandler(&viaProxy);
  TNetMemoryStream stream;
  proxied.Get("http://h/a/b.zip#part", stream);
  EXPECT_EQ(proxied.Host, "proxy.example");
  EXPECT_EQ(proxied.Port, 3128);
  EXPECT_EQ(viaProxy.Sent.substr(0, viaProxy.Sent.find("\r\n")),
            "GET http://h:80/a/b.zip HTTP/1.1");
  EXPECT_EQ(stream.DataString(), "ok");
}

TEST(CannedHTTP, BasicAuthenticationRetriesWithCredentials) {
  const std::string responses =
      "HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"r\"\r\n"
      "Content-Length: 4\r\n\r\ndeny"
      "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok";
  TCannedIOHandler transport(responses, 4096);
  transport.CloseAtEnd = false;
  TNetHTTP http;
  http.HTTPOptions |= hoInProcessAuth;
  http.SetIOHandler(&transport);
  TNetMemoryStream stream;
  http.Get("http://user:pass@h/secret", stream);
  EXPECT_EQ(stream.DataString(), "ok");
  EXPECT_NE(transport.Sent.find("Authorization: Basic dXNlcjpwYXNz\r\n"), std::string::npos);

  // Without in-process authentication the 401 ends the request.
  TCannedIOHandler again(responses, 4096);
  TNetHTTP plain;
  plain.SetIOHandler(&again);
  TNetMemoryStream ignored;
  EXPECT_THROW(plain.Get("http://h/secret", ignored), ENetHTTPProtocolException);
}

TEST(CannedHTTP, ChunkedFramingWinsOverContentLength) {
  TNetMemoryStream stream;
  EXPECT_EQ(CannedGet("HTTP/1.1 200 OK\r\nContent-Length: 10\r\nTransfer-Encoding: Chunked\r\n\r\n"
                      "5\r\nhello\r\n0\r\n\r\n",
                      4096, stream),
            "hello");
  // A size line that is no size must not end the body as if it were complete.
  TNetMemoryStream cut;
  try {
    CannedGet("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\nzz\r\n", 4096,
              cut);
    FAIL();
  } catch (const ENetException& e) {
    EXPECT_EQ(e.Message(), "Invalid chunk size line: zz");
  }
}

TEST(CannedHTTP, InterimRepliesBeforeTheFinalOneAreSkipped) {
  TNetMemoryStream stream;
  EXPECT_EQ(
      CannedGet("HTTP/1.1 102 Processing\r\n\r\nHTTP/1.1 103 Early Hints\r\n"
                "Link: </a.css>; rel=preload\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok",
                3, stream),
      "ok");
  TNetMemoryStream switched;
  EXPECT_THROW(CannedGet("HTTP/1.1 101 Switching Protocols\r\n\r\n", 4096, switched),
               ENetHTTPProtocolException);
}

TEST(CannedHTTP, OtherSchemesAreRefusedBeforeAnythingIsSent) {
  TCannedIOHandler transport(
      "HTTP/1.1 302 Found\r\nLocation: ftp://h/x\r\nContent-Length: 0\r\n\r\n");
  TNetHTTP http;
  http.HandleRedirects = true;
  http.SetIOHandler(&transport);
  TNetMemoryStream stream;
  try {
    http.Get("ftp://h/x", stream);
    FAIL();
  } catch (const ENetUnknownProtocol& e) {
    EXPECT_EQ(e.Message(), "Protocol ftp is not supported");
  }
  EXPECT_EQ(transport.Connects, 0);
  // Nor does a redirect lead there.
  EXPECT_THROW(http.Get("http://h/a", stream), ENetUnknownProtocol);
  EXPECT_EQ(transport.Sent.find("GET /x"), std::string::npos);
}

TEST(CannedHTTP, HeadReplyHasNoBody) {
  TCannedIOHandler transport(
      "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
  transport.CloseAtEnd = false;
  TNetHTTP http;
  http.SetIOHandler(&transport);
  TNetMemoryStream stream;
  http.PerformRequest(mtHead, "http://h/a", nullptr, &stream);
  EXPECT_EQ(stream.Size(), 0);
  http.Get("http://h/b", stream);
  EXPECT_EQ(stream.DataString(), "ok");
}

TEST(CannedHTTP, Http10KeepsTheConnectionOnlyWhenTheServerSaysSo) {
  TCannedIOHandler transport(
      "HTTP/1.0 200 OK\r\nConnection: keep-alive\r\nContent-Length: 2\r\n\r\nok"
      "HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nno");
  transport.CloseAtEnd = false;
  TNetHTTP http;
  http.ProtocolVersion = pv1_0;
  http.SetIOHandler(&transport);
  TNetMemoryStream stream;
  http.Get("http://h/a", stream);
  EXPECT_EQ(transport.Sent,
            "GET /a HTTP/1.0\r\nConnection: keep-alive\r\nHost: h\r\nAccept: text/html, */*\r\n"
            "User-Agent: Mozilla/3.0 (compatible; Mirpan SetUp)\r\n\r\n");
  EXPECT_TRUE(http.IsConnected());
  http.Get("http://h/b", stream);
  EXPECT_FALSE(http.IsConnected());
  EXPECT_EQ(transport.Connects, 1);
}

}  // namespace
