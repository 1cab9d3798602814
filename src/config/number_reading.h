#pragma once
// Numbers in the settings files, read as the C library reads them: the
// longest prefix that forms a number counts and the rest is ignored. A
// value that cannot be read is reported in two log lines and counts as 0.
#include <cstdint>

namespace qm::config {

enum class NumberFault : std::uint8_t { None, InvalidArgument, OutOfRange };

struct IntegerReading {
  std::int32_t value;  // 0 on a fault
  NumberFault fault;
};

struct RealReading {
  double value;  // 0.0 on a fault
  NumberFault fault;
};

// strtol with base 0 (0x: hexadecimal, leading 0: octal), held to the signed
// 32-bit range whatever the width of the platform's long.
IntegerReading ReadInteger(const char* text);

// strtod: decimal, exponent, hexadecimal, infinity and NaN forms.
RealReading ReadReal(const char* text);

// True when text reads as the decimal integer 1 (leading blanks and a sign
// allowed, reading stops at the first non-digit: "1", "+1", "01", "1 ; x").
bool ReadsAsOne(const char* text);

// "<subject> : invalid argument" / "<subject> : out of range", then the
// reason, as the log has always worded them.
void ReportIntegerFault(const char* subject, NumberFault fault);
void ReportRealFault(const char* subject, NumberFault fault);

}  // namespace qm::config
