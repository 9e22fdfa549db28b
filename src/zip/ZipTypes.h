#pragma once
// The archiver's public types: options, event parameter enumerations, the directory entry
// and the small string list that holds the masks.
#include <cstdint>
#include <string>
#include <vector>

enum TZipStorePathMode { spNoPath, spRelativePath, spFullPath, spFullPathWithDrive };
enum TZipFileShareMode {
  smShareCompat,
  smShareExclusive,
  smShareDenyWrite,
  smShareDenyRead,
  smShareDenyNone
};
enum TZipOverwriteMode { omPrompt, omAlways, omNever, omIfNewer, omIfOlder };
enum TZipSpanningMode { smNone, smSpanning, smSplitting };
// Scoped: the window framework has a clNone of its own.
enum class TZipCompressionLevel { clNone, clFastest, clNormal, clMax };

enum TZipProgressPhase { phStart = 0, phRunning = 1, phEnd = 2 };
enum TZipAction { acRetry = 0, acSkip = 1, acAbort = 2 };
// Only opExtract is raised on the extraction path; the other ordinals belong to the
// operations of the writing side.
enum TZipProcessOperation {
  opAdd = 0,
  opMove = 1,
  opDelete = 2,
  opUpdate = 3,
  opExtract = 4,
  opTest = 5
};

// DOS attribute bits as stored in the low byte of the external attributes.
constexpr uint32_t faReadOnly = 0x01;
constexpr uint32_t faHidden = 0x02;
constexpr uint32_t faSysFile = 0x04;
constexpr uint32_t faVolumeID = 0x08;
constexpr uint32_t faDirectory = 0x10;
constexpr uint32_t faArchive = 0x20;

struct TZipOptions {
  TZipStorePathMode StorePath = spRelativePath;
  bool Recurse = true;
  TZipFileShareMode ShareMode = smShareDenyNone;
  TZipOverwriteMode OverwriteMode = omAlways;
  bool CreateDirs = true;
  bool ReplaceReadOnly = true;
  bool SetAttributes = true;
  int32_t SearchAttr = 10431;
  bool FlushBuffers = true;
  bool OEMFileNames = true;
};

// The masks lists; the program only clears and adds.
class TZipStringList {
 public:
  void Clear() { FItems.clear(); }
  void Add(const std::string& s) { FItems.push_back(s); }
  int Count() const { return static_cast<int>(FItems.size()); }
  const std::string& operator[](int i) const { return FItems[static_cast<size_t>(i)]; }

 private:
  std::vector<std::string> FItems;
};

struct TZipExtraBlock {
  uint16_t Tag = 0;
  std::vector<uint8_t> Data;
};

// The 46-byte central file header as stored.
struct TZipCentralHeader {
  uint32_t Signature = 0;
  uint16_t VersionMadeBy = 0;
  uint16_t VersionNeeded = 0;
  uint16_t Flags = 0;
  uint16_t Method = 0;
  uint16_t Time = 0;
  uint16_t Date = 0;
  uint32_t Crc32 = 0;
  uint32_t CompressedSize = 0;
  uint32_t UncompressedSize = 0;
  uint16_t NameLength = 0;
  uint16_t ExtraLength = 0;
  uint16_t CommentLength = 0;
  uint16_t DiskNumberStart = 0;
  uint16_t InternalAttributes = 0;
  uint32_t ExternalAttributes = 0;
  uint32_t LocalHeaderOffset = 0;
};

struct TDirItem {
  TZipCentralHeader Header;
  std::string Name;         // windows-1255, "/" separators as stored; what events carry
  std::string UnicodeName;  // UTF-8, separators as stored; what the file system receives
  std::string StoredName;   // writing side only
  std::string Comment;
  std::vector<TZipExtraBlock> Extra;
  bool Zip64 = false;
  uint64_t Zip64UncompressedSize = 0;
  uint64_t Zip64CompressedSize = 0;
  uint64_t Zip64LocalHeaderOffset = 0;
  uint32_t Zip64DiskNumberStart = 0;
  bool Selected = false;
  uint8_t Operation = 0;

  // The sizes and offset in use: the Zip64 value where the 32-bit field is saturated.
  uint64_t CompressedSize() const {
    return Header.CompressedSize == 0xFFFFFFFFu ? Zip64CompressedSize : Header.CompressedSize;
  }
  uint64_t UncompressedSize() const {
    return Header.UncompressedSize == 0xFFFFFFFFu ? Zip64UncompressedSize : Header.UncompressedSize;
  }
  uint64_t LocalHeaderOffset() const {
    return Header.LocalHeaderOffset == 0xFFFFFFFFu ? Zip64LocalHeaderOffset
                                                   : Header.LocalHeaderOffset;
  }
  void SetLocalHeaderOffset(uint64_t offset) {
    // A corrected offset past 4 GiB moves into the Zip64 value rather than wrapping.
    if (Header.LocalHeaderOffset == 0xFFFFFFFFu || offset >= 0xFFFFFFFFu) {
      Header.LocalHeaderOffset = 0xFFFFFFFFu;
      Zip64LocalHeaderOffset = offset;
    } else {
      Header.LocalHeaderOffset = static_cast<uint32_t>(offset);
    }
  }
};
