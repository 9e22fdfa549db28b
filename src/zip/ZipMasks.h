#pragma once
// Wildcard matching of entry names and the search records of the entry selection.
#include <cstdint>
#include <string>

// "*" matches any run of characters ("\" and "." included), "?" any one character.
bool MaskMatches(const std::string& name, const std::string& mask, bool ignoreCase);
// One selection mask against a name with "\" separators: "*.*" stands for "*", and a mask
// ending in "." asks for a name without extension.
bool EntryMatchesMask(const std::string& name, const std::string& mask);

// Path parts, with "\" and ":" as delimiters.
std::string ZipExtractFilePath(const std::string& path);  // up to and including the delimiter
std::string ZipExtractFileName(const std::string& path);
std::string ZipExtractFileExt(const std::string& path);  // from the last "." of the name part
std::string ZipSlashesToBackslashes(std::string text);

struct TInternalSearchRec {
  int32_t Index = 0;
  // The explicit mask; held as a string so that no mask length can overrun it.
  std::string Mask;
  bool HasWildcards = false;
  int32_t Attr = 0;
  std::string ExclusionMask;
  bool MaskList = false;
};

struct TZipArchiveItem {
  std::string FileName;
  std::string StoredPath;
  int64_t CompressedSize = 0;
  int64_t UncompressedSize = 0;
  double CompressionRate = 0;
  bool Encrypted = false;
  uint16_t FileDate = 0;
  uint16_t FileTime = 0;
  uint32_t Crc32 = 0;
  uint32_t ExternalFileAttributes = 0;
  std::string Comment;
  TInternalSearchRec Handle;
};
