#include "http/NetException.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "http/NetResourceStrings.h"
#include "http/NetSocketErrors.h"

std::string NetFormat(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string result;
  if (length > 0) {
    std::vector<char> text(static_cast<size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, args);
    result.assign(text.data(), static_cast<size_t>(length));
  }
  va_end(args);
  return result;
}

namespace NetResourceStrings {

const char* SocketErrorText(int code) {
  switch (code) {
#define MIRPAN_NET_SOCKET_ERROR_TEXT(name, value, text) \
  case name:                                            \
    return text;
    MIRPAN_NET_SOCKET_ERRORS(MIRPAN_NET_SOCKET_ERROR_TEXT)
#undef MIRPAN_NET_SOCKET_ERROR_TEXT
  }
  return "";
}

}  // namespace NetResourceStrings
