// The client against real servers on loopback, started by run-with-servers: the fault
// server of FaultServer.py (its path picks the behaviour) and nginx with static files.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "http/NetException.h"
#include "http/NetHTTP.h"
#include "http/NetTCPClient.h"

namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::string Pattern(size_t n) {
  std::string data(n, '\0');
  for (size_t i = 0; i < n; ++i) data[i] = static_cast<char>(i % 251);
  return data;
}

class HttpClient : public ::testing::Test {
 protected:
  void SetUp() override {
    FaultPort = Env("MIRPAN_HTTP_FAULT_PORT");
    NginxPort = Env("MIRPAN_HTTP_NGINX_PORT");
    ASSERT_FALSE(FaultPort.empty()) << "run through tests/http/run-with-servers";
    Http.ReadTimeout = 5000;
    Http.OnStatus = [this](TNetComponent*, TNetStatus status, const std::string&) {
      if (status == stConnected) ++Connects;
    };
  }

  std::string Fault(const std::string& path) { return "http://127.0.0.1:" + FaultPort + path; }
  std::string Nginx(const std::string& path) { return "http://127.0.0.1:" + NginxPort + path; }

  // The head of the last request the fault server received, byte for byte.
  std::string LastRequest() {
    std::string path = Env("MIRPAN_HTTP_LOG_DIR") + "/last-request";
#ifdef _WIN32
    path = "Z:" + path;
#endif
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
  }

  std::string ExpectedHead(const std::string& path) {
    return "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + FaultPort +
           "\r\nAccept: text/html, */*\r\n"
           "User-Agent: Mozilla/3.0 (compatible; Mirpan SetUp)\r\n\r\n";
  }

  std::string ConnectionId() { return Http.Response().RawHeaders.GetValue("X-Conn"); }

  std::string FetchText(const std::string& url) {
    TNetMemoryStream stream;
    Http.Get(url, stream);
    return stream.DataString();
  }

  std::string FaultPort;
  std::string NginxPort;
  TNetHTTP Http;
  int Connects = 0;
};

TEST_F(HttpClient, LengthBodiesAndTheExactRequestHead) {
  EXPECT_EQ(FetchText(Fault("/len/5")), Pattern(5));
  EXPECT_EQ(LastRequest(), ExpectedHead("/len/5"));
  const std::string first = ConnectionId();

  // Content-Length 0: no events, the stream untouched.
  int events = 0;
  Http.OnWorkBegin = [&events](TNetComponent*, TWorkMode, int32_t) { ++events; };
  TNetMemoryStream stream;
  stream.Write("prefix", 6);
  Http.Get(Fault("/len/0"), stream);
  EXPECT_EQ(stream.DataString(), "prefix");
  EXPECT_EQ(events, 0);

  // Appended at the position of the call, the rest of the stream cut.
  TNetMemoryStream positioned;
  positioned.Write("0123456789abcdefghij", 20);
  positioned.SetPosition(10);
  Http.Get(Fault("/len/100000"), positioned);
  EXPECT_EQ(positioned.Size(), 100010);
  EXPECT_EQ(positioned.DataString().substr(0, 10), "0123456789");
  EXPECT_TRUE(positioned.DataString().substr(10) == Pattern(100000));

  EXPECT_EQ(ConnectionId(), first) << "HTTP/1.1 without close keeps the connection";
  EXPECT_EQ(Connects, 1);
}

TEST_F(HttpClient, ChunkedBodiesWithAndWithoutExtensions) {
  EXPECT_EQ(FetchText(Fault("/chunked/5")), Pattern(5));
  EXPECT_TRUE(FetchText(Fault("/chunked/3,40000,7")) == Pattern(40010));
  EXPECT_EQ(FetchText(Fault("/chunkext")), Pattern(26));
  // The framing was consumed exactly: the same connection serves the next request.
  const std::string id = ConnectionId();
  EXPECT_EQ(FetchText(Fault("/len/3")), Pattern(3));
  EXPECT_EQ(ConnectionId(), id);
}

TEST_F(HttpClient, BodyUntilTheServerCloses) {
  std::vector<int32_t> begins;
  Http.OnWorkBegin = [&begins](TNetComponent*, TWorkMode, int32_t max) { begins.push_back(max); };
  EXPECT_TRUE(FetchText(Fault("/close/70000")) == Pattern(70000));
  EXPECT_EQ(begins, std::vector<int32_t>{0});
  EXPECT_FALSE(Http.IsConnected());
  EXPECT_EQ(FetchText(Fault("/len/4")), Pattern(4));
  EXPECT_EQ(Connects, 2);
}

