#pragma once
// The HTTP/1.1 client: one request loop behind Get, over one kept-alive TCP connection.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "http/NetCookies.h"
#include "http/NetHTTPHeaderInfo.h"
#include "http/NetStream.h"
#include "http/NetTCPClient.h"
#include "http/NetURI.h"

enum TNetHTTPMethod { mtHead = 0, mtGet, mtPost, mtOptions, mtTrace, mtPut, mtConnect = 7 };
enum TNetHTTPProtocolVersion { pv1_0, pv1_1 };
enum TNetHTTPConnectionType { ckPlain, ckSSL, ckProxy, ckSSLProxy };
enum TNetHTTPWhatsNext { nxUndecided, nxFollow, nxAuthRetry, nxDone };
enum TNetHTTPOption : unsigned {
  hoInProcessAuth = 1,
  hoKeepOrigProtocol = 2,
  hoForceEncodeParams = 4
};

// What a server can make the client hold. The head of one response, its interim replies
// and a chunked body's trailer each, is bounded in bytes and lines; the body of an error or
// redirect reply, which is dropped, is read up to its bound and the connection then closed.
constexpr int32_t NetMaxResponseHeadBytes = 65536;
constexpr int32_t NetMaxResponseHeadLines = 200;
constexpr int32_t NetMaxDroppedBodyBytes = 65536;

// Parsers of the response framing, usable without a connection.
int32_t NetResponseCode(const std::string& statusLine);  // -1 when there is none
// Version of a status line "HTTP/1.x ..."; false when it is neither 1.0 nor 1.1.
bool NetResponseVersion(const std::string& statusLine, TNetHTTPProtocolVersion& version);
// Size of a chunk-size line "1a", "1a;name=value" or "1a junk"; false when it is not
// hexadecimal or does not fit 31 bits. NetChunkSize gives 0 for those.
bool NetParseChunkSize(const std::string& line, int32_t& size);
int32_t NetChunkSize(const std::string& line);
// Whether a Transfer-Encoding value names the chunked coding (names are without case).
bool NetIsChunked(const std::string& transferEncoding);
const char* NetMethodName(TNetHTTPMethod method);

class TNetHTTP;

class TNetHTTPRequest : public TNetRequestHeaderInfo {
 public:
  std::string URL;
  TNetHTTPMethod Method = mtGet;
  TNetStream* Source = nullptr;
  TNetHTTPConnectionType ConnectionKind = ckPlain;
};

class TNetHTTPResponse : public TNetResponseHeaderInfo {
 public:
  explicit TNetHTTPResponse(TNetHTTP& http) : FHTTP(http) {}

  int32_t ResponseCode() const { return NetResponseCode(ResponseText); }
  // A 206 whose Content-Range continues a file of total bytes at byte start to its end.
  bool ResumesAt(int64_t start, int64_t total) const;
  // Computed on every read from the connection and the Connection headers; assigning it
  // has no lasting effect.
  bool KeepAlive();
  void SetKeepAlive(bool value) { FKeepAlive = value; }

  std::string ResponseText;             // the status line
  TNetStream* ContentStream = nullptr;  // the caller's, not owned
  TNetHTTPProtocolVersion ResponseVersion = pv1_1;

 private:
  TNetHTTP& FHTTP;
  bool FKeepAlive = false;
};

using TNetHTTPOnRedirectEvent =
    std::function<void(TNetHTTP* sender, std::string& dest, int32_t numRedirect, bool& handled,
                       TNetHTTPMethod& method)>;
using TNetOnSelectAuthorizationEvent =
    std::function<void(TNetHTTP* sender, std::unique_ptr<TNetAuthentication>& authentication,
                       const TNetHeaderList& authInfo)>;
using TNetOnAuthorizationEvent =
    std::function<void(TNetHTTP* sender, TNetAuthentication& authentication, bool& handled)>;

class TNetHTTP : public TNetTCPClient {
 public:
  TNetHTTP();
  ~TNetHTTP() override;

  // One GET; the body is appended to stream at its position at call time.
  void Get(const std::string& url, TNetStream& stream);
  virtual void PerformRequest(TNetHTTPMethod method, const std::string& url, TNetStream* source,
                              TNetStream* stream);

  TNetHTTPRequest& Request() { return FRequest; }
  TNetHTTPResponse& Response() { return FResponse; }
  const TNetURI& CurrentURI() const { return FURI; }
  int32_t RedirectCount() const { return FRedirectCount; }
  TNetCookieManager* CookieManager() const { return FCookieManager.get(); }

  int32_t AuthRetries = 3;
  bool AllowCookies = true;
  unsigned HTTPOptions = hoForceEncodeParams;
  int32_t RedirectMaximum = 15;
  bool HandleRedirects = false;
  TNetHTTPProtocolVersion ProtocolVersion = pv1_1;
  TNetProxyConnectionInfo ProxyParams;
  int32_t ConnectTimeout = 0;

  TNetHTTPOnRedirectEvent OnRedirect;
  TNetOnSelectAuthorizationEvent OnSelectAuthorization;
  TNetOnSelectAuthorizationEvent OnSelectProxyAuthorization;
  TNetOnAuthorizationEvent OnAuthorization;
  TNetOnAuthorizationEvent OnProxyAuthorization;

 protected:
  void DoOnDisconnected() override;
  virtual bool DoOnAuthorization();
  virtual bool DoOnProxyAuthorization();
  virtual bool DoOnRedirect(std::string& location, TNetHTTPMethod& method, int32_t redirectCount);

 private:
  bool DecideAuthorization(const TNetHeaderList& offers,
                           std::unique_ptr<TNetAuthentication>& authentication,
                           const std::string& username, const std::string& password,
                           const TNetOnSelectAuthorizationEvent& onSelect,
                           const TNetOnAuthorizationEvent& onAuthorization);
  void PrepareRequest();
  TNetHTTPConnectionType SelectRoute();
  void OpenConnection();
  void SendRequestHead();
  std::string ReadHeadLine();
  void ReadResponseHead();
  void ProcessCookies();
  TNetHTTPWhatsNext DecideNext();
  [[noreturn]] void RaiseProtocolError();
  void DiscardBody();
  void ReadBody();
  void ReadChunkedBody(TNetStream& stream);
  int32_t ReadChunkSize();
  void ReadBodyInto(TNetStream& scratch, int32_t timeout);

  TNetHTTPRequest FRequest;
  TNetHTTPResponse FResponse{*this};
  TNetURI FURI;
  int32_t FRedirectCount = 0;
  int32_t FAuthRetries = 0;
  int32_t FAuthProxyRetries = 0;
  int32_t FHeadBytes = 0;  // of the head being read, against its bounds
  int32_t FHeadLines = 0;
  std::unique_ptr<TNetCookieManager> FCookieManager;
};
