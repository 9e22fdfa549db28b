#include "tools/ProtectedFolder.h"

#include <windows.h>
// after windows.h, which it needs
#include <aclapi.h>
#include <sddl.h>

#include "framework/StringList.h"
#include "framework/Text.h"

namespace {

// Rights that let their holder change a file or folder, its contents or who may do so.
constexpr DWORD kChangingRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA |
                                  FILE_WRITE_ATTRIBUTES | FILE_DELETE_CHILD | DELETE | WRITE_DAC |
                                  WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

// The rights the maker's folder gets, and those that everything below it inherits from it:
// Administrators and SYSTEM full control, Users read and execute, owner Administrators.
constexpr wchar_t kMakerFolderRights[] =
    L"O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)";
constexpr wchar_t kInheritedFolderRights[] =
    L"O:BAD:(A;OICIID;FA;;;BA)(A;OICIID;FA;;;SY)(A;OICIID;0x1200a9;;;BU)";
constexpr wchar_t kInheritedFileRights[] =
    L"O:BAD:(A;ID;FA;;;BA)(A;ID;FA;;;SY)(A;ID;0x1200a9;;;BU)";

class TDescriptor {
 public:
  explicit TDescriptor(const wchar_t* Rights) {
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(Rights, SDDL_REVISION_1, &FValue,
                                                              nullptr))
      FValue = nullptr;
  }
  ~TDescriptor() { LocalFree(FValue); }
  TDescriptor(const TDescriptor&) = delete;
  TDescriptor& operator=(const TDescriptor&) = delete;
  PSECURITY_DESCRIPTOR Get() const { return FValue; }
  PSID Owner() const {
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    return FValue && GetSecurityDescriptorOwner(FValue, &owner, &defaulted) ? owner : nullptr;
  }
  PACL Dacl() const {
    PACL dacl = nullptr;
    BOOL present = FALSE, defaulted = FALSE;
    return FValue && GetSecurityDescriptorDacl(FValue, &present, &dacl, &defaulted) ? dacl
                                                                                    : nullptr;
  }

 private:
  PSECURITY_DESCRIPTOR FValue = nullptr;
};

bool IsWellKnown(PSID Sid, WELL_KNOWN_SID_TYPE Type) {
  return Sid && IsValidSid(Sid) && IsWellKnownSid(Sid, Type);
}

bool IsAdministratorsOrSystem(PSID Sid) {
  return IsWellKnown(Sid, WinBuiltinAdministratorsSid) || IsWellKnown(Sid, WinLocalSystemSid);
}

// Taking over what another account owns needs rights the elevated token has but does not
// hold enabled. They stay enabled only while the folder is taken over.
class TTakeoverPrivileges {
 public:
  TTakeoverPrivileges() {
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &FToken))
      return;
    const wchar_t* names[] = {SE_TAKE_OWNERSHIP_NAME, SE_RESTORE_NAME, SE_BACKUP_NAME};
    struct {
      DWORD Count;
      LUID_AND_ATTRIBUTES Privileges[3];
    } wanted = {3, {}};
    for (int i = 0; i < 3; ++i) {
      LookupPrivilegeValueW(nullptr, names[i], &wanted.Privileges[i].Luid);
      wanted.Privileges[i].Attributes = SE_PRIVILEGE_ENABLED;
    }
    DWORD size = sizeof FPrevious;
    FAdjusted = AdjustTokenPrivileges(FToken, FALSE, reinterpret_cast<PTOKEN_PRIVILEGES>(&wanted),
                                      sizeof FPrevious,
                                      reinterpret_cast<PTOKEN_PRIVILEGES>(&FPrevious), &size);
  }
  ~TTakeoverPrivileges() {
    if (FAdjusted)
      AdjustTokenPrivileges(FToken, FALSE, reinterpret_cast<PTOKEN_PRIVILEGES>(&FPrevious), 0,
                            nullptr, nullptr);
    if (FToken) CloseHandle(FToken);
  }
  TTakeoverPrivileges(const TTakeoverPrivileges&) = delete;
  TTakeoverPrivileges& operator=(const TTakeoverPrivileges&) = delete;

 private:
  HANDLE FToken = nullptr;
  BOOL FAdjusted = FALSE;
  struct {
    DWORD Count;
    LUID_AND_ATTRIBUTES Privileges[3];
  } FPrevious = {};
};

