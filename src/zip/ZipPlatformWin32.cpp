// Win32 side of the archiver's platform: wide API calls on UTF-16 names made from the
// component's UTF-8 paths, whatever the system code page.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "framework/Text.h"
#include "zip/ZipException.h"
#include "zip/ZipPlatform.h"

namespace {

std::wstring Wide(const std::string& utf8) {
  std::u16string u = U16FromUtf8(utf8);
  return std::wstring(u.begin(), u.end());
}

uint64_t IdentityOf(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) return 0;
  return ZipPlatform::MixIdentity(
      info.dwVolumeSerialNumber,
      (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow);
}

class TWin32Stream : public TZipStream {
 public:
  explicit TWin32Stream(HANDLE handle) : FHandle(handle) {}
  ~TWin32Stream() override { CloseHandle(FHandle); }
  int64_t Size() override {
    LARGE_INTEGER size;
    return GetFileSizeEx(FHandle, &size) ? size.QuadPart : 0;
  }
  size_t ReadAt(int64_t position, void* buffer, size_t count) override {
    size_t done = 0;
    while (done < count) {
      OVERLAPPED at = {};
      uint64_t where = static_cast<uint64_t>(position) + done;
      at.Offset = static_cast<DWORD>(where);
      at.OffsetHigh = static_cast<DWORD>(where >> 32);
      DWORD chunk = static_cast<DWORD>(std::min<size_t>(count - done, 1u << 30)), got = 0;
      if (!ReadFile(FHandle, static_cast<char*>(buffer) + done, chunk, &got, &at) || got == 0)
        break;
      done += got;
    }
    return done;
  }

 private:
  HANDLE FHandle;
};

class TWin32OutputFile : public TZipOutputFile {
 public:
  explicit TWin32OutputFile(HANDLE handle) : FHandle(handle) {}
  ~TWin32OutputFile() override { Close(); }
  bool Write(const void* data, size_t count) override {
    const char* p = static_cast<const char*>(data);
    while (count > 0) {
      DWORD chunk = static_cast<DWORD>(std::min<size_t>(count, 1u << 30)), put = 0;
      if (!WriteFile(FHandle, p, chunk, &put, nullptr) || put == 0) return false;
      p += put;
      count -= put;
    }
    return true;
  }
  void SetDosDateTime(uint32_t dosDateTime) override {
    FILETIME local, utc;
    if (DosDateTimeToFileTime(static_cast<WORD>(dosDateTime >> 16),
                              static_cast<WORD>(dosDateTime & 0xFFFF), &local) &&
        LocalFileTimeToFileTime(&local, &utc))
      SetFileTime(FHandle, nullptr, nullptr, &utc);
  }
  void Flush() override { FlushFileBuffers(FHandle); }
  void Close() override {
    if (FHandle != INVALID_HANDLE_VALUE) CloseHandle(FHandle);
    FHandle = INVALID_HANDLE_VALUE;
  }
  uint64_t Identity() override { return FHandle != INVALID_HANDLE_VALUE ? IdentityOf(FHandle) : 0; }

 private:
  HANDLE FHandle;
};

DWORD ShareFromMode(uint16_t mode) {
  switch (mode & 0x70) {
    case 0x10:
      return 0;
    case 0x20:
      return FILE_SHARE_READ;
    case 0x30:
      return FILE_SHARE_WRITE;
    default:
      return FILE_SHARE_READ | FILE_SHARE_WRITE;
  }
}

}  // namespace

