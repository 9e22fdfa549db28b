#include "framework/IniFile.h"

#include <windows.h>

#include <cwchar>
#include <utility>
#include <vector>

#include "framework/Text.h"

TIniFile::TIniFile(std::wstring FileName) : FFileName(std::move(FileName)) {}

TIniFile::~TIniFile() {
  // A destructor must not throw; a failed flush here has nobody left to tell.
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, FFileName.c_str());
}

void TIniFile::RaiseUnableToWrite() const {
  throw EIniFileException("Unable to write to " + Cp1255FromWide(FFileName));
}

std::wstring TIniFile::ReadString(const std::wstring& Section, const std::wstring& Ident,
                                  const std::wstring& Default) const {
  // The routine truncates silently, so grow the buffer until the answer fits.
  std::vector<wchar_t> buffer(2048);
  for (;;) {
    DWORD got =
        GetPrivateProfileStringW(Section.c_str(), Ident.c_str(), Default.c_str(), buffer.data(),
                                 static_cast<DWORD>(buffer.size()), FFileName.c_str());
    if (got + 1 < buffer.size() || buffer.size() >= (1u << 20))
      return std::wstring(buffer.data(), got);
    buffer.resize(buffer.size() * 2);
  }
}

int TIniFile::ReadInteger(const std::wstring& Section, const std::wstring& Ident,
                          int Default) const {
  std::wstring text = ReadString(Section, Ident, L"");
  if (text.empty()) return Default;
  wchar_t* end = nullptr;
  long value = std::wcstol(text.c_str(), &end, 0);
  return (end && *end == L'\0') ? static_cast<int>(value) : Default;
}

void TIniFile::WriteString(const std::wstring& Section, const std::wstring& Ident,
                           const std::wstring& Value) {
  if (!WritePrivateProfileStringW(Section.c_str(), Ident.c_str(), Value.c_str(), FFileName.c_str()))
    RaiseUnableToWrite();
}

void TIniFile::WriteInteger(const std::wstring& Section, const std::wstring& Ident, int Value) {
  WriteString(Section, Ident, std::to_wstring(Value));
}

void TIniFile::DeleteKey(const std::wstring& Section, const std::wstring& Ident) {
  WritePrivateProfileStringW(Section.c_str(), Ident.c_str(), nullptr, FFileName.c_str());
}

void TIniFile::EraseSection(const std::wstring& Section) {
  if (!WritePrivateProfileStringW(Section.c_str(), nullptr, nullptr, FFileName.c_str()))
    RaiseUnableToWrite();
}

void TIniFile::UpdateFile() {
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, FFileName.c_str());
}
