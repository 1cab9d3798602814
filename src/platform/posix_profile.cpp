#include "platform/posix_profile.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

// Windows reads a profile into UTF-16 text, parses that, and converts what it
// returns to the ANSI code page. We do the same, so that trimming, splitting
// and section matching act on the same characters as there.

namespace qm::platform {
namespace {

using Text = std::u16string;

// Code page 1252 at 0x80-0x9F; every other byte is the code point of its value.
constexpr char16_t kAnsiHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t FromAnsi(unsigned char byte) { return byte >= 0x80 && byte < 0xA0 ? kAnsiHigh[byte - 0x80] : char16_t{byte}; }

// Windows also maps some other characters to look-alikes ("best fit"); we
// answer '?' for all of them.
char ToAnsi(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
  for (unsigned i = 0; i < 32; ++i) {
    if (kAnsiHigh[i] == unit) return static_cast<char>(0x80 + i);
  }
  return '?';
}

// Paths may use either separator. A bare file name means the Windows folder,
// which has no counterpart here: such a file is missing.
bool ReadWholeFile(const char* path, std::string& bytes) {
  if (path == nullptr || (std::strchr(path, '\\') == nullptr && std::strchr(path, '/') == nullptr)) return false;
  std::string native = path;
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  std::FILE* file = std::fopen(native.c_str(), "rb");
  if (file == nullptr) return false;
  char chunk[16384];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
  const bool failed = std::ferror(file) != 0;  // e.g. a folder
  std::fclose(file);
  return !failed;
}

// Continuation bytes a lead byte announces; 0 for a byte that cannot lead.
unsigned ContinuationCount(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 1;
  if (lead >= 0xE0 && lead <= 0xEF) return 2;
  if (lead >= 0xF0 && lead <= 0xF4) return 3;
  return 0;
}

// Decodes as Windows' UTF-8 reader does: each bad sequence becomes one U+FFFD,
// which swallows the lead byte and the continuation bytes accepted so far; a
// sequence cut by the end of the file swallows the rest of the file.
void AppendUtf8(const std::string& bytes, std::size_t pos, Text& text) {
  const std::size_t end = bytes.size();
  while (pos < end) {
    const auto lead = static_cast<unsigned char>(bytes[pos++]);
    if (lead < 0x80) {
      text += char16_t{lead};
      continue;
    }
    const unsigned length = ContinuationCount(lead);
    if (end - pos < length) {
      text += u'\uFFFD';
      break;
    }
    std::uint32_t code = lead & (0x7Fu >> (length + 1));
    bool valid = length > 0;
    for (unsigned i = 0; i < length && valid; ++i) {
      const unsigned bits = static_cast<unsigned char>(bytes[pos]) ^ 0x80u;
      if (bits >= 0x40) {
        valid = false;
        break;
      }
      code = code << 6 | bits;
      ++pos;
      // Overlong forms, surrogates and code points past U+10FFFF fail as
      // soon as the first continuation byte shows them.
      if (i == 0 && length == 3) valid = code >= 0x10 && code < 0x110;
      if (i == 0 && length == 2) valid = code >= 0x20 && !(code >= 0x360 && code < 0x380);
    }
    if (!valid) {
      text += u'\uFFFD';
    } else if (code >= 0x10000) {
      code -= 0x10000;
      text += static_cast<char16_t>(0xD800 + (code >> 10));
      text += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    } else {
      text += static_cast<char16_t>(code);
    }
  }
}

// An odd last byte counts as a unit of its own; Windows reads a byte past the
// file there, which is usually zero.
void AppendUtf16(const std::string& bytes, bool bigEndian, Text& text) {
  for (std::size_t i = 2; i < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    if (i + 1 == bytes.size()) {
      text += char16_t{first};
      break;
    }
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    text += static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first);
  }
}

// The encoding is told by the byte-order mark alone; without one it is ANSI.
Text Decode(const std::string& bytes) {
  Text text;
  const auto at = [&bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if (bytes.size() >= 3 && at(0) == 0xEF && at(1) == 0xBB && at(2) == 0xBF) {
    AppendUtf8(bytes, 3, text);
  } else if (bytes.size() >= 2 && at(0) == 0xFF && at(1) == 0xFE) {
    AppendUtf16(bytes, false, text);
  } else if (bytes.size() >= 2 && at(0) == 0xFE && at(1) == 0xFF) {
    AppendUtf16(bytes, true, text);
  } else {
    text.reserve(bytes.size());
    for (const char c : bytes) text += FromAnsi(static_cast<unsigned char>(c));
  }
  return text;
}

bool IsBlank(char16_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20;  // ^Z is the old DOS end of file
}

struct Span {
  const char16_t* begin = nullptr;
  const char16_t* end = nullptr;
};

Span TrimRight(Span s) {
  while (s.end > s.begin && IsBlank(s.end[-1])) --s.end;
  return s;
}

Span TrimLeft(Span s) {
  while (s.begin < s.end && IsBlank(*s.begin)) ++s.begin;
  return s;
}

// Names and values are used as C strings from here on: an embedded NUL ends them.
Span UpToNul(Span s) {
  for (const char16_t* p = s.begin; p < s.end; ++p) {
    if (*p == 0) return {s.begin, p};
  }
  return s;
}

void AppendAnsi(Span s, std::string& out) {
  for (const char16_t* p = s.begin; p < s.end; ++p) out += ToAnsi(*p);
}

// One non-empty line of the file: a section header, or an entry with an
// optional value.
struct Line {
  bool header = false;
  Span name;
  bool hasValue = false;
  Span value;
};

class LineReader {
 public:
  explicit LineReader(const Text& text) : next_(text.data()), end_(text.data() + text.size()) {}

  bool Next(Line& line) {
    while (next_ < end_) {
      Span s{next_, next_};
      while (s.end < end_ && *s.end != u'\r' && *s.end != u'\n') ++s.end;
      next_ = s.end;
      while (next_ < end_ && (*next_ == u'\r' || *next_ == u'\n')) ++next_;
      s = TrimLeft(TrimRight(s));
      if (s.begin == s.end) continue;
      line = Parse(s);
      return true;
    }
    return false;
  }

 private:
  static Line Parse(Span s) {
    Line line;
    if (*s.begin == u'[') {
      // The name runs to the last ']'; without one this is an ordinary line.
      for (const char16_t* close = s.end - 1; close > s.begin; --close) {
        if (*close == u']') {
          line.header = true;
          line.name = TrimLeft(TrimRight({s.begin + 1, close}));
          return line;
        }
      }
    }
    const char16_t* equals = s.begin;
    while (equals < s.end && *equals != u'=') ++equals;
    line.name = TrimRight({s.begin, equals});
    if (equals < s.end) {
      line.hasValue = true;
      line.value = TrimLeft({equals + 1, s.end});
    }
    return line;
  }

  const char16_t* next_;
  const char16_t* end_;
};

bool SameNameIgnoringAsciiCase(Span name, const char* wanted) {
  const char16_t* p = name.begin;
  for (; *wanted != '\0'; ++wanted, ++p) {
    if (p == name.end) return false;
    char16_t a = *p;
    char16_t b = FromAnsi(static_cast<unsigned char>(*wanted));
    if (a >= u'A' && a <= u'Z') a = static_cast<char16_t>(a + 32);
    if (b >= u'A' && b <= u'Z') b = static_cast<char16_t>(b + 32);
    if (a != b) return false;
  }
  return p == name.end;
}

// The entries of the first section called `wanted`, each followed by a NUL.
// Lines before the first header form a section with the empty name. Stops
// early once `limit` bytes are there: the caller cannot take more.
std::string SectionEntries(const Text& text, const char* wanted, std::size_t limit) {
  std::string out;
  LineReader reader(text);
  Line line;
  bool inside = SameNameIgnoringAsciiCase({}, wanted);
  while (!inside && reader.Next(line)) {
    inside = line.header && SameNameIgnoringAsciiCase(UpToNul(line.name), wanted);
  }
  if (!inside) return out;
  // Runs of entries with an empty name collapse to their first one.
  bool keptAny = false;
  bool lastKeptNamed = false;
  while (reader.Next(line) && !line.header && out.size() < limit) {
    const bool named = line.name.begin < line.name.end;
    if (!named && keptAny && !lastKeptNamed) continue;
    keptAny = true;
    lastKeptNamed = named && *line.name.begin != 0;
    const Span name = UpToNul(line.name);
    if (name.begin == name.end && !line.hasValue) continue;
    if (name.begin < name.end && *name.begin == u';') continue;  // a comment
    AppendAnsi(name, out);
    if (line.hasValue) {
      out += '=';
      AppendAnsi(UpToNul(line.value), out);
    }
    out += '\0';
  }
  return out;
}

std::string SectionNames(const Text& text, std::size_t limit) {
  std::string out;
  LineReader reader(text);
  Line line;
  while (reader.Next(line) && out.size() < limit) {
    const Span name = UpToNul(line.name);
    if (!line.header || name.begin == name.end) continue;
    AppendAnsi(name, out);
    out += '\0';
  }
  return out;
}

Text LoadProfile(const char* path) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) return {};
  return Decode(bytes);
}

}  // namespace