namespace ZipPlatform {

std::unique_ptr<TZipStream> OpenArchiveFile(const std::string& path, uint16_t mode) {
  DWORD access = (mode & 3) == 0 ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
  HANDLE handle = CreateFileW(Wide(path).c_str(), access, ShareFromMode(mode), nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE)
    throw EZipStreamError("Cannot open file " + Cp1255FromUtf8(path));
  return std::make_unique<TWin32Stream>(handle);
}

std::unique_ptr<TZipOutputFile> CreateOutputFile(const std::string& path, bool mustBeNew) {
  // The link itself is opened, never what it leads to, and then refused.
  HANDLE handle = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr,
                              mustBeNew ? CREATE_NEW : CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  auto file = std::make_unique<TWin32OutputFile>(handle);
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
    return nullptr;
  return file;
}

bool IsLink(const std::string& path) {
  // The attributes of a path's last part are its own, never those of a link's target.
  DWORD a = GetFileAttributesW(Wide(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool FileExists(const std::string& path) {
  DWORD a = GetFileAttributesW(Wide(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

uint64_t FileIdentity(const std::string& path) {
  // No access asked: only the file's information is read.
  HANDLE handle =
      CreateFileW(Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return 0;
  const uint64_t identity = IdentityOf(handle);
  CloseHandle(handle);
  return identity;
}

bool DirectoryExists(const std::string& path) {
  DWORD a = GetFileAttributesW(Wide(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateDir(const std::string& path) {
  return CreateDirectoryW(Wide(path).c_str(), nullptr) || DirectoryExists(path);
}

int32_t FileAttributes(const std::string& path) {
  DWORD a = GetFileAttributesW(Wide(path).c_str());
  return a == INVALID_FILE_ATTRIBUTES ? -1 : static_cast<int32_t>(a);
}

bool ChangeAttributes(const std::string& path, uint32_t attributes) {
  // Only the bits a file may carry; a Unix mode in the high half would be refused.
  if (IsLink(path)) return false;
  DWORD a = attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                          FILE_ATTRIBUTE_ARCHIVE);
  return SetFileAttributesW(Wide(path).c_str(), a ? a : FILE_ATTRIBUTE_NORMAL) != 0;
}

bool RemoveFile(const std::string& path) { return DeleteFileW(Wide(path).c_str()) != 0; }

bool MoveOver(const std::string& from, const std::string& to) {
  return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

int32_t FileDosDateTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) return -1;
  FILETIME local;
  WORD date, time;
  if (!FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) ||
      !FileTimeToDosDateTime(&local, &date, &time))
    return -1;
  return static_cast<int32_t>((static_cast<uint32_t>(date) << 16) | time);
}

bool IsRemovableDrive(const std::string& path) {
  if (IsFloppyDrivePath(path)) return true;
  if (path.size() < 2 || path[1] != ':') return false;
  wchar_t root[] = {static_cast<wchar_t>(path[0]), L':', L'\\', 0};
  return GetDriveTypeW(root) == DRIVE_REMOVABLE;
}

std::string CurrentDirectory() {
  wchar_t buffer[MAX_PATH + 1];
  DWORD n = GetCurrentDirectoryW(MAX_PATH + 1, buffer);
  std::wstring wide(buffer, n <= MAX_PATH ? n : 0);
  std::string path = Utf8FromU16(std::u16string(wide.begin(), wide.end()));
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

uint64_t AvailablePhysicalMemory() {
  MEMORYSTATUSEX status = {};
  status.dwLength = sizeof status;
  return GlobalMemoryStatusEx(&status) ? status.ullAvailPhys : uint64_t(1) << 30;
}

namespace {
wchar_t WideChar(unsigned char c) {
  std::wstring w = WideFromCp1255(std::string(1, static_cast<char>(c)));
  return w.empty() ? L'?' : w[0];
}
int Compare(unsigned char a, unsigned char b, DWORD flags) {
  wchar_t wa = WideChar(a), wb = WideChar(b);
  return CompareStringW(LOCALE_USER_DEFAULT, flags | SORT_STRINGSORT, &wa, 1, &wb, 1);
}
}  // namespace

void LocaleRanks(int32_t ranks[256]) {
  int order[256];
  for (int c = 0; c < 256; ++c) order[c] = c;
  std::stable_sort(order, order + 256, [](int a, int b) {
    return Compare(static_cast<unsigned char>(a), static_cast<unsigned char>(b), 0) ==
           CSTR_LESS_THAN;
  });
  // Characters the locale sorts alike share a rank, which the caller detects.
  int rank = 0;
  for (int i = 0; i < 256; ++i) {
    if (i > 0 && Compare(static_cast<unsigned char>(order[i - 1]),
                         static_cast<unsigned char>(order[i]), 0) != CSTR_EQUAL)
      ++rank;
    ranks[order[i]] = rank;
  }
}

unsigned char LocaleUpper(unsigned char c) {
  wchar_t w = WideChar(c);
  CharUpperBuffW(&w, 1);
  std::string back = Cp1255FromWide(std::wstring(1, w));
  return back.size() == 1 && back[0] != '?' ? static_cast<unsigned char>(back[0]) : c;
}

unsigned char LocaleLower(unsigned char c) {
  wchar_t w = WideChar(c);
  CharLowerBuffW(&w, 1);
  std::string back = Cp1255FromWide(std::wstring(1, w));
  return back.size() == 1 && back[0] != '?' ? static_cast<unsigned char>(back[0]) : c;
}

bool LocaleSameChar(unsigned char a, unsigned char b) {
  return a == b || Compare(a, b, NORM_IGNORECASE) == CSTR_EQUAL;
}

TZipDialogAnswer AskAbortRetryIgnore(const std::string& text) {
  switch (MessageBoxW(nullptr, WideFromCp1255(text).c_str(), L"",
                      MB_ABORTRETRYIGNORE | MB_ICONWARNING)) {
    case IDRETRY:
      return TZipDialogAnswer::Retry;
    case IDIGNORE:
      return TZipDialogAnswer::Ignore;
    default:
      return TZipDialogAnswer::Abort;
  }
}

// Yes/No/Cancel stands in for the four buttons: Cancel answers "No to all".
TZipDialogAnswer AskOverwrite(const std::string& text) {
  switch (
      MessageBoxW(nullptr, WideFromCp1255(text).c_str(), L"", MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES:
      return TZipDialogAnswer::Yes;
    case IDCANCEL:
      return TZipDialogAnswer::NoToAll;
    default:
      return TZipDialogAnswer::No;
  }
}

namespace {
struct TArchiverLock {
  CRITICAL_SECTION Section;
  TArchiverLock() { InitializeCriticalSection(&Section); }
  ~TArchiverLock() { DeleteCriticalSection(&Section); }
};
TArchiverLock& Lock() {
  static TArchiverLock lock;
  return lock;
}
}  // namespace

void EnterArchiverLock() { EnterCriticalSection(&Lock().Section); }
void LeaveArchiverLock() { LeaveCriticalSection(&Lock().Section); }

}  // namespace ZipPlatform
