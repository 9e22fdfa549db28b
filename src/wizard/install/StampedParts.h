#pragma once
// The maker's stamp as SetUp.exe reads it from its own resource PARTSTAMP, and the check of
// a part file against it. While bytes arrive, TPartCheck (stamp/PartCheck.h) does the same
// check block by block.
//
// Unstamped: the parts are installed as they come. Stamped: a part is installed only when
// Find gives its stamp and its bytes match. Damaged: the resource is there but unreadable,
// so no part can be shown to be the maker's and none is installed.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "stamp/PartStamp.h"

enum class TStampState { Unstamped, Stamped, Damaged };

struct TStampedParts {
  TStampState State = TStampState::Unstamped;
  std::vector<TPartStampEntry> Parts;

  // The stamp of the part with that file name; null when the stamp has none.
  const TPartStampEntry* Find(const std::wstring& partName) const;
  // Free bytes an installation from these parts needs on the target drive.
  uint64_t RoomNeeded(bool downloadMode) const { return PartStampRoomNeeded(Parts, downloadMode); }
};

// The stamp of the program loaded as Module; null is the running program.
TStampedParts LoadStampedParts(HMODULE Module = nullptr);

// Whether the open file holds exactly the stamped part: the size first, then the SHA-256
// over the file read from its start in large blocks, with BetweenBlocks called after each.
// False too when the file cannot be read.
bool PartFileMatches(HANDLE File, const TPartStampEntry& Stamp,
                     const std::function<void()>& BetweenBlocks = {});
