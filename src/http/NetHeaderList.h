#pragma once
// Header lines "Name: value" with names compared without case, long values folded into
// continuation lines (which start with a blank or a tab) and unfolded again on reading.
#include <string>
#include <vector>

class TNetHeaderList {
 public:
  explicit TNetHeaderList(size_t foldLength = 78) : FoldLength(foldLength) {}

  // The first line of that name, continuation lines joined with one blank, trimmed.
  std::string GetValue(const std::string& name) const;
  // An empty value deletes the line; otherwise replaced in place or appended, folded.
  void SetValue(const std::string& name, const std::string& value);
  // The values of every line of that name.
  std::vector<std::string> Values(const std::string& name) const;

  void Add(const std::string& line) { FLines.push_back(line); }
  void Clear() { FLines.clear(); }
  size_t Count() const { return FLines.size(); }
  const std::string& operator[](size_t index) const { return FLines[index]; }
  const std::vector<std::string>& Lines() const { return FLines; }

  // The name of a line: its text before the first ":".
  static std::string LineName(const std::string& line);

  std::string NameValueSeparator = ": ";
  size_t FoldLength;
  bool FoldLines = true;
  bool UnfoldLines = true;

 private:
  size_t IndexOfName(const std::string& name, size_t from = 0) const;
  size_t ContinuationEnd(size_t index) const;  // index past the line's continuation lines
  std::string ValueAt(size_t index) const;
  std::vector<std::string> Fold(const std::string& line) const;

  std::vector<std::string> FLines;
};

std::string NetTrim(const std::string& text);
bool NetSameText(const std::string& a, const std::string& b);  // without case
// A byte below 0x20 other than a tab, or 0x7F: what must never reach a request line or
// header, where a CR or LF would end it and start another.
bool NetHasControlCharacter(const std::string& text);
