#include "zip/ZipDirectory.h"

#include <algorithm>
#include <cstring>

#include "framework/Text.h"
#include "zip/ZipException.h"
#include "zip/ZipLocale.h"
#include "zip/ZipNames.h"

namespace {

constexpr uint32_t kEndSignature = 0x06054B50;
constexpr uint32_t kZip64LocatorSignature = 0x07064B50;
constexpr uint32_t kZip64EndSignature = 0x06064B50;
constexpr uint32_t kCentralSignature = 0x02014B50;
constexpr uint32_t kLocalSignature = 0x04034B50;
constexpr uint32_t kDescriptorSignature = 0x08074B50;
constexpr int64_t kEndRecordSize = 22;
constexpr int64_t kLocalHeaderSize = 30;
constexpr int64_t kCentralHeaderSize = 46;

void ParseCentralHeader(const uint8_t* p, TZipCentralHeader& h) {
  h.Signature = ZipGet32(p);
  h.VersionMadeBy = ZipGet16(p + 4);
  h.VersionNeeded = ZipGet16(p + 6);
  h.Flags = ZipGet16(p + 8);
  h.Method = ZipGet16(p + 10);
  h.Time = ZipGet16(p + 12);
  h.Date = ZipGet16(p + 14);
  h.Crc32 = ZipGet32(p + 16);
  h.CompressedSize = ZipGet32(p + 20);
  h.UncompressedSize = ZipGet32(p + 24);
  h.NameLength = ZipGet16(p + 28);
  h.ExtraLength = ZipGet16(p + 30);
  h.CommentLength = ZipGet16(p + 32);
  h.DiskNumberStart = ZipGet16(p + 34);
  h.InternalAttributes = ZipGet16(p + 36);
  h.ExternalAttributes = ZipGet32(p + 38);
  h.LocalHeaderOffset = ZipGet32(p + 42);
}

void ParseEndRecord(const uint8_t* p, TZipEndRecord& r) {
  r.Signature = ZipGet32(p);
  r.DiskNumber = ZipGet16(p + 4);
  r.DirectoryDisk = ZipGet16(p + 6);
  r.EntriesOnDisk = ZipGet16(p + 8);
  r.TotalEntries = ZipGet16(p + 10);
  r.DirectorySize = ZipGet32(p + 12);
  r.DirectoryOffset = ZipGet32(p + 16);
  r.CommentLength = ZipGet16(p + 20);
}

}  // namespace

// --- name index ---

void TZipHashedStringList::Clear() {
  FFirst.clear();
  FItems.clear();
}

int TZipHashedStringList::IndexOf(const std::string& text) const {
  auto found = FFirst.find(text);
  return found == FFirst.end() ? -1 : found->second;
}

// Makes position Index the lookup's answer for its text when no earlier position holds it.
void TZipHashedStringList::Index(int index) {
  const std::string& text = FItems[static_cast<size_t>(index)];
  auto found = FFirst.find(text);
  if (found == FFirst.end())
    FFirst.emplace(text, index);
  else if (found->second > index) {
    FFirst.erase(found);
    FFirst.emplace(text, index);
  }
}

void TZipHashedStringList::Add(const std::string& text) {
  FItems.push_back(text);
  Index(Count() - 1);
}

void TZipHashedStringList::Put(int index, const std::string& text) {
  const std::string old = FItems[static_cast<size_t>(index)];
  auto found = FFirst.find(old);
  const bool wasFirst = found != FFirst.end() && found->second == index;
  if (wasFirst) FFirst.erase(found);
  FItems[static_cast<size_t>(index)] = text;
  Index(index);
  // Renaming is rare: the old text's next holder is found by a scan.
  if (wasFirst)
    for (int i = index + 1; i < Count(); ++i)
      if (FItems[static_cast<size_t>(i)] == old) {
        Index(i);
        break;
      }
}

// --- entry array ---

