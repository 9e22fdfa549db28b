#pragma once
// The Content-Range of a 206 reply, read strictly, and the check a resumed download makes
// before it appends the reply to the bytes it already has.
#include <cstdint>
#include <string>

struct TNetContentRange {
  int64_t First = 0;
  int64_t Last = 0;
  int64_t Complete = -1;  // -1 when the server gives "*" (length unknown)
};

// "bytes first-last/complete" or "bytes first-last/*": the unit without case, decimal digits
// only, first <= last, and last below complete when complete is known.
bool NetParseContentRange(const std::string& text, TNetContentRange& range);

// Whether the range starts at byte start and runs to the end of a file of total bytes, so
// that its body completes what is already there.
bool NetContentRangeCompletes(const std::string& text, int64_t start, int64_t total);
