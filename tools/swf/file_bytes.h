#pragma once
// What the structure checker reads a SWF file with: its little-endian
// fields, and the fault line that names the byte offset in hexadecimal.
#include "swf_check.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace qm::swf {

inline std::string Hex(std::size_t value) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%zx", value);
  return text;
}

inline unsigned U16(const std::vector<std::uint8_t>& file, std::size_t at) { return file[at] | (file[at + 1] << 8); }
inline std::uint32_t U32(const std::vector<std::uint8_t>& file, std::size_t at) {
  return U16(file, at) | (static_cast<std::uint32_t>(U16(file, at + 2)) << 16);
}

inline void AddFault(CheckResult& result, std::size_t at, const std::string& what) {
  result.faults.push_back("at byte " + Hex(at) + ": " + what);
}

}  // namespace qm::swf