// `strings` holds each string with its NUL; the list's own closing NUL comes
// on top. A list that does not fit is cut to size - 2 bytes, then two NULs.
std::uint32_t PosixProfileSection(const char* section, char* buffer, std::uint32_t size, const char* path) {
  if (section == nullptr || buffer == nullptr || size == 0) return 0;
  const std::string strings = SectionEntries(LoadProfile(path), section, size);
  if (size == 1) {
    buffer[0] = '\0';
    return 0;
  }
  if (strings.empty()) {
    buffer[0] = buffer[1] = '\0';
    return 0;
  }
  if (strings.size() + 1 < size) {
    std::memcpy(buffer, strings.data(), strings.size());
    buffer[strings.size()] = '\0';
    return static_cast<std::uint32_t>(strings.size());
  }
  std::memcpy(buffer, strings.data(), size - 2);
  buffer[size - 2] = buffer[size - 1] = '\0';
  return size - 2;
}

// As above, except that a cut list ends in a single NUL.
std::uint32_t PosixProfileSectionNames(char* buffer, std::uint32_t size, const char* path) {
  if (buffer == nullptr || size == 0) return 0;
  const std::string strings = SectionNames(LoadProfile(path), size);
  if (strings.empty() || size == 1) {
    buffer[0] = '\0';
    return 0;
  }
  if (strings.size() + 1 < size) {
    std::memcpy(buffer, strings.data(), strings.size());
    buffer[strings.size()] = '\0';
    return static_cast<std::uint32_t>(strings.size());
  }
  std::memcpy(buffer, strings.data(), size - 2);
  buffer[size - 2] = '\0';
  return size - 2;
}

}  // namespace qm::platform
