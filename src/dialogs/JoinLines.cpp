#include "dialogs/JoinLines.h"

namespace {
template <class TLines>
std::wstring Join(const TLines& lines) {
  std::wstring text;
  for (const std::wstring& line : lines) {
    text += line;
    text += L"\r\n";
  }
  return text;
}
}  // namespace

std::wstring JoinLines(std::initializer_list<std::wstring> Lines) { return Join(Lines); }
std::wstring JoinLines(const std::vector<std::wstring>& Lines) { return Join(Lines); }
