#include "http/NetStack.h"

#include <algorithm>
#include <cctype>

#include "http/NetException.h"
#include "http/NetResourceStrings.h"
#include "http/NetSocketApi.h"

namespace {

// A decimal whole number not above limit; no sign, no blanks.
bool ParsePart(const std::string& text, uint64_t limit, uint64_t& value) {
  if (text.empty() || text.size() > 10) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  return value <= limit;
}

}  // namespace

TNetStack::TNetStack() { NetSocketApi::Startup(); }

bool TNetStack::IsIP(const std::string& text, uint32_t* address) {
  std::string parts[4];
  size_t count = 0;
  size_t start = 0;
  while (count < 3) {
    size_t dot = text.find('.', start);
    if (dot == std::string::npos) break;
    parts[count++] = text.substr(start, dot - start);
    start = dot + 1;
  }
  parts[count++] = text.substr(start);  // the last part takes the rest

  // Limits of each part for the forms a, a.b, a.b.c and a.b.c.d.
  static const uint64_t Limits[4][4] = {
      {0xFFFFFFFFu}, {255, 0xFFFFFF}, {255, 255, 0xFFFF}, {255, 255, 255, 255}};
  static const int Shifts[4][4] = {{0}, {24, 0}, {24, 16, 0}, {24, 16, 8, 0}};
  uint32_t result = 0;
  for (size_t i = 0; i < count; ++i) {
    uint64_t value;
    if (!ParsePart(parts[i], Limits[count - 1][i], value)) return false;
    result |= static_cast<uint32_t>(value << Shifts[count - 1][i]);
  }
  if (address != nullptr) *address = result;
  return true;
}

uint32_t TNetStack::TranslateAddress(const std::string& text) {
  uint32_t address;
  if (!IsIP(text, &address)) {
    throw ENetInvalidIPAddress(NetFormat(NetResourceStrings::RSInvalidIPAddress, text.c_str()));
  }
  return address;
}

std::string TNetStack::AddressText(uint32_t address) {
  return NetFormat("%u.%u.%u.%u", address >> 24, (address >> 16) & 255, (address >> 8) & 255,
                   address & 255);
}

std::string TNetStack::ResolveHost(const std::string& host) {
  std::string upper = host;
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  if (upper == "LOCALHOST") return "127.0.0.1";
  if (IsIP(host)) return host;
  uint32_t address;
  if (!NetSocketApi::GetHostByName(host, address)) RaiseSocketError(NetSocketApi::LastError());
  return AddressText(address);
}

bool TNetStack::CheckSocketResult(int result, std::initializer_list<int> ignored) {
  if (result != NetSocketError) return false;
  LastError = NetSocketApi::LastError();
  if (std::find(ignored.begin(), ignored.end(), LastError) != ignored.end()) return true;
  RaiseSocketError(LastError);
}

void TNetStack::RaiseSocketError(int code) {
  LastError = code;
  throw ENetSocketError(code, SocketErrorText(code));
}

std::string TNetStack::SocketErrorText(int code) {
  return NetFormat(NetResourceStrings::RSSocketError, code,
                   NetResourceStrings::SocketErrorText(code));
}
