#include "zip/ZipNames.h"

#include <zlib.h>

#include <cstring>

#include "framework/Text.h"

namespace {

constexpr uint16_t kUtf8NameFlag = 0x0800;
constexpr uint16_t kUnicodePathTag = 0x7075;
constexpr int kHostUnix = 3;
constexpr int kHostOsX = 19;

// Code page 862, upper half, as UTF-16.
const char16_t kCp862[128] = {
    0x05D0, 0x05D1, 0x05D2, 0x05D3, 0x05D4, 0x05D5, 0x05D6, 0x05D7, 0x05D8, 0x05D9, 0x05DA, 0x05DB,
    0x05DC, 0x05DD, 0x05DE, 0x05DF, 0x05E0, 0x05E1, 0x05E2, 0x05E3, 0x05E4, 0x05E5, 0x05E6, 0x05E7,
    0x05E8, 0x05E9, 0x05EA, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4,
    0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

std::u16string U16FromCp862(const std::string& oem) {
  std::u16string wide;
  wide.reserve(oem.size());
  for (unsigned char c : oem) wide += c < 0x80 ? static_cast<char16_t>(c) : kCp862[c - 0x80];
  return wide;
}

// A name is cut at its first NUL, as the directory has always read it.
std::string CutAtNul(const std::string& text) { return text.substr(0, std::strlen(text.c_str())); }

// The name an Info-ZIP style Unicode-path field gives, when it was written for Raw.
bool UnicodePathField(const std::vector<TZipExtraBlock>& extra, const std::string& raw,
                      std::string& name) {
  for (const TZipExtraBlock& block : extra) {
    if (block.Tag != kUnicodePathTag || block.Data.size() < 5 || block.Data[0] != 1) continue;
    const uint8_t* d = block.Data.data();
    const uint32_t crc = static_cast<uint32_t>(d[1]) | (static_cast<uint32_t>(d[2]) << 8) |
                         (static_cast<uint32_t>(d[3]) << 16) | (static_cast<uint32_t>(d[4]) << 24);
    const uLong own =
        crc32(0L, reinterpret_cast<const Bytef*>(raw.data()), static_cast<uInt>(raw.size()));
    std::string text(reinterpret_cast<const char*>(d + 5), block.Data.size() - 5);
    text = CutAtNul(text);
    if (static_cast<uint32_t>(own) == crc && !text.empty() && ZipIsValidUtf8(text)) {
      name = text;
      return true;
    }
  }
  return false;
}

bool IsDeviceName(const std::string& part) {
  // The device is the part before the first dot, trailing spaces dropped: "nul.tar.gz" and
  // "COM1 .txt" are devices too.
  std::string stem = part.substr(0, part.find('.'));
  stem.erase(stem.find_last_not_of(' ') + 1);
  for (char& c : stem)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  for (const char* device : kDevices)
    if (stem == device) return true;
  if (stem.size() < 4 || (stem.compare(0, 3, "COM") != 0 && stem.compare(0, 3, "LPT") != 0))
    return false;
  const std::string digit = stem.substr(3);
  // Windows counts the superscripts one to three as digits here.
  return (digit.size() == 1 && digit[0] >= '0' && digit[0] <= '9') || digit == "\xC2\xB9" ||
         digit == "\xC2\xB2" || digit == "\xC2\xB3";
}

}  // namespace

bool ZipHasReservedWindowsName(const std::string& path) {
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    const std::string part = path.substr(start, end - start);
    if (!part.empty() && part != "." &&
        (part.back() == '.' || part.back() == ' ' || IsDeviceName(part)))
      return true;
    start = end + 1;
  }
  return false;
}

bool ZipIsValidUtf8(const std::string& text) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char* end = p + text.size();
  while (p < end) {
    const unsigned char c = *p++;
    if (c < 0x80) continue;
    int more;
    uint32_t code;
    if (c >= 0xC2 && c <= 0xDF) {
      more = 1, code = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      more = 2, code = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      more = 3, code = c & 0x07;
    } else {
      return false;
    }
    if (end - p < more) return false;
    for (int k = 0; k < more; ++k, ++p) {
      if ((*p & 0xC0) != 0x80) return false;
      code = (code << 6) | (*p & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((more == 2 && code < 0x800) || (more == 3 && code < 0x10000) || code > 0x10FFFF ||
        (code >= 0xD800 && code <= 0xDFFF))
      return false;
  }
  return true;
}

std::string ZipOemToAnsi(const std::string& oem) { return Cp1255FromU16(U16FromCp862(oem)); }

std::string ZipUnicodeName(const std::string& raw, uint16_t flags, uint16_t versionMadeBy,
                           const std::vector<TZipExtraBlock>& extra, bool oemFileNames) {
  const std::string name = CutAtNul(raw);
  if ((flags & kUtf8NameFlag) && ZipIsValidUtf8(name)) return name;
  std::string fromField;
  if (UnicodePathField(extra, raw, fromField)) return fromField;
  const int host = versionMadeBy >> 8;
  if ((host == kHostUnix || host == kHostOsX) && ZipIsValidUtf8(name)) return name;
  return oemFileNames ? Utf8FromU16(U16FromCp862(name)) : Utf8FromCp1255(name);
}
