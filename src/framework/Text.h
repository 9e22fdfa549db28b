#pragma once
// Conversions between the program's three text forms: windows-1255 bytes (the record, the
// registry scrambling, archive entry names, component messages), UTF-16 (everything that
// reaches Windows) and UTF-8 (file names on Linux). Portable; no system code page involved.
#include <string>

std::u16string U16FromCp1255(const std::string& text);
std::string Cp1255FromU16(const std::u16string& text);  // unmappable characters become '?'
std::string Utf8FromU16(const std::u16string& text);
std::u16string U16FromUtf8(const std::string& text);  // each malformed byte becomes U+FFFD
std::string Utf8FromCp1255(const std::string& text);
std::string Cp1255FromUtf8(const std::string& text);

#ifdef _WIN32
#include <cwchar>
#include <vector>
// On Windows wchar_t is UTF-16, so the wide API takes these directly.
inline std::wstring WideFromCp1255(const std::string& text) {
  std::u16string u = U16FromCp1255(text);
  return std::wstring(u.begin(), u.end());
}
inline std::string Cp1255FromWide(const std::wstring& text) {
  return Cp1255FromU16(std::u16string(text.begin(), text.end()));
}
// A wmain's arguments after the program's name, as UTF-8.
inline std::vector<std::string> Utf8Arguments(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    std::wstring w = argv[i];
    args.push_back(Utf8FromU16(std::u16string(w.begin(), w.end())));
  }
  return args;
}
#endif
