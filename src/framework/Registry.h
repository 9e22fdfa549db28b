#pragma once
// The framework's registry accessors: TRegistry works on one root and at most one open key at
// a time; TRegIniFile reads and writes "sections" (subkeys) of one key as an ini file would.
// Both close what they opened when they go, on every path.
#include <windows.h>

#include <cstddef>
#include <string>

#include "framework/Exception.h"

// A value write the registry refused. The message names the value.
class ERegistryException : public Exception {
 public:
  using Exception::Exception;
  MIRPAN_EXCEPTION_CLASS(ERegistryException)
};

class TRegistry {
 public:
  // The root starts as HKEY_CURRENT_USER, as callers that name no root expect.
  TRegistry();
  explicit TRegistry(HKEY Root);
  virtual ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  HKEY RootKey() const { return FRootKey; }
  // Closes the open key first: a key opened below one root means nothing below another.
  void SetRootKey(HKEY Root);
  HKEY CurrentKey() const { return FCurrentKey; }
  const std::wstring& CurrentPath() const { return FCurrentPath; }

  // Key names starting with a backslash are taken from the root; others from the open key
  // when there is one, else from the root.
  bool OpenKey(const std::wstring& Key, bool CanCreate);
  bool OpenKeyReadOnly(const std::wstring& Key);
  // Creates the key without opening it; an existing key counts as created.
  bool CreateKey(const std::wstring& Key);
  bool KeyExists(const std::wstring& Key);
  // Deletes the key with all its subkeys and values.
  bool DeleteKey(const std::wstring& Key);
  void CloseKey();

  bool ValueExists(const std::wstring& Name) const;
  // Type (REG_SZ, REG_BINARY, ...) and size in bytes of a value of the open key.
  bool GetDataInfo(const std::wstring& Name, DWORD& Type, DWORD& Size) const;

  // Writes raise ERegistryException("Failed to set data for '<name>'") when refused.
  void WriteString(const std::wstring& Name, const std::wstring& Value);
  void WriteInteger(const std::wstring& Name, DWORD Value);
  void WriteBinaryData(const std::wstring& Name, const void* Data, std::size_t Size);
  void WriteFloat(const std::wstring& Name, double Value);  // 8-byte REG_BINARY

  // Empty when the value is missing or not a string.
  std::wstring ReadString(const std::wstring& Name) const;
  // False when the value is missing or not a REG_DWORD.
  bool ReadInteger(const std::wstring& Name, DWORD& Value) const;
  // False unless the value is REG_BINARY of exactly 8 bytes.
  bool ReadFloat(const std::wstring& Name, double& Value) const;

 private:
  // The parent handle and subkey text that a key name stands for.
  HKEY BaseFor(const std::wstring& Key, std::wstring& Relative) const;
  bool OpenWithAccess(const std::wstring& Key, REGSAM Access, bool CanCreate);
  void WriteData(const std::wstring& Name, DWORD Type, const void* Data, std::size_t Size);

  HKEY FRootKey;
  HKEY FCurrentKey = nullptr;
  std::wstring FCurrentPath;
};

// An ini file kept in the registry: the key given at construction holds the sections as
// subkeys; an empty section stands for the key itself.
class TRegIniFile : public TRegistry {
 public:
  // Opens (creating it when needed) Key below HKEY_CURRENT_USER.
  explicit TRegIniFile(const std::wstring& Key);
  TRegIniFile(HKEY Root, const std::wstring& Key);

  std::wstring ReadString(const std::wstring& Section, const std::wstring& Ident,
                          const std::wstring& Default);
  void WriteString(const std::wstring& Section, const std::wstring& Ident,
                   const std::wstring& Value);
};
