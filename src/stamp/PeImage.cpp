#include "stamp/PeImage.h"

#include "stamp/PartStamp.h"

namespace {

// The two optional-header kinds differ, for what is read here, only in where the count of
// data directories and the directories themselves begin (PE32+ has 64-bit fields before them).
struct TOptionalHeaderKind {
  uint16_t Magic;
  size_t DirectoryCountAt;
};
constexpr TOptionalHeaderKind kPe32{0x10B, 92};
constexpr TOptionalHeaderKind kPe32Plus{0x20B, 108};
constexpr size_t kChecksumAt = 64;
constexpr size_t kResourceDirectoryIndex = 2;
constexpr size_t kSecurityDirectoryIndex = 4;
constexpr uint32_t kHighBit = 0x80000000u;  // a named entry, or a subdirectory as target

}  // namespace

TPeImage::TPeImage(std::vector<uint8_t>& bytes, const std::string& label) : FBytes(bytes) {
  const EStampError notPe(label + " is not a PE32 or PE32+ image");
  if (!Inside(0, 64) || FBytes[0] != 'M' || FBytes[1] != 'Z') throw notPe;
  const size_t pe = Read32(0x3C);
  if (!Inside(pe, 24) || Read32(pe) != 0x00004550u) throw notPe;  // "PE\0\0"
  const size_t sectionCount = Read16(pe + 6);
  const size_t optionalSize = Read16(pe + 20);
  const size_t optional = pe + 24;
  if (!Inside(optional, 2)) throw notPe;
  const uint16_t magic = Read16(optional);
  const TOptionalHeaderKind kind = magic == kPe32Plus.Magic ? kPe32Plus : kPe32;
  const size_t directories = kind.DirectoryCountAt + 4;
  if (magic != kind.Magic || optionalSize < directories || !Inside(optional, optionalSize))
    throw notPe;
  FChecksumOffset = optional + kChecksumAt;
  const size_t sections = optional + optionalSize;
  if (!Inside(sections, uint64_t(sectionCount) * 40)) throw notPe;
  for (size_t i = 0; i < sectionCount; ++i) {
    const size_t s = sections + i * 40;
    FSections.push_back({Read32(s + 12), Read32(s + 16), Read32(s + 20)});
  }
  const uint32_t directoryCount = Read32(optional + kind.DirectoryCountAt);
  const size_t securityEntry = optional + directories + 8 * kSecurityDirectoryIndex;
  // Its address is a file offset, not an RVA: the table lies after the sections, unmapped.
  FSigned = directoryCount > kSecurityDirectoryIndex && securityEntry + 8 <= sections &&
            Read32(securityEntry + 4) != 0;
  const size_t resourceEntry = optional + directories + 8 * kResourceDirectoryIndex;
  if (directoryCount <= kResourceDirectoryIndex || resourceEntry + 8 > sections) return;
  const uint32_t rva = Read32(resourceEntry), size = Read32(resourceEntry + 4);
  FHasResources = rva != 0 && size >= 16 && RvaToOffset(rva, size, FResourceRoot);
  FResourceSize = size;
}

bool TPeImage::Inside(uint64_t offset, uint64_t count) const {
  return offset <= FBytes.size() && count <= FBytes.size() - offset;
}

uint32_t TPeImage::Read32(size_t offset) const {
  const uint8_t* p = FBytes.data() + offset;
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

uint16_t TPeImage::Read16(size_t offset) const {
  return static_cast<uint16_t>(FBytes[offset] | (FBytes[offset + 1] << 8));
}

bool TPeImage::RvaToOffset(uint32_t rva, uint32_t size, size_t& offset) const {
  for (const TSection& section : FSections) {
    if (rva < section.VirtualAddress) continue;
    const uint64_t into = rva - section.VirtualAddress;
    if (into + size > section.RawSize || !Inside(section.RawOffset + into, size)) continue;
    offset = static_cast<size_t>(section.RawOffset + into);
    return true;
  }
  return false;
}

bool TPeImage::InResources(uint64_t relative, uint64_t count, size_t& at) const {
  if (relative > FResourceSize || count > FResourceSize - relative) return false;
  at = FResourceRoot + static_cast<size_t>(relative);
  return true;
}

bool TPeImage::NameIs(uint32_t relative, const std::string& name) const {
  size_t at = 0;
  if (!InResources(relative, 2 + 2 * uint64_t(name.size()), at) || Read16(at) != name.size())
    return false;
  for (size_t i = 0; i < name.size(); ++i)
    if (Read16(at + 2 + 2 * i) != static_cast<unsigned char>(name[i])) return false;
  return true;
}

bool TPeImage::FindEntry(uint32_t directory, uint32_t id, const std::string& name,
                         uint32_t& target) const {
  size_t at = 0;
  if (!InResources(directory, 16, at)) return false;
  const uint64_t count = uint64_t(Read16(at + 12)) + Read16(at + 14);
  if (!InResources(directory + uint64_t(16), 8 * count, at)) return false;
  for (uint64_t i = 0; i < count; ++i, at += 8) {
    const uint32_t key = Read32(at);
    const bool named = (key & kHighBit) != 0;
    if (name.empty() ? !named && key == id : named && NameIs(key & ~kHighBit, name)) {
      target = Read32(at + 4);
      return true;
    }
  }
  return false;
}

bool TPeImage::LocateResource(uint16_t type, const std::string& name, TPeFileSpan& span) const {
  uint32_t names = 0, languages = 0, data = 0;
  if (!FHasResources || !FindEntry(0, type, "", names) || !(names & kHighBit) ||
      !FindEntry(names & ~kHighBit, 0, name, languages) || !(languages & kHighBit))
    return false;
  // The first language there is: the program asks for its resources language-neutral.
  size_t at = 0;
  if (!InResources(languages & ~kHighBit, 24, at) || Read16(at + 12) + Read16(at + 14) == 0)
    return false;
  data = Read32(at + 20);
  if ((data & kHighBit) || !InResources(data, 16, at)) return false;
  span.Size = Read32(at + 4);
  return RvaToOffset(Read32(at), static_cast<uint32_t>(span.Size), span.Offset);
}

void TPeImage::UpdateChecksum() {
  if (Read32(FChecksumOffset) == 0) return;
  // 16-bit one's-complement sum of the file with the field itself zero, plus its length.
  for (int i = 0; i < 4; ++i) FBytes[FChecksumOffset + i] = 0;
  uint64_t sum = 0;
  for (size_t i = 0; i < FBytes.size(); i += 2) {
    sum += FBytes[i] | (i + 1 < FBytes.size() ? FBytes[i + 1] << 8 : 0);
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  const uint32_t checksum = static_cast<uint32_t>(sum + FBytes.size());
  for (int i = 0; i < 4; ++i)
    FBytes[FChecksumOffset + i] = static_cast<uint8_t>(checksum >> (8 * i));
}
