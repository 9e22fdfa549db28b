#pragma once
// The framework's ini-file accessor over the system's profile-string routines: an existing
// file keeps the sections and keys it is not told to change.
#include <string>

#include "framework/Exception.h"

// A profile write the system refused; the message names the file.
class EIniFileException : public Exception {
 public:
  using Exception::Exception;
  MIRPAN_EXCEPTION_CLASS(EIniFileException)
};

class TIniFile {
 public:
  explicit TIniFile(std::wstring FileName);
  // Flushes what the system may still hold for the file.
  ~TIniFile();
  TIniFile(const TIniFile&) = delete;
  TIniFile& operator=(const TIniFile&) = delete;

  const std::wstring& FileName() const { return FFileName; }

  std::wstring ReadString(const std::wstring& Section, const std::wstring& Ident,
                          const std::wstring& Default) const;
  int ReadInteger(const std::wstring& Section, const std::wstring& Ident, int Default) const;
  // Raise EIniFileException("Unable to write to <file>") when the file cannot be written.
  void WriteString(const std::wstring& Section, const std::wstring& Ident,
                   const std::wstring& Value);
  void WriteInteger(const std::wstring& Section, const std::wstring& Ident, int Value);
  void DeleteKey(const std::wstring& Section, const std::wstring& Ident);
  void EraseSection(const std::wstring& Section);
  // Makes the system write its cached copy of the file to disk now.
  void UpdateFile();

 private:
  [[noreturn]] void RaiseUnableToWrite() const;

  std::wstring FFileName;
};
