#pragma once
// Everything the archiver needs from the platform. Paths are UTF-8 with "\" separators,
// the component's own form; each implementation hands them to the file system's Unicode
// names unchanged. ZipPlatformWin32.cpp and ZipPlatformPosix.cpp implement this;
// CMake picks one.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// A readable archive: random access by position, 64-bit throughout.
class TZipStream {
 public:
  virtual ~TZipStream() = default;
  virtual int64_t Size() = 0;
  // Reads up to Count bytes at Position; fewer only at the end of the stream.
  virtual size_t ReadAt(int64_t position, void* buffer, size_t count) = 0;
};

// A file being extracted; the destructor closes it when Close wasn't called.
class TZipOutputFile {
 public:
  virtual ~TZipOutputFile() = default;
  virtual bool Write(const void* data, size_t count) = 0;
  // DOS date in the high half, time in the low half, read as local time.
  virtual void SetDosDateTime(uint32_t dosDateTime) = 0;
  virtual void Flush() = 0;
  virtual void Close() = 0;
  // What tells this file apart from every other one (see FileIdentity); before Close.
  virtual uint64_t Identity() = 0;
};

enum class TZipDialogAnswer { Yes, No, YesToAll, NoToAll, Abort, Retry, Ignore };

namespace ZipPlatform {

// Opens the archive with a Win32-style mode (access in the low bits, sharing in 0x70).
// Raises EZipStreamError "Cannot open file %s" when it can't.
std::unique_ptr<TZipStream> OpenArchiveFile(const std::string& path, uint16_t mode);
// Creates or truncates a file for writing; null when it can't or when Path names a link,
// which is never followed. With MustBeNew, null as well when anything has that name: a
// link that the platform doesn't show as one (Wine's to a file or to nothing) included.
std::unique_ptr<TZipOutputFile> CreateOutputFile(const std::string& path, bool mustBeNew = false);
// Whether Path itself, not what it leads to, is a link: a symbolic link, or on Windows any
// reparse point (symbolic link, junction, mount point).
bool IsLink(const std::string& path);

bool FileExists(const std::string& path);
// The same number for two paths of one file (case, short names, links), 0 when there is
// none: the file's index on its volume, mixed with the volume so that one volume never
// gives two files one number.
uint64_t FileIdentity(const std::string& path);
inline uint64_t MixIdentity(uint64_t volume, uint64_t index) {
  const uint64_t mixed = index ^ (volume * 0x9E3779B97F4A7C15ull);
  return mixed != 0 ? mixed : 1;
}
bool DirectoryExists(const std::string& path);
bool CreateDir(const std::string& path);
// The DOS attribute bits of an existing file or folder, -1 when there is none.
int32_t FileAttributes(const std::string& path);
// Refuses a link rather than change what it leads to.
bool ChangeAttributes(const std::string& path, uint32_t attributes);
bool RemoveFile(const std::string& path);
// Moves From over To, replacing it.
bool MoveOver(const std::string& from, const std::string& to);
// The file's last-write time as a DOS date-time in local time, -1 when it has none.
int32_t FileDosDateTime(const std::string& path);
// Drives A: and B: always count as removable.
bool IsRemovableDrive(const std::string& path);
inline bool IsFloppyDrivePath(const std::string& path) {
  return path.size() >= 2 && path[1] == ':' &&
         ((path[0] & ~0x20) == 'A' || (path[0] & ~0x20) == 'B');
}
// Ends with no separator.
std::string CurrentDirectory();
uint64_t AvailablePhysicalMemory();

// Locale services for the mask matcher, over windows-1255 characters.
// Ranks of the 256 characters in the user's sort order.
void LocaleRanks(int32_t ranks[256]);
unsigned char LocaleUpper(unsigned char c);
unsigned char LocaleLower(unsigned char c);
// Case-insensitive locale comparison of two one-character strings.
bool LocaleSameChar(unsigned char a, unsigned char b);

// Questions asked when an event has no handler.
TZipDialogAnswer AskAbortRetryIgnore(const std::string& text);
TZipDialogAnswer AskOverwrite(const std::string& text);

// The process-wide lock held for each extraction pass; recursive like a critical section.
void EnterArchiverLock();
void LeaveArchiverLock();

}  // namespace ZipPlatform
