// Prints what the platform layer's profile functions return, so that the
// POSIX reader can be compared byte for byte with Windows (or Wine).
//
//   profile_dump PATH QUERY...
//   QUERY:  --names SIZE  |  --section NAME SIZE
//   NAME:   escaped text (\xHH, \0, \\, \"), optionally inside quotes; "" is empty
//   SIZE:   a number, or T, T-k, T+k where T is the length the full result
//           needs (the returned length + 1, measured with a large buffer)
//
// One line per query: the query, the result, then the buffer up to the result
// + 2 bytes (never past SIZE), escaped. Bytes the call left alone show as \xa5.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

constexpr unsigned char kUntouched = 0xA5;
constexpr std::size_t kGuard = 64;
constexpr std::uint32_t kProbeSize = 1u << 22;

std::string Escape(const char* bytes, std::size_t count) {
  std::string out;
  for (std::size_t i = 0; i < count; ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c == 0) {
      out += "\\0";
    } else if (c == '\\' || c == '"') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    }
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The reverse of Escape. A NUL written as \0 ends the name the call sees.
std::string Unescape(std::string text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
    } else if (text[i + 1] == '0') {
      out += '\0';
      ++i;
    } else if (text[i + 1] == 'x' && i + 3 < text.size() && HexDigit(text[i + 2]) >= 0 && HexDigit(text[i + 3]) >= 0) {
      out += static_cast<char>(HexDigit(text[i + 2]) * 16 + HexDigit(text[i + 3]));
      i += 3;
    } else {
      out += text[i + 1];
      ++i;
    }
  }
  return out;
}

using Call = std::uint32_t (*)(const char* name, char* buffer, std::uint32_t size, const char* path);

std::uint32_t CallSection(const char* name, char* buffer, std::uint32_t size, const char* path) {
  return qm::platform::ProfileSection(name, buffer, size, path);
}

std::uint32_t CallNames(const char*, char* buffer, std::uint32_t size, const char* path) {
  return qm::platform::ProfileSectionNames(buffer, size, path);
}

bool ResolveSize(const std::string& token, Call call, const char* name, const char* path, std::uint32_t& size) {
  char* end = nullptr;
  if (token.empty()) return false;
  if (token[0] != 'T') {
    const unsigned long value = std::strtoul(token.c_str(), &end, 10);
    size = static_cast<std::uint32_t>(value);
    return *end == '\0';
  }
  std::vector<char> probe(kProbeSize);
  const long needed = static_cast<long>(call(name, probe.data(), kProbeSize, path)) + 1;
  const long offset = token.size() == 1 ? 0 : std::strtol(token.c_str() + 1, &end, 10);
  if (token.size() > 1 && *end != '\0') return false;
  size = static_cast<std::uint32_t>(needed + offset < 0 ? 0 : needed + offset);
  return true;
}

void RunQuery(const std::string& label, Call call, const std::string& name, const std::string& sizeToken,
              const char* path) {
  std::uint32_t size = 0;
  if (!ResolveSize(sizeToken, call, name.c_str(), path, size)) {
    std::printf("%s %s: bad size\n", label.c_str(), sizeToken.c_str());
    return;
  }
  // Guard bytes past the end catch a call that writes beyond the size it was given.
  std::vector<char> buffer(std::size_t{size} + kGuard, static_cast<char>(kUntouched));
  const std::uint32_t result = call(name.c_str(), buffer.data(), size, path);
  std::size_t shown = std::size_t{result} + 2;
  if (shown > size) shown = size;
  std::printf("%s %s=%lu: %lu \"%s\"\n", label.c_str(), sizeToken.c_str(), static_cast<unsigned long>(size),
              static_cast<unsigned long>(result), Escape(buffer.data(), shown).c_str());
  for (std::size_t i = size; i < buffer.size(); ++i) {
    if (static_cast<unsigned char>(buffer[i]) != kUntouched) {
      std::fprintf(stderr, "%s %s: wrote past the buffer at +%lu\n", label.c_str(), sizeToken.c_str(),
                   static_cast<unsigned long>(i - size));
      break;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: profile_dump PATH [--names SIZE | --section NAME SIZE]...\n");
    return 2;
  }
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);  // the same bytes as the native build, no CR
#endif
  const char* path = argv[1];
  for (int i = 2; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--names" && i + 1 < argc) {
      RunQuery("names", CallNames, std::string(), argv[i + 1], path);
      i += 1;
    } else if (option == "--section" && i + 2 < argc) {
      const std::string name = Unescape(argv[i + 1]);
      RunQuery("section \"" + Escape(name.data(), name.size()) + "\"", CallSection, name, argv[i + 2], path);
      i += 2;
    } else {
      std::fprintf(stderr, "profile_dump: bad query at '%s'\n", argv[i]);
      return 2;
    }
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}
