#pragma once
// Named header fields of an HTTP message: composed into header lines for a request,
// parsed from the header lines of a response, with the defaults of a cleared message.
#include <cstdint>
#include <memory>
#include <string>

#include "http/NetAuthentication.h"
#include "http/NetHeaderList.h"

// Timestamps are day counts since 1899-12-30 (UTC); 0 means none.
using TNetDateTime = double;
TNetDateTime NetParseDate(const std::string& text);  // 0 when the text is no date
std::string NetFormatDate(TNetDateTime date);        // RFC 1123, GMT

class TNetEntityHeaderInfo {
 public:
  TNetEntityHeaderInfo() = default;
  virtual ~TNetEntityHeaderInfo() = default;

  virtual void ProcessHeaders();  // RawHeaders into the fields
  virtual void SetHeaders();      // the fields into RawHeaders
  virtual void Clear();

  int32_t ContentLength() const { return FContentLength; }
  void SetContentLength(int32_t value);
  bool HasContentLength() const { return FHasContentLength; }

  std::string CacheControl;
  TNetHeaderList RawHeaders{1024};
  std::string Connection;
  std::string ContentEncoding;
  std::string ContentLanguage;
  int32_t ContentRangeEnd = 0;
  int32_t ContentRangeStart = 0;
  std::string ContentType;
  std::string ContentVersion;
  TNetHeaderList CustomHeaders;
  TNetDateTime Date = 0;
  TNetDateTime Expires = 0;
  TNetDateTime LastModified = 0;
  std::string Pragma;

 protected:
  void ProcessEntityHeaders();
  void SetEntityHeaders();

 private:
  int32_t FContentLength = -1;
  bool FHasContentLength = false;
};

class TNetRequestHeaderInfo : public TNetEntityHeaderInfo {
 public:
  TNetRequestHeaderInfo();
  void ProcessHeaders() override;
  void SetHeaders() override;
  void Clear() override;

  std::string Accept;
  std::string AcceptCharSet;
  std::string AcceptEncoding;
  std::string AcceptLanguage;
  std::string From;
  std::string Password;
  std::string Referer;
  std::string UserAgent;
  std::string Username;
  std::string Host;
  bool BasicAuthentication = false;
  std::string ProxyConnection;
  std::unique_ptr<TNetAuthentication> Authentication;
  // Sent as "If-Range" beside a Range (ContentRangeStart above 0): the ETag or Last-Modified
  // text of the reply whose bytes are being completed. Like every field it stays set for
  // the next request until cleared.
  std::string IfRange;
};

class TNetResponseHeaderInfo : public TNetEntityHeaderInfo {
 public:
  TNetResponseHeaderInfo();
  void ProcessHeaders() override;
  void Clear() override;

  // What an If-Range of a later request can carry: the ETag, else the Last-Modified text as
  // the server wrote it; empty when the reply gave neither.
  std::string ResumeValidator() const;

  std::string Location;
  std::string Server;
  std::string ProxyConnection;
  std::string ETag;
  TNetHeaderList ProxyAuthenticate;
  TNetHeaderList WWWAuthenticate;
};

class TNetProxyConnectionInfo {
 public:
  const std::string& ProxyServer() const { return FProxyServer; }
  int32_t ProxyPort() const { return FProxyPort; }
  // Changing server or port drops the authentication object.
  void SetProxyServer(const std::string& server);
  void SetProxyPort(int32_t port);
  void SetHeaders(TNetHeaderList& headers) const;  // "Proxy-Authorization"

  std::string ProxyUsername;
  std::string ProxyPassword;
  bool BasicAuthentication = false;
  std::unique_ptr<TNetAuthentication> Authentication;

 private:
  std::string FProxyServer;
  int32_t FProxyPort = 0;
};

// A decimal 32-bit number with an optional sign, or fallback.
int32_t NetStrToIntDef(const std::string& text, int32_t fallback);