TEST_F(HttpClient, ErrorStatusesAndRedirects) {
  TNetMemoryStream stream;
  try {
    Http.Get(Fault("/404"), stream);
    FAIL() << "404 must raise";
  } catch (const ENetHTTPProtocolException& e) {
    EXPECT_EQ(e.Message(), "HTTP/1.1 404 Not Found");
    EXPECT_EQ(e.ErrorCode(), 404);
    EXPECT_EQ(e.ErrorMessage(), "no such part");
  }
  EXPECT_EQ(stream.Size(), 0);

  try {
    Http.Get(Fault("/302"), stream);
    FAIL() << "a redirect is an error by default";
  } catch (const ENetHTTPProtocolException& e) {
    EXPECT_EQ(e.Message(), "HTTP/1.1 302 Found");
    EXPECT_EQ(e.ErrorCode(), 302);
  }
  try {
    Http.Get(Fault("/located"), stream);
    FAIL() << "a 200 with Location is a redirect";
  } catch (const ENetHTTPProtocolException& e) {
    EXPECT_EQ(e.ErrorCode(), 200);
  }
  EXPECT_EQ(stream.Size(), 0);
  EXPECT_EQ(Connects, 1) << "complete error responses leave the connection usable";

  Http.HandleRedirects = true;
  EXPECT_EQ(FetchText(Fault("/302")), Pattern(10));
  EXPECT_EQ(LastRequest(), ExpectedHead("/len/10"));

  EXPECT_EQ(FetchText(Fault("/continue")), "final");
  EXPECT_EQ(Http.Response().ResponseCode(), 200);
}

// Servers that never stop sending: the head is refused past its bound, an error body is
// kept up to its bound for the message; either way the connection is dropped.
TEST_F(HttpClient, EndlessAnswersEndAtTheirBoundsAndDropTheConnection) {
  TNetMemoryStream stream;
  for (const char* path : {"/flood/headers", "/flood/continue"}) {
    SCOPED_TRACE(path);
    try {
      Http.Get(Fault(path), stream);
      FAIL() << "an endless head must raise";
    } catch (const ENetHTTPHeaderTooLarge& e) {
      EXPECT_EQ(e.Message(), "Response header too large");
    }
    EXPECT_FALSE(Http.IsConnected());
  }
  EXPECT_THROW(Http.Get(Fault("/flood/headerline"), stream), ENetReadLnMaxLineLengthExceeded);
  Http.MaxLineLength = 0;  // no line limit: the head's bound still holds
  EXPECT_THROW(Http.Get(Fault("/flood/headerline"), stream), ENetHTTPHeaderTooLarge);
  Http.MaxLineLength = 16384;

  for (const char* framing : {"chunked", "len", "close"}) {
    SCOPED_TRACE(framing);
    try {
      Http.Get(Fault("/flood/404," + std::string(framing)), stream);
      FAIL() << "a 404 must raise";
    } catch (const ENetHTTPProtocolException& e) {
      EXPECT_EQ(e.Message(), "HTTP/1.1 404 Flood");
      EXPECT_EQ(e.ErrorCode(), 404);
      EXPECT_TRUE(e.ErrorMessage() == std::string(NetMaxDroppedBodyBytes, 'e'));
    }
    EXPECT_FALSE(Http.IsConnected());
  }
  EXPECT_EQ(stream.Size(), 0);

  // A redirect's endless body is dropped the same way, and the redirect still followed.
  Http.HandleRedirects = true;
  EXPECT_EQ(FetchText(Fault("/flood/302,chunked")), Pattern(10));
}

