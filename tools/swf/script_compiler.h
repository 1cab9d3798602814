#pragma once
// Compiles the movie's script (see script_ast.h) to one AVM1 action list:
// a ConstantPool record, the top-level code (named functions first), End.
//
// Inside a function, parameters and `var` names live in registers (r1 holds
// `this`, parameters start at r2); any other name is a variable looked up
// through the scope chain. Functions do not capture their enclosing
// function's locals: naming one is an error, not a silent undefined.
#include "script_ast.h"

#include <cstdint>
#include <vector>

namespace qm::swf {

// Throws SourceError for programs outside the subset.
std::vector<std::uint8_t> CompileScript(const std::vector<const Node*>& programs);

}  // namespace qm::swf
