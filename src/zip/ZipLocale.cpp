#include "zip/ZipLocale.h"

#include <cstdint>

#include "zip/ZipPlatform.h"

namespace {

struct TLocaleTables {
  int32_t Ranks[256];
  unsigned char Upper[256];
  unsigned char Lower[256];
  bool Permutation = true;
  // Answers of the platform's comparison, filled as they are asked: 0 unknown, 1 same,
  // 2 different.
  uint8_t Same[256][256] = {};

  TLocaleTables() {
    ZipPlatform::LocaleRanks(Ranks);
    bool seen[256] = {};
    for (int c = 0; c < 256; ++c) {
      Upper[c] = ZipPlatform::LocaleUpper(static_cast<unsigned char>(c));
      Lower[c] = ZipPlatform::LocaleLower(static_cast<unsigned char>(c));
      if (Ranks[c] < 0 || Ranks[c] > 255 || seen[Ranks[c]])
        Permutation = false;
      else
        seen[Ranks[c]] = true;
    }
  }
};

TLocaleTables& Tables() {
  static TLocaleTables tables;
  return tables;
}

// Built when the unit starts, as the matcher expects the tables to be ready.
[[maybe_unused]] const TLocaleTables& kStartup = Tables();

}  // namespace

bool ZipSameCharIgnoreCase(unsigned char a, unsigned char b) {
  if (a == b) return true;
  TLocaleTables& t = Tables();
  if (t.Permutation) return t.Ranks[t.Upper[a]] == t.Ranks[t.Upper[b]];
  uint8_t& known = t.Same[a][b];
  if (known == 0) known = ZipPlatform::LocaleSameChar(a, b) ? 1 : 2;
  return known == 1;
}

std::string ZipLowerCase(const std::string& text) {
  const TLocaleTables& t = Tables();
  std::string lower = text;
  for (char& c : lower) c = static_cast<char>(t.Lower[static_cast<unsigned char>(c)]);
  return lower;
}

bool ZipLocaleRanksArePermutation() { return Tables().Permutation; }
