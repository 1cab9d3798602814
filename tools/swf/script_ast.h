#pragma once
// The syntax tree of the movie's script language: a small subset of
// ActionScript 2 (statements, expressions, functions without closures).
#include "source_place.h"

#include <memory>
#include <string>
#include <vector>

namespace qm::swf {

enum class NodeKind {
  // expressions
  Number,
  String,
  True,
  False,
  Null,
  Undefined,
  This,
  Name,
  Member,         // object.name: kids[0] object, text name
  Index,          // object[kids[1]]
  Call,           // kids[0] callee, kids[1..] arguments
  New,            // kids[0] constructor (Name or Member), kids[1..] arguments
  ArrayLiteral,   // kids are the elements
  ObjectLiteral,  // kids are the values, names in `names`
  Function,       // function expression: names are the parameters, kids[0] the body
  Unary,          // text is the operator (! - typeof), kids[0]
  Binary,         // text is the operator, kids[0] kids[1]
  Logical,        // && or ||
  Conditional,    // kids[0] ? kids[1] : kids[2]
  Assign,         // text is = += -= *= /= , kids[0] target, kids[1] value
  Update,         // text ++ or --, kids[0] target (statement use only)
  // statements
  Block,
  VarDecl,  // text name, kids[0] optional value
  ExprStatement,
  If,
  While,
  For,
  Return,
  Break,
  Continue,
  FunctionDecl,  // text name, names params, kids[0] body
};

struct Node {
  NodeKind kind;
  SourcePlace place;
  std::string text;
  double number = 0;
  std::vector<std::string> names;
  std::vector<std::unique_ptr<Node>> kids;  // null entries stand for an absent part (e.g. for(;;))
};

using NodePtr = std::unique_ptr<Node>;

}  // namespace qm::swf
