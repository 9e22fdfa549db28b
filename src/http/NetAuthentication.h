#pragma once
// Credentials for the Authorization header. Only the Basic scheme is registered.
#include <memory>
#include <string>

class TNetAuthentication {
 public:
  virtual ~TNetAuthentication() = default;
  virtual std::string Authentication() const = 0;  // the header value
  virtual void Reset() {}

  std::string Username;
  std::string Password;
};

class TNetBasicAuthentication : public TNetAuthentication {
 public:
  std::string Authentication() const override;
};

// Base64 with the RFC 2045 alphabet and "=" as fill character.
std::string EncodeBase64(const std::string& bytes);

// An authentication object for a registered scheme ("Basic", without case), or none.
std::unique_ptr<TNetAuthentication> FindAuthScheme(const std::string& scheme);
