#pragma once
// A simple cookie store: the values of "Set-Cookie" headers by host, and the "Cookie" text
// for a later request to the same host and path.
#include <string>
#include <vector>

#include "http/NetURI.h"

class TNetCookieManager {
 public:
  // One "Set-Cookie" value ("name=value; Path=/; Secure; ...") from a response of host.
  void AddCookie(const std::string& setCookie, const std::string& host);
  // "a=1; b=2" for a request to uri, or empty.
  std::string CookieText(const TNetURI& uri, bool secure) const;
  size_t Count() const { return FCookies.size(); }

 private:
  struct TCookie {
    std::string Name;
    std::string Value;
    std::string Host;
    std::string Path;
    bool Secure = false;
  };
  std::vector<TCookie> FCookies;
};
