#pragma once
// Checks a part against its stamp while its bytes go by: a download feeds each block as it
// arrives, a file on disk is fed in large blocks. The part is the maker's only when the
// byte count and the SHA-256 both agree.
#include <cstddef>
#include <cstdint>

#include "stamp/PartStamp.h"
#include "stamp/Sha256.h"

class TPartCheck {
 public:
  explicit TPartCheck(const TPartStampEntry& stamp) : FStamp(stamp) {}
  void Add(const void* data, size_t count);
  uint64_t BytesSeen() const { return FBytesSeen; }
  // More bytes than the stamp has: the part is wrong whatever comes next.
  bool TooLong() const { return FBytesSeen > FStamp.Size; }
  // Whether what was fed so far is the whole part; may be asked more than once.
  bool Matches() const;
  // Starts over, for a download that begins again from zero.
  void Restart();

 private:
  TPartStampEntry FStamp;
  TSha256 FHash;
  uint64_t FBytesSeen = 0;
};
