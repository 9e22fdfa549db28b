// POSIX side of the archiver's platform: UTF-8 names, "/" separators, permissions for the
// read-only bit. Without a user interface the no-handler questions answer conservatively.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <ctime>
#include <mutex>

#include "framework/Text.h"
#include "zip/ZipException.h"
#include "zip/ZipPlatform.h"

namespace {

std::string NativePath(const std::string& path) {
  std::string p = path;
  std::replace(p.begin(), p.end(), '\\', '/');
  return p;
}

uint64_t IdentityOf(const struct stat& st) {
  return ZipPlatform::MixIdentity(static_cast<uint64_t>(st.st_dev),
                                  static_cast<uint64_t>(st.st_ino));
}

class TPosixStream : public TZipStream {
 public:
  explicit TPosixStream(int fd) : FFd(fd) {}
  ~TPosixStream() override { ::close(FFd); }
  int64_t Size() override {
    struct stat st;
    return ::fstat(FFd, &st) == 0 ? static_cast<int64_t>(st.st_size) : 0;
  }
  size_t ReadAt(int64_t position, void* buffer, size_t count) override {
    size_t done = 0;
    while (done < count) {
      ssize_t got = ::pread(FFd, static_cast<char*>(buffer) + done, count - done,
                            static_cast<off_t>(position + static_cast<int64_t>(done)));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      done += static_cast<size_t>(got);
    }
    return done;
  }

 private:
  int FFd;
};

// mktime consults the time zone file on every call; entries of one archive mostly share
// their hours, and clock changes fall on whole hours, so the hour's start is kept.
time_t LocalTimeFromDos(uint32_t dosDateTime) {
  thread_local uint32_t cachedHour = 0xFFFFFFFFu;
  thread_local time_t cachedStart = 0;
  const uint32_t hour = dosDateTime >> 11;  // date and hour
  if (hour != cachedHour) {
    struct tm t = {};
    uint32_t date = dosDateTime >> 16;
    t.tm_year = static_cast<int>((date >> 9) & 0x7F) + 80;
    t.tm_mon = static_cast<int>((date >> 5) & 0x0F) - 1;
    t.tm_mday = static_cast<int>(date & 0x1F);
    t.tm_hour = static_cast<int>((dosDateTime >> 11) & 0x1F);
    t.tm_isdst = -1;
    cachedStart = ::mktime(&t);
    if (cachedStart == static_cast<time_t>(-1)) return cachedStart;
    cachedHour = hour;
  }
  return cachedStart +
         static_cast<time_t>(((dosDateTime >> 5) & 0x3F) * 60 + (dosDateTime & 0x1F) * 2);
}

class TPosixOutputFile : public TZipOutputFile {
 public:
  explicit TPosixOutputFile(int fd) : FFd(fd) {}
  ~TPosixOutputFile() override { Close(); }
  bool Write(const void* data, size_t count) override {
    const char* p = static_cast<const char*>(data);
    while (count > 0) {
      ssize_t put = ::write(FFd, p, count);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) return false;
      p += put;
      count -= static_cast<size_t>(put);
    }
    return true;
  }
  void SetDosDateTime(uint32_t dosDateTime) override {
    time_t when = LocalTimeFromDos(dosDateTime);
    if (when == static_cast<time_t>(-1)) return;
    struct timespec times[2] = {{when, 0}, {when, 0}};
    ::futimens(FFd, times);
  }
  void Flush() override { ::fsync(FFd); }
  void Close() override {
    if (FFd >= 0) ::close(FFd);
    FFd = -1;
  }
  uint64_t Identity() override {
    struct stat st;
    return FFd >= 0 && ::fstat(FFd, &st) == 0 ? IdentityOf(st) : 0;
  }

 private:
  int FFd;
};

}  // namespace

