#include "http/NetURI.h"

#include <algorithm>
#include <vector>

#include "http/NetException.h"
#include "http/NetResourceStrings.h"

std::string CutToken(std::string& text, const std::string& delimiter) {
  size_t position = text.find(delimiter);
  std::string token;
  if (position == std::string::npos) {
    token.swap(text);
  } else {
    token = text.substr(0, position);
    text.erase(0, position + delimiter.size());
  }
  return token;
}

TNetURI::TNetURI(const std::string& uri) {
  if (!uri.empty()) SetURI(uri);
}

void TNetURI::SetURI(const std::string& uri) {
  std::string text = uri;
  std::replace(text.begin(), text.end(), '\\', '/');
  FURI = text;
  Protocol.clear();
  Username.clear();
  Password.clear();
  Host.clear();
  Port.clear();
  Path.clear();
  Document.clear();
  Params.clear();
  Bookmark.clear();

  const bool hasScheme = text.find("://") != std::string::npos;
  if (hasScheme) {
    Protocol = CutToken(text, "://");
    std::string authority = CutToken(text, "/");
    size_t at = authority.find('@');
    if (at != std::string::npos) {
      std::string user = authority.substr(0, at);
      authority.erase(0, at + 1);
      Username = CutToken(user, ":");
      Password = Username.empty() ? std::string() : user;
    }
    Host = CutToken(authority, ":");
    Port = authority;
  }

  size_t cut = text.find('?');
  if (cut == std::string::npos) cut = text.find('=');
  size_t slash = cut == std::string::npos ? text.rfind('/') : text.rfind('/', cut);
  size_t documentStart = slash == std::string::npos ? 0 : slash + 1;
  Path = text.substr(0, documentStart);
  if (hasScheme) Path.insert(0, "/");
  if (cut == std::string::npos) {
    Document = text.substr(documentStart);
  } else {
    Document = text.substr(documentStart, cut - documentStart);
    Params = text.substr(cut);
  }

  if (hasScheme) {
    size_t hash = Document.find('#');
    if (hash != std::string::npos) {
      Bookmark = Document.substr(hash + 1);
      Document.erase(hash);
    }
    if (Bookmark.empty()) {
      hash = Params.find('#');
      if (hash != std::string::npos) {
        Bookmark = Params.substr(hash + 1);
        Params.erase(hash);
      }
    }
  }
}

std::string TNetURI::GetFullURI(bool withUser, bool withBookmark) const {
  if (Protocol.empty()) throw ENetURIException(NetResourceStrings::RSURINoProto);
  if (Host.empty()) throw ENetURIException(NetResourceStrings::RSURINoHost);
  std::string result = Protocol + "://";
  if (withUser && !Username.empty()) {
    result += Username;
    if (!Password.empty()) result += ":" + Password;
    result += "@";
  }
  result += Host;
  if (!Port.empty()) result += ":" + Port;
  result += Path + Document + Params;
  if (withBookmark && !Bookmark.empty()) result += "#" + Bookmark;
  return result;
}

std::string TNetURI::MergePath(const std::string& oldPath, const std::string& newPath) {
  if (!newPath.empty() && newPath[0] == '/') return newPath;
  std::string merged = oldPath;
  if (!merged.empty() && merged.back() != '/' && !newPath.empty()) merged += '/';
  merged += newPath;

  // Resolve "." and ".." segments; ".." never climbs above the root.
  std::vector<std::string> segments;
  std::string rest = merged;
  const bool absolute = !rest.empty() && rest[0] == '/';
  if (absolute) rest.erase(0, 1);
  bool trailingSlash = false;
  while (!rest.empty()) {
    std::string segment = CutToken(rest, "/");
    trailingSlash = rest.empty() && merged.back() == '/';
    if (segment == ".") {
      trailingSlash = true;
    } else if (segment == "..") {
      if (!segments.empty()) segments.pop_back();
      trailingSlash = true;
    } else {
      segments.push_back(segment);
    }
  }
  std::string result = absolute ? "/" : "";
  for (size_t i = 0; i < segments.size(); ++i) {
    if (i > 0) result += '/';
    result += segments[i];
  }
  if (!segments.empty() && (trailingSlash || merged.back() == '/')) result += '/';
  return result;
}
