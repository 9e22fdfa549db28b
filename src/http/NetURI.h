#pragma once
// A URL split into its parts, and URL text built from them. No network access.
#include <string>

// The text before the first delimiter; the text after it stays in text. Without a
// delimiter the whole text is returned and text is left empty.
std::string CutToken(std::string& text, const std::string& delimiter);

class TNetURI {
 public:
  TNetURI() = default;
  explicit TNetURI(const std::string& uri);

  void SetURI(const std::string& uri);  // splits
  const std::string& URI() const { return FURI; }
  // Raises ENetURIException for an empty Protocol or Host.
  std::string GetFullURI(bool withUser = true, bool withBookmark = true) const;
  // A new path starting with "/" replaces the old one; a relative one is resolved against it.
  static std::string MergePath(const std::string& oldPath, const std::string& newPath);

  std::string Protocol;
  std::string Username;
  std::string Password;
  std::string Host;
  std::string Port;
  std::string Path;  // with leading and trailing "/"
  std::string Document;
  std::string Params;  // from "?" on, or from "=" when there is no "?"
  std::string Bookmark;

 private:
  std::string FURI;
};
