#include "zip/ZipMethods.h"

std::string ZipMethodName(uint16_t method) {
  switch (method) {
    case 0:
      return "Stored";
    case 1:
      return "Shrunk";
    case 2:
    case 3:
    case 4:
    case 5:
      return "Reduced";
    case 6:
      return "Imploded";
    case 8:
      return "Deflated";
    case 9:
      return "Deflate64";
    case 10:
      return "PKWARE DCL Imploded";
    case 12:
      return "BZip2";
    case 14:
      return "LZMA";
    case 16:
      return "IBM z/OS CMPSC";
    case 18:
      return "IBM TERSE";
    case 19:
      return "IBM LZ77";
    case 20:
    case 93:
      return "Zstandard";
    case 94:
      return "MP3";
    case 95:
      return "XZ";
    case 96:
      return "JPEG";
    case 97:
      return "WavPack";
    case 98:
      return "PPMd";
    case 99:
      return "AES encrypted";
    default:
      return "unknown";
  }
}
