#include "framework/Registry.h"

#include <cstring>
#include <vector>

#include "framework/Text.h"

namespace {

// Closes a key handle opened for one call.
class TKeyHandle {
 public:
  TKeyHandle() = default;
  ~TKeyHandle() {
    if (FKey) RegCloseKey(FKey);
  }
  TKeyHandle(const TKeyHandle&) = delete;
  TKeyHandle& operator=(const TKeyHandle&) = delete;
  HKEY* Out() { return &FKey; }
  HKEY Get() const { return FKey; }

 private:
  HKEY FKey = nullptr;
};

std::wstring StripTrailingBackslash(std::wstring Path) {
  while (!Path.empty() && Path.back() == L'\\') Path.pop_back();
  return Path;
}

bool QueryValue(HKEY Key, const std::wstring& Name, DWORD& Type, std::vector<BYTE>& Data) {
  if (!Key) return false;
  DWORD size = 0;
  if (RegQueryValueExW(Key, Name.c_str(), nullptr, &Type, nullptr, &size) != ERROR_SUCCESS)
    return false;
  Data.assign(size, 0);
  if (size == 0) return true;
  if (RegQueryValueExW(Key, Name.c_str(), nullptr, &Type, Data.data(), &size) != ERROR_SUCCESS)
    return false;
  Data.resize(size);
  return true;
}

std::wstring StringFromData(const std::vector<BYTE>& Data) {
  std::wstring text(Data.size() / sizeof(wchar_t), L'\0');
  if (!text.empty()) std::memcpy(&text[0], Data.data(), text.size() * sizeof(wchar_t));
  // The stored terminator (and anything a careless writer put after it) is not text.
  std::size_t end = text.find(L'\0');
  if (end != std::wstring::npos) text.resize(end);
  return text;
}

}  // namespace

TRegistry::TRegistry() : FRootKey(HKEY_CURRENT_USER) {}

TRegistry::TRegistry(HKEY Root) : FRootKey(Root) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY Root) {
  CloseKey();
  FRootKey = Root;
}

HKEY TRegistry::BaseFor(const std::wstring& Key, std::wstring& Relative) const {
  if (!Key.empty() && Key.front() == L'\\') {
    Relative = StripTrailingBackslash(Key.substr(1));
    return FRootKey;
  }
  Relative = StripTrailingBackslash(Key);
  return FCurrentKey ? FCurrentKey : FRootKey;
}

bool TRegistry::OpenWithAccess(const std::wstring& Key, REGSAM Access, bool CanCreate) {
  std::wstring relative;
  HKEY base = BaseFor(Key, relative);
  HKEY opened = nullptr;
  LONG result;
  if (CanCreate) {
    result = RegCreateKeyExW(base, relative.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, Access,
                             nullptr, &opened, nullptr);
  } else {
    result = RegOpenKeyExW(base, relative.c_str(), 0, Access, &opened);
  }
  if (result != ERROR_SUCCESS) return false;
  // The new path is built before the old key closes, since a relative name rests on it.
  std::wstring path = (Key.empty() || Key.front() != L'\\') && FCurrentKey
                          ? (relative.empty() ? FCurrentPath : FCurrentPath + L"\\" + relative)
                          : relative;
  CloseKey();
  FCurrentKey = opened;
  FCurrentPath = path;
  return true;
}

bool TRegistry::OpenKey(const std::wstring& Key, bool CanCreate) {
  return OpenWithAccess(Key, KEY_ALL_ACCESS, CanCreate);
}

bool TRegistry::OpenKeyReadOnly(const std::wstring& Key) {
  return OpenWithAccess(Key, KEY_READ, false);
}

bool TRegistry::CreateKey(const std::wstring& Key) {
  std::wstring relative;
  HKEY base = BaseFor(Key, relative);
  TKeyHandle created;
  return RegCreateKeyExW(base, relative.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                         KEY_ALL_ACCESS, nullptr, created.Out(), nullptr) == ERROR_SUCCESS;
}

bool TRegistry::KeyExists(const std::wstring& Key) {
  std::wstring relative;
  HKEY base = BaseFor(Key, relative);
  TKeyHandle opened;
  return RegOpenKeyExW(base, relative.c_str(), 0, KEY_READ, opened.Out()) == ERROR_SUCCESS;
}

bool TRegistry::DeleteKey(const std::wstring& Key) {
  std::wstring relative;
  HKEY base = BaseFor(Key, relative);
  // Deleting the root itself (an empty name) would wipe a whole hive branch.
  if (relative.empty()) return false;
  TKeyHandle parent;
  std::wstring leaf = relative;
  std::size_t slash = relative.rfind(L'\\');
  HKEY parentKey = base;
  if (slash != std::wstring::npos) {
    if (RegOpenKeyExW(base, relative.substr(0, slash).c_str(), 0, KEY_ALL_ACCESS, parent.Out()) !=
        ERROR_SUCCESS)
      return false;
    parentKey = parent.Get();
    leaf = relative.substr(slash + 1);
  }
  // Subkeys first: a key with children cannot be removed by itself.
  LONG result = RegDeleteTreeW(parentKey, leaf.c_str());
  if (result != ERROR_SUCCESS) return false;
  TKeyHandle left;
  if (RegOpenKeyExW(parentKey, leaf.c_str(), 0, KEY_READ, left.Out()) == ERROR_SUCCESS)
    return RegDeleteKeyW(parentKey, leaf.c_str()) == ERROR_SUCCESS;
  return true;
}

