// Reads the movie's script language (see script_ast.hpp) into a syntax tree.
#pragma once

#include "script_ast.hpp"

#include <stdexcept>
#include <string>

namespace swf {

// A fault in the source, with the file and line it was found at.
class SourceError : public std::runtime_error {
 public:
  SourceError(const SourcePlace& place, const std::string& what)
      : std::runtime_error(place.file + ":" + std::to_string(place.line) + ": " + what) {}
};

// Parses one source file into a Block of top-level statements.
NodePtr ParseScript(const std::string& text, const std::string& file_name);

}  // namespace swf
