#include "stamp/PartStamp.h"

#include <algorithm>
#include <cstring>

#include "framework/Text.h"

namespace {

constexpr size_t kEntryFixedSize = 2 + 8 + 8 + 32;

void PutLittleEndian(std::vector<uint8_t>& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

uint64_t GetLittleEndian(const uint8_t* p, int bytes) {
  uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | p[i];
  return value;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return AsciiLower(x) == AsciiLower(y);
         });
}

// A plain file name: what the wizard puts behind a drive root or a download path.
void CheckName(const std::string& name) {
  const std::string shown = Cp1255FromUtf8(name);  // messages are windows-1255 text
  if (name.empty()) throw EStampError("A part's name is empty");
  if (name.size() > PartStampMaxNameLength)
    throw EStampError("The part name " + shown + " is longer than " +
                      std::to_string(PartStampMaxNameLength) + " bytes");
  const bool plain =
      name != "." && name != ".." && std::none_of(name.begin(), name.end(), [](unsigned char c) {
        return c < 0x20 || c == '/' || c == '\\' || c == ':';
      });
  if (!plain) throw EStampError("The part name " + shown + " is not a plain file name");
}

}  // namespace

bool PartStampHasMagic(const uint8_t* data, size_t size) {
  return size >= sizeof PartStampMagic &&
         std::memcmp(data, PartStampMagic, sizeof PartStampMagic) == 0;
}

std::vector<uint8_t> PartStampWrite(const std::vector<TPartStampEntry>& parts, size_t capacity) {
  if (parts.size() > PartStampMaxParts)
    throw EStampError("Too many parts: " + std::to_string(parts.size()) + ", at most " +
                      std::to_string(PartStampMaxParts));
  std::vector<uint8_t> entries;
  for (size_t i = 0; i < parts.size(); ++i) {
    const TPartStampEntry& part = parts[i];
    CheckName(part.Name);
    for (size_t j = 0; j < i; ++j)
      if (SameName(parts[j].Name, part.Name))
        throw EStampError("The part name " + Cp1255FromUtf8(part.Name) + " is given twice");
    PutLittleEndian(entries, part.Name.size(), 2);
    entries.insert(entries.end(), part.Name.begin(), part.Name.end());
    PutLittleEndian(entries, part.Size, 8);
    PutLittleEndian(entries, part.UnpackedSize, 8);
    entries.insert(entries.end(), part.Sha256.begin(), part.Sha256.end());
  }
  if (PartStampHeaderSize + entries.size() > capacity)
    throw EStampError("The stamp needs " + std::to_string(PartStampHeaderSize + entries.size()) +
                      " bytes, the program has room for " + std::to_string(capacity));
  std::vector<uint8_t> stamp(PartStampMagic, PartStampMagic + sizeof PartStampMagic);
  PutLittleEndian(stamp, PartStampVersion, 2);
  PutLittleEndian(stamp, parts.size(), 2);
  PutLittleEndian(stamp, entries.size(), 4);
  stamp.insert(stamp.end(), entries.begin(), entries.end());
  stamp.resize(capacity, 0);
  return stamp;
}

std::vector<TPartStampEntry> PartStampRead(const uint8_t* data, size_t size) {
  if (size < PartStampHeaderSize || !PartStampHasMagic(data, size))
    throw EStampError("The data is not a part stamp");
  const uint64_t version = GetLittleEndian(data + 8, 2);
  if (version != PartStampVersion)
    throw EStampError("The part stamp has version " + std::to_string(version) + ", expected " +
                      std::to_string(PartStampVersion));
  const size_t count = static_cast<size_t>(GetLittleEndian(data + 10, 2));
  const uint64_t entryBytes = GetLittleEndian(data + 12, 4);
  const EStampError damaged("The part stamp is damaged");
  if (count > PartStampMaxParts || entryBytes > size - PartStampHeaderSize) throw damaged;
  const uint8_t* p = data + PartStampHeaderSize;
  const uint8_t* end = p + entryBytes;
  std::vector<TPartStampEntry> parts(count);
  for (TPartStampEntry& part : parts) {
    if (static_cast<size_t>(end - p) < kEntryFixedSize) throw damaged;
    const size_t nameLength = static_cast<size_t>(GetLittleEndian(p, 2));
    if (static_cast<size_t>(end - p) < kEntryFixedSize + nameLength) throw damaged;
    part.Name.assign(reinterpret_cast<const char*>(p + 2), nameLength);
    p += 2 + nameLength;
    part.Size = GetLittleEndian(p, 8);
    part.UnpackedSize = GetLittleEndian(p + 8, 8);
    std::memcpy(part.Sha256.data(), p + 16, part.Sha256.size());
    p += 16 + part.Sha256.size();
  }
  if (p != end || std::any_of(end, data + size, [](uint8_t b) { return b != 0; })) throw damaged;
  try {
    for (const TPartStampEntry& part : parts) CheckName(part.Name);
  } catch (const EStampError&) {
    throw damaged;
  }
  return parts;
}

const TPartStampEntry* PartStampFind(const std::vector<TPartStampEntry>& parts,
                                     const std::string& name) {
  for (const TPartStampEntry& part : parts)
    if (SameName(part.Name, name)) return &part;
  return nullptr;
}

uint64_t PartStampRoomNeeded(const std::vector<TPartStampEntry>& parts, bool downloadMode) {
  uint64_t unpacked = 0, largest = 0;
  for (const TPartStampEntry& part : parts) {
    unpacked += part.UnpackedSize;
    largest = std::max(largest, part.Size);
  }
  return downloadMode ? unpacked + largest : unpacked;
}
