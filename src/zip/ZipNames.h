#pragma once
// Entry names from the bytes an archive stores to Unicode, by what the writer marked or
// evidently meant, and the code page 862 names of the maker's own archives.
#include <cstdint>
#include <string>
#include <vector>

#include "zip/ZipTypes.h"

// The entry's name as UTF-8: the UTF-8 flag's bytes; else a Unicode-path extra field that
// belongs to these very bytes; else, from Unix or macOS, bytes that are valid UTF-8; else
// code page 862 (with OemFileNames) or windows-1255. Never a substitute character.
std::string ZipUnicodeName(const std::string& raw, uint16_t flags, uint16_t versionMadeBy,
                           const std::vector<TZipExtraBlock>& extra, bool oemFileNames);
bool ZipIsValidUtf8(const std::string& text);
// Whether a part of a UTF-8 path ("\" separators) is a name Windows gives a meaning: a
// device (CON, NUL, COM1.txt, "AUX ." ...) or a name ending in a dot or a space, which
// Windows trims into another name. "." alone stays allowed.
bool ZipHasReservedWindowsName(const std::string& path);
// OEM (code page 862) entry names to the component's windows-1255 text.
std::string ZipOemToAnsi(const std::string& oem);