// A CR or another control character would end a request line or header and start another.
TEST_F(HttpClient, ControlCharactersNeverReachARequest) {
  Http.HandleRedirects = true;
  TNetMemoryStream stream;
  try {
    Http.Get(Fault("/crlocation"), stream);
    FAIL() << "a Location with a CR must raise";
  } catch (const ENetHTTPInvalidCharacter& e) {
    EXPECT_EQ(e.Message(), "Invalid character in header Location");
  }
  EXPECT_EQ(LastRequest(), ExpectedHead("/crlocation")) << "the redirect is not followed";

  try {
    Http.Get(Fault("/crcookie"), stream);
    FAIL() << "a cookie with a CR must raise";
  } catch (const ENetHTTPInvalidCharacter& e) {
    EXPECT_EQ(e.Message(), "Invalid character in header Set-Cookie");
  }
  FetchText(Fault("/len/1"));
  EXPECT_EQ(LastRequest(), ExpectedHead("/len/1")) << "the cookie is not kept";

  // Nor can the caller's values smuggle a line: nothing is sent.
  Http.Request().UserAgent = "x\r\nX-Injected: 1";
  try {
    Http.Get(Fault("/len/2"), stream);
    FAIL();
  } catch (const ENetHTTPInvalidCharacter& e) {
    EXPECT_EQ(e.Message(), "Invalid character in request header User-Agent");
  }
  Http.Request().UserAgent = "x";
  try {
    Http.Get(Fault("/len/2\nX-Injected: 1"), stream);
    FAIL();
  } catch (const ENetHTTPInvalidCharacter& e) {
    EXPECT_EQ(e.Message(), "Invalid character in request URL");
  }
  EXPECT_EQ(LastRequest(), ExpectedHead("/len/1"));
  EXPECT_EQ(stream.Size(), 0);
}

TEST_F(HttpClient, FailuresMidBodyCloseTheConnection) {
  TNetMemoryStream stream;
  try {
    Http.Get(Fault("/reset/100000/50000"), stream);
    FAIL() << "a reset must raise";
  } catch (const ENetSocketError& e) {
    EXPECT_EQ(e.LastError(), 10054);
    EXPECT_EQ(e.Message(), "Socket Error # 10054\r\nConnection reset by peer.");
#ifdef _WIN32
  } catch (const ENetConnClosedGracefully&) {
    // Wine's recv reports the peer's reset as an orderly close.
#endif
  }
  EXPECT_LE(stream.Size(), 50000);
  EXPECT_TRUE(stream.DataString() == Pattern(static_cast<size_t>(stream.Size())));
  EXPECT_EQ(FetchText(Fault("/len/5")), Pattern(5)) << "no reuse of the reset socket";
  EXPECT_EQ(Connects, 2);

  TNetMemoryStream shortStream;
  try {
    Http.Get(Fault("/short/100000/50000"), shortStream);
    FAIL() << "a body short of its length must raise";
  } catch (const ENetConnClosedGracefully& e) {
    EXPECT_EQ(e.Message(), "Connection Closed Gracefully.");
  }
  EXPECT_TRUE(shortStream.DataString() == Pattern(50000)) << "every byte that arrived is kept";

  Http.ReadTimeout = 500;
  TNetMemoryStream stalled;
  auto start = std::chrono::steady_clock::now();
  try {
    Http.Get(Fault("/stall/100000/50000"), stalled);
    FAIL() << "silence beyond ReadTimeout must raise";
  } catch (const ENetReadTimeout& e) {
    EXPECT_EQ(e.Message(), "Read Timeout");
  }
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(450));
  EXPECT_LE(stalled.Size(), 50000);
  EXPECT_TRUE(stalled.DataString() == Pattern(static_cast<size_t>(stalled.Size())));
  // The abandoned body is not read as the next status line.
  EXPECT_EQ(FetchText(Fault("/len/7")), Pattern(7));
}

TEST_F(HttpClient, KeepAliveReuseAndCloses) {
  FetchText(Fault("/len/1"));
  const std::string first = ConnectionId();
  EXPECT_TRUE(Http.IsConnected());
  FetchText(Fault("/len/1"));
  EXPECT_EQ(ConnectionId(), first);

  FetchText(Fault("/closeafter"));  // the server closes after its answer
  std::this_thread::sleep_for(std::chrono::milliseconds(1000));
  EXPECT_EQ(FetchText(Fault("/len/2")), Pattern(2));
  const std::string afterServerClose = ConnectionId();
  EXPECT_NE(afterServerClose, first);

  EXPECT_EQ(FetchText(Fault("/connclose")), "bye..");
  EXPECT_FALSE(Http.IsConnected());
  FetchText(Fault("/len/2"));
  EXPECT_NE(ConnectionId(), afterServerClose);
  EXPECT_EQ(Connects, 3);
}

