// libFuzzer target: a response head (status line and header lines) through the status
// parsers, the header list and the response fields, and its Location through the URL class.
#include <cstddef>
#include <cstdint>
#include <string>

#include "http/NetContentRange.h"
#include "http/NetException.h"
#include "http/NetHTTP.h"
#include "http/NetHTTPHeaderInfo.h"
#include "http/NetURI.h"

namespace {

bool IsPlain(const std::string& text, bool blanks) {
  if (text.empty() || text.find("  ") != std::string::npos) return false;
  for (char c : text) {
    if (c < ' ' || c > '~' || (c == ' ' && !blanks)) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::string status = CutToken(text, "\n");
  NetResponseCode(status);
  TNetHTTPProtocolVersion version = pv1_1;
  NetResponseVersion(status, version);

  TNetResponseHeaderInfo response;
  while (!text.empty()) {
    std::string line = CutToken(text, "\n");
    if (!line.empty() && line.back() == '\r') line.pop_back();
    response.RawHeaders.Add(line);
    NetChunkSize(line);
  }
  response.ProcessHeaders();
  response.RawHeaders.Values("Set-Cookie");
  response.ResumeValidator();

  // A range that parses is ordered, and completes its file exactly when it reaches the end.
  TNetContentRange range;
  const std::string rangeText = response.RawHeaders.GetValue("Content-Range");
  if (NetParseContentRange(rangeText, range)) {
    if (range.First > range.Last || (range.Complete >= 0 && range.Last >= range.Complete)) {
      __builtin_trap();
    }
    bool reachesEnd = range.Complete >= 0 && range.Last == range.Complete - 1;
    if (NetContentRangeCompletes(rangeText, range.First, range.Complete) != reachesEnd) {
      __builtin_trap();
    }
  }

  // Folding and unfolding give a plain value back: printable text, single blanks.
  TNetHeaderList copy(24);
  for (const std::string& line : response.RawHeaders.Lines()) {
    std::string value = line;
    std::string name = CutToken(value, ":");
    value = NetTrim(value);
    copy.SetValue(name, value);
    if (IsPlain(name, false) && IsPlain(value, true) && copy.Values(name).size() == 1 &&
        copy.GetValue(name) != value) {
      __builtin_trap();
    }
  }

  TNetURI uri(response.Location);
  TNetURI::MergePath("/uploads/", uri.Path);
  try {
    uri.GetFullURI();
  } catch (const ENetURIException&) {
  }
  return 0;
}