void TZipDirArray::Clear() {
  FItems.clear();
  FNames.Clear();
}

void TZipDirArray::SetCapacity(int64_t count) {
  if (count <= FCapacity) return;
  FDelta = std::min<int64_t>(FDelta * 2, 10000);
  FCapacity = std::max(count, FCapacity + FDelta);
  FItems.reserve(static_cast<size_t>(FCapacity));
}

void TZipDirArray::Append(TDirItem item) {
  SetCapacity(Count() + 1);
  FItems.push_back(std::move(item));
}

const TDirItem& TZipDirArray::Get(int index) const {
  if (index < 0 || index >= Count()) throw EZipException(zeItemsGet);
  return FItems[static_cast<size_t>(index)];
}

TDirItem& TZipDirArray::Item(int index) {
  if (index < 0 || index >= Count()) throw EZipException(zeItemsItem);
  return FItems[static_cast<size_t>(index)];
}

void TZipDirArray::Put(int index, const TDirItem& item) {
  if (index < 0 || index >= Count()) throw EZipException(zeItemsPut);
  SetName(index, item.Name);
  std::string name = FItems[static_cast<size_t>(index)].Name;
  FItems[static_cast<size_t>(index)] = item;
  FItems[static_cast<size_t>(index)].Name = name;
}

void TZipDirArray::SetName(int index, const std::string& name) {
  TDirItem& item = Item(index);
  int at = FNames.IndexOf(ZipLowerCase(item.Name));
  if (at >= 0 && at != index) throw EZipException(zeNameConflict);
  if (at == index) {
    FNames.Put(index, ZipLowerCase(name));
  } else {
    if (FNames.Count() != index) throw EZipException(zeNameIndexOutOfStep);
    FNames.Add(ZipLowerCase(name));
  }
  item.Name = name;
}

// --- directory object ---

TZipDirectory::TZipDirectory(TZipStream* stream, bool owned)
    : FStream(stream), FOwned(owned), FReader(*stream) {}

TZipDirectory::~TZipDirectory() {
  if (FOwned) delete FStream;
}

bool TZipDirectory::FindEndRecord(int64_t& position) {
  FComment.clear();
  FEndRecord = TZipEndRecord();
  position = -1;
  int64_t size = FReader.Size();
  int64_t n = std::min<int64_t>(65600, size);
  std::vector<uint8_t> tail(static_cast<size_t>(n));
  FReader.Seek(size - n);
  FReader.ReadBuffer(tail.data(), tail.size());
  for (int64_t i = n - 1; i >= 3; --i) {
    const uint8_t* b = tail.data();
    if (b[i] != 0x06 || b[i - 1] != 0x05 || b[i - 2] != 0x4B || b[i - 3] != 0x50) continue;
    int64_t at = i - 3;
    if (n - at < kEndRecordSize) continue;
    uint16_t commentLength = ZipGet16(b + at + 20);
    if (commentLength != n - at - kEndRecordSize) continue;
    ParseEndRecord(b + at, FEndRecord);
    position = size - n + at;
    if (commentLength != 0)
      FComment.assign(reinterpret_cast<const char*>(b + at + kEndRecordSize), commentLength);
    return true;
  }
  return false;
}