TEST_F(HttpClient, ConnectFailures) {
  TNetMemoryStream stream;
  try {
    Http.Get("http://127.0.0.1:" + Env("MIRPAN_HTTP_REFUSED_PORT") + "/x", stream);
    FAIL() << "a closed port must raise";
  } catch (const ENetSocketError& e) {
    EXPECT_EQ(e.LastError(), 10061);
    EXPECT_EQ(e.Message(), "Socket Error # 10061\r\nConnection refused.");
  }
  try {
    Http.Get("http://no-such-host.invalid/x", stream);
    FAIL() << "an unresolvable name must raise";
  } catch (const ENetSocketError& e) {
    EXPECT_EQ(e.LastError(), 11001);
    EXPECT_EQ(e.Message(), "Socket Error # 11001\r\nHost not found.");
  }
  EXPECT_FALSE(Http.IsConnected());

  // A connect with a time limit runs on its own thread; its failure comes back as text.
  Http.ConnectTimeout = 5000;
  try {
    Http.Get("http://127.0.0.1:" + Env("MIRPAN_HTTP_REFUSED_PORT") + "/x", stream);
    FAIL() << "a closed port must raise";
  } catch (const ENetConnectException& e) {
    EXPECT_EQ(e.Message(), "Socket Error # 10061\r\nConnection refused.");
  }
  EXPECT_EQ(FetchText(Fault("/len/3")), Pattern(3));

  // Waited on in slices for a hook, a connect fails and succeeds as the plain one does.
  Http.ConnectTimeout = 0;
  Http.Disconnect();
  Http.OnWaitSlice = [](TNetTCPConnection*) {};
  try {
    Http.Get("http://127.0.0.1:" + Env("MIRPAN_HTTP_REFUSED_PORT") + "/x", stream);
    FAIL() << "a closed port must raise";
  } catch (const ENetSocketError& e) {
    EXPECT_EQ(e.LastError(), 10061);
  }
  EXPECT_EQ(FetchText(Fault("/len/4")), Pattern(4));
}

// A silence is waited out in slices with the hook called between them, up to the read
// time-out; a hook that disconnects ends the wait there.
TEST_F(HttpClient, SilenceIsWaitedInSlicesWithTheHookBetween) {
  Http.ReadTimeout = 400;
  Http.WaitSlice = 20;
  int slices = 0;
  Http.OnWaitSlice = [&slices](TNetTCPConnection*) { ++slices; };
  TNetMemoryStream stalled;
  EXPECT_THROW(Http.Get(Fault("/stall/100000/50000"), stalled), ENetReadTimeout);
  EXPECT_GT(slices, 1);
  EXPECT_TRUE(stalled.DataString() == Pattern(static_cast<size_t>(stalled.Size())));

  slices = 0;
  Http.OnWaitSlice = [&slices](TNetTCPConnection* sender) {
    if (++slices == 3) sender->Disconnect();
  };
  // Not taken for the peer's close, which could end a body read until the close as whole.
  EXPECT_THROW(Http.Get(Fault("/stall/100000/50000"), stalled), ENetNotConnected);
  EXPECT_EQ(slices, 3);
  EXPECT_FALSE(Http.IsConnected());
  EXPECT_EQ(FetchText(Fault("/len/7")), Pattern(7));
}

TEST_F(HttpClient, WorkEventsFollowTheBlocks) {
  std::vector<std::string> lines;
  Http.OnWorkBegin = [&](TNetComponent* sender, TWorkMode mode, int32_t max) {
    EXPECT_EQ(sender, &Http);
    EXPECT_EQ(mode, wkRead);
    lines.push_back("begin " + std::to_string(max));
  };
  Http.OnWork = [&](TNetComponent*, TWorkMode, int32_t count) {
    lines.push_back("work " + std::to_string(count));
  };
  Http.OnWorkEnd = [&](TNetComponent*, TWorkMode) { lines.push_back("end"); };
  TNetMemoryStream stream;
  Http.Get(Fault("/split/100000/1000"), stream);
  EXPECT_EQ(lines, (std::vector<std::string>{"begin 100000", "work 1000", "work 33768",
                                             "work 66536", "work 99304", "work 100000", "end"}));
  lines.clear();
  FetchText(Fault("/len/500"));
  EXPECT_EQ(lines, (std::vector<std::string>{"begin 500", "work 500", "end"}));
}

TEST_F(HttpClient, CookiesComeBackAfterTheUserAgent) {
  FetchText(Fault("/cookie"));
  FetchText(Fault("/len/1"));
  std::string head = ExpectedHead("/len/1");
  head.insert(head.size() - 2, "Cookie: a=1\r\n");
  EXPECT_EQ(LastRequest(), head);
}

