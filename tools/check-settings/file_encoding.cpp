#include "file_encoding.h"

#include <fstream>
#include <iterator>

namespace qm::check {

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
  return encoding;
}

}  // namespace qm::check
