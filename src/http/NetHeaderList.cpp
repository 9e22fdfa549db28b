#include "http/NetHeaderList.h"

#include <cctype>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsContinuation(const std::string& line) { return !line.empty() && IsBlank(line[0]); }

}  // namespace

std::string NetTrim(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
  return text.substr(begin, end - begin);
}

bool NetSameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

bool NetHasControlCharacter(const std::string& text) {
  for (char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && byte != '\t') || byte == 0x7F) return true;
  }
  return false;
}

std::string TNetHeaderList::LineName(const std::string& line) {
  size_t colon = line.find(':');
  return colon == std::string::npos ? line : line.substr(0, colon);
}

size_t TNetHeaderList::IndexOfName(const std::string& name, size_t from) const {
  for (size_t i = from; i < FLines.size(); ++i) {
    if (!IsContinuation(FLines[i]) && FLines[i].find(':') != std::string::npos &&
        NetSameText(LineName(FLines[i]), name)) {
      return i;
    }
  }
  return std::string::npos;
}

size_t TNetHeaderList::ContinuationEnd(size_t index) const {
  size_t end = index + 1;
  while (end < FLines.size() && IsContinuation(FLines[end])) ++end;
  return end;
}

std::string TNetHeaderList::ValueAt(size_t index) const {
  const std::string& line = FLines[index];
  std::string value = NetTrim(line.substr(line.find(':') + 1));
  if (UnfoldLines) {
    for (size_t i = index + 1; i < ContinuationEnd(index); ++i) {
      value += " " + NetTrim(FLines[i]);
    }
  }
  return NetTrim(value);
}

std::string TNetHeaderList::GetValue(const std::string& name) const {
  size_t index = IndexOfName(name);
  return index == std::string::npos ? std::string() : ValueAt(index);
}

std::vector<std::string> TNetHeaderList::Values(const std::string& name) const {
  std::vector<std::string> values;
  for (size_t i = IndexOfName(name); i != std::string::npos; i = IndexOfName(name, i + 1)) {
    values.push_back(ValueAt(i));
  }
  return values;
}

std::vector<std::string> TNetHeaderList::Fold(const std::string& line) const {
  std::vector<std::string> lines;
  std::string rest = line;
  // Break at the last blank within the width (or the first one beyond it); the blank
  // starts the continuation line.
  while (FoldLines && FoldLength > 0 && rest.size() > FoldLength) {
    size_t blank = rest.find_last_of(" \t", FoldLength);
    if (blank == 0 || blank == std::string::npos) blank = rest.find_first_of(" \t", FoldLength);
    if (blank == 0 || blank == std::string::npos) break;
    lines.push_back(rest.substr(0, blank));
    rest.erase(0, blank);
  }
  lines.push_back(rest);
  return lines;
}

void TNetHeaderList::SetValue(const std::string& name, const std::string& value) {
  size_t index = IndexOfName(name);
  size_t end = index == std::string::npos ? index : ContinuationEnd(index);
  if (index != std::string::npos) {
    FLines.erase(FLines.begin() + static_cast<std::ptrdiff_t>(index),
                 FLines.begin() + static_cast<std::ptrdiff_t>(end));
  }
  if (value.empty()) return;
  std::vector<std::string> folded = Fold(name + NameValueSeparator + value);
  size_t at = index == std::string::npos ? FLines.size() : index;
  FLines.insert(FLines.begin() + static_cast<std::ptrdiff_t>(at), folded.begin(), folded.end());
}