TEST_F(HttpClient, NginxStaticFilesOverOneConnection) {
  ASSERT_FALSE(NginxPort.empty());
  EXPECT_TRUE(FetchText(Nginx("/part100000.bin")) == Pattern(100000));
  EXPECT_TRUE(Http.IsConnected());
  EXPECT_TRUE(FetchText(Nginx("/part100000.bin")) == Pattern(100000));
  EXPECT_EQ(FetchText(Nginx("/empty.bin")), "");
  TNetMemoryStream stream;
  try {
    Http.Get(Nginx("/missing.zip"), stream);
    FAIL();
  } catch (const ENetHTTPProtocolException& e) {
    EXPECT_EQ(e.ErrorCode(), 404);
    EXPECT_NE(e.ErrorMessage().find("404"), std::string::npos);
  }
  EXPECT_EQ(FetchText(Nginx("/part100000.bin")).size(), 100000u);
  EXPECT_EQ(Connects, 1);
}

// The TCP connection's lines against raw server bytes.
TEST(TcpConnection, LinesLimitsAndTheClose) {
  TNetTCPClient client;
  client.Host = "LOCALHOST";
  client.Port = std::atoi(Env("MIRPAN_HTTP_FAULT_PORT").c_str());
  client.ReadTimeout = 5000;
  std::vector<std::string> statuses;
  client.OnStatus = [&statuses](TNetComponent*, TNetStatus, const std::string& text) {
    statuses.push_back(text);
  };
  int disconnects = 0;
  client.OnDisconnected = [&disconnects](TNetTCPConnection*) { ++disconnects; };
  client.Connect();
  EXPECT_EQ(statuses, (std::vector<std::string>{"Connecting to 127.0.0.1.", "Connected."}));
  EXPECT_THROW(client.Connect(), ENetAlreadyConnected);

  client.WriteLine("GET /lines HTTP/1.1");
  client.WriteLine("");
  EXPECT_EQ(client.ReadLine(), "abc");
  EXPECT_EQ(client.ReadLine(), "lf only");
  EXPECT_EQ(client.ReadLine(), "x\ry");
  EXPECT_EQ(client.ReadLine(), std::string(16383, 'a'));  // 16384 bytes with its CR
  EXPECT_THROW(client.ReadLine(), ENetReadLnMaxLineLengthExceeded);
  client.MaxLineAction = maSplit;
  EXPECT_EQ(client.ReadLine(), std::string(16384, 'b'));
  EXPECT_TRUE(client.ReadLnSplit);
  EXPECT_EQ(client.ReadLine(), "b");
  EXPECT_THROW(client.ReadLine(), ENetConnClosedGracefully);
  EXPECT_EQ(disconnects, 1);

  statuses.clear();
  client.Disconnect();  // already closed: nothing fires
  EXPECT_TRUE(statuses.empty());
  EXPECT_EQ(disconnects, 1);
  EXPECT_FALSE(client.OwnsIOHandler());

  // Bound ports: a reversed range is refused, a range is tried from its top.
  client.BoundPortMin = 40010;
  client.BoundPortMax = 40000;
  EXPECT_THROW(client.Connect(), ENetInvalidPortRange);
  EXPECT_FALSE(client.IsConnected());
  client.BoundPortMin = 40000;
  client.BoundPortMax = 40063;  // room for ports still in TIME_WAIT
  client.Connect();
  auto* transport = dynamic_cast<TNetIOHandlerSocket*>(client.IOHandler());
  ASSERT_NE(transport, nullptr);
  EXPECT_GE(transport->Binding()->Port, 40000);
  EXPECT_LE(transport->Binding()->Port, 40063);
  EXPECT_EQ(transport->Binding()->PeerIP, "127.0.0.1");
  client.WriteLine("GET /stall/10/0 HTTP/1.1");
  client.WriteLine("");
  EXPECT_EQ(client.ReadLine(), "HTTP/1.1 200 OK");
  while (!client.ReadLine().empty()) {
  }
  EXPECT_EQ(client.ReadLine("\n", 100), "");
  EXPECT_TRUE(client.ReadLnTimedOut);
  client.ReadTimeout = 300;
  EXPECT_THROW(client.ReadLine(), ENetReadTimeout);
  client.Disconnect();
  EXPECT_EQ(disconnects, 2);
}

}  // namespace
