#pragma once
// The maker's folder at the drive root belongs to administrators. The drive root lets any
// user create folders, so whoever made the folder before the installation could otherwise
// plant links in it and keep write access to the programs that elevated tools run later.
#include <string>

#include "framework/Exception.h"

// A link (a reparse point: symbolic link, junction, mount point) stood where the
// installation was to write; the message names it.
class ELinkOnTheWay : public Exception {
 public:
  MIRPAN_EXCEPTION_CLASS(ELinkOnTheWay)
  using Exception::Exception;
};

// The first link on the way from the drive root down to Path, Path itself included; empty
// when there is none. Parts of the way that do not exist yet are no links.
std::wstring FirstLinkOnTheWay(const std::wstring& Path);
// The Hebrew message that refuses the first link on the way to Path; empty when there is none.
std::wstring LinkRefusal(const std::wstring& Path);
// Raises ELinkOnTheWay with that message when there is a link.
void RefuseLinksOnTheWay(const std::wstring& Path);
// Writes Bytes as the file Path, replacing a file that was there, never writing through a
// link on the way or one that appears under its name meanwhile (as at the drive root, where
// anyone may create files). Raises ELinkOnTheWay, or EStreamError when it cannot write.
void WriteFileNoLinks(const std::wstring& Path, const std::string& Bytes);

// Makes Folder, or takes it over when it is there with another owner or with rights for
// others: owner Administrators; Administrators and SYSTEM full control, Users read and
// execute, nothing inherited from above; everything below it reset to inherit that alone.
// Answers the Hebrew reason when it could not, and then nothing was written below Folder.
std::wstring SecureMakerFolder(const std::wstring& Folder);
// Whether the descriptor keeps a folder the administrators' alone, so that it need not be
// taken over: owned by Administrators or SYSTEM, nothing inherited, and nobody else granted
// a right that changes it.
bool OnlyAdministratorsMayChange(void* Descriptor);
