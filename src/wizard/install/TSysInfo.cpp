#include "wizard/install/TSysInfo.h"

#include <cstdio>

#include "framework/Text.h"

namespace {

const char* const Unknown = "(Unknown)";

bool QueryVersion(OSVERSIONINFOW& Info) {
  Info = {};
  Info.dwOSVersionInfoSize = sizeof Info;
  return GetVersionExW(&Info) != FALSE;
}

}  // namespace

std::string TSysInfo::Item(TSysInfoItem Index) const {
  switch (Index) {
    case siPlatformVersion:
      return PlatformVersion();
    case siPlatform:
      return PlatformName();
    case siComputerName:
      return ComputerName();
  }
  return Unknown;
}

std::string TSysInfo::PlatformFamily(DWORD PlatformId) {
  switch (PlatformId) {
    case VER_PLATFORM_WIN32s:
      return "Win32s";
    case VER_PLATFORM_WIN32_WINDOWS:
      return "Windows 95";
    case VER_PLATFORM_WIN32_NT:
      return "Windows NT";
    default:
      return Unknown;
  }
}

std::string TSysInfo::PlatformName() const {
  OSVERSIONINFOW info;
  return QueryVersion(info) ? PlatformFamily(info.dwPlatformId) : Unknown;
}

std::string TSysInfo::PlatformVersion() const {
  OSVERSIONINFOW info;
  if (!QueryVersion(info)) return Unknown;
  char text[32];
  std::snprintf(text, sizeof text, "%d.%d", static_cast<int>(info.dwMajorVersion),
                static_cast<int>(info.dwMinorVersion));
  return text;
}

std::string TSysInfo::ComputerName() const {
  // A name longer than the classic fifteen characters does not fit and counts as unknown.
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
  if (!GetComputerNameW(name, &length) || length == 0) return Unknown;
  return Cp1255FromWide(std::wstring(name, length));
}