void TRegistry::CloseKey() {
  if (FCurrentKey) {
    RegFlushKey(FCurrentKey);
    RegCloseKey(FCurrentKey);
  }
  FCurrentKey = nullptr;
  FCurrentPath.clear();
}

bool TRegistry::ValueExists(const std::wstring& Name) const {
  DWORD type, size;
  return GetDataInfo(Name, type, size);
}

bool TRegistry::GetDataInfo(const std::wstring& Name, DWORD& Type, DWORD& Size) const {
  if (!FCurrentKey) return false;
  Size = 0;
  return RegQueryValueExW(FCurrentKey, Name.c_str(), nullptr, &Type, nullptr, &Size) ==
         ERROR_SUCCESS;
}

void TRegistry::WriteData(const std::wstring& Name, DWORD Type, const void* Data,
                          std::size_t Size) {
  static const BYTE Nothing = 0;  // some registries dislike a null pointer even for 0 bytes
  if (!Data) Data = &Nothing;
  if (!FCurrentKey || Size > MAXDWORD ||
      RegSetValueExW(FCurrentKey, Name.c_str(), 0, Type, static_cast<const BYTE*>(Data),
                     static_cast<DWORD>(Size)) != ERROR_SUCCESS) {
    throw ERegistryException("Failed to set data for '" + Cp1255FromWide(Name) + "'");
  }
}

void TRegistry::WriteString(const std::wstring& Name, const std::wstring& Value) {
  WriteData(Name, REG_SZ, Value.c_str(), (Value.size() + 1) * sizeof(wchar_t));
}

void TRegistry::WriteInteger(const std::wstring& Name, DWORD Value) {
  WriteData(Name, REG_DWORD, &Value, sizeof Value);
}

void TRegistry::WriteBinaryData(const std::wstring& Name, const void* Data, std::size_t Size) {
  WriteData(Name, REG_BINARY, Data, Size);
}

void TRegistry::WriteFloat(const std::wstring& Name, double Value) {
  static_assert(sizeof(double) == 8, "reals are stored as 8-byte IEEE doubles");
  WriteData(Name, REG_BINARY, &Value, sizeof Value);
}

std::wstring TRegistry::ReadString(const std::wstring& Name) const {
  DWORD type = 0;
  std::vector<BYTE> data;
  if (!QueryValue(FCurrentKey, Name, type, data)) return std::wstring();
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::wstring();
  return StringFromData(data);
}

bool TRegistry::ReadInteger(const std::wstring& Name, DWORD& Value) const {
  DWORD type = 0;
  std::vector<BYTE> data;
  if (!QueryValue(FCurrentKey, Name, type, data) || type != REG_DWORD ||
      data.size() != sizeof Value)
    return false;
  std::memcpy(&Value, data.data(), sizeof Value);
  return true;
}

bool TRegistry::ReadFloat(const std::wstring& Name, double& Value) const {
  DWORD type = 0;
  std::vector<BYTE> data;
  if (!QueryValue(FCurrentKey, Name, type, data) || type != REG_BINARY ||
      data.size() != sizeof Value)
    return false;
  std::memcpy(&Value, data.data(), sizeof Value);
  return true;
}

TRegIniFile::TRegIniFile(const std::wstring& Key) : TRegIniFile(HKEY_CURRENT_USER, Key) {}

TRegIniFile::TRegIniFile(HKEY Root, const std::wstring& Key) : TRegistry(Root) {
  OpenKey(Key, true);
}

std::wstring TRegIniFile::ReadString(const std::wstring& Section, const std::wstring& Ident,
                                     const std::wstring& Default) {
  if (!CurrentKey()) return Default;
  HKEY from = CurrentKey();
  TKeyHandle section;
  if (!Section.empty()) {
    if (RegOpenKeyExW(CurrentKey(), Section.c_str(), 0, KEY_READ, section.Out()) != ERROR_SUCCESS)
      return Default;
    from = section.Get();
  }
  DWORD type = 0;
  std::vector<BYTE> data;
  if (!QueryValue(from, Ident, type, data) || (type != REG_SZ && type != REG_EXPAND_SZ))
    return Default;
  return StringFromData(data);
}

void TRegIniFile::WriteString(const std::wstring& Section, const std::wstring& Ident,
                              const std::wstring& Value) {
  if (Section.empty()) {
    TRegistry::WriteString(Ident, Value);
    return;
  }
  TKeyHandle section;
  if (!CurrentKey() ||
      RegCreateKeyExW(CurrentKey(), Section.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, section.Out(), nullptr) != ERROR_SUCCESS ||
      RegSetValueExW(section.Get(), Ident.c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(Value.c_str()),
                     static_cast<DWORD>((Value.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS) {
    throw ERegistryException("Failed to set data for '" + Cp1255FromWide(Ident) + "'");
  }
}
