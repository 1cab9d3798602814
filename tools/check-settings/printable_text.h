#pragma once
// Text from a settings file as the checker shows it: every byte outside
// printable ASCII is written as \xNN, so that no control character or
// terminal escape sequence written into an entry reaches the terminal.
#include <string>
#include <string_view>

namespace qm::check {

inline std::string Printable(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string shown;
  shown.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F) {
      shown += c;
    } else {
      shown += "\\x";
      shown += kHex[byte >> 4];
      shown += kHex[byte & 0xF];
    }
  }
  return shown;
}

}  // namespace qm::check
