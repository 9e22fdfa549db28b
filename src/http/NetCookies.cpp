#include "http/NetCookies.h"

#include <algorithm>

#include "http/NetHTTPHeaderInfo.h"
#include "http/NetHeaderList.h"

void TNetCookieManager::AddCookie(const std::string& setCookie, const std::string& host) {
  std::string rest = setCookie;
  std::string pair = CutToken(rest, ";");
  size_t equals = pair.find('=');
  if (equals == std::string::npos) return;
  TCookie cookie;
  cookie.Name = NetTrim(pair.substr(0, equals));
  cookie.Value = NetTrim(pair.substr(equals + 1));
  cookie.Host = host;
  cookie.Path = "/";
  if (cookie.Name.empty()) return;
  bool expired = false;
  while (!rest.empty()) {
    std::string attribute = NetTrim(CutToken(rest, ";"));
    std::string value = attribute;
    std::string name = NetTrim(CutToken(value, "="));
    value = NetTrim(value);
    if (NetSameText(name, "Path") && !value.empty() && value[0] == '/') cookie.Path = value;
    if (NetSameText(name, "Secure")) cookie.Secure = true;
    if (NetSameText(name, "Max-Age") && NetStrToIntDef(value, 1) <= 0) expired = true;
  }
  auto same = [&cookie](const TCookie& other) {
    return other.Name == cookie.Name && NetSameText(other.Host, cookie.Host) &&
           other.Path == cookie.Path;
  };
  FCookies.erase(std::remove_if(FCookies.begin(), FCookies.end(), same), FCookies.end());
  if (!expired) FCookies.push_back(cookie);
}

std::string TNetCookieManager::CookieText(const TNetURI& uri, bool secure) const {
  std::string path = uri.Path + uri.Document;
  if (path.empty()) path = "/";
  std::string text;
  for (const TCookie& cookie : FCookies) {
    if (!NetSameText(cookie.Host, uri.Host) || (cookie.Secure && !secure)) continue;
    if (path.compare(0, cookie.Path.size(), cookie.Path) != 0) continue;
    if (!text.empty()) text += "; ";
    text += cookie.Name + "=" + cookie.Value;
  }
  return text;
}
