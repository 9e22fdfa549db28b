#pragma once
// The maker's release step: writes the stamp of the archive parts into a built SetUp.exe,
// in the room its resource PARTSTAMP keeps for it. Stamping again replaces the stamp.
#include <cstdint>
#include <string>
#include <vector>

#include "stamp/PartStamp.h"

// Paths are UTF-8. Raise EStampError (or the archiver's exception text wrapped in one).
// The part's name from its path; its size and SHA-256 from its bytes; its unpacked size
// from its ZIP directory.
TPartStampEntry DescribePart(const std::string& path);
// Checks everything before it writes, and writes through a new file that then replaces
// the program, so the program is left as it was on any error. A signed program is refused:
// the stamp goes in before the signature.
void StampSetUp(const std::string& exePath, const std::vector<std::string>& partPaths);
