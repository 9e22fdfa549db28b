#include "http/NetHTTPHeaderInfo.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "framework/Dates.h"
#include "http/NetURI.h"

namespace {

const char* const MonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const DayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
TNetDateTime ParseExpires(const std::string& text) {
  int32_t seconds = NetStrToIntDef(text, INT32_MIN);
  if (seconds == INT32_MIN) return NetParseDate(text);
  return UnixEpochDay + (static_cast<double>(std::time(nullptr)) + seconds) / 86400.0;
}

}  // namespace

int32_t NetStrToIntDef(const std::string& text, int32_t fallback) {
  std::string trimmed = NetTrim(text);
  size_t i = 0;
  bool negative = false;
  if (i < trimmed.size() && (trimmed[i] == '+' || trimmed[i] == '-'))
    negative = trimmed[i++] == '-';
  if (i == trimmed.size()) return fallback;
  int64_t value = 0;
  for (; i < trimmed.size(); ++i) {
    if (trimmed[i] < '0' || trimmed[i] > '9') return fallback;
    value = value * 10 + (trimmed[i] - '0');
    if (value > int64_t{INT32_MAX} + 1) return fallback;
  }
  if (negative) value = -value;
  return value < INT32_MIN || value > INT32_MAX ? fallback : static_cast<int32_t>(value);
}

TNetDateTime NetParseDate(const std::string& text) {
  // "Sun, 06 Nov 1994 08:49:37 GMT"; the day name is optional.
  std::string rest = NetTrim(text);
  size_t comma = rest.find(',');
  if (comma != std::string::npos) rest = NetTrim(rest.substr(comma + 1));
  int day = 0, year = 0, hour = 0, minute = 0, second = 0;
  char month[4] = {0};
  if (std::sscanf(rest.c_str(), "%2d %3s %4d %2d:%2d:%2d", &day, month, &year, &hour, &minute,
                  &second) != 6) {
    return 0;
  }
  for (unsigned m = 0; m < 12; ++m) {
    if (std::strcmp(month, MonthNames[m]) == 0 && day >= 1 && day <= 31 && hour < 24 &&
        minute < 60 && second < 61) {
      int64_t days = DaysFromCivil(year, m + 1, static_cast<unsigned>(day));
      return UnixEpochDay + static_cast<double>(days) +
             (hour * 3600 + minute * 60 + second) / 86400.0;
    }
  }
  return 0;
}

