#include "stamp/PartCheck.h"

void TPartCheck::Add(const void* data, size_t count) {
  FHash.Update(data, count);
  FBytesSeen += count;
}

bool TPartCheck::Matches() const {
  if (FBytesSeen != FStamp.Size) return false;
  TSha256 hash = FHash;
  return hash.Final() == FStamp.Sha256;
}

void TPartCheck::Restart() {
  FHash.Reset();
  FBytesSeen = 0;
}