void TZipDirectory::ReadDirectory(bool oemFileNames, bool repairOnOpen) {
  FItems.Clear();
  FEndRecord = TZipEndRecord();
  FStubSize = 0;
  int64_t q = 0;
  if (!FindEndRecord(q)) {
    Repair(oemFileNames);
    return;
  }
  FEndRecordPosition = q;
  FZip64 = false;
  if (q > 20) {
    uint8_t locator[20];
    FReader.Seek(q - 20);
    FReader.ReadBuffer(locator, sizeof locator);
    if (ZipGet32(locator) == kZip64LocatorSignature) {
      FZip64 = true;
      FLocator.Signature = ZipGet32(locator);
      FLocator.EndRecordDisk = ZipGet32(locator + 4);
      FLocator.EndRecordOffset = ZipGet64(locator + 8);
      FLocator.TotalDisks = ZipGet32(locator + 16);
      q -= 20;
    }
  }
  if (FZip64) {
    uint8_t record[56];
    auto readAt = [&](int64_t at) {
      FReader.Seek(at);
      return at >= 0 && FReader.Read(record, sizeof record) == sizeof record &&
             ZipGet32(record) == kZip64EndSignature;
    };
    // The record lies right before the locator unless it carries extensible data; then the
    // locator's offset finds it (which counts from the archive's own start).
    int64_t at = q - 56;
    bool found = q > 56 && readAt(at);
    if (!found && FLocator.EndRecordOffset < static_cast<uint64_t>(q)) {
      at = static_cast<int64_t>(FLocator.EndRecordOffset);
      found = q > 56 && readAt(at);
    }
    if (!found) throw EZipException(zeZip64EndMissing);
    FZip64End.Signature = ZipGet32(record);
    FZip64End.RecordSize = ZipGet64(record + 4);
    FZip64End.VersionMadeBy = ZipGet16(record + 12);
    FZip64End.VersionNeeded = ZipGet16(record + 14);
    FZip64End.ThisDisk = ZipGet32(record + 16);
    FZip64End.DirectoryDisk = ZipGet32(record + 20);
    FZip64End.EntriesOnDisk = ZipGet64(record + 24);
    FZip64End.TotalEntries = ZipGet64(record + 32);
    FZip64End.DirectorySize = ZipGet64(record + 40);
    FZip64End.DirectoryOffset = ZipGet64(record + 48);
    q = at;
  }
  if (IsMultiPart()) throw EZipException(zeMultiPart);
  if (!FZip64 && FEndRecord.TotalEntries == 0xFFFF) {
    Repair(oemFileNames);
    return;
  }
  int64_t count;
  if (FZip64) {
    FReader.Seek(q -
                 static_cast<int64_t>(std::min<uint64_t>(FZip64End.DirectorySize, INT64_MAX / 2)));
    count = static_cast<int64_t>(std::min<uint64_t>(FZip64End.TotalEntries, INT64_MAX / 2));
  } else {
    FReader.Seek(q - FEndRecord.DirectorySize);
    count = FEndRecord.TotalEntries;
  }
  try {
    ReadEntries(count, oemFileNames);
  } catch (const EZipStreamError&) {
    if (!repairOnOpen) throw;
    Repair(oemFileNames);
    return;
  }
  if (!repairOnOpen) {
    uint64_t sum = 0;
    for (int i = 0; i < FItems.Count(); ++i) sum += FItems.Get(i).Header.CompressedSize;
    if (sum > static_cast<uint64_t>(FReader.Size())) throw EZipException(zeSizesTooLarge);
  }
  if (!ApplyMeasuredShift()) {
    DetectStub();
    CorrectOffsets();
  }
  CheckOverlaps();
}

// Entries whose data overlap (several entries on one stream, data running into the next
// entry or into the central directory) let a small archive write without bound, and no
// writer makes them; the sizes' sum above misses most of them and is checked only without
// repair. Empty entries read nothing and are left out: some writers leave folders' offsets
// uncorrected. The local header counts at its least, 30 bytes, so no real archive is taken
// for an overlapping one.
void TZipDirectory::CheckOverlaps() {
  const uint64_t directory = static_cast<uint64_t>(FCentralDirectoryStart);
  std::vector<std::pair<uint64_t, uint64_t>> spans;  // local header offset, end of data
  for (int i = 0; i < FItems.Count(); ++i) {
    const TDirItem& item = FItems.Get(i);
    const uint64_t at = std::min<uint64_t>(item.LocalHeaderOffset(), INT64_MAX / 4);
    // Data starting in or past the directory are cut to nothing when extracted.
    if (item.CompressedSize() == 0 || at >= directory) continue;
    spans.emplace_back(
        at, at + kLocalHeaderSize + std::min<uint64_t>(item.CompressedSize(), INT64_MAX / 4));
  }
  std::sort(spans.begin(), spans.end());
  for (size_t k = 0; k < spans.size(); ++k) {
    const uint64_t limit = k + 1 < spans.size() ? spans[k + 1].first : directory;
    if (spans[k].second > limit) throw EZipException(zeSizesTooLarge);
  }
}

