#pragma once
// Where a piece of the movie's script comes from, and the fault reported
// against it: both name the file and the line.
#include <stdexcept>
#include <string>

namespace qm::swf {

struct SourcePlace {
  std::string file;
  int line = 0;
};

// A fault in the source, with the file and line it was found at.
class SourceError : public std::runtime_error {
 public:
  SourceError(const SourcePlace& place, const std::string& what)
      : std::runtime_error(place.file + ":" + std::to_string(place.line) + ": " + what) {}
};

}  // namespace qm::swf
