#pragma once
// Reads the registry straight through the system, so the tests check the stored bytes and not
// what the accessor under test believes it stored.
#include <windows.h>

#include <string>
#include <vector>

struct TRawValue {
  bool Found = false;
  DWORD Type = REG_NONE;
  std::vector<BYTE> Data;

  std::wstring Text() const {
    std::wstring text(Data.size() / sizeof(wchar_t), L'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
      text[i] = static_cast<wchar_t>(Data[2 * i] | (Data[2 * i + 1] << 8));
    if (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
  }
};

inline bool KeyPresent(HKEY Root, const std::wstring& Path) {
  HKEY key;
  if (RegOpenKeyExW(Root, Path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

inline TRawValue ReadRaw(HKEY Root, const std::wstring& Path, const std::wstring& Name) {
  TRawValue value;
  HKEY key;
  if (RegOpenKeyExW(Root, Path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return value;
  DWORD size = 0;
  if (RegQueryValueExW(key, Name.c_str(), nullptr, &value.Type, nullptr, &size) == ERROR_SUCCESS) {
    value.Data.resize(size);
    value.Found = RegQueryValueExW(key, Name.c_str(), nullptr, &value.Type, value.Data.data(),
                                   &size) == ERROR_SUCCESS;
  }
  RegCloseKey(key);
  return value;
}

inline std::vector<std::wstring> ValueNames(HKEY Root, const std::wstring& Path) {
  std::vector<std::wstring> names;
  HKEY key;
  if (RegOpenKeyExW(Root, Path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
  wchar_t name[512];
  for (DWORD i = 0;; ++i) {
    DWORD length = 512;
    if (RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    names.emplace_back(name, length);
  }
  RegCloseKey(key);
  return names;
}

inline void WriteRawString(HKEY Root, const std::wstring& Path, const std::wstring& Name,
                           const std::wstring& Text) {
  RegSetKeyValueW(Root, Path.c_str(), Name.c_str(), REG_SZ, Text.c_str(),
                  static_cast<DWORD>((Text.size() + 1) * sizeof(wchar_t)));
}

inline void RemoveKey(HKEY Root, const std::wstring& Path) {
  RegDeleteTreeW(Root, Path.c_str());
  RegDeleteKeyW(Root, Path.c_str());
}
