#pragma once
// The in-memory directory of an open archive: the entry array with its name index, and the
// directory object that finds the end record, reads the central directory, detects a stub
// in front of the archive and, when the directory is missing or damaged, rebuilds it from
// the local headers.
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "zip/ZipStream.h"
#include "zip/ZipTypes.h"

// Entry names lower-cased by the locale, one per position, with a lookup by text. The
// lookup keys view the stored texts, which a deque never moves, so each name is kept once.
class TZipHashedStringList {
 public:
  void Clear();
  int Count() const { return static_cast<int>(FItems.size()); }
  // The first position holding Text, or -1.
  int IndexOf(const std::string& text) const;
  void Add(const std::string& text);
  void Put(int index, const std::string& text);

 private:
  void Index(int index);
  std::deque<std::string> FItems;
  std::unordered_map<std::string_view, int> FFirst;
};

class TZipDirArray {
 public:
  TZipDirArray() = default;
  int Count() const { return static_cast<int>(FItems.size()); }
  void Clear();
  // Makes room for Count entries by the array's growth rule.
  void SetCapacity(int64_t count);
  void Append(TDirItem item);
  const TDirItem& Get(int index) const;       // native error 2 out of range
  TDirItem& Item(int index);                  // native error 3 out of range
  void Put(int index, const TDirItem& item);  // native error 1 out of range
  // Keeps the name index in step (native errors 58 and 59).
  void SetName(int index, const std::string& name);

 private:
  std::vector<TDirItem> FItems;
  int64_t FCapacity = 0;
  int64_t FDelta = 500;
  TZipHashedStringList FNames;
};

struct TZipEndRecord {
  uint32_t Signature = 0x06054B50;
  uint16_t DiskNumber = 0;
  uint16_t DirectoryDisk = 0;
  uint16_t EntriesOnDisk = 0;
  uint16_t TotalEntries = 0;
  uint32_t DirectorySize = 0;
  uint32_t DirectoryOffset = 0;
  uint16_t CommentLength = 0;
};

struct TZip64Locator {
  uint32_t Signature = 0;
  uint32_t EndRecordDisk = 0;
  uint64_t EndRecordOffset = 0;
  uint32_t TotalDisks = 0;
};

struct TZip64EndRecord {
  uint32_t Signature = 0;
  uint64_t RecordSize = 0;
  uint16_t VersionMadeBy = 0;
  uint16_t VersionNeeded = 0;
  uint32_t ThisDisk = 0;
  uint32_t DirectoryDisk = 0;
  uint64_t EntriesOnDisk = 0;
  uint64_t TotalEntries = 0;
  uint64_t DirectorySize = 0;
  uint64_t DirectoryOffset = 0;
};

class TZipDirectory {
 public:
  // A stream passed as Owned is freed with the directory object.
  TZipDirectory(TZipStream* stream, bool owned);
  ~TZipDirectory();

  // Finds the end-of-central-directory record; its position in Position.
  bool FindEndRecord(int64_t& position);
  // Reads the central directory, or rebuilds it when it's missing or unreadable and
  // RepairOnOpen is on.
  void ReadDirectory(bool oemFileNames, bool repairOnOpen);
  void Repair(bool oemFileNames);

  TZipDirArray& Items() { return FItems; }
  TZipReader& Reader() { return FReader; }
  const std::string& Comment() const { return FComment; }
  int64_t StubSize() const { return FStubSize; }
  bool Zip64() const { return FZip64; }
  int64_t CentralDirectoryStart() const { return FCentralDirectoryStart; }

  // The position of the next Signature at or after Start, -1 when none. A local header
  // needs 30 bytes after it, any other record MinRemaining.
  int64_t FindSignature(int64_t start, uint32_t signature, int64_t minRemaining);

 private:
  void ReadEntries(int64_t count, bool oemFileNames);
  void ReadExtraField(TDirItem& item, uint16_t length);
  // Gives entry Index its Unicode name and its windows-1255 name from the stored bytes.
  void SetNames(int index, const std::string& raw, bool oemFileNames);
  bool IsMultiPart() const;
  bool ApplyMeasuredShift();
  void DetectStub();
  void CorrectOffsets();
  void CheckOverlaps();

  TZipStream* FStream;
  bool FOwned;
  TZipReader FReader;
  TZipDirArray FItems;
  std::string FComment;
  TZip64Locator FLocator;
  TZip64EndRecord FZip64End;
  TZipEndRecord FEndRecord;
  int64_t FEndRecordPosition = 0;
  int64_t FStubSize = 0;
  bool FZip64 = false;
  int64_t FCentralDirectoryStart = 0;
};
