#pragma once
// The system-information component of the wizard's layout. The installation record takes
// three of its items; each is read from the system when asked for.
#include <windows.h>

#include <string>

enum TSysInfoItem {
  siPlatformVersion = 3,  // major.minor of the operating system
  siPlatform = 10,        // the operating-system family
  siComputerName = 12
};

class TSysInfo {
 public:
  // windows-1255 text, as the record stores it; "(Unknown)" when the system does not say.
  std::string Item(TSysInfoItem Index) const;

  std::string PlatformName() const;
  std::string PlatformVersion() const;
  std::string ComputerName() const;

  // "Win32s", "Windows 95", "Windows NT" or "(Unknown)" for a platform identifier.
  static std::string PlatformFamily(DWORD PlatformId);
};
