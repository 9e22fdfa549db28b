#pragma once
// The locale's character rules over windows-1255 text, built once when the unit starts:
// a rank table in the user's sort order and the locale's case mappings.
#include <string>

// Compares two characters without regard to case, by the locale's rules.
bool ZipSameCharIgnoreCase(unsigned char a, unsigned char b);
// Lower-cases by the locale's rules; names in the directory's index are kept this way.
std::string ZipLowerCase(const std::string& text);
// True when the locale's ranks form a permutation of 0-255 (the table is used then).
bool ZipLocaleRanksArePermutation();
