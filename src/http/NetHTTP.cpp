#include "http/NetHTTP.h"

#include <algorithm>
#include <cctype>

#include "http/NetContentRange.h"
#include "http/NetException.h"
#include "http/NetResourceStrings.h"

namespace {

constexpr int32_t ErrorBodyTimeout = 2000;
constexpr int32_t DiscardBodyTimeout = 4000;

const char* VersionText(TNetHTTPProtocolVersion version) {
  return version == pv1_0 ? "1.0" : "1.1";
}

bool SendsSource(TNetHTTPMethod method) { return method == mtPost || method == mtPut; }

// 1xx replies (100 Continue, 102 Processing, 103 Early Hints) come before the final one;
// 101 switches protocols and is final.
bool IsInterimReply(int32_t code) { return code / 100 == 1 && code != 101; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The stream a dropped body goes to for the time of a scope, also when the read raises. Its
// receives are small, so what is read past the bound is small as well.
class TStreamSwap {
 public:
  TStreamSwap(TNetHTTP& http, TNetStream& scratch, int32_t timeout)
      : FHTTP(http),
        FStream(http.Response().ContentStream),
        FTimeout(http.ReadTimeout),
        FBodyRecvBufferSize(http.BodyRecvBufferSize) {
    http.Response().ContentStream = &scratch;
    http.ReadTimeout = timeout;
    http.BodyRecvBufferSize = http.RecvBufferSize;
  }
  ~TStreamSwap() {
    FHTTP.Response().ContentStream = FStream;
    FHTTP.ReadTimeout = FTimeout;
    FHTTP.BodyRecvBufferSize = FBodyRecvBufferSize;
  }

 private:
  TNetHTTP& FHTTP;
  TNetStream* FStream;
  int32_t FTimeout;
  int32_t FBodyRecvBufferSize;
};

// Raised by TDroppedBody at its bound; caught where the dropped body is read.
class EDroppedBodyBound : public ENetException {
 public:
  EDroppedBodyBound() : ENetException("") {}
};

// The scratch stream of a body read only to be dropped: it keeps its first bytes, up to the
// bound, and raises past it, so that an endless body ends there whatever its framing.
class TDroppedBody : public TNetMemoryStream {
 public:
  void Write(const void* buffer, size_t count) override {
    const int64_t room = std::max<int64_t>(NetMaxDroppedBodyBytes - Position(), 0);
    TNetMemoryStream::Write(buffer, static_cast<size_t>(std::min<int64_t>(room, count)));
    if (static_cast<int64_t>(count) > room) throw EDroppedBodyBound();
  }
};

[[noreturn]] void RaiseInvalidRequestText(const std::string& what) {
  throw ENetHTTPInvalidCharacter(
      NetFormat(NetResourceStrings::RSHTTPInvalidRequestText, what.c_str()));
}

}  // namespace

int32_t NetResponseCode(const std::string& statusLine) {
  std::string rest = statusLine;
  size_t blank = rest.find(' ');
  rest = blank == std::string::npos ? std::string() : NetTrim(rest.substr(blank + 1));
  return NetStrToIntDef(CutToken(rest, " "), -1);
}

bool NetResponseVersion(const std::string& statusLine, TNetHTTPProtocolVersion& version) {
  std::string text = statusLine.size() >= 8 ? statusLine.substr(5, 3) : std::string();
  if (text == "1.0") version = pv1_0;
  if (text == "1.1") version = pv1_1;
  return text == "1.0" || text == "1.1";
}

bool NetParseChunkSize(const std::string& line, int32_t& size) {
  std::string text = line;
  text = CutToken(text, " ");
  // A chunk extension ("1a;name=value") follows the size.
  text = NetTrim(CutToken(text, ";"));
  size = 0;
  if (text.empty()) return false;
  size_t first = text.find_first_not_of('0');
  if (first == std::string::npos) return true;
  // More than eight significant digits would wrap round 32 bits into a small size.
  if (text.size() - first > 8) return false;
  uint32_t value = 0;
  for (size_t i = first; i < text.size(); ++i) {
    int digit = HexDigit(text[i]);
    if (digit < 0) return false;
    value = value * 16 + static_cast<uint32_t>(digit);
  }
  if (value > INT32_MAX) return false;
  size = static_cast<int32_t>(value);
  return true;
}

int32_t NetChunkSize(const std::string& line) {
  int32_t size;
  return NetParseChunkSize(line, size) ? size : 0;
}

bool NetIsChunked(const std::string& transferEncoding) {
  std::string lower = transferEncoding;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower.find("chunked") != std::string::npos;
}

const char* NetMethodName(TNetHTTPMethod method) {
  switch (method) {
    case mtHead:
      return "HEAD";
    case mtGet:
      return "GET";
    case mtPost:
      return "POST";
    case mtOptions:
      return "OPTIONS";
    case mtTrace:
      return "TRACE";
    case mtPut:
      return "PUT";
    case mtConnect:
      return "CONNECT";
  }
  return "GET";
}

bool TNetHTTPResponse::ResumesAt(int64_t start, int64_t total) const {
  return ResponseCode() == 206 &&
         NetContentRangeCompletes(RawHeaders.GetValue("Content-Range"), start, total);
}

bool TNetHTTPResponse::KeepAlive() {
  NetResponseVersion(ResponseText, ResponseVersion);
  FKeepAlive = FHTTP.IsConnected();
  if (FKeepAlive) {
    const std::string connection = NetTrim(Connection);
    const std::string proxyConnection = NetTrim(ProxyConnection);
    if (FHTTP.ProtocolVersion == pv1_1) {
      FKeepAlive = !NetSameText(connection, "CLOSE") && !NetSameText(proxyConnection, "CLOSE");
    } else {
      FKeepAlive =
          NetSameText(connection, "KEEP-ALIVE") || NetSameText(proxyConnection, "KEEP-ALIVE");
    }
  }
  return FKeepAlive;
}

TNetHTTP::TNetHTTP() {
  Port = 80;
  FURI.Port = "80";
}

TNetHTTP::~TNetHTTP() = default;

void TNetHTTP::Get(const std::string& url, TNetStream& stream) {
  PerformRequest(mtGet, url, nullptr, &stream);
}

void TNetHTTP::PerformRequest(TNetHTTPMethod method, const std::string& url, TNetStream* source,
                              TNetStream* stream) {
  const int64_t position = stream != nullptr ? stream->Position() : 0;
  FRequest.URL = url;
  FRequest.Method = method;
  FRequest.Source = source;
  FResponse.ContentStream = stream;
  try {
    for (;;) {
      ++FRedirectCount;
      PrepareRequest();
      OpenConnection();
      FHeadBytes = 0;
      FHeadLines = 0;
      do {
        FResponse.ResponseText = ReadHeadLine();
        ReadResponseHead();
        ProcessCookies();
      } while (IsInterimReply(FResponse.ResponseCode()));

      TNetHTTPWhatsNext next = DecideNext();
      if (next == nxDone) break;
      if (next == nxFollow) {
        if (stream != nullptr) {
          stream->SetPosition(position);
          stream->SetSize(position);
        }
      } else if (next == nxAuthRetry) {
        --FRedirectCount;
        FRequest.URL = url;
      } else {
        throw ENetException(NetResourceStrings::RSHTTPUnknownResponseCode);
      }
    }
  } catch (const ENetHTTPProtocolException&) {
    // The error response was read whole; the connection may serve the next request.
    if (!FResponse.KeepAlive()) Disconnect();
    throw;
  } catch (...) {
    // Whatever is left of a broken response must not be read as the next one.
    Disconnect();
    throw;
  }
  if (!FResponse.KeepAlive()) Disconnect();
  FRedirectCount = 0;
}

void TNetHTTP::PrepareRequest() {
  TNetURI uri(FRequest.URL);
  if (!uri.Username.empty()) {
    FRequest.Username = uri.Username;
    FRequest.Password = uri.Password;
  }
  FURI.Username = FRequest.Username;
  FURI.Password = FRequest.Password;
  FURI.Path = TNetURI::MergePath(FURI.Path, uri.Path);
  FURI.Document = uri.Document;
  FURI.Params = uri.Params;
  if (!uri.Host.empty()) FURI.Host = uri.Host;
  FURI.Protocol = uri.Protocol.empty() ? std::string("http") : uri.Protocol;

  // A relative URL (a redirect's "/next") stays on the port of the current one.
  if (!uri.Port.empty()) {
    FURI.Port = uri.Port;
  } else if (NetSameText(uri.Protocol, "http")) {
    FURI.Port = "80";
  } else if (NetSameText(uri.Protocol, "https")) {
    FURI.Port = "443";
  } else if (FURI.Port.empty()) {
    throw ENetUnknownProtocol("");
  }
  // Only plain HTTP goes out; any other scheme would be sent to its host as HTTP. An https
  // URL fails on its route, as no TLS transport is built.
  if (!NetSameText(FURI.Protocol, "http") && !NetSameText(FURI.Protocol, "https")) {
    throw ENetUnknownProtocol(
        NetFormat(NetResourceStrings::RSHTTPUnsupportedProtocol, FURI.Protocol.c_str()));
  }

  FRequest.URL = FURI.Path + FURI.Document + FURI.Params;
  if (FRequest.Method == mtOptions && uri.Document == "*") FRequest.URL = "*";
  const TNetHTTPMethod method = FRequest.Method;
  if ((method == mtOptions || method == mtTrace || method == mtPut) && ProtocolVersion == pv1_0) {
    throw ENetException(NetResourceStrings::RSHTTPMethodRequiresVersion);
  }
  FRequest.SetContentLength(SendsSource(method) && FRequest.Source != nullptr
                                ? static_cast<int32_t>(FRequest.Source->Size())
                                : -1);
  FRequest.Host = FURI.Port == "80" ? FURI.Host : FURI.Host + ":" + FURI.Port;
}

TNetHTTPConnectionType TNetHTTP::SelectRoute() {
  const bool https = NetSameText(FURI.Protocol, "HTTPS");
  std::string host = FURI.Host;
  int32_t port = NetStrToIntDef(FURI.Port, 0);
  if (!ProxyParams.ProxyServer().empty()) {
    host = ProxyParams.ProxyServer();
    port = ProxyParams.ProxyPort();
  }
  if (!NetSameText(Host, host) || Port != port) {
    if (IsConnected()) Disconnect();
    Host = host;
    Port = port;
  }
  // No TLS transport is built, so an https URL has no transport to go over.
  if (https) throw ENetIOHandlerPropInvalid(NetResourceStrings::RSIOHandlerPropInvalid);
  if (ProxyParams.ProxyServer().empty()) return ckPlain;
  FRequest.URL = FURI.GetFullURI(false, false);
  return ckProxy;
}

void TNetHTTP::OpenConnection() {
  FRequest.ConnectionKind = SelectRoute();
  if (ProtocolVersion == pv1_0 && FRequest.Connection.empty()) {
    if (FRequest.ConnectionKind == ckPlain) FRequest.Connection = "keep-alive";
    if (FRequest.ConnectionKind == ckProxy) FRequest.ProxyConnection = "keep-alive";
  }
  if (!FResponse.KeepAlive()) Disconnect();
  ProbeGracefulClose(false);
  if (!IsConnected()) Connect(ConnectTimeout);

  SendRequestHead();
  if (SendsSource(FRequest.Method) && FRequest.Source != nullptr) {
    TNetStream& source = *FRequest.Source;
    source.SetPosition(0);
    std::string block(static_cast<size_t>(SendBufferSize > 0 ? SendBufferSize : 32768), '\0');
    for (size_t count; (count = source.Read(&block[0], block.size())) > 0;) {
      SendBytes(block.data(), count);
    }
  }
}

void TNetHTTP::SendRequestHead() {
  FRequest.SetHeaders();
  if (FRequest.ConnectionKind == ckProxy) ProxyParams.SetHeaders(FRequest.RawHeaders);
  if (FCookieManager) {
    std::string cookies = FCookieManager->CookieText(FURI, FRequest.ConnectionKind == ckSSL);
    if (!cookies.empty()) FRequest.RawHeaders.SetValue("Cookie", cookies);
  }
  // Nothing the caller set or a server sent may end a line and start another.
  if (NetHasControlCharacter(FRequest.URL)) RaiseInvalidRequestText("URL");
  for (const std::string& line : FRequest.RawHeaders.Lines()) {
    if (NetHasControlCharacter(line))
      RaiseInvalidRequestText("header " + TNetHeaderList::LineName(line));
  }
  BeginWriteBatch();
  WriteLine(std::string(NetMethodName(FRequest.Method)) + " " + FRequest.URL + " HTTP/" +
            VersionText(ProtocolVersion));
  for (const std::string& line : FRequest.RawHeaders.Lines()) {
    if (!line.empty()) WriteLine(line);
  }
  WriteLine("");
  FlushWriteBatch();
}

// A line of the head, counted against its bounds; a line longer than the bytes left is
// the head's fault, not the line length's.
std::string TNetHTTP::ReadHeadLine() {
  const int32_t left = std::max(NetMaxResponseHeadBytes - FHeadBytes, 1);
  const bool lineBound = MaxLineLength > 0 && MaxLineLength <= left;
  std::string line;
  try {
    line = ReadLine("\n", -1, lineBound ? MaxLineLength : left);
  } catch (const ENetReadLnMaxLineLengthExceeded&) {
    if (lineBound) throw;
    throw ENetHTTPHeaderTooLarge(NetResourceStrings::RSHTTPHeaderTooLarge);
  }
  FHeadBytes += static_cast<int32_t>(line.size()) + 2;
  if (FHeadBytes > NetMaxResponseHeadBytes || ++FHeadLines > NetMaxResponseHeadLines) {
    throw ENetHTTPHeaderTooLarge(NetResourceStrings::RSHTTPHeaderTooLarge);
  }
  return line;
}

void TNetHTTP::ReadResponseHead() {
  FResponse.RawHeaders.Clear();
  try {
    for (std::string line = ReadHeadLine(); !line.empty(); line = ReadHeadLine()) {
      FResponse.RawHeaders.Add(line);
    }
  } catch (const ENetConnClosedGracefully&) {
    Disconnect();
  }
  FResponse.ProcessHeaders();
}

void TNetHTTP::ProcessCookies() {
  if (AllowCookies && !FCookieManager) FCookieManager = std::make_unique<TNetCookieManager>();
  if (!FCookieManager) return;
  for (const char* name : {"Set-cookie", "Set-cookie2"}) {
    for (const std::string& value : FResponse.RawHeaders.Values(name)) {
      // The cookie would go back in every later request's head.
      if (NetHasControlCharacter(value)) {
        throw ENetHTTPInvalidCharacter(
            NetFormat(NetResourceStrings::RSHTTPInvalidHeaderValue, "Set-Cookie"));
      }
      FCookieManager->AddCookie(value, FURI.Host);
    }
  }
}

bool TNetHTTP::DoOnRedirect(std::string& location, TNetHTTPMethod& method, int32_t redirectCount) {
  bool handled = HandleRedirects;
  if (OnRedirect) OnRedirect(this, location, redirectCount, handled, method);
  return handled;
}

bool TNetHTTP::DecideAuthorization(const TNetHeaderList& offers,
                                   std::unique_ptr<TNetAuthentication>& authentication,
                                   const std::string& username, const std::string& password,
                                   const TNetOnSelectAuthorizationEvent& onSelect,
                                   const TNetOnAuthorizationEvent& onAuthorization) {
  if (!authentication) {
    // The first offer whose scheme is registered, unless the hook chooses otherwise.
    std::unique_ptr<TNetAuthentication> chosen;
    for (size_t i = 0; i < offers.Count() && !chosen; ++i) {
      std::string value = offers[i];
      chosen = FindAuthScheme(CutToken(value, " "));
    }
    if (onSelect) onSelect(this, chosen, offers);
    authentication = std::move(chosen);
  }
  if (!authentication) return false;
  authentication->Username = username;
  authentication->Password = password;
  bool handled = (HTTPOptions & hoInProcessAuth) != 0;
  if (onAuthorization) {
    handled = true;
    onAuthorization(this, *authentication, handled);
  }
  return handled;
}

bool TNetHTTP::DoOnAuthorization() {
  ++FAuthRetries;
  return DecideAuthorization(FResponse.WWWAuthenticate, FRequest.Authentication, FRequest.Username,
                             FRequest.Password, OnSelectAuthorization, OnAuthorization);
}

bool TNetHTTP::DoOnProxyAuthorization() {
  ++FAuthProxyRetries;
  return DecideAuthorization(FResponse.ProxyAuthenticate, ProxyParams.Authentication,
                             ProxyParams.ProxyUsername, ProxyParams.ProxyPassword,
                             OnSelectProxyAuthorization, OnProxyAuthorization);
}

TNetHTTPWhatsNext TNetHTTP::DecideNext() {
  TNetHTTPWhatsNext result = nxUndecided;
  const int32_t code = FResponse.ResponseCode();
  const int32_t kind = code / 100;

  if ((kind == 3 && code != 304) || !FResponse.Location.empty()) {
    std::string location = FResponse.Location;
    TNetHTTPMethod method = FRequest.Method;
    const bool handled = DoOnRedirect(location, method, FRedirectCount);
    if (!handled) RaiseProtocolError();
    if (HandleRedirects && FRedirectCount < RedirectMaximum) {
      // The location becomes the next request line and its Host header.
      if (NetHasControlCharacter(location)) {
        throw ENetHTTPInvalidCharacter(
            NetFormat(NetResourceStrings::RSHTTPInvalidHeaderValue, "Location"));
      }
      FRequest.URL = location;
      FRequest.Method = method;
      result = nxFollow;
    } else {
      FResponse.Location = location;
      result = nxDone;
    }
    if (IsConnected()) DiscardBody();
    return result;
  }

  bool inProcessAuth = false;
  if (kind != 2) {
    result = nxFollow;
    if (code == 401) {
      if (FAuthRetries >= AuthRetries || !DoOnAuthorization()) {
        FRequest.Authentication.reset();
        RaiseProtocolError();
      }
    } else if (code == 407) {
      if (FAuthProxyRetries >= AuthRetries || !DoOnProxyAuthorization()) {
        ProxyParams.Authentication.reset();
        RaiseProtocolError();
      }
    } else {
      RaiseProtocolError();
    }
    inProcessAuth = (HTTPOptions & hoInProcessAuth) != 0;
  }
  if (IsConnected()) {
    if (inProcessAuth) {
      DiscardBody();
      result = nxAuthRetry;
    } else {
      if (code != 204) ReadBody();
      result = nxDone;
    }
  }
  return result;
}

void TNetHTTP::ReadBodyInto(TNetStream& scratch, int32_t timeout) {
  TStreamSwap swap(*this, scratch, timeout);
  ReadBody();
}

void TNetHTTP::RaiseProtocolError() {
  TDroppedBody body;
  try {
    ReadBodyInto(body, ErrorBodyTimeout);
  } catch (const ENetConnClosedGracefully&) {
    // An error body cut short still reports the status, with what arrived of the body.
  } catch (const EDroppedBodyBound&) {
    // Its first bytes are the message; the unread rest must not be taken for a response.
    Disconnect();
  }
  throw ENetHTTPProtocolException(FResponse.ResponseCode(), FResponse.ResponseText,
                                  body.DataString());
}

void TNetHTTP::DiscardBody() {
  TDroppedBody body;
  try {
    ReadBodyInto(body, DiscardBodyTimeout);
  } catch (const Exception&) {
    // The body is of no use, but its unread rest must not be taken for the next response.
    Disconnect();
  }
}

void TNetHTTP::ReadBody() {
  if (FResponse.ContentStream == nullptr) return;
  // A response to HEAD announces a length but carries no body.
  if (FRequest.Method == mtHead) return;
  TNetStream& stream = *FResponse.ContentStream;
  // Chunked framing wins over a Content-Length sent beside it: the length would count the
  // chunk-size lines into the body.
  if (NetIsChunked(FResponse.RawHeaders.GetValue("Transfer-Encoding"))) {
    ReadChunkedBody(stream);
  } else if (FResponse.ContentLength() > 0) {
    ReadToStream(stream, FResponse.ContentLength(), false);
  } else if (!FResponse.HasContentLength()) {
    ReadToStream(stream, -1, true);
  }
}

void TNetHTTP::ReadChunkedBody(TNetStream& stream) {
  ReportStatus(stStatusText, NetResourceStrings::RSHTTPChunkStarted);
  for (int32_t size = ReadChunkSize(); size > 0; size = ReadChunkSize()) {
    ReadToStream(stream, size, false);
    ReadLine();  // the line end after the data
  }
  // The trailer section, ended by an empty line, is a head of its own.
  FHeadBytes = 0;
  FHeadLines = 0;
  while (!ReadHeadLine().empty()) {
  }
}

// A size line that is no size must not pass for the last chunk: the body would end early
// and look complete.
int32_t TNetHTTP::ReadChunkSize() {
  const std::string line = ReadLine();
  int32_t size;
  if (!NetParseChunkSize(line, size)) {
    throw ENetException(
        NetFormat(NetResourceStrings::RSHTTPInvalidChunkSize, line.substr(0, 40).c_str()));
  }
  return size;
}

void TNetHTTP::DoOnDisconnected() {
  FRequest.Authentication.reset();
  FAuthRetries = 0;
  FAuthProxyRetries = 0;
  TNetTCPClient::DoOnDisconnected();
}
