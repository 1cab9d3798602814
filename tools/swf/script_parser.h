#pragma once
// Reads the movie's script language (see script_ast.h) into a syntax tree.
#include "script_ast.h"

#include <string>

namespace qm::swf {

// Parses one source file into a Block of top-level statements.
NodePtr ParseScript(const std::string& text, const std::string& fileName);

}  // namespace qm::swf
