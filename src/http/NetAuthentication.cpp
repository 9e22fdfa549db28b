#include "http/NetAuthentication.h"

#include <cstdint>

#include "http/NetHeaderList.h"

std::string EncodeBase64(const std::string& bytes) {
  static const char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string result;
  result.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    size_t count = bytes.size() - i < 3 ? bytes.size() - i : 3;
    uint32_t group = 0;
    for (size_t k = 0; k < 3; ++k) {
      group <<= 8;
      if (k < count) group |= static_cast<unsigned char>(bytes[i + k]);
    }
    for (size_t k = 0; k < 4; ++k) {
      result += k <= count ? Alphabet[(group >> (18 - 6 * k)) & 63] : '=';
    }
  }
  return result;
}

std::string TNetBasicAuthentication::Authentication() const {
  return "Basic " + EncodeBase64(Username + ":" + Password);
}

std::unique_ptr<TNetAuthentication> FindAuthScheme(const std::string& scheme) {
  if (NetSameText(scheme, "Basic")) return std::make_unique<TNetBasicAuthentication>();
  return nullptr;
}
