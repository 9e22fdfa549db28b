#include "http/NetContentRange.h"

#include "http/NetHeaderList.h"

namespace {

// Decimal digits from position at up to the first other character; false when there are
// none or the number would not fit.
bool ReadNumber(const std::string& text, size_t& at, int64_t& value) {
  const size_t start = at;
  value = 0;
  while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
    if (value > (INT64_MAX - 9) / 10) return false;
    value = value * 10 + (text[at++] - '0');
  }
  return at > start;
}

bool Expect(const std::string& text, size_t& at, char c) {
  if (at >= text.size() || text[at] != c) return false;
  ++at;
  return true;
}

}  // namespace

bool NetParseContentRange(const std::string& text, TNetContentRange& range) {
  const std::string trimmed = NetTrim(text);
  const size_t blank = trimmed.find(' ');
  if (blank == std::string::npos || !NetSameText(trimmed.substr(0, blank), "bytes")) return false;
  size_t at = blank + 1;
  TNetContentRange result;
  if (!ReadNumber(trimmed, at, result.First) || !Expect(trimmed, at, '-') ||
      !ReadNumber(trimmed, at, result.Last) || !Expect(trimmed, at, '/')) {
    return false;
  }
  if (at + 1 == trimmed.size() && trimmed[at] == '*') {
    result.Complete = -1;
  } else if (!ReadNumber(trimmed, at, result.Complete) || at != trimmed.size() ||
             result.Last >= result.Complete) {
    return false;
  }
  if (result.First > result.Last) return false;
  range = result;
  return true;
}

bool NetContentRangeCompletes(const std::string& text, int64_t start, int64_t total) {
  TNetContentRange range;
  return NetParseContentRange(text, range) && range.First == start && range.Complete == total &&
         range.Last == total - 1;
}
