#include "zip/ZipMasks.h"

#include <algorithm>

#include "zip/ZipArchiver.h"
#include "zip/ZipLocale.h"

namespace {

bool SameChar(char a, char b, bool ignoreCase) {
  if (a == b) return true;
  return ignoreCase &&
         ZipSameCharIgnoreCase(static_cast<unsigned char>(a), static_cast<unsigned char>(b));
}

bool MatchFrom(const char* name, const char* mask, bool ignoreCase) {
  while (true) {
    if (mask[0] == '*' && mask[1] == '\0') return true;
    if (*name == '\0' && *mask == '\0') return true;
    if (*name == '\0' || *mask == '\0') return false;
    if (*mask == '*') {
      for (const char* k = name; *k; ++k)
        if (MatchFrom(k, mask + 1, ignoreCase)) return true;
      return false;
    }
    if (*mask != '?' && !SameChar(*mask, *name, ignoreCase)) return false;
    ++name;
    ++mask;
  }
}

bool IsDelimiter(char c) { return c == '\\' || c == ':'; }

// The drive part of a mask: "C:" or the "\\server\share" of a network path.
size_t DrivePartLength(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return 2;
  if (path.size() >= 2 && (path[0] == '\\' || path[0] == '/') && path[1] == path[0]) {
    size_t server = path.find_first_of("\\/", 2);
    if (server == std::string::npos) return path.size();
    size_t share = path.find_first_of("\\/", server + 1);
    return share == std::string::npos ? path.size() : share;
  }
  return 0;
}

}  // namespace

bool MaskMatches(const std::string& name, const std::string& mask, bool ignoreCase) {
  if (mask == "*.*") return true;
  return MatchFrom(name.c_str(), mask.c_str(), ignoreCase);
}

bool EntryMatchesMask(const std::string& name, const std::string& mask) {
  if (mask.empty()) return false;
  std::string m = mask;
  size_t star = m.find("*.*");
  if (star != std::string::npos) m.replace(star, 3, "*");
  const bool noExtension = mask.back() == '.';
  if (noExtension) m.pop_back();
  const bool trailingDot = !name.empty() && name.back() == '.';
  bool matched = MaskMatches(trailingDot ? name.substr(0, name.size() - 1) : name, m, true);
  if (matched && noExtension) {
    std::string ext = ZipExtractFileExt(name);
    matched = ext.empty() || ext == ".";
  }
  return matched;
}

std::string ZipExtractFilePath(const std::string& path) {
  size_t i = path.size();
  while (i > 0 && !IsDelimiter(path[i - 1])) --i;
  return path.substr(0, i);
}

std::string ZipExtractFileName(const std::string& path) {
  return path.substr(ZipExtractFilePath(path).size());
}

std::string ZipExtractFileExt(const std::string& path) {
  size_t i = path.size();
  while (i > 0 && !IsDelimiter(path[i - 1])) {
    if (path[i - 1] == '.') return path.substr(i - 1);
    --i;
  }
  return std::string();
}

std::string ZipSlashesToBackslashes(std::string text) {
  std::replace(text.begin(), text.end(), '/', '\\');
  return text;
}

// --- the archiver's search ---

bool TZipBaseArchiver::FindFirst(TZipArchiveItem& search) {
  search.Handle.MaskList = true;
  search.Handle.Attr = Options.SearchAttr;
  search.Handle.Index = 0;
  return SearchFrom(search);
}

bool TZipBaseArchiver::FindFirst(TZipArchiveItem& search, const std::string& fileMask,
                                 int32_t searchAttr, const std::string& exclusionMask) {
  std::string mask = fileMask;
  if (Options.StorePath != spFullPathWithDrive) mask.erase(0, DrivePartLength(mask));
  std::replace(mask.begin(), mask.end(), '\\', '/');
  search.Handle.Mask = mask;
  search.Handle.ExclusionMask = exclusionMask;
  search.Handle.MaskList = false;
  search.Handle.HasWildcards = mask.find_first_of("*?") != std::string::npos;
  search.Handle.Attr = searchAttr;
  search.Handle.Index = 0;
  return SearchFrom(search);
}

bool TZipBaseArchiver::FindNext(TZipArchiveItem& search) {
  ++search.Handle.Index;
  return SearchFrom(search);
}

bool TZipBaseArchiver::EntryIsIn(const TInternalSearchRec& search, const TDirItem& item) const {
  if (!Options.Recurse) {
    std::string own = item.Name;
    if (!own.empty() && own.back() == '/') own.pop_back();
    std::string folder = ZipLowerCase(ZipExtractFilePath(ZipSlashesToBackslashes(own)));
    std::string wanted = ZipLowerCase(ZipExtractFilePath(ZipSlashesToBackslashes(search.Mask)));
    if (folder != wanted) return false;
  }
  if (search.MaskList) {
    const std::string name = ZipSlashesToBackslashes(item.Name);
    bool in = false;
    for (int m = 0; m < FileMasks.Count() && !in; ++m) {
      if (!EntryMatchesMask(name, FileMasks[m])) continue;
      for (int x = 0; x < ExclusionMasks.Count(); ++x)
        if (EntryMatchesMask(name, ExclusionMasks[x])) return false;
      in = true;
    }
    if (!in) return false;
  } else {
    std::string name = item.Name;
    if (!name.empty() && (name.back() == '/' || name.back() == '\\')) name.pop_back();
    if (!EntryMatchesMask(name, search.Mask) &&
        !EntryMatchesMask(ZipExtractFileName(ZipSlashesToBackslashes(name)), search.Mask))
      return false;
  }
  const uint32_t guarded = faHidden | faSysFile | faVolumeID | faDirectory;
  return (item.Header.ExternalAttributes & guarded & ~static_cast<uint32_t>(search.Attr)) == 0;
}

bool TZipBaseArchiver::SearchFrom(TZipArchiveItem& search) {
  TZipDirArray& items = FDirectory->Items();
  for (int j = std::max(search.Handle.Index, 0); j < items.Count(); ++j) {
    const TDirItem& item = items.Get(j);
    if (!EntryIsIn(search.Handle, item)) continue;
    search.Handle.Index = j;
    const std::string name = ZipSlashesToBackslashes(item.Name);
    search.FileName = ZipExtractFileName(name);
    search.StoredPath = ZipExtractFilePath(name);
    search.CompressedSize = static_cast<int64_t>(item.CompressedSize());
    search.UncompressedSize = static_cast<int64_t>(item.UncompressedSize());
    if (search.UncompressedSize == 0) {
      search.CompressionRate = 100;
    } else {
      double rate = (1.0 - static_cast<double>(search.CompressedSize) /
                               static_cast<double>(search.UncompressedSize)) *
                    100.0;
      search.CompressionRate = rate < 0 ? 0 : rate;
    }
    search.Encrypted = (item.Header.Flags & 1) != 0;
    search.FileDate = item.Header.Date;
    search.FileTime = item.Header.Time;
    search.Crc32 = item.Header.Crc32;
    search.ExternalFileAttributes = item.Header.ExternalAttributes;
    search.Comment = item.Comment;
    return true;
  }
  return false;
}

void TZipBaseArchiver::SelectEntries(TZipArchiveItem& search, bool found) {
  TZipDirArray& items = FDirectory->Items();
  while (found) {
    items.Item(search.Handle.Index).Selected = true;
    found = FindNext(search);
  }
}
