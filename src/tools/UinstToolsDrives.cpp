// The drives side of UinstTools: the drive list and the free-space test of the drive choice.
#include <string>
#include <vector>

#include "framework/StringList.h"
#include "framework/Text.h"
#include "tools/UinstTools.h"

namespace {

// Whole megabytes a target drive must exceed.
constexpr std::int64_t RequiredFreeMegabytes = 150;

// Restores the process's current directory when it goes.
class TCurrentDirectoryKeeper {
 public:
  TCurrentDirectoryKeeper() {
    DWORD length = GetCurrentDirectoryW(0, nullptr);
    FSaved.assign(length, L'\0');
    if (length) FSaved.resize(GetCurrentDirectoryW(length, &FSaved[0]));
  }
  ~TCurrentDirectoryKeeper() {
    if (!FSaved.empty()) SetCurrentDirectoryW(FSaved.c_str());
  }
  TCurrentDirectoryKeeper(const TCurrentDirectoryKeeper&) = delete;
  TCurrentDirectoryKeeper& operator=(const TCurrentDirectoryKeeper&) = delete;

 private:
  std::wstring FSaved;
};

// An empty removable drive must fail quietly, not stop the wizard with the system's
// "no disk" box.
class TQuietDriveErrors {
 public:
  TQuietDriveErrors() : FPrevious(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
  ~TQuietDriveErrors() { SetErrorMode(FPrevious); }
  TQuietDriveErrors(const TQuietDriveErrors&) = delete;
  TQuietDriveErrors& operator=(const TQuietDriveErrors&) = delete;

 private:
  UINT FPrevious;
};

}  // namespace

void ListLogicalDrives(TStringList* List) {
  if (!List) return;
  List->Clear();
  std::vector<wchar_t> buffer(254);
  DWORD length = GetLogicalDriveStringsW(static_cast<DWORD>(buffer.size()), buffer.data());
  if (length > buffer.size()) {
    // Too small: the answer is the size it needs, and the buffer holds nothing.
    buffer.assign(length + 1, L'\0');
    length = GetLogicalDriveStringsW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length > buffer.size()) return;
  }
  for (DWORD at = 0; at + 3 <= length; at += 4)
    List->Add(Cp1255FromWide(std::wstring(&buffer[at], 3)));
}

bool GetDriveSpace(char Letter, std::int64_t& FreeAvailable, std::int64_t& Total) {
  FreeAvailable = -1;
  Total = -1;
  const std::wstring root = WideFromCp1255(std::string(1, Letter)) + L":\\";
  TQuietDriveErrors quiet;
  TCurrentDirectoryKeeper keeper;
  if (!SetCurrentDirectoryW(root.c_str())) return false;
  ULARGE_INTEGER available, total;
  // A drive that answers the directory change but not the size query has no size to report.
  if (!GetDiskFreeSpaceExW(root.c_str(), &available, &total, nullptr)) return false;
  FreeAvailable = static_cast<std::int64_t>(available.QuadPart);
  Total = static_cast<std::int64_t>(total.QuadPart);
  return true;
}

bool HasEnoughDiskSpace(const std::string& Path) {
  if (Path.empty()) return false;
  std::int64_t available, total;
  if (!GetDriveSpace(Path[0], available, total)) return false;
  return available / 1024 / 1024 > RequiredFreeMegabytes;
}

bool HasRoomFor(const std::string& Path, std::uint64_t Bytes) {
  if (Path.empty()) return false;
  std::int64_t available, total;
  if (!GetDriveSpace(Path[0], available, total)) return false;
  return available >= 0 && static_cast<std::uint64_t>(available) >= Bytes;
}
