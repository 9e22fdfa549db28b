#pragma once
// The names of the ZIP compression methods, for listings and for the error that refuses one.
#include <cstdint>
#include <string>

// "Deflated", "BZip2", ...; "unknown" for a number the format doesn't assign.
std::string ZipMethodName(uint16_t method);