bool TZipDirectory::IsMultiPart() const {
  // 0xFFFF in the end record hands the disk numbers over to the Zip64 record.
  auto part = [](uint16_t disk) { return disk != 0 && disk != 0xFFFF; };
  if (part(FEndRecord.DiskNumber) || part(FEndRecord.DirectoryDisk)) return true;
  return FZip64 && (FZip64End.ThisDisk != 0 || FZip64End.DirectoryDisk != 0);
}

// Data put in front of an archive without correcting it (a stub, a container's header) move
// the directory further on than the end record says, and every local header by as much.
bool TZipDirectory::ApplyMeasuredShift() {
  if (FItems.Count() == 0) return false;
  const uint64_t stated = FZip64 ? FZip64End.DirectoryOffset : FEndRecord.DirectoryOffset;
  if (stated >= static_cast<uint64_t>(FCentralDirectoryStart)) return false;
  const uint64_t shift = static_cast<uint64_t>(FCentralDirectoryStart) - stated;
  // Only when the first entry's header really is there: otherwise the end record alone is
  // wrong, and the offsets are left to the stub detection.
  const uint64_t first = FItems.Get(0).LocalHeaderOffset() + shift;
  uint8_t signature[4];
  FReader.Seek(static_cast<int64_t>(std::min<uint64_t>(first, INT64_MAX / 2)));
  if (FReader.Read(signature, 4) != 4 || ZipGet32(signature) != kLocalSignature) return false;
  for (int i = 0; i < FItems.Count(); ++i) {
    TDirItem& item = FItems.Item(i);
    item.SetLocalHeaderOffset(std::min<uint64_t>(item.LocalHeaderOffset(), INT64_MAX / 4) + shift);
  }
  FStubSize = static_cast<int64_t>(shift);
  return true;
}

void TZipDirectory::ReadEntries(int64_t count, bool oemFileNames) {
  // A count the stream can't hold is not trusted for the allocation.
  FItems.SetCapacity(std::min(count, FReader.Size() / kCentralHeaderSize + 1));
  for (int64_t i = 0; i < count; ++i) {
    if (i == 0) FCentralDirectoryStart = FReader.Position();
    uint8_t fixed[kCentralHeaderSize];
    FReader.ReadBuffer(fixed, sizeof fixed);
    TDirItem item;
    ParseCentralHeader(fixed, item.Header);
    FItems.Append(std::move(item));
    int index = FItems.Count() - 1;
    TDirItem& entry = FItems.Item(index);
    std::string raw(entry.Header.NameLength, '\0');
    FReader.ReadBuffer(raw.data(), raw.size());
    if (entry.Header.ExtraLength != 0) ReadExtraField(entry, entry.Header.ExtraLength);
    // The extra field may carry the name's Unicode form, so the name is decoded after it.
    SetNames(index, raw, oemFileNames);
    if (entry.Header.CommentLength != 0) {
      entry.Comment.resize(entry.Header.CommentLength);
      FReader.ReadBuffer(entry.Comment.data(), entry.Comment.size());
    }
  }
}

void TZipDirectory::SetNames(int index, const std::string& raw, bool oemFileNames) {
  TDirItem& entry = FItems.Item(index);
  entry.UnicodeName = ZipUnicodeName(raw, entry.Header.Flags, entry.Header.VersionMadeBy,
                                     entry.Extra, oemFileNames);
  // Without the OEM conversion the stored bytes are the ANSI name already.
  const bool asStored = !oemFileNames && entry.UnicodeName == Utf8FromCp1255(raw.c_str());
  FItems.SetName(index, asStored ? std::string(raw.c_str()) : Cp1255FromUtf8(entry.UnicodeName));
}

