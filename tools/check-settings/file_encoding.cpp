#include "file_encoding.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace qm::check {

namespace {

// The file's characters as far as lines, blanks and brackets go: UTF-16
// units above 0x7F stand in as 'x', every other character as itself.
std::string Characters(const std::string& bytes, const std::string& byteOrderMark) {
  if (byteOrderMark == "UTF-8") return bytes.substr(3);
  if (byteOrderMark.empty()) return bytes;
  const bool bigEndian = byteOrderMark == "UTF-16 BE";
  std::string text;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const auto high = static_cast<unsigned char>(bytes[bigEndian ? i : i + 1]);
    const char low = bytes[bigEndian ? i + 1 : i];
    text += high == 0 && static_cast<unsigned char>(low) < 0x80 ? low : 'x';
  }
  return text;
}

bool IsBlank(char c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20; }

std::string Trimmed(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// Lines end at CR or LF; a header is a line that starts with '[' and has a
// ']', its name what lies between them (to the last ']'), trimmed and ended
// by a NUL.
std::vector<int> UnnamedSectionLines(const std::string& text) {
  std::vector<int> sections;
  bool inUnnamed = false;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = std::min(text.find_first_of("\r\n", at), text.size());
    const std::string line = Trimmed(text.substr(at, end - at));
    at = end + 1;
    if (line.empty()) continue;
    const std::size_t close = line.rfind(']');
    if (line[0] == '[' && close != std::string::npos && close > 0) {
      const std::string name = Trimmed(line.substr(1, close - 1));
      inUnnamed = name.empty() || name[0] == '\0';
      if (inUnnamed) sections.push_back(0);
    } else if (inUnnamed && line[0] != ';') {
      ++sections.back();
    }
  }
  return sections;
}

}  // namespace

FileEncoding InspectEncoding(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  FileEncoding encoding;
  if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) {
    encoding.byteOrderMark = "UTF-8";
  } else if (bytes.rfind("\xFF\xFE", 0) == 0) {
    encoding.byteOrderMark = "UTF-16 LE";
  } else if (bytes.rfind("\xFE\xFF", 0) == 0) {
    encoding.byteOrderMark = "UTF-16 BE";
  }
  if (encoding.byteOrderMark.rfind("UTF-16", 0) != 0) {
    encoding.nulCharacters = bytes.find('\0') != std::string::npos;
  } else {
    for (std::size_t i = 2; i + 1 < bytes.size() && !encoding.nulCharacters; i += 2) {
      encoding.nulCharacters = bytes[i] == '\0' && bytes[i + 1] == '\0';
    }
  }
  encoding.unnamedSectionLines = UnnamedSectionLines(Characters(bytes, encoding.byteOrderMark));
  return encoding;
}

}  // namespace qm::check