namespace ZipPlatform {

std::unique_ptr<TZipStream> OpenArchiveFile(const std::string& path, uint16_t mode) {
  int access = (mode & 3) == 0 ? O_RDONLY : O_RDWR;
  int fd = ::open(NativePath(path).c_str(), access | O_CLOEXEC);
  if (fd < 0) throw EZipStreamError("Cannot open file " + Cp1255FromUtf8(path));
  return std::make_unique<TPosixStream>(fd);
}

std::unique_ptr<TZipOutputFile> CreateOutputFile(const std::string& path, bool mustBeNew) {
  const int flags =
      O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW | (mustBeNew ? O_EXCL : 0);
  int fd = ::open(NativePath(path).c_str(), flags, 0666);
  if (fd < 0) return nullptr;
  return std::make_unique<TPosixOutputFile>(fd);
}

bool IsLink(const std::string& path) {
  struct stat st;
  return ::lstat(NativePath(path).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool FileExists(const std::string& path) {
  struct stat st;
  return ::stat(NativePath(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

uint64_t FileIdentity(const std::string& path) {
  struct stat st;
  return ::stat(NativePath(path).c_str(), &st) == 0 ? IdentityOf(st) : 0;
}

bool DirectoryExists(const std::string& path) {
  struct stat st;
  return ::stat(NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateDir(const std::string& path) {
  return ::mkdir(NativePath(path).c_str(), 0777) == 0 || DirectoryExists(path);
}

int32_t FileAttributes(const std::string& path) {
  struct stat st;
  if (::stat(NativePath(path).c_str(), &st) != 0) return -1;
  int32_t attributes = S_ISDIR(st.st_mode) ? 0x10 : 0x20;
  if ((st.st_mode & S_IWUSR) == 0) attributes |= 0x01;
  return attributes;
}

bool ChangeAttributes(const std::string& path, uint32_t attributes) {
  std::string native = NativePath(path);
  struct stat st;
  if (::lstat(native.c_str(), &st) != 0 || S_ISLNK(st.st_mode)) return false;
  mode_t mode = st.st_mode & 07777;
  mode_t wanted = (attributes & 0x01) ? (mode & ~mode_t(0222)) : (mode | S_IWUSR);
  return wanted == mode || ::chmod(native.c_str(), wanted) == 0;
}

bool RemoveFile(const std::string& path) { return ::unlink(NativePath(path).c_str()) == 0; }

bool MoveOver(const std::string& from, const std::string& to) {
  return ::rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0;
}

int32_t FileDosDateTime(const std::string& path) {
  struct stat st;
  if (::stat(NativePath(path).c_str(), &st) != 0) return -1;
  struct tm t;
  time_t when = st.st_mtime;
  if (!::localtime_r(&when, &t) || t.tm_year < 80) return -1;
  uint32_t date =
      static_cast<uint32_t>(((t.tm_year - 80) << 9) | ((t.tm_mon + 1) << 5) | t.tm_mday);
  uint32_t time = static_cast<uint32_t>((t.tm_hour << 11) | (t.tm_min << 5) | (t.tm_sec / 2));
  return static_cast<int32_t>((date << 16) | time);
}

bool IsRemovableDrive(const std::string& path) { return IsFloppyDrivePath(path); }

std::string CurrentDirectory() {
  char buffer[PATH_MAX];
  if (!::getcwd(buffer, sizeof buffer)) return ".";
  std::string path = buffer;
  std::replace(path.begin(), path.end(), '/', '\\');
  if (path == "\\") path.clear();
  return path;
}

uint64_t AvailablePhysicalMemory() {
  long pages = ::sysconf(_SC_AVPHYS_PAGES), size = ::sysconf(_SC_PAGESIZE);
  if (pages <= 0 || size <= 0) return uint64_t(1) << 30;
  return static_cast<uint64_t>(pages) * static_cast<uint64_t>(size);
}

// windows-1255 has case only in its ASCII letters; ranks follow the Unicode order of the
// upper-cased characters, which always gives a permutation.
void LocaleRanks(int32_t ranks[256]) {
  std::u16string all;
  for (int c = 0; c < 256; ++c) all += U16FromCp1255(std::string(1, static_cast<char>(c)));
  int order[256];
  for (int c = 0; c < 256; ++c) order[c] = c;
  std::stable_sort(order, order + 256, [&](int a, int b) {
    char16_t ua = all[static_cast<size_t>(LocaleUpper(static_cast<unsigned char>(a)))];
    char16_t ub = all[static_cast<size_t>(LocaleUpper(static_cast<unsigned char>(b)))];
    return ua < ub;
  });
  for (int i = 0; i < 256; ++i) ranks[order[i]] = i;
}

unsigned char LocaleUpper(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c;
}

unsigned char LocaleLower(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

bool LocaleSameChar(unsigned char a, unsigned char b) { return LocaleUpper(a) == LocaleUpper(b); }

TZipDialogAnswer AskAbortRetryIgnore(const std::string&) { return TZipDialogAnswer::Abort; }
TZipDialogAnswer AskOverwrite(const std::string&) { return TZipDialogAnswer::No; }

namespace {
std::recursive_mutex& Lock() {
  static std::recursive_mutex lock;
  return lock;
}
}  // namespace

void EnterArchiverLock() { Lock().lock(); }
void LeaveArchiverLock() { Lock().unlock(); }

}  // namespace ZipPlatform
