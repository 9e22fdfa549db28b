#include "wizard/install/StampedParts.h"

#include "framework/Text.h"
#include "stamp/PartCheck.h"
#include "wizard/install/InstallFiles.h"

const TPartStampEntry* TStampedParts::Find(const std::wstring& partName) const {
  return PartStampFind(Parts, Utf8FromU16(std::u16string(partName.begin(), partName.end())));
}

TStampedParts LoadStampedParts(HMODULE Module) {
  TStampedParts stamped;
  const std::string name = PartStampResourceName;
  HRSRC found = FindResourceW(Module, std::wstring(name.begin(), name.end()).c_str(),
                              MAKEINTRESOURCEW(PartStampResourceType));
  HGLOBAL loaded = found ? LoadResource(Module, found) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return stamped;
  try {
    stamped.Parts = PartStampRead(static_cast<const uint8_t*>(data), SizeofResource(Module, found));
    stamped.State = stamped.Parts.empty() ? TStampState::Unstamped : TStampState::Stamped;
  } catch (const EStampError&) {
    stamped.State = TStampState::Damaged;
  }
  return stamped;
}

bool PartFileMatches(HANDLE File, const TPartStampEntry& Stamp,
                     const std::function<void()>& BetweenBlocks) {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(File, &size) || static_cast<uint64_t>(size.QuadPart) != Stamp.Size)
    return false;
  LARGE_INTEGER start = {};
  if (!SetFilePointerEx(File, start, nullptr, FILE_BEGIN)) return false;
  TPartCheck check(Stamp);
  ReadInBlocks(File, [&](const uint8_t* Data, size_t Count) {
    check.Add(Data, Count);
    if (check.TooLong()) return false;
    if (BetweenBlocks) BetweenBlocks();
    return true;
  });
  return check.Matches();
}
