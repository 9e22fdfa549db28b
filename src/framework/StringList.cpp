#include "framework/StringList.h"

#include <cstdio>
#include <memory>

#include "framework/Text.h"

namespace {

using TFile = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

TFile OpenFile(const std::filesystem::path& path, bool write) {
#ifdef _WIN32
  std::FILE* file = _wfopen(path.c_str(), write ? L"wb" : L"rb");
#else
  std::FILE* file = std::fopen(path.c_str(), write ? "wb" : "rb");
#endif
  return TFile(file, &std::fclose);
}

// The path as the message shows it: windows-1255, like every other component message.
std::string PathText(const std::filesystem::path& path) {
  std::u16string u = path.u16string();
  return Cp1255FromU16(u);
}

}  // namespace

void TStringList::Insert(int index, const std::string& line) {
  if (index < 0 || index > Count())
    throw Exception("List index out of bounds (" + std::to_string(index) + ")");
  FLines.insert(FLines.begin() + index, line);
}

void TStringList::Delete(int index) {
  if (index < 0 || index >= Count())
    throw Exception("List index out of bounds (" + std::to_string(index) + ")");
  FLines.erase(FLines.begin() + index);
}

int TStringList::IndexOf(const std::string& line) const {
  for (int i = 0; i < Count(); ++i)
    if (FLines[i] == line) return i;
  return -1;
}

std::string TStringList::Text() const {
  std::string text;
  for (const std::string& line : FLines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

void TStringList::SetText(const std::string& text) {
  FLines.clear();
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      FLines.push_back(text.substr(start));
      break;
    }
    FLines.push_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
}

void TStringList::SaveToFile(const std::filesystem::path& path) const {
  TFile file = OpenFile(path, true);
  if (!file) throw EStreamError("Cannot create file " + PathText(path));
  std::string text = Text();
  bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
  written = std::fflush(file.get()) == 0 && written;
  if (!written) throw EStreamError("Unable to write to " + PathText(path));
}

void TStringList::LoadFromFile(const std::filesystem::path& path) {
  TFile file = OpenFile(path, false);
  if (!file) throw EStreamError("Cannot open file " + PathText(path));
  std::string text;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) text.append(buffer, n);
  if (std::ferror(file.get())) throw EStreamError("Stream read error");
  SetText(text);
}