void TZipDirectory::ReadExtraField(TDirItem& item, uint16_t length) {
  item.Zip64 = false;
  int64_t left = length;
  // Fewer than 4 bytes can't hold a block header: they are padding and are skipped, so that
  // the reading stays aligned with the next record.
  while (left >= 4) {
    uint8_t head[4];
    FReader.ReadBuffer(head, sizeof head);
    left -= 4;
    TZipExtraBlock block;
    block.Tag = ZipGet16(head);
    uint16_t size = static_cast<uint16_t>(std::min<int64_t>(ZipGet16(head + 2), left));
    block.Data.resize(size);
    FReader.ReadBuffer(block.Data.data(), size);
    left -= size;
    if (block.Tag == 1) {
      size_t taken = 0;
      auto take64 = [&](uint64_t& value) {
        if (taken + 8 <= size) value = ZipGet64(block.Data.data() + taken);
        taken += 8;
      };
      if (item.Header.UncompressedSize == 0xFFFFFFFFu) take64(item.Zip64UncompressedSize);
      if (item.Header.CompressedSize == 0xFFFFFFFFu) take64(item.Zip64CompressedSize);
      if (item.Header.LocalHeaderOffset == 0xFFFFFFFFu) take64(item.Zip64LocalHeaderOffset);
      if (item.Header.DiskNumberStart == 0xFFFF && taken + 2 <= size)
        item.Zip64DiskNumberStart = ZipGet16(block.Data.data() + taken);
      item.Zip64 = true;
    }
    item.Extra.push_back(std::move(block));
  }
  FReader.Skip(left);
}

int64_t TZipDirectory::FindSignature(int64_t start, uint32_t signature, int64_t minRemaining) {
  const int64_t size = FReader.Size();
  const int64_t saved = FReader.Position();
  constexpr size_t kChunk = 65535;
  std::vector<uint8_t> chunk(kChunk);
  const uint8_t first = static_cast<uint8_t>(signature & 0xFF);
  int64_t result = -1;
  int64_t at = std::max<int64_t>(start, 0);
  while (at < size) {
    FReader.Seek(at);
    size_t got = FReader.Read(chunk.data(), kChunk);
    if (got < 4) break;
    for (size_t i = 0; i + 4 <= got; ++i) {
      if (chunk[i] != first) continue;
      if (ZipGet32(chunk.data() + i) != signature) continue;
      int64_t found = at + static_cast<int64_t>(i);
      if (size - found < minRemaining) continue;
      result = found;
      break;
    }
    if (result >= 0) break;
    int64_t next = at + static_cast<int64_t>(got) - 4;
    if (next <= at) break;
    at = next;
  }
  FReader.Seek(saved);
  return result;
}

void TZipDirectory::DetectStub() {
  if (FItems.Count() == 0) {
    FStubSize = FEndRecordPosition;
    return;
  }
  const TDirItem& first = FItems.Get(0);
  int64_t at = static_cast<int64_t>(std::min<uint64_t>(first.LocalHeaderOffset(), INT64_MAX / 2));
  // With a stub whose offsets count from the archive's own start, the first header lies
  // further on than entry 0 says; the search finds it there.
  while (true) {
    int64_t s = FindSignature(at, kLocalSignature, kLocalHeaderSize);
    if (s < 0) return;
    uint8_t local[kLocalHeaderSize];
    FReader.Seek(s);
    bool readable = FReader.Read(local, sizeof local) == sizeof local;
    uint16_t nameLength = readable ? ZipGet16(local + 26) : 0;
    readable = readable && FReader.Size() - FReader.Position() >= nameLength;
    if (readable &&
        (s == 0 ||
         (ZipGet16(local + 4) == first.Header.VersionNeeded &&
          ZipGet16(local + 8) == first.Header.Method && ZipGet16(local + 10) == first.Header.Time &&
          ZipGet16(local + 12) == first.Header.Date && ZipGet32(local + 14) == first.Header.Crc32 &&
          ZipGet32(local + 18) == first.Header.CompressedSize &&
          ZipGet32(local + 22) == first.Header.UncompressedSize))) {
      FStubSize = s;
      return;
    }
    at = s + 1;
  }
}

