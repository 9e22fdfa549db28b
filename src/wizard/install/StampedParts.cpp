#include "wizard/install/StampedParts.h"

#include <memory>

#include "framework/Text.h"
#include "stamp/PartCheck.h"
#include "wizard/install/InstallFiles.h"

namespace {

constexpr DWORD kReadBlock = 1 << 20;

}  // namespace

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

bool PartFileMatches(const std::wstring& FileName, const TPartStampEntry& Stamp,
                     const std::function<void()>& BetweenBlocks) {
  TFileHandle file(CreateFileW(FileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.Valid()) return false;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.Get(), &size) || static_cast<uint64_t>(size.QuadPart) != Stamp.Size)
    return false;
  TPartCheck check(Stamp);
  std::unique_ptr<uint8_t[]> block(new uint8_t[kReadBlock]);
  DWORD got = 0;
  while (ReadFile(file.Get(), block.get(), kReadBlock, &got, nullptr) && got > 0) {
    check.Add(block.get(), got);
    if (check.TooLong()) return false;
    if (BetweenBlocks) BetweenBlocks();
  }
  return check.Matches();
}
