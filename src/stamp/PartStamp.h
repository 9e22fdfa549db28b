#pragma once
// The maker's stamp: for each archive part its file name, size, unpacked size and SHA-256,
// as SetUp.exe carries it in its resource PARTSTAMP. Layout, little-endian:
//   0  "MPNSTAMP"                 magic, also the start of the unstamped placeholder
//   8  u16 version                PartStampVersion
//  10  u16 part count             0 in the placeholder
//  12  u32 entry bytes            the length of what follows the header
//  16  per part: u16 name length, the name (UTF-8), u64 size, u64 unpacked size, 32-byte SHA-256
// Everything after the entries up to the end of the resource is zero.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/Exception.h"
#include "stamp/Sha256.h"

class EStampError : public Exception {
 public:
  MIRPAN_EXCEPTION_CLASS(EStampError)
  using Exception::Exception;
};

struct TPartStampEntry {
  std::string Name;  // the part's file name, UTF-8, no folder
  uint64_t Size = 0;
  uint64_t UnpackedSize = 0;  // the entries' uncompressed sizes added up
  TSha256Digest Sha256 = {};
};

// Where SetUp.exe keeps it: RT_RCDATA, under the name SetUp.rc gives the placeholder.
constexpr uint16_t PartStampResourceType = 10;
constexpr char PartStampResourceName[] = "PARTSTAMP";

constexpr char PartStampMagic[8] = {'M', 'P', 'N', 'S', 'T', 'A', 'M', 'P'};
constexpr uint16_t PartStampVersion = 1;
constexpr size_t PartStampHeaderSize = 16;
constexpr size_t PartStampMaxParts = 16;
constexpr size_t PartStampMaxNameLength = 64;

bool PartStampHasMagic(const uint8_t* data, size_t size);
// The stamp laid out in exactly Capacity bytes. Raises EStampError for too many parts, a name
// that is empty, too long, repeated or holds a folder, or a stamp that does not fit.
std::vector<uint8_t> PartStampWrite(const std::vector<TPartStampEntry>& parts, size_t capacity);
// The parts of a stamp (none for the placeholder). Raises EStampError when the data does not
// start with the magic, has another version or is damaged.
std::vector<TPartStampEntry> PartStampRead(const uint8_t* data, size_t size);

// The part of that name (compared without regard to ASCII case, as Windows names are), or
// null when the stamp has none.
const TPartStampEntry* PartStampFind(const std::vector<TPartStampEntry>& parts,
                                     const std::string& name);
// Free space an installation needs: everything unpacked, and in download mode also the
// largest part, which lands at the drive root before it is extracted.
uint64_t PartStampRoomNeeded(const std::vector<TPartStampEntry>& parts, bool downloadMode);