// The file or folder itself, never what a link in its place points at.
HANDLE OpenForSecurity(const std::wstring& Path) {
  return CreateFileW(Path.c_str(), READ_CONTROL | WRITE_DAC | WRITE_OWNER,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                     FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

struct THandle {
  HANDLE Value;
  ~THandle() {
    if (Value != INVALID_HANDLE_VALUE) CloseHandle(Value);
  }
};

DWORD AttributesOf(HANDLE File) {
  BY_HANDLE_FILE_INFORMATION info;
  return GetFileInformationByHandle(File, &info) ? info.dwFileAttributes : INVALID_FILE_ATTRIBUTES;
}

bool IsAdministratorsOnly(HANDLE Folder) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(Folder, SE_FILE_OBJECT,
                      OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, nullptr, nullptr,
                      nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
    return false;
  const bool only = OnlyAdministratorsMayChange(descriptor);
  LocalFree(descriptor);
  return only;
}

bool SetOwnerAndList(HANDLE File, const TDescriptor& Rights, bool Protected) {
  const SECURITY_INFORMATION what =
      OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
      (Protected ? PROTECTED_DACL_SECURITY_INFORMATION : UNPROTECTED_DACL_SECURITY_INFORMATION);
  return Rights.Dacl() && SetSecurityInfo(File, SE_FILE_OBJECT, what, Rights.Owner(), nullptr,
                                          Rights.Dacl(), nullptr) == ERROR_SUCCESS;
}

std::wstring CannotSecure(const std::wstring& Path) {
  return L"תוכנת ההתקנה לא הצליחה לקבוע את הרשאות " + Path + L".";
}

// Top down, so that each folder is the administrators' before its contents are listed:
// nobody else can add to it from then on. Links are reset themselves and not entered.
std::wstring ResetBelow(const std::wstring& Folder) {
  static const TDescriptor folderRights(kInheritedFolderRights);
  static const TDescriptor fileRights(kInheritedFileRights);
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((Folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return {};
  std::wstring failure;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = Folder + L"\\" + name;
    THandle entry{OpenForSecurity(path)};
    const DWORD attributes =
        entry.Value == INVALID_HANDLE_VALUE ? INVALID_FILE_ATTRIBUTES : AttributesOf(entry.Value);
    const bool folder = attributes != INVALID_FILE_ATTRIBUTES &&
                        (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
                        !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        !SetOwnerAndList(entry.Value, folder ? folderRights : fileRights, false))
      failure = CannotSecure(path);
    else if (folder)
      failure = ResetBelow(path);
  } while (failure.empty() && FindNextFileW(search, &found));
  FindClose(search);
  return failure;
}

std::wstring LinkMessage(const std::wstring& Path) {
  return L"המחיצה או הקובץ " + Path + L" הם קישור למקום אחר; תוכנת ההתקנה אינה כותבת דרכו.";
}

}  // namespace

std::wstring FirstLinkOnTheWay(const std::wstring& Path) {
  // Below the drive root, "X:\".
  for (size_t end = Path.find(L'\\', 3);; end = Path.find(L'\\', end + 1)) {
    const std::wstring step = Path.substr(0, end);
    if (step.size() > 3) {
      const DWORD attributes = GetFileAttributesW(step.c_str());
      if (attributes == INVALID_FILE_ATTRIBUTES) return {};
      if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return step;
    }
    if (end == std::wstring::npos) return {};
  }
}

std::wstring LinkRefusal(const std::wstring& Path) {
  const std::wstring link = FirstLinkOnTheWay(Path);
  return link.empty() ? link : LinkMessage(link);
}

void RefuseLinksOnTheWay(const std::wstring& Path) {
  const std::wstring refusal = LinkRefusal(Path);
  if (!refusal.empty()) throw ELinkOnTheWay(Cp1255FromWide(refusal));
}

void WriteFileNoLinks(const std::wstring& Path, const std::string& Bytes) {
  RefuseLinksOnTheWay(Path);
  // The old file goes first and only a new one is created, so nothing there is opened.
  const DWORD there = GetFileAttributesW(Path.c_str());
  if (there != INVALID_FILE_ATTRIBUTES && !(there & FILE_ATTRIBUTE_DIRECTORY))
    DeleteFileW(Path.c_str());
  THandle file{CreateFileW(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr)};
  if (file.Value == INVALID_HANDLE_VALUE)
    throw EStreamError("Cannot create file " + Cp1255FromWide(Path));
  DWORD written = 0;
  if (!WriteFile(file.Value, Bytes.data(), static_cast<DWORD>(Bytes.size()), &written, nullptr) ||
      written != Bytes.size() || !FlushFileBuffers(file.Value))
    throw EStreamError("Unable to write to " + Cp1255FromWide(Path));
}

bool OnlyAdministratorsMayChange(PSECURITY_DESCRIPTOR Descriptor) {
  PSID owner = nullptr;
  PACL dacl = nullptr;
  BOOL present = FALSE, defaulted = FALSE;
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  if (!GetSecurityDescriptorOwner(Descriptor, &owner, &defaulted) ||
      !GetSecurityDescriptorDacl(Descriptor, &present, &dacl, &defaulted) ||
      !GetSecurityDescriptorControl(Descriptor, &control, &revision))
    return false;
  // No list at all lets everyone do everything.
  if (!present || !dacl || !IsAdministratorsOrSystem(owner) || !(control & SE_DACL_PROTECTED))
    return false;
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    ACE_HEADER* header = nullptr;
    if (!GetAce(dacl, i, reinterpret_cast<void**>(&header))) return false;
    if (header->AceType == ACCESS_DENIED_ACE_TYPE) continue;
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) return false;  // a kind not read here
    auto* ace = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);
    if ((ace->Mask & kChangingRights) && !IsAdministratorsOrSystem(&ace->SidStart)) return false;
  }
  return true;
}

std::wstring SecureMakerFolder(const std::wstring& Folder) {
  const TDescriptor rights(kMakerFolderRights);
  if (!rights.Dacl()) return CannotSecure(Folder);
  if (GetFileAttributesW(Folder.c_str()) == INVALID_FILE_ATTRIBUTES) {
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, rights.Get(), FALSE};
    if (CreateDirectoryW(Folder.c_str(), &attributes)) return {};
    if (GetLastError() != ERROR_ALREADY_EXISTS) return CannotSecure(Folder);
  }
  TTakeoverPrivileges privileges;
  THandle folder{OpenForSecurity(Folder)};
  if (folder.Value == INVALID_HANDLE_VALUE) return CannotSecure(Folder);
  const DWORD attributes = AttributesOf(folder.Value);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return LinkMessage(Folder);
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
    return CannotSecure(Folder);
  if (IsAdministratorsOnly(folder.Value)) return {};
  if (!SetOwnerAndList(folder.Value, rights, true)) return CannotSecure(Folder);
  return ResetBelow(Folder);
}
