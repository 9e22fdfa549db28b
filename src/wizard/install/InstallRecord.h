#pragma once
// What the wizard keeps in its installation record: the relative folder forms filled at
// start and on page 1, and the target drive put in front of them when page 3 begins.
#include <string>

#include "tools/UinstTools.h"
#include "wizard/install/TSysInfo.h"

// Whole days since 30 Dec 1899 for today, and the fraction of the day gone now, in local time.
double DateOfToday();
double TimeOfDayNow();

// Company and product, the relative paths, date, time, version and the platform strings.
// ProductName is the caption of the hidden product-name label.
void InitInstallRecord(TInstaltionRec& InstallRec, const std::wstring& ProductName,
                       const TSysInfo& SysInfo);

// TargetDrive from the first two characters of the target path caption, the relative forms
// copied into PathRec, and every path but HelpPath and DdfPath given that drive in front.
void ApplyTargetDrive(TInstaltionRec& InstallRec, TPathRec& PathRec,
                      const std::wstring& TargetPathCaption, bool AddShortcut);
