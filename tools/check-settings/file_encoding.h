#pragma once
// How the profile functions will decode a file: they go by its first bytes
// alone, so a file saved as UTF-16 without a byte-order mark is read byte by
// byte, and each NUL in it ends the name or value it falls in.
#include <string>
#include <vector>

namespace qm::check {

struct FileEncoding {
  std::string byteOrderMark;   // e.g. "UTF-16 LE"; empty when there is none
  bool nulCharacters = false;  // a NUL character: it ends the name or value it falls in
  // Per header without a name ("[]", "[ ]"), the lines below it: the profile
  // functions list no such section, so no reader ever sees them.
  std::vector<int> unnamedSectionLines;
};

FileEncoding InspectEncoding(const std::string& path);

}  // namespace qm::check