std::string NetFormatDate(TNetDateTime date) {
  double daysSinceEpoch = date - UnixEpochDay;
  int64_t days = static_cast<int64_t>(std::floor(daysSinceEpoch));
  int64_t seconds = std::llround((daysSinceEpoch - static_cast<double>(days)) * 86400.0);
  if (seconds >= 86400) {
    ++days;
    seconds -= 86400;
  }
  int year;
  unsigned month, day;
  CivilFromDays(days, year, month, day);
  int weekday = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
  char text[40];
  std::snprintf(text, sizeof text, "%s, %02u %s %04d %02d:%02d:%02d GMT", DayNames[weekday], day,
                MonthNames[month - 1], year, static_cast<int>(seconds / 3600),
                static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
  return text;
}

void TNetEntityHeaderInfo::SetContentLength(int32_t value) {
  FContentLength = value;
  FHasContentLength = value >= 0;
}

void TNetEntityHeaderInfo::Clear() {
  RawHeaders.Clear();
  Connection.clear();
  ContentEncoding.clear();
  ContentLanguage.clear();
  SetContentLength(-1);
  ContentRangeEnd = 0;
  ContentRangeStart = 0;
  ContentType.clear();
  ContentVersion.clear();
  CustomHeaders.Clear();
  Date = 0;
  Expires = 0;
  LastModified = 0;
}

void TNetEntityHeaderInfo::ProcessHeaders() { ProcessEntityHeaders(); }

void TNetEntityHeaderInfo::SetHeaders() {
  RawHeaders.Clear();
  SetEntityHeaders();
}

void TNetEntityHeaderInfo::ProcessEntityHeaders() {
  Connection = RawHeaders.GetValue("Connection");
  ContentVersion = RawHeaders.GetValue("Content-Version");
  ContentEncoding = RawHeaders.GetValue("Content-Encoding");
  ContentLanguage = RawHeaders.GetValue("Content-Language");
  ContentType = RawHeaders.GetValue("Content-Type");
  SetContentLength(NetStrToIntDef(RawHeaders.GetValue("Content-Length"), -1));
  Date = NetParseDate(RawHeaders.GetValue("Date"));
  LastModified = NetParseDate(RawHeaders.GetValue("Last-Modified"));
  Expires = ParseExpires(RawHeaders.GetValue("Expires"));
  Pragma = RawHeaders.GetValue("Pragma");
}

void TNetEntityHeaderInfo::SetEntityHeaders() {
  TNetHeaderList& raw = RawHeaders;
  raw.SetValue("Connection", Connection);
  raw.SetValue("Content-Version", ContentVersion);
  raw.SetValue("Content-Encoding", ContentEncoding);
  raw.SetValue("Content-Language", ContentLanguage);
  raw.SetValue("Content-Type", ContentType);
  if (FContentLength >= 0) raw.SetValue("Content-Length", std::to_string(FContentLength));
  raw.SetValue("Cache-control", CacheControl);
  if (Date > 0) raw.SetValue("Date", NetFormatDate(Date));
  if (Expires > 0) raw.SetValue("Expires", NetFormatDate(Expires));
  if (LastModified > 0) raw.SetValue("Last-Modified", NetFormatDate(LastModified));
  raw.SetValue("Pragma", Pragma);
  for (const std::string& line : CustomHeaders.Lines()) raw.Add(line);
}

TNetRequestHeaderInfo::TNetRequestHeaderInfo() { Clear(); }

void TNetRequestHeaderInfo::Clear() {
  TNetEntityHeaderInfo::Clear();
  Accept = "text/html, */*";
  AcceptCharSet.clear();
  AcceptEncoding.clear();
  AcceptLanguage.clear();
  From.clear();
  Password.clear();
  Referer.clear();
  UserAgent = "Mozilla/3.0 (compatible; Mirpan SetUp)";
  Username.clear();
  Host.clear();
  BasicAuthentication = false;
  ProxyConnection.clear();
  Authentication.reset();
  IfRange.clear();
}

void TNetRequestHeaderInfo::ProcessHeaders() {
  ProcessEntityHeaders();
  Accept = RawHeaders.GetValue("Accept");
  AcceptCharSet = RawHeaders.GetValue("Accept-Charset");
  AcceptEncoding = RawHeaders.GetValue("Accept-Encoding");
  AcceptLanguage = RawHeaders.GetValue("Accept-Language");
  From = RawHeaders.GetValue("From");
  Host = RawHeaders.GetValue("Host");
  ProxyConnection = RawHeaders.GetValue("Proxy-Connection");
  Referer = RawHeaders.GetValue("Referer");
  UserAgent = RawHeaders.GetValue("User-Agent");
}

void TNetRequestHeaderInfo::SetHeaders() {
  TNetEntityHeaderInfo::SetHeaders();
  TNetHeaderList& raw = RawHeaders;
  raw.SetValue("Proxy-Connection", ProxyConnection);
  raw.SetValue("Host", Host);
  raw.SetValue("Accept", Accept);
  raw.SetValue("Accept-Charset", AcceptCharSet);
  raw.SetValue("Accept-Encoding", AcceptEncoding);
  raw.SetValue("Accept-Language", AcceptLanguage);
  raw.SetValue("From", From);
  raw.SetValue("Referer", Referer);
  raw.SetValue("User-Agent", UserAgent);
  if (LastModified > 0) raw.SetValue("If-Modified-Since", NetFormatDate(LastModified));
  if (ContentRangeStart > 0 || ContentRangeEnd > 0) {
    std::string range = "bytes=" + std::to_string(ContentRangeStart) + "-";
    if (ContentRangeEnd > 0) range += std::to_string(ContentRangeEnd);
    raw.SetValue("Range", range);
    raw.SetValue("If-Range", IfRange);
  }
  if (Authentication) {
    raw.SetValue("Authorization", Authentication->Authentication());
  } else if (BasicAuthentication) {
    auto basic = std::make_unique<TNetBasicAuthentication>();
    basic->Username = Username;
    basic->Password = Password;
    raw.SetValue("Authorization", basic->Authentication());
    Authentication = std::move(basic);
  }
}

TNetResponseHeaderInfo::TNetResponseHeaderInfo() { Clear(); }

void TNetResponseHeaderInfo::Clear() {
  TNetEntityHeaderInfo::Clear();
  ContentType = "text/html";
  Location.clear();
  Server.clear();
  ProxyConnection.clear();
  ETag.clear();
  ProxyAuthenticate.Clear();
  WWWAuthenticate.Clear();
}

void TNetResponseHeaderInfo::ProcessHeaders() {
  Location = RawHeaders.GetValue("Location");
  Server = RawHeaders.GetValue("Server");
  ProxyConnection = RawHeaders.GetValue("Proxy-Connection");
  ETag = RawHeaders.GetValue("ETag");

  // "bytes 0-99/1000": only start and end are kept.
  std::string range = RawHeaders.GetValue("Content-Range");
  CutToken(range, " ");
  ContentRangeStart = NetStrToIntDef(CutToken(range, "-"), 0);
  ContentRangeEnd = NetStrToIntDef(CutToken(range, "/"), 0);

  WWWAuthenticate.Clear();
  for (const std::string& value : RawHeaders.Values("WWW-Authenticate")) WWWAuthenticate.Add(value);
  ProxyAuthenticate.Clear();
  for (const std::string& value : RawHeaders.Values("Proxy-Authenticate")) {
    ProxyAuthenticate.Add(value);
  }
  ProcessEntityHeaders();
}

std::string TNetResponseHeaderInfo::ResumeValidator() const {
  return ETag.empty() ? RawHeaders.GetValue("Last-Modified") : ETag;
}

void TNetProxyConnectionInfo::SetProxyServer(const std::string& server) {
  if (server != FProxyServer) Authentication.reset();
  FProxyServer = server;
}

void TNetProxyConnectionInfo::SetProxyPort(int32_t port) {
  if (port != FProxyPort) Authentication.reset();
  FProxyPort = port;
}

void TNetProxyConnectionInfo::SetHeaders(TNetHeaderList& headers) const {
  if (Authentication) {
    headers.SetValue("Proxy-Authorization", Authentication->Authentication());
  } else if (BasicAuthentication) {
    TNetBasicAuthentication basic;
    basic.Username = ProxyUsername;
    basic.Password = ProxyPassword;
    headers.SetValue("Proxy-Authorization", basic.Authentication());
  }
}
