#include "config/number_reading.h"

#include "log/debug_log.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace qm::config {
namespace {

void Report(const char* subject, NumberFault fault, const char* invalidReason, const char* rangeReason) {
  if (fault == NumberFault::InvalidArgument) {
    log::LogMessage("%s : invalid argument", subject);
    log::LogMessage("   %s", invalidReason);
  } else if (fault == NumberFault::OutOfRange) {
    log::LogMessage("%s : out of range", subject);
    log::LogMessage("   %s", rangeReason);
  }
}

}  // namespace

IntegerReading ReadInteger(const char* text) {
  // long long, not long: long is 64-bit on Linux and 32-bit on Windows, and
  // the range below must be the same on both.
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(text, &end, 0);
  if (end == text) return {0, NumberFault::InvalidArgument};
  if (errno == ERANGE || value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    return {0, NumberFault::OutOfRange};
  }
  return {static_cast<std::int32_t>(value), NumberFault::None};
}

RealReading ReadReal(const char* text) {
  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(text, &end);
  if (end == text) return {0.0, NumberFault::InvalidArgument};
  // A result below the smallest normal double is out of range whatever the
  // C library says: glibc and the Microsoft runtime report it, musl (the
  // studio's WebAssembly build) does not for every such text.
  if (errno == ERANGE || (value != 0.0 && std::fabs(value) < std::numeric_limits<double>::min())) {
    return {0.0, NumberFault::OutOfRange};
  }
  return {value, NumberFault::None};
}

bool ReadsAsOne(const char* text) {
  char* end = nullptr;
  const long long value = std::strtoll(text, &end, 10);
  return end != text && value == 1;
}

void ReportIntegerFault(const char* subject, NumberFault fault) {
  Report(subject, fault, "invalid stoi argument", "stoi argument out of range");
}

void ReportRealFault(const char* subject, NumberFault fault) {
  Report(subject, fault, "invalid stod argument", "stod argument out of range");
}

}  // namespace qm::config
