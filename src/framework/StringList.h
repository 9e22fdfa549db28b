#pragma once
// An ordered list of 8-bit text lines (windows-1255, like the program's other strings).
// Saved to a file every line, the last one included, ends in CR LF.
#include <filesystem>
#include <string>
#include <vector>

#include "framework/Exception.h"

// "Cannot create file %s", "Unable to write to %s", "Cannot open file %s".
class EStreamError : public Exception {
 public:
  using Exception::Exception;
  MIRPAN_EXCEPTION_CLASS(EStreamError)
};

class TStringList {
 public:
  int Count() const { return static_cast<int>(FLines.size()); }
  const std::string& operator[](int index) const { return FLines.at(index); }
  void Add(const std::string& line) { FLines.push_back(line); }
  void Insert(int index, const std::string& line);
  void Delete(int index);
  void Clear() { FLines.clear(); }
  int IndexOf(const std::string& line) const;

  // All lines, each followed by CR LF.
  std::string Text() const;
  // Splits at CR LF, LF or CR; a final line break adds no empty line.
  void SetText(const std::string& text);

  void SaveToFile(const std::filesystem::path& path) const;
  void LoadFromFile(const std::filesystem::path& path);

 private:
  std::vector<std::string> FLines;
};
