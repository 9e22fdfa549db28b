#pragma once
// The root of every exception the program raises. The message is 8-bit text in
// windows-1255 (component messages are English, entry names may be Hebrew); the
// application's default handler converts it for display.
#include <exception>
#include <string>
#include <utility>

class Exception : public std::exception {
 public:
  explicit Exception(std::string message, int helpContext = 0)
      : FMessage(std::move(message)), FHelpContext(helpContext) {}

  const std::string& Message() const noexcept { return FMessage; }
  void SetMessage(std::string message) { FMessage = std::move(message); }
  int HelpContext() const noexcept { return FHelpContext; }
  const char* what() const noexcept override { return FMessage.c_str(); }

  // The class name as the system names it ("EZipException", "ENetSocketError", ...).
  virtual const char* ClassName() const noexcept { return "Exception"; }

 private:
  std::string FMessage;
  int FHelpContext;
};

// Declares the ClassName override inside an exception class body.
#define MIRPAN_EXCEPTION_CLASS(Name) \
  const char* ClassName() const noexcept override { return #Name; }