void TZipDirectory::CorrectOffsets() {
  int firstData = -1;
  for (int i = 0; i < FItems.Count(); ++i)
    if (FItems.Get(i).Header.CompressedSize != 0) {
      firstData = i;
      break;
    }
  if (firstData < 0 ||
      FItems.Get(firstData).LocalHeaderOffset() >= static_cast<uint64_t>(FStubSize))
    return;
  for (int i = 0; i < FItems.Count(); ++i) {
    TDirItem& item = FItems.Item(i);
    if ((item.Header.ExternalAttributes & faDirectory) == 0)
      item.SetLocalHeaderOffset(item.LocalHeaderOffset() + static_cast<uint64_t>(FStubSize));
  }
}

void TZipDirectory::Repair(bool oemFileNames) {
  FItems.Clear();
  int64_t size = FReader.Size();
  int64_t p = FindSignature(0, kLocalSignature, kLocalHeaderSize);
  if (p < 0) throw EZipException(zeNoLocalHeader);
  while (p >= 0) {
    uint8_t local[kLocalHeaderSize];
    FReader.Seek(p);
    FReader.ReadBuffer(local, sizeof local);
    uint32_t compressed = ZipGet32(local + 18);
    uint16_t extraLength = ZipGet16(local + 28);
    if (compressed < size && extraLength <= 260) {
      TDirItem item;
      TZipCentralHeader& h = item.Header;
      h.Signature = ZipGet32(local);
      h.VersionNeeded = h.VersionMadeBy = ZipGet16(local + 4);
      h.Flags = ZipGet16(local + 6);
      h.Method = ZipGet16(local + 8);
      h.Time = ZipGet16(local + 10);
      h.Date = ZipGet16(local + 12);
      h.Crc32 = ZipGet32(local + 14);
      h.CompressedSize = compressed;
      h.UncompressedSize = ZipGet32(local + 22);
      h.NameLength = ZipGet16(local + 26);
      h.ExtraLength = extraLength;
      h.ExternalAttributes = (h.UncompressedSize != 0 || (h.Flags & 8)) ? faArchive : faDirectory;
      h.LocalHeaderOffset = static_cast<uint32_t>(std::min<int64_t>(p, 0xFFFFFFFF));
      item.SetLocalHeaderOffset(static_cast<uint64_t>(p));
      FItems.Append(std::move(item));
      int index = FItems.Count() - 1;
      // A name the stream can't hold in full is left empty.
      std::string raw(h.NameLength, '\0');
      if (FReader.Read(raw.data(), raw.size()) != raw.size()) raw.clear();
      SetNames(index, raw, oemFileNames);
      if (h.Flags & 8) {
        int64_t d = FindSignature(p, kDescriptorSignature, 16);
        if (d >= 0) {
          uint8_t descriptor[16];
          FReader.Seek(d);
          FReader.ReadBuffer(descriptor, sizeof descriptor);
          TDirItem& entry = FItems.Item(index);
          entry.Header.Crc32 = ZipGet32(descriptor + 4);
          entry.Header.CompressedSize = ZipGet32(descriptor + 8);
          entry.Header.UncompressedSize = ZipGet32(descriptor + 12);
        }
      }
    }
    p = FindSignature(p + 4, kLocalSignature, kLocalHeaderSize);
  }
  FCentralDirectoryStart = size;
}
