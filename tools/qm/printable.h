#pragma once
// Text from a user's file quoted in a message: control characters (terminal
// escapes and NUL among them) are written as \xNN rather than sent to the
// terminal or left to end a C string early. A scenario is UTF-8 and keeps its
// other bytes; a settings file is read through a code page, so the settings
// checker shows its bytes from 0x7F up as \xNN too, whatever the terminal's
// code page.
#include <string>
#include <string_view>

namespace qm {

enum class HighBytes { kKept, kShownAsHex };

inline std::string Printable(std::string_view text, HighBytes highBytes = HighBytes::kKept) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string shown;
  shown.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const bool kept = byte >= 0x20 && byte != 0x7F && (byte < 0x80 || highBytes == HighBytes::kKept);
    if (kept) {
      shown += c;
    } else {
      shown += "\\x";
      shown += kHex[byte >> 4];
      shown += kHex[byte & 0xF];
    }
  }
  return shown;
}

}  // namespace qm
