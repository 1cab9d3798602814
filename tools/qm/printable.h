#pragma once
// Messages may quote a scenario's own text: control characters (terminal
// escapes and NUL among them) are written as \xNN rather than sent to the
// terminal or left to end a C string early. Other bytes, UTF-8 included, stay.
#include <string>
#include <string_view>

namespace qm::scenario {

inline std::string Printable(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string shown;
  shown.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F) {
      shown += c;
    } else {
      shown += "\\x";
      shown += kHex[byte >> 4];
      shown += kHex[byte & 0xF];
    }
  }
  return shown;
}

}  // namespace qm::scenario
